// What the user can still do while a run goes on, and what it changes.

#include "tests/engine/run_fixture.h"

#include <algorithm>

using namespace engine_test;

namespace {

TEST_F(EngineRun, StopRequestWhileAPictureIsNamed)
{
    const QString source = makeFolder("Stop");
    for (const char* name : { "A picture with a rather long name one.png", "A picture with a rather long name two.png",
             "A picture with a rather long name three.png" })
        writePicture(source + "/" + name, 40, 30);
    choose(source);
    w->CBName()->Value(true);
    const QString output = root() + "/Stop (B800)";
    bool pressed = false;
    run([&] {
        // The first turn the run gives away is inside the web-ready name of the first picture.
        if (!pressed && !record.statusTexts.empty() && record.statusTexts.back() == "Processing picture 1 of 3") {
            ASSERT_TRUE(entries(output).isEmpty());
            w->PBGo()->Push();
            pressed = true;
        }
    });
    ASSERT_TRUE(pressed);
    // That picture is still saved and counted, then the finish follows.
    EXPECT_EQ(entries(output), QStringList { "a_picture_with_a_rather_long_name_one.jpg" });
    EXPECT_EQ(record.progressValues, (std::vector<int> { 1, 0 }));
    EXPECT_EQ(record.statusTexts.back(), "Folder 'Stop' processed");
    EXPECT_FALSE(w->endthread);
    EXPECT_EQ(w->PBGo()->Caption(), "Go");
    EXPECT_TRUE(record.messages.empty());
}

TEST_F(EngineRun, StopRequestTheRunDidNotSeeIsWithdrawn)
{
    const QString source = makeFolder("Late");
    writePicture(source + "/1.png", 40, 30);
    writeText(source + "/2.txt");
    writeText(source + "/3.txt");
    choose(source);
    bool pressed = false;
    run([&] {
        if (!pressed && !record.statusTexts.empty() && record.statusTexts.back() == "Processing picture 2 of 3") {
            w->PBGo()->Push();
            pressed = true;
        }
    });
    ASSERT_TRUE(pressed);
    // Non-pictures do not test the request: every item was still shown.
    EXPECT_EQ(record.statusTexts.size(), 4u);
    EXPECT_FALSE(w->endthread);
    // The next run is not stopped by it.
    record = {};
    run();
    EXPECT_EQ(record.statusTexts.size(), 4u);
}

TEST_F(EngineRun, DosFormatChangedDuringARunAppliesToLaterPictures)
{
    const QString source = makeFolder("Dos");
    for (const char* name : { "Alpha picture number.png", "Beta picture number.png", "Gamma picture number.png" })
        writePicture(source + "/" + name, 40, 30);
    choose(source);
    w->CBName()->Value(true);
    ASSERT_TRUE(w->CBDos()->Enabled());
    const QString output = root() + "/Dos (B800)";
    bool ticked = false;
    run([&] {
        if (!ticked && QFile::exists(output + "/alpha_picture_number.jpg")) {
            ASSERT_TRUE(w->CBDos()->Enabled()) << "the DOS option stays usable during a run";
            w->CBDos()->Value(true);
            ticked = true;
        }
    });
    EXPECT_EQ(entries(output), (QStringList { "alpha_picture_number.jpg", "beta_pic.jpg", "gamma_pi.jpg" }));
}

TEST_F(EngineRun, ExportFormatChangedDuringARunWaitsForTheFinish)
{
    const QString source = makeFolder("Format");
    writeText(source + "/0 readme.txt");
    writePicture(source + "/a.png", 40, 30);
    writePicture(source + "/b.png", 40, 30);
    choose(source);
    bool changed = false;
    run([&] {
        if (!changed && !record.statusTexts.empty() && record.statusTexts.back() == "Processing picture 1 of 3") {
            w->PMExportFormat()->ListIndex(1);
            changed = true;
            // No enabled state changes under the running engine.
            EXPECT_FALSE(w->EFPSize()->Enabled());
            EXPECT_FALSE(w->PMPType()->Enabled());
            EXPECT_FALSE(w->SLQuality()->Enabled());
            EXPECT_TRUE(w->STJPEGQuality()->Enabled());
            EXPECT_TRUE(w->PBGo()->Enabled());
            EXPECT_TRUE(w->PBGo()->Cancel());
        }
    });
    ASSERT_TRUE(changed);
    EXPECT_EQ(entries(root() + "/Format (B800)"), (QStringList { "a.jpg", "b.jpg" }));
    // The finish applies the format chosen meanwhile.
    EXPECT_FALSE(w->STJPEGQuality()->Enabled());
    EXPECT_FALSE(w->SLQuality()->Enabled());
    EXPECT_TRUE(w->EFPSize()->Enabled());
    // The next run takes the new format.
    run();
    EXPECT_EQ(entries(root() + "/Format (B800)"), (QStringList { "a.png", "b.png" }));
}

TEST_F(EngineRun, SizeTypedDuringARunIsNotReadWhileTheFieldIsDisabled)
{
    // The size fields are disabled for the run's length; a value set by code still applies from
    // the next picture on, since the sizes are read at each picture.
    const QString source = makeFolder("Sizes");
    writePicture(source + "/a.png", 400, 300);
    writePicture(source + "/b.png", 400, 300);
    choose(source);
    w->EFPSize()->Text("200");
    const QString output = root() + "/Sizes (B200)";
    bool set = false;
    run([&] {
        if (!set && QFile::exists(output + "/a.jpg")) {
            w->EFPSize()->Text("100");
            set = true;
        }
    });
    EXPECT_EQ(QImage(output + "/a.jpg").size(), QSize(200, 150));
    EXPECT_EQ(QImage(output + "/b.jpg").size(), QSize(100, 75));
}

// The run takes the items its folder held when it started, each once and in order, whatever a
// camera import or a sync client does to the folder between two of its turns.
TEST_F(EngineRun, ItemsAddedAndRemovedDuringARun)
{
    const QString source = makeFolder("Import");
    for (const char* name : { "1.png", "2.png", "3.png", "4.png", "5.png" })
        writePicture(source + "/" + name, 40, 30);
    choose(source);
    const QString output = root() + "/Import (B800)";
    bool changed = false;
    std::vector<int> maximums;
    run([&] {
        maximums.push_back(w->PB()->Maximum());
        // Between the end of item 2 and the start of item 3.
        if (!changed && QFile::exists(output + "/2.jpg")) {
            ASSERT_EQ(entries(output), (QStringList { "1.jpg", "2.jpg" }));
            writePicture(source + "/0 first.png", 40, 30); // before every item: shifts the numbers
            writePicture(source + "/2b.png", 40, 30);
            writePicture(source + "/9 last.png", 40, 30);
            ASSERT_TRUE(QFile::remove(source + "/4.png"));
            changed = true;
        }
    });
    ASSERT_TRUE(changed);
    EXPECT_EQ(entries(output), (QStringList { "1.jpg", "2.jpg", "3.jpg", "5.jpg" }));
    EXPECT_EQ(record.statusTexts,
        (std::vector<String> { "Processing picture 1 of 5", "Processing picture 2 of 5", "Processing picture 3 of 5",
            "Processing picture 4 of 5", "Processing picture 5 of 5", "Folder 'Import' processed" }));
    EXPECT_EQ(record.progressValues, (std::vector<int> { 1, 2, 3, 5, 0 }));
    maximums.pop_back(); // the finish's
    EXPECT_TRUE(std::all_of(maximums.begin(), maximums.end(), [](int m) { return m == 5; }));
    ASSERT_EQ(record.messages.size(), 1u);
    EXPECT_NE(record.messages[0].find("1 picture could not be processed. The first error: \"4.png\": the item is no longer in the folder"),
        String::npos) << record.messages[0];
    EXPECT_NE(record.messages[0].find("3 items were added to the folder during the run and left unprocessed"),
        String::npos) << record.messages[0];
}

// Items added while nothing fails: the finish still says that they were left.
TEST_F(EngineRun, ItemsAddedToAFolderThatOtherwiseRanCleanlyAreReported)
{
    const QString source = makeFolder("Camera");
    writePicture(source + "/1.png", 40, 30);
    writePicture(source + "/2.png", 40, 30);
    choose(source);
    const QString output = root() + "/Camera (B800)";
    bool added = false;
    run([&] {
        if (!added && QFile::exists(output + "/1.jpg")) {
            writePicture(source + "/3.png", 40, 30);
            added = true;
        }
    });
    ASSERT_TRUE(added);
    EXPECT_EQ(entries(output), (QStringList { "1.jpg", "2.jpg" }));
    ASSERT_EQ(record.messages.size(), 1u);
    EXPECT_EQ(record.messages[0], "1 item was added to the folder during the run and left unprocessed.");
    EXPECT_EQ(record.statusWhenMessageShown, "Folder 'Camera' processed");
}

// A source folder renamed under the run: every item not yet done is a failure, none is done.
TEST_F(EngineRun, SourceFolderRenamedDuringARun)
{
    const QString source = makeFolder("Moving");
    for (const char* name : { "a.png", "b.png", "c.png" })
        writePicture(source + "/" + name, 40, 30);
    choose(source);
    const QString output = root() + "/Moving (B800)";
    bool renamed = false;
    run([&] {
        if (!renamed && QFile::exists(output + "/a.jpg")) {
            ASSERT_TRUE(QDir().rename(source, root() + "/Moved"));
            renamed = true;
        }
    });
    ASSERT_TRUE(renamed);
    EXPECT_EQ(entries(output), QStringList { "a.jpg" });
    EXPECT_EQ(entries(root() + "/Moved"), (QStringList { "a.png", "b.png", "c.png" }));
    ASSERT_EQ(record.messages.size(), 1u);
    EXPECT_NE(record.messages[0].find("2 pictures could not be processed. The first error: \"b.png\": the source folder \""
                  + source.toStdString() + "\" is no longer there: it was moved, renamed or deleted"),
        String::npos)
        << record.messages[0];
    EXPECT_EQ(record.messages[0].find("added"), String::npos) << record.messages[0];
}

} // namespace
