// A message box stays within the screen for any path or name it names: long runs without a blank
// are elided in the middle, and the whole message is then in the box's details.
#include "framework/gui/runtime.h"

#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>

#include <gtest/gtest.h>

#include <string>

namespace {

struct Shown {
    bool seen { false };
    QRect frame;
    QString text, details;
};

// Shows the message through MsgBox and reads the box while it is up, then closes it.
Shown showAndRead(const String& message, const String& details = String())
{
    Shown shown;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        poll.stop();
        shown = { true, box->frameGeometry(), box->text(), box->detailedText() };
        box->accept();
    });
    poll.start();
    // A watchdog: a box that is never found is closed, and the test fails on `seen`.
    QTimer::singleShot(20000, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            box->reject();
    });
    MsgBox(message, details);
    return shown;
}

TEST(MessageBox, StaysWithinTheScreenForAnyName)
{
    Seams::ResetAll();
    const std::string longName(400, 'n');
    const std::string longPath = "/home/user/" + std::string(60, 'p') + "/" + std::string(300, 'q') + "/Holiday (B800)";
    struct Row {
        std::string message;
        bool elided;
    };
    const Row rows[] = {
        { "The preferences could not be saved.", false },
        { "1 of 3 pictures could not be made. The first: the output folder \"" + longPath + "\" could not be created", true },
        { "The preferences could not be saved.\n\nCannot write \"/home/user/.config/" + longName + "\"", true },
        { std::string(20, 'w') + " " + std::string(30, 'w') + " short words", false },
    };
    const QRect screen = QApplication::primaryScreen()->availableGeometry();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.message.substr(0, 60));
        const Shown shown = showAndRead(row.message);
        ASSERT_TRUE(shown.seen);
        EXPECT_LE(shown.frame.width(), screen.width());
        EXPECT_TRUE(screen.contains(shown.frame)) << shown.frame.x() << "," << shown.frame.y() << " " << shown.frame.width()
                                                 << "x" << shown.frame.height();
        if (row.elided) {
            EXPECT_TRUE(shown.text.contains(QChar(0x2026)));
            EXPECT_EQ(shown.details.toStdString(), row.message) << "the whole message is in the details";
            EXPECT_TRUE(shown.text.endsWith(QString::fromStdString(row.message).right(10))) << "the end is kept";
        } else {
            EXPECT_EQ(shown.text.toStdString(), row.message);
            EXPECT_TRUE(shown.details.isEmpty());
        }
    }
}

// Details given with the message are behind "Show Details…", after the whole message when a part
// of it had to be elided.
TEST(MessageBox, DetailsAreBehindShowDetails)
{
    Seams::ResetAll();
    const std::string list = "\"a.jpg\": its data ends before its picture does\n\"b.jpg\": Permission denied";
    const Shown plain = showAndRead("2 pictures could not be processed.", list);
    ASSERT_TRUE(plain.seen);
    EXPECT_EQ(plain.text.toStdString(), "2 pictures could not be processed.");
    EXPECT_EQ(plain.details.toStdString(), list);

    const std::string longMessage = "The first error: \"" + std::string(400, 'n') + "\"";
    const Shown elided = showAndRead(longMessage, list);
    ASSERT_TRUE(elided.seen);
    EXPECT_EQ(elided.details.toStdString(), longMessage + "\n\n" + list);
}

} // namespace
