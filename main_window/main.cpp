// The main window's building hooks and control accessors.
#include "main_window/main.h"

#include "engine/threadrun.h"
#include "framework/core/exceptions.h"
#include "shell/menu.h"
#include "strings/loc.h"

Main::Main()
{
    OnOpen = [this] { Event_Open(); };
    OnClose = [this] { Event_Close(); };
    OnDropObject = [this](DragItem& item, int32_t action) { Event_DropObject(item, action); };
    OnEnableMenuItems = [this] { Event_EnableMenuItems(); };
}

void Main::Layout()
{
    // The main window and the application share the one menu bar object.
    MenuBar(Menu::instance());
    SetProperties(DesignListOf(kDesign));
}

void Main::CreateControls()
{
    CreateControls0();
    CreateControls1();
}

// Each accessor asks the window again: none keeps its control.
Ref<GroupBox> Main::GroupBox1() { return ControlByName("GroupBox1").As<GroupBox>(); }
Ref<Label> Main::StaticText1() { return ControlByName("StaticText1").As<Label>(); }
Ref<EditField> Main::EFPSize() { return ControlByName("EFPSize").As<EditField>(); }
Ref<Label> Main::StaticText3() { return ControlByName("StaticText3").As<Label>(); }
Ref<PopupMenu> Main::PMPType() { return ControlByName("PMPType").As<PopupMenu>(); }
Ref<EditField> Main::EFIWidth() { return ControlByName("EFIWidth").As<EditField>(); }
Ref<PopupMenu> Main::PMIWidth() { return ControlByName("PMIWidth").As<PopupMenu>(); }
Ref<Label> Main::StaticText4() { return ControlByName("StaticText4").As<Label>(); }
Ref<EditField> Main::EFIHeight() { return ControlByName("EFIHeight").As<EditField>(); }
Ref<PopupMenu> Main::PMIHeight() { return ControlByName("PMIHeight").As<PopupMenu>(); }
Ref<Label> Main::StaticText6() { return ControlByName("StaticText6").As<Label>(); }
Ref<EditField> Main::EFBWidth() { return ControlByName("EFBWidth").As<EditField>(); }
Ref<Label> Main::StaticText7() { return ControlByName("StaticText7").As<Label>(); }
Ref<EditField> Main::EFBHeight() { return ControlByName("EFBHeight").As<EditField>(); }
Ref<RadioButton> Main::RBType(int32_t index) { return ControlByNameIndex("RBType", index).As<RadioButton>(); }
Ref<GroupBox> Main::GroupBox2() { return ControlByName("GroupBox2").As<GroupBox>(); }
Ref<CheckBox> Main::CBIncrease() { return ControlByName("CBIncrease").As<CheckBox>(); }
Ref<Label> Main::STJPEGQuality() { return ControlByName("STJPEGQuality").As<Label>(); }
Ref<PopupMenu> Main::PMQuality() { return ControlByName("PMQuality").As<PopupMenu>(); }
Ref<Slider> Main::SLQuality() { return ControlByName("SLQuality").As<Slider>(); }
Ref<Label> Main::STQuality() { return ControlByName("STQuality").As<Label>(); }
Ref<CheckBox> Main::CBName() { return ControlByName("CBName").As<CheckBox>(); }
Ref<CheckBox> Main::CBDos() { return ControlByName("CBDos").As<CheckBox>(); }
Ref<Label> Main::StaticText51() { return ControlByName("StaticText51").As<Label>(); }
Ref<PopupMenu> Main::PMExportFormat() { return ControlByName("PMExportFormat").As<PopupMenu>(); }
Ref<Label> Main::StaticText2() { return ControlByName("StaticText2").As<Label>(); }
Ref<Label> Main::STFolder() { return ControlByName("STFolder").As<Label>(); }
Ref<PushButton> Main::PBSelect() { return ControlByName("PBSelect").As<PushButton>(); }
Ref<PushButton> Main::PBGo() { return ControlByName("PBGo").As<PushButton>(); }
Ref<ProgressBar> Main::PB() { return ControlByName("PB").As<ProgressBar>(); }
Ref<threadrun> Main::threadrun1() { return ControlByName("threadrun1").As<threadrun>(); }
Ref<Label> Main::STStatus() { return ControlByName("STStatus").As<Label>(); }
Ref<DisclosureTriangle> Main::DTSettings() { return ControlByName("DTSettings").As<DisclosureTriangle>(); }
Ref<Separator> Main::Separator1() { return ControlByName("Separator1").As<Separator>(); }

Main::RBType_::RBType_(int32_t index)
{
    // The index comes first: it is what tells the members apart.
    Index(index);
}

Main::RBType_::RBType_()
    : m_inImageOfFirst(true)
{
    FindMember(Members0(), "RBType", 0).Dress(*this);
}

void Main::RBType_::Joining(::Window& window)
{
    if (m_inImageOfFirst && !dynamic_cast<Main*>(&window))
        throw NilObjectException("A mode button belongs to a main window.");
}

void Main::RBType_::Joined(::Window& window)
{
    if (!m_inImageOfFirst)
        return;
    // Its design values selected it before it joined the other mode buttons; selecting it
    // again among them deselects the one that was, while no handler is bound yet.
    if (Value()) {
        Value(false);
        Value(true);
    }
    OnAction = [](RadioButton& sender) { sender.Window().As<Main>()->RBType_Action(sender); };
    Index(0);
    window.AddControl("RBType", 0, Ref<WindowMember>(shared_from_this()));
}
