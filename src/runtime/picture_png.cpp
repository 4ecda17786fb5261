#include "runtime/picture_formats.h"

#include <png.h>

namespace tovrel::picture {

DecodeResult decodePng(const std::uint8_t* data, std::size_t size, PixelBudget& budget, DecodedPicture& out) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_memory(&image, data, size) == 0) return DecodeResult::Failed;
    // The simplified interface takes no user limits and its size macros overflow 32 bits: check here.
    if (!budget.take(image.width, image.height)) {
        png_image_free(&image);
        return DecodeResult::TooLarge;
    }
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
    image.format = PNG_FORMAT_BGRA;
#else
    image.format = PNG_FORMAT_ARGB;
#endif
    // 16-bit samples are sRGB like 8-bit ones unless the file says otherwise, not linear light.
    image.flags |= PNG_IMAGE_FLAG_16BIT_sRGB;
    QImage pixels(static_cast<int>(image.width), static_cast<int>(image.height), QImage::Format_ARGB32);
    if (pixels.isNull()) {
        png_image_free(&image);
        return DecodeResult::Failed;
    }
    // Frees the image whatever the outcome.
    if (png_image_finish_read(&image, nullptr, pixels.bits(), static_cast<png_int_32>(pixels.bytesPerLine()),
                              nullptr) == 0)
        return DecodeResult::Failed;
    out.frames.push_back(PictureFrame{std::move(pixels), 0});
    return DecodeResult::Decoded;
}

} // namespace tovrel::picture
