// How the windows meet the desktop: a dark theme, the keyboard's close keys and screen readers.
#include "framework/gui/private/design_colour.h"
#include "framework/gui/runtime.h"
#include "main_window/main.h"
#include "shell/credits.h"
#include "shell/startup.h"
#include "shell/whelp.h"
#include "tests/shell/shell_fixtures.h"
#include "tests/support/framework_key.h"
#include "tests/support/spin.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QGroupBox>
#include <QImage>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QTest>

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

class Presentation : public ::testing::Test {
protected:
    void SetUp() override { RunFrameworkInitialization(Startup); }
    void TearDown() override
    {
        for (auto& window : OpenWindows())
            window->OnClose = nullptr;
        Finalization();
        QApplication::setPalette(QPalette());
        SpinPending();
    }

    static Ref<Window> open(const char* className)
    {
        if (className == std::string(Credits::kClassName))
            Main::instance()->AppleCredits_Action();
        else
            Main::instance()->HelpHelp_Action();
        SpinPending();
        return GetImplicitWindow(className);
    }

    SystemRecorder recorder;
};

// A dark palette of the kind Breeze Dark and Adwaita dark give.
QPalette darkPalette()
{
    QPalette dark(QColor(0x31, 0x36, 0x3b), QColor(0x32, 0x32, 0x32));
    dark.setColor(QPalette::WindowText, QColor(0xef, 0xf0, 0xf1));
    dark.setColor(QPalette::Text, QColor(0xef, 0xf0, 0xf1));
    dark.setColor(QPalette::ButtonText, QColor(0xef, 0xf0, 0xf1));
    dark.setColor(QPalette::Base, QColor(0x23, 0x26, 0x29));
    dark.setColor(QPalette::Highlight, QColor(0x3d, 0xae, 0xe9));
    dark.setColor(QPalette::HighlightedText, QColor(0xfc, 0xfc, 0xfc));
    for (QPalette::ColorRole role : { QPalette::WindowText, QPalette::Text, QPalette::ButtonText })
        dark.setColor(QPalette::Disabled, role, QColor(0x6e, 0x71, 0x75));
    dark.setColor(QPalette::Disabled, QPalette::Base, QColor(0x32, 0x32, 0x32));
    return dark;
}

// The contrast of a picture's ink with its background: the background is its most frequent
// colour, the ink the colour that stands out from it the most.
double inkContrast(const QImage& shot)
{
    std::map<QRgb, int> counts;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            ++counts[shot.pixel(x, y)];
    QRgb background = 0;
    int most = 0;
    for (const auto& [colour, count] : counts) {
        if (count > most)
            std::tie(background, most) = std::tie(colour, count);
    }
    double best = 1;
    for (const auto& [colour, count] : counts)
        best = std::max(best, ContrastRatio(QColor(colour), QColor(background)));
    return best;
}

// Every enabled text on the window reaches 4.5:1 against what it is drawn on.
void expectReadable(const Ref<Window>& window, const char* state)
{
    QWidget* top = window->TopLevelWidget(testKey());
    int texts = 0;
    for (QWidget* widget : top->findChildren<QWidget*>()) {
        if (!widget->isVisible() || !widget->isEnabled())
            continue;
        QImage shot;
        if (auto* label = qobject_cast<QLabel*>(widget); label && !label->text().isEmpty())
            shot = label->grab().toImage();
        else if (auto* button = qobject_cast<QAbstractButton*>(widget); button && !button->text().isEmpty())
            shot = button->grab().toImage();
        else if (auto* box = qobject_cast<QGroupBox*>(widget))
            shot = box->grab(QRect(0, 0, box->width(), box->fontMetrics().height())).toImage();
        if (shot.isNull())
            continue;
        ++texts;
        EXPECT_GE(inkContrast(shot), 4.5) << state << ": " << widget->metaObject()->className() << " \""
                                          << widget->property("text").toString().toStdString() << "\"";
    }
    EXPECT_GT(texts, 0) << state;
}

TEST_F(Presentation, UnderADarkPaletteEveryTextStandsOutAndDisabledFieldsLookDisabled)
{
    QApplication::setPalette(darkPalette());
    auto main = Main::instance();
    SpinPending();
    expectReadable(main, "first launch");

    // The status line as the run writes it, then the finish in its red.
    main->STStatus()->TextColor(RGB(0, 0, 0));
    main->STStatus()->Text("Processing picture 2 of 60");
    SpinPending();
    expectReadable(main, "during a run");
    main->STStatus()->TextColor(RGB(200, 0, 0));
    main->STStatus()->Text("Folder 'Holiday' processed");
    SpinPending();
    expectReadable(main, "after the finish");
    const QColor finish = main->STStatus()->Widget()->palette().color(QPalette::Active, QPalette::WindowText);
    EXPECT_EQ(finish.hslHue(), QColor(200, 0, 0).hslHue()) << "the finish keeps its red";

    // The enabled size field takes the theme's field colour; a disabled one looks apart.
    auto inside = [](const Ref<EditField>& field) {
        const QImage shot = field->Widget()->grab().toImage();
        return shot.pixelColor(shot.width() - 6, shot.height() / 2);
    };
    EXPECT_EQ(inside(main->EFPSize()), darkPalette().color(QPalette::Active, QPalette::Base));
    ASSERT_FALSE(main->EFBWidth()->Enabled());
    EXPECT_NE(inside(main->EFBWidth()), inside(main->EFPSize()));

    expectReadable(open(WHelp::kClassName), "help");
    expectReadable(open(Credits::kClassName), "credits");
}

