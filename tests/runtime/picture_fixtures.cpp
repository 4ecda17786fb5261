#include "picture_fixtures.h"

#include <QBuffer>
#include <QImageWriter>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <jpeglib.h>
#include <png.h>

namespace tovrel::fixtures {

namespace {

void putLe16(Bytes& bytes, std::size_t at, std::uint16_t value) {
    bytes[at] = static_cast<std::uint8_t>(value);
    bytes[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

void appendLe16(Bytes& bytes, std::uint16_t value) {
    bytes.push_back(static_cast<std::uint8_t>(value));
    bytes.push_back(static_cast<std::uint8_t>(value >> 8));
}

void appendBe32(Bytes& bytes, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        bytes.push_back(static_cast<std::uint8_t>(value >> shift));
}

std::uint32_t crc32(const std::uint8_t* data, std::size_t size) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void appendChunk(Bytes& bytes, const char* type, const Bytes& payload) {
    appendBe32(bytes, static_cast<std::uint32_t>(payload.size()));
    const std::size_t start = bytes.size();
    bytes.insert(bytes.end(), type, type + 4);
    bytes.insert(bytes.end(), payload.begin(), payload.end());
    appendBe32(bytes, crc32(bytes.data() + start, bytes.size() - start));
}

void writeToBytes(png_structp png, png_bytep data, png_size_t size) {
    auto* bytes = static_cast<Bytes*>(png_get_io_ptr(png));
    bytes->insert(bytes->end(), data, data + size);
}

Bytes qtWrite(const QImage& image, const char* format) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (!writer.write(image)) std::abort();
    const QByteArray& data = buffer.data();
    return Bytes(data.begin(), data.end());
}

QImage quadrants(QRgb topLeft, QRgb topRight, QRgb bottomLeft, QRgb bottomRight) {
    QImage image(16, 16, QImage::Format_RGB32);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            image.setPixel(x, y, y < 8 ? (x < 8 ? topLeft : topRight) : (x < 8 ? bottomLeft : bottomRight));
    return image;
}

struct JpegWriter {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    unsigned char* buffer = nullptr;
    unsigned long size = 0;

    JpegWriter(int width, int height, int components, J_COLOR_SPACE space) {
        info.err = jpeg_std_error(&errors);
        jpeg_create_compress(&info);
        jpeg_mem_dest(&info, &buffer, &size);
        info.image_width = static_cast<JDIMENSION>(width);
        info.image_height = static_cast<JDIMENSION>(height);
        info.input_components = components;
        info.in_color_space = space;
        jpeg_set_defaults(&info);
    }
    ~JpegWriter() {
        jpeg_destroy_compress(&info);
        std::free(buffer);
    }
    // Rows of input_components samples each.
    Bytes write(const std::vector<std::uint8_t>& samples) {
        jpeg_start_compress(&info, TRUE);
        const std::size_t stride = info.image_width * static_cast<std::size_t>(info.input_components);
        while (info.next_scanline < info.image_height) {
            auto* row = const_cast<JSAMPROW>(samples.data() + info.next_scanline * stride);
            jpeg_write_scanlines(&info, &row, 1);
        }
        jpeg_finish_compress(&info);
        return Bytes(buffer, buffer + size);
    }
};

std::vector<std::uint8_t> rgbSamples(const QImage& image) {
    std::vector<std::uint8_t> samples;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            samples.insert(samples.end(), {std::uint8_t(qRed(pixel)), std::uint8_t(qGreen(pixel)),
                                           std::uint8_t(qBlue(pixel))});
        }
    return samples;
}

// Packs GIF LZW codes of `width` bits, least significant bit first, into sub-blocks.
void appendGifImageData(Bytes& bytes, const std::vector<std::uint8_t>& indices) {
    // Codes for 2-bit colour indices: 4 clears the table, 5 ends the data; codes are 3 bits wide.
    // A clear before every index keeps the table from ever growing, so each code is a plain index
    // and the code width never changes: any decoder must read this the same way.
    std::vector<int> codes;
    for (std::uint8_t index : indices)
        codes.insert(codes.end(), {4, index});
    codes.push_back(5);
    Bytes packed;
    unsigned bits = 0, count = 0;
    for (int code : codes) {
        bits |= static_cast<unsigned>(code) << count;
        count += 3;
        while (count >= 8) {
            packed.push_back(static_cast<std::uint8_t>(bits));
            bits >>= 8;
            count -= 8;
        }
    }
    if (count > 0) packed.push_back(static_cast<std::uint8_t>(bits));
    bytes.push_back(2); // minimum code size
    bytes.push_back(static_cast<std::uint8_t>(packed.size()));
    bytes.insert(bytes.end(), packed.begin(), packed.end());
    bytes.push_back(0);
}

Bytes pcxHeader(int bitsPerPixel, int width, int height, int bytesPerLine, std::uint8_t version) {
    Bytes header(128, 0);
    header[0] = 0x0A;
    header[1] = version;
    header[2] = 1;
    header[3] = static_cast<std::uint8_t>(bitsPerPixel);
    putLe16(header, 8, static_cast<std::uint16_t>(width - 1));
    putLe16(header, 10, static_cast<std::uint16_t>(height - 1));
    header[65] = 1;
    putLe16(header, 66, static_cast<std::uint16_t>(bytesPerLine));
    return header;
}

} // namespace

Bytes png(const PngSpec& spec) {
    Bytes bytes;
    png_structp writer = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(writer);
    if (setjmp(png_jmpbuf(writer))) std::abort();
    png_set_write_fn(writer, &bytes, writeToBytes, nullptr);
    png_set_IHDR(writer, info, static_cast<png_uint_32>(spec.width), static_cast<png_uint_32>(spec.height),
                 spec.bitDepth, spec.colorType, spec.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> palette;
    for (std::size_t i = 0; i + 2 < spec.palette.size(); i += 3)
        palette.push_back(png_color{spec.palette[i], spec.palette[i + 1], spec.palette[i + 2]});
    if (!palette.empty()) png_set_PLTE(writer, info, palette.data(), static_cast<int>(palette.size()));
    if (!spec.alphas.empty())
        png_set_tRNS(writer, info, spec.alphas.data(), static_cast<int>(spec.alphas.size()), nullptr);
    png_write_info(writer, info);
    const std::size_t stride = spec.rows.size() / static_cast<std::size_t>(spec.height);
    std::vector<png_bytep> rows;
    for (int y = 0; y < spec.height; ++y)
        rows.push_back(const_cast<png_bytep>(spec.rows.data() + stride * static_cast<std::size_t>(y)));
    png_write_image(writer, rows.data());
    png_write_end(writer, info);
    png_destroy_write_struct(&writer, &info);
    return bytes;
}

Bytes pngPalette() {
    // Indices 0 1 2 3 / 3 2 1 0 at 2 bits a pixel.
    return png({4,
                2,
                PNG_COLOR_TYPE_PALETTE,
                2,
                false,
                {0x1B, 0xE4},
                {255, 0, 0, 0, 255, 0, 0, 0, 255, 10, 20, 30},
                {255, 255, 255, 128}});
}

Bytes pngGreyAlpha() {
    return png({2, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 8, false, {0, 255, 200, 100}, {}, {}});
}

Bytes png16() {
    return png({2,
                1,
                PNG_COLOR_TYPE_RGB,
                16,
                false,
                {0xFF, 0xFF, 0x00, 0x00, 0x80, 0x80, 0x12, 0x12, 0x34, 0x34, 0xFE, 0xFE},
                {},
                {}});
}

Bytes pngInterlaced() {
    PngSpec spec{9, 9, PNG_COLOR_TYPE_RGB, 8, true, {}, {}, {}};
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 9; ++x)
            spec.rows.insert(spec.rows.end(),
                             {std::uint8_t(28 * x), std::uint8_t(28 * y), std::uint8_t(14 * (x + y))});
    return png(spec);
}

Bytes pngFromImage(const QImage& image) {
    const QImage rgba = image.convertToFormat(QImage::Format_RGBA8888);
    PngSpec spec{rgba.width(), rgba.height(), PNG_COLOR_TYPE_RGB_ALPHA, 8, false, {}, {}, {}};
    for (int y = 0; y < rgba.height(); ++y)
        spec.rows.insert(spec.rows.end(), rgba.constScanLine(y), rgba.constScanLine(y) + 4 * rgba.width());
    return png(spec);
}

Bytes jpeg(JpegKind kind) {
    const QImage colour = quadrants(qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 255, 255));
    switch (kind) {
    case JpegKind::Grey: {
        JpegWriter writer(16, 16, 1, JCS_GRAYSCALE);
        jpeg_set_quality(&writer.info, 100, TRUE);
        std::vector<std::uint8_t> samples;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                samples.push_back((x < 8) == (y < 8) ? 50 : 200);
        return writer.write(samples);
    }
    case JpegKind::Colour:
    case JpegKind::Progressive: {
        JpegWriter writer(16, 16, 3, JCS_RGB);
        jpeg_set_quality(&writer.info, 100, TRUE);
        writer.info.comp_info[0].h_samp_factor = writer.info.comp_info[0].v_samp_factor = 1;
        if (kind == JpegKind::Progressive) jpeg_simple_progression(&writer.info);
        return writer.write(rgbSamples(colour));
    }
    case JpegKind::AdobeCmyk: {
        // As print software writes them: inverted CMYK, flagged by the Adobe marker libjpeg adds.
        JpegWriter writer(16, 16, 4, JCS_CMYK);
        jpeg_set_quality(&writer.info, 100, TRUE);
        std::vector<std::uint8_t> samples;
        for (std::size_t i = 0, n = 16 * 16; i < n; ++i) {
            const QRgb pixel = colour.pixel(int(i % 16), int(i / 16));
            // With K = 0: C = 255 - R and so on, stored inverted: R, G, B, 255.
            samples.insert(samples.end(), {std::uint8_t(qRed(pixel)), std::uint8_t(qGreen(pixel)),
                                           std::uint8_t(qBlue(pixel)), 255});
        }
        return writer.write(samples);
    }
    }
    return {};
}

