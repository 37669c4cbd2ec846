// Packed design-property lists: the encoder, the decoder and every class's table agree.
#include "framework/gui/check_box.h"
#include "framework/gui/design_properties.h"
#include "framework/gui/disclosure_triangle.h"
#include "framework/gui/edit_field.h"
#include "framework/gui/group_box.h"
#include "framework/gui/html_viewer.h"
#include "framework/gui/label.h"
#include "framework/gui/popup_menu.h"
#include "framework/gui/progress_bar.h"
#include "framework/gui/push_button.h"
#include "framework/gui/radio_button.h"
#include "framework/gui/separator.h"
#include "framework/gui/slider.h"
#include "framework/gui/static_text.h"
#include "framework/core/thread.h"
#include "framework/gui/window.h"
#include "tests/framework/gui/window_fixture.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

using T = DesignType;

struct Property {
    const char* name;
    DesignType type;
};

const std::vector<Property> kHead = { { "Name", T::Text }, { "Index", T::Integer }, { "Left", T::Integer },
    { "Top", T::Integer }, { "Width", T::Integer }, { "Height", T::Integer }, { "LockLeft", T::Boolean },
    { "LockTop", T::Boolean }, { "LockRight", T::Boolean }, { "LockBottom", T::Boolean }, { "TabPanelIndex", T::Integer } };

// Every entry each class's list may hold after the head, as the program's lists write them.
struct ClassCase {
    const char* className;
    DesignTypeOf types;
    std::function<std::shared_ptr<RectControl>()> make;
    std::vector<Property> entries;
};

