#pragma once

#include "framework/gui/check_box.h"
#include "framework/gui/disclosure_triangle.h"
#include "framework/gui/edit_field.h"
#include "framework/gui/group_box.h"
#include "framework/gui/implicit_window.h"
#include "framework/gui/label.h"
#include "framework/gui/member_table.h"
#include "framework/gui/menu_item.h"
#include "framework/gui/popup_menu.h"
#include "framework/gui/progress_bar.h"
#include "framework/gui/push_button.h"
#include "framework/gui/radio_button.h"
#include "framework/gui/separator.h"
#include "framework/gui/slider.h"

#include <memory>
#include <span>

class threadrun;

// The main window: the one working window, where the settings, the source folder and the stop
// request live.
class Main : public ImplicitWindow<Main> {
public:
    static constexpr const char* kClassName = "Main.Main";

    // The class of the radio-button array RBType ("Main.RBType"); a member's index is its resize
    // mode. The trailing underscore keeps it apart from the accessor RBType().
    class RBType_;
    // The class of the engine instance on the window ("Main.threadrun1"), in its own header so
    // that this one needs no engine header.
    class threadrun1_;

    // Binds the window's events; building happens in Constructor.
    Main();

    // The source folder of the next or current run; nil until one is chosen.
    Ref<FolderItem> f;
    // The stop request.
    bool endthread { false };

    // The window's own design values. The design height lies above the maximum height; the
    // settings pane sets the real size as soon as the window opens.
    inline static const Window::Design kDesign { .width = 746,
        .height = 335,
        .maxWidth = 746,
        .maxHeight = 331,
        .title = "Quobly!",
        .resizeable = false,
        .maximizeButton = false,
        .minimizeButton = false };

    // The building hooks that the window's constructor runs: the menu bar and the window's
    // design values, then the 36 members.
    void Layout() override;
    void CreateControls() override;
    // Internal to building the window: called only by CreateControls, in this order, once.
    void CreateControls0();
    void CreateControls1();
    // The members that each makes, in creation order.
    static std::span<const MemberRow<Main>> Members0();
    static std::span<const MemberRow<Main>> Members1();

    // Control accessors: nil for a name (or index) the window does not have.
    Ref<GroupBox> GroupBox1();
    Ref<Label> StaticText1();
    Ref<EditField> EFPSize();
    Ref<Label> StaticText3();
    Ref<PopupMenu> PMPType();
    Ref<EditField> EFIWidth();
    Ref<PopupMenu> PMIWidth();
    Ref<Label> StaticText4();
    Ref<EditField> EFIHeight();
    Ref<PopupMenu> PMIHeight();
    Ref<Label> StaticText6();
    Ref<EditField> EFBWidth();
    Ref<Label> StaticText7();
    Ref<EditField> EFBHeight();
    Ref<RadioButton> RBType(int32_t index);
    Ref<GroupBox> GroupBox2();
    Ref<CheckBox> CBIncrease();
    Ref<Label> STJPEGQuality();
    Ref<PopupMenu> PMQuality();
    Ref<Slider> SLQuality();
    Ref<Label> STQuality();
    Ref<CheckBox> CBName();
    Ref<CheckBox> CBDos();
    Ref<Label> StaticText51();
    Ref<PopupMenu> PMExportFormat();
    Ref<Label> StaticText2();
    Ref<Label> STFolder();
    Ref<PushButton> PBSelect();
    Ref<PushButton> PBGo();
    Ref<ProgressBar> PB();
    Ref<threadrun> threadrun1();
    Ref<Label> STStatus();
    Ref<DisclosureTriangle> DTSettings();
    Ref<Separator> Separator1();

    // Control event handlers.
    void EFPSize_TextChange(EditField& sender);
    void EFIWidth_TextChange(EditField& sender);
    void EFIHeight_TextChange(EditField& sender);
    void EFBWidth_TextChange(EditField& sender);
    void EFBHeight_TextChange(EditField& sender);
    void RBType_Action(RadioButton& sender);
    void PMQuality_Change(PopupMenu& sender);
    void SLQuality_ValueChanged(Slider& sender);
    void CBName_Action(CheckBox& sender);
    void PMExportFormat_Change(PopupMenu& sender);
    void PBSelect_Action(PushButton& sender);
    void PBGo_Action(PushButton& sender);
    void DTSettings_Action(DisclosureTriangle& sender);

    // Menu-item accessors.
    Ref<MenuItem> UntitledMenu0();
    Ref<AppleMenuItem> AppleCredits();
    Ref<MenuItem> HelpHelp();
    Ref<MenuItem> UntitledMenu1();
    Ref<MenuItem> EditClear();
    Ref<MenuItem> EditPaste();
    Ref<MenuItem> EditCopy();
    Ref<MenuItem> EditCut();
    Ref<MenuItem> UntitledMenu2();
    Ref<MenuItem> EditUndo();
    Ref<MenuItem> UntitledMenu3();
    Ref<QuitMenuItem> FileQuit();
    Ref<MenuItem> UntitledMenu4();

    void AddMenuHandlers(Window& window) override;

    // Window events.
    void Event_Close();
    void Event_DropObject(DragItem& item, int32_t action);
    void Event_EnableMenuItems();
    void Event_Open();

    bool AppleCredits_Action();
    bool HelpHelp_Action();

    // Settings rules.
    void enablego();
    void checkcontrol();
    // Preferences file.
    void loadpref();
    void savepref();
    int32_t bint(bool value);
    bool ibool(int32_t value);
    // Window size by the settings pane's state.
    void checksettingsdisclosure();

private:
    // Disables the eight size controls, then enables the group of `mode` (0, 1, else 2).
    void enableModeGroup(int32_t mode);
    // True while a run is going: the engine disables Select for its length.
    bool runInProgress();
    // Names for screen readers of the members that no label names.
    void nameForScreenReaders();

    // Why the closing must leave the file behind a preferences link as it is (a file that holds
    // no record, or more than one); empty when the preferences are written as usual.
    String m_preferencesLinkKept;
};

class Main::RBType_ final : public RadioButton, public std::enable_shared_from_this<Main::RBType_> {
public:
    // The member of that index, as the window makes its three.
    explicit RBType_(int32_t index);
    // A member in the image of member 0, on a main window only. A control meets its window
    // once it has been made, so what needs the window (the check that it is a main window,
    // the handler, the registration) happens when the window takes it.
    RBType_();

protected:
    void Joining(::Window& window) override;
    void Joined(::Window& window) override;

private:
    bool m_inImageOfFirst { false };
};
