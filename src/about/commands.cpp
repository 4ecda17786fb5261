#include "about/commands.h"

#include "about/about_window.h"
#include "app/app.h"
#include "app/message_presenter.h"

namespace tovrel {

void prepareAnnouncementText(App& app) {
    app.setText(u"编辑框3", responseText(app.httpFetch(announcementAddress)));
}

void onUpdateCheck(App& app) {
    if (app.getText(u"编辑框3") == versionText) {
        app.showMessage("当前已是新版本"_gbk, StyleOk, "提示"_gbk);
        return;
    }
    if (app.showMessage("检测到新版本，是否更新"_gbk, StyleYesNo) == ResultYes)
        app.platform().openUrl(QString::fromLatin1(downloadPage));
}

void onAbout(App&) {
    AboutWindow::open();
}

} // namespace tovrel
