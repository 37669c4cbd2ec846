// A progress bar and a status line that a run changes for every one of many small pictures are
// repainted no more often than the screen shows, and always end showing the last state.
#include "framework/gui/label.h"
#include "framework/gui/progress_bar.h"
#include "tests/framework/gui/window_fixture.h"
#include "tests/support/spin.h"

#include <QEvent>
#include <QLabel>
#include <QObject>
#include <QProgressBar>

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

// Counts the paints of a widget and remembers what the last one showed.
class PaintWatch final : public QObject {
public:
    PaintWatch(QWidget* widget, std::function<std::string()> shown)
        : m_shown(std::move(shown))
    {
        widget->installEventFilter(this);
    }
    int paints { 0 };
    std::string lastShown;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            ++paints;
            lastShown = m_shown();
        }
        return false;
    }

private:
    std::function<std::string()> m_shown;
};

TEST(RepaintPacer, AHundredChangesInOneTurnPaintAtMostTwiceAndEndOnTheLast)
{
    auto window = MakeRef<TestWindow>();
    Ref<ProgressBar> bar;
    Ref<Label> status;
    window->createControls = [&](TestWindow& w) {
        bar = w.New<ProgressBar>();
        w.AddControl("PB", bar);
        bar->Left(10), bar->Top(10), bar->Width(300), bar->Height(20);
        bar->Maximum(100);
        status = w.New<Label>();
        w.AddControl("Status", status);
        status->Left(10), status->Top(40), status->Width(300), status->Height(20);
    };
    window->Constructor();
    window->Show();
    SpinPending();

    auto* barWidget = static_cast<QProgressBar*>(bar->Widget());
    auto* statusWidget = static_cast<QLabel*>(status->Widget());
    PaintWatch barPaints(barWidget, [&] { return std::to_string(barWidget->value()); });
    PaintWatch statusPaints(statusWidget, [&] { return statusWidget->text().toStdString(); });

    // As a run over small pictures does between two passes of the event loop.
    for (int i = 1; i <= 100; ++i) {
        bar->Value(i);
        status->Text("Processing " + std::to_string(i) + " of 100");
        // The values themselves change at once: only painting waits.
        ASSERT_EQ(barWidget->value(), i);
    }
    EXPECT_EQ(barPaints.paints, 0) << "a change must not repaint at once";

    ASSERT_TRUE(SpinUntil([&] { return barPaints.lastShown == "100" && statusPaints.lastShown == "Processing 100 of 100"; }))
        << "the bar showed " << barPaints.lastShown << ", the status \"" << statusPaints.lastShown << "\"";
    EXPECT_LE(barPaints.paints, 2);
    EXPECT_LE(statusPaints.paints, 2);
}

} // namespace
