// Preferences files that must not disturb the window and must not be lost: unusable records,
// folders and links in the file's place, writes that fail, and the closing that writes them.
#include "tests/main_window/preferences_fixture.h"

#include "tests/support/file_size_limit.h"
#include "tests/support/framework_key.h"
#include "tests/support/picture_fixtures.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

TEST_F(PreferencesTest, AnUnusableFileLeavesTheDesignValuesAndAWorkingWindow)
{
    const auto design = describe(*Main::instance());
    closeAll();

    Record mode7 { .mode = 7, .wantedSize = 500 };
    Record basis9 { .wantedSize = 500, .sizeBasis = 9 };
    Record quality0 { .wantedSize = 500, .quality = 0 };
    Record quality101 { .wantedSize = 500, .quality = 101 };
    Record unit2 { .wantedSize = 500, .heightUnit = 2 };
    Record format2 { .wantedSize = 500, .exportFormat = 2 };
    Record negativeMode { .mode = -1, .wantedSize = 500 };
    struct Row {
        const char* name;
        std::function<void()> make;
    };
    const std::vector<Row> rows = {
        { "10 bytes", [] { writePreferences(Record { .wantedSize = 500 }.bytes().substr(0, 10)); } },
        { "26 bytes", [] { writePreferences(Record { .wantedSize = 500 }.bytes().substr(0, 26)); } },
        { "empty", [] { writePreferences(""); } },
        { "mode 7", [&] { writePreferences(mode7.bytes()); } },
        { "mode -1", [&] { writePreferences(negativeMode.bytes()); } },
        { "basis 9", [&] { writePreferences(basis9.bytes()); } },
        { "quality 0", [&] { writePreferences(quality0.bytes()); } },
        { "quality 101", [&] { writePreferences(quality101.bytes()); } },
        { "unit 2", [&] { writePreferences(unit2.bytes()); } },
        { "format 2", [&] { writePreferences(format2.bytes()); } },
        { "a folder", [] { ASSERT_TRUE(QDir().mkpath(preferencesPath())); } },
    };
    QTemporaryDir pictures;
    ASSERT_TRUE(QDir(pictures.path()).mkdir("Holiday"));
    const std::string holiday = (pictures.path() + "/Holiday").toStdString();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        closeAll();
        QDir(preferencesPath()).removeRecursively();
        QFile::remove(preferencesPath());
        row.make();
        auto w = Main::instance();
        EXPECT_EQ(describe(*w), design);
        // Fully working: the window takes drops, a drop is taken, and a folder of that name is still there untouched.
        EXPECT_TRUE(w->AcceptsDrops(testKey()));
        DragItem drop({ holiday });
        w->Event_DropObject(drop, 0);
        EXPECT_EQ(w->STFolder()->Text(), "Holiday");
        EXPECT_EQ(beeps, 0);
    }
    EXPECT_TRUE(QFileInfo(preferencesPath()).isDir());
}

TEST_F(PreferencesTest, AFolderInThePlaceOfTheFileIsNeverReplaced)
{
    ASSERT_TRUE(QDir().mkpath(preferencesPath() + "/kept"));
    auto w = Main::instance();
    EXPECT_THROW(w->savepref(), IOException);
    EXPECT_TRUE(QFileInfo(preferencesPath() + "/kept").isDir());
    // Nothing is left behind beside it either.
    const auto entries = QDir(QFileInfo(preferencesPath()).path()).entryList(QDir::Files | QDir::Hidden);
    EXPECT_TRUE(entries.isEmpty()) << entries.join(", ").toStdString();
}

TEST_F(PreferencesTest, AWriteThatFailsHalfwayKeepsThePreviousFile)
{
    const Record previous { .mode = 2, .boxWidth = 800, .boxHeight = 600, .quality = 90 };
    writePreferences(previous.bytes());
    auto w = Main::instance();
    w->EFBWidth()->Text("1024");

    // A file-size limit of 10 bytes makes the write fail in the middle of the record.
    {
        const FileSizeLimit limit(10);
        ASSERT_TRUE(limit.ok);
        EXPECT_THROW(w->savepref(), IOException);
    }

    EXPECT_EQ(readPreferences(), previous.bytes());
    w->savepref();
    Record now = previous;
    now.boxWidth = 1024;
    EXPECT_EQ(readPreferences(), now.bytes());
}

TEST_F(PreferencesTest, APreferencesFileThatIsALinkStaysALink)
{
    QTemporaryDir elsewhere;
    const QString real = elsewhere.path() + "/quobly.prefs";
    writePreferences(Record { .wantedSize = 500 }.bytes());
    ASSERT_TRUE(QFile::rename(preferencesPath(), real));
    ASSERT_TRUE(QFile::link(real, preferencesPath()));

    auto w = Main::instance();
    EXPECT_EQ(w->EFPSize()->Text(), "500");
    w->EFPSize()->Text("640");
    w->savepref();
    EXPECT_TRUE(QFileInfo(preferencesPath()).isSymLink());
    QFile file(real);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().toStdString(), Record { .wantedSize = 640 }.bytes());
    file.close();

    // A link whose file is not there yet (a fresh dotfile checkout) gets that file.
    ASSERT_TRUE(QFile::remove(real));
    w->EFPSize()->Text("320");
    w->savepref();
    EXPECT_TRUE(QFileInfo(preferencesPath()).isSymLink());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().toStdString(), Record { .wantedSize = 320 }.bytes());
}

