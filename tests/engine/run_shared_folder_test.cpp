// Runs in a folder that other users can write into (a family's shared folder, /tmp, a stick
// mounted for everyone): another user can neither receive the pictures nor redirect a write.

#include "engine/size_computation.h"
#include "engine/threadrun.h"
#include "framework/image/picture.h"
#include "tests/engine/run_fixture.h"

#include <QFileInfo>

#include <filesystem>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace engine_test;

namespace {

namespace fs = std::filesystem;

constexpr uid_t kOtherUser = 65534;

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

String accountName(uid_t user)
{
    const passwd* entry = ::getpwuid(user);
    return entry ? String(entry->pw_name) : "number " + std::to_string(user);
}

class SharedFolderRun : public EngineRun {
protected:
    void SetUp() override
    {
        EngineRun::SetUp();
        // A folder where everyone may make items and only their owners may move them.
        shared = makeFolder("shared");
        ASSERT_EQ(::chmod(shared.toLocal8Bit().constData(), 01777), 0);
        source = makeFolder("shared/Holiday");
        output = shared + "/Holiday (B800)";
        desktopOutput = qEnvironmentVariable("XDG_DESKTOP_DIR") + "/Holiday (B800)";
    }

    void TearDown() override
    {
        QDir(desktopOutput).removeRecursively();
        std::error_code ignored;
        fs::remove(trash(), ignored);
        EngineRun::TearDown();
    }

    // The home trash cannot be made while a file bears its name: no trash takes anything, as on a
    // disk whose trash the user cannot use.
    void blockTheTrash()
    {
        fs::remove_all(trash());
        fs::create_directories(trash().parent_path());
        writeText(QString::fromStdString(trash().string()), "not a folder");
    }

    static fs::path trash() { return fs::path(qEnvironmentVariable("XDG_DATA_HOME").toStdString()) / "Trash"; }

    QString shared, source, output, desktopOutput;
};

// Another user's item at the output name, which no trash takes, is never written into: the run
// takes the Desktop, as when the place is locked, and the finish names the item and its owner.
TEST_F(SharedFolderRun, AnotherUsersItemAtTheOutputNameIsNeverWrittenInto)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "giving an item to another user needs root";
    writePicture(source + "/a.png", 40, 30);
    writePicture(source + "/b.png", 700, 520); // large enough for the read-ahead's workers
    choose(source);
    struct Row {
        const char* name;
        bool folder;
    };
    for (const Row& row : { Row { "a folder open to all", true }, Row { "a file", false } }) {
        SCOPED_TRACE(row.name);
        if (row.folder) {
            ASSERT_TRUE(QDir().mkpath(output));
            writeText(output + "/theirs.txt", "the other user's");
            ASSERT_EQ(::chmod(output.toLocal8Bit().constData(), 0777), 0);
            ASSERT_EQ(::chown((output + "/theirs.txt").toLocal8Bit().constData(), kOtherUser, kOtherUser), 0);
        } else {
            writeText(output, "the other user's");
        }
        ASSERT_EQ(::chown(output.toLocal8Bit().constData(), kOtherUser, kOtherUser), 0);
        blockTheTrash();
        record = {};
        run();

        EXPECT_EQ(QFileInfo(output).ownerId(), kOtherUser);
        if (row.folder)
            EXPECT_EQ(entries(output), QStringList { "theirs.txt" });
        else
            EXPECT_EQ(bytesOf(output), "the other user's");
        EXPECT_EQ(entries(desktopOutput), (QStringList { "a.jpg", "b.jpg" }));
        expectOneMessageSaying(record,
            { "The output folder was made on the Desktop: \"" + desktopOutput.toStdString() + "\"",
                "\"" + output.toStdString() + "\" belongs to " + accountName(kOtherUser),
                "never writes into another user's folder" });
        EXPECT_EQ(record.statusTexts.back(), "Folder 'Holiday' processed");
        fs::remove_all(output.toStdString());
        QDir(desktopOutput).removeRecursively();
    }
}

// The output folder moved away, or replaced by a link to another folder of the user's, during the
// run: nothing lands anywhere else, and every picture left is a failed item that says why.
TEST_F(SharedFolderRun, AnOutputFolderSwappedDuringTheRunSendsNothingElsewhere)
{
    const QString moved = shared + "/moved", important = makeFolder("Important");
    writePicture(source + "/a.png", 40, 30);
    writePicture(source + "/b.png", 700, 520);
    writePicture(source + "/c.png", 40, 30);
    choose(source);
    for (const bool link : { false, true }) {
        SCOPED_TRACE(link ? "a link in its place" : "moved away");
        bool swapped = false;
        record = {};
        run([&] {
            if (!swapped && QFile::exists(output + "/a.jpg")) {
                ASSERT_TRUE(QDir().rename(output, moved));
                if (link)
                    ASSERT_TRUE(QFile::link(important, output));
                swapped = true;
            }
        });
        ASSERT_TRUE(swapped);
        EXPECT_EQ(entries(moved), QStringList { "a.jpg" });
        EXPECT_TRUE(entries(important).isEmpty());
        expectOneMessageSaying(record,
            { "2 pictures could not be processed. The first error: \"b.png\"",
                "the folder \"" + output.toStdString() + "\" is no longer there" });
        const String& details = record.details.at(0);
        EXPECT_NE(details.find("\"b.png\": "), String::npos) << details;
        EXPECT_NE(details.find("\n\"c.png\": "), String::npos) << details;
        fs::remove_all(moved.toStdString());
        fs::remove(output.toStdString());
    }
}

