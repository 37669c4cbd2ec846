// Choosing the source folder: the Select button with a scripted chooser, and drops on the window.
#include "tests/main_window/main_window_fixture.h"

#include "framework/core/folder_item.h"
#include "framework/gui/runtime.h"
#include "tests/support/framework_key.h"
#include "tests/support/spin.h"

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>
#include <QWidget>

#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

class FolderChoiceTest : public MainWindowFixture {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        ASSERT_TRUE(root.isValid());
        QDir dir(root.path());
        for (const char* folder : { "Holiday", "Work", "Work/Sub" })
            ASSERT_TRUE(dir.mkpath(folder));
        touch("Holiday/beach.jpg");
        touch("Work/report.png");
        // Links the user may drop: they stand for what they lead to.
        ASSERT_TRUE(QFile::link(root.path() + "/Work", root.path() + "/Shortcut"));
        ASSERT_TRUE(QFile::link(root.path() + "/Holiday/beach.jpg", root.path() + "/Work/beach link.jpg"));
        openWindow();
        // Complete settings, so that Go follows the source folder alone.
        window->EFPSize()->Text("800");
    }

    void touch(const QString& relative)
    {
        QFile file(root.path() + "/" + relative);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("x");
    }

    // Bytes, so that a name need not be UTF-8.
    std::string path(const char* relative) const { return root.path().toStdString() + "/" + relative; }

    QTemporaryDir root;
};

TEST_F(FolderChoiceTest, TheChosenFolderIsShownAndTheProgressBarEmptied)
{
    window->PB()->Value(40);
    Seams::SetSelectFolder([this] { return FolderItem::FromPath(path("Holiday")); });
    window->PBSelect()->Push();
    ASSERT_TRUE(window->f);
    EXPECT_EQ(window->f->NativePath(), path("Holiday"));
    EXPECT_EQ(window->STFolder()->Text(), "Holiday");
    EXPECT_EQ(window->PB()->Value(), 0);
    EXPECT_TRUE(window->PBGo()->Enabled());
}

TEST_F(FolderChoiceTest, ACancelledChooserChangesNothingButTheGoRule)
{
    Seams::SetSelectFolder([] { return Ref<FolderItem>(); });
    window->PBSelect()->Push();
    EXPECT_FALSE(window->f);
    EXPECT_EQ(window->STFolder()->Text(), "No folder selected");
    EXPECT_FALSE(window->PBGo()->Enabled());

    Seams::SetSelectFolder([this] { return FolderItem::FromPath(path("Work")); });
    window->PBSelect()->Push();
    window->PB()->Value(7);
    window->PBGo()->Enabled(false);
    Seams::SetSelectFolder([] { return Ref<FolderItem>(); });
    window->PBSelect()->Push();
    EXPECT_EQ(window->f->NativePath(), path("Work"));
    EXPECT_EQ(window->STFolder()->Text(), "Work");
    EXPECT_EQ(window->PB()->Value(), 7);
    EXPECT_TRUE(window->PBGo()->Enabled()) << "the Go rule runs after a cancelled chooser too";
}

TEST_F(FolderChoiceTest, ADropChoosesTheFolderOfItsFirstItem)
{
    struct Row {
        std::vector<const char*> dropped;
        const char* folder;
        const char* shown;
    };
    const Row rows[] = {
        { { "Holiday/beach.jpg" }, "Holiday", "Holiday" },
        { { "Work" }, "Work", "Work" },
        { { "Work/Sub" }, "Work/Sub", "Sub" },
        { { "Work/report.png", "Holiday" }, "Work", "Work" },
        { { "Holiday", "Work/report.png", "Work/Sub" }, "Holiday", "Holiday" },
        { { "Shortcut" }, "Work", "Work" },
        { { "Work/beach link.jpg" }, "Holiday", "Holiday" },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.folder);
        std::vector<String> paths;
        for (const char* relative : row.dropped)
            paths.push_back(path(relative));
        window->PB()->Value(3);
        DragItem item(paths);
        window->Event_DropObject(item, 0);
        ASSERT_TRUE(window->f);
        EXPECT_EQ(window->f->NativePath(), path(row.folder));
        EXPECT_EQ(window->STFolder()->Text(), row.shown);
        EXPECT_EQ(window->PB()->Value(), 0);
        EXPECT_TRUE(window->PBGo()->Enabled());
    }
    EXPECT_EQ(beeps, 0);
}

TEST_F(FolderChoiceTest, ADropWithoutAFileBeepsAndKeepsTheFolder)
{
    DragItem first({ path("Holiday") });
    window->Event_DropObject(first, 0);
    window->PB()->Value(5);

    DragItem text({}, true);
    window->Event_DropObject(text, 0);
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(window->f->NativePath(), path("Holiday"));
    EXPECT_EQ(window->STFolder()->Text(), "Holiday");
    EXPECT_EQ(window->PB()->Value(), 5);
}

TEST_F(FolderChoiceTest, ADropDuringARunIsRefused)
{
    DragItem first({ path("Holiday") });
    window->Event_DropObject(first, 0);
    window->PB()->Value(2);
    // The engine disables Select for the length of a run; that is how the window knows.
    window->PBSelect()->Enabled(false);
    window->PBGo()->Enabled(true);

    DragItem other({ path("Work/report.png") });
    window->Event_DropObject(other, 0);
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(window->f->NativePath(), path("Holiday"));
    EXPECT_EQ(window->STFolder()->Text(), "Holiday");
    EXPECT_EQ(window->PB()->Value(), 2);
    EXPECT_TRUE(window->PBGo()->Enabled());
}

TEST_F(FolderChoiceTest, ARealDropOnTheWindowReachesTheHandler)
{
    QWidget* target = window->ContentWidget(testKey());
    ASSERT_NE(target, nullptr);
    // A file manager's URI list: a name that is not UTF-8 is percent-encoded byte by byte.
    ASSERT_EQ(::mkdir(path("Ferien \xe9t\xe9").c_str(), 0755), 0);
    struct Row {
        QByteArray uriList;
        String chosen;
    };
    const Row rows[] = {
        { QUrl::fromLocalFile(QString::fromStdString(path("Holiday/beach.jpg"))).toEncoded(), path("Holiday") },
        { QUrl::fromLocalFile(root.path()).toEncoded() + "/Ferien%20%E9t%E9", path("Ferien \xe9t\xe9") },
    };
    const QPointF where(20, 20);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.uriList.toStdString());
        QMimeData mime;
        mime.setData("text/uri-list", row.uriList + "\r\n");
        QDragEnterEvent enter(where.toPoint(), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent drop(where, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
        SpinPending();
        ASSERT_TRUE(window->f);
        EXPECT_EQ(window->f->NativePath(), row.chosen);
    }
    EXPECT_EQ(beeps, 0);

    // A drop of text carries no file: it beeps.
    QMimeData words;
    words.setText("not a file");
    QDragEnterEvent enterText(where.toPoint(), Qt::CopyAction, &words, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enterText);
    QDropEvent dropText(where, Qt::CopyAction, &words, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &dropText);
    SpinPending();
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(window->f->NativePath(), path("Ferien \xe9t\xe9"));
}

} // namespace