TEST_F(Presentation, ThePaletteCanChangeWhileTheWindowIsOpen)
{
    auto main = Main::instance();
    main->STStatus()->TextColor(RGB(200, 0, 0));
    main->STStatus()->Text("Folder 'Holiday' processed");
    const QColor light = main->STStatus()->Widget()->palette().color(QPalette::Active, QPalette::WindowText);
    EXPECT_EQ(light, QColor(200, 0, 0)) << "the light theme shows the design's own red";
    QApplication::setPalette(darkPalette());
    SpinPending();
    expectReadable(main, "after the switch");
    QApplication::setPalette(QPalette());
    SpinPending();
    EXPECT_EQ(main->STStatus()->Widget()->palette().color(QPalette::Active, QPalette::WindowText), light);
}

TEST_F(Presentation, EscapeAndTheCloseKeyCloseHelpAndCredits)
{
    struct Row {
        const char* window;
        QKeySequence key;
    };
    const Row rows[] = {
        { WHelp::kClassName, QKeySequence(Qt::Key_Escape) },
        { WHelp::kClassName, QKeySequence(QKeySequence::Close) },
        { Credits::kClassName, QKeySequence(Qt::Key_Escape) },
        { Credits::kClassName, QKeySequence(QKeySequence::Close) },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.window) + " " + row.key.toString().toStdString());
        Ref<Window> window = open(row.window);
        ASSERT_TRUE(window);
        QWidget* top = window->TopLevelWidget(testKey());
        top->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(top));
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : top;
        QTest::keySequence(target, row.key);
        SpinPending();
        EXPECT_FALSE(window->IsOpen());
        EXPECT_FALSE(GetImplicitWindow(row.window));
    }
    // The main window is no secondary window: Escape leaves it open.
    auto main = Main::instance();
    QTest::keyClick(main->TopLevelWidget(testKey()), Qt::Key_Escape);
    EXPECT_TRUE(main->IsOpen());
}

struct Announced {
    QAccessible::Role role;
    std::string name;
};

Announced announced(const Ref<RectControl>& control)
{
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(control->Widget());
    if (!face)
        return { QAccessible::NoRole, "" };
    return { face->role(), face->text(QAccessible::Name).toStdString() };
}

TEST_F(Presentation, EveryMemberTellsItsTrueRoleAndAName)
{
    auto main = Main::instance();
    struct Row {
        Ref<RectControl> control;
        QAccessible::Role role;
        const char* name;
    };
    const Row rows[] = {
        { main->GroupBox1(), QAccessible::Grouping, "Resizing settings" },
        { main->StaticText1(), QAccessible::StaticText, "Size wanted:" },
        { main->EFPSize(), QAccessible::EditableText, "Size wanted:" },
        { main->PMPType(), QAccessible::ComboBox, "Size wanted:" },
        { main->StaticText3(), QAccessible::StaticText, "Width:" },
        { main->EFIWidth(), QAccessible::EditableText, "Width:" },
        { main->PMIWidth(), QAccessible::ComboBox, "Width:" },
        { main->StaticText4(), QAccessible::StaticText, "Height:" },
        { main->EFIHeight(), QAccessible::EditableText, "Height:" },
        { main->PMIHeight(), QAccessible::ComboBox, "Height:" },
        { main->StaticText6(), QAccessible::StaticText, "Maximum width:" },
        { main->EFBWidth(), QAccessible::EditableText, "Maximum width:" },
        { main->StaticText7(), QAccessible::StaticText, "Maximum height:" },
        { main->EFBHeight(), QAccessible::EditableText, "Maximum height:" },
        { main->RBType(0), QAccessible::RadioButton, "Proportional resizing" },
        { main->RBType(1), QAccessible::RadioButton, "Independant resizing" },
        { main->RBType(2), QAccessible::RadioButton, "Box resizing" },
        { main->GroupBox2(), QAccessible::Grouping, "Exportation settings" },
        { main->CBIncrease(), QAccessible::CheckBox, "Increase picture size if needed" },
        { main->STJPEGQuality(), QAccessible::StaticText, "JPEG Quality:" },
        { main->PMQuality(), QAccessible::ComboBox, "JPEG Quality:" },
        { main->SLQuality(), QAccessible::Slider, "JPEG Quality" },
        { main->STQuality(), QAccessible::StaticText, "80" },
        { main->CBName(), QAccessible::CheckBox, "Make names web-ready" },
        { main->CBDos(), QAccessible::CheckBox, "DOS format (8 characters + extension)" },
        { main->StaticText51(), QAccessible::StaticText, "Export as:" },
        { main->PMExportFormat(), QAccessible::ComboBox, "Export as:" },
        { main->StaticText2(), QAccessible::StaticText, "Folder:" },
        { main->STFolder(), QAccessible::StaticText, "No folder selected" },
        { main->PBSelect(), QAccessible::Button, "Select" },
        { main->PBGo(), QAccessible::Button, "Go" },
        { main->PB(), QAccessible::ProgressBar, "Processing picture" },
        { main->DTSettings(), QAccessible::Button, "Resizing settings, Exportation settings" },
        { main->Separator1(), QAccessible::Separator, "" },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.control->Name());
        const Announced shown = announced(row.control);
        EXPECT_EQ(shown.role, row.role);
        EXPECT_EQ(shown.name, row.name);
    }
    // A popup's value is its row; its name stays its label's when the row changes.
    main->PMQuality()->ListIndex(0);
    QAccessibleInterface* quality = QAccessible::queryAccessibleInterface(main->PMQuality()->Widget());
    EXPECT_EQ(quality->text(QAccessible::Value).toStdString(), "Excellent (90)");
    EXPECT_EQ(quality->text(QAccessible::Name).toStdString(), "JPEG Quality:");

    auto help = open(WHelp::kClassName).As<WHelp>();
    EXPECT_EQ(announced(help->PMJumpTo()).name, "Jump to:");
}

} // namespace