// A link made at the name the probe found free, before the picture takes it: the link is neither
// followed nor replaced, and the picture takes the next free name.
TEST_F(SharedFolderRun, ALinkMadeAtAFreeNameIsNeitherFollowedNorReplaced)
{
    const QString keep = makeFolder("Important") + "/keep.txt";
    writeText(keep, "the user's own");
    writePicture(source + "/p.bmp", 40, 30, "BMP");
    writePicture(source + "/p.png", 40, 30);
    choose(source);
    bool linked = false;
    run([&] {
        // The second picture's probe has found "p-2.jpg" free and yields before the save.
        if (!linked && !record.statusTexts.empty() && record.statusTexts.back() == "Processing picture 2 of 2") {
            ASSERT_TRUE(QFile::exists(output + "/p.jpg"));
            ASSERT_FALSE(QFile::exists(output + "/p-2.jpg"));
            ASSERT_TRUE(QFile::link(keep, output + "/p-2.jpg"));
            linked = true;
        }
    });
    ASSERT_TRUE(linked);
    EXPECT_TRUE(record.messages.empty()) << record.messages.front();
    EXPECT_EQ(bytesOf(keep), "the user's own");
    EXPECT_EQ(QFileInfo(output + "/p-2.jpg").symLinkTarget(), keep);
    EXPECT_EQ(entries(output), (QStringList { "p-2.jpg", "p-3.jpg", "p.jpg" }));
    EXPECT_EQ(QImage(output + "/p-3.jpg").size(), QSize(40, 30));
}

// A user alone in an ordinary folder gets the same bytes under the same names as a save of the
// same drawing by its path.
TEST_F(EngineRun, ARunWritesTheSameBytesUnderTheSameNames)
{
    const QString source = makeFolder("Same"), reference = makeFolder("reference");
    writePicture(source + "/a.png", 40, 30, "PNG", true);
    writePicture(source + "/a.bmp", 40, 30, "BMP");
    writePicture(source + "/big.jpg", 900, 600, "JPG");
    writePicture(source + "/\u00c9t\u00e9 2007.png", 60, 45);
    choose(source);
    for (const int format : { 0, 1 }) {
        SCOPED_TRACE(format);
        w->PMExportFormat()->ListIndex(format);
        record = {};
        run();
        EXPECT_TRUE(record.messages.empty()) << record.messages.front();
        const QString output = root() + "/Same (B800)";
        const QString e = format == 1 ? "png" : "jpg";
        QStringList names { "a." + e, "a-2." + e, "big." + e, "\u00c9t\u00e9 2007." + e };
        QStringList sorted = names;
        sorted.sort(Qt::CaseSensitive);
        ASSERT_EQ(entries(output), sorted);
        // The same drawing, saved by its path.
        const QStringList sources { "a.bmp", "a.png", "big.jpg", "\u00c9t\u00e9 2007.png" };
        const QStringList outputs { "a." + e, "a-2." + e, "big." + e, "\u00c9t\u00e9 2007." + e };
        for (qsizetype i = 0; i < sources.size(); ++i) {
            SCOPED_TRACE(outputs[i].toStdString());
            const auto picture = Picture::Open(FolderItem::FromPath((source + "/" + sources[i]).toStdString()));
            ASSERT_TRUE(picture);
            const NewSize size = ComputeNewSize(picture->Width(), picture->Height(), ReadRunSettings);
            const auto target = NewPicture(size.width, size.height, 32);
            target->Graphics()->DrawPicture(picture, 0, 0, size.width, size.height, 0, 0, picture->Width(), picture->Height());
            target->Mask(true)->Graphics()->DrawPicture(
                picture->Mask(true), 0, 0, size.width, size.height, 0, 0, picture->Width(), picture->Height());
            const QString path = reference + "/" + outputs[i];
            QFile::remove(path);
            target->Save(FolderItem::FromPath(path.toStdString()), format == 1 ? 150 : 151, w->SLQuality()->Value());
            EXPECT_TRUE(bytesOf(output + "/" + outputs[i]) == bytesOf(path));
            EXPECT_EQ(QFileInfo(output + "/" + outputs[i]).permissions(), QFileInfo(path).permissions());
        }
    }
}

// Two long source names cut to one output name: the second run still replaces the folder, and
// its finish names the folder that went to the trash and the source it was made from.
TEST_F(EngineRun, AReplacedFolderMadeFromAnotherSourceIsNamed)
{
    const QString one = makeFolder("Summer holiday in Tuscany - part one");
    const QString two = makeFolder("Summer holiday in Tuscany - part two");
    writePicture(one + "/1.png", 40, 30);
    writePicture(two + "/2.png", 40, 30);
    const QString output = root() + "/Summer holiday in Tuscan (B800)";
    choose(one);
    run();
    EXPECT_TRUE(record.messages.empty()) << record.messages.front();
    ASSERT_EQ(entries(output), QStringList { "1.jpg" });
    if (FolderItem::FromPath(output.toStdString())->Attribute("user.quobly.source").empty())
        GTEST_SKIP() << "this file system keeps no extended attributes";

    choose(two);
    record = {};
    run();
    EXPECT_EQ(entries(output), QStringList { "2.jpg" });
    expectOneMessageSaying(record,
        { "The folder \"" + output.toStdString() + "\" that was moved to the trash had been made from another source folder, \""
            + one.toStdString() + "\"" });
    // The same source again: nothing to say.
    record = {};
    run();
    EXPECT_TRUE(record.messages.empty()) << record.messages.front();
}

} // namespace
