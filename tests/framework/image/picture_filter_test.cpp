// Resampling quality (against a plain double-precision Lanczos), colour profiles, large photos.
#include "framework/image/picture.h"

#include "tests/framework/image/picture_helpers.h"
#include "tests/support/picture_fixtures.h"

#include <QColorSpace>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <vector>

using namespace fixtures;

namespace {

double lanczos3(double x)
{
    x = std::fabs(x);
    if (x == 0)
        return 1;
    if (x >= 3)
        return 0;
    return 3 * std::sin(M_PI * x) * std::sin(M_PI * x / 3) / (M_PI * M_PI * x * x);
}

// One axis of a textbook Lanczos3 resize: the kernel widened by the shrink factor, taps outside
// the picture dropped and the rest renormalised.
std::vector<double> resizeAxis(const std::vector<double>& in, int inLength, int outLength, int count, bool rows)
{
    const double scale = double(inLength) / outLength, widen = std::max(scale, 1.0);
    std::vector<double> out(size_t(outLength) * size_t(count));
    for (int i = 0; i < outLength; ++i) {
        const double centre = (i + 0.5) * scale;
        const int lo = std::max(0, int(std::floor(centre - 3 * widen))), hi = std::min(inLength, int(std::ceil(centre + 3 * widen)));
        std::vector<double> w;
        double sum = 0;
        for (int j = lo; j < hi; ++j)
            sum += w.emplace_back(lanczos3((j + 0.5 - centre) / widen));
        for (int c = 0; c < count; ++c) {
            double v = 0;
            for (int j = lo; j < hi; ++j)
                v += w[size_t(j - lo)] * (rows ? in[size_t(j) * size_t(count) + size_t(c)] : in[size_t(c) * size_t(inLength) + size_t(j)]);
            (rows ? out[size_t(i) * size_t(count) + size_t(c)] : out[size_t(c) * size_t(outLength) + size_t(i)]) = v / sum;
        }
    }
    return out;
}

// The textbook resize of each of the first `channels` channels (red, green, blue); a grey picture
// needs its red one only.
QImage referenceResize(const QImage& image, int width, int height, int channels = 1)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    std::vector<double> result[3];
    for (int c = 0; c < channels; ++c) {
        std::vector<double> in(size_t(rgb.width()) * size_t(rgb.height()));
        for (int y = 0; y < rgb.height(); ++y)
            for (int x = 0; x < rgb.width(); ++x)
                in[size_t(y) * size_t(rgb.width()) + size_t(x)] = (rgb.pixel(x, y) >> (16 - 8 * c)) & 0xFF;
        const std::vector<double> h = resizeAxis(in, rgb.width(), width, rgb.height(), false);
        result[c] = resizeAxis(h, rgb.height(), height, width, true);
    }
    QImage out(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            int v[3];
            for (int c = 0; c < 3; ++c)
                v[c] = int(std::lround(std::clamp(result[c < channels ? c : 0][size_t(y) * size_t(width) + size_t(x)], 0.0, 255.0)));
            out.setPixel(x, y, qRgb(v[0], v[1], v[2]));
        }
    return out;
}

// The picture as a JPEG encoder turns it grey (JFIF's luma).
QImage grey(const QImage& image)
{
    QImage out(image.size(), QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            const int v = int(std::lround(0.299 * qRed(p) + 0.587 * qGreen(p) + 0.114 * qBlue(p)));
            out.setPixel(x, y, qRgb(v, v, v));
        }
    return out;
}

// The PSNR over red, green and blue of two pictures of one size.
double colourPsnr(const QImage& a, const QImage& b)
{
    double sum = 0;
    for (int shift : { 16, 8, 0 }) {
        QImage ca(a.size(), QImage::Format_RGB32), cb(b.size(), QImage::Format_RGB32);
        for (int y = 0; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x) {
                const int va = (a.pixel(x, y) >> shift) & 0xFF, vb = (b.pixel(x, y) >> shift) & 0xFF;
                ca.setPixel(x, y, qRgb(va, va, va));
                cb.setPixel(x, y, qRgb(vb, vb, vb));
            }
        sum += std::pow(10.0, -Psnr(ca, cb) / 10.0);
    }
    return 10.0 * std::log10(3.0 / sum);
}

// Concentric rings whose frequency rises to the Nyquist limit at the left and right edges.
QImage zonePlate(int width, int height)
{
    QImage image(width, height, QImage::Format_Grayscale8);
    const double cx = width / 2.0, cy = height / 2.0, k = M_PI / width;
    for (int y = 0; y < height; ++y) {
        uchar* line = image.scanLine(y);
        for (int x = 0; x < width; ++x) {
            const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
            line[x] = uchar(std::lround(127.5 + 127.5 * std::cos(k * (dx * dx + dy * dy))));
        }
    }
    return image;
}

} // namespace

