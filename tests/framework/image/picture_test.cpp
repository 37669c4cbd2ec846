// Opening, drawing and saving pictures, checked by geometry and statistics of what lands on disk.
#include "framework/image/picture.h"

#include "tests/framework/image/picture_helpers.h"
#include "tests/support/picture_fixtures.h"

#include <QColorSpace>

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

using namespace fixtures;

namespace {

QImage saved(const Ref<Picture>& picture, const std::string& path, int32_t format, int32_t quality = 90)
{
    picture->Save(FolderItem::FromPath(path), format, quality);
    return ReadBack(path);
}

} // namespace

struct RoundTripCase {
    const char* name;
    bool jpegSource;
    int32_t format;
    int width, height, newWidth, newHeight;
    double tolerance; // on the mean of each channel
};

class PictureRoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(PictureRoundTrip, KeepsSizeAndMeanColour)
{
    const RoundTripCase& c = GetParam();
    TempFolder dir;
    const QImage original = Gradient(c.width, c.height);
    const std::string in = c.jpegSource ? WriteJpeg(dir.file("in.jpg"), original, 100) : WritePng(dir.file("in.png"), original);
    Ref<Picture> source = open(in);
    ASSERT_TRUE(source);
    EXPECT_EQ(source->Width(), c.width);
    EXPECT_EQ(source->Height(), c.height);
    const QImage out = saved(resized(source, c.newWidth, c.newHeight), dir.file("out"), c.format, 95);
    ASSERT_FALSE(out.isNull());
    EXPECT_EQ(out.width(), c.newWidth);
    EXPECT_EQ(out.height(), c.newHeight);
    EXPECT_FALSE(out.hasAlphaChannel()) << "an opaque source gives an opaque file";
    const auto expected = MeanColour(original), got = MeanColour(out);
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(got[size_t(i)], expected[size_t(i)], c.tolerance) << "channel " << i;
}

INSTANTIATE_TEST_SUITE_P(Sizes, PictureRoundTrip,
    ::testing::Values(RoundTripCase { "PngToPngHalf", false, Picture::SaveAsPNG, 640, 480, 320, 240, 1.0 },
        RoundTripCase { "PngToJpegThird", false, Picture::SaveAsJPEG, 900, 600, 300, 200, 1.5 },
        RoundTripCase { "JpegToJpegShrinkOnLoad", true, Picture::SaveAsJPEG, 2400, 1600, 300, 200, 1.5 },
        RoundTripCase { "JpegToPngOddRatio", true, Picture::SaveAsPNG, 1001, 667, 173, 97, 1.0 },
        RoundTripCase { "PngUpscaled", false, Picture::SaveAsPNG, 120, 80, 300, 200, 1.0 },
        RoundTripCase { "JpegToOnePixel", true, Picture::SaveAsPNG, 64, 48, 1, 1, 1.5 },
        RoundTripCase { "AspectChanged", false, Picture::SaveAsPNG, 400, 400, 50, 300, 1.0 }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PictureFlat, FlatColourStaysExactlyFlat)
{
    TempFolder dir;
    const QColor colour(37, 142, 211);
    Ref<Picture> source = open(WritePng(dir.file("flat.png"), Flat(997, 413, colour)));
    ASSERT_TRUE(source);
    const QImage out = saved(resized(source, 131, 54), dir.file("out.png"), Picture::SaveAsPNG);
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x)
            ASSERT_EQ(QColor(out.pixel(x, y)), colour) << x << "," << y;
}

class PictureOrientation : public ::testing::TestWithParam<int> {};

// Each EXIF orientation turns the stored pixels exactly as Qt's own reader turns them.
TEST_P(PictureOrientation, OpensUpright)
{
    const int orientation = GetParam();
    TempFolder dir;
    const std::string in = WriteJpeg(dir.file("o.jpg"), Quadrants(96, 48), 95, orientation);
    const QImage upright = ReadUpright(in);
    Ref<Picture> source = open(in);
    ASSERT_TRUE(source);
    EXPECT_EQ(source->Width(), upright.width());
    EXPECT_EQ(source->Height(), upright.height());
    EXPECT_EQ(source->Width() < source->Height(), orientation >= 5);
    const QImage out = saved(resized(source, source->Width(), source->Height()), dir.file("o.png"), Picture::SaveAsPNG);
    ASSERT_EQ(out.size(), upright.size());
    double diff = 0;
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x)
            diff += std::abs(qRed(out.pixel(x, y)) - qRed(upright.pixel(x, y)))
                + std::abs(qGreen(out.pixel(x, y)) - qGreen(upright.pixel(x, y)))
                + std::abs(qBlue(out.pixel(x, y)) - qBlue(upright.pixel(x, y)));
    EXPECT_LT(diff / (3.0 * out.width() * out.height()), 2.0);
}

