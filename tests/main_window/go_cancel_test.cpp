// Go and Cancel through the keys and the button, with real runs over a folder of pictures.
#include "tests/main_window/main_window_fixture.h"

#include "engine/threadrun.h"
#include "framework/core/private/file_system.h"
#include "framework/core/folder_item.h"
#include "framework/gui/runtime.h"
#include "tests/support/framework_key.h"
#include "tests/support/spin.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace {

constexpr int kPictures = 40;

class GoCancelTest : public MainWindowFixture {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        ASSERT_TRUE(root.isValid());
        ASSERT_TRUE(QDir(root.path()).mkdir("Shots"));
        for (int i = 1; i <= kPictures; ++i) {
            QImage picture(320, 240, QImage::Format_RGB32);
            picture.fill(QColor(i * 5, 100, 200 - i * 3));
            ASSERT_TRUE(picture.save(QString("%1/Shots/shot%2.jpg").arg(root.path()).arg(i, 2, 10, QChar('0')), "JPEG"));
        }
        openWindow();
        window->EFPSize()->Text("64");
        DragItem drop({ (root.path() + "/Shots").toStdString() });
        window->Event_DropObject(drop, 0);
        ASSERT_TRUE(window->PBGo()->Enabled());
    }

    bool running() { return engine->IsRunning(); }

    QString outputPath() const { return root.path() + "/Shots (B64)"; }

    QStringList outputFiles() const { return QDir(outputPath()).entryList(QDir::Files, QDir::Name); }

    // Every output file is a whole picture of the new size.
    void expectWholePictures()
    {
        for (const auto& name : outputFiles()) {
            QImage picture(outputPath() + "/" + name);
            EXPECT_FALSE(picture.isNull()) << name.toStdString();
            EXPECT_EQ(picture.width(), 64) << name.toStdString();
            EXPECT_EQ(picture.height(), 48) << name.toStdString();
        }
    }

    void key(Qt::Key which) { QTest::keyClick(window->TopLevelWidget(testKey()), which); }

    void pressEscape() { key(Qt::Key_Escape); }

    void click() { QTest::mouseClick(window->PBGo()->Widget(), Qt::LeftButton); }

    // Waits until the run has saved at least one picture and is between two of them, and gives
    // the number of pictures it has saved. The bar counts those whose files are already there;
    // the status line names the last one saved, whose file may still be on its way.
    int waitForFirstPicture()
    {
        // One pass of the loop gives the run one item at most; a longer spin can hold the whole run.
        EXPECT_TRUE(StepUntil([this] { return window->PB()->Value() >= 1 || !running(); }));
        EXPECT_TRUE(running()) << "the run ended before it could be stopped";
        const QString status = QString::fromStdString(window->STStatus()->Text());
        const int inHand = status.section(' ', 2, 2).toInt();
        EXPECT_GE(inHand, window->PB()->Value()) << status.toStdString();
        return inHand;
    }

    QTemporaryDir root;
};

TEST_F(GoCancelTest, ReturnStartsARunOnlyWhenGoIsEnabled)
{
    window->EFPSize()->Text("");
    ASSERT_FALSE(window->PBGo()->Enabled());
    key(Qt::Key_Return);
    SpinPending();
    EXPECT_FALSE(running());
    EXPECT_FALSE(QDir(outputPath()).exists());

    window->EFPSize()->Text("64");
    key(Qt::Key_Return);
    ASSERT_TRUE(StepUntil([this] { return window->PBGo()->Cancel(); }));
    EXPECT_EQ(window->PBGo()->Caption(), "Cancel");
    ASSERT_TRUE(SpinUntil([this] { return !running(); }, std::chrono::seconds(60)));
    EXPECT_EQ(outputFiles().size(), kPictures);
    expectWholePictures();
    EXPECT_EQ(window->PBGo()->Caption(), "Go");
    EXPECT_TRUE(window->PBGo()->Default());
    EXPECT_FALSE(window->PBGo()->Cancel());
}

