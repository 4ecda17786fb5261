#include "picture_fixtures.h"

#include "runtime/picture_box.h"
#include "runtime/picture_decode.h"

#include <QTest>
#include <gtest/gtest.h>

#include <string>

namespace tovrel {
namespace {

struct Pixel {
    int x;
    int y;
    QRgb argb;
};

// Compares colour within a tolerance; a fully transparent pixel has no colour to compare.
void expectPixels(const QImage& frame, const std::vector<Pixel>& pixels, int tolerance,
                  const std::string& name) {
    const QImage image = frame.convertToFormat(QImage::Format_ARGB32);
    for (const Pixel& expected : pixels) {
        const QRgb actual = image.pixel(expected.x, expected.y);
        const auto near = [tolerance](int a, int b) { return std::abs(a - b) <= tolerance; };
        bool same = near(qAlpha(actual), qAlpha(expected.argb));
        if (qAlpha(expected.argb) != 0)
            same = same && near(qRed(actual), qRed(expected.argb)) &&
                   near(qGreen(actual), qGreen(expected.argb)) && near(qBlue(actual), qBlue(expected.argb));
        EXPECT_TRUE(same) << name << " at " << expected.x << "," << expected.y << ": " << std::hex << actual
                          << " instead of " << expected.argb;
    }
}

constexpr QRgb kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kWhite = 0xFFFFFFFF,
               kBlack = 0xFF000000;
constexpr QRgb kClear = 0x00000000;

TEST(PictureFormat, IsDecidedByTheLeadingBytes) {
    const struct {
        Bytes bytes;
        PictureFormat format;
    } cases[] = {
        {{'B', 'M', 0, 0, 0, 0, 0, 0}, PictureFormat::Bmp},
        {{0xFF, 0xD8, 0xFF, 0, 0, 0, 0, 0}, PictureFormat::Jpeg},
        {{0x89, 'P', 'N', 'G', 0, 0, 0, 0}, PictureFormat::Png},
        {{0x89, 'P', 'N', 'G', 0, 0, 0}, PictureFormat::None}, // seven bytes
        {{0, 0, 1, 0, 1, 0, 0, 0}, PictureFormat::Ico},
        {{0, 0, 1, 0, 0, 0, 0, 0}, PictureFormat::None}, // no icons
        {{0, 0, 2, 0, 0, 1, 0, 0}, PictureFormat::Cur},
        {{'G', 'I', 'F', '8', '7', 'a', 0, 0}, PictureFormat::Gif},
        {{'G', 'I', 'F', '8', '9', 'a', 0, 0}, PictureFormat::Gif},
        {{'G', 'I', 'F', '8', '8', 'a', 0, 0}, PictureFormat::None},
        {{0x0A, 5, 1, 8, 0, 0, 0, 0}, PictureFormat::Pcx8},
        {{0x0A, 0, 1, 8, 0, 0, 0, 0}, PictureFormat::Pcx8},
        {{0x0A, 6, 1, 8, 0, 0, 0, 0}, PictureFormat::None},
        {{0x0A, 3, 1, 1, 0, 0, 0, 0}, PictureFormat::Pcx1},
        {{0x0A, 5, 1, 1, 0, 0, 0, 0}, PictureFormat::None},
        {{'<', 'h', 't', 'm', 'l', '>', ' ', ' '}, PictureFormat::None},
    };
    for (const auto& c : cases)
        EXPECT_EQ(detectPictureFormat(c.bytes.data(), c.bytes.size()), c.format)
            << testing::PrintToString(c.bytes);
}

TEST(PictureDecode, EachFormatGivesItsPixels) {
    using fixtures::JpegKind;
    const std::vector<Pixel> quadrants{{4, 4, kRed}, {12, 4, kGreen}, {4, 12, kBlue}, {12, 12, kWhite}};
    std::vector<Pixel> interlaced;
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 9; ++x)
            interlaced.push_back({x, y, qRgb(28 * x, 28 * y, 14 * (x + y))});
    std::vector<Pixel> bmp, ico;
    for (int i = 0; i < 6; ++i) {
        bmp.push_back({i % 3, i / 3, fixtures::bmpPixels().pixel(i % 3, i / 3)});
        ico.push_back({i % 3, i / 3, fixtures::icoPixels().pixel(i % 3, i / 3)});
    }
    const QRgb halfClear = qRgba(10, 20, 30, 128);
    const struct {
        std::string name;
        Bytes bytes;
        PictureFormat format;
        QSize size;
        std::vector<Pixel> pixels;
        int tolerance;
    } cases[] = {
        {"palette png",
         fixtures::pngPalette(),
         PictureFormat::Png,
         {4, 2},
         {{0, 0, kRed}, {1, 0, kGreen}, {2, 0, kBlue}, {3, 0, halfClear}, {0, 1, halfClear}, {3, 1, kRed}},
         1},
        {"grey and alpha png",
         fixtures::pngGreyAlpha(),
         PictureFormat::Png,
         {2, 1},
         {{0, 0, kBlack}, {1, 0, qRgba(200, 200, 200, 100)}},
         1},
        {"16-bit png",
         fixtures::png16(),
         PictureFormat::Png,
         {2, 1},
         {{0, 0, qRgb(255, 0, 128)}, {1, 0, qRgb(0x12, 0x34, 0xFE)}},
         1},
        {"interlaced png", fixtures::pngInterlaced(), PictureFormat::Png, {9, 9}, interlaced, 0},
        {"grey jpeg",
         fixtures::jpeg(JpegKind::Grey),
         PictureFormat::Jpeg,
         {16, 16},
         {{2, 2, qRgb(50, 50, 50)},
          {12, 2, qRgb(200, 200, 200)},
          {2, 12, qRgb(200, 200, 200)},
          {12, 12, qRgb(50, 50, 50)}},
         3},
        {"colour jpeg", fixtures::jpeg(JpegKind::Colour), PictureFormat::Jpeg, {16, 16}, quadrants, 4},
        {"progressive jpeg",
         fixtures::jpeg(JpegKind::Progressive),
         PictureFormat::Jpeg,
         {16, 16},
         quadrants,
         4},
        {"Adobe CMYK jpeg", fixtures::jpeg(JpegKind::AdobeCmyk), PictureFormat::Jpeg, {16, 16}, quadrants, 4},
        {"bmp", fixtures::bmp(), PictureFormat::Bmp, {3, 2}, bmp, 0},
        {"ico", fixtures::ico(), PictureFormat::Ico, {3, 2}, ico, 2},
        {"ico of two sizes shows the larger",
         fixtures::icoTwoSizes(),
         PictureFormat::Ico,
         {4, 3},
         {{3, 2, kRed}},
         0},
        {"cur", fixtures::cur(), PictureFormat::Cur, {3, 2}, ico, 2},
        {"gif",
         fixtures::gifTwoFrames(),
         PictureFormat::Gif,
         {2, 2},
         {{0, 0, kRed}, {1, 0, kGreen}, {0, 1, kBlue}, {1, 1, kClear}},
         0},
        {"8-bit pcx",
         fixtures::pcx8(),
         PictureFormat::Pcx8,
         {3, 2},
         {{0, 0, qRgb(5, 250, 2)},
          {1, 0, qRgb(5, 250, 2)},
          {2, 0, qRgb(200, 55, 100)},
          {0, 1, qRgb(1, 254, 0)},
          {1, 1, qRgb(2, 253, 1)},
          {2, 1, qRgb(3, 252, 1)}},
         0},
        {"1-bit pcx",
         fixtures::pcx1(),
         PictureFormat::Pcx1,
         {10, 2},
         {{0, 0, kWhite}, {1, 0, kBlack}, {8, 0, kWhite}, {9, 0, kBlack}, {0, 1, kWhite}, {9, 1, kWhite}},
         0},
    };
    for (const auto& c : cases) {
        const DecodedPicture picture = decodePicture(c.bytes);
        EXPECT_EQ(picture.format, c.format) << c.name;
        ASSERT_EQ(picture.result, DecodeResult::Decoded) << c.name;
        ASSERT_FALSE(picture.frames.empty()) << c.name;
        EXPECT_EQ(picture.frames[0].image.size(), c.size) << c.name;
        expectPixels(picture.frames[0].image, c.pixels, c.tolerance, c.name);
    }
}

TEST(PictureDecode, GifAnimationComposesItsFrames) {
    const DecodedPicture picture = decodePicture(fixtures::gifTwoFrames());
    ASSERT_EQ(picture.frames.size(), 2u);
    EXPECT_EQ(picture.frames[0].delayMs, 200);
    EXPECT_EQ(picture.frames[1].delayMs, 500);
    EXPECT_EQ(picture.loopCount, -1);
    // The second frame's transparent pixels leave the first frame's showing.
    expectPixels(picture.frames[1].image, {{0, 0, kRed}, {1, 0, kWhite}, {0, 1, kBlue}, {1, 1, kBlue}}, 0,
                 "frame 2");
}

// Each would need gigabytes; the header alone must refuse it, by our limits or the library's own.
TEST(PictureDecode, HugeDeclaredSizesAreRefusedFromTheHeader) {
    const struct {
        std::string name;
        Bytes bytes;
        DecodeResult result = DecodeResult::TooLarge;
    } cases[] = {
        {"png 1000000 x 1000000", fixtures::hugePng(1000000, 1000000)},
        {"png 16385 x 1", fixtures::hugePng(16385, 1)},
        {"png 8192 x 8193, over 32 Mi pixels", fixtures::hugePng(8192, 8193)},
        {"png 2^31 - 1 square, over libpng's limit", fixtures::hugePng(0x7FFFFFFF, 0x7FFFFFFF),
         DecodeResult::Failed},
        {"jpeg 65000 x 65000",
         fixtures::withJpegSize(fixtures::jpeg(fixtures::JpegKind::Colour), 65000, 65000)},
        {"progressive jpeg 65000 x 65000",
         fixtures::withJpegSize(fixtures::jpeg(fixtures::JpegKind::Progressive), 65000, 65000)},
        {"gif 65000 x 65000", fixtures::withGifSize(fixtures::gifTwoFrames(), 65000, 65000)},
        {"pcx 65535 x 65535", fixtures::withPcxSize(fixtures::pcx8(), 65535, 65535)},
        {"bmp 16384 x 4096", fixtures::withBmpSize(fixtures::bmp(), 16384, 4096)},
        {"bmp 65000 x 65000, over Qt's limit", fixtures::withBmpSize(fixtures::bmp(), 65000, 65000),
         DecodeResult::Failed},
    };
    EXPECT_LT(cases[0].bytes.size(), 100u);
    for (const auto& c : cases) {
        const DecodedPicture picture = decodePicture(c.bytes);
        EXPECT_EQ(picture.result, c.result) << c.name;
        EXPECT_TRUE(picture.frames.empty()) << c.name;
    }
}

// Frames of 4096 x 4097 pixels: the first fits the budget of 32 Mi pixels, the second no longer does.
TEST(PictureDecode, EveryFrameOfAnAnimationCountsAgainstOneBudget) {
    const DecodedPicture fits = decodePicture(fixtures::withGifSize(fixtures::gifTwoFrames(), 4096, 4096));
    EXPECT_EQ(fits.frames.size(), 2u);
    const DecodedPicture over = decodePicture(fixtures::withGifSize(fixtures::gifTwoFrames(), 4096, 4097));
    EXPECT_EQ(over.result, DecodeResult::Decoded);
    EXPECT_EQ(over.frames.size(), 1u);
}

TEST(PictureDecode, ProgressiveJpegOfMoreThanAHundredScansIsRefused) {
    const DecodedPicture grey = decodePicture(fixtures::jpegManyScans(1)); // 64 scans
    EXPECT_EQ(grey.result, DecodeResult::Decoded);
    const DecodedPicture colour = decodePicture(fixtures::jpegManyScans(3)); // 190 scans
    EXPECT_EQ(colour.result, DecodeResult::TooLarge);
    EXPECT_TRUE(colour.frames.empty());
}

// Under the sanitizers this catches reads past the end of every decoder.
TEST(PictureDecode, TruncatedOrDamagedFilesNeverCrash) {
    for (const auto& [name, whole] : fixtures::all()) {
        for (std::size_t length : {std::size_t{8}, std::size_t{20}, whole.size() / 2, whole.size() - 1}) {
            const Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length));
            const DecodedPicture picture = decodePicture(cut);
            EXPECT_EQ(picture.result == DecodeResult::Decoded, !picture.frames.empty())
                << name << " " << length;
        }
        Bytes damaged = whole;
        for (std::size_t i = 8; i < damaged.size(); i += 7)
            damaged[i] ^= 0x5A;
        decodePicture(damaged);
    }
}

