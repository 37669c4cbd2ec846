#pragma once

#include "framework/gui/design_properties.h"
#include "framework/core/text.h"

#include <optional>

// Builders of the main window's design-property lists. Each takes what is particular to one
// member and fills in the values that every member of its class shares, entry by entry in the
// order its class reads them. Every list is typed by its class's own property table, so a name
// the class does not have fails where the list is built.
namespace design {

// What each visual member's list says about its place and its parent.
struct Head {
    String name {};
    int32_t index { kNoIndex };
    int32_t left { 0 }, top { 0 }, width { 0 }, height { 0 };
    bool lockLeft { false }, lockTop { false };
    int32_t tabIndex { 0 };
    // The group box that holds the member, "" for the window.
    String parent {};
    bool enabled { true };
};

struct LabelLook {
    // Only the labels whose text is a design value carry one.
    std::optional<String> text {};
    // 0 left, 1 centre, 2 right.
    int32_t align { 0 };
    bool transparent { true };
    bool italic { false };
};

struct SliderRange {
    int32_t minimum { 0 }, value { 0 }, maximum { 100 };
    int32_t lineStep { 1 }, pageStep { 20 };
    bool liveScroll { true };
    int32_t tickStyle { 0 };
};

String WindowList();
String GroupBoxList(const Head& head);
String LabelList(const Head& head, const LabelLook& look = {});
String EditFieldList(const Head& head);
// `rows` (carriage-return separated) only for a popup whose rows are design values.
String PopupMenuList(const Head& head, int32_t listIndex, const std::optional<String>& rows = {});
String RadioButtonList(const Head& head, bool value);
String CheckBoxList(const Head& head);
String SliderList(const Head& head, const SliderRange& range);
String PushButtonList(const Head& head, bool isDefault, bool isCancel);
String ProgressBarList(const Head& head, int32_t value, int32_t maximum);
String DisclosureTriangleList(const Head& head, bool value, int32_t facing, bool acceptFocus);
String SeparatorList(const Head& head);

// The list of member `index` (0 to 2) of the radio-button array RBType; member 0 is the
// selected one.
String RBTypeList(int32_t index);

// A thread's list holds no head: only Priority and StackSize.
String ThreadList(int32_t priority, int32_t stackSize);

} // namespace design
