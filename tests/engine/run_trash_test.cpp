// The old output folder a run replaces goes to the user's real trash, made when missing, and never
// lands anywhere else; when no trash takes it, it stays whole and the finish says so.

#include "tests/engine/run_fixture.h"

#include <QUrl>

#include <filesystem>
#include <unistd.h>

using namespace engine_test;

namespace {

namespace fs = std::filesystem;

// The user's data folder (where the home trash lives), put back as the test found it.
class DataFolder {
public:
    DataFolder() : path(qEnvironmentVariable("XDG_DATA_HOME").toStdString()) {}
    ~DataFolder()
    {
        std::error_code ignored;
        fs::remove_all(path, ignored);
        fs::create_directories(path, ignored);
    }
    fs::path trash() const { return path / "Trash"; }
    const fs::path path;
};

// The process works from another folder for the guard's lifetime, as a user who starts the
// application from a terminal.
class WorkingFolder {
public:
    explicit WorkingFolder(const QString& path) : m_saved(fs::current_path()) { fs::current_path(path.toStdString()); }
    ~WorkingFolder() { fs::current_path(m_saved); }

private:
    fs::path m_saved;
};

QString readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

class TrashRun : public EngineRun {
protected:
    // A source folder "Holiday" with one picture, and the output folder of an earlier run that
    // holds a file of the user's.
    void SetUp() override
    {
        EngineRun::SetUp();
        source = makeFolder("Holiday");
        writePicture(source + "/beach.png", 40, 30);
        old = makeFolder("Holiday (B800)");
        writeText(old + "/mine.txt", "the user's own notes");
        working = makeFolder("working");
        choose(source);
    }

    QString source, old, working;
    DataFolder data;
};

TEST_F(TrashRun, WithoutADataFolderTheOldOutputGoesToTheRealTrash)
{
    fs::remove_all(data.path);
    {
        WorkingFolder from(working);
        run();
    }
    EXPECT_TRUE(record.messages.empty()) << record.messages.front();
    EXPECT_EQ(entries(old), QStringList { "beach.jpg" });
    const QString trash = QString::fromStdString(data.trash().string());
    EXPECT_EQ(readAll(trash + "/files/Holiday (B800)/mine.txt"), "the user's own notes");
    const QString info = readAll(trash + "/info/Holiday (B800).trashinfo");
    EXPECT_TRUE(info.startsWith("[Trash Info]\n")) << info.toStdString();
    EXPECT_TRUE(info.contains("\nPath=" + QUrl::toPercentEncoding(old, "/") + "\n")) << info.toStdString();
    EXPECT_TRUE(info.contains("\nDeletionDate=")) << info.toStdString();
    EXPECT_TRUE(entries(working).isEmpty()) << entries(working).join(", ").toStdString();
}

TEST_F(TrashRun, AnOldOutputNoTrashTakesStaysWholeAndTheFinishSaysSo)
{
    // The home trash cannot be made where a file already bears its name.
    fs::create_directories(data.path);
    writeText(QString::fromStdString(data.trash().string()), "not a folder");
    writePicture(old + "/beach.jpg", 20, 15, "JPG");
    const QByteArray olderPicture = readAll(old + "/beach.jpg").toLatin1();
    // What a save cut off by a crash can leave where the file system has no unnamed files, named
    // as the save's temporary files are: it is not a picture, and its name is not taken for one.
    writeText(old + "/sea.jpg.Qx7zT1", "partial");
    writePicture(source + "/sea.png", 40, 30);
    {
        WorkingFolder from(working);
        run();
    }
    EXPECT_EQ(entries(old), (QStringList { "beach-2.jpg", "beach.jpg", "mine.txt", "sea.jpg", "sea.jpg.Qx7zT1" }));
    EXPECT_EQ(readAll(old + "/mine.txt"), "the user's own notes");
    EXPECT_EQ(readAll(old + "/beach.jpg").toLatin1(), olderPicture);
    EXPECT_EQ(QImage(old + "/beach-2.jpg").size(), QSize(40, 30));
    ASSERT_EQ(record.messages.size(), 1u);
    const String& message = record.messages[0];
    EXPECT_NE(message.find("\"" + old.toStdString() + "\" could not be moved to the trash"), String::npos) << message;
    EXPECT_NE(message.find("Not a directory"), String::npos) << message;
    EXPECT_NE(message.find("\"-2\""), String::npos) << message;
    EXPECT_EQ(record.statusWhenMessageShown, "Folder 'Holiday' processed");
    EXPECT_TRUE(entries(working).isEmpty());
}

} // namespace
