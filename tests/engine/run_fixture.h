#pragma once

// Runs of the engine through the main window, as a user makes them: settings on the controls, a
// folder chosen with Select, Go pressed, the event loop spun until the window is given back.

#include "engine/threadrun.h"
#include "framework/core/folder_item.h"
#include "framework/gui/runtime.h"
#include "framework/image/private/save_queue.h"
#include "main_window/main.h"
#include "tests/support/picture_fixtures.h"
#include "tests/support/spin.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QProgressBar>
#include <QTemporaryDir>

#include <functional>
#include <initializer_list>
#include <vector>

namespace engine_test {

using fixtures::Marked;

// A picture of that size and format, with content of its own (see fixtures::Marked).
inline void writePicture(const QString& path, int width, int height, const char* format = "PNG", bool alpha = false,
    int quality = 92)
{
    ASSERT_TRUE(Marked(width, height, alpha).save(path, format, quality)) << path.toStdString();
}

inline void writeText(const QString& path, const char* text = "not a picture")
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
}

inline QStringList entries(const QString& folder)
{
    QStringList list = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    list.sort(Qt::CaseSensitive);
    return list;
}

// What the window showed while the run went on, caught at the moment it changed.
struct RunRecord {
    std::vector<String> statusTexts;
    std::vector<int> progressValues;
    int beeps = 0;
    std::vector<String> messages;
    std::vector<String> details; // each message's details, "" for none
    String statusWhenMessageShown;
};

// The run ended with one message box, which names each of `parts`.
inline void expectOneMessageSaying(const RunRecord& record, std::initializer_list<String> parts)
{
    ASSERT_EQ(record.messages.size(), 1u) << "one message box names what happened";
    for (const String& part : parts)
        EXPECT_NE(record.messages[0].find(part), String::npos) << record.messages[0];
}

class EngineRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_root.isValid());
        w = Main::instance();
        Seams::SetBeep([this] { ++record.beeps; });
        Seams::SetMsgBoxWithDetails([this](const String& message, const String& details) {
            record.messages.push_back(message);
            record.details.push_back(details);
            record.statusWhenMessageShown = w->STStatus()->Text();
        });
        auto* bar = qobject_cast<QProgressBar*>(w->PB()->Widget());
        ASSERT_NE(bar, nullptr);
        m_progress = QObject::connect(bar, &QProgressBar::valueChanged, bar,
            [this](int value) { record.progressValues.push_back(value); });

        resetSettings();
    }

    // The same starting settings for every test, whatever an earlier one left.
    void resetSettings()
    {
        w->RBType(0)->Value(true);
        w->PMPType()->ListIndex(0);
        w->EFPSize()->Text("800");
        w->CBIncrease()->Value(false);
        w->CBName()->Value(false);
        w->CBDos()->Value(false);
        w->PMExportFormat()->ListIndex(0);
        w->PMQuality()->ListIndex(1);
        w->endthread = false;
    }

    void TearDown() override
    {
        QObject::disconnect(m_progress);
        Seams::ResetAll();
    }

    QString root() const { return m_root.path(); }

    // A folder under the test's own temporary folder.
    QString makeFolder(const QString& relative)
    {
        const QString path = root() + "/" + relative;
        EXPECT_TRUE(QDir().mkpath(path));
        return path;
    }

    // Chooses the source folder with the Select button.
    void choose(const QString& path)
    {
        const auto folder = FolderItem::FromPath(path.toStdString());
        Seams::SetSelectFolder([folder] { return folder; });
        w->PBSelect()->Push();
    }

    // Presses Go and spins until the run has given the window back; `duringRun` is called after
    // each pass of the event loop meanwhile (each pass gives the run one turn), as a user acts
    // between the run's turns. The files of the pictures saved so far are made on workers while
    // the run goes on: the hook sees them once they are there, as the user does a moment later.
    void run(const std::function<void()>& duringRun = {})
    {
        ASSERT_TRUE(w->PBGo()->Enabled());
        ASSERT_EQ(w->PBGo()->Caption(), "Go");
        const int beepsBefore = record.beeps;
        m_statusBefore = w->STStatus()->Text();
        w->PBGo()->Push();
        QElapsedTimer watchdog;
        watchdog.start();
        while (record.beeps == beepsBefore || w->threadrun1()->IsRunning()) {
            ASSERT_LT(watchdog.elapsed(), 60000) << "the run did not finish";
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            sampleStatus();
            if (duringRun && record.beeps == beepsBefore) {
                SaveQueue::WaitForAll();
                duringRun();
            }
        }
        sampleStatus();
    }

    // Called when the status line shows a new text between two turns of the run.
    std::function<void(const String&)> onStatus;

    Ref<Main> w;
    RunRecord record;

private:
    // Every item's text stands while the run yields at the item's end (or inside its name), so a
    // look after each turn sees each one.
    void sampleStatus()
    {
        const String text = w->STStatus()->Text();
        if (!record.statusTexts.empty() && record.statusTexts.back() == text)
            return;
        if (record.statusTexts.empty() && text == m_statusBefore)
            return;
        record.statusTexts.push_back(text);
        if (onStatus)
            onStatus(text);
    }

    QTemporaryDir m_root;
    QMetaObject::Connection m_progress;
    String m_statusBefore;
};

} // namespace engine_test
