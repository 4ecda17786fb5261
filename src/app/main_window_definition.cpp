#include "about/commands.h"
#include "app/app.h"
#include "qr/commands.h"
#include "shorten/catalogue.h"
#include "shorten/commands.h"

namespace tovrel {

namespace {

const QColor red(255, 0, 0);
const QColor blue(0, 0, 255);

TextStyle groupStyle(int pixelSize, const QColor& color = red, const QString& face = {}) {
    return {face, pixelSize, true, color, Qt::AlignHCenter | Qt::AlignTop, false};
}

const QString yahei = QStringLiteral("微软雅黑");

std::vector<ControlDef> makeDefinition() {
    const TextStyle buttonStyle{{}, 16, true, Qt::black, Qt::AlignCenter, false};
    const TextStyle labelStyle{{}, 14, true, Qt::black, Qt::AlignLeft | Qt::AlignVCenter, false};
    const TextStyle plainEdit{};

    auto group = [](QString name, QString parent, QRect place, QString caption, TextStyle style) {
        return ControlDef{std::move(name),
                          ControlKind::GroupBox,
                          std::move(parent),
                          place,
                          std::move(caption),
                          std::move(style),
                          {},
                          {},
                          {}};
    };
    auto button = [&](QString name, QRect place, QString caption, std::function<void(App&)> handler,
                      QString parent = QStringLiteral("分组框12")) {
        return ControlDef{std::move(name),
                          ControlKind::PushButton,
                          std::move(parent),
                          place,
                          std::move(caption),
                          buttonStyle,
                          std::move(handler),
                          {},
                          {}};
    };
    auto checkBox = [](int number, QString parent, QRect place, int entry, TextStyle style,
                       std::function<void(App&)> handler) {
        return ControlDef{QStringLiteral("选择框%1").arg(number),
                          ControlKind::CheckBox,
                          std::move(parent),
                          place,
                          QString::fromLatin1(serviceEntry(entry).shortDomain),
                          std::move(style),
                          std::move(handler),
                          {},
                          {}};
    };
    auto label = [&](QString name, QRect place, QString caption, TextStyle style) {
        return ControlDef{std::move(name),
                          ControlKind::Label,
                          QStringLiteral("分组框11"),
                          place,
                          std::move(caption),
                          std::move(style),
                          {},
                          {},
                          {}};
    };
    auto edit = [](QString name, QString parent, QRect place, TextStyle style) {
        return ControlDef{std::move(name),
                          ControlKind::EditBox,
                          std::move(parent),
                          place,
                          {},
                          std::move(style),
                          {},
                          {},
                          {}};
    };

    const TextStyle keylessBox{{}, 16, true, blue, Qt::AlignLeft | Qt::AlignVCenter, false};
    const TextStyle keyedBox{{}, 14, true, red, Qt::AlignLeft | Qt::AlignVCenter, false};

    std::vector<ControlDef> d;
    d.push_back(group(QStringLiteral("分组框10"), {}, {0, 0, 624, 536}, {}, groupStyle(14)));
    d.push_back(group(QStringLiteral("分组框7"), {}, {8, 13, 416, 56}, QStringLiteral("需要缩短的网址"),
                      groupStyle(19)));
    d.push_back(edit(QStringLiteral("编辑框1"), QStringLiteral("分组框7"), {8, 24, 400, 24}, plainEdit));
    d.push_back(group(QStringLiteral("分组框9"), {}, {424, 13, 192, 56}, QStringLiteral("已缩短的网址"),
                      groupStyle(19)));
    d.push_back(edit(QStringLiteral("编辑框2"), QStringLiteral("分组框9"), {8, 24, 176, 24},
                     TextStyle{{}, 12, true, red, Qt::AlignCenter, false}));
    d.push_back(group(QStringLiteral("分组框1"), {}, {8, 80, 208, 448}, QStringLiteral("网址缩短类型选择"),
                      groupStyle(19)));
    d.push_back(group(QStringLiteral("分组框2"), QStringLiteral("分组框1"), {8, 32, 192, 88},
                      QStringLiteral("未采用key 长期有效"), groupStyle(14, blue, yahei)));
    const QPoint keylessPlaces[] = {{16, 24}, {104, 24}, {16, 56}, {104, 56}};
    for (int n = 1; n <= 4; ++n)
        d.push_back(checkBox(n, QStringLiteral("分组框2"), QRect(keylessPlaces[n - 1], QSize(80, 24)), n,
                             keylessBox, [n](App& app) { onServiceBox(app, n); }));
    d.push_back(group(QStringLiteral("分组框3"), QStringLiteral("分组框1"), {8, 128, 192, 312},
                      QStringLiteral("采用key 失效时间未知"), groupStyle(14)));
    for (int n = 5; n <= 21; ++n) {
        const QPoint place = n <= 13 ? QPoint(8, 24 + 32 * (n - 5)) : QPoint(96, 24 + 32 * (n - 14));
        d.push_back(checkBox(n, QStringLiteral("分组框3"), QRect(place, QSize(80, 24)), n, keyedBox,
                             [n](App& app) { onServiceBox(app, n); }));
    }
    d.push_back(group(QStringLiteral("分组框4"), {}, {216, 80, 208, 344}, QStringLiteral("二维码生成类型"),
                      groupStyle(19)));
    d.push_back(group(QStringLiteral("分组框5"), QStringLiteral("分组框4"), {8, 32, 192, 88},
                      QStringLiteral("采用长期有效短网址"), groupStyle(14, blue)));
    for (int n = 22; n <= 25; ++n)
        d.push_back(checkBox(n, QStringLiteral("分组框5"), QRect(keylessPlaces[n - 22], QSize(80, 24)),
                             n - 21, keylessBox, [n](App& app) { onQrTypeBox(app, n); }));
    d.push_back(group(QStringLiteral("分组框6"), QStringLiteral("分组框4"), {8, 128, 192, 208},
                      QStringLiteral("已生成的短网址二维码"), groupStyle(14)));
    d.push_back(ControlDef{QStringLiteral("二维码图片框"),
                           ControlKind::PictureBox,
                           QStringLiteral("分组框6"),
                           {8, 24, 175, 175},
                           {},
                           plainEdit,
                           {},
                           QColor(192, 192, 192),
                           {}});
    d.push_back(group(QStringLiteral("分组框8"), {}, {216, 424, 208, 104}, QStringLiteral("运行日志"),
                      groupStyle(16)));
    d.push_back(ControlDef{QStringLiteral("日志编辑框"),
                           ControlKind::LogBox,
                           QStringLiteral("分组框8"),
                           {8, 24, 192, 72},
                           QStringLiteral("欢迎使用Tovrel！"),
                           TextStyle{yahei, 10, true, Qt::black, Qt::AlignLeft | Qt::AlignTop, true},
                           {},
                           {},
                           {}});
    d.push_back(group(QStringLiteral("分组框12"), {}, {424, 72, 192, 272}, QStringLiteral("操作控制台"),
                      groupStyle(19)));
    d.push_back(button(QStringLiteral("粘贴按钮"), {8, 32, 176, 32}, QStringLiteral("粘贴长链接"), onPaste));
    d.push_back(
        button(QStringLiteral("缩短按钮"), {8, 80, 176, 32}, QStringLiteral("缩短长链接"), onShorten));
    d.push_back(button(QStringLiteral("复制按钮"), {8, 128, 176, 32}, QStringLiteral("复制短链接"), onCopy));
    d.push_back(
        button(QStringLiteral("生成按钮"), {8, 176, 176, 32}, QStringLiteral("生成二维码"), onGenerate));
    d.push_back(
        button(QStringLiteral("导出按钮"), {8, 224, 176, 32}, QStringLiteral("导出二维码"), onExport));
    d.push_back(group(QStringLiteral("分组框11"), {}, {424, 352, 192, 176}, QStringLiteral("关于此程序"),
                      groupStyle(19)));
    d.push_back(label(QStringLiteral("透明标签1"), {16, 24, 64, 20}, QStringLiteral("版本："), labelStyle));
    d.push_back(label(QStringLiteral("透明标签3"), {88, 24, 96, 20}, QStringLiteral("V1.0"), labelStyle));
    d.push_back(label(QStringLiteral("透明标签2"), {16, 48, 64, 20}, QStringLiteral("作者QQ："), labelStyle));
    d.push_back(
        label(QStringLiteral("透明标签4"), {88, 48, 96, 20}, QStringLiteral("3141592653"), labelStyle));
    d.push_back(label(QStringLiteral("透明标签5"), {16, 72, 160, 20}, QStringLiteral("www.tovrel.net"),
                      TextStyle{yahei, 14, true, Qt::black, Qt::AlignCenter, false}));
    d.push_back(button(QStringLiteral("更新按钮"), {8, 96, 176, 32}, QStringLiteral("检测更新"),
                       onUpdateCheck, QStringLiteral("分组框11")));
    d.push_back(button(QStringLiteral("关于按钮"), {8, 136, 176, 32}, QStringLiteral("关于程序"), onAbout,
                       QStringLiteral("分组框11")));
    // State fields beyond the right edge of the fixed-size window: never seen, read and written by commands.
    // They keep exactly the bytes written, of any length, which a line edit would not.
    auto field = [](QString name, QRect place) {
        return ControlDef{std::move(name), ControlKind::TextField, {}, place, {}, {}, {}, {}, {}};
    };
    d.push_back(field(QStringLiteral("转换编辑框"), {736, 128, 80, 20}));
    d.push_back(field(QStringLiteral("二维码网址编辑框"), {824, 256, 80, 20}));
    d.push_back(field(QStringLiteral("编辑框3"), {632, 312, 232, 20}));
    return d;
}

} // namespace

const std::vector<ControlDef>& mainWindowDefinition() {
    static const std::vector<ControlDef> definition = makeDefinition();
    return definition;
}

} // namespace tovrel