std::vector<ClassCase> classCases()
{
    return {
        { "GroupBox", GroupBox::DesignTypes(), [] { return std::make_shared<GroupBox>(); },
            { { "TabIndex", T::Integer }, { "Enabled", T::Boolean }, { "Visible", T::Boolean }, { "HelpTag", T::Text },
                { "AutoDeactivate", T::Boolean }, { "TextFont", T::Text }, { "Bold", T::Boolean }, { "Italic", T::Boolean },
                { "Underline", T::Boolean }, { "InitialParent", T::Text } } },
        { "Label", Label::DesignTypes(), [] { return std::make_shared<Label>(); },
            { { "TabIndex", T::Integer }, { "Text", T::Text }, { "TextAlign", T::Integer }, { "TextColor", T::Color },
                { "Multiline", T::Boolean }, { "Enabled", T::Boolean }, { "Visible", T::Boolean }, { "Selectable", T::Boolean },
                { "Transparent", T::Boolean }, { "HelpTag", T::Text }, { "AutoDeactivate", T::Boolean }, { "TextFont", T::Text },
                { "Bold", T::Boolean }, { "Italic", T::Boolean }, { "Underline", T::Boolean }, { "DataSource", T::Text },
                { "DataField", T::Text }, { "InitialParent", T::Text } } },
        { "StaticText", StaticText::DesignTypes(), [] { return std::make_shared<StaticText>(); },
            { { "TabIndex", T::Integer }, { "TabStop", T::Boolean }, { "Enabled", T::Boolean }, { "Visible", T::Boolean },
                { "HelpTag", T::Text }, { "AutoDeactivate", T::Boolean }, { "TextFont", T::Text }, { "Bold", T::Boolean },
                { "Italic", T::Boolean }, { "Underline", T::Boolean }, { "Text", T::Text }, { "TextAlign", T::Integer },
                { "TextColor", T::Color }, { "Multiline", T::Boolean }, { "Selectable", T::Boolean },
                { "Transparent", T::Boolean }, { "DataSource", T::Text }, { "DataField", T::Text }, { "InitialParent", T::Text } } },
        { "EditField", EditField::DesignTypes(), [] { return std::make_shared<EditField>(); },
            { { "TabIndex", T::Integer }, { "TabStop", T::Boolean }, { "Border", T::Boolean }, { "Multiline", T::Boolean },
                { "ScrollbarHorizontal", T::Boolean }, { "ScrollbarVertical", T::Boolean }, { "Styled", T::Boolean },
                { "Password", T::Boolean }, { "UseFocusRing", T::Boolean }, { "TextColor", T::Color }, { "BackColor", T::Color },
                { "Enabled", T::Boolean }, { "Format", T::Text }, { "Visible", T::Boolean }, { "HelpTag", T::Text },
                { "AutoDeactivate", T::Boolean }, { "TextFont", T::Text }, { "Bold", T::Boolean }, { "Italic", T::Boolean },
                { "Underline", T::Boolean }, { "Text", T::Text }, { "Mask", T::Text }, { "ReadOnly", T::Boolean },
                { "LimitText", T::Integer }, { "AcceptTabs", T::Boolean }, { "Alignment", T::Integer },
                { "DataSource", T::Text }, { "DataField", T::Text }, { "InitialParent", T::Text } } },
        { "PopupMenu", PopupMenu::DesignTypes(), [] { return std::make_shared<PopupMenu>(); },
            { { "TabIndex", T::Integer }, { "TabStop", T::Boolean }, { "Enabled", T::Boolean }, { "InitialValue", T::Text },
                { "ListIndex", T::Integer }, { "Visible", T::Boolean }, { "HelpTag", T::Text }, { "AutoDeactivate", T::Boolean },
                { "TextFont", T::Text }, { "Bold", T::Boolean }, { "Italic", T::Boolean }, { "Underline", T::Boolean },
                { "DataSource", T::Text }, { "DataField", T::Text }, { "InitialParent", T::Text } } },
        { "RadioButton", RadioButton::DesignTypes(), [] { return std::make_shared<RadioButton>(); },
            { { "TabIndex", T::Integer }, { "TabStop", T::Boolean }, { "Enabled", T::Boolean }, { "Visible", T::Boolean },
                { "HelpTag", T::Text }, { "AutoDeactivate", T::Boolean }, { "TextFont", T::Text }, { "Bold", T::Boolean },
                { "Italic", T::Boolean }, { "Underline", T::Boolean }, { "Value", T::Boolean }, { "InitialParent", T::Text } } },
        { "CheckBox", CheckBox::DesignTypes(), [] { return std::make_shared<CheckBox>(); },
            { { "TabIndex", T::Integer }, { "TabStop", T::Boolean }, { "Enabled", T::Boolean }, { "Visible", T::Boolean },
                { "HelpTag", T::Text }, { "AutoDeactivate", T::Boolean }, { "TextFont", T::Text }, { "Bold", T::Boolean },
                { "Italic", T::Boolean }, { "Underline", T::Boolean }, { "State", T::Integer }, { "Value", T::Boolean },
                { "DataSource", T::Text }, { "DataField", T::Text }, { "InitialParent", T::Text } } },
        { "Slider", Slider::DesignTypes(), [] { return std::make_shared<Slider>(); },
            { { "TabIndex", T::Integer }, { "TabStop", T::Boolean }, { "Enabled", T::Boolean }, { "Visible", T::Boolean },
                { "HelpTag", T::Text }, { "AutoDeactivate", T::Boolean }, { "Minimum", T::Integer }, { "Value", T::Integer },
                { "Maximum", T::Integer }, { "LineStep", T::Integer }, { "PageStep", T::Integer }, { "LiveScroll", T::Boolean },
                { "TickStyle", T::Integer }, { "InitialParent", T::Text } } },
        { "PushButton", PushButton::DesignTypes(), [] { return std::make_shared<PushButton>(); },
            { { "TabIndex", T::Integer }, { "TabStop", T::Boolean }, { "Default", T::Boolean }, { "Cancel", T::Boolean },
                { "Enabled", T::Boolean }, { "Visible", T::Boolean }, { "HelpTag", T::Text }, { "AutoDeactivate", T::Boolean },
                { "ButtonStyle", T::Integer }, { "TextFont", T::Text }, { "Bold", T::Boolean }, { "Italic", T::Boolean },
                { "Underline", T::Boolean }, { "InitialParent", T::Text } } },
        { "ProgressBar", ProgressBar::DesignTypes(), [] { return std::make_shared<ProgressBar>(); },
            { { "Visible", T::Boolean }, { "HelpTag", T::Text }, { "AutoDeactivate", T::Boolean }, { "Enabled", T::Boolean },
                { "Value", T::Integer }, { "Maximum", T::Integer }, { "InitialParent", T::Text } } },
        { "DisclosureTriangle", DisclosureTriangle::DesignTypes(), [] { return std::make_shared<DisclosureTriangle>(); },
            { { "TabIndex", T::Integer }, { "TabStop", T::Boolean }, { "InitialParent", T::Text }, { "Visible", T::Boolean },
                { "HelpTag", T::Text }, { "AutoDeactivate", T::Boolean }, { "Enabled", T::Boolean }, { "Value", T::Boolean },
                { "Facing", T::Integer }, { "AcceptFocus", T::Boolean } } },
        { "Separator", Separator::DesignTypes(), [] { return std::make_shared<Separator>(); },
            { { "TabIndex", T::Integer }, { "TabStop", T::Boolean }, { "InitialParent", T::Text }, { "Visible", T::Boolean },
                { "HelpTag", T::Text }, { "AutoDeactivate", T::Boolean }, { "Enabled", T::Boolean } } },
        { "HTMLViewer", HTMLViewer::DesignTypes(), [] { return std::make_shared<HTMLViewer>(); },
            { { "TabIndex", T::Integer }, { "TabStop", T::Boolean }, { "Enabled", T::Boolean }, { "Visible", T::Boolean },
                { "HelpTag", T::Text }, { "AutoDeactivate", T::Boolean }, { "InitialParent", T::Text } } },
    };
}