TEST_F(GoCancelTest, EscapeAndTheCancelButtonStopAfterThePictureInHand)
{
    struct Row {
        const char* name;
        std::function<void()> stop;
    };
    const Row rows[] = {
        { "Escape", [this] { pressEscape(); } },
        { "click", [this] { click(); } },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        window->PBGo()->Push();
        ASSERT_TRUE(SpinUntil([this] { return running(); }));
        const int saved = waitForFirstPicture();
        row.stop();
        ASSERT_TRUE(SpinUntil([this] { return !running(); }));
        // The picture in hand when the request came is finished, and no other.
        EXPECT_EQ(outputFiles().size(), saved + 1);
        expectWholePictures();
        EXPECT_FALSE(window->endthread);
        EXPECT_EQ(window->PBGo()->Caption(), "Go");
        EXPECT_TRUE(window->PBSelect()->Enabled());
    }
}

TEST_F(GoCancelTest, TwoQuickCancelPressesStopTheRunOnce)
{
    window->PBGo()->Push();
    ASSERT_TRUE(SpinUntil([this] { return running(); }));
    const int saved = waitForFirstPicture();
    click();
    click();
    ASSERT_TRUE(SpinUntil([this] { return !running(); }));
    EXPECT_EQ(outputFiles().size(), saved + 1);
    EXPECT_FALSE(window->endthread);

    // The second press left nothing behind: the next run goes through to its last picture.
    key(Qt::Key_Return);
    ASSERT_TRUE(SpinUntil([this] { return running(); }));
    ASSERT_TRUE(SpinUntil([this] { return !running(); }, std::chrono::seconds(60)));
    EXPECT_EQ(outputFiles().size(), kPictures);
    expectWholePictures();
}

TEST_F(GoCancelTest, ADropDuringARunKeepsTheRunsFolder)
{
    ASSERT_TRUE(QDir(root.path()).mkdir("Other"));
    window->PBGo()->Push();
    ASSERT_TRUE(SpinUntil([this] { return running(); }));
    waitForFirstPicture();
    DragItem drop({ (root.path() + "/Other").toStdString() });
    window->Event_DropObject(drop, 0);
    EXPECT_EQ(window->STFolder()->Text(), "Shots");
    EXPECT_TRUE(window->PBGo()->Enabled()) << "Cancel stays usable";
    ASSERT_TRUE(SpinUntil([this] { return !running(); }, std::chrono::seconds(60)));
    EXPECT_EQ(outputFiles().size(), kPictures);
    EXPECT_EQ(window->f->Name(), "Shots");
}

TEST_F(GoCancelTest, ClosingDuringARunSavesThePreferencesAndEndsCleanly)
{
    window->PBGo()->Push();
    // The files of the pictures saved so far wait for their syncs until the window closes.
    std::mutex mutex;
    std::condition_variable closing;
    bool closed = false;
    FileSystem::SetBeforeSync([&] {
        std::unique_lock lock(mutex);
        closing.wait_for(lock, std::chrono::seconds(20), [&] { return closed; });
    });
    ASSERT_TRUE(SpinUntil([this] { return running(); }));
    const int saved = waitForFirstPicture();
    {
        const std::lock_guard lock(mutex);
        closed = true;
        closing.notify_all();
    }
    window->Close();
    // The quit ends the run, and waits for every picture it saved to be whole under its name.
    EXPECT_EQ(outputFiles().size(), saved);
    FileSystem::SetBeforeSync(nullptr);
    SpinPending();

    EXPECT_TRUE(IsQuitting());
    EXPECT_FALSE(window->IsOpen());
    EXPECT_TRUE(messages.empty());
    QFile preferences(preferencesPath());
    ASSERT_TRUE(preferences.open(QIODevice::ReadOnly));
    const QByteArray record = preferences.readAll();
    ASSERT_EQ(record.size(), 27);
    EXPECT_EQ(static_cast<unsigned char>(record[3]), 0);
    EXPECT_EQ(static_cast<unsigned char>(record[4]), 64) << "the size typed before the run";
    EXPECT_LT(outputFiles().size(), kPictures);
    expectWholePictures();
}

TEST_F(GoCancelTest, APreferencesFileThatCannotBeWrittenIsReportedAndTheApplicationStillQuits)
{
    ASSERT_TRUE(QDir().mkpath(preferencesPath()));
    window->Close();
    SpinPending();
    EXPECT_TRUE(IsQuitting());
    EXPECT_FALSE(window->IsOpen());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("preferences"), std::string::npos) << messages[0];
    EXPECT_TRUE(QFileInfo(preferencesPath()).isDir());
    QDir(preferencesPath()).removeRecursively();
}

} // namespace
