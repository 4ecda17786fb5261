#pragma once

#include "runtime/text.h"

#include <QImage>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tovrel {

// Pictures larger than this are refused from their headers, before any pixel memory is allocated.
inline constexpr std::int64_t kPictureMaxSide = 16384;
inline constexpr std::int64_t kPictureMaxPixels = std::int64_t{32} * 1024 * 1024; // 128 MiB of RGBA
// A progressive JPEG may have no more scans than this; each scan is a pass over the whole picture.
inline constexpr int kJpegMaxScans = 100;

enum class PictureFormat { None, Bmp, Jpeg, Png, Ico, Cur, Gif, Pcx8, Pcx1 };

enum class DecodeResult {
    Decoded,  // at least one frame
    NoFormat, // the leading bytes match no known format
    TooLarge, // refused from the header: size, pixel budget or number of scans
    Failed,   // corrupt or truncated beyond what the decoder can give
};

struct PictureFrame {
    QImage image;    // ARGB32 or ARGB32_Premultiplied or RGB32
    int delayMs = 0; // until the next frame; 0 for a still picture
};

struct DecodedPicture {
    PictureFormat format = PictureFormat::None;
    DecodeResult result = DecodeResult::NoFormat;
    std::vector<PictureFrame> frames;
    int loopCount = 0; // extra plays after the first; -1 forever

    bool isEmpty() const { return frames.empty(); }
};

// The format by the leading bytes; fewer than 8 bytes match nothing.
PictureFormat detectPictureFormat(const std::uint8_t* data, std::size_t size);

// Decodes the bytes of an image file; no frames when they match no format or do not decode.
DecodedPicture decodePicture(const std::uint8_t* data, std::size_t size);
inline DecodedPicture decodePicture(const Bytes& bytes) {
    return decodePicture(bytes.data(), bytes.size());
}

} // namespace tovrel