Bytes jpegFromImage(const QImage& image, int quality) {
    JpegWriter writer(image.width(), image.height(), 3, JCS_RGB);
    jpeg_set_quality(&writer.info, quality, TRUE);
    return writer.write(rgbSamples(image));
}

Bytes jpegManyScans(int components) {
    JpegWriter writer(16, 16, components, components == 1 ? JCS_GRAYSCALE : JCS_RGB);
    std::vector<jpeg_scan_info> scans;
    jpeg_scan_info dc{};
    dc.comps_in_scan = components;
    for (int c = 0; c < components; ++c)
        dc.component_index[c] = c;
    scans.push_back(dc);
    for (int c = 0; c < components; ++c)
        for (int k = 1; k < 64; ++k) {
            jpeg_scan_info ac{};
            ac.comps_in_scan = 1;
            ac.component_index[0] = c;
            ac.Ss = ac.Se = k;
            scans.push_back(ac);
        }
    writer.info.scan_info = scans.data();
    writer.info.num_scans = static_cast<int>(scans.size());
    std::vector<std::uint8_t> samples(16 * 16 * static_cast<std::size_t>(components));
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<std::uint8_t>(i * 7);
    return writer.write(samples);
}

QImage bmpPixels() {
    QImage image(3, 2, QImage::Format_RGB32);
    const QRgb pixels[] = {qRgb(255, 0, 0),     qRgb(0, 255, 0), qRgb(0, 0, 255),
                           qRgb(255, 255, 255), qRgb(0, 0, 0),   qRgb(10, 20, 30)};
    for (int i = 0; i < 6; ++i)
        image.setPixel(i % 3, i / 3, pixels[i]);
    return image;
}

