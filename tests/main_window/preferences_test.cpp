// The preferences file as the user meets it: settings that survive a close and reopen, the bytes
// on disk, and files that must not disturb the window.
#include "main_window/main.h"

#include "framework/core/folder_item.h"
#include "framework/gui/runtime.h"
#include "tests/support/file_size_limit.h"
#include "tests/support/framework_key.h"
#include "tests/support/picture_fixtures.h"
#include "tests/support/spin.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

QString preferencesPath()
{
    return QString::fromStdString(SpecialFolder::Preferences()->Child("Quobly! preferences")->NativePath());
}

std::string readPreferences()
{
    QFile file(preferencesPath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll().toStdString();
}

void writePreferences(const std::string& bytes)
{
    QFile file(preferencesPath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes.data(), static_cast<qint64>(bytes.size())), static_cast<qint64>(bytes.size()));
}

// A record as it stands on disk; the defaults are the window's design values.
struct Record {
    bool settingsOpen { true };
    int mode { 0 };
    int wantedSize { 0 };
    int sizeBasis { 0 };
    int boxWidth { 0 };
    int boxHeight { 0 };
    int independentWidth { 0 };
    int widthUnit { 0 };
    int independentHeight { 0 };
    int heightUnit { 0 };
    int quality { 80 };
    bool increase { false };
    bool reserved { false };
    bool webReady { false };
    bool dosFormat { false };
    int exportFormat { 0 };

    std::string bytes() const
    {
        std::string out;
        auto boolean = [&](bool v) { out.push_back(v ? 1 : 0); };
        auto shortField = [&](int v) {
            out.push_back(static_cast<char>((v >> 8) & 0xFF));
            out.push_back(static_cast<char>(v & 0xFF));
        };
        boolean(settingsOpen);
        shortField(mode);
        shortField(wantedSize);
        shortField(sizeBasis);
        shortField(boxWidth);
        shortField(boxHeight);
        shortField(independentWidth);
        shortField(widthUnit);
        shortField(independentHeight);
        shortField(heightUnit);
        shortField(quality);
        boolean(increase);
        boolean(reserved);
        boolean(webReady);
        boolean(dosFormat);
        shortField(exportFormat);
        return out;
    }
};

class PreferencesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Seams::ResetAll();
        Seams::SetBeep([this] { ++beeps; });
        Seams::SetMsgBox([this](const String& text) { messages.push_back(text); });
        QFile::remove(preferencesPath());
    }

    void TearDown() override
    {
        closeAll();
        QDir(preferencesPath()).removeRecursively();
        QFile::remove(preferencesPath());
        Seams::ResetAll();
    }

    // Closes every window without the main window's closing work, so that a test decides
    // itself when the preferences are written.
    static void closeAll()
    {
        for (auto& window : OpenWindows()) {
            window->OnClose = nullptr;
            window->Close();
        }
        SpinPending();
    }

    // The main window as a new launch opens it.
    static Ref<Main> reopen()
    {
        closeAll();
        return Main::instance();
    }

    // Everything a user can set, as the controls show it, and the states the rules derive.
    static std::string describe(Main& w)
    {
        std::string s;
        auto add = [&](const std::string& name, const std::string& value) { s += name + "=" + value + " "; };
        auto flag = [](bool v) { return std::string(v ? "1" : "0"); };
        add("pane", flag(w.DTSettings()->Value()));
        for (int i = 0; i < 3; ++i)
            add("mode" + std::to_string(i), flag(w.RBType(i)->Value()));
        add("size", w.EFPSize()->Text());
        add("basis", std::to_string(w.PMPType()->ListIndex()));
        add("bw", w.EFBWidth()->Text());
        add("bh", w.EFBHeight()->Text());
        add("iw", w.EFIWidth()->Text());
        add("iwu", std::to_string(w.PMIWidth()->ListIndex()));
        add("ih", w.EFIHeight()->Text());
        add("ihu", std::to_string(w.PMIHeight()->ListIndex()));
        add("q", std::to_string(w.SLQuality()->Value()));
        add("qtext", w.STQuality()->Text());
        add("qrow", std::to_string(w.PMQuality()->ListIndex()));
        add("inc", flag(w.CBIncrease()->Value()));
        add("web", flag(w.CBName()->Value()));
        add("dos", flag(w.CBDos()->Value()));
        add("fmt", std::to_string(w.PMExportFormat()->ListIndex()));
        add("sizeOn", flag(w.EFPSize()->Enabled()));
        add("indepOn", flag(w.EFIWidth()->Enabled()));
        add("boxOn", flag(w.EFBWidth()->Enabled()));
        add("qualityOn", flag(w.SLQuality()->Enabled()));
        add("dosOn", flag(w.CBDos()->Enabled()));
        add("go", flag(w.PBGo()->Enabled()));
        add("triangle", flag(w.DTSettings()->Enabled()));
        add("w", std::to_string(w.Width()));
        add("h", std::to_string(w.Height()));
        return s;
    }

    int beeps { 0 };
    std::vector<String> messages;
};

