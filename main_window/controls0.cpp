// Members 1 to 30 of the main window: the resizing box, the export box and the folder row.
// Each member is made, registered, given its texts and text size, then its design values, and
// only then bound to its handler: the design values raise change events, and the handlers reach
// controls that do not exist yet.
#include "main_window/design_lists.h"
#include "main_window/main.h"
#include "strings/loc.h"

using design::Head;

void Main::CreateControls0()
{
    AddControl("GroupBox1", New<GroupBox>());
    {
        auto c = GroupBox1();
        c->Caption(loc::resizesettings());
        c->TextSize(12);
        c->TextUnit(0);
        c->SetProperties(design::GroupBoxList(
            { .name = "GroupBox1", .left = 368, .top = 4, .width = 365, .height = 311, .tabIndex = 0 }));
    }

    AddControl("StaticText1", New<Label>());
    {
        auto c = StaticText1();
        c->Text(loc::sizewanted());
        c->TextSize(12);
        c->TextUnit(0);
        c->SetProperties(design::LabelList({ .name = "StaticText1", .left = 410, .top = 70, .width = 89,
            .height = 16, .lockTop = true, .tabIndex = 0, .parent = "GroupBox1" }));
    }

    AddControl("EFPSize", New<EditField>());
    {
        auto c = EFPSize();
        c->TextSize(12);
        c->SetProperties(design::EditFieldList({ .name = "EFPSize", .left = 512, .top = 67, .width = 44,
            .height = 22, .lockTop = true, .tabIndex = 1, .parent = "GroupBox1" }));
        c->OnTextChange = [this](EditField& sender) { EFPSize_TextChange(sender); };
    }

    AddControl("StaticText3", New<Label>());
    {
        auto c = StaticText3();
        c->Text(loc::dimwidth());
        c->TextSize(12);
        c->TextUnit(0);
        c->SetProperties(design::LabelList({ .name = "StaticText3", .left = 410, .top = 242, .width = 92,
            .height = 16, .lockTop = true, .tabIndex = 2, .parent = "GroupBox1" }));
    }

    AddControl("PMPType", New<PopupMenu>());
    {
        auto c = PMPType();
        c->InitialValue(loc::sizewantedmenu());
        c->TextSize(12);
        c->TextUnit(0);
        c->SetProperties(design::PopupMenuList({ .name = "PMPType", .left = 569, .top = 67, .width = 146,
            .height = 21, .lockTop = true, .tabIndex = 3, .parent = "GroupBox1" }, 0));
    }

    AddControl("EFIWidth", New<EditField>());
    {
        auto c = EFIWidth();
        c->TextSize(12);
        c->SetProperties(design::EditFieldList({ .name = "EFIWidth", .left = 511, .top = 239, .width = 45,
            .height = 22, .lockTop = true, .tabIndex = 4, .parent = "GroupBox1", .enabled = false }));
        c->OnTextChange = [this](EditField& sender) { EFIWidth_TextChange(sender); };
    }

    AddControl("PMIWidth", New<PopupMenu>());
    {
        auto c = PMIWidth();
        c->InitialValue(loc::menuindependant());
        c->TextSize(12);
        c->TextUnit(0);
        c->SetProperties(design::PopupMenuList({ .name = "PMIWidth", .left = 568, .top = 238, .width = 146,
            .height = 21, .lockTop = true, .tabIndex = 5, .parent = "GroupBox1", .enabled = false }, 0));
    }

    AddControl("StaticText4", New<Label>());
    {
        auto c = StaticText4();
        c->Text(loc::dimheight());
        c->TextSize(12);
        c->TextUnit(0);
        c->SetProperties(design::LabelList({ .name = "StaticText4", .left = 410, .top = 273, .width = 92,
            .height = 16, .lockTop = true, .tabIndex = 6, .parent = "GroupBox1" }));
    }

    AddControl("EFIHeight", New<EditField>());
    {
        auto c = EFIHeight();
        c->TextSize(12);
        c->SetProperties(design::EditFieldList({ .name = "EFIHeight", .left = 511, .top = 270, .width = 45,
            .height = 22, .lockTop = true, .tabIndex = 7, .parent = "GroupBox1", .enabled = false }));
        c->OnTextChange = [this](EditField& sender) { EFIHeight_TextChange(sender); };
    }

    AddControl("PMIHeight", New<PopupMenu>());
    {
        auto c = PMIHeight();
        c->InitialValue(loc::menuindependant());
        c->TextSize(12);
        c->TextUnit(0);
        c->SetProperties(design::PopupMenuList({ .name = "PMIHeight", .left = 568, .top = 271, .width = 146,
            .height = 18, .lockTop = true, .tabIndex = 8, .parent = "GroupBox1", .enabled = false }, 0));
    }

    AddControl("StaticText6", New<Label>());
    {
        auto c = StaticText6();
        c->Text(loc::boxmaxwidth());
        c->TextSize(12);
        c->TextUnit(0);
        c->SetProperties(design::LabelList({ .name = "StaticText6", .left = 411, .top = 141, .width = 198,
            .height = 16, .lockTop = true, .tabIndex = 9, .parent = "GroupBox1" }));
    }

    AddControl("EFBWidth", New<EditField>());
    {
        auto c = EFBWidth();
        c->TextSize(12);
        c->SetProperties(design::EditFieldList({ .name = "EFBWidth", .left = 634, .top = 140, .width = 80,
            .height = 22, .lockTop = true, .tabIndex = 10, .parent = "GroupBox1", .enabled = false }));
        c->OnTextChange = [this](EditField& sender) { EFBWidth_TextChange(sender); };
    }

    AddControl("StaticText7", New<Label>());
    {
        auto c = StaticText7();
        c->Text(loc::boxmaxheight());
        c->TextSize(12);
        c->TextUnit(0);
        c->SetProperties(design::LabelList({ .name = "StaticText7", .left = 411, .top = 172, .width = 198,
            .height = 16, .lockTop = true, .tabIndex = 11, .parent = "GroupBox1" }));
    }

    AddControl("EFBHeight", New<EditField>());
    {
        auto c = EFBHeight();
        c->TextSize(12);
        c->SetProperties(design::EditFieldList({ .name = "EFBHeight", .left = 634, .top = 171, .width = 80,
            .height = 22, .lockTop = true, .tabIndex = 12, .parent = "GroupBox1", .enabled = false }));
        c->OnTextChange = [this](EditField& sender) { EFBHeight_TextChange(sender); };
    }

    // The three mode buttons share one name and one handler; the handler tells them apart by
    // their index.
    const String captions[] = { loc::proportional(), loc::independant(), loc::boxresizing() };
    for (int32_t index = 0; index < 3; ++index) {
        AddControl("RBType", index, New<Main::RBType_>(index));
        auto c = RBType(index);
        c->Caption(captions[index]);
        c->TextSize(12);
        c->TextUnit(0);
        c->SetProperties(design::RBTypeList(index));
        c->OnAction = [this](RadioButton& sender) { RBType_Action(sender); };
    }

    AddControl("GroupBox2", New<GroupBox>());
    {
        auto c = GroupBox2();
        c->Caption(loc::exportsettings());
        c->TextSize(12);
        c->TextUnit(0);
        c->SetProperties(design::GroupBoxList(
            { .name = "GroupBox2", .left = 13, .top = 117, .width = 343, .height = 198, .tabIndex = 1 }));
    }

    AddControl("CBIncrease", New<CheckBox>());
    {
        auto c = CBIncrease();
        c->Caption(loc::increase());
        c->TextSize(12);
        c->TextUnit(0);
        c->SetProperties(design::CheckBoxList({ .name = "CBIncrease", .left = 25, .top = 228, .width = 316,
            .height = 20, .lockTop = true, .tabIndex = 0, .parent = "GroupBox2" }));
    }

    AddControl("STJPEGQuality", New<Label>());
    {
        auto c = STJPEGQuality();
        c->Text(loc::jpegquality());
        c->TextSize(12);
        c->TextUnit(0);
        c->SetProperties(design::LabelList({ .name = "STJPEGQuality", .left = 25, .top = 170, .width = 162,
            .height = 20, .lockTop = true, .tabIndex = 1, .parent = "GroupBox2" }));
    }

    // The quality popup and the export popup keep the framework's default text size.
    AddControl("PMQuality", New<PopupMenu>());
    {
        auto c = PMQuality();
        c->InitialValue(loc::jpegqualitymenu());
        c->TextUnit(0);
        c->SetProperties(design::PopupMenuList({ .name = "PMQuality", .left = 194, .top = 172, .width = 147,
            .height = 20, .lockTop = true, .tabIndex = 2, .parent = "GroupBox2" }, 1));
        c->OnChange = [this](PopupMenu& sender) { PMQuality_Change(sender); };
    }

    AddControl("SLQuality", New<Slider>());
    {
        auto c = SLQuality();
        c->SetProperties(design::SliderList({ .name = "SLQuality", .left = 24, .top = 203, .width = 289,
            .height = 15, .lockTop = true, .tabIndex = 3, .parent = "GroupBox2" },
            { .minimum = 1, .value = 80, .maximum = 100, .lineStep = 1, .pageStep = 20, .liveScroll = true,
                .tickStyle = 0 }));
        c->OnValueChanged = [this](Slider& sender) { SLQuality_ValueChanged(sender); };
    }

    AddControl("STQuality", New<Label>());
    {
        auto c = STQuality();
        c->TextSize(12);
        c->TextUnit(0);
        c->SetProperties(design::LabelList({ .name = "STQuality", .left = 306, .top = 198, .width = 35,
            .height = 20, .lockTop = true, .tabIndex = 4, .parent = "GroupBox2" },
            { .text = "80", .align = 2, .transparent = false }));
    }

    AddControl("CBName", New<CheckBox>());
    {
        auto c = CBName();
        c->Caption(loc::makenameswebready());
        c->TextSize(12);
        c->TextUnit(0);
        c->SetProperties(design::CheckBoxList({ .name = "CBName", .left = 24, .top = 260, .width = 316,
            .height = 20, .lockTop = true, .tabIndex = 5, .parent = "GroupBox2" }));
        c->OnAction = [this](CheckBox& sender) { CBName_Action(sender); };
    }

    AddControl("CBDos", New<CheckBox>());
    {
        auto c = CBDos();
        c->Caption(loc::dosformat());
        c->TextSize(12);
        c->TextUnit(0);
        c->SetProperties(design::CheckBoxList({ .name = "CBDos", .left = 52, .top = 284, .width = 288,
            .height = 20, .lockTop = true, .tabIndex = 6, .parent = "GroupBox2", .enabled = false }));
    }

    AddControl("StaticText51", New<Label>());
    {
        auto c = StaticText51();
        c->Text(loc::exportformat());
        c->TextSize(12);
        c->TextUnit(0);
        c->SetProperties(design::LabelList({ .name = "StaticText51", .left = 24, .top = 141, .width = 162,
            .height = 20, .lockTop = true, .tabIndex = 7, .parent = "GroupBox2" }));
    }

    // The format names are the same in every language, so its rows are design values.
    AddControl("PMExportFormat", New<PopupMenu>());
    {
        auto c = PMExportFormat();
        c->TextUnit(0);
        c->SetProperties(design::PopupMenuList({ .name = "PMExportFormat", .left = 194, .top = 141,
            .width = 146, .height = 20, .lockLeft = true, .lockTop = true, .tabIndex = 8,
            .parent = "GroupBox2" }, 0, String("JPEG") + kRowSeparator + "PNG"));
        c->OnChange = [this](PopupMenu& sender) { PMExportFormat_Change(sender); };
    }

    AddControl("StaticText2", New<Label>());
    {
        auto c = StaticText2();
        c->Text(loc::folder());
        c->TextSize(12);
        c->TextUnit(0);
        c->SetProperties(design::LabelList(
            { .name = "StaticText2", .left = 13, .top = 16, .width = 60, .height = 16, .lockTop = true, .tabIndex = 2 }));
    }

    AddControl("STFolder", New<Label>());
    {
        auto c = STFolder();
        c->Text(loc::nofolderselected());
        c->TextSize(12);
        c->TextUnit(0);
        c->SetProperties(design::LabelList(
            { .name = "STFolder", .left = 85, .top = 16, .width = 175, .height = 16, .lockTop = true, .tabIndex = 3 }));
    }

    AddControl("PBSelect", New<PushButton>());
    {
        auto c = PBSelect();
        c->Caption(loc::buttonselect());
        c->TextSize(12);
        c->TextUnit(0);
        c->SetProperties(design::PushButtonList(
            { .name = "PBSelect", .left = 272, .top = 14, .width = 84, .height = 20, .lockTop = true, .tabIndex = 4 },
            false, false));
        c->OnAction = [this](PushButton& sender) { PBSelect_Action(sender); };
    }
}