TEST_F(PreferencesTest, ANameLeftBesideTheFileBlocksNoSave)
{
    ASSERT_TRUE(QDir().mkpath(preferencesPath() + ".new/kept"));
    auto w = Main::instance();
    w->EFPSize()->Text("640");
    w->savepref();
    EXPECT_EQ(readPreferences(), Record { .wantedSize = 640 }.bytes());
    EXPECT_TRUE(QFileInfo(preferencesPath() + ".new/kept").isDir());
    QDir(preferencesPath() + ".new").removeRecursively();
}

// Closing the window as the user does: the preferences are written, and the application quits
// whether or not that succeeded.
class PreferencesClosingTest : public PreferencesTest {
protected:
    void closeAsTheUserDoes(const Ref<Main>& w)
    {
        w->Close();
        EXPECT_FALSE(w->IsOpen());
        EXPECT_TRUE(IsQuitting());
        EXPECT_EQ(RuntimeExit(), 0);
        Seams::ResetQuitState();
    }
};

TEST_F(PreferencesClosingTest, AReadOnlyFileSurvivesTheCloseAndTheFailureIsReported)
{
    const Record kept { .mode = 2, .boxWidth = 800, .boxHeight = 600 };
    writePreferences(kept.bytes());
    const auto readOnly = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
    ASSERT_TRUE(QFile::setPermissions(preferencesPath(), readOnly));

    auto w = Main::instance();
    EXPECT_EQ(w->EFBWidth()->Text(), "800") << "a read-only file still loads";
    w->EFBWidth()->Text("1024");
    closeAsTheUserDoes(w);

    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("could not be saved"), String::npos) << messages[0];
    EXPECT_NE(messages[0].find("read-only"), String::npos) << messages[0];
    EXPECT_EQ(readPreferences(), kept.bytes());
    // The bits as stored (Qt's "User" bits say what this process may do, which for root is anything).
    const auto stored = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::WriteGroup
        | QFile::ExeGroup | QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
    EXPECT_EQ(QFile::permissions(preferencesPath()) & stored, readOnly);
}

// A link is written through only to a file that is exactly a record: another file of the user's
// is left whole, whether it holds no record (the design values stand) or a record and more (the
// record loads, and its end would be lost), and the closing says so.
TEST_F(PreferencesClosingTest, ALinkIsWrittenThroughOnlyToAnExactRecord)
{
    const auto design = describe(*Main::instance());
    closeAll();

    struct Row {
        const char* name;
        std::string contents; // empty: the link leads to a folder
        bool loads;
        const char* reason;
    };
    const Row rows[] = {
        { "notes of the user's", "Shopping: bread, milk, a new camera strap.\n", false, "holds no preferences" },
        { "a short file", "\x01\x00", false, "holds no preferences" },
        { "a record outside the limits", Record { .mode = 7, .wantedSize = 500 }.bytes(), false, "holds no preferences" },
        { "a folder", "", false, "holds no preferences" },
        { "a longer file that starts as a record", Record { .wantedSize = 500 }.bytes() + std::string(81, 'k'), true,
            "holds more than the preferences" },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        QTemporaryDir elsewhere;
        const QString other = elsewhere.path() + "/other";
        if (row.contents.empty())
            ASSERT_TRUE(QDir().mkpath(other + "/kept"));
        else
            ASSERT_EQ(fixtures::WriteBytes(other.toStdString(), QByteArray::fromStdString(row.contents)), other.toStdString());
        QFile::remove(preferencesPath());
        ASSERT_TRUE(QFile::link(other, preferencesPath()));
        messages.clear();

        auto w = Main::instance();
        if (row.loads)
            EXPECT_EQ(w->EFPSize()->Text(), "500");
        else
            EXPECT_EQ(describe(*w), design);
        w->EFPSize()->Text("640");
        closeAsTheUserDoes(w);

        ASSERT_EQ(messages.size(), 1u);
        EXPECT_NE(messages[0].find("could not be saved"), String::npos) << messages[0];
        EXPECT_NE(messages[0].find("is a link to a file that " + std::string(row.reason)), String::npos) << messages[0];
        EXPECT_EQ(QFileInfo(preferencesPath()).symLinkTarget(), other);
        if (row.contents.empty())
            EXPECT_TRUE(QFileInfo(other + "/kept").isDir());
        else
            EXPECT_EQ(fixtures::ReadBytes(other.toStdString()).toStdString(), row.contents);
        EXPECT_EQ(QDir(elsewhere.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList { "other" });
        QFile::remove(preferencesPath());
    }
}

} // namespace
