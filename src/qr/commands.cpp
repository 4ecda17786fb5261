#include "qr/commands.h"

#include "app/app.h"
#include "app/message_presenter.h"
#include "qr/qr_code.h"
#include "runtime/picture_box.h"
#include "shorten/catalogue.h"
#include "shorten/commands.h"

#include <QFile>

namespace tovrel {

namespace {

// The picture a QR request gave, or, when those bytes show no picture, the code of the same text made here.
void showQrPicture(App& app, std::string_view text) {
    app.setPicture(u"二维码图片框", app.httpFetch(qrRequestAddress(text)));
    const auto* box = qobject_cast<PictureBox*>(app.control(u"二维码图片框"));
    if (box != nullptr && !box->hasImage()) app.setPicture(u"二维码图片框", renderQrPng(text));
}

void requestQrPicture(App& app, int entry) {
    const Text longAddress = app.getText(u"编辑框1");
    app.setText(u"二维码网址编辑框",
                responseText(app.httpFetch(requestAddress(serviceEntry(entry), longAddress))));
    const Text link = app.getText(u"二维码网址编辑框");
    if (passesSchemeTest(link)) {
        showQrPicture(app, link);
        app.appendLog("\r\n已将网址"_gbk + app.getText(u"编辑框2") + "生成二维码"_gbk);
        return;
    }
    const Text failure = "生成二维码失败！原因可能是短连接接口失效"_gbk;
    app.showMessage(failure, StyleError, "错误"_gbk);
    app.appendLog("\r\n" + failure);
    showDefaultQrPicture(app);
}

bool writeWhole(const QString& path, const Bytes& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    const auto size = static_cast<qint64>(bytes.size());
    const bool written = size == 0 || file.write(reinterpret_cast<const char*>(bytes.data()), size) == size;
    file.close();
    const bool ok = written && file.error() == QFileDevice::NoError;
    if (!ok) file.remove();
    return ok;
}

} // namespace

void onQrTypeBox(App& app, int number) {
    setOthersDisabled(app, 22, 25, number, app.isChecked(checkBoxName(number)));
}

void onGenerate(App& app) {
    if (!anyChecked(app, 22, 25)) {
        app.showMessage("请先选择需要生成二维码的短网址类型"_gbk, StyleError, "错误"_gbk);
        return;
    }
    if (!passesSchemeTest(app.getText(u"编辑框1"))) {
        app.showMessage("请在网址前添加http://或https://"_gbk, StyleError, "错误"_gbk);
        app.appendLog("\r\n请在长网址前添加http://或https://"_gbk);
        return;
    }
    for (int box = 22; box <= 25; ++box)
        if (app.isChecked(checkBoxName(box))) requestQrPicture(app, box - 21);
}

void onExport(App& app) {
    Text folder = toGbk(app.platform().desktopFolder());
    if (!folder.empty() && folder.back() != '/') folder += '/';
    const Text name = folder + exportTimeStamp(app.platform().clock()) + "短地址.jpg"_gbk;
    if (writeWhole(fromGbk(name), app.getPicture(u"二维码图片框"))) {
        app.appendLog("\r\n已将二维码导出到桌面"_gbk);
        return;
    }
    const Text failure = "导出二维码失败！"_gbk;
    app.showMessage(failure, StyleError, "错误"_gbk);
    app.appendLog("\r\n" + failure);
}

void showDefaultQrPicture(App& app) {
    showQrPicture(app, defaultQrText);
}

} // namespace tovrel
