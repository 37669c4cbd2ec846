// The preferences file as the user meets it: settings that survive a close and reopen, and the
// bytes on disk.
#include "tests/main_window/preferences_fixture.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

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
    setControls(*w,
        Record { .settingsOpen = false, .mode = 2, .wantedSize = 640, .sizeBasis = 3, .boxWidth = 1024, .boxHeight = 768,
            .independentWidth = 50, .widthUnit = 1, .independentHeight = -75, .heightUnit = 1, .quality = 61,
            .increase = true, .webReady = true, .dosFormat = true, .exportFormat = 1 });
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
    setControls(*w,
        Record { .mode = 2, .wantedSize = 258, .sizeBasis = 3, .boxWidth = 772, .boxHeight = 1286, .independentWidth = -2,
            .widthUnit = 1, .independentHeight = 4660, .heightUnit = 1, .quality = 99, .increase = true,
            .webReady = false, .dosFormat = true, .exportFormat = 1 });
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
    // A file of its own that holds more than the record loads too, and is replaced by the record.
    closeAll();
    writePreferences(records[2].bytes() + "more");
    auto w = Main::instance();
    EXPECT_EQ(w->EFPSize()->Text(), "800");
    w->savepref();
    EXPECT_EQ(readPreferences(), records[2].bytes());
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

} // namespace