// A neutral value of each type: one that every setter takes on a control outside any window.
void addNeutral(DesignList& list, const Property& p)
{
    switch (p.type) {
    case T::Integer:
        list.Integer(p.name, String(p.name) == "Index" ? kNoIndex : 0);
        break;
    case T::Boolean:
        list.Boolean(p.name, String(p.name) == "Visible" || String(p.name) == "Enabled");
        break;
    case T::Color:
        list.Colour(p.name, Color { 0, 0, 0 });
        break;
    case T::Text:
        list.Text(p.name, String(p.name) == "Name" ? "Member" : "");
        break;
    }
}

TEST(DesignPropertiesTest, EveryClassTakesTheHeadAndItsOwnEntries)
{
    for (const ClassCase& c : classCases()) {
        SCOPED_TRACE(c.className);
        DesignList list(c.types);
        for (const Property& p : kHead)
            addNeutral(list, p);
        for (const Property& p : c.entries)
            addNeutral(list, p);
        auto control = c.make();
        EXPECT_NO_THROW(control->SetProperties(list));
        EXPECT_EQ(control->Name(), "Member");
        EXPECT_EQ(control->Index(), kNoIndex);
    }
}

TEST(DesignPropertiesTest, UnknownOrMistypedNamesAreRejectedWhereTheListIsBuilt)
{
    for (const ClassCase& c : classCases()) {
        SCOPED_TRACE(c.className);
        try {
            DesignList(c.types).Integer("Left", 1).Boolean("NoSuchProperty", true);
            FAIL() << "an unknown name was accepted";
        } catch (const RuntimeException& error) {
            EXPECT_NE(error.Message().find("NoSuchProperty"), std::string::npos);
        }
        EXPECT_THROW(DesignList(c.types).Text("Left", "1"), RuntimeException);
        EXPECT_THROW(DesignList(c.types).Integer("TextSize", 12), RuntimeException);
    }
    // A class's own entries do not leak into another class's list.
    EXPECT_THROW(DesignList(Separator::DesignTypes()).Boolean("Default", true), RuntimeException);
    EXPECT_THROW(DesignList(Label::DesignTypes()).Boolean("TabStop", true), RuntimeException);
}

TEST(DesignPropertiesTest, SetPropertiesRejectsABadListAndAppliesNothingOfIt)
{
    const String unknown = DesignList().Integer("Left", 40).Boolean("Sparkle", true);
    const String cutShort = String(DesignList().Integer("Left", 40).Integer("Top", 7)).substr(0, 15);
    const String noBlank = "Left";
    const String overlongText = DesignList().Text("HelpTag", "abc").Bytes().substr(0, 10) + String("\x7f\xff\xff\xff", 4);
    for (const String& bad : { unknown, cutShort, noBlank, overlongText }) {
        Label label;
        label.Left(3);
        EXPECT_THROW(label.SetProperties(bad), RuntimeException);
        EXPECT_EQ(label.Left(), 3);
    }
    auto window = std::make_shared<TestWindow>();
    EXPECT_THROW(window->SetProperties(DesignList().Integer("Width", 300).Integer("Left", 1)), RuntimeException);
}

