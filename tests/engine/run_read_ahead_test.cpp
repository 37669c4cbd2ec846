// Whole runs with the pictures decoded ahead on worker threads and without: the same files to
// the byte, the same window along the way.

#include "tests/engine/read_ahead_run.h"

#include "framework/core/thread.h"
#include "framework/core/private/thread_internals.h"

using namespace engine_test;

namespace {

// A folder of the kinds a run meets: JPEGs of several sizes and orientations (so that some guesses
// of the next picture's size fail), PNGs with and without alpha, a damaged JPEG, a text file and a
// subfolder.
void fillMixedFolder(const QString& source)
{
    writePicture(source + "/01 landscape.jpg", 1600, 1200, "JPG");
    writePicture(source + "/02 landscape.jpg", 1600, 1200, "JPG", false, 80);
    writePicture(source + "/03 portrait.jpg", 900, 1400, "JPG");
    fixtures::WriteJpeg((source + "/04 turned.jpg").toStdString(), Marked(1400, 900), 92, 6);
    writePicture(source + "/05 alpha.png", 640, 480, "PNG", true);
    writeText(source + "/06 notes.txt");
    QDir().mkpath(source + "/07 subfolder");
    writePicture(source + "/08 plain.png", 1600, 1200, "PNG");
    writePicture(source + "/09 landscape.jpg", 1600, 1200, "JPG", false, 60);
    {
        QFile whole(source + "/09 landscape.jpg");
        ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
        QFile cut(source + "/10 cut.jpg");
        ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
        cut.write(whole.read(whole.size() / 2));
    }
    writePicture(source + "/11 tiny.png", 3, 2, "PNG");
    writePicture(source + "/12 landscape.jpg", 1600, 1200, "JPG", false, 95);
}

TEST_F(ReadAheadRun, WholeRunsAreTheSameToTheByteWithAndWithout)
{
    struct Case {
        const char* what;
        std::function<void(Main&)> set;
        QString folder;
    };
    const Case cases[] = {
        { "biggest side, JPEG", [](Main&) {}, "Mixed (B800)" },
        { "smallest side, PNG", [](Main& m) {
              m.PMPType()->ListIndex(1);
              m.EFPSize()->Text("150");
              m.PMExportFormat()->ListIndex(1);
          }, "Mixed (S150)" },
        { "percent", [](Main& m) {
              m.PMPType()->ListIndex(4);
              m.EFPSize()->Text("23");
          }, "Mixed (23%)" },
        { "independent", [](Main& m) {
              m.RBType(1)->Value(true);
              m.EFIWidth()->Text("50");
              m.PMIWidth()->ListIndex(1);
              m.EFIHeight()->Text("130");
              m.PMIHeight()->ListIndex(0);
          }, "Mixed (W50%, H130)" },
        { "box, quality 40", [](Main& m) {
              m.RBType(2)->Value(true);
              m.EFBWidth()->Text("300");
              m.EFBHeight()->Text("200");
              m.SLQuality()->Value(40);
          }, "Mixed (300x200)" },
    };
    const QString source = makeFolder("Mixed");
    fillMixedFolder(source);
    choose(source);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        resetSettings();
        c.set(*w);
        const Outcome sequential = runWith(false, root() + "/" + c.folder);
        const Outcome ahead = runWith(true, root() + "/" + c.folder);
        expectSame(sequential, ahead);
        // The damaged JPEG is reported the same way by both.
        ASSERT_EQ(ahead.record.messages.size(), 1u);
        // All but the pictures whose size was guessed wrong came from a worker.
        EXPECT_GE(ahead.taken, 5);
    }
}

TEST_F(ReadAheadRun, AFileReplacedAfterItWasReadAheadIsReadAgain)
{
    const QString source = makeFolder("Swap");
    for (const char* name : { "1.jpg", "2.jpg", "3.jpg", "4.jpg" })
        writePicture(source + "/" + name, 1600, 1200, "JPG");
    const QString third = source + "/3.jpg";
    QFile original(third);
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    const QByteArray originalBytes = original.readAll();
    original.close();
    // The same length and header, another picture: one byte of the compressed data changed (never
    // into or next to a marker), which the size and header read at opening cannot tell.
    QByteArray changed = originalBytes;
    qsizetype at = changed.size() * 3 / 5;
    while (uchar(changed[at]) >= 0xFE || uchar(changed[at - 1]) == 0xFF)
        ++at;
    changed[at] = char(uchar(changed[at]) ^ 0x01);
    const QString replacement = root() + "/replacement.jpg";
    {
        QFile file(replacement);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(changed);
    }
    choose(source);

    // Once the second picture is done (and the rest read ahead), the third is replaced by another
    // of the same size.
    bool replaced = false;
    const auto replaceThird = [&](bool waitForWorkers, int64_t finishedBefore) {
        return [&, waitForWorkers, finishedBefore] {
            if (replaced || record.statusTexts.empty() || record.statusTexts.back() != "Processing picture 2 of 4")
                return;
            if (waitForWorkers) {
                // The run must not go on while the workers are waited for: it would take the third
                // picture before it is replaced.
                const ThreadTurnsHeld held;
                ASSERT_TRUE(SpinUntil([&] { return ReadAhead::Finished() >= finishedBefore + 4; }));
            }
            ASSERT_TRUE(QFile::copy(replacement, third + ".new"));
            ASSERT_EQ(::rename((third + ".new").toLocal8Bit().constData(), third.toLocal8Bit().constData()), 0);
            replaced = true;
        };
    };
    const Outcome sequential = runWith(false, root() + "/Swap (B800)", replaceThird(false, 0));
    ASSERT_TRUE(replaced);
    replaced = false;
    QFile::remove(third);
    QFile restored(third);
    ASSERT_TRUE(restored.open(QIODevice::WriteOnly));
    restored.write(originalBytes);
    restored.close();
    const Outcome ahead = runWith(true, root() + "/Swap (B800)", replaceThird(true, ReadAhead::Finished()));
    ASSERT_TRUE(replaced);
    expectSame(sequential, ahead);
    // The third picture was decoded again from the new file; the others came from the workers.
    EXPECT_EQ(ahead.taken, 3);
}

} // namespace
