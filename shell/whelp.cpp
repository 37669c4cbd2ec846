#include "shell/whelp.h"

#include "framework/gui/runtime.h"
#include "strings/loc.h"

namespace {

// The head that every control's design list begins with.
DesignList head(const DesignTypeOf& types, const String& name, int32_t left, int32_t top,
    int32_t width, int32_t height, bool lockAll)
{
    DesignList list(types);
    list.ControlHead({ name, kNoIndex, left, top, width, height, lockAll, lockAll, lockAll, lockAll });
    return list;
}

// The fixed "System" font, plain, shared by the three controls above the viewer.
void plainSystemFont(DesignList& list)
{
    list.Text("TextFont", "System").Boolean("Bold", false).Boolean("Italic", false).Boolean("Underline", false);
}

} // namespace

Ref<WHelp> WHelp::instance()
{
    return ImplicitInstance<WHelp>(kClassName);
}

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
    SetProperties(DesignListOf({ .width = 635, .height = 516, .composite = true }));
}

void WHelp::CreateControls()
{
    CreateControls0();
}

void WHelp::CreateControls0()
{
    AddControl("StaticText1", New<Label>());
    StaticText1()->TextSize(12);
    StaticText1()->TextUnit(0);
    {
        auto list = head(Label::DesignTypes(), "StaticText1", 127, 13, 61, 20, false);
        list.Integer("TabIndex", 1)
            .Text("Text", "Jump to:")
            .Integer("TextAlign", 0)
            .Colour("TextColor", RGB(0, 0, 0))
            .Boolean("Multiline", false)
            .Boolean("Enabled", true)
            .Boolean("Visible", true)
            .Boolean("Selectable", false)
            .Boolean("Transparent", true)
            .Text("HelpTag", "")
            .Boolean("AutoDeactivate", true);
        plainSystemFont(list);
        list.Text("DataSource", "").Text("DataField", "").Text("InitialParent", "");
        StaticText1()->SetProperties(list);
    }

    AddControl("PBIndex", New<PushButton>());
    PBIndex()->Caption(loc::helpindex());
    PBIndex()->TextSize(12);
    PBIndex()->TextUnit(0);
    {
        auto list = head(PushButton::DesignTypes(), "PBIndex", 20, 14, 95, 20, false);
        list.Integer("TabIndex", 2)
            .Boolean("TabStop", true)
            .Boolean("Default", false)
            .Boolean("Cancel", false)
            .Boolean("Enabled", true)
            .Boolean("Visible", true)
            .Text("HelpTag", "")
            .Boolean("AutoDeactivate", true)
            .Integer("ButtonStyle", 0);
        plainSystemFont(list);
        list.Text("InitialParent", "");
        PBIndex()->SetProperties(list);
    }
    PBIndex()->OnAction = [this](PushButton& sender) { PBIndex_Action(sender); };

    AddControl("PMJumpTo", New<PopupMenu>());
    PMJumpTo()->TextSize(12);
    PMJumpTo()->TextUnit(0);
    {
        auto list = head(PopupMenu::DesignTypes(), "PMJumpTo", 200, 14, 204, 20, false);
        list.Integer("TabIndex", 3)
            .Boolean("TabStop", true)
            .Boolean("Enabled", true)
            .Text("InitialValue", "")
            .Integer("ListIndex", 0)
            .Boolean("Visible", true)
            .Text("HelpTag", "")
            .Boolean("AutoDeactivate", true);
        plainSystemFont(list);
        list.Text("DataSource", "").Text("DataField", "").Text("InitialParent", "");
        PMJumpTo()->SetProperties(list);
    }
    PMJumpTo()->OnChange = [this](PopupMenu& sender) { PMJumpTo_Change(sender); };

    AddControl("hvMain", New<HTMLViewer>());
    {
        // Locked to all four edges: the viewer grows with the window.
        auto list = head(HTMLViewer::DesignTypes(), "hvMain", 20, 46, 595, 450, true);
        list.Integer("TabIndex", 0)
            .Boolean("Enabled", true)
            .Boolean("Visible", true)
            .Text("HelpTag", "")
            .Boolean("AutoDeactivate", true)
            .Text("InitialParent", "");
        hvMain()->SetProperties(list);
    }
    // A raw pointer: the viewer owns these handlers, so a reference would keep it alive forever.
    HTMLViewer* viewer = hvMain().get();
    viewer->AddMenuHandler("EditClear", [viewer] { return viewer->EditClear_Action(); });
    viewer->AddMenuHandler("EditCopy", [viewer] { return viewer->EditCopy_Action(); });
    viewer->AddMenuHandler("EditCut", [viewer] { return viewer->EditCut_Action(); });
    viewer->AddMenuHandler("EditPaste", [viewer] { return viewer->EditPaste_Action(); });
    viewer->AddMenuHandler("EditSelectAll", [viewer] { return viewer->EditSelectAll_Action(); });
    viewer->OnDocumentBegin = [this](HTMLViewer& sender, const String& url) { hvMain_DocumentBegin(sender, url); };
    viewer->OnCancelLoad = [this](HTMLViewer& sender, const String& url) { return hvMain_CancelLoad(sender, url); };
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
