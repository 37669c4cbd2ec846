// The JPEG encoder writes what TurboJPEG's compressor wrote before it, to the byte, with the
// colour profile in markers that every reader finds.
#include "framework/image/jpeg.h"

#include "tests/support/picture_fixtures.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QColorSpace>
#include <QImageReader>

#include <turbojpeg.h>

#include <vector>

using namespace fixtures;

namespace {

ImageBuffer bufferOf(const QImage& image)
{
    const QImage rgba = image.convertToFormat(QImage::Format_RGBA8888);
    ImageBuffer buffer;
    buffer.width = rgba.width();
    buffer.height = rgba.height();
    buffer.pixels.resize(size_t(rgba.width()) * size_t(rgba.height()) * 4);
    for (int y = 0; y < rgba.height(); ++y)
        std::memcpy(buffer.row(y), rgba.constScanLine(y), size_t(rgba.width()) * 4);
    return buffer;
}

// The file TurboJPEG writes for these pixels, as the encoder did before it used libjpeg itself.
std::vector<uint8_t> turboJpeg(const ImageBuffer& image, int quality)
{
    tjhandle tj = tjInitCompress();
    unsigned char* out = nullptr;
    unsigned long size = 0;
    const int failed = tjCompress2(tj, image.pixels.data(), image.width, image.width * 4, image.height, TJPF_RGBX, &out,
        &size, quality >= 90 ? TJSAMP_444 : TJSAMP_420, quality, 0);
    std::vector<uint8_t> file;
    if (failed == 0)
        file.assign(out, out + size);
    tjFree(out);
    tjDestroy(tj);
    return file;
}

// The file without its APP2 (ICC profile) markers.
std::vector<uint8_t> withoutProfile(const std::vector<uint8_t>& jpeg)
{
    std::vector<uint8_t> out(jpeg.begin(), jpeg.begin() + 2);
    size_t pos = 2;
    while (pos + 4 <= jpeg.size() && jpeg[pos] == 0xFF && jpeg[pos + 1] != 0xDA) {
        const size_t length = size_t(jpeg[pos + 2]) << 8 | jpeg[pos + 3];
        if (jpeg[pos + 1] != 0xE2)
            out.insert(out.end(), jpeg.begin() + ptrdiff_t(pos), jpeg.begin() + ptrdiff_t(pos + 2 + length));
        pos += 2 + length;
    }
    out.insert(out.end(), jpeg.begin() + ptrdiff_t(pos), jpeg.end());
    return out;
}

struct EncoderCase {
    int width;
    int height;
    int quality;
};

} // namespace

class JpegEncoder : public ::testing::TestWithParam<EncoderCase> {};

TEST_P(JpegEncoder, WritesWhatTurboJpegWrote)
{
    const ImageBuffer image = bufferOf(Marked(GetParam().width, GetParam().height));
    const std::vector<uint8_t> reference = turboJpeg(image, GetParam().quality);
    ASSERT_FALSE(reference.empty());
    EXPECT_TRUE(EncodeJpeg(image, GetParam().quality, {}) == reference);

    // With a profile: the same file once its markers are taken out again.
    const QByteArray profile = WideGamutProfile();
    const std::vector<uint8_t> withIcc = EncodeJpeg(image, GetParam().quality, std::vector<uint8_t>(profile.begin(), profile.end()));
    EXPECT_TRUE(withoutProfile(withIcc) == reference);
    QByteArray bytes(reinterpret_cast<const char*>(withIcc.data()), qsizetype(withIcc.size()));
    QBuffer device(&bytes);
    QImageReader reader(&device);
    const QImage read = reader.read();
    ASSERT_FALSE(read.isNull());
    EXPECT_EQ(read.colorSpace().iccProfile(), profile);
}

// Qualities either side of where the chroma goes to full resolution (90) and the DCT to the
// accurate one (96); sizes that fill no whole block.
INSTANTIATE_TEST_SUITE_P(Settings, JpegEncoder,
    ::testing::Values(EncoderCase { 33, 17, 1 }, EncoderCase { 33, 17, 50 }, EncoderCase { 640, 480, 80 },
        EncoderCase { 101, 77, 89 }, EncoderCase { 101, 77, 90 }, EncoderCase { 64, 64, 95 }, EncoderCase { 64, 64, 96 },
        EncoderCase { 1, 1, 100 }));

// A profile longer than one marker holds is split over several, in order, and read back whole.
TEST(JpegEncoderProfile, ALongProfileIsReadBackWhole)
{
    const ImageBuffer image = bufferOf(Marked(40, 30));
    std::vector<uint8_t> profile(150000);
    for (size_t i = 0; i < profile.size(); ++i)
        profile[i] = uint8_t(i * 7 + i / 251);
    const std::vector<uint8_t> jpeg = EncodeJpeg(image, 80, profile);
    JpegHeader header;
    ASSERT_EQ(ScanJpegHeader(jpeg.data(), jpeg.size(), header), JpegScan::Done);
    EXPECT_TRUE(header.icc == profile);
}
