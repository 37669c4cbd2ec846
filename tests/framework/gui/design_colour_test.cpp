// Design colours hold while a control is enabled; a disabled one shows the style's disabled look.
#include "framework/gui/edit_field.h"
#include "framework/gui/label.h"
#include "tests/framework/gui/window_fixture.h"
#include "tests/support/spin.h"

#include <QApplication>
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

TEST(DesignColour, ADisabledControlLosesItsDesignColoursAndGetsThemBackWhenEnabled)
{
    auto window = MakeRef<TestWindow>();
    Ref<EditField> field;
    Ref<Label> label;
    window->createControls = [&](TestWindow& w) {
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

} // namespace