TEST_F(PreferencesTest, FirstLaunchShowsTheDesignValuesAtTheFullSize)
{
    auto w = Main::instance();
    EXPECT_EQ(w->Width(), 746);
    EXPECT_EQ(w->Height(), 322);
    EXPECT_TRUE(w->RBType(0)->Value());
    EXPECT_EQ(w->EFPSize()->Text(), "");
    EXPECT_EQ(w->SLQuality()->Value(), 80);
    EXPECT_FALSE(w->PBGo()->Enabled());
    // The pane is open with incomplete settings, so it cannot be closed yet.
    EXPECT_FALSE(w->DTSettings()->Enabled());
    EXPECT_TRUE(readPreferences().empty()) << "opening writes nothing";
}

TEST_F(PreferencesTest, EverySettingComesBackAfterAReopen)
{
    auto w = Main::instance();
    w->RBType(2)->Value(true);
    w->EFPSize()->Text("640");
    w->PMPType()->ListIndex(3);
    w->EFBWidth()->Text("1024");
    w->EFBHeight()->Text("768");
    w->EFIWidth()->Text("50");
    w->PMIWidth()->ListIndex(1);
    w->EFIHeight()->Text("-75");
    w->PMIHeight()->ListIndex(1);
    w->SLQuality()->Value(61);
    w->CBIncrease()->Value(true);
    w->CBName()->Value(true);
    w->CBDos()->Value(true);
    w->PMExportFormat()->ListIndex(1);
    w->DTSettings()->Value(false);
    const auto before = describe(*w);
    w->savepref();

    auto again = reopen();
    ASSERT_NE(again.get(), w.get());
    EXPECT_EQ(describe(*again), before);
    // The states that follow from the loaded values, spelled out.
    EXPECT_TRUE(again->EFBWidth()->Enabled());
    EXPECT_FALSE(again->EFPSize()->Enabled());
    EXPECT_FALSE(again->PMQuality()->Enabled());
    EXPECT_TRUE(again->CBDos()->Enabled());
    EXPECT_EQ(again->STQuality()->Text(), "61");
    EXPECT_EQ(again->PMQuality()->Text(), "Custom");
    EXPECT_EQ(again->Width(), 366);
    EXPECT_EQ(again->Height(), 117);
}

TEST_F(PreferencesTest, BytesOnDiskAreBigEndianAtTheirOffsets)
{
    auto w = Main::instance();
    w->RBType(2)->Value(true);
    w->EFPSize()->Text("258");
    w->PMPType()->ListIndex(3);
    w->EFBWidth()->Text("772");
    w->EFBHeight()->Text("1286");
    w->EFIWidth()->Text("-2");
    w->PMIWidth()->ListIndex(1);
    w->EFIHeight()->Text("4660");
    w->PMIHeight()->ListIndex(1);
    w->SLQuality()->Value(99);
    w->CBIncrease()->Value(true);
    w->CBName()->Value(false);
    w->CBDos()->Value(true);
    w->PMExportFormat()->ListIndex(1);
    w->savepref();

    const std::string expected { "\x01"
                                 "\x00\x02" "\x01\x02" "\x00\x03" "\x03\x04" "\x05\x06"
                                 "\xFF\xFE" "\x00\x01" "\x12\x34" "\x00\x01" "\x00\x63"
                                 "\x01" "\x00" "\x00" "\x01"
                                 "\x00\x01",
        27 };
    EXPECT_EQ(readPreferences(), expected);
}

TEST_F(PreferencesTest, SizeFieldsComeBackAsWholeNumbers)
{
    struct Row {
        const char* typed;
        const char* shown;
    };
    const Row rows[] = {
        { "", "0" },
        { "abc", "0" },
        { "800.7", "800" },
        { "800px", "800" },
        { "-5.9", "-5" },
        { "  120", "120" },
        { "1e3", "1000" },
        // Beyond the 16-bit field the size saturates instead of wrapping into another size.
        { "40000", "32767" },
        { "-99999", "-32768" },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.typed);
        auto w = reopen();
        w->RBType(2)->Value(true);
        w->EFPSize()->Text(row.typed);
        w->EFBWidth()->Text(row.typed);
        w->EFIHeight()->Text(row.typed);
        w->savepref();
        auto again = reopen();
        EXPECT_EQ(again->EFPSize()->Text(), row.shown);
        EXPECT_EQ(again->EFBWidth()->Text(), row.shown);
        EXPECT_EQ(again->EFIHeight()->Text(), row.shown);
    }
}

