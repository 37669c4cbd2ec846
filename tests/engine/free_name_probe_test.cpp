// The free file names of an output folder.
#include "engine/free_name_probe.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

void touch(const QString& path)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
}

// The same items in each folder, as an output folder that could not be cleared holds them.
void leaveLeftovers(const QString& folder)
{
    for (const char* name : { "a.jpg", "a-3.jpg", "a-4.jpg", "b-2.jpg", "d.png" })
        touch(folder + "/" + name);
    ASSERT_TRUE(QDir(folder).mkdir("c.jpg"));
}

TEST(FreeNameProbe, GivesTheNamesOfTheProbeFromScratchWithLeftovers)
{
    QTemporaryDir probed, reference;
    ASSERT_TRUE(probed.isValid() && reference.isValid());
    leaveLeftovers(probed.path());
    leaveLeftovers(reference.path());
    FreeNameProbe probe(FolderItem::FromPath(probed.path().toStdString()), "jpg");
    const auto referenceFolder = FolderItem::FromPath(reference.path().toStdString());

    struct Step {
        String base;
        bool saved;
        String expected;
        int yields; // one per counter tested on disk
    };
    const Step steps[] = {
        { "a", true, "a-2.jpg", 1 },
        { "a", true, "a-5.jpg", 4 }, // a-2 (this run's), a-3 and a-4 (leftovers) are taken
        { "b", true, "b.jpg", 0 },
        { "b", true, "b-3.jpg", 2 }, // b-2 is a leftover
        { "a", true, "a-6.jpg", 2 }, // resumes at a-5, not at a-2
        { "c", true, "c-2.jpg", 1 }, // a folder takes the name too
        { "a-2", true, "a-2-2.jpg", 1 }, // another base's name taken by this run
        { "a", false, "a-7.jpg", 2 }, // its save fails: the name stays free
        { "a", true, "a-7.jpg", 1 },
        { "d", true, "d.jpg", 0 }, // a file of the other extension does not count
        { "", true, ".jpg", 0 },
        { "", true, "-2.jpg", 1 },
        { "b", true, "b-4.jpg", 2 },
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.expected);
        int yields = 0;
        const String name = probe.FileName(step.base, [&] { ++yields; });
        EXPECT_EQ(name, step.expected);
        EXPECT_EQ(yields, step.yields);
        EXPECT_EQ(FreeFileName(referenceFolder, step.base, "jpg", {}), step.expected);
        if (step.saved) {
            touch(probed.path() + "/" + QString::fromStdString(name));
            touch(reference.path() + "/" + QString::fromStdString(name));
        }
    }
}

// Many pictures with one base name (DOS names of a camera's pictures all give the same base)
// cost two tests each, not one per name passed over: the count of tests stays linear.
TEST(FreeNameProbe, OneBaseNameCostsTwoTestsPerPicture)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    FreeNameProbe probe(FolderItem::FromPath(dir.path().toStdString()), "png");
    constexpr int kPictures = 300;
    int yields = 0;
    for (int i = 1; i <= kPictures; ++i) {
        const String name = probe.FileName("holiday_", [&] { ++yields; });
        ASSERT_EQ(name, i == 1 ? String("holiday_.png") : "holiday_-" + Str(i) + ".png");
        touch(dir.path() + "/" + QString::fromStdString(name));
    }
    EXPECT_EQ(yields, 2 * kPictures - 3);
}

} // namespace
