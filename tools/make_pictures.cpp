// Draws the program's own pictures: the About card's landscape (plain and with its close mark) and its
// two QR codes. Run by the build; anyone can remake them.
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QString>

#include <qrencode.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

namespace {

QImage landscape() {
    QImage image(500, 313, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 200);
    sky.setColorAt(0, QColor(70, 130, 200));
    sky.setColorAt(1, QColor(200, 225, 245));
    painter.fillRect(image.rect(), sky);
    QRadialGradient sun(400, 70, 40);
    sun.setColorAt(0, QColor(255, 250, 220));
    sun.setColorAt(1, QColor(255, 250, 220, 0));
    painter.fillRect(image.rect(), sun);

    auto ridge = [&](const QColor& color, int base, std::initializer_list<QPointF> peaks) {
        QPainterPath path(QPointF(0, 313));
        path.lineTo(0, base);
        for (const QPointF& peak : peaks)
            path.lineTo(peak);
        path.lineTo(500, base);
        path.lineTo(500, 313);
        path.closeSubpath();
        painter.fillPath(path, color);
    };
    ridge(QColor(120, 140, 170), 190, {{60, 120}, {130, 170}, {210, 90}, {300, 160}, {380, 110}, {460, 170}});
    ridge(QColor(80, 110, 90), 230, {{40, 200}, {150, 150}, {240, 210}, {330, 160}, {430, 215}});
    ridge(QColor(50, 85, 55), 270, {{90, 245}, {200, 225}, {320, 260}, {420, 235}});
    // Snow on the highest peak.
    QPainterPath snow(QPointF(210, 90));
    snow.lineTo(190, 112);
    snow.lineTo(205, 108);
    snow.lineTo(215, 116);
    snow.lineTo(232, 106);
    snow.closeSubpath();
    painter.fillPath(snow, Qt::white);
    QLinearGradient lake(0, 270, 0, 313);
    lake.setColorAt(0, QColor(90, 150, 200));
    lake.setColorAt(1, QColor(40, 90, 140));
    painter.fillRect(QRectF(0, 285, 500, 28), lake);
    return image;
}

QImage withCloseMark(QImage image) {
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    // The card shows the picture 384 x 248 over 500 x 313: the mark sits under the window's top-right hot
    // spot.
    const QPointF centre(470, 24);
    painter.setPen(QPen(QColor(220, 20, 20), 4));
    painter.setBrush(QColor(255, 255, 255, 200));
    painter.drawEllipse(centre, 20, 20);
    painter.setPen(QPen(QColor(220, 20, 20), 5, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(centre + QPointF(-9, -9), centre + QPointF(9, 9));
    painter.drawLine(centre + QPointF(-9, 9), centre + QPointF(9, -9));
    return image;
}

QImage qrCode(const char* text, int size) {
    std::unique_ptr<QRcode, decltype(&QRcode_free)> code(
        QRcode_encodeString(text, 0, QR_ECLEVEL_M, QR_MODE_8, 1), &QRcode_free);
    QImage image(size, size, QImage::Format_RGB32);
    image.fill(Qt::white);
    if (!code) return image;
    const int modules = code->width + 8; // a quiet zone of 4 modules on each side
    const int scale = size / modules;
    const int offset = (size - code->width * scale) / 2;
    QPainter painter(&image);
    for (int y = 0; y < code->width; ++y)
        for (int x = 0; x < code->width; ++x)
            if (code->data[y * code->width + x] & 1)
                painter.fillRect(offset + x * scale, offset + y * scale, scale, scale, Qt::black);
    return image;
}

// The program's icon: a chain link over a blue rounded square, drawn at any size.
QImage icon(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 64.0, size / 64.0);
    QLinearGradient face(0, 0, 0, 64);
    face.setColorAt(0, QColor(60, 140, 230));
    face.setColorAt(1, QColor(30, 90, 190));
    painter.setPen(Qt::NoPen);
    painter.setBrush(face);
    painter.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);
    painter.setBrush(Qt::NoBrush);
    painter.translate(32, 32);
    painter.rotate(-45);
    painter.setPen(QPen(Qt::white, 6));
    painter.drawRoundedRect(QRectF(-22, -8, 26, 16), 8, 8);
    painter.setPen(QPen(QColor(255, 220, 80), 6));
    painter.drawRoundedRect(QRectF(-4, -8, 26, 16), 8, 8);
    return image;
}

bool save(const QImage& image, const QString& folder, const char* name, const char* format) {
    const QString path = folder + QLatin1Char('/') + QLatin1String(name);
    if (image.save(path, format, format[0] == 'J' ? 90 : -1)) return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3 || (std::strcmp(argv[1], "about") != 0 && std::strcmp(argv[1], "icons") != 0)) {
        std::fprintf(stderr, "usage: make_pictures about|icons OUTPUT_FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[2]);
    if (std::strcmp(argv[1], "icons") == 0) {
        for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
            const std::string name = "tovrel-" + std::to_string(size) + ".png";
            if (!save(icon(size), folder, name.c_str(), "PNG")) return 1;
        }
        return 0;
    }
    const QImage card = landscape();
    const bool ok = save(card, folder, "landscape.jpg", "JPG") &&
                    save(withCloseMark(card), folder, "landscape_close.png", "PNG") &&
                    save(qrCode("https://www.tovrel.net/", 550), folder, "qr_wechat.png", "PNG") &&
                    save(qrCode("https://www.tovrel.net/thanks", 382), folder, "qr_alipay.png", "PNG");
    return ok ? 0 : 1;
}
