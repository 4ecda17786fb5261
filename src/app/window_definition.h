#pragma once

#include <QColor>
#include <QHash>
#include <QRect>
#include <QString>
#include <QWidget>

#include <functional>
#include <string>
#include <vector>

namespace tovrel {

class App;

enum class ControlKind { GroupBox, EditBox, LogBox, CheckBox, PushButton, PictureBox, Label, TextField };

struct TextStyle {
    QString face;       // empty: the default face for Chinese text
    int pixelSize = 12; // character height in pixels
    bool bold = false;
    QColor color = Qt::black;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    bool wrap = false;
};

// One row of a window definition.
struct ControlDef {
    QString name; // also the widget's object name
    ControlKind kind;
    QString parent; // empty: the window itself
    QRect place;    // relative to the parent's top-left corner
    QString caption;
    TextStyle style;
    std::function<void(App&)> onClick; // check boxes and push buttons; empty: no handler
    QColor backColor;                  // picture boxes; invalid: the window's own
    QString picture;                   // picture boxes: a resource with their initial bytes
};

// A text field that is never shown: it holds exactly the bytes written into it.
class TextField final : public QWidget {
    Q_OBJECT
public:
    explicit TextField(QWidget* parent = nullptr) : QWidget(parent) {}
    const std::string& text() const { return m_text; }
    void setText(std::string text) { m_text = std::move(text); }

private:
    std::string m_text;
};

// The face that stands for the system's default Chinese face.
QString defaultChineseFace();

// Maps the Windows faces the definitions name to installed CJK faces, once per process.
void installFontSubstitutes();

// Creates the controls of a definition on a window, in order, so that later rows lie above earlier
// ones; returns them by name.
QHash<QString, QWidget*> buildControls(QWidget* window, const std::vector<ControlDef>& definition);

} // namespace tovrel
