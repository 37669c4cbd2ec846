// Output folder suffixes and web-ready and DOS names.
#include "engine/output_names.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

RunSettings proportional(int32_t basis, const String& size)
{
    RunSettings s;
    s.sizeBasis = basis;
    s.wantedSize = size;
    return s;
}

RunSettings independent(const String& width, int32_t widthUnit, const String& height, int32_t heightUnit)
{
    RunSettings s;
    s.proportional = false;
    s.independent = true;
    s.independentWidth = width;
    s.widthUnit = widthUnit;
    s.independentHeight = height;
    s.heightUnit = heightUnit;
    return s;
}

RunSettings box(const String& width, const String& height)
{
    RunSettings s;
    s.proportional = false;
    s.boxWidth = width;
    s.boxHeight = height;
    return s;
}

TEST(OutputNames, FolderNameBySettings)
{
    struct Case {
        String source;
        RunSettings settings;
        String expected;
    };
    const Case cases[] = {
        { "Holiday", proportional(0, "800"), "Holiday (B800)" },
        { "Holiday", proportional(1, "600"), "Holiday (S600)" },
        { "Holiday", proportional(2, "640"), "Holiday (W640)" },
        { "Holiday", proportional(3, "480"), "Holiday (H480)" },
        { "Holiday", proportional(4, "50"), "Holiday (50%)" },
        { "Holiday", proportional(-1, "800"), "Holiday (B800)" },
        { "Holiday", independent("800", 0, "600", 0), "Holiday (W800, H600)" },
        { "Holiday", independent("50", 1, "600", 0), "Holiday (W50%, H600)" },
        { "Holiday", independent("800", 0, "50", 1), "Holiday (W800, H50%)" },
        { "Holiday", box("800", "600"), "Holiday (800x600)" },
        // Field texts enter as typed.
        { "Holiday", proportional(0, " 800px"), "Holiday (B 800px)" },
        // 36 characters lose their end; the suffix stays whole.
        { "Pictures of the summer holidays 2007", proportional(0, "800"), "Pictures of the summer h (B800)" },
        // Exactly the room left stays whole; one character more loses its last.
        { "Twenty-four characters!!", proportional(0, "800"), "Twenty-four characters!! (B800)" },
        { "Twenty-five characters!!!", proportional(0, "800"), "Twenty-five characters!! (B800)" },
        // Characters, not bytes, are counted.
        { "Été à Genève, près du lac Léman", proportional(0, "800"), "Été à Genève, près du la (B800)" },
        // A suffix of 31 characters or more leaves nothing of the source name.
        { "Holiday", proportional(0, "123456789012345678901234567"), " (B123456789012345678901234567)" },
        { "Holiday", proportional(0, "12345678901234567890123456"), "H (B12345678901234567890123456)" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source + " -> " + c.expected);
        EXPECT_EQ(OutputFolderName(c.source, SettingsSuffix(c.settings)), c.expected);
    }
}

TEST(OutputNames, InitialsComeFromTheSettings)
{
    RunSettings s = independent("800", 0, "600", 0);
    EXPECT_EQ(SettingsSuffix(s, { .width = "L", .height = "A" }), " (L800, A600)");
}

// A "/" typed in a size field must not take the output folder out of the source's parent.
TEST(OutputNames, SlashInAFieldStaysInTheFolder)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const auto parent = FolderItem::FromPath(dir.path().toStdString());
    const String name = OutputFolderName("Holiday", SettingsSuffix(box("800/../..", "600")));
    const auto output = parent->Child(name);
    ASSERT_TRUE(output);
    EXPECT_EQ(output->Name(), "Holiday (800:..:..x600)");
    EXPECT_EQ(output->Parent()->NativePath(), parent->NativePath());
    output->CreateAsFolder();
    EXPECT_TRUE(QDir(dir.path() + "/Holiday (800:..:..x600)").exists());
}

TEST(OutputNames, BaseNames)
{
    struct Case {
        String name;
        String base;
        String webReady;
        String dos;
    };
    const Case cases[] = {
        { "IMG_0001.JPG", "IMG_0001", "img_0001", "img_0001" },
        { "Summer Holiday 01.jpg", "Summer Holiday 01", "summer_holiday_01", "summer_h" },
        { "Été 2007.tif", "Été 2007", "t_2007", "t_2007" },
        { "50% off.png", "50% off", "50%_off", "50%_off" },
        { "my.photo.JPG", "my.photo", "my.photo", "my.photo" },
        { "#1!.gif", "#1!", "1", "1" },
        { "archive.tar.gz", "archive.tar", "archive.tar", "archive." },
        { "no extension", "no extension", "no_extension", "no_exten" },
        { ".hidden", "", "", "" },
        { "ends with dot.", "ends with dot", "ends_with_dot", "ends_wit" },
        { "###.jpg", "###", "", "" },
        { "a b.jpg", "a b", "a_b", "a_b" },
        { "ÀÉÎ-ü~+=.png", "ÀÉÎ-ü~+=", "", "" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const String base = RemoveExtension(c.name);
        EXPECT_EQ(base, c.base);
        int yields = 0;
        const String webReady = WebReadyName(base, [&] { ++yields; });
        EXPECT_EQ(webReady, c.webReady);
        EXPECT_EQ(DosName(webReady), c.dos);
        // One turn for the event loop per character tested.
        EXPECT_EQ(yields, Len(base));
    }
}

TEST(OutputNames, ExtensionByExportFormat)
{
    struct Case {
        int32_t row;
        int32_t code;
        String extension;
    };
    for (const Case& c : { Case { 0, 151, "jpg" }, Case { 1, 150, "png" }, Case { -1, 151, "jpg" }, Case { 2, 151, "jpg" } }) {
        SCOPED_TRACE(c.row);
        const ExportFormat format = ExportFormatFor(c.row);
        EXPECT_EQ(format.code, c.code);
        EXPECT_EQ(format.extension, c.extension);
    }
}

void touch(const QString& path)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
}

TEST(OutputNames, FreeNameProbe)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const auto folder = FolderItem::FromPath(dir.path().toStdString());
    struct Step {
        String base;
        String expected;
        int yields;
    };
    // Each name found is then taken, as the run's save takes it.
    const Step steps[] = {
        { "a", "a.jpg", 0 },
        { "a", "a-2.jpg", 1 },
        { "a", "a-3.jpg", 2 },
        { "summer_h", "summer_h.jpg", 0 },
        { "summer_h", "summer_h-2.jpg", 1 },
        { "", ".jpg", 0 },
        { "", "-2.jpg", 1 },
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.expected);
        int yields = 0;
        const String name = FreeFileName(folder, step.base, "jpg", [&] { ++yields; });
        EXPECT_EQ(name, step.expected);
        EXPECT_EQ(yields, step.yields);
        touch(dir.path() + "/" + QString::fromStdString(name));
    }
    // Whatever stands in the folder makes a name taken, a folder too; a different extension not.
    ASSERT_TRUE(QDir(dir.path()).mkdir("b.png"));
    EXPECT_EQ(FreeFileName(folder, "b", "png", {}), "b-2.png");
    EXPECT_EQ(FreeFileName(folder, "a", "png", {}), "a.png");
}

} // namespace
