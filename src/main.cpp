#include "app/app.h"
#include "app/message_presenter.h"
#include "app/startup.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    tovrel::QtMessagePresenter messages;
    const auto app = tovrel::startApp(tovrel::systemPlatform(messages));
    return QApplication::exec();
}
