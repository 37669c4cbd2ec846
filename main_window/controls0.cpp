// Members 1 to 30 of the main window, in creation order: the resizing box and its members, the
// export box and its members, and the folder row. Each row is made, registered, given its text
// and text size, then its design values, and only then bound to its handler: the design values
// raise change events, and the handlers reach members that do not exist yet.
#include "main_window/main.h"
#include "strings/loc.h"

namespace {

constexpr TextSizing k12 { .size = 12, .unit = 0 };
// The edit fields keep the framework's text unit.
constexpr TextSizing k12Size { .size = 12 };
// The quality and export popups keep the framework's text size.
constexpr TextSizing kUnit0 { .unit = 0 };

} // namespace

std::span<const MemberRow<Main>> Main::Members0()
{
    static const MemberRow<Main> members[] = {
        // 1: the resizing box, on the window.
        { "GroupBox1", kNoIndex, Class<GroupBox>, { .left = 368, .top = 4, .width = 365, .height = 311, .tabIndex = 0 },
            loc::resizesettings, k12 },

        // 2 to 17: inside the resizing box, locked top but for the mode buttons.
        { "StaticText1", kNoIndex, Class<Label>,
            { .left = 410, .top = 70, .width = 89, .height = 16, .lockTop = true, .tabIndex = 0, .parent = "GroupBox1" },
            loc::sizewanted, k12 },
        { "EFPSize", kNoIndex, Class<EditField>,
            { .left = 512, .top = 67, .width = 44, .height = 22, .lockTop = true, .tabIndex = 1, .parent = "GroupBox1" },
            nullptr, k12Size, {}, { { &EditField::OnTextChange, &Main::EFPSize_TextChange } } },
        { "StaticText3", kNoIndex, Class<Label>,
            { .left = 410, .top = 242, .width = 92, .height = 16, .lockTop = true, .tabIndex = 2, .parent = "GroupBox1" },
            loc::dimwidth, k12 },
        { "PMPType", kNoIndex, Class<PopupMenu>,
            { .left = 569, .top = 67, .width = 146, .height = 21, .lockTop = true, .tabIndex = 3, .parent = "GroupBox1" },
            loc::sizewantedmenu, k12, { .listIndex = 0 } },
        { "EFIWidth", kNoIndex, Class<EditField>,
            { .left = 511, .top = 239, .width = 45, .height = 22, .lockTop = true, .tabIndex = 4, .parent = "GroupBox1",
                .enabled = false },
            nullptr, k12Size, {}, { { &EditField::OnTextChange, &Main::EFIWidth_TextChange } } },
        { "PMIWidth", kNoIndex, Class<PopupMenu>,
            { .left = 568, .top = 238, .width = 146, .height = 21, .lockTop = true, .tabIndex = 5, .parent = "GroupBox1",
                .enabled = false },
            loc::menuindependant, k12, { .listIndex = 0 } },
        { "StaticText4", kNoIndex, Class<Label>,
            { .left = 410, .top = 273, .width = 92, .height = 16, .lockTop = true, .tabIndex = 6, .parent = "GroupBox1" },
            loc::dimheight, k12 },
        { "EFIHeight", kNoIndex, Class<EditField>,
            { .left = 511, .top = 270, .width = 45, .height = 22, .lockTop = true, .tabIndex = 7, .parent = "GroupBox1",
                .enabled = false },
            nullptr, k12Size, {}, { { &EditField::OnTextChange, &Main::EFIHeight_TextChange } } },
        { "PMIHeight", kNoIndex, Class<PopupMenu>,
            { .left = 568, .top = 271, .width = 146, .height = 18, .lockTop = true, .tabIndex = 8, .parent = "GroupBox1",
                .enabled = false },
            loc::menuindependant, k12, { .listIndex = 0 } },
        { "StaticText6", kNoIndex, Class<Label>,
            { .left = 411, .top = 141, .width = 198, .height = 16, .lockTop = true, .tabIndex = 9, .parent = "GroupBox1" },
            loc::boxmaxwidth, k12 },
        { "EFBWidth", kNoIndex, Class<EditField>,
            { .left = 634, .top = 140, .width = 80, .height = 22, .lockTop = true, .tabIndex = 10, .parent = "GroupBox1",
                .enabled = false },
            nullptr, k12Size, {}, { { &EditField::OnTextChange, &Main::EFBWidth_TextChange } } },
        { "StaticText7", kNoIndex, Class<Label>,
            { .left = 411, .top = 172, .width = 198, .height = 16, .lockTop = true, .tabIndex = 11, .parent = "GroupBox1" },
            loc::boxmaxheight, k12 },
        { "EFBHeight", kNoIndex, Class<EditField>,
            { .left = 634, .top = 171, .width = 80, .height = 22, .lockTop = true, .tabIndex = 12, .parent = "GroupBox1",
                .enabled = false },
            nullptr, k12Size, {}, { { &EditField::OnTextChange, &Main::EFBHeight_TextChange } } },
        // The three mode buttons share one name and one handler, which tells them apart by their
        // index. On screen they run proportional, box, independent; the index order is the mode's.
        { "RBType", 0, Class<Main::RBType_>,
            { .left = 382, .top = 38, .width = 280, .height = 20, .tabIndex = 13, .parent = "GroupBox1" },
            loc::proportional, k12, { .value = true }, { { &RadioButton::OnAction, &Main::RBType_Action } } },
        { "RBType", 1, Class<Main::RBType_>,
            { .left = 382, .top = 207, .width = 292, .height = 19, .tabIndex = 14, .parent = "GroupBox1" },
            loc::independant, k12, { .value = false }, { { &RadioButton::OnAction, &Main::RBType_Action } } },
        { "RBType", 2, Class<Main::RBType_>,
            { .left = 381, .top = 109, .width = 281, .height = 19, .tabIndex = 15, .parent = "GroupBox1" },
            loc::boxresizing, k12, { .value = false }, { { &RadioButton::OnAction, &Main::RBType_Action } } },

        // 18: the export box, on the window.
        { "GroupBox2", kNoIndex, Class<GroupBox>, { .left = 13, .top = 117, .width = 343, .height = 198, .tabIndex = 1 },
            loc::exportsettings, k12 },

        // 19 to 27: inside the export box, all locked top.
        { "CBIncrease", kNoIndex, Class<CheckBox>,
            { .left = 25, .top = 228, .width = 316, .height = 20, .lockTop = true, .tabIndex = 0, .parent = "GroupBox2" },
            loc::increase, k12 },
        { "STJPEGQuality", kNoIndex, Class<Label>,
            { .left = 25, .top = 170, .width = 162, .height = 20, .lockTop = true, .tabIndex = 1, .parent = "GroupBox2" },
            loc::jpegquality, k12 },
        { "PMQuality", kNoIndex, Class<PopupMenu>,
            { .left = 194, .top = 172, .width = 147, .height = 20, .lockTop = true, .tabIndex = 2, .parent = "GroupBox2" },
            loc::jpegqualitymenu, kUnit0, { .listIndex = 1 }, { { &PopupMenu::OnChange, &Main::PMQuality_Change } } },
        { "SLQuality", kNoIndex, Class<Slider>,
            { .left = 24, .top = 203, .width = 289, .height = 15, .lockTop = true, .tabIndex = 3, .parent = "GroupBox2" },
            nullptr, {},
            { .minimum = 1, .value = 80, .maximum = 100, .lineStep = 1, .pageStep = 20, .liveScroll = true, .tickStyle = 0 },
            { { &Slider::OnValueChanged, &Main::SLQuality_ValueChanged } } },
        { "STQuality", kNoIndex, Class<Label>,
            { .left = 306, .top = 198, .width = 35, .height = 20, .lockTop = true, .tabIndex = 4, .parent = "GroupBox2" },
            nullptr, k12, { .text = "80", .textAlign = 2, .transparent = false } },
        { "CBName", kNoIndex, Class<CheckBox>,
            { .left = 24, .top = 260, .width = 316, .height = 20, .lockTop = true, .tabIndex = 5, .parent = "GroupBox2" },
            loc::makenameswebready, k12, {}, { { &CheckBox::OnAction, &Main::CBName_Action } } },
        { "CBDos", kNoIndex, Class<CheckBox>,
            { .left = 52, .top = 284, .width = 288, .height = 20, .lockTop = true, .tabIndex = 6, .parent = "GroupBox2",
                .enabled = false },
            loc::dosformat, k12 },
        { "StaticText51", kNoIndex, Class<Label>,
            { .left = 24, .top = 141, .width = 162, .height = 20, .lockTop = true, .tabIndex = 7, .parent = "GroupBox2" },
            loc::exportformat, k12 },
        // The format names are the same in every language, so its rows are design values.
        { "PMExportFormat", kNoIndex, Class<PopupMenu>,
            { .left = 194, .top = 141, .width = 146, .height = 20, .lockLeft = true, .lockTop = true, .tabIndex = 8,
                .parent = "GroupBox2" },
            nullptr, kUnit0, { .initialValue = String("JPEG") + kRowSeparator + "PNG", .listIndex = 0 },
            { { &PopupMenu::OnChange, &Main::PMExportFormat_Change } } },

        // 28 to 30: the folder row, on the window.
        { "StaticText2", kNoIndex, Class<Label>, { .left = 13, .top = 16, .width = 60, .height = 16, .lockTop = true, .tabIndex = 2 },
            loc::folder, k12 },
        { "STFolder", kNoIndex, Class<Label>, { .left = 85, .top = 16, .width = 175, .height = 16, .lockTop = true, .tabIndex = 3 },
            loc::nofolderselected, k12 },
        { "PBSelect", kNoIndex, Class<PushButton>, { .left = 272, .top = 14, .width = 84, .height = 20, .lockTop = true, .tabIndex = 4 },
            loc::buttonselect, k12, { .isDefault = false, .isCancel = false },
            { { &PushButton::OnAction, &Main::PBSelect_Action } } },
    };
    return members;
}

void Main::CreateControls0()
{
    CreateMembers(*this, Members0());
}
