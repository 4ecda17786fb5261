#include "app/window_definition.h"

#include "runtime/picture_box.h"

#include <QCheckBox>
#include <QFile>
#include <QFontDatabase>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace tovrel {

namespace {

QString firstInstalled(const QStringList& families) {
    const QStringList installed = QFontDatabase::families();
    for (const QString& family : families)
        if (installed.contains(family)) return family;
    return {};
}

QFont fontFor(const TextStyle& style) {
    QFont font(style.face.isEmpty() ? defaultChineseFace() : style.face);
    font.setPixelSize(style.pixelSize);
    font.setBold(style.bold);
    return font;
}

// The application's palette with every colour set, so that a control inherits nothing from a coloured group
// box, and one role coloured; disabled controls keep the greyed colours.
void setTextColor(QWidget* widget, QPalette::ColorRole role, const QColor& color) {
    QPalette palette = QGuiApplication::palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        for (int each = 0; each < QPalette::NColorRoles; ++each) {
            const auto colorRole = static_cast<QPalette::ColorRole>(each);
            palette.setColor(group, colorRole, palette.color(group, colorRole));
        }
    palette.setColor(QPalette::Active, role, color);
    palette.setColor(QPalette::Inactive, role, color);
    widget->setPalette(palette);
}

QWidget* createControl(const ControlDef& def, QWidget* parent) {
    switch (def.kind) {
    case ControlKind::GroupBox: {
        auto* box = new QGroupBox(def.caption, parent);
        box->setAlignment(Qt::AlignHCenter);
        // The title takes the WindowText colour; every child sets a whole palette of its own.
        setTextColor(box, QPalette::WindowText, def.style.color);
        return box;
    }
    case ControlKind::EditBox: {
        auto* edit = new QLineEdit(parent);
        edit->setAlignment(def.style.alignment);
        setTextColor(edit, QPalette::Text, def.style.color);
        return edit;
    }
    case ControlKind::LogBox: {
        auto* log = new QPlainTextEdit(parent);
        log->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        log->setUndoRedoEnabled(false);
        log->setPlainText(def.caption);
        setTextColor(log, QPalette::Text, def.style.color);
        return log;
    }
    case ControlKind::CheckBox: {
        auto* check = new QCheckBox(def.caption, parent);
        setTextColor(check, QPalette::WindowText, def.style.color);
        return check;
    }
    case ControlKind::PushButton: {
        auto* button = new QPushButton(def.caption, parent);
        setTextColor(button, QPalette::ButtonText, Qt::black);
        return button;
    }
    case ControlKind::PictureBox: {
        auto* picture = new PictureBox(parent);
        setTextColor(picture, QPalette::WindowText, Qt::black);
        if (def.backColor.isValid()) picture->setBackColor(def.backColor);
        picture->setDisplayMode(PictureBox::DisplayMode::Stretch);
        if (!def.picture.isEmpty()) {
            QFile file(def.picture);
            if (file.open(QIODevice::ReadOnly)) {
                const QByteArray bytes = file.readAll();
                picture->setPicture(Bytes(bytes.begin(), bytes.end()));
            }
        }
        return picture;
    }
    case ControlKind::TextField:
        return new TextField(parent);
    case ControlKind::Label: {
        auto* label = new QLabel(def.caption, parent);
        label->setAlignment(def.style.alignment);
        label->setWordWrap(def.style.wrap);
        label->setAttribute(Qt::WA_TranslucentBackground);
        label->setAutoFillBackground(false);
        setTextColor(label, QPalette::WindowText, def.style.color);
        return label;
    }
    }
    return nullptr;
}

} // namespace

QString defaultChineseFace() {
    static const QString face = [] {
        const QString found =
            firstInstalled({QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Micro Hei"),
                            QStringLiteral("AR PL UKai CN")});
        return found.isEmpty() ? QFontDatabase::systemFont(QFontDatabase::GeneralFont).family() : found;
    }();
    return face;
}

void installFontSubstitutes() {
    static const bool done = [] {
        const QString kai =
            firstInstalled({QStringLiteral("AR PL UKai CN"), QStringLiteral("AR PL UKai TW")});
        QFont::insertSubstitution(QStringLiteral("微软雅黑"), defaultChineseFace());
        QFont::insertSubstitution(QStringLiteral("楷体"), kai.isEmpty() ? defaultChineseFace() : kai);
        return true;
    }();
    (void)done;
}

QHash<QString, QWidget*> buildControls(QWidget* window, const std::vector<ControlDef>& definition) {
    installFontSubstitutes();
    QHash<QString, QWidget*> controls;
    for (const ControlDef& def : definition) {
        QWidget* parent = def.parent.isEmpty() ? window : controls.value(def.parent, window);
        QWidget* widget = createControl(def, parent);
        widget->setObjectName(def.name);
        widget->setFont(fontFor(def.style));
        widget->setGeometry(def.place);
        controls.insert(def.name, widget);
    }
    return controls;
}

} // namespace tovrel