TEST(PictureFilter, OnePixelCheckerboardBecomesEvenGrey)
{
    TempFolder dir;
    QImage board(400, 300, QImage::Format_RGB32);
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 400; ++x)
            board.setPixel(x, y, (x + y) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    Ref<Picture> source = open(WritePng(dir.file("board.png"), board));
    ASSERT_TRUE(source);
    resized(source, 100, 75)->Save(FolderItem::FromPath(dir.file("grey.png")), Picture::SaveAsPNG, -1);
    const QImage out = ReadBack(dir.file("grey.png"));
    ASSERT_EQ(out.size(), QSize(100, 75));
    for (int y = 0; y < 75; ++y)
        for (int x = 0; x < 100; ++x) {
            const QRgb p = out.pixel(x, y);
            ASSERT_NEAR(qRed(p), 127.5, 2.0) << x << "," << y;
            ASSERT_EQ(qRed(p), qGreen(p));
            ASSERT_EQ(qRed(p), qBlue(p));
        }
}

struct ZonePlateCase {
    const char* name;
    bool jpeg;
    double minimumPsnr;
};

class PictureZonePlate : public ::testing::TestWithParam<ZonePlateCase> {};

// 6000 pixels wide to 800: what the smaller picture cannot hold must go, not fold back as moiré.
TEST_P(PictureZonePlate, MatchesLanczosReference)
{
    TempFolder dir;
    const QImage plate = zonePlate(6000, 1500);
    const QImage reference = referenceResize(plate, 800, 200);
    const std::string in = GetParam().jpeg ? WriteJpeg(dir.file("zone.jpg"), plate, 100) : WritePng(dir.file("zone.png"), plate);
    Ref<Picture> source = open(in);
    ASSERT_TRUE(source);
    resized(source, 800, 200)->Save(FolderItem::FromPath(dir.file("out.png")), Picture::SaveAsPNG, -1);
    const double ours = Psnr(ReadBack(dir.file("out.png")), reference);
    EXPECT_GE(ours, GetParam().minimumPsnr);
    // The test itself must tell a box average from a Lanczos filter: Qt's smooth scaling fails it.
    const double qt = Psnr(plate.scaled(800, 200, Qt::IgnoreAspectRatio, Qt::SmoothTransformation), reference);
    EXPECT_LT(qt, 40.0);
    std::printf("zone plate PSNR: ours %.1f dB, Qt's smooth scaling %.1f dB\n", ours, qt);
}

INSTANTIATE_TEST_SUITE_P(Sources, PictureZonePlate,
    ::testing::Values(ZonePlateCase { "Png", false, 40.0 }, ZonePlateCase { "JpegShrunkOnLoad", true, 40.0 }),
    [](const auto& info) { return std::string(info.param.name); });

// Colour waves of about a hundred pixels, a different one in each channel: smooth enough that how a
// decoder upsamples the chroma does not matter, steep enough that a plane taken at the wrong
// resolution or shifted by half a sample shows.
QImage colourWaves(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const auto wave = [](double t, double period) { return int(std::lround(128 + 100 * std::sin(2 * M_PI * t / period))); };
            image.setPixel(x, y, qRgb(wave(x, 97), wave(y, 79), wave(x + y, 113)));
        }
    return image;
}

struct JpegLayoutCase {
    const char* name;
    JpegLayout layout;
};

class PictureJpegLayout : public ::testing::TestWithParam<JpegLayoutCase> {};

// Whatever the chroma's sampling and the colour space, and whatever the scale the decoder shrinks
// by, the picture is the original resized with a textbook Lanczos3, within what the JPEG lost.
TEST_P(PictureJpegLayout, MatchesTheOriginalResized)
{
    TempFolder dir;
    // Odd sides, so that the chroma's last sample covers part of a block only.
    const QImage original = colourWaves(603, 401);
    Ref<Picture> source = open(WriteJpeg(dir.file("waves.jpg"), original, GetParam().layout, 95));
    ASSERT_TRUE(source);
    // Drawn at a quarter, a half and the whole of the decoder's size.
    for (const QSize grid : { QSize(75, 50), QSize(150, 100), QSize(301, 200) }) {
        const std::string out = dir.file("out.png");
        resized(source, grid.width(), grid.height())->Save(FolderItem::FromPath(out), Picture::SaveAsPNG, -1);
        const QImage reference = referenceResize(original, grid.width(), grid.height(), 3);
        const double psnr = colourPsnr(ReadBack(out), GetParam().layout.colours == JpegLayout::Colours::Grey ? grey(reference) : reference);
        EXPECT_GE(psnr, 40.0) << grid.width() << " x " << grid.height();
        std::printf("%s to %d x %d: %.1f dB\n", GetParam().name, grid.width(), grid.height(), psnr);
    }
}

