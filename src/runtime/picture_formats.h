#pragma once

// Internal to the picture decoder: one function per format and the pixel budget they share.

#include "runtime/picture_decode.h"

#include <algorithm>

namespace tovrel::picture {

// Pixels still allowed for one picture; every frame of an animation draws on the same budget.
class PixelBudget final {
public:
    // Whether a frame of this size may be allocated at all; sizes come straight from headers.
    bool fits(std::int64_t width, std::int64_t height) const {
        return width > 0 && height > 0 && width <= kPictureMaxSide && height <= kPictureMaxSide &&
               width * height <= m_left;
    }
    bool take(std::int64_t width, std::int64_t height) {
        if (!fits(width, height)) return false;
        // A frame costs at least this much, so that countless tiny frames cannot exhaust memory.
        m_left -= std::max<std::int64_t>(width * height, 4096);
        if (m_left < 0) m_left = 0;
        return true;
    }

private:
    std::int64_t m_left = kPictureMaxPixels;
};

DecodeResult decodePng(const std::uint8_t* data, std::size_t size, PixelBudget& budget, DecodedPicture& out);
DecodeResult decodeJpeg(const std::uint8_t* data, std::size_t size, PixelBudget& budget, DecodedPicture& out);
DecodeResult decodePcx(const std::uint8_t* data, std::size_t size, PixelBudget& budget, DecodedPicture& out);
// BMP, ICO, CUR and GIF through Qt's readers, the format named explicitly.
DecodeResult decodeWithQt(const std::uint8_t* data, std::size_t size, const char* format, PixelBudget& budget,
                          DecodedPicture& out);

} // namespace tovrel::picture
