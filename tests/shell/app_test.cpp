// The application object and the items opened with it.
#include "shell/app.h"

#include "framework/gui/private/application_internals.h"
#include "main_window/main.h"
#include "shell/startup.h"
#include "tests/shell/shell_fixtures.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

class OpenDocument : public ::testing::Test {
protected:
    void SetUp() override
    {
        RunFrameworkInitialization(Startup);
        root = fs::path(getenv("HOME")) / "opened";
        for (const char* folder : { "Holiday", "Summer" })
            fs::create_directories(root / folder);
        std::ofstream(root / "Holiday" / "beach.jpg") << "not really a picture";
        Main::instance()->EFPSize()->Text("800");
    }
    // Windows left open would outlive the application at exit.
    void TearDown() override { Finalization(); }

    // Hands the item over as the framework does, through the application's hook.
    void open(const fs::path& path) { TheApplication()->OnOpenDocument(FolderItem::FromPath(path.string())); }

    String chosenFolder() { return Main::instance()->f ? Main::instance()->f->NativePath() : String("(nil)"); }

    SystemRecorder recorder;
    fs::path root;
};

} // namespace

TEST_F(OpenDocument, FileChoosesItsFolderAndFolderChoosesItself)
{
    struct Case {
        const char* opened;
        const char* chosen;
    };
    for (const Case& c : { Case { "Holiday/beach.jpg", "Holiday" }, Case { "Summer", "Summer" } }) {
        SCOPED_TRACE(c.opened);
        Main::instance()->PB()->Value(40);
        open(root / c.opened);
        EXPECT_EQ(chosenFolder(), (root / c.chosen).string());
        EXPECT_EQ(Main::instance()->STFolder()->Text(), c.chosen);
        EXPECT_EQ(Main::instance()->PB()->Value(), 0);
        // A size and a folder make the settings complete.
        EXPECT_TRUE(Main::instance()->PBGo()->Enabled());
    }
    EXPECT_EQ(recorder.beeps, 0);
}

TEST_F(OpenDocument, OfSeveralItemsTheLastOneDecides)
{
    open(root / "Summer");
    open(root / "Holiday" / "beach.jpg");
    EXPECT_EQ(chosenFolder(), (root / "Holiday").string());
    open(root / "Summer");
    EXPECT_EQ(chosenFolder(), (root / "Summer").string());
}

TEST_F(OpenDocument, CommandLineItemsArriveInOrderAndTheLastExistingOneDecides)
{
    struct Case {
        std::vector<const char*> arguments;
        const char* chosen;
    };
    const Case cases[] = {
        { { "Holiday/beach.jpg" }, "Holiday" },
        { { "Holiday/beach.jpg", "Summer" }, "Summer" },
        { { "Summer", "Holiday/beach.jpg", "Holiday/missing.jpg" }, "Holiday" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.chosen);
        Main::instance()->f = nullptr;
        std::vector<String> arguments;
        for (const char* argument : c.arguments)
            arguments.push_back((root / argument).string());
        DeliverOpenedItems(arguments);
        EXPECT_EQ(chosenFolder(), (root / c.chosen).string());
        EXPECT_EQ(Main::instance()->STFolder()->Text(), c.chosen);
    }
}

TEST_F(OpenDocument, DuringARunTheItemIsRefusedWithABeep)
{
    open(root / "Summer");
    // The engine disables Select for the length of a run.
    Main::instance()->PBSelect()->Enabled(false);
    Main::instance()->PB()->Value(40);
    open(root / "Holiday");
    EXPECT_EQ(recorder.beeps, 1);
    EXPECT_EQ(chosenFolder(), (root / "Summer").string());
    EXPECT_EQ(Main::instance()->STFolder()->Text(), "Summer");
    EXPECT_EQ(Main::instance()->PB()->Value(), 40);
}
