#pragma once

#include "runtime/picture_decode.h"
#include "runtime/text.h"

#include <QColor>
#include <QImage>
#include <QTimer>
#include <QWidget>

#include <vector>

namespace tovrel {

// A picture box: holds the bytes of an image file, shows the picture they decode to, and gives back
// exactly the bytes last written.
class PictureBox final : public QWidget {
    Q_OBJECT
public:
    enum class DisplayMode { TopLeft = 0, Stretch = 1, Fit = 2 };

    explicit PictureBox(QWidget* parent = nullptr);

    void setPicture(const Bytes& bytes);
    const Bytes& picture() const { return m_bytes; }
    bool hasImage() const { return !m_frames.empty(); }
    // The frame shown now; null without a picture.
    QImage image() const { return m_frames.empty() ? QImage() : m_frames[m_frame].image; }
    int frameCount() const { return static_cast<int>(m_frames.size()); }
    int currentFrame() const { return m_frame; }

    void setBackColor(const QColor& color);
    void setDisplayMode(DisplayMode mode);
    void setPlayAnimation(bool play);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void showFrame(int frame);
    void nextFrame();

    Bytes m_bytes;
    std::vector<PictureFrame> m_frames;
    int m_frame = 0;
    int m_playsLeft = 0; // further passes over the frames; -1 forever
    QTimer m_timer;
    QColor m_backColor;
    DisplayMode m_mode = DisplayMode::Stretch;
    bool m_play = true;
};

} // namespace tovrel