QImage icoPixels() {
    QImage image(3, 2, QImage::Format_ARGB32);
    const QRgb pixels[] = {qRgba(255, 0, 0, 255),     qRgba(0, 0, 0, 0),   qRgba(0, 0, 255, 128),
                           qRgba(255, 255, 255, 255), qRgba(0, 0, 0, 255), qRgba(10, 20, 30, 255)};
    for (int i = 0; i < 6; ++i)
        image.setPixel(i % 3, i / 3, pixels[i]);
    return image;
}

Bytes bmp() {
    return qtWrite(bmpPixels(), "bmp");
}

Bytes ico() {
    return qtWrite(icoPixels(), "ico");
}

Bytes icoTwoSizes() {
    QImage small(2, 2, QImage::Format_ARGB32), large(4, 3, QImage::Format_ARGB32);
    small.fill(qRgb(0, 0, 255));
    large.fill(qRgb(255, 0, 0));
    // Two single-icon files joined: one directory of two entries, then both images.
    const Bytes first = qtWrite(small, "ico"), second = qtWrite(large, "ico");
    constexpr std::size_t kDirectory = 6 + 2 * 16;
    Bytes bytes(first.begin(), first.begin() + 6 + 16);
    bytes[4] = 2;
    bytes.insert(bytes.end(), second.begin() + 6, second.begin() + 6 + 16);
    const auto imageSize = [](const Bytes& file) { return std::uint32_t(file.size() - 6 - 16); };
    const std::uint32_t offsets[] = {kDirectory, kDirectory + imageSize(first)};
    for (int i = 0; i < 2; ++i)
        std::memcpy(bytes.data() + 6 + 16 * i + 12, &offsets[i], 4);
    bytes.insert(bytes.end(), first.begin() + 6 + 16, first.end());
    bytes.insert(bytes.end(), second.begin() + 6 + 16, second.end());
    return bytes;
}