using Colours = JpegLayout::Colours;
INSTANTIATE_TEST_SUITE_P(Layouts, PictureJpegLayout,
    ::testing::Values(JpegLayoutCase { "YCbCr444", { Colours::YCbCr, 1, 1 } },
        JpegLayoutCase { "YCbCr422", { Colours::YCbCr, 2, 1 } }, JpegLayoutCase { "YCbCr420", { Colours::YCbCr, 2, 2 } },
        JpegLayoutCase { "YCbCr440", { Colours::YCbCr, 1, 2 } }, JpegLayoutCase { "YCbCr411", { Colours::YCbCr, 4, 1 } },
        JpegLayoutCase { "YCbCr420Progressive", { Colours::YCbCr, 2, 2, true } },
        JpegLayoutCase { "Rgb", { Colours::Rgb, 1, 1 } }, JpegLayoutCase { "Grey", { Colours::Grey, 1, 1 } }),
    [](const auto& info) { return std::string(info.param.name); });

// Made two hundred times smaller, a picture's rows are too many to hold for one output row's taps:
// the filter then adds each row into the output rows it feeds as it comes. The result is the same
// filter's.
TEST(PictureFilter, HugeShrinkMatchesLanczosReference)
{
    TempFolder dir;
    const QImage quadrants = Quadrants(2400, 1600);
    Ref<Picture> source = open(WritePng(dir.file("quadrants.png"), quadrants));
    ASSERT_TRUE(source);
    resized(source, 12, 8)->Save(FolderItem::FromPath(dir.file("out.png")), Picture::SaveAsPNG, -1);
    EXPECT_GE(colourPsnr(ReadBack(dir.file("out.png")), referenceResize(quadrants, 12, 8, 3)), 45.0);
}

struct ProfileCase {
    const char* name;
    bool jpegSource;
    int32_t format;
};

class PictureProfile : public ::testing::TestWithParam<ProfileCase> {};

// A wide-gamut source keeps its profile, so its colours look the same after the resize.
TEST_P(PictureProfile, KeepsTheSourceProfile)
{
    TempFolder dir;
    const QByteArray profile = WideGamutProfile();
    ASSERT_FALSE(profile.isEmpty());
    QImage image = Gradient(300, 200);
    image.setColorSpace(QColorSpace::fromIccProfile(profile));
    const std::string in = GetParam().jpegSource ? WriteJpeg(dir.file("wide.jpg"), image, 100) : WritePng(dir.file("wide.png"), image);
    ASSERT_EQ(ReadBack(in).colorSpace().iccProfile(), profile) << "the fixture carries the profile";
    Ref<Picture> source = open(in);
    ASSERT_TRUE(source);
    const std::string out = dir.file("out");
    resized(source, 150, 100)->Save(FolderItem::FromPath(out), GetParam().format, 100);
    const QImage back = ReadBack(out);
    EXPECT_EQ(back.colorSpace().iccProfile(), profile);
    // Same profile and same values: the same appearance. Compare both in sRGB to be sure.
    QImage a = back.convertToFormat(QImage::Format_RGB32), b = image.scaled(150, 100, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    a.convertToColorSpace(QColorSpace(QColorSpace::SRgb));
    b.convertToColorSpace(QColorSpace(QColorSpace::SRgb));
    const auto ma = MeanColour(a), mb = MeanColour(b);
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(ma[size_t(i)], mb[size_t(i)], 1.5) << "channel " << i;
}

INSTANTIATE_TEST_SUITE_P(Formats, PictureProfile,
    ::testing::Values(ProfileCase { "JpegToJpeg", true, Picture::SaveAsJPEG }, ProfileCase { "JpegToPng", true, Picture::SaveAsPNG },
        ProfileCase { "PngToJpeg", false, Picture::SaveAsJPEG }, ProfileCase { "PngToPng", false, Picture::SaveAsPNG }),
    [](const auto& info) { return std::string(info.param.name); });

// Above Qt's default 256 MB allocation limit, and decoded at a fraction of its size.
TEST(PictureLarge, TwelveThousandByNineThousandJpegOpensAndScales)
{
    TempFolder dir;
    std::string in;
    {
        QImage big(12000, 9000, QImage::Format_RGB888);
        for (int y = 0; y < big.height(); ++y) {
            uchar* line = big.scanLine(y);
            for (int x = 0; x < big.width(); ++x) {
                line[3 * x] = uchar(x * 255 / 12000);
                line[3 * x + 1] = uchar(y * 255 / 9000);
                line[3 * x + 2] = 128;
            }
        }
        in = WriteJpeg(dir.file("big.jpg"), big, 85);
    }
    Ref<Picture> source = open(in);
    ASSERT_TRUE(source);
    EXPECT_EQ(source->Width(), 12000);
    EXPECT_EQ(source->Height(), 9000);
    resized(source, 800, 600)->Save(FolderItem::FromPath(dir.file("small.jpg")), Picture::SaveAsJPEG, 80);
    const QImage out = ReadBack(dir.file("small.jpg"));
    ASSERT_EQ(out.size(), QSize(800, 600));
    const auto mean = MeanColour(out);
    EXPECT_NEAR(mean[0], 127, 2);
    EXPECT_NEAR(mean[1], 127, 2);
    EXPECT_NEAR(mean[2], 128, 2);
}
