// Decoding a picture and scaling it to the 175 x 175 box, beside the bare libpng and libjpeg-turbo
// decode of the same bytes.

#include "bench_util.h"
#include "runtime/picture_box.h"

#include <QApplication>
#include <QImage>
#include <QRandomGenerator>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <jpeglib.h>
#include <png.h>

namespace {

using tovrel::Bytes;

// A QR code as the QR service sends it: 25 x 25 modules of 22 pixels.
QImage qrLike() {
    QImage image(550, 550, QImage::Format_RGB32);
    QRandomGenerator random(7);
    for (int my = 0; my < 25; ++my)
        for (int mx = 0; mx < 25; ++mx) {
            const QRgb colour = random.bounded(2) ? qRgb(0, 0, 0) : qRgb(255, 255, 255);
            for (int y = 0; y < 22; ++y)
                for (int x = 0; x < 22; ++x)
                    image.setPixel(mx * 22 + x, my * 22 + y, colour);
        }
    return image;
}

// A photograph-like picture: smooth colour with a little noise.
QImage photoLike() {
    QImage image(500, 313, QImage::Format_RGB32);
    QRandomGenerator random(11);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const int noise = random.bounded(16);
            image.setPixel(x, y, qRgb((x / 2 + noise) % 256, (y * 3 / 4 + noise) % 256, ((x + y) / 4) % 256));
        }
    return image;
}

Bytes encodePng(const QImage& source) {
    const QImage rgba = source.convertToFormat(QImage::Format_RGBA8888);
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(rgba.width());
    image.height = static_cast<png_uint_32>(rgba.height());
    image.format = PNG_FORMAT_RGB;
    const QImage rgb = rgba.convertToFormat(QImage::Format_RGB888);
    png_alloc_size_t size = 0;
    png_image_write_to_memory(&image, nullptr, &size, 0, rgb.constBits(),
                              static_cast<png_int_32>(rgb.bytesPerLine()), nullptr);
    Bytes bytes(size);
    if (!png_image_write_to_memory(&image, bytes.data(), &size, 0, rgb.constBits(),
                                   static_cast<png_int_32>(rgb.bytesPerLine()), nullptr))
        std::abort();
    bytes.resize(size);
    return bytes;
}

Bytes encodeJpeg(const QImage& source) {
    const QImage rgb = source.convertToFormat(QImage::Format_RGB888);
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(rgb.width());
    info.image_height = static_cast<JDIMENSION>(rgb.height());
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 85, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        auto* row = const_cast<JSAMPROW>(rgb.constScanLine(static_cast<int>(info.next_scanline)));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    Bytes bytes(buffer, buffer + size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return bytes;
}

// The reference: libpng's simplified interface straight into RGBA.
std::size_t barePng(const Bytes& bytes, std::vector<std::uint8_t>& pixels) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) std::abort();
    image.format = PNG_FORMAT_RGBA;
    pixels.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) std::abort();
    return pixels.size();
}

// The reference: libjpeg-turbo into RGB.
std::size_t bareJpeg(const Bytes& bytes, std::vector<std::uint8_t>& pixels) {
    jpeg_decompress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    const std::size_t stride = std::size_t{info.output_width} * 3;
    pixels.resize(stride * info.output_height);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = pixels.data() + stride * info.output_scanline;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return pixels.size();
}

// Mean milliseconds per call, after a warm-up.
double meanMs(int runs, const std::function<void()>& work) {
    for (int i = 0; i < 5; ++i)
        work();
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < runs; ++i)
        work();
    const std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - start;
    return elapsed.count() / runs;
}

void compare(const char* name, const Bytes& bytes,
             std::size_t (*bare)(const Bytes&, std::vector<std::uint8_t>&)) {
    constexpr int kRuns = 300;
    tovrel::PictureBox box;
    box.resize(175, 175);
    box.setBackColor(QColor(192, 192, 192));
    QImage shown(175, 175, QImage::Format_RGB32);
    const double ours = meanMs(kRuns, [&] {
        box.setPicture(bytes);
        box.render(&shown);
    });
    if (!box.hasImage()) std::abort();
    std::vector<std::uint8_t> pixels;
    const double reference = meanMs(kRuns, [&] { bare(bytes, pixels); });
    tovrel::bench::printRatioRow(std::string("decode and show in 175 x 175, ") + name, ours, reference, "ms",
                                 1.5);
}

} // namespace

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    compare("PNG 550 x 550", encodePng(qrLike()), barePng);
    compare("JPEG 500 x 313", encodeJpeg(photoLike()), bareJpeg);
    return 0;
}
