// Radio buttons are exclusive within their parent: the window's own and a group box's apart.
#include "framework/gui/group_box.h"
#include "framework/gui/radio_button.h"
#include "tests/framework/gui/window_fixture.h"
#include "tests/support/spin.h"

#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(RadioButton, ExclusiveWithinItsParentAndActingOnlyForTheNewlyChecked)
{
    auto window = MakeRef<TestWindow>();
    std::vector<Ref<RadioButton>> buttons; // w0, w1, w2 on the window; b0, b1 in the box
    std::string actions;
    window->createControls = [&](TestWindow& w) {
        auto box = w.New<GroupBox>();
        w.AddControl("Box", box);
        box->Left(200), box->Top(0), box->Width(180), box->Height(120);
        for (const char* name : { "w0", "w1", "w2", "b0", "b1" }) {
            auto button = w.New<RadioButton>();
            w.AddControl(name, button);
            const bool inBox = name[0] == 'b';
            if (inBox)
                button->InitialParent("Box");
            button->Left(inBox ? 210 : 10), button->Top(10 + 30 * int(buttons.size() % 3));
            button->Width(120), button->Height(20);
            button->Caption(name);
            buttons.push_back(button);
        }
        buttons[0]->Value(true);
        buttons[3]->Value(true);
        for (auto& button : buttons)
            button->OnAction = [&actions, name = button->Caption()](RadioButton&) { actions += name + " "; };
    };
    window->Constructor();
    SpinPending();

    const auto states = [&] {
        std::string s;
        for (auto& button : buttons)
            s += button->Value() ? '1' : '0';
        return s;
    };
    const auto click = [](const Ref<RadioButton>& button) {
        QTest::mouseClick(button->Widget(), Qt::LeftButton, {}, QPoint(6, button->Height() / 2));
    };

    EXPECT_EQ(states(), "10010");
    buttons[2]->Value(true);
    EXPECT_EQ(states(), "00110") << "a checked button in the box must not keep the window's first checked";
    click(buttons[1]);
    EXPECT_EQ(states(), "01010");
    click(buttons[4]);
    EXPECT_EQ(states(), "01001");
    click(buttons[1]);
    EXPECT_EQ(states(), "01001") << "a click on the checked button leaves it checked";
    buttons[1]->Value(false);
    EXPECT_EQ(states(), "00001") << "code may leave a parent with no button checked";
    EXPECT_EQ(actions, "w2 w1 b1 ");
    window->Close();
}

} // namespace
