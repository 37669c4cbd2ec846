// Hostile items in a source folder: each is skipped (and counted when it is a picture that could
// not be made), never followed, and never takes the run down.

#include "tests/engine/run_fixture.h"
#include "tests/support/peak_memory.h"

#include <sys/resource.h>
#include <sys/stat.h>

#include <QBuffer>
#include <QImageWriter>

using namespace engine_test;

namespace {

void writePngClaiming(const QString& path, uint32_t width, uint32_t height)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(fixtures::PngClaiming(width, height));
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
    expectOneMessageSaying(record, { "2 pictures could not be processed", "a huge.png", "too large" });
    EXPECT_EQ(record.statusTexts.size(), 8u);
    EXPECT_EQ(record.progressValues, (std::vector<int> { 7, 0 }));
    EXPECT_EQ(entries(root() + "/Odd (B800)"), QStringList { "z.jpg" });
    EXPECT_EQ(entries(elsewhere), QStringList { "inside.png" });
    rusage usage {};
    ASSERT_EQ(::getrusage(RUSAGE_SELF, &usage), 0);
    if (kPeakMemoryMeansSomething)
        EXPECT_LT(usage.ru_maxrss, 1024 * 1024) << "peak memory in KiB";
}

// Files that start as pictures and cannot be read are failed items with their reasons, whether
// they fail at opening (a header cut short) or at drawing (data cut short, on a worker for a
// picture as large as this one); empty files and other files are passed over without a word.
TEST_F(EngineRun, DamagedPicturesAreCountedWithTheirReasons)
{
    const QString source = makeFolder("Damaged");
    // The whole picture comes first and is large enough for the read-ahead's workers to open the
    // items after it.
    writePicture(source + "/a whole.jpg", 900, 600, "JPEG");
    QFile whole(source + "/a whole.jpg");
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    const QByteArray bytes = whole.readAll();
    const auto write = [](const QString& path, const QByteArray& content) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    };
    write(source + "/b header cut.jpg", bytes.left(300));
    write(source + "/c data cut.jpg", bytes.left(bytes.size() * 6 / 10));
    write(source + "/d empty.jpg", QByteArray());
    writeText(source + "/e notes.jpg");
    choose(source);
    run();
    expectOneMessageSaying(record, { "2 pictures could not be processed", "b header cut.jpg", "incomplete" });
    EXPECT_EQ(entries(root() + "/Damaged (B800)"), QStringList { "a whole.jpg" });
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
