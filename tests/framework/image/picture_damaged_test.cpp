// Files that start as a picture but cannot be read: each one is refused at opening with its
// reason, never passed over as if it were no picture.
#include "framework/core/exceptions.h"
#include "framework/image/picture.h"

#include "tests/framework/image/picture_helpers.h"
#include "tests/support/picture_fixtures.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

using namespace fixtures;

namespace {

QByteArray jpegOf(const TempFolder& dir, int width, int height)
{
    return ReadBytes(WriteJpeg(dir.file("made.jpg"), Gradient(width, height), 90));
}

// Where the frame header's marker of a JPEG lies (its byte after 0xFF).
qsizetype frameAt(const QByteArray& jpeg)
{
    for (qsizetype i = 2; i + 9 < jpeg.size(); ++i) {
        const auto marker = static_cast<unsigned char>(jpeg[i + 1]);
        if (static_cast<unsigned char>(jpeg[i]) == 0xFF && marker >= 0xC0 && marker <= 0xC2)
            return i + 1;
    }
    return -1;
}

// The JPEG with another frame type (0xC3 lossless, 0xC5 hierarchical, 0xC9 arithmetic), sample
// precision or size in its frame header.
QByteArray withFrame(QByteArray jpeg, int marker, int precision = 8, int width = 0, int height = 0)
{
    const qsizetype at = frameAt(jpeg);
    jpeg[at] = char(marker);
    jpeg[at + 3] = char(precision);
    if (width > 0) {
        jpeg[at + 4] = char(height >> 8), jpeg[at + 5] = char(height);
        jpeg[at + 6] = char(width >> 8), jpeg[at + 7] = char(width);
    }
    return jpeg;
}

} // namespace

struct DamagedCase {
    const char* name;
    std::function<QByteArray(const TempFolder&)> bytes;
    const char* reason; // a part of the reason given
};

class PictureDamaged : public ::testing::TestWithParam<DamagedCase> {};

TEST_P(PictureDamaged, IsRefusedWithItsReason)
{
    TempFolder dir;
    const std::string path = WriteBytes(dir.file("damaged"), GetParam().bytes(dir));
    try {
        const Ref<Picture> picture = open(path);
        ADD_FAILURE() << "opened as " << (picture ? std::to_string(picture->Width()) : std::string("no picture"));
    } catch (const IOException& e) {
        EXPECT_NE(std::string(e.what()).find(GetParam().reason), std::string::npos) << e.what();
    }
}

INSTANTIATE_TEST_SUITE_P(Files, PictureDamaged,
    ::testing::Values(DamagedCase { "JpegSignatureOnly", [](const TempFolder&) { return QByteArray("\xFF\xD8\xFF", 3); }, "incomplete" },
        DamagedCase { "JpegCutAt100", [](const TempFolder& d) { return jpegOf(d, 640, 480).left(100); }, "incomplete" },
        DamagedCase { "JpegCutAt300", [](const TempFolder& d) { return jpegOf(d, 640, 480).left(300); }, "incomplete" },
        DamagedCase { "JpegCutAt600", [](const TempFolder& d) { return jpegOf(d, 640, 480).left(600); }, "incomplete" },
        DamagedCase { "Jpeg12Bit", [](const TempFolder& d) { return withFrame(jpegOf(d, 64, 64), 0xC1, 12); }, "12 bits" },
        DamagedCase { "JpegLossless", [](const TempFolder& d) { return withFrame(jpegOf(d, 64, 64), 0xC3); }, "lossless" },
        DamagedCase { "JpegHierarchical", [](const TempFolder& d) { return withFrame(jpegOf(d, 64, 64), 0xC5); }, "hierarchical" },
        DamagedCase { "JpegWiderThanAnyDecoder", [](const TempFolder& d) { return withFrame(jpegOf(d, 64, 64), 0xC0, 8, 65535, 8); },
            "too large to open (65535 x 8" },
        // Arithmetic coding gives no sign of missing data: only the size limit stops it.
        DamagedCase { "ArithmeticJpegClaimingFarMore",
            [](const TempFolder& d) { return withFrame(jpegOf(d, 64, 64), 0xC9, 8, 65000, 65000); }, "too large to open (65000 x 65000" },
        DamagedCase { "PngCutInHeader", [](const TempFolder& d) { return ReadBytes(WritePng(d.file("p.png"), Gradient(64, 64))).left(20); }, "PNG" },
        DamagedCase { "PngWiderThanAnyDecoder", [](const TempFolder&) { return PngClaiming(70000, 10); }, "too large to open (70000 x 10" },
        DamagedCase { "PngClaimingFarMore", [](const TempFolder&) { return PngClaiming(60000, 60000); }, "too large to open" },
        DamagedCase { "GifCutInHeader", [](const TempFolder&) { return QByteArray("GIF89a\x40", 7); }, "GIF" },
        DamagedCase { "WebPCutInHeader", [](const TempFolder&) { return QtEncoded(Gradient(64, 64), "webp").left(16); }, "WebP" },
        DamagedCase { "TiffCutInHeader", [](const TempFolder&) { return QtEncoded(Gradient(64, 64), "tiff").left(10); }, "TIFF" },
        DamagedCase { "BmpCutInHeader", [](const TempFolder&) { return QtEncoded(Gradient(64, 64), "bmp").left(30); }, "BMP" }),
    [](const auto& info) { return std::string(info.param.name); });

namespace {

// The outcome of drawing the whole file: "" when it draws, else the reason it fails.
std::string drawing(const std::string& path)
{
    try {
        const Ref<Picture> source = open(path);
        if (!source)
            return "no picture";
        resized(source, 320, 240);
        return "";
    } catch (const IOException& e) {
        return e.what();
    }
}

} // namespace

// Data damaged after the header fails when drawn, each damage with its own reason: a file cut
// short is not taken for a corrupt one, nor the other way round.
TEST(PictureDamagedData, EachDamageGetsItsReason)
{
    TempFolder dir;
    const QByteArray whole = jpegOf(dir, 640, 480);
    const QByteArray end("\xFF\xD9", 2);
    EXPECT_NE(drawing(WriteBytes(dir.file("cut.jpg"), whole.left(whole.size() / 2))).find("incomplete"), std::string::npos);
    EXPECT_NE(drawing(WriteBytes(dir.file("closed.jpg"), whole.left(whole.size() / 2) + end)).find("breaks off"), std::string::npos);
    // Single bits flipped in the compressed data: the decoder either passes over them or says the
    // data is damaged, never that it ends.
    const qsizetype data = whole.indexOf(QByteArray("\xFF\xDA", 2)) + 20;
    for (int i = 0; i < 12; ++i) {
        QByteArray bytes = whole;
        const qsizetype at = data + (whole.size() - data - 2) * i / 12;
        bytes[at] = char(bytes[at] ^ char(1 << (i % 8)));
        const std::string reason = drawing(WriteBytes(dir.file("flipped.jpg"), bytes));
        EXPECT_EQ(reason.find("ends before"), std::string::npos) << "bit flipped at " << at << ": " << reason;
    }
}