INSTANTIATE_TEST_SUITE_P(Exif, PictureOrientation, ::testing::Range(1, 9));

TEST(PictureOrientation, PortraitOrientation6IsRotatedClockwise)
{
    TempFolder dir;
    // Stored landscape: red top left, green top right, blue bottom left, white bottom right.
    Ref<Picture> source = open(WriteJpeg(dir.file("p.jpg"), Quadrants(400, 300), 95, 6));
    ASSERT_TRUE(source);
    EXPECT_EQ(source->Width(), 300);
    EXPECT_EQ(source->Height(), 400);
    const QImage out = saved(resized(source, 150, 200), dir.file("p.png"), Picture::SaveAsPNG);
    ASSERT_EQ(out.size(), QSize(150, 200));
    // Turned a quarter clockwise: blue top left, red top right, white bottom left, green bottom right.
    auto near = [](QRgb p, int r, int g, int b) {
        return std::abs(qRed(p) - r) < 12 && std::abs(qGreen(p) - g) < 12 && std::abs(qBlue(p) - b) < 12;
    };
    EXPECT_TRUE(near(out.pixel(30, 40), 0, 0, 220));
    EXPECT_TRUE(near(out.pixel(120, 40), 220, 0, 0));
    EXPECT_TRUE(near(out.pixel(30, 160), 255, 255, 255));
    EXPECT_TRUE(near(out.pixel(120, 160), 0, 200, 0));
}

class PictureAlpha : public ::testing::Test {
protected:
    void SetUp() override
    {
        source = open(WritePng(dir.file("disc.png"), SoftDisc(400, 400, 12)));
        ASSERT_TRUE(source);
        ASSERT_TRUE(source->Mask(false)) << "a PNG with alpha has a mask";
    }
    TempFolder dir;
    Ref<Picture> source;
};

TEST_F(PictureAlpha, HalfSizePngKeepsTransparencyWithoutDarkFringe)
{
    const QImage out = saved(resized(source, 200, 200), dir.file("half.png"), Picture::SaveAsPNG);
    ASSERT_EQ(out.size(), QSize(200, 200));
    ASSERT_TRUE(out.hasAlphaChannel());
    const QImage argb = out.convertToFormat(QImage::Format_ARGB32);
    int soft = 0;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 200; ++x) {
            const QRgb p = argb.pixel(x, y);
            if (qAlpha(p) > 0 && qAlpha(p) < 255)
                ++soft;
            if (qAlpha(p) >= 16) { // colour is meaningful: it must be the disc's red, not darkened
                ASSERT_TRUE(qRed(p) >= 250 && qGreen(p) <= 4 && qBlue(p) <= 4)
                    << x << "," << y << " rgba " << qRed(p) << " " << qGreen(p) << " " << qBlue(p) << " " << qAlpha(p);
            }
        }
    EXPECT_GT(soft, 200) << "the soft edge survives";
    EXPECT_EQ(qAlpha(argb.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(argb.pixel(100, 100)), 255);
    EXPECT_NEAR(MeanColour(argb)[3], MeanColour(SoftDisc(400, 400, 12))[3], 1.0);
}

TEST_F(PictureAlpha, JpegIsFlattenedOntoWhite)
{
    const QImage out = saved(resized(source, 200, 200), dir.file("half.jpg"), Picture::SaveAsJPEG, 95);
    ASSERT_EQ(out.size(), QSize(200, 200));
    EXPECT_FALSE(out.hasAlphaChannel());
    const QRgb corner = out.pixel(2, 2), centre = out.pixel(100, 100);
    EXPECT_GE(qMin(qRed(corner), qMin(qGreen(corner), qBlue(corner))), 250) << "transparent becomes white";
    EXPECT_GE(qRed(centre), 240);
    EXPECT_LE(qGreen(centre), 15);
    // Along the edge, red over white: red stays full, never a dark ring.
    for (int x = 0; x < 100; ++x)
        EXPECT_GE(qRed(out.pixel(x, 100)), 235) << x;
}

