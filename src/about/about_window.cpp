#include "about/about_window.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

namespace tovrel {

namespace {

std::vector<ControlDef> makeDefinition() {
    const QString yahei = QStringLiteral("微软雅黑");
    const QColor donationGreen(0, 224, 128);
    auto label = [](QString name, QRect place, QString caption, TextStyle style) {
        return ControlDef{
            std::move(name), ControlKind::Label, {}, place, std::move(caption), std::move(style), {}, {}, {}};
    };
    auto picture = [](QString name, QRect place, QString resource) {
        return ControlDef{std::move(name),    ControlKind::PictureBox, {}, place, {}, {}, {}, {},
                          std::move(resource)};
    };
    const TextStyle donation{{}, 12, true, donationGreen, Qt::AlignCenter, false};
    return {
        picture(QStringLiteral("图片框3"), {0, 0, 384, 248}, QStringLiteral(":/about/landscape_close.png")),
        label(QStringLiteral("透明标签7"), {336, -8, 48, 48}, {}, {}),
        label(QStringLiteral("透明标签1"), {48, 0, 272, 40}, QStringLiteral("Tovrel v1.0"),
              {QStringLiteral("楷体"), 29, true, QColor(255, 0, 0), Qt::AlignCenter, false}),
        label(QStringLiteral("透明标签2"), {8, 40, 370, 72},
              QStringLiteral("Tovrel工作室出品 联系QQ：3141592653\n"
                             "部分短网址接口采用key才能生成 所以失效时间未知 如果失效 请联系我更换最新key\n"),
              {yahei, 16, true, QColor(0, 0, 255), Qt::AlignLeft | Qt::AlignTop, true}),
        label(QStringLiteral("透明标签4"), {0, 128, 100, 112},
              QStringLiteral("制作不易\n\n感谢使用\n\n随意打赏"),
              {yahei, 16, true, QColor(255, 255, 0), Qt::AlignHCenter | Qt::AlignTop, true}),
        label(QStringLiteral("透明标签5"), {112, 120, 100, 24}, QStringLiteral("微信"), donation),
        picture(QStringLiteral("图片框1"), {112, 144, 100, 100}, QStringLiteral(":/about/qr_wechat.png")),
        label(QStringLiteral("透明标签6"), {248, 120, 100, 24}, QStringLiteral("支付宝"), donation),
        picture(QStringLiteral("图片框2"), {248, 144, 100, 100}, QStringLiteral(":/about/qr_alipay.png")),
    };
}

} // namespace

const std::vector<ControlDef>& aboutWindowDefinition() {
    static const std::vector<ControlDef> definition = makeDefinition();
    return definition;
}

AboutWindow::AboutWindow() : m_background(QStringLiteral(":/about/landscape.jpg")) {
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setWindowTitle(QString());
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::ApplicationModal);
    setFixedSize(aboutWidth, aboutHeight);
    m_controls = buildControls(this, aboutWindowDefinition());
    m_controls.value(QStringLiteral("透明标签7"))->installEventFilter(this);
}

AboutWindow::~AboutWindow() {
    for (const auto& [window, wasEnabled] : m_disabled)
        if (window) window->setEnabled(wasEnabled);
}

AboutWindow* AboutWindow::open() {
    auto* about = new AboutWindow;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window == about || !window->isVisible()) continue;
        about->m_disabled.emplace_back(window, window->isEnabled());
        window->setEnabled(false);
    }
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        about->move(area.left() + (area.width() - aboutWidth) / 2,
                    area.top() + (area.height() - aboutHeight) / 2);
    }
    about->show();
    return about;
}

void AboutWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(rect(), m_background);
}

bool AboutWindow::eventFilter(QObject* watched, QEvent* event) {
    // Only the part of the hot spot inside the card can be pressed: the label is clipped by the window.
    if (event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        close(); // deletes itself later, once this handler has returned
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace tovrel