TEST_F(PreferencesTest, LoadedValuesBringTheirRulesIntoForce)
{
    struct Row {
        const char* name;
        Record record;
        std::function<void(Main&)> check;
    };
    const std::vector<Row> rows = {
        { "independent mode", Record { .mode = 1, .independentWidth = 10, .independentHeight = 20 },
            [](Main& w) {
                EXPECT_TRUE(w.RBType(1)->Value());
                EXPECT_FALSE(w.RBType(0)->Value());
                for (auto c : { w.EFIWidth(), w.EFIHeight() })
                    EXPECT_TRUE(c->Enabled());
                for (auto c : { w.PMIWidth(), w.PMIHeight() })
                    EXPECT_TRUE(c->Enabled());
                for (auto c : { w.EFPSize(), w.EFBWidth(), w.EFBHeight() })
                    EXPECT_FALSE(c->Enabled());
                EXPECT_FALSE(w.PMPType()->Enabled());
                EXPECT_TRUE(w.DTSettings()->Enabled()) << "complete settings";
            } },
        { "PNG", Record { .wantedSize = 800, .exportFormat = 1 },
            [](Main& w) {
                EXPECT_FALSE(w.STJPEGQuality()->Enabled());
                EXPECT_FALSE(w.PMQuality()->Enabled());
                EXPECT_FALSE(w.SLQuality()->Enabled());
                EXPECT_TRUE(w.EFPSize()->Enabled());
            } },
        { "web-ready names", Record { .webReady = true, .dosFormat = true },
            [](Main& w) {
                EXPECT_TRUE(w.CBDos()->Enabled());
                EXPECT_TRUE(w.CBDos()->Value());
            } },
        { "quality 90", Record { .quality = 90 },
            [](Main& w) {
                EXPECT_EQ(w.STQuality()->Text(), "90");
                EXPECT_EQ(w.PMQuality()->Text(), "Excellent (90)");
            } },
        { "quality 75", Record { .quality = 75 },
            [](Main& w) {
                EXPECT_EQ(w.STQuality()->Text(), "75");
                EXPECT_EQ(w.PMQuality()->Text(), "Custom");
            } },
        { "closed pane with incomplete settings", Record { .settingsOpen = false },
            [](Main& w) {
                EXPECT_EQ(w.Width(), 366);
                EXPECT_EQ(w.Height(), 117);
                EXPECT_TRUE(w.DTSettings()->Enabled()) << "a closed pane can always be opened";
                EXPECT_FALSE(w.PBGo()->Enabled());
            } },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        closeAll();
        writePreferences(row.record.bytes());
        auto w = Main::instance();
        row.check(*w);
    }
}

TEST_F(PreferencesTest, WritingRightAfterALoadReproducesTheFile)
{
    const Record records[] = {
        Record {},
        Record { .settingsOpen = false, .mode = 2, .wantedSize = -3, .sizeBasis = 4, .boxWidth = 32767,
            .boxHeight = -32768, .independentWidth = 1, .widthUnit = 1, .independentHeight = 2,
            .heightUnit = 1, .quality = 1, .increase = true, .webReady = true, .dosFormat = true,
            .exportFormat = 1 },
        Record { .mode = 1, .wantedSize = 800, .quality = 100, .dosFormat = true },
    };
    for (const auto& record : records) {
        closeAll();
        writePreferences(record.bytes());
        auto w = Main::instance();
        w->savepref();
        EXPECT_EQ(readPreferences(), record.bytes());
    }
}

TEST_F(PreferencesTest, TheReservedByteIsIgnoredAndWrittenFalse)
{
    const Record plain { .mode = 2, .boxWidth = 640, .boxHeight = 480, .webReady = true };
    Record reserved = plain;
    reserved.reserved = true;

    writePreferences(plain.bytes());
    const auto loadedPlain = describe(*Main::instance());
    closeAll();
    writePreferences(reserved.bytes());
    auto w = Main::instance();
    EXPECT_EQ(describe(*w), loadedPlain);
    w->savepref();
    EXPECT_EQ(readPreferences(), plain.bytes());
}

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
    void TearDown() override
    {
        PreferencesTest::TearDown();
        Seams::ResetQuitState();
    }

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

TEST_F(PreferencesClosingTest, ALinkToAFileThatHoldsNoRecordIsNotWrittenThrough)
{
    const auto design = describe(*Main::instance());
    closeAll();

    struct Row {
        const char* name;
        std::string contents; // empty: the link leads to a folder
    };
    const Row rows[] = {
        { "notes of the user's", "Shopping: bread, milk, a new camera strap.\n" },
        { "a short file", "\x01\x00" },
        { "a record outside the limits", Record { .mode = 7, .wantedSize = 500 }.bytes() },
        { "a folder", "" },
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
        EXPECT_EQ(describe(*w), design);
        w->EFPSize()->Text("640");
        closeAsTheUserDoes(w);

        ASSERT_EQ(messages.size(), 1u);
        EXPECT_NE(messages[0].find("link"), String::npos) << messages[0];
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
