#pragma once

#include "app/window_definition.h"

#include <QHash>
#include <QImage>
#include <QPointer>
#include <QWidget>

#include <vector>

namespace tovrel {

// The About card: frameless, modal over every other window of the program, closed by a press on the
// close mark in its top-right corner.
class AboutWindow final : public QWidget {
    Q_OBJECT
public:
    AboutWindow();
    ~AboutWindow() override;

    // Creates a new card, disables the program's other windows and shows it centred.
    static AboutWindow* open();

    QWidget* control(const QString& name) const { return m_controls.value(name); }

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QImage m_background;
    QHash<QString, QWidget*> m_controls;
    std::vector<std::pair<QPointer<QWidget>, bool>> m_disabled; // each window and its former enabled state
};

inline constexpr int aboutWidth = 380;
inline constexpr int aboutHeight = 252;

const std::vector<ControlDef>& aboutWindowDefinition();

} // namespace tovrel