Bytes cur() {
    Bytes bytes = ico();
    bytes[2] = 2;          // resource type: cursor
    putLe16(bytes, 10, 1); // the first entry's planes and bit count are a cursor's hot spot
    putLe16(bytes, 12, 1);
    return bytes;
}

// 2x2, colours red, green, blue, white; loops forever.
// Frame 1 (200 ms): red, green / blue, white, with white (3) transparent.
// Frame 2 (500 ms), left in place: red, white / red, blue with red (0) transparent, so the
// animation shows red, white / blue, blue.
Bytes gifTwoFrames() {
    Bytes bytes{'G', 'I', 'F', '8', '9', 'a'};
    appendLe16(bytes, 2);
    appendLe16(bytes, 2);
    bytes.insert(bytes.end(), {0xF1, 0, 0}); // global colour table of 4, background 0, no aspect
    bytes.insert(bytes.end(), {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255});
    const char* netscape = "NETSCAPE2.0";
    bytes.insert(bytes.end(), {0x21, 0xFF, 11});
    bytes.insert(bytes.end(), netscape, netscape + 11);
    bytes.insert(bytes.end(), {3, 1, 0, 0, 0});
    const auto frame = [&bytes](std::uint16_t delay, std::uint8_t transparent,
                                std::vector<std::uint8_t> indices) {
        bytes.insert(bytes.end(), {0x21, 0xF9, 4, 0x05}); // do not dispose, transparent index set
        appendLe16(bytes, delay);
        bytes.insert(bytes.end(), {transparent, 0});
        bytes.push_back(0x2C);
        appendLe16(bytes, 0);
        appendLe16(bytes, 0);
        appendLe16(bytes, 2);
        appendLe16(bytes, 2);
        bytes.push_back(0);
        appendGifImageData(bytes, indices);
    };
    frame(20, 3, {0, 1, 2, 3});
    frame(50, 0, {0, 3, 0, 2});
    bytes.push_back(0x3B);
    return bytes;
}

// 3x2, 4 bytes a line: 5 5 200 / 1 2 3; colour i is (i, 255 - i, i / 2).
Bytes pcx8() {
    Bytes bytes = pcxHeader(8, 3, 2, 4, 5);
    // A run of two 5s, 200 as a run of one (it is above 0xC0), padding, then literal bytes.
    bytes.insert(bytes.end(), {0xC2, 5, 0xC1, 200, 0, 1, 2, 3, 0});
    bytes.push_back(0x0C);
    for (int i = 0; i < 256; ++i)
        bytes.insert(bytes.end(), {std::uint8_t(i), std::uint8_t(255 - i), std::uint8_t(i / 2)});
    return bytes;
}

