#pragma once

// Small pictures of every format the picture field reads, made here from known pixels.

#include "runtime/text.h"

#include <QImage>

#include <string>
#include <utility>
#include <vector>

namespace tovrel::fixtures {

// PNG through libpng's writer; rows are the raw samples without filter bytes.
struct PngSpec {
    int width = 0;
    int height = 0;
    int colorType = 0;
    int bitDepth = 8;
    bool interlaced = false;
    std::vector<std::uint8_t> rows;
    std::vector<std::uint8_t> palette; // RGB triples
    std::vector<std::uint8_t> alphas;  // tRNS of a palette
};
Bytes png(const PngSpec& spec);
Bytes pngPalette();                      // 4x2, 2 bits, index 3 half transparent
Bytes pngGreyAlpha();                    // 2x1
Bytes png16();                           // 2x1, 16-bit RGB
Bytes pngInterlaced();                   // 9x9 RGB, Adam7, pixel (x, y) = (28x, 28y, 14(x + y))
Bytes pngFromImage(const QImage& image); // any size, RGBA

enum class JpegKind { Grey, Colour, Progressive, AdobeCmyk };
// Quadrants of 8x8 blocks: red, green / blue, white (grey: 50, 200 / 200, 50).
Bytes jpeg(JpegKind kind);
Bytes jpegFromImage(const QImage& image, int quality);
// A progressive JPEG with one scan for the DC, then one scan for each AC coefficient of each component.
Bytes jpegManyScans(int components);

Bytes bmp();          // 3x2 RGB
Bytes ico();          // 3x2 with a transparent and a half transparent pixel
Bytes icoTwoSizes();  // 2x2 blue, then 4x3 red
Bytes cur();          // the same icon as a cursor, hot spot 1,1
Bytes gifTwoFrames(); // 2x2, see picture_fixtures.cpp
Bytes pcx8();         // 3x2
Bytes pcx1();         // 10x2

QImage bmpPixels();
QImage icoPixels();

// Every fixture with a name, for the fuzzer's seed corpus.
std::vector<std::pair<std::string, Bytes>> all();

// Headers that declare huge pictures.
Bytes hugePng(std::uint32_t width, std::uint32_t height);
Bytes withJpegSize(Bytes jpegBytes, std::uint16_t width, std::uint16_t height);
Bytes withGifSize(Bytes gifBytes, std::uint16_t width, std::uint16_t height);
Bytes withPcxSize(Bytes pcxBytes, std::uint16_t width, std::uint16_t height);
Bytes withBmpSize(Bytes bmpBytes, std::int32_t width, std::int32_t height);

} // namespace tovrel::fixtures
