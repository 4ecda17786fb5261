#include "shorten/commands.h"

#include "app/app.h"
#include "app/message_presenter.h"
#include "shorten/catalogue.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace tovrel {

bool passesSchemeTest(std::string_view text) {
    // Lowering ASCII capitals byte by byte is safe for GBK: a double-byte character's lead byte is above
    // 0x80 and already fails the comparison before its second byte is looked at.
    auto startsWith = [&](std::string_view scheme) {
        if (text.size() < scheme.size()) return false;
        for (std::size_t i = 0; i < scheme.size(); ++i) {
            char c = text[i];
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
            if (c != scheme[i]) return false;
        }
        return true;
    };
    return startsWith("http://") || startsWith("https://");
}

void onServiceBox(App& app, int number) {
    const bool ticked = app.isChecked(checkBoxName(number));
    setOthersDisabled(app, 1, serviceCount, number, ticked);
    if (!ticked) return;
    const Text longAddress = app.getText(u"编辑框1");
    app.setText(u"转换编辑框",
                responseText(app.httpFetch(requestAddress(serviceEntry(number), longAddress))));
}

void onPaste(App& app) {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    app.setText(u"编辑框1", data != nullptr && data->hasText() ? toGbk(data->text()) : Text());
    app.appendLog("\r\n已粘贴长链接"_gbk);
}

void onShorten(App& app) {
    if (!anyChecked(app, 1, serviceCount)) {
        const Text failure = "请先选中需要缩短的类型"_gbk;
        app.showMessage(failure, StyleError, "错误"_gbk);
        app.appendLog("\r\n" + failure);
        return;
    }
    const Text answer = app.getText(u"转换编辑框");
    if (passesSchemeTest(answer)) {
        app.setText(u"编辑框2", answer);
        app.setLog(app.getText(u"编辑框1") + "\r\n缩短\r\n"_gbk + app.getText(u"编辑框2"));
        return;
    }
    const Text failure = "缩短失败！原因可能是接口失效"_gbk;
    app.showMessage(failure, StyleError, "错误"_gbk);
    app.appendLog("\r\n" + failure);
    app.setText(u"编辑框2", "");
}

void onCopy(App& app) {
    QGuiApplication::clipboard()->setText(fromGbk(app.getText(u"编辑框2")));
    app.appendLog("\r\n已复制短连接"_gbk);
}

} // namespace tovrel
