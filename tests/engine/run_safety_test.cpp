// Hostile items in a source folder: each is skipped (and counted when it is a picture that could
// not be made), never followed, and never takes the run down.

#include "tests/engine/run_fixture.h"

#include <sys/resource.h>
#include <sys/stat.h>

#include <QBuffer>
#include <QImageWriter>

using namespace engine_test;

namespace {

uint32_t crc32(const QByteArray& bytes)
{
    uint32_t crc = 0xFFFFFFFFu;
    for (const char byte : bytes) {
        crc ^= uint8_t(byte);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void putBigEndian32(QByteArray& bytes, qsizetype at, uint32_t value)
{
    for (int k = 0; k < 4; ++k)
        bytes[at + k] = char(value >> (24 - 8 * k));
}

// A small PNG whose header claims `width` x `height`.
void writePngClaiming(const QString& path, uint32_t width, uint32_t height)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(Marked(8, 8).save(&buffer, "PNG"));
    // Signature (8), IHDR length (4), "IHDR" (4), width, height ..., CRC over type and data.
    ASSERT_EQ(png.mid(12, 4), "IHDR");
    putBigEndian32(png, 16, width);
    putBigEndian32(png, 20, height);
    putBigEndian32(png, 29, crc32(png.mid(12, 17)));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(png);
}

// A small progressive JPEG whose frame header claims `side` x `side`: such a file is decoded
// into coefficients of its full size, whatever the scale.
void writeProgressiveJpegClaiming(const QString& path, uint16_t side)
{
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "JPG");
    writer.setProgressiveScanWrite(true);
    ASSERT_TRUE(writer.write(Marked(16, 16)));
    const qsizetype sof = jpeg.indexOf(QByteArray("\xFF\xC2", 2));
    ASSERT_GT(sof, 0);
    for (const qsizetype at : { sof + 5, sof + 7 }) {
        jpeg[at] = char(side >> 8);
        jpeg[at + 1] = char(side & 0xFF);
    }
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(jpeg);
}

TEST_F(EngineRun, HostileItemsAreSkippedAndHugePicturesCounted)
{
    const QString source = makeFolder("Odd");
    // 3.6 billion pixels: refused before a byte of it is decoded.
    writePngClaiming(source + "/a huge.png", 60000, 60000);
    // Would take some 10 GB of coefficients to draw, even at a small size.
    writeProgressiveJpegClaiming(source + "/b huge.jpg", 60000);
    const QString elsewhere = makeFolder("elsewhere");
    writePicture(elsewhere + "/inside.png", 40, 30);
    ASSERT_TRUE(QFile::link(elsewhere, source + "/c link to a folder"));
    ASSERT_TRUE(QFile::link(source + "/d loop", source + "/d loop"));
    ASSERT_TRUE(QFile::link(source + "/missing", source + "/e dangling"));
    ASSERT_EQ(::mkfifo((source + "/f pipe.png").toLocal8Bit().constData(), 0600), 0);
    writePicture(source + "/z.png", 40, 30);
    choose(source);
    run();
    // Only the pictures that could not be made are reported, and they took no memory to speak
    // of; links, the loop and the pipe are items that are not pictures.
    ASSERT_EQ(record.messages.size(), 1u);
    EXPECT_NE(record.messages[0].find("2 pictures could not be processed"), String::npos) << record.messages[0];
    EXPECT_NE(record.messages[0].find("a huge.png"), String::npos) << record.messages[0];
    EXPECT_NE(record.messages[0].find("too large"), String::npos) << record.messages[0];
    EXPECT_EQ(record.statusTexts.size(), 8u);
    EXPECT_EQ(record.progressValues, (std::vector<int> { 7, 0 }));
    EXPECT_EQ(entries(root() + "/Odd (B800)"), QStringList { "z.jpg" });
    EXPECT_EQ(entries(elsewhere), QStringList { "inside.png" });
    rusage usage {};
    ASSERT_EQ(::getrusage(RUSAGE_SELF, &usage), 0);
    EXPECT_LT(usage.ru_maxrss, 1024 * 1024) << "peak memory in KiB";
}

// An item of the output folder's name that is a link to the source: the link goes, never what
// it leads to.
TEST_F(EngineRun, OutputNameTakenByALinkToTheSource)
{
    const QString source = makeFolder("Linked");
    writePicture(source + "/l.png", 40, 30);
    ASSERT_TRUE(QFile::link(source, root() + "/Linked (B800)"));
    choose(source);
    run();
    EXPECT_TRUE(record.messages.empty()) << record.messages.front();
    EXPECT_FALSE(QFileInfo(root() + "/Linked (B800)").isSymLink());
    EXPECT_EQ(entries(root() + "/Linked (B800)"), QStringList { "l.jpg" });
    EXPECT_EQ(entries(source), QStringList { "l.png" });
}

} // namespace
