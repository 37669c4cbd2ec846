// Members 31 to 36 of the main window, in creation order: Go, the progress bar, the engine
// instance, the status line and the settings pane's triangle and separator. As in the first
// half, each member's handler is bound last, after its design values.
#include "main_window/main.h"
#include "main_window/threadrun1.h"
#include "strings/loc.h"

std::span<const MemberRow<Main>> Main::Members1()
{
    static const MemberRow<Main> members[] = {
        // Go is the window's default button from the start, while it is still disabled.
        { "PBGo", kNoIndex, Class<PushButton>,
            { .left = 272, .top = 51, .width = 84, .height = 20, .tabIndex = 5, .enabled = false },
            loc::buttongo, { .size = 12, .unit = 0 }, { .isDefault = true, .isCancel = false },
            { { &PushButton::OnAction, &Main::PBGo_Action } } },
        { "PB", kNoIndex, Class<ProgressBar>, { .left = 13, .top = 56, .width = 247, .height = 12 },
            nullptr, {}, { .value = 0, .maximum = 100 } },
        // The engine instance has no place on screen; its run is bound by its own class.
        { "threadrun1", Class<Main::threadrun1_>, { .priority = 5, .stackSize = 0 } },
        { "STStatus", kNoIndex, Class<Label>, { .left = 13, .top = 77, .width = 343, .height = 20, .tabIndex = 8 },
            nullptr, { .size = 12, .unit = 0 },
            { .text = "", .textAlign = 1, .transparent = false, .font = { .italic = true } } },
        { "DTSettings", kNoIndex, Class<DisclosureTriangle>,
            { .left = 16, .top = 103, .width = 12, .height = 12, .tabIndex = 9 },
            nullptr, {}, { .value = true, .facing = 0, .acceptFocus = false },
            { { &DisclosureTriangle::OnAction, &Main::DTSettings_Action } } },
        { "Separator1", kNoIndex, Class<Separator>,
            { .left = 34, .top = 105, .width = 322, .height = 4, .tabIndex = 10 }, nullptr, {} },
    };
    return members;
}

void Main::CreateControls1()
{
    CreateMembers(*this, Members1());
    nameForScreenReaders();
}

// Fields and popups are named by the labels before them; these three stand without one. The
// slider takes its label's text without the colon, the progress bar the status line's words
// before the picture numbers, the triangle the two boxes it shows and hides.
void Main::nameForScreenReaders()
{
    String quality = loc::jpegquality();
    while (!quality.empty() && (quality.back() == ':' || quality.back() == ' '))
        quality.pop_back();
    SLQuality()->AccessibleName(quality);
    String processing = loc::theadprocessing();
    processing = processing.substr(0, processing.find("<0>"));
    while (!processing.empty() && processing.back() == ' ')
        processing.pop_back();
    PB()->AccessibleName(processing.empty() ? loc::theadprocessing() : processing);
    DTSettings()->AccessibleName(loc::resizesettings() + ", " + loc::exportsettings());
}