TEST(PictureMask, OpaqueSourceHasNoMaskUntilMade)
{
    TempFolder dir;
    Ref<Picture> source = open(WriteJpeg(dir.file("a.jpg"), Gradient(64, 64)));
    ASSERT_TRUE(source);
    EXPECT_FALSE(source->Mask(false));
    EXPECT_TRUE(source->Mask(true));
    EXPECT_TRUE(source->Mask(false)) << "once made, the mask is there";
}

TEST(PictureNew, IsWhiteAndOpaque)
{
    TempFolder dir;
    Ref<Picture> picture = NewPicture(31, 17, 32);
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->Width(), 31);
    EXPECT_EQ(picture->Height(), 17);
    EXPECT_EQ(picture->Depth(), 32);
    const QImage out = saved(picture, dir.file("white.png"), Picture::SaveAsPNG);
    EXPECT_FALSE(out.hasAlphaChannel());
    const auto mean = MeanColour(out);
    EXPECT_EQ(mean, (std::array<double, 4> { 255, 255, 255, 255 }));
}

TEST(PictureNew, NilForImpossibleSizes)
{
    EXPECT_FALSE(NewPicture(0, 10, 32));
    EXPECT_FALSE(NewPicture(10, 0, 32));
    EXPECT_FALSE(NewPicture(-5, 10, 32));
    EXPECT_FALSE(NewPicture(100000, 100000, 32));
    EXPECT_FALSE(NewPicture(INT32_MAX, INT32_MAX, 32));
    EXPECT_TRUE(NewPicture(1, 1, 32));
}

// A JPEG is decoded row by row as the filter takes the rows: a part of it, scaled down, must come
// from the rows of that part, whichever quadrant it is and wherever the decoding stops.
TEST(PictureDraw, PartsOfALargeJpegComeFromTheirOwnRows)
{
    TempFolder dir;
    Ref<Picture> source = open(WriteJpeg(dir.file("q.jpg"), Quadrants(1600, 1200), 95));
    ASSERT_TRUE(source);
    struct Part {
        int x, y;
        QColor colour;
    };
    for (const Part& part : { Part { 0, 0, QColor(220, 0, 0) }, Part { 800, 0, QColor(0, 200, 0) },
             Part { 0, 600, QColor(0, 0, 220) }, Part { 800, 600, QColor(255, 255, 255) } }) {
        SCOPED_TRACE(part.x + part.y);
        Ref<Picture> target = NewPicture(100, 75, 32);
        // The inner part of the quadrant, away from the filter's reach over its edges.
        target->Graphics()->DrawPicture(source, 0, 0, 100, 75, part.x + 100, part.y + 75, 600, 450);
        const auto mean = MeanColour(saved(target, dir.file("part.png"), Picture::SaveAsPNG));
        EXPECT_NEAR(mean[0], part.colour.red(), 3);
        EXPECT_NEAR(mean[1], part.colour.green(), 3);
        EXPECT_NEAR(mean[2], part.colour.blue(), 3);
    }
}

TEST(PictureDraw, PartialRectanglesCompositeWhereDrawn)
{
    TempFolder dir;
    Ref<Picture> red = open(WritePng(dir.file("red.png"), Flat(50, 50, QColor(255, 0, 0))));
    ASSERT_TRUE(red);
    Ref<Picture> target = NewPicture(100, 100, 32);
    // The right half of the source, doubled, into the bottom-right quarter (and past the edge).
    target->Graphics()->DrawPicture(red, 50, 50, 100, 100, 25, 0, 25, 50);
    const QImage out = saved(target, dir.file("q.png"), Picture::SaveAsPNG);
    EXPECT_EQ(QColor(out.pixel(10, 10)), QColor(255, 255, 255));
    EXPECT_EQ(QColor(out.pixel(49, 60)), QColor(255, 255, 255));
    EXPECT_EQ(QColor(out.pixel(60, 60)), QColor(255, 0, 0));
    EXPECT_EQ(QColor(out.pixel(99, 99)), QColor(255, 0, 0));
}
