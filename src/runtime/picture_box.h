#pragma once

#include "runtime/text.h"

#include <QColor>
#include <QImage>
#include <QWidget>

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
    bool hasImage() const { return !m_image.isNull(); }

    void setBackColor(const QColor& color);
    void setDisplayMode(DisplayMode mode);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Bytes m_bytes;
    QImage m_image;
    QColor m_backColor;
    DisplayMode m_mode = DisplayMode::Stretch;
};

} // namespace tovrel
