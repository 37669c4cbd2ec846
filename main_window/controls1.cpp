// Members 31 to 36 of the main window: Go, the progress bar, the engine instance, the status line
// and the settings pane's triangle and separator. As in the first half, each member's handler is
// bound last, after its design values.
#include "main_window/design_lists.h"
#include "main_window/main.h"
#include "strings/loc.h"

void Main::CreateControls1()
{
    // Go is the window's default button from the start, while it is still disabled.
    AddControl("PBGo", New<PushButton>());
    {
        auto c = PBGo();
        c->Caption(loc::buttongo());
        c->TextSize(12);
        c->TextUnit(0);
        c->SetProperties(design::PushButtonList(
            { .name = "PBGo", .left = 272, .top = 51, .width = 84, .height = 20, .tabIndex = 5, .enabled = false },
            true, false));
        c->OnAction = [this](PushButton& sender) { PBGo_Action(sender); };
    }

    AddControl("PB", New<ProgressBar>());
    PB()->SetProperties(design::ProgressBarList({ .name = "PB", .left = 13, .top = 56, .width = 247, .height = 12 }, 0, 100));

    // The engine instance has no place on screen; its run is bound by its own class.
    AddControl("threadrun1", New<Main::threadrun1_>());
    ApplyThreadDesignList(*threadrun1(), design::ThreadList(5, 0));

    AddControl("STStatus", New<Label>());
    {
        auto c = STStatus();
        c->TextSize(12);
        c->TextUnit(0);
        c->SetProperties(design::LabelList(
            { .name = "STStatus", .left = 13, .top = 77, .width = 343, .height = 20, .tabIndex = 8 },
            { .text = "", .align = 1, .transparent = false, .italic = true }));
    }

    AddControl("DTSettings", New<DisclosureTriangle>());
    {
        auto c = DTSettings();
        c->SetProperties(design::DisclosureTriangleList(
            { .name = "DTSettings", .left = 16, .top = 103, .width = 12, .height = 12, .tabIndex = 9 }, true, 0, false));
        c->OnAction = [this](DisclosureTriangle& sender) { DTSettings_Action(sender); };
    }

    AddControl("Separator1", New<Separator>());
    Separator1()->SetProperties(
        design::SeparatorList({ .name = "Separator1", .left = 34, .top = 105, .width = 322, .height = 4, .tabIndex = 10 }));
}
