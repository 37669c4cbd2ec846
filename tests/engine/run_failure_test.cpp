// Runs that meet a failure: each ends through the normal finish, gives the window back, and
// reports what failed once.

#include "tests/engine/run_fixture.h"
#include "tests/support/file_size_limit.h"
#include "tests/support/immutable.h"

using namespace engine_test;

namespace {

void expectFinished(Main& w, const RunRecord& record, const String& sourceName)
{
    EXPECT_EQ(record.beeps, 1);
    EXPECT_EQ(w.STStatus()->Text(), "Folder '" + sourceName + "' processed");
    EXPECT_EQ(w.PBGo()->Caption(), "Go");
    EXPECT_FALSE(w.PBGo()->Cancel());
    EXPECT_TRUE(w.PBSelect()->Enabled());
    EXPECT_TRUE(w.RBType(0)->Enabled());
    EXPECT_TRUE(w.CBName()->Enabled());
    EXPECT_EQ(w.PB()->Maximum(), 1);
    ASSERT_EQ(record.messages.size(), 1u) << "one message box names the failure";
    // The message comes after the end status is shown.
    EXPECT_EQ(record.statusWhenMessageShown, "Folder '" + sourceName + "' processed");
}

TEST_F(EngineRun, OutputFolderThatCannotBeCreatedIsReported)
{
    const QString source = makeFolder("Long");
    writePicture(source + "/a.png", 40, 30);
    choose(source);
    // The suffix takes the field as typed: far beyond what a file name may hold.
    w->EFPSize()->Text("800" + String(300, 'x'));
    run();
    expectFinished(*w, record, "Long");
    EXPECT_NE(record.messages[0].find("could not be created"), String::npos) << record.messages[0];
    EXPECT_EQ(entries(root()), QStringList { "Long" });
    EXPECT_TRUE(record.progressValues.empty() || record.progressValues == std::vector<int> { 0 });
}

// A folder renamed after it was chosen: no output folder is made for it, and the finish says why.
TEST_F(EngineRun, SourceFolderGoneBeforeGoIsReported)
{
    const QString source = makeFolder("Before");
    writePicture(source + "/a.png", 40, 30);
    choose(source);
    ASSERT_TRUE(QDir().rename(source, root() + "/After"));
    run();
    expectFinished(*w, record, "Before");
    EXPECT_EQ(record.messages[0], "The run stopped: the source folder \"" + source.toStdString()
            + "\" is no longer there: it was moved, renamed or deleted.");
    EXPECT_EQ(entries(root()), QStringList { "After" });
}

// Names that fill the file system's 255 bytes: the counter cuts the base name, on a character
// boundary, rather than make a name the file system refuses.
TEST_F(EngineRun, NamesThatFillTheFileSystemsBytesStillTakeAFreeName)
{
    const QString source = makeFolder("Save");
    // 251 bytes: "base.jpg" fills the 255; "base-2.jpg" would need two more.
    const QString ascii(251, 'n');
    // 125 two-byte characters and one byte: a cut at byte 249 would split the last "é".
    const QString accented = QString(125, QChar(0xE9)) + "a";
    for (const QString& base : { ascii, accented }) {
        writePicture(source + "/" + base + ".bmp", 40, 30, "BMP");
        writePicture(source + "/" + base + ".png", 40, 30);
    }
    choose(source);
    run();
    EXPECT_TRUE(record.messages.empty()) << record.messages.front();
    const QStringList saved = entries(root() + "/Save (B800)");
    const QString accentedCut = QString(124, QChar(0xE9)) + "-2.jpg"; // 248 + 6 bytes: no half character
    QStringList expected { accented + ".jpg", accentedCut, ascii.left(249) + "-2.jpg", ascii + ".jpg" };
    expected.sort(Qt::CaseSensitive);
    EXPECT_TRUE(saved == expected) << saved.join("\n").toStdString();
    for (const QString& name : saved)
        EXPECT_LE(name.toUtf8().size(), 255) << name.toStdString();
    EXPECT_EQ(record.progressValues, (std::vector<int> { 1, 2, 3, 4, 0 }));
}

// A write that fails in the middle of a picture (here the file size limit; a full disk alike)
// leaves nothing under the picture's name and nothing beside it, and the run goes on.
TEST_F(EngineRun, PictureWhoseWriteFailsLeavesNothingAndIsCounted)
{
    const QString source = makeFolder("Noise");
    QImage noise(600, 400, QImage::Format_RGB32);
    uint32_t seed = 12345;
    for (int y = 0; y < noise.height(); ++y) {
        for (int x = 0; x < noise.width(); ++x) {
            seed = seed * 1664525u + 1013904223u;
            noise.setPixel(x, y, 0xFF000000u | (seed >> 8));
        }
    }
    ASSERT_TRUE(noise.save(source + "/a noise.png"));
    writePicture(source + "/b small.png", 20, 15);
    choose(source);
    {
        const FileSizeLimit limit(16384);
        ASSERT_TRUE(limit.ok);
        run();
    }
    expectFinished(*w, record, "Noise");
    expectOneMessageSaying(record, { "1 picture could not be processed. The first error: \"a noise.png\"", "File too large" });
    EXPECT_EQ(entries(root() + "/Noise (B800)"), QStringList { "b small.jpg" });
    EXPECT_EQ(record.progressValues, (std::vector<int> { 2, 0 }));
}

TEST_F(EngineRun, PictureTooLargeToMakeIsSkippedAndCounted)
{
    const QString source = makeFolder("Huge");
    writePicture(source + "/a.png", 40, 30);
    writePicture(source + "/b.png", 40, 30);
    choose(source);
    w->RBType(1)->Value(true);
    w->EFIWidth()->Text("200000");
    w->EFIHeight()->Text("200000");
    w->CBIncrease()->Value(true);
    run();
    expectFinished(*w, record, "Huge");
    expectOneMessageSaying(record, { "2 pictures could not be processed", "too large" });
    EXPECT_TRUE(entries(root() + "/Huge (W200000, H200000)").isEmpty());
    // The size fields of the selected mode are given back.
    EXPECT_TRUE(w->EFIWidth()->Enabled());
    EXPECT_FALSE(w->EFPSize()->Enabled());
}

TEST_F(EngineRun, OutputFolderThatWouldBeTheSourceItself)
{
    // A folder name of 31 characters that already ends with this run's suffix.
    const QString name = "Pictures of the summer h (B800)";
    const QString source = makeFolder(name);
    writePicture(source + "/keep.png", 40, 30);
    choose(source);
    run();
    expectFinished(*w, record, name.toStdString());
    EXPECT_NE(record.messages[0].find("source folder itself"), String::npos) << record.messages[0];
    EXPECT_EQ(entries(source), QStringList { "keep.png" });
    EXPECT_TRUE(record.progressValues.empty() || record.progressValues == std::vector<int> { 0 });
}

TEST_F(EngineRun, DesktopAsSourceWithALockedPlaceIsNotWrittenInto)
{
    // The Desktop fallback would put the output folder inside the source folder.
    const QString desktop = qEnvironmentVariable("XDG_DESKTOP_DIR");
    ASSERT_TRUE(QDir().mkpath(desktop));
    writePicture(desktop + "/d.png", 40, 30);
    choose(desktop);
    {
        const Immutable locked(QFileInfo(desktop).path().toStdString());
        if (!locked.ok)
            GTEST_SKIP() << "this file system or user cannot make a folder immutable (FS_IOC_SETFLAGS)";
        run();
    }
    expectFinished(*w, record, "Desktop");
    expectOneMessageSaying(record, { "source folder itself or lie in it" });
    EXPECT_EQ(entries(desktop), QStringList { "d.png" });
}

TEST_F(EngineRun, LockedOutputPlaceGoesToTheDesktop)
{
    const QString desktop = qEnvironmentVariable("XDG_DESKTOP_DIR");
    ASSERT_FALSE(desktop.isEmpty());
    const QString onDesktop = desktop + "/Shots (B800)";
    struct Case {
        const char* parent;
        // Else the Desktop is missing, and made.
        bool desktopHoldsAnOlderOutput;
    };
    for (const Case& c : { Case { "readonly", true }, Case { "readonly without a desktop", false } }) {
        SCOPED_TRACE(c.parent);
        const QString parent = makeFolder(c.parent);
        const QString source = makeFolder(QString(c.parent) + "/Shots");
        writePicture(source + "/s.png", 40, 30);
        if (c.desktopHoldsAnOlderOutput) {
            ASSERT_TRUE(QDir().mkpath(onDesktop));
            writeText(onDesktop + "/older.txt");
        } else {
            ASSERT_TRUE(QDir(desktop).removeRecursively());
        }
        choose(source);
        {
            const Immutable locked(parent.toStdString());
            if (!locked.ok)
                GTEST_SKIP() << "this file system or user cannot make a folder immutable (FS_IOC_SETFLAGS)";
            run();
        }
        // The status line says what the Parts say; the finish's message says where the folder is
        // and why, as the user looks beside the source and finds nothing.
        EXPECT_EQ(record.statusTexts.back(), "Folder 'Shots' processed");
        expectOneMessageSaying(record,
            { "The output folder was made on the Desktop: \"" + onDesktop.toStdString() + "\"",
                "\"" + parent.toStdString() + "\" that holds the source folder cannot be written into" });
        record = {};
        EXPECT_EQ(entries(parent), QStringList { "Shots" });
        // An older Desktop folder went first; the new one holds the run's picture alone.
        EXPECT_EQ(entries(onDesktop), QStringList { "s.jpg" });
        QDir(onDesktop).removeRecursively();
    }
}

TEST_F(EngineRun, NoPlaceToWriteAtAll)
{
    const QString parent = makeFolder("nowhere");
    const QString source = makeFolder("nowhere/Shots");
    writePicture(source + "/s.png", 40, 30);
    const QString desktop = qEnvironmentVariable("XDG_DESKTOP_DIR");
    choose(source);
    {
        const Immutable lockedParent(parent.toStdString()), lockedDesktop(desktop.toStdString());
        if (!lockedParent.ok || !lockedDesktop.ok)
            GTEST_SKIP() << "this file system or user cannot make a folder immutable (FS_IOC_SETFLAGS)";
        run();
    }
    expectFinished(*w, record, "Shots");
    EXPECT_NE(record.messages[0].find("could not be created"), String::npos) << record.messages[0];
    EXPECT_EQ(entries(parent), QStringList { "Shots" });
}

} // namespace
