#pragma once

class QWidget;

namespace tovrel::test {

// A left click as the window system delivers it: queued, so a wait that holds input back holds it too.
void queueClick(QWidget* widget);

} // namespace tovrel::test
