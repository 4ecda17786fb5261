#include "runtime/picture_box.h"

#include <QPainter>

namespace tovrel {

PictureBox::PictureBox(QWidget* parent) : QWidget(parent), m_backColor(palette().color(QPalette::Window)) {
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &PictureBox::nextFrame);
}

void PictureBox::setPicture(const Bytes& bytes) {
    m_bytes = bytes;
    m_timer.stop();
    DecodedPicture decoded = decodePicture(m_bytes);
    m_frames = std::move(decoded.frames);
    m_playsLeft = decoded.loopCount;
    showFrame(0);
}

void PictureBox::setBackColor(const QColor& color) {
    m_backColor = color;
    update();
}

void PictureBox::setDisplayMode(DisplayMode mode) {
    m_mode = mode;
    update();
}

void PictureBox::setPlayAnimation(bool play) {
    m_play = play;
    if (!play) m_timer.stop();
    showFrame(m_frame);
}

void PictureBox::showFrame(int frame) {
    m_frame = frame;
    if (m_play && m_frames.size() > 1 && !m_timer.isActive()) m_timer.start(m_frames[m_frame].delayMs);
    update();
}

void PictureBox::nextFrame() {
    if (m_frames.empty()) return;
    int next = m_frame + 1;
    if (next == frameCount()) {
        if (m_playsLeft == 0) return; // played out: the last frame stays
        if (m_playsLeft > 0) --m_playsLeft;
        next = 0;
    }
    showFrame(next);
}

void PictureBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), m_backColor);
    if (m_frames.empty()) return;
    const QImage& image = m_frames[m_frame].image;
    switch (m_mode) {
    case DisplayMode::TopLeft:
        painter.drawImage(QPoint(0, 0), image);
        break;
    case DisplayMode::Stretch:
        painter.drawImage(rect(), image);
        break;
    case DisplayMode::Fit: {
        QSize size = image.size();
        if (size.width() > width() || size.height() > height()) size.scale(this->size(), Qt::KeepAspectRatio);
        QRect target(QPoint(0, 0), size);
        target.moveCenter(rect().center());
        painter.drawImage(target, image);
        break;
    }
    }
}

} // namespace tovrel
