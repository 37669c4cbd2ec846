// Design colours hold while a control is enabled; a disabled one shows the style's disabled look.
// The design's default colours follow the theme; other colours stay readable on it. The
// application's desktop entry and icon.
#include "framework/gui/edit_field.h"
#include "framework/gui/label.h"
#include "framework/gui/private/design_colour.h"
#include "framework/gui/runtime.h"
#include "tests/framework/gui/window_fixture.h"
#include "tests/support/spin.h"

#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QPalette>
#include <QStyle>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

// The inside of a control, away from its frame and its text.
QColor insideColour(QWidget* widget)
{
    const QImage shot = widget->grab().toImage();
    return shot.pixelColor(shot.width() - 6, shot.height() / 2);
}

// A window with a field and a label in the design's default colours: black text, a white field.
struct DefaultColoured {
    Ref<TestWindow> window = MakeRef<TestWindow>();
    Ref<EditField> field;
    Ref<Label> label;

    DefaultColoured()
    {
        window->createControls = [this](TestWindow& w) {
            field = Place<EditField>(w, "Field", HeadList(EditField::DesignTypes(), "Field", 10, 10, 80, 22)
                                                      .Colour("TextColor", RGB(0, 0, 0))
                                                      .Colour("BackColor", RGB(255, 255, 255))
                                                      .Text("Text", "123")
                                                      .Bytes());
            label = Place<Label>(w, "Label", HeadList(Label::DesignTypes(), "Label", 10, 40, 80, 16)
                                                 .Text("Text", "Label:")
                                                 .Colour("TextColor", RGB(0, 0, 0))
                                                 .Bytes());
        };
        window->Constructor();
    }
};

TEST(DesignColour, ADisabledControlLosesItsDesignColoursAndGetsThemBackWhenEnabled)
{
    DefaultColoured made;
    const Ref<TestWindow>& window = made.window;
    Ref<EditField>& field = made.field;
    Ref<Label>& label = made.label;
    SpinPending();
    const QPalette style = QApplication::style()->standardPalette();
    const QColor white(255, 255, 255), black(0, 0, 0);
    ASSERT_NE(style.color(QPalette::Disabled, QPalette::Base), white) << "the style must draw disabled fields apart";

    struct Row {
        QWidget* widget;
        QPalette::ColorRole role;
        QColor design;
    };
    const Row rows[] = {
        { field->Widget(), QPalette::Base, white },
        { field->Widget(), QPalette::Text, black },
        { label->Widget(), QPalette::WindowText, black },
    };
    for (bool enabled : { false, true, false }) {
        field->Enabled(enabled);
        label->Enabled(enabled);
        for (const Row& row : rows) {
            SCOPED_TRACE(testing::Message() << "role " << row.role << (enabled ? " enabled" : " disabled"));
            const QPalette shown = row.widget->palette();
            EXPECT_EQ(shown.color(QPalette::Active, row.role), row.design);
            EXPECT_EQ(shown.color(QPalette::Inactive, row.role), row.design);
            EXPECT_EQ(shown.color(QPalette::Disabled, row.role), style.color(QPalette::Disabled, row.role));
        }
    }
    // On screen: the disabled field's inside is the style's, not the design's white.
    EXPECT_NE(insideColour(field->Widget()), white);
    field->Enabled(true);
    EXPECT_EQ(insideColour(field->Widget()), white);
    window->Close();
}

TEST(DesignColour, AColourWithMeaningKeepsItsHueAndReachesTheContrastItNeeds)
{
    struct Row {
        QColor colour, background;
        bool unchanged;
    };
    const Row rows[] = {
        { QColor(200, 0, 0), QColor(0xef, 0xef, 0xef), true }, // the finish's red in a light theme
        { QColor(200, 0, 0), QColor(0x32, 0x32, 0x32), false }, // ... and in a dark one
        { QColor(200, 0, 0), QColor(0, 0, 0), false },
        { QColor(0, 0, 200), QColor(0x32, 0x32, 0x32), false },
        { QColor(255, 220, 0), QColor(255, 255, 255), false }, // a light colour on white darkens
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.colour.name().toStdString() + " on " + row.background.name().toStdString());
        const QColor shown = LegibleOn(row.colour, row.background);
        EXPECT_GE(ContrastRatio(shown, row.background), 4.5);
        EXPECT_EQ(shown == row.colour, row.unchanged);
        EXPECT_EQ(shown.hslHue(), row.colour.hslHue());
    }
    EXPECT_NEAR(ContrastRatio(Qt::black, Qt::white), 21.0, 1e-9);
    EXPECT_NEAR(ContrastRatio(QColor(0x02, 0x02, 0x02), QColor(0x32, 0x32, 0x32)), 1.6, 0.05);
}

TEST(DesignColour, TheDesignsDefaultColoursAreTheThemesOwn)
{
    DefaultColoured made;
    const Ref<TestWindow>& window = made.window;
    Ref<EditField>& field = made.field;
    Ref<Label>& label = made.label;
    QPalette theme = QApplication::palette();
    theme.setColor(QPalette::Base, QColor(0x23, 0x26, 0x29));
    theme.setColor(QPalette::Text, QColor(0xee, 0xee, 0xee));
    theme.setColor(QPalette::WindowText, QColor(0xdd, 0xdd, 0xdd));
    QApplication::setPalette(theme);
    SpinPending();
    EXPECT_EQ(field->Widget()->palette().color(QPalette::Active, QPalette::Base), QColor(0x23, 0x26, 0x29));
    EXPECT_EQ(field->Widget()->palette().color(QPalette::Active, QPalette::Text), QColor(0xee, 0xee, 0xee));
    EXPECT_EQ(label->Widget()->palette().color(QPalette::Inactive, QPalette::WindowText), QColor(0xdd, 0xdd, 0xdd));
    // Another colour is the design's own.
    field->TextColor(RGB(0, 0, 160));
    EXPECT_NE(field->Widget()->palette().color(QPalette::Active, QPalette::Text), QColor(0xee, 0xee, 0xee));
    QApplication::setPalette(QPalette());
    SpinPending();
    EXPECT_EQ(field->Widget()->palette().color(QPalette::Active, QPalette::Text), QColor(0, 0, 160));
    window->Close();
}

TEST(DesktopEntry, TheApplicationNamesItsEntryAndShowsItsIcon)
{
    SetDesktopEntry("quobly");
    EXPECT_EQ(QGuiApplication::desktopFileName(), "quobly");
    const QIcon icon = QApplication::windowIcon();
    ASSERT_FALSE(icon.isNull());
    EXPECT_FALSE(icon.pixmap(48, 48).isNull());
}

} // namespace
