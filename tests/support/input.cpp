#include "support/input.h"

#include <QWidget>
#include <QWindow>
#include <qpa/qwindowsysteminterface.h>

namespace tovrel::test {

void queueClick(QWidget* widget) {
    QWindow* window = widget->window()->windowHandle();
    const QPointF local = widget->mapTo(widget->window(), widget->rect().center());
    const QPointF global = widget->mapToGlobal(widget->rect().center());
    QWindowSystemInterface::handleMouseEvent<QWindowSystemInterface::AsynchronousDelivery>(
        window, local, global, Qt::LeftButton, Qt::LeftButton, QEvent::MouseButtonPress);
    QWindowSystemInterface::handleMouseEvent<QWindowSystemInterface::AsynchronousDelivery>(
        window, local, global, Qt::NoButton, Qt::LeftButton, QEvent::MouseButtonRelease);
}

} // namespace tovrel::test
