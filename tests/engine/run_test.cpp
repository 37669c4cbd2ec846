// Whole runs as a user makes them: sizes, formats, names and the window during and after a run.
#include "tests/engine/run_fixture.h"

#include "strings/loc.h"

#include <QImageReader>

using namespace engine_test;

namespace {

struct ControlState {
    std::vector<bool> sixteenEnabled;
    bool cbDos = false, exportFormat = false, goEnabled = false;
    String goCaption;
    bool goDefault = true, goCancel = false;
    Color statusColor;
    int maximum = 0;
};

ControlState snapshot(Main& w)
{
    ControlState s;
    for (Ref<RectControl> c : std::initializer_list<Ref<RectControl>> { w.EFPSize(), w.PMPType(), w.EFIWidth(),
             w.EFIHeight(), w.PMIWidth(), w.PMIHeight(), w.RBType(0), w.RBType(1), w.RBType(2), w.SLQuality(),
             w.PMQuality(), w.CBIncrease(), w.PBSelect(), w.EFBWidth(), w.EFBHeight(), w.CBName() })
        s.sixteenEnabled.push_back(c->Enabled());
    s.cbDos = w.CBDos()->Enabled();
    s.exportFormat = w.PMExportFormat()->Enabled();
    s.goEnabled = w.PBGo()->Enabled();
    s.goCaption = w.PBGo()->Caption();
    s.goDefault = w.PBGo()->Default();
    s.goCancel = w.PBGo()->Cancel();
    s.statusColor = w.STStatus()->TextColor();
    s.maximum = w.PB()->Maximum();
    return s;
}

void expectGivenBack(Main& w, const String& sourceName)
{
    EXPECT_EQ(w.STStatus()->Text(), "Folder '" + sourceName + "' processed");
    EXPECT_EQ(w.STStatus()->TextColor(), RGB(200, 0, 0));
    EXPECT_EQ(w.PB()->Value(), 0);
    EXPECT_EQ(w.PB()->Maximum(), 1);
    EXPECT_EQ(w.PBGo()->Caption(), loc::buttongo());
    EXPECT_TRUE(w.PBGo()->Default());
    EXPECT_FALSE(w.PBGo()->Cancel());
    EXPECT_TRUE(w.PBGo()->Enabled());
    EXPECT_TRUE(w.PBSelect()->Enabled());
    EXPECT_TRUE(w.CBName()->Enabled());
    EXPECT_TRUE(w.RBType(0)->Enabled());
    EXPECT_FALSE(w.endthread);
}

QSize decodedSize(const QString& path)
{
    QImageReader reader(path);
    reader.setAutoTransform(false);
    const QImage image = reader.read();
    EXPECT_FALSE(image.isNull()) << path.toStdString() << ": " << reader.errorString().toStdString();
    return image.size();
}

TEST_F(EngineRun, ThreeItemsOfWhichOnlyTheSecondIsAPicture)
{
    const QString source = makeFolder("Holiday");
    writeText(source + "/1 notes.txt");
    writePicture(source + "/2 photo.png", 1600, 1200);
    writeText(source + "/3 more.txt");
    choose(source);

    std::vector<ControlState> during;
    onStatus = [&](const String&) { during.push_back(snapshot(*w)); };
    run();

    EXPECT_EQ(record.statusTexts,
        (std::vector<String> { "Processing picture 1 of 3", "Processing picture 2 of 3", "Processing picture 3 of 3",
            "Folder 'Holiday' processed" }));
    ASSERT_GE(during.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(during[i].sixteenEnabled, std::vector<bool>(16, false));
        EXPECT_TRUE(during[i].exportFormat);
        EXPECT_TRUE(during[i].goEnabled);
        EXPECT_EQ(during[i].goCaption, "Cancel");
        EXPECT_FALSE(during[i].goDefault);
        EXPECT_TRUE(during[i].goCancel);
        EXPECT_EQ(during[i].statusColor, RGB(0, 0, 0));
        EXPECT_EQ(during[i].maximum, 3);
    }
    // Set to 2 once, for the one picture, then back to 0 at the finish.
    EXPECT_EQ(record.progressValues, (std::vector<int> { 2, 0 }));
    EXPECT_EQ(record.beeps, 1);
    EXPECT_TRUE(record.messages.empty());
    expectGivenBack(*w, "Holiday");

    const QString output = root() + "/Holiday (B800)";
    EXPECT_EQ(entries(output), QStringList { "2 photo.jpg" });
    EXPECT_EQ(decodedSize(output + "/2 photo.jpg"), QSize(800, 600));
    // The source folder is untouched.
    EXPECT_EQ(entries(source).size(), 3);
}

TEST_F(EngineRun, EmptyFolderStillMakesTheOutputFolder)
{
    const QString source = makeFolder("Empty");
    choose(source);
    run();
    EXPECT_TRUE(QDir(root() + "/Empty (B800)").exists());
    EXPECT_TRUE(entries(root() + "/Empty (B800)").isEmpty());
    EXPECT_EQ(record.statusTexts, std::vector<String> { "Folder 'Empty' processed" });
    EXPECT_TRUE(record.messages.empty());
    expectGivenBack(*w, "Empty");
}

TEST_F(EngineRun, SubfolderIsCountedButNotEntered)
{
    const QString source = makeFolder("Trip");
    makeFolder("Trip/inner");
    writePicture(source + "/inner/deep.png", 300, 200);
    writePicture(source + "/top.png", 300, 200);
    choose(source);
    run();
    EXPECT_EQ(record.statusTexts.front(), "Processing picture 1 of 2");
    EXPECT_EQ(entries(root() + "/Trip (B800)"), QStringList { "top.jpg" });
    // No increase: the picture keeps its own size.
    EXPECT_EQ(decodedSize(root() + "/Trip (B800)/top.jpg"), QSize(300, 200));
}

TEST_F(EngineRun, PngExportKeepsTransparency)
{
    const QString source = makeFolder("Icons");
    writePicture(source + "/icon.png", 400, 200, "PNG", true);
    choose(source);
    w->PMPType()->ListIndex(4);
    w->EFPSize()->Text("50");
    w->PMExportFormat()->ListIndex(1);
    run();
    const QString file = root() + "/Icons (50%)/icon.png";
    ASSERT_EQ(entries(root() + "/Icons (50%)"), QStringList { "icon.png" });
    const QImage image(file);
    ASSERT_EQ(image.size(), QSize(200, 100));
    EXPECT_TRUE(image.hasAlphaChannel());
    // The alpha ramps from transparent on the left to opaque on the right.
    EXPECT_LT(qAlpha(image.pixel(1, 50)), 20);
    EXPECT_GT(qAlpha(image.pixel(198, 50)), 235);
    // After a PNG run the quality controls are disabled again.
    EXPECT_FALSE(w->SLQuality()->Enabled());
    EXPECT_FALSE(w->PMQuality()->Enabled());
    EXPECT_TRUE(w->EFPSize()->Enabled());
}

TEST_F(EngineRun, ExistingOutputFolderGoesToTheTrash)
{
    const QString source = makeFolder("Party");
    writePicture(source + "/p.png", 100, 100);
    const QString output = makeFolder("Party (B800)");
    writeText(output + "/older.txt", "keep me");
    choose(source);
    run();
    EXPECT_EQ(entries(output), QStringList { "p.jpg" });
    const QString trash = qEnvironmentVariable("XDG_DATA_HOME") + "/Trash/files";
    bool found = false;
    for (const QString& name : entries(trash))
        found = found || QFile::exists(trash + "/" + name + "/older.txt");
    EXPECT_TRUE(found) << "the older folder is not in " << trash.toStdString();
}

TEST_F(EngineRun, AFileBearingTheOutputFolderNameGoesToTheTrash)
{
    const QString source = makeFolder("Party");
    writePicture(source + "/p.png", 100, 100);
    const QString output = root() + "/Party (B800)";
    writeText(output, "a note of the user's");
    choose(source);
    run();
    EXPECT_EQ(entries(output), QStringList { "p.jpg" });
    const QString trash = qEnvironmentVariable("XDG_DATA_HOME") + "/Trash/files";
    bool found = false;
    for (const QString& name : entries(trash)) {
        QFile file(trash + "/" + name);
        found = found || (file.open(QIODevice::ReadOnly) && file.readAll() == "a note of the user's");
    }
    EXPECT_TRUE(found) << "the user's file is not in " << trash.toStdString();
}

TEST_F(EngineRun, NamesOfOneRun)
{
    const QString source = makeFolder("Names");
    writePicture(source + "/a.gif", 20, 20, "BMP");
    writePicture(source + "/a.jpg", 20, 20, "JPG");
    writePicture(source + "/a.png", 20, 20);
    writePicture(source + "/Photo.PNG", 20, 20);
    choose(source);
    run();
    // Items are taken in name order: a.gif, a.jpg, a.png, Photo.PNG.
    EXPECT_EQ(entries(root() + "/Names (B800)"), (QStringList { "Photo.jpg", "a-2.jpg", "a-3.jpg", "a.jpg" }));
}

TEST_F(EngineRun, WebReadyNamesMadeOnlyOfDroppedCharacters)
{
    const QString source = makeFolder("Odd");
    writePicture(source + "/###.png", 20, 20);
    writePicture(source + "/$$$.png", 20, 20);
    writePicture(source + "/Summer Holiday 01.png", 20, 20);
    choose(source);
    w->CBName()->Value(true);
    run();
    EXPECT_EQ(entries(root() + "/Odd (B800)"), (QStringList { "-2.jpg", ".jpg", "summer_holiday_01.jpg" }));
}

TEST_F(EngineRun, PortraitPhotoWithOrientationComesOutUpright)
{
    const QString source = makeFolder("Phone");
    // Stored 400 x 300 with its mark at the top left; orientation 6 turns it clockwise.
    fixtures::WriteJpeg((source + "/portrait.jpg").toStdString(), Marked(400, 300), 92, 6);
    choose(source);
    w->EFPSize()->Text("200");
    run();
    const QString file = root() + "/Phone (B200)/portrait.jpg";
    QImageReader reader(file);
    reader.setAutoTransform(false);
    const QImage image = reader.read();
    ASSERT_EQ(image.size(), QSize(150, 200));
    // Turned clockwise, the stored top left lands at the top right.
    const QColor topRight = image.pixelColor(140, 10);
    EXPECT_GT(topRight.red(), 200);
    EXPECT_LT(topRight.green(), 60);
    const QColor topLeft = image.pixelColor(10, 10);
    EXPECT_LT(topLeft.red(), 200);
}

TEST_F(EngineRun, ExtremeAspectRatioGivesASideOfOne)
{
    const QString source = makeFolder("Strip");
    writePicture(source + "/strip.png", 4000, 10);
    choose(source);
    w->EFPSize()->Text("100");
    run();
    EXPECT_TRUE(record.messages.empty());
    EXPECT_EQ(decodedSize(root() + "/Strip (B100)/strip.jpg"), QSize(100, 1));
}

TEST_F(EngineRun, QualityReachesTheJpegFile)
{
    const QString source = makeFolder("Q");
    writePicture(source + "/q.png", 600, 400);
    choose(source);
    w->PMQuality()->ListIndex(3); // 40
    run();
    const QString file = root() + "/Q (B800)/q.jpg";
    const qint64 low = QFileInfo(file).size();
    ASSERT_GT(low, 0);
    w->PMQuality()->ListIndex(0); // 90
    run();
    const qint64 high = QFileInfo(file).size();
    EXPECT_GT(high, low + low / 4);
    EXPECT_EQ(decodedSize(file), QSize(600, 400));
}

TEST_F(EngineRun, EveryModeThroughTheWindow)
{
    struct Case {
        const char* what;
        std::function<void(Main&)> set;
        QString folder;
        QSize expected;
    };
    const Case cases[] = {
        { "smallest side", [](Main& m) { m.PMPType()->ListIndex(1); m.EFPSize()->Text("150"); }, "M (S150)", { 200, 150 } },
        { "width", [](Main& m) { m.PMPType()->ListIndex(2); m.EFPSize()->Text("100.9"); }, "M (W100.9)", { 100, 75 } },
        { "height", [](Main& m) { m.PMPType()->ListIndex(3); m.EFPSize()->Text("90px"); }, "M (H90px)", { 120, 90 } },
        { "independent", [](Main& m) {
              m.RBType(1)->Value(true);
              m.EFIWidth()->Text("50");
              m.PMIWidth()->ListIndex(1);
              m.EFIHeight()->Text("30");
              m.PMIHeight()->ListIndex(0);
          }, "M (W50%, H30)", { 200, 30 } },
        { "box", [](Main& m) {
              m.RBType(2)->Value(true);
              m.EFBWidth()->Text("100");
              m.EFBHeight()->Text("100");
          }, "M (100x100)", { 100, 75 } },
        { "box with increase", [](Main& m) {
              m.RBType(2)->Value(true);
              m.EFBWidth()->Text("800");
              m.EFBHeight()->Text("900");
              m.CBIncrease()->Value(true);
          }, "M (800x900)", { 800, 600 } },
    };
    const QString source = makeFolder("M");
    writePicture(source + "/m.png", 400, 300);
    choose(source);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        resetSettings();
        c.set(*w);
        run();
        EXPECT_EQ(decodedSize(root() + "/" + c.folder + "/m.jpg"), c.expected);
        EXPECT_TRUE(record.messages.empty());
    }
}

} // namespace