TEST(DesignPropertiesTest, EncoderAndDecoderAgreeOnEveryType)
{
    const std::vector<DesignEntry> entries = {
        { "Index", kNoIndex }, { "Left", int32_t { -2 } }, { "Width", int32_t { 0x01020304 } }, { "Visible", true },
        { "Bold", false }, { "TextColor", Color { 0xFF, 0x00, 0x80 } }, { "Text", String("a b\r\0c", 6) },
        { "HelpTag", String() }, { "Name", String("\xC3\xA9t\xC3\xA9") },
    };
    DesignList list;
    for (const DesignEntry& e : entries) {
        std::visit(
            [&](const auto& v) {
                using V = std::decay_t<decltype(v)>;
                if constexpr (std::is_same_v<V, int32_t>)
                    list.Integer(e.name, v);
                else if constexpr (std::is_same_v<V, bool>)
                    list.Boolean(e.name, v);
                else if constexpr (std::is_same_v<V, Color>)
                    list.Colour(e.name, v);
                else
                    list.Text(e.name, v);
            },
            e.value);
    }
    auto typeOf = [&](const String& name) -> const DesignType* {
        static const std::map<String, DesignType> types = { { "Index", T::Integer }, { "Left", T::Integer },
            { "Width", T::Integer }, { "Visible", T::Boolean }, { "Bold", T::Boolean }, { "TextColor", T::Color },
            { "Text", T::Text }, { "HelpTag", T::Text }, { "Name", T::Text } };
        auto it = types.find(name);
        return it == types.end() ? nullptr : &it->second;
    };
    const auto decoded = DecodeDesignList(list, typeOf);
    ASSERT_EQ(decoded.size(), entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(decoded[i].name, entries[i].name);
        EXPECT_EQ(decoded[i].value, entries[i].value) << entries[i].name;
    }
    // The bytes themselves: name, blank, big-endian value.
    EXPECT_EQ(list.Bytes().substr(0, 10), String("Index \x80\x00\x00\x00", 10));
    EXPECT_EQ(String(DesignList().Boolean("Bold", true)), String("Bold \x01", 6));
    EXPECT_EQ(String(DesignList().Colour("C", Color { 1, 2, 3 })), String("C \x01\x02\x03", 5));
    EXPECT_EQ(String(DesignList().Text("T", "ab")), String("T \x00\x00\x00\x02" "ab", 8));
}

DesignList mainWindowList(int32_t height)
{
    return DesignList(Window::DesignTypes())
        .Integer("Placement", 0)
        .Integer("Width", 746)
        .Integer("Height", height)
        .Integer("MinWidth", 64)
        .Integer("MinHeight", 64)
        .Integer("MaxWidth", 746)
        .Integer("MaxHeight", 331)
        .Integer("Frame", 0)
        .Boolean("Composite", false)
        .Boolean("HasBackColor", false)
        .Colour("BackColor", Color { 255, 255, 255 })
        .Text("Title", "Quobly!")
        .Boolean("Visible", true)
        .Boolean("FullScreen", false)
        .Boolean("MenuBarVisible", true)
        .Boolean("CloseButton", true)
        .Boolean("Resizeable", false)
        .Boolean("LiveResize", false)
        .Boolean("MaximizeButton", false)
        .Boolean("MinimizeButton", false)
        .Integer("MacProcID", 0);
}

TEST(DesignPropertiesTest, TheMainWindowListIs274BytesAndItsHeightIsClampedToTheMaximum)
{
    const DesignList list = mainWindowList(335);
    EXPECT_EQ(list.Bytes().size(), 274u);
    auto window = std::make_shared<TestWindow>();
    window->SetProperties(list);
    EXPECT_EQ(window->Width(), 746);
    EXPECT_EQ(window->Height(), 331);
    EXPECT_EQ(window->Title(), "Quobly!");
    EXPECT_FALSE(window->Resizeable());
    EXPECT_FALSE(window->MinimizeButton());
    EXPECT_TRUE(window->CloseButton());
}

TEST(DesignPropertiesTest, AThreadListIs27BytesAndReachesTheThread)
{
    const DesignList list = DesignList(ThreadDesignTypes()).Integer("Priority", 7).Integer("StackSize", 65536);
    EXPECT_EQ(list.Bytes().size(), 27u);
    Thread thread;
    ApplyThreadDesignList(thread, list);
    EXPECT_EQ(thread.Priority(), 7);
    EXPECT_EQ(thread.StackSize(), 65536);
    EXPECT_THROW(DesignList(ThreadDesignTypes()).Integer("Left", 1), RuntimeException);
    EXPECT_THROW(ApplyThreadDesignList(thread, DesignList().Integer("Stack", 1)), RuntimeException);
}

TEST(DesignPropertiesTest, EntriesTakeEffectInTheirOrder)
{
    // Rows first, then the index that selects one of them; the other way round selects none.
    PopupMenu rowsFirst;
    rowsFirst.SetProperties(DesignList().Text("InitialValue", "JPEG\rPNG").Integer("ListIndex", 1));
    EXPECT_EQ(rowsFirst.ListIndex(), 1);
    PopupMenu indexFirst;
    indexFirst.SetProperties(DesignList().Integer("ListIndex", 1).Text("InitialValue", "JPEG\rPNG"));
    EXPECT_EQ(indexFirst.ListIndex(), -1);
    // The slider clamps to the range it has when the value arrives.
    Slider slider;
    slider.SetProperties(DesignList().Integer("Minimum", 1).Integer("Value", 80).Integer("Maximum", 100));
    EXPECT_EQ(slider.Value(), 80);
    Slider early;
    early.SetProperties(DesignList().Integer("Maximum", 50).Integer("Value", 80).Integer("Maximum", 100));
    EXPECT_EQ(early.Value(), 50);
}

} // namespace