TEST(PictureBox, GivesBackTheBytesLastWritten) {
    const std::string html = "<html><body>Not found</body></html>";
    const struct {
        std::string name;
        Bytes bytes;
        bool shown;
    } cases[] = {
        {"png", fixtures::pngInterlaced(), true},
        {"jpeg", fixtures::jpeg(fixtures::JpegKind::Colour), true},
        {"html", Bytes(html.begin(), html.end()), false},
        {"seven bytes of a png", {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A}, false},
        {"corrupt png", fixtures::hugePng(1000000, 1000000), false},
    };
    PictureBox box;
    for (const auto& c : cases) {
        box.setPicture(fixtures::pcx8()); // a picture shown before must go
        box.setPicture(c.bytes);
        EXPECT_EQ(box.picture(), c.bytes) << c.name;
        EXPECT_EQ(box.hasImage(), c.shown) << c.name;
    }
    box.setPicture({});
    EXPECT_TRUE(box.picture().empty());
    EXPECT_FALSE(box.hasImage());
}

QImage grab(PictureBox& box) {
    return box.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

TEST(PictureBox, StretchedPictureFillsTheWholeBox) {
    QImage source(100, 100, QImage::Format_RGB32);
    source.fill(kWhite);
    source.setPixel(0, 0, kRed);
    source.setPixel(99, 0, kGreen);
    source.setPixel(0, 99, kBlue);
    source.setPixel(99, 99, kBlack);
    PictureBox box;
    box.resize(175, 175);
    box.setBackColor(QColor(192, 192, 192));
    box.setPicture(fixtures::pngFromImage(source));
    const QImage shown = grab(box);
    ASSERT_EQ(shown.size(), QSize(175, 175));
    EXPECT_EQ(shown.pixel(0, 0), kRed);
    EXPECT_EQ(shown.pixel(174, 0), kGreen);
    EXPECT_EQ(shown.pixel(0, 174), kBlue);
    EXPECT_EQ(shown.pixel(174, 174), kBlack);
    EXPECT_EQ(shown.pixel(87, 87), kWhite);

    box.setPicture({});
    EXPECT_EQ(grab(box).pixel(0, 0), qRgb(192, 192, 192));
}

TEST(PictureBox, DisplayModesPlaceThePicture) {
    QImage wide(80, 40, QImage::Format_RGB32), small(20, 10, QImage::Format_RGB32);
    wide.fill(kRed);
    small.fill(kRed);
    const QRgb back = qRgb(192, 192, 192);
    const struct {
        PictureBox::DisplayMode mode;
        QImage source;
        std::vector<Pixel> pixels;
    } cases[] = {
        {PictureBox::DisplayMode::TopLeft,
         small,
         {{0, 0, kRed}, {19, 9, kRed}, {20, 0, back}, {0, 10, back}}},
        {PictureBox::DisplayMode::TopLeft, wide, {{0, 0, kRed}, {39, 39, kRed}}}, // cut, not shrunk
        {PictureBox::DisplayMode::Fit,
         small,
         {{10, 15, kRed}, {29, 24, kRed}, {9, 15, back}, {10, 25, back}}},
        // Shrunk to 40 x 20, proportions kept, centred.
        {PictureBox::DisplayMode::Fit, wide, {{0, 10, kRed}, {39, 29, kRed}, {0, 9, back}, {39, 30, back}}},
        {PictureBox::DisplayMode::Stretch, small, {{0, 0, kRed}, {39, 39, kRed}}},
    };
    for (const auto& c : cases) {
        PictureBox box;
        box.resize(40, 40);
        box.setBackColor(QColor(back));
        box.setDisplayMode(c.mode);
        box.setPicture(fixtures::pngFromImage(c.source));
        expectPixels(grab(box), c.pixels, 0, "mode " + std::to_string(int(c.mode)));
    }
}

TEST(PictureBox, AlphaIsComposedOverTheBackColour) {
    QImage source(2, 1, QImage::Format_ARGB32);
    source.setPixel(0, 0, kClear);
    source.setPixel(1, 0, qRgba(0, 0, 0, 128));
    PictureBox box;
    box.resize(20, 10);
    box.setBackColor(QColor(192, 192, 192));
    box.setPicture(fixtures::pngFromImage(source));
    const QImage shown = grab(box);
    EXPECT_EQ(shown.pixel(2, 5), qRgb(192, 192, 192));
    EXPECT_NEAR(qGray(shown.pixel(17, 5)), 96, 2);
}

TEST(PictureBox, GifPlaysItsAnimation) {
    PictureBox box;
    box.setPicture(fixtures::gifTwoFrames());
    ASSERT_EQ(box.frameCount(), 2);
    EXPECT_EQ(box.currentFrame(), 0);
    EXPECT_TRUE(QTest::qWaitFor([&box] { return box.currentFrame() == 1; }, 2000));
    box.setPlayAnimation(false);
    box.setPicture(fixtures::gifTwoFrames());
    QTest::qWait(300);
    EXPECT_EQ(box.currentFrame(), 0);
}

} // namespace
} // namespace tovrel
