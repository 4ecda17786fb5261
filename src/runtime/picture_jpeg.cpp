#include "runtime/picture_formats.h"

#include <csetjmp>
#include <cstdio> // jpeglib.h needs FILE
#include <jpeglib.h>

namespace tovrel::picture {

namespace {

struct JpegErrors {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    bool tooManyScans = false;
};

struct JpegState {
    jpeg_decompress_struct info{};
    JpegErrors errors{};
    jpeg_progress_mgr progress{};
};

// Never exits: back to the setjmp in readJpeg.
[[noreturn]] void onError(j_common_ptr info) {
    std::longjmp(reinterpret_cast<JpegErrors*>(info->err)->jump, 1);
}

// Warnings about corrupt data are common and harmless: keep them off stderr.
void onMessage(j_common_ptr, int) {}

// Every scan of a progressive picture is a pass over all its coefficients.
void onProgress(j_common_ptr info) {
    auto* decompress = reinterpret_cast<j_decompress_ptr>(info);
    if (decompress->input_scan_number > kJpegMaxScans) {
        auto* errors = reinterpret_cast<JpegErrors*>(info->err);
        errors->tooManyScans = true;
        std::longjmp(errors->jump, 1);
    }
}

std::uint8_t times(unsigned a, unsigned b) {
    return static_cast<std::uint8_t>((a * b + 127) / 255);
}

// CMYK samples of a row to RGB32 in place; Adobe files store them inverted.
void cmykToRgb(std::uint8_t* row, int width, bool inverted) {
    auto* pixel = reinterpret_cast<QRgb*>(row);
    for (int x = 0; x < width; ++x, row += 4) {
        unsigned c = row[0], m = row[1], y = row[2], k = row[3];
        if (!inverted) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        pixel[x] = qRgb(times(c, k), times(m, k), times(y, k));
    }
}

// No object with a destructor lives in this frame, so the longjmp from libjpeg skips nothing.
DecodeResult readJpeg(JpegState& state, const std::uint8_t* data, std::size_t size, PixelBudget& budget,
                      QImage& pixels) {
    if (setjmp(state.errors.jump) != 0)
        return state.errors.tooManyScans ? DecodeResult::TooLarge : DecodeResult::Failed;
    jpeg_create_decompress(&state.info);
    state.info.progress = &state.progress;
    jpeg_mem_src(&state.info, data, static_cast<unsigned long>(size));
    if (jpeg_read_header(&state.info, TRUE) != JPEG_HEADER_OK) return DecodeResult::Failed;
    if (!budget.take(state.info.image_width, state.info.image_height)) return DecodeResult::TooLarge;

    bool cmyk = false;
    switch (state.info.jpeg_color_space) {
    case JCS_GRAYSCALE:
    case JCS_YCbCr:
    case JCS_RGB:
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
        state.info.out_color_space = JCS_EXT_BGRA;
#else
        state.info.out_color_space = JCS_EXT_ARGB;
#endif
        break;
    case JCS_CMYK:
    case JCS_YCCK:
        state.info.out_color_space = JCS_CMYK;
        cmyk = true;
        break;
    default:
        return DecodeResult::Failed;
    }
    jpeg_start_decompress(&state.info);
    if (state.info.output_components != 4) return DecodeResult::Failed;
    pixels = QImage(static_cast<int>(state.info.output_width), static_cast<int>(state.info.output_height),
                    QImage::Format_RGB32);
    if (pixels.isNull()) return DecodeResult::Failed;
    const bool inverted = state.info.saw_Adobe_marker;
    while (state.info.output_scanline < state.info.output_height) {
        const int y = static_cast<int>(state.info.output_scanline);
        JSAMPROW row = pixels.scanLine(y);
        if (jpeg_read_scanlines(&state.info, &row, 1) != 1) return DecodeResult::Failed;
        if (cmyk) cmykToRgb(row, pixels.width(), inverted);
    }
    return DecodeResult::Decoded;
}

} // namespace

DecodeResult decodeJpeg(const std::uint8_t* data, std::size_t size, PixelBudget& budget,
                        DecodedPicture& out) {
    JpegState state;
    state.info.err = jpeg_std_error(&state.errors.manager);
    state.errors.manager.error_exit = onError;
    state.errors.manager.emit_message = onMessage;
    state.progress.progress_monitor = onProgress;
    QImage pixels;
    const DecodeResult result = readJpeg(state, data, size, budget, pixels);
    jpeg_destroy_decompress(&state.info);
    if (result == DecodeResult::Decoded) out.frames.push_back(PictureFrame{std::move(pixels), 0});
    return result;
}

} // namespace tovrel::picture
