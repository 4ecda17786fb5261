#include "runtime/picture_formats.h"

namespace tovrel::picture {

namespace {

constexpr std::size_t kHeaderSize = 128;
constexpr std::size_t kPaletteSize = 1 + 256 * 3; // 0x0C, then 256 RGB triples at the end of the file

std::uint16_t le16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

// Run-length decoding that may carry a run across scanlines, as some writers do.
class RleReader final {
public:
    RleReader(const std::uint8_t* begin, const std::uint8_t* end) : m_next(begin), m_end(end) {}

    // Fills the line; false when the data ran out (the rest of the line is zero).
    bool readLine(std::uint8_t* line, std::size_t length) {
        std::size_t filled = 0;
        while (filled < length) {
            if (m_run == 0) {
                if (m_next == m_end) {
                    std::fill(line + filled, line + length, std::uint8_t{0});
                    return false;
                }
                const std::uint8_t byte = *m_next++;
                if (byte >= 0xC0) {
                    if (m_next == m_end) {
                        std::fill(line + filled, line + length, std::uint8_t{0});
                        return false;
                    }
                    m_run = byte & 0x3F;
                    m_value = *m_next++;
                } else {
                    m_run = 1;
                    m_value = byte;
                }
                continue;
            }
            const std::size_t count = std::min<std::size_t>(m_run, length - filled);
            std::fill(line + filled, line + filled + count, m_value);
            filled += count;
            m_run -= count;
        }
        return true;
    }

private:
    const std::uint8_t* m_next;
    const std::uint8_t* m_end;
    std::size_t m_run = 0;
    std::uint8_t m_value = 0;
};

} // namespace

// 8 bits a pixel with the 256-colour palette at the end, or 1 bit a pixel black and white.
DecodeResult decodePcx(const std::uint8_t* data, std::size_t size, PixelBudget& budget, DecodedPicture& out) {
    if (size < kHeaderSize) return DecodeResult::Failed;
    const int bitsPerPixel = data[3];
    const std::int64_t width = std::int64_t{le16(data + 8)} - le16(data + 4) + 1;
    const std::int64_t height = std::int64_t{le16(data + 10)} - le16(data + 6) + 1;
    const int planes = data[65];
    const std::size_t bytesPerLine = le16(data + 66);
    if (planes != 1 || (bitsPerPixel != 8 && bitsPerPixel != 1)) return DecodeResult::Failed;
    if (width <= 0 || height <= 0) return DecodeResult::Failed;
    if (!budget.take(width, height)) return DecodeResult::TooLarge;
    const std::size_t needed = bitsPerPixel == 8 ? std::size_t(width) : std::size_t(width + 7) / 8;
    if (bytesPerLine < needed) return DecodeResult::Failed;

    const std::uint8_t* end = data + size;
    QList<QRgb> colours;
    if (bitsPerPixel == 8) {
        if (size < kHeaderSize + kPaletteSize || data[size - kPaletteSize] != 0x0C)
            return DecodeResult::Failed;
        end = data + size - kPaletteSize;
        const std::uint8_t* palette = end + 1;
        for (int i = 0; i < 256; ++i)
            colours.append(qRgb(palette[3 * i], palette[3 * i + 1], palette[3 * i + 2]));
    } else {
        colours = {qRgb(0, 0, 0), qRgb(255, 255, 255)};
    }

    QImage pixels(static_cast<int>(width), static_cast<int>(height),
                  bitsPerPixel == 8 ? QImage::Format_Indexed8 : QImage::Format_Mono);
    if (pixels.isNull()) return DecodeResult::Failed;
    pixels.setColorTable(colours);
    std::vector<std::uint8_t> line(bytesPerLine);
    RleReader reader(data + kHeaderSize, end);
    for (int y = 0; y < pixels.height(); ++y) {
        // A truncated file keeps the lines it has; the rest are colour 0.
        reader.readLine(line.data(), line.size());
        std::copy_n(line.data(), needed, pixels.scanLine(y));
    }
    out.frames.push_back(PictureFrame{pixels.convertToFormat(QImage::Format_RGB32), 0});
    return DecodeResult::Decoded;
}

} // namespace tovrel::picture
