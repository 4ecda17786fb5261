#include "app/startup.h"

#include "about/commands.h"
#include "app/app.h"
#include "qr/commands.h"

#include <QGuiApplication>
#include <QScreen>

namespace tovrel {

void onWindowCreated(App& app) {
    prepareAnnouncementText(app);
    showDefaultQrPicture(app);
    app.setLog("欢迎使用Tovrel！"_gbk);
}

std::unique_ptr<App> startApp(Platform platform) {
    auto app = std::make_unique<App>(std::move(platform));
    MainWindow& window = app->window();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        window.move(area.left() + (area.width() - mainOuterWidth) / 2,
                    area.top() + (area.height() - mainOuterHeight) / 2);
    }
    window.runHandler(onWindowCreated);
    window.show();
    return app;
}

} // namespace tovrel
