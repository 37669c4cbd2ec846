#pragma once

#include "framework/gui/html_viewer.h"
#include "framework/gui/implicit_window.h"
#include "framework/gui/label.h"
#include "framework/gui/member_table.h"
#include "framework/gui/popup_menu.h"
#include "framework/gui/push_button.h"

#include <span>
#include <vector>

// The help window: the pages of the help folder in an HTML viewer, with an index button and a
// jump-to list; web and mail links go to the system.
class WHelp : public ImplicitWindow<WHelp> {
public:
    static constexpr const char* kClassName = "WHelp.WHelp";

    WHelp();

    // The window's own design values; the title is set in code.
    inline static const Window::Design kDesign { .width = 635, .height = 516, .composite = true };

    // The help folder; nil until the window opens.
    Ref<FolderItem> basef;
    // The page behind each jump-to row.
    std::vector<String> afile;

    // The controls, in creation order.
    static std::span<const MemberRow<WHelp>> Members();

    Ref<Label> StaticText1();
    Ref<PushButton> PBIndex();
    Ref<PopupMenu> PMJumpTo();
    Ref<HTMLViewer> hvMain();

    void PBIndex_Action(PushButton& sender);
    void PMJumpTo_Change(PopupMenu& sender);
    void hvMain_DocumentBegin(HTMLViewer& sender, const String& url);
    bool hvMain_CancelLoad(HTMLViewer& sender, const String& url);
    void Event_Open();

    void showfile(const String& page);
    void createfilemenu();

protected:
    void Layout() override;
    void CreateControls() override;

private:
    void CreateControls0();
};
