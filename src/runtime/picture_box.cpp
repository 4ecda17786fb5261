#include "runtime/picture_box.h"

#include <QPainter>

namespace tovrel {

PictureBox::PictureBox(QWidget* parent) : QWidget(parent), m_backColor(palette().color(QPalette::Window)) {}

void PictureBox::setPicture(const Bytes& bytes) {
    m_bytes = bytes;
    m_image = QImage();
    update();
}

void PictureBox::setBackColor(const QColor& color) {
    m_backColor = color;
    update();
}

void PictureBox::setDisplayMode(DisplayMode mode) {
    m_mode = mode;
    update();
}

void PictureBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), m_backColor);
    if (m_image.isNull()) return;
    switch (m_mode) {
    case DisplayMode::TopLeft:
        painter.drawImage(QPoint(0, 0), m_image);
        break;
    case DisplayMode::Stretch:
        painter.drawImage(rect(), m_image);
        break;
    case DisplayMode::Fit: {
        QSize size = m_image.size();
        if (size.width() > width() || size.height() > height()) size.scale(this->size(), Qt::KeepAspectRatio);
        QRect target(QPoint(0, 0), size);
        target.moveCenter(rect().center());
        painter.drawImage(target, m_image);
        break;
    }
    }
}

} // namespace tovrel