// 10x2, 2 bytes a line: 1010101010 / 1111111111, 1 is white.
Bytes pcx1() {
    Bytes bytes = pcxHeader(1, 10, 2, 2, 3);
    bytes.insert(bytes.end(), {0xC1, 0xAA, 0x80, 0xC1, 0xFF, 0xC1, 0xC0});
    return bytes;
}

std::vector<std::pair<std::string, Bytes>> all() {
    return {
        {"palette.png", pngPalette()},
        {"grey-alpha.png", pngGreyAlpha()},
        {"16bit.png", png16()},
        {"interlaced.png", pngInterlaced()},
        {"grey.jpg", jpeg(JpegKind::Grey)},
        {"colour.jpg", jpeg(JpegKind::Colour)},
        {"progressive.jpg", jpeg(JpegKind::Progressive)},
        {"cmyk.jpg", jpeg(JpegKind::AdobeCmyk)},
        {"scans.jpg", jpegManyScans(1)},
        {"picture.bmp", bmp()},
        {"icon.ico", ico()},
        {"two-icons.ico", icoTwoSizes()},
        {"cursor.cur", cur()},
        {"animation.gif", gifTwoFrames()},
        {"8bit.pcx", pcx8()},
        {"1bit.pcx", pcx1()},
    };
}

Bytes hugePng(std::uint32_t width, std::uint32_t height) {
    Bytes bytes{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes header;
    appendBe32(header, width);
    appendBe32(header, height);
    header.insert(header.end(), {8, 6, 0, 0, 0}); // 8-bit RGBA, not interlaced
    appendChunk(bytes, "IHDR", header);
    appendChunk(bytes, "IDAT", {0x78, 0x9C, 0x03, 0x00, 0x00, 0x00, 0x00, 0x01}); // an empty zlib stream
    appendChunk(bytes, "IEND", {});
    return bytes;
}

Bytes withJpegSize(Bytes bytes, std::uint16_t width, std::uint16_t height) {
    for (std::size_t at = 2; at + 9 <= bytes.size();) {
        const std::uint8_t marker = bytes[at + 1];
        if (marker >= 0xC0 && marker <= 0xC2) {
            bytes[at + 5] = std::uint8_t(height >> 8);
            bytes[at + 6] = std::uint8_t(height);
            bytes[at + 7] = std::uint8_t(width >> 8);
            bytes[at + 8] = std::uint8_t(width);
            break;
        }
        at += 2 + (std::size_t(bytes[at + 2]) << 8 | bytes[at + 3]);
    }
    return bytes;
}

Bytes withGifSize(Bytes bytes, std::uint16_t width, std::uint16_t height) {
    putLe16(bytes, 6, width);
    putLe16(bytes, 8, height);
    std::size_t at = 13 + ((bytes[10] & 0x80) ? 3u << ((bytes[10] & 7) + 1) : 0u);
    while (at < bytes.size() && bytes[at] != 0x3B) {
        if (bytes[at] == 0x21) {
            at += 2;
        } else { // an image descriptor, without a local colour table here
            putLe16(bytes, at + 5, width);
            putLe16(bytes, at + 7, height);
            at += 11; // descriptor and minimum code size
        }
        while (at < bytes.size() && bytes[at] != 0)
            at += 1 + bytes[at];
        ++at;
    }
    return bytes;
}

Bytes withPcxSize(Bytes bytes, std::uint16_t width, std::uint16_t height) {
    putLe16(bytes, 8, static_cast<std::uint16_t>(width - 1));
    putLe16(bytes, 10, static_cast<std::uint16_t>(height - 1));
    return bytes;
}

Bytes withBmpSize(Bytes bytes, std::int32_t width, std::int32_t height) {
    std::memcpy(bytes.data() + 18, &width, 4);
    std::memcpy(bytes.data() + 22, &height, 4);
    return bytes;
}

} // namespace tovrel::fixtures
