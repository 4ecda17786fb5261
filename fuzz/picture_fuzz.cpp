// libFuzzer harness: any bytes to a picture, as the picture box receives them from a server.

#include "runtime/picture_decode.h"

#include <QCoreApplication>

#include <cstdint>
#include <cstdlib>

namespace {

void quiet(QtMsgType, const QMessageLogContext&, const QString&) {}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qInstallMessageHandler(quiet);
    // Qt finds its image format plugins through the application; it lives as long as the process.
    static QCoreApplication application(*argc, *argv);
    // Load the plugins once here, so that their one-time allocations are not taken for leaks.
    const std::uint8_t gif[] = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0, 0, 0, 0x3B};
    const std::uint8_t icon[] = {0, 0, 1, 0, 1, 0, 0, 0};
    tovrel::decodePicture(gif, sizeof gif);
    tovrel::decodePicture(icon, sizeof icon);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const tovrel::DecodedPicture picture = tovrel::decodePicture(data, size);
    // Touch every pixel so that the sanitizers see frames that are shorter than they claim.
    std::uint32_t sum = 0;
    for (const tovrel::PictureFrame& frame : picture.frames) {
        const QImage& image = frame.image;
        if (image.width() > tovrel::kPictureMaxSide || image.height() > tovrel::kPictureMaxSide) std::abort();
        for (int y = 0; y < image.height(); ++y) {
            const auto* line = image.constScanLine(y);
            for (qsizetype x = 0; x < image.bytesPerLine(); ++x)
                sum += line[x];
        }
    }
    volatile std::uint32_t sink = sum;
    (void)sink;
    return 0;
}
