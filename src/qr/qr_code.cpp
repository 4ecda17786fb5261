#include "qr/qr_code.h"

#include "shorten/catalogue.h"

#include <QBuffer>
#include <QImage>

#include <qrencode.h>

#include <memory>
#include <string>

namespace tovrel {

Text qrRequestAddress(std::string_view text) {
    Text address(qrServicePrefix);
    address += percentEncode(text);
    return address;
}

Bytes renderQrPng(std::string_view text) {
    const std::string data(text);
    std::unique_ptr<QRcode, decltype(&QRcode_free)> code(
        QRcode_encodeData(static_cast<int>(data.size()), reinterpret_cast<const unsigned char*>(data.data()),
                          0, QR_ECLEVEL_M),
        &QRcode_free);
    if (!code) return {};
    constexpr int quietZone = 4;
    const int modules = code->width + 2 * quietZone;
    const int scale = (175 + modules - 1) / modules;
    QImage image(modules * scale, modules * scale, QImage::Format_Grayscale8);
    image.fill(255);
    for (int y = 0; y < code->width; ++y) {
        for (int x = 0; x < code->width; ++x) {
            if ((code->data[y * code->width + x] & 1) == 0) continue;
            for (int dy = 0; dy < scale; ++dy) {
                uchar* row = image.scanLine((y + quietZone) * scale + dy);
                std::fill_n(row + (x + quietZone) * scale, scale, uchar(0));
            }
        }
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) return {};
    return Bytes(png.begin(), png.end());
}

Text exportTimeStamp(const QDateTime& when) {
    const QDate date = when.date();
    const QTime time = when.time();
    QString stamp = QStringLiteral("%1年%2月%3日").arg(date.year()).arg(date.month()).arg(date.day());
    if (time.second() != 0)
        stamp += QStringLiteral("%1时%2分%3秒").arg(time.hour()).arg(time.minute()).arg(time.second());
    else if (time.minute() != 0)
        stamp += QStringLiteral("%1时%2分").arg(time.hour()).arg(time.minute());
    else if (time.hour() != 0)
        stamp += QStringLiteral("%1时").arg(time.hour());
    return toGbk(stamp);
}

} // namespace tovrel
