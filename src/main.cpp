#include "app/app.h"
#include "app/message_presenter.h"
#include "app/startup.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("tovrel")));
    tovrel::QtMessagePresenter messages;
    const auto app = tovrel::startApp(tovrel::systemPlatform(messages));
    return QApplication::exec();
}
