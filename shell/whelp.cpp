// The help window: the help pages in a viewer, with an index button and a jump-to list.
#include "shell/whelp.h"

#include "framework/gui/runtime.h"
#include "strings/loc.h"

WHelp::WHelp()
    : afile(1)
{
    OnOpen = [this] { Event_Open(); };
}

Ref<Label> WHelp::StaticText1() { return ControlByName("StaticText1").As<Label>(); }
Ref<PushButton> WHelp::PBIndex() { return ControlByName("PBIndex").As<PushButton>(); }
Ref<PopupMenu> WHelp::PMJumpTo() { return ControlByName("PMJumpTo").As<PopupMenu>(); }
Ref<HTMLViewer> WHelp::hvMain() { return ControlByName("hvMain").As<HTMLViewer>(); }

void WHelp::Layout()
{
    Title(loc::helptitle());
    SetProperties(DesignListOf(kDesign));
    // A secondary window: Escape and Ctrl+W close it, as such windows do on Linux desktops.
    ClosesByKeyboard(true);
}

void WHelp::CreateControls()
{
    CreateControls0();
}

// The controls in creation order; the three above the viewer get their text size in code, and
// only the button's text comes from the localized table.
std::span<const MemberRow<WHelp>> WHelp::Members()
{
    constexpr TextSizing k12 { .size = 12, .unit = 0 };
    static const MemberRow<WHelp> members[] = {
        { "StaticText1", kNoIndex, Class<Label>, { .left = 127, .top = 13, .width = 61, .height = 20, .tabIndex = 1 },
            nullptr, k12, { .text = "Jump to:" } },
        { "PBIndex", kNoIndex, Class<PushButton>, { .left = 20, .top = 14, .width = 95, .height = 20, .tabIndex = 2 },
            loc::helpindex, k12, { .isDefault = false, .isCancel = false },
            { { &PushButton::OnAction, &WHelp::PBIndex_Action } } },
        { "PMJumpTo", kNoIndex, Class<PopupMenu>, { .left = 200, .top = 14, .width = 204, .height = 20, .tabIndex = 3 },
            nullptr, k12, { .initialValue = "", .listIndex = 0 }, { { &PopupMenu::OnChange, &WHelp::PMJumpTo_Change } } },
        // Locked to all four edges: the viewer grows with the window. The edit items reach the
        // viewer's own actions.
        { "hvMain", kNoIndex, Class<HTMLViewer>,
            { .left = 20, .top = 46, .width = 595, .height = 450, .lockLeft = true, .lockTop = true, .lockRight = true,
                .lockBottom = true, .tabIndex = 0 },
            nullptr, {}, {},
            { { "EditClear", &HTMLViewer::EditClear_Action }, { "EditCopy", &HTMLViewer::EditCopy_Action },
                { "EditCut", &HTMLViewer::EditCut_Action }, { "EditPaste", &HTMLViewer::EditPaste_Action },
                { "EditSelectAll", &HTMLViewer::EditSelectAll_Action },
                { &HTMLViewer::OnDocumentBegin, &WHelp::hvMain_DocumentBegin },
                { &HTMLViewer::OnCancelLoad, &WHelp::hvMain_CancelLoad } } },
    };
    return members;
}

void WHelp::CreateControls0()
{
    CreateMembers(*this, Members());
}

void WHelp::PBIndex_Action(PushButton&)
{
    showfile("index");
}

void WHelp::PMJumpTo_Change(PopupMenu& sender)
{
    const int32_t i = sender.ListIndex();
    if (i >= 0 && i <= static_cast<int32_t>(afile.size()) - 1)
        showfile(afile[static_cast<size_t>(i)]);
}

void WHelp::hvMain_DocumentBegin(HTMLViewer&, const String&)
{
    // No topic stays selected, so choosing the same one again is again a change.
    PMJumpTo()->ListIndex(-1);
}

bool WHelp::hvMain_CancelLoad(HTMLViewer&, const String& url)
{
    const bool external = TextEquals(Left(url, 7), "http://")
        || TextEquals(Left(url, 8), "https://")
        || TextEquals(Left(url, 7), "mailto:");
    if (!external)
        return false;
    ShowURL(url);
    return true;
}

void WHelp::Event_Open()
{
    // Each link of the chain may be nil; the window then opens with an empty viewer instead of
    // ending the application.
    const Ref<FolderItem> applicationFolder = GetFolderItem("");
    const Ref<FolderItem> data = applicationFolder ? applicationFolder->Child("data") : nullptr;
    basef = data ? data->Child("help" + loc::lang()) : nullptr;
    createfilemenu();
    showfile("index");
}

void WHelp::showfile(const String& page)
{
    if (!basef)
        return;
    hvMain()->LoadPage(basef->Child(page + ".html"));
}

void WHelp::createfilemenu()
{
    PMJumpTo()->DeleteAllRows();
    afile.resize(1);
    PMJumpTo()->AddRow(loc::helphistoric());
    afile[0] = "historic";
    PMJumpTo()->AddRow(loc::helpresizesettings());
    afile.push_back("resizing");
    PMJumpTo()->AddRow(loc::helpexportsettings());
    afile.push_back("exportation");
    PMJumpTo()->AddRow(loc::helpfaq());
    afile.push_back("faq");
}
