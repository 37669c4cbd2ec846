#include "main_window/design_lists.h"

#include "framework/gui/check_box.h"
#include "framework/gui/disclosure_triangle.h"
#include "framework/gui/edit_field.h"
#include "framework/core/exceptions.h"
#include "framework/gui/group_box.h"
#include "framework/gui/label.h"
#include "framework/gui/popup_menu.h"
#include "framework/gui/progress_bar.h"
#include "framework/gui/push_button.h"
#include "framework/gui/radio_button.h"
#include "framework/gui/separator.h"
#include "framework/gui/slider.h"
#include "framework/gui/window.h"

namespace design {

namespace {

constexpr Color kBlack { 0, 0, 0 };
constexpr Color kWhite { 255, 255, 255 };

// The entries every visual member's list begins with. No member is locked right or bottom, so a
// change of the window's size moves and stretches nothing.
DesignList& head(DesignList& list, const Head& h)
{
    return list.ControlHead({ h.name, h.index, h.left, h.top, h.width, h.height, h.lockLeft, h.lockTop, false, false });
}

// Shown, no help tag, deactivated with its window.
DesignList& presence(DesignList& list)
{
    return list.Boolean("Visible", true).Text("HelpTag", "").Boolean("AutoDeactivate", true);
}

DesignList& font(DesignList& list, bool italic = false)
{
    return list.Text("TextFont", "System")
        .Boolean("Bold", false)
        .Boolean("Italic", italic)
        .Boolean("Underline", false);
}

// No data binding.
DesignList& binding(DesignList& list)
{
    return list.Text("DataSource", "").Text("DataField", "");
}

} // namespace

String WindowList()
{
    // The design height lies above the maximum height; the settings pane sets the real size as
    // soon as the window opens.
    return Window::DesignListOf({ .width = 746,
        .height = 335,
        .maxWidth = 746,
        .maxHeight = 331,
        .title = String("Quobly!"),
        .resizeable = false,
        .maximizeButton = false,
        .minimizeButton = false });
}

String GroupBoxList(const Head& h)
{
    DesignList list(GroupBox::DesignTypes());
    head(list, h).Integer("TabIndex", h.tabIndex).Boolean("Enabled", h.enabled);
    presence(list);
    font(list).Text("InitialParent", h.parent);
    return list.Bytes();
}

String LabelList(const Head& h, const LabelLook& look)
{
    DesignList list(Label::DesignTypes());
    head(list, h).Integer("TabIndex", h.tabIndex);
    if (look.text)
        list.Text("Text", *look.text);
    list.Integer("TextAlign", look.align)
        .Colour("TextColor", kBlack)
        .Boolean("Multiline", false)
        .Boolean("Enabled", h.enabled)
        .Boolean("Visible", true)
        .Boolean("Selectable", false)
        .Boolean("Transparent", look.transparent)
        .Text("HelpTag", "")
        .Boolean("AutoDeactivate", true);
    font(list, look.italic);
    binding(list).Text("InitialParent", h.parent);
    return list.Bytes();
}

String EditFieldList(const Head& h)
{
    DesignList list(EditField::DesignTypes());
    head(list, h)
        .Integer("TabIndex", h.tabIndex)
        .Boolean("TabStop", true)
        .Boolean("Border", true)
        .Boolean("Multiline", false)
        .Boolean("ScrollbarHorizontal", false)
        .Boolean("ScrollbarVertical", true)
        .Boolean("Styled", false)
        .Boolean("Password", false)
        .Boolean("UseFocusRing", true)
        .Colour("TextColor", kBlack)
        .Colour("BackColor", kWhite)
        .Boolean("Enabled", h.enabled)
        .Text("Format", "");
    presence(list);
    font(list)
        .Text("Text", "")
        .Text("Mask", "")
        .Boolean("ReadOnly", false)
        .Integer("LimitText", 0)
        .Boolean("AcceptTabs", false)
        .Integer("Alignment", 0);
    binding(list).Text("InitialParent", h.parent);
    return list.Bytes();
}

String PopupMenuList(const Head& h, int32_t listIndex, const std::optional<String>& rows)
{
    DesignList list(PopupMenu::DesignTypes());
    head(list, h).Integer("TabIndex", h.tabIndex).Boolean("TabStop", true).Boolean("Enabled", h.enabled);
    // The rows stand before the index that selects one of them.
    if (rows)
        list.Text("InitialValue", *rows);
    list.Integer("ListIndex", listIndex);
    presence(list);
    font(list);
    binding(list).Text("InitialParent", h.parent);
    return list.Bytes();
}

String RadioButtonList(const Head& h, bool value)
{
    DesignList list(RadioButton::DesignTypes());
    head(list, h).Integer("TabIndex", h.tabIndex).Boolean("TabStop", true).Boolean("Enabled", h.enabled);
    presence(list);
    font(list).Boolean("Value", value).Text("InitialParent", h.parent);
    return list.Bytes();
}

String CheckBoxList(const Head& h)
{
    DesignList list(CheckBox::DesignTypes());
    head(list, h).Integer("TabIndex", h.tabIndex).Boolean("TabStop", true).Boolean("Enabled", h.enabled);
    presence(list);
    font(list).Integer("State", 0).Boolean("Value", false);
    binding(list).Text("InitialParent", h.parent);
    return list.Bytes();
}

String SliderList(const Head& h, const SliderRange& range)
{
    DesignList list(Slider::DesignTypes());
    head(list, h).Integer("TabIndex", h.tabIndex).Boolean("TabStop", true).Boolean("Enabled", h.enabled);
    presence(list)
        .Integer("Minimum", range.minimum)
        .Integer("Value", range.value)
        .Integer("Maximum", range.maximum)
        .Integer("LineStep", range.lineStep)
        .Integer("PageStep", range.pageStep)
        .Boolean("LiveScroll", range.liveScroll)
        .Integer("TickStyle", range.tickStyle)
        .Text("InitialParent", h.parent);
    return list.Bytes();
}

String PushButtonList(const Head& h, bool isDefault, bool isCancel)
{
    DesignList list(PushButton::DesignTypes());
    head(list, h)
        .Integer("TabIndex", h.tabIndex)
        .Boolean("TabStop", true)
        .Boolean("Default", isDefault)
        .Boolean("Cancel", isCancel)
        .Boolean("Enabled", h.enabled);
    presence(list).Integer("ButtonStyle", 0);
    font(list).Text("InitialParent", h.parent);
    return list.Bytes();
}

String ProgressBarList(const Head& h, int32_t value, int32_t maximum)
{
    // A progress bar takes no focus, so its list has no tab index.
    DesignList list(ProgressBar::DesignTypes());
    head(list, h);
    presence(list)
        .Boolean("Enabled", h.enabled)
        .Integer("Value", value)
        .Integer("Maximum", maximum)
        .Text("InitialParent", h.parent);
    return list.Bytes();
}

String DisclosureTriangleList(const Head& h, bool value, int32_t facing, bool acceptFocus)
{
    DesignList list(DisclosureTriangle::DesignTypes());
    head(list, h).Integer("TabIndex", h.tabIndex).Boolean("TabStop", true).Text("InitialParent", h.parent);
    presence(list)
        .Boolean("Enabled", h.enabled)
        .Boolean("Value", value)
        .Integer("Facing", facing)
        .Boolean("AcceptFocus", acceptFocus);
    return list.Bytes();
}

String SeparatorList(const Head& h)
{
    DesignList list(Separator::DesignTypes());
    head(list, h).Integer("TabIndex", h.tabIndex).Boolean("TabStop", true).Text("InitialParent", h.parent);
    presence(list).Boolean("Enabled", h.enabled);
    return list.Bytes();
}

String RBTypeList(int32_t index)
{
    // On screen the modes run proportional, box, independent; the index order is the mode's.
    static const Head kMembers[] = {
        { .name = "RBType", .index = 0, .left = 382, .top = 38, .width = 280, .height = 20,
            .tabIndex = 13, .parent = "GroupBox1" },
        { .name = "RBType", .index = 1, .left = 382, .top = 207, .width = 292, .height = 19,
            .tabIndex = 14, .parent = "GroupBox1" },
        { .name = "RBType", .index = 2, .left = 381, .top = 109, .width = 281, .height = 19,
            .tabIndex = 15, .parent = "GroupBox1" },
    };
    if (index < 0 || index > 2)
        throw OutOfBoundsException("RBType has the members 0 to 2");
    return RadioButtonList(kMembers[index], index == 0);
}

String ThreadList(int32_t priority, int32_t stackSize)
{
    return DesignList(ThreadDesignTypes()).Integer("Priority", priority).Integer("StackSize", stackSize).Bytes();
}

} // namespace design
