#include "runtime/picture_decode.h"

#include "runtime/picture_formats.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>

namespace tovrel {

namespace {

bool startsWith(const std::uint8_t* data, std::initializer_list<std::uint8_t> prefix) {
    return std::equal(prefix.begin(), prefix.end(), data);
}

std::uint16_t le16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

} // namespace

PictureFormat detectPictureFormat(const std::uint8_t* data, std::size_t size) {
    if (data == nullptr || size < 8) return PictureFormat::None;
    if (startsWith(data, {'B', 'M'})) return PictureFormat::Bmp;
    if (startsWith(data, {0xFF, 0xD8})) return PictureFormat::Jpeg;
    if (startsWith(data, {0x89, 0x50, 0x4E, 0x47})) return PictureFormat::Png;
    if (startsWith(data, {0x00, 0x00, 0x01, 0x00}) && le16(data + 4) > 0) return PictureFormat::Ico;
    if (startsWith(data, {0x00, 0x00, 0x02, 0x00}) && le16(data + 4) > 0) return PictureFormat::Cur;
    if (startsWith(data, {0x47, 0x49, 0x46, 0x38}) && (data[4] == 0x37 || data[4] == 0x39) && data[5] == 0x61)
        return PictureFormat::Gif;
    if (data[0] == 0x0A && data[1] <= 5 && data[2] == 0x01 && data[3] == 0x08) return PictureFormat::Pcx8;
    if (startsWith(data, {0x0A, 0x03, 0x01, 0x01})) return PictureFormat::Pcx1;
    return PictureFormat::None;
}

DecodedPicture decodePicture(const std::uint8_t* data, std::size_t size) {
    DecodedPicture out;
    out.format = detectPictureFormat(data, size);
    picture::PixelBudget budget;
    switch (out.format) {
    case PictureFormat::None:
        out.result = DecodeResult::NoFormat;
        return out;
    case PictureFormat::Png:
        out.result = picture::decodePng(data, size, budget, out);
        break;
    case PictureFormat::Jpeg:
        out.result = picture::decodeJpeg(data, size, budget, out);
        break;
    case PictureFormat::Pcx8:
    case PictureFormat::Pcx1:
        out.result = picture::decodePcx(data, size, budget, out);
        break;
    case PictureFormat::Bmp:
        out.result = picture::decodeWithQt(data, size, "bmp", budget, out);
        break;
    case PictureFormat::Ico:
        out.result = picture::decodeWithQt(data, size, "ico", budget, out);
        break;
    case PictureFormat::Cur:
        out.result = picture::decodeWithQt(data, size, "cur", budget, out);
        break;
    case PictureFormat::Gif:
        out.result = picture::decodeWithQt(data, size, "gif", budget, out);
        break;
    }
    if (out.frames.empty() && out.result == DecodeResult::Decoded) out.result = DecodeResult::Failed;
    if (out.result != DecodeResult::Decoded) out.frames.clear();
    return out;
}

namespace picture {

namespace {

// The largest icon of the directory, by its declared size; -1 when none can be read.
int largestIcon(QImageReader& reader) {
    const int count = std::min(reader.imageCount(), 256); // real icons have a handful of entries
    int best = count > 0 ? 0 : -1;
    std::int64_t bestArea = -1;
    for (int i = 0; i < count; ++i) {
        if (!reader.jumpToImage(i)) break;
        const QSize size = reader.size();
        const std::int64_t area = std::int64_t{size.width()} * size.height();
        if (size.isValid() && area > bestArea) {
            best = i;
            bestArea = area;
        }
    }
    return best;
}

// Frames of an animation are kept in one premultiplied format, ready to paint.
QImage paintable(QImage image) {
    if (image.format() == QImage::Format_ARGB32_Premultiplied || image.format() == QImage::Format_RGB32)
        return image;
    return image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                         : QImage::Format_RGB32);
}

} // namespace

DecodeResult decodeWithQt(const std::uint8_t* data, std::size_t size, const char* format, PixelBudget& budget,
                          DecodedPicture& out) {
    const QByteArray array =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QBuffer buffer;
    buffer.setData(array);
    if (!buffer.open(QIODevice::ReadOnly)) return DecodeResult::Failed;
    QImageReader reader(&buffer, format);
    // The format is named by the leading bytes: never let the reader guess another one.
    reader.setAutoDetectImageFormat(false);
    reader.setDecideFormatFromContent(false);
    reader.setAllocationLimit(static_cast<int>(kPictureMaxPixels * 4 / (1024 * 1024)));

    const bool animated = qstrcmp(format, "gif") == 0;
    if (qstrcmp(format, "ico") == 0 || qstrcmp(format, "cur") == 0) {
        const int icon = largestIcon(reader);
        if (icon < 0 || !reader.jumpToImage(icon)) return DecodeResult::Failed;
    }
    for (;;) {
        const QSize declared = reader.size();
        if (declared.isValid() && !budget.fits(declared.width(), declared.height()))
            return out.frames.empty() ? DecodeResult::TooLarge : DecodeResult::Decoded;
        QImage image = reader.read();
        if (image.isNull() || !budget.take(image.width(), image.height())) break;
        int delay = animated ? reader.nextImageDelay() : 0;
        // Delays this short are taken as unset, as browsers do.
        if (animated && delay <= 10) delay = 100;
        out.frames.push_back(PictureFrame{paintable(std::move(image)), delay});
        if (!animated || !reader.canRead()) break;
    }
    if (animated) out.loopCount = reader.loopCount();
    if (out.frames.size() == 1) out.frames.front().delayMs = 0;
    return out.frames.empty() ? DecodeResult::Failed : DecodeResult::Decoded;
}

} // namespace picture

} // namespace tovrel
