// The credits window.
#include "shell/credits.h"

#include "framework/gui/runtime.h"
#include "strings/loc.h"

namespace {

const String kEmail = QUOBLY_EMAIL;
const String kWebsite = QUOBLY_WEBSITE;

} // namespace

Credits::Credits()
{
    OnMouseDown = [this](int32_t x, int32_t y) { return Event_MouseDown(x, y); };
}

Ref<StaticText> Credits::StaticText1() { return ControlByName("StaticText1").As<StaticText>(); }
Ref<StaticText> Credits::stemail() { return ControlByName("stemail").As<StaticText>(); }
Ref<StaticText> Credits::StaticText5() { return ControlByName("StaticText5").As<StaticText>(); }
Ref<Label> Credits::Label1() { return ControlByName("Label1").As<Label>(); }
Ref<Label> Credits::Label2() { return ControlByName("Label2").As<Label>(); }
Ref<Label> Credits::Label3() { return ControlByName("Label3").As<Label>(); }

String Credits::EmailLink()
{
    return "mailto:" + kEmail;
}

String Credits::WebLink()
{
    return kWebsite;
}

void Credits::Layout()
{
    Title(loc::aboutquobly());
    SetProperties(DesignListOf(kDesign));
    // A secondary window: Escape and Ctrl+W close it, as such windows do on Linux desktops.
    ClosesByKeyboard(true);
}

void Credits::CreateControls()
{
    CreateControls0();
}

// The six text controls in creation order. The three static texts carry their texts, the same
// in every language, as design values; the three labels take theirs from the translation in
// use when the window is made.
std::span<const MemberRow<Credits>> Credits::Members()
{
    const DesignFont arial { .textFont = "Arial" };
    const Label::Design fixed { .textAlign = 1, .multiline = true, .transparent = false, .font = arial };
    const Label::Design credit { .textAlign = 0, .multiline = false, .transparent = false, .font = arial };
    auto withText = [](Label::Design design, const String& text) {
        design.text = text;
        return design;
    };
    const String product = String("Quobly! ") + QUOBLY_VERSION + "\r\r\r" + QUOBLY_AUTHOR;
    static const MemberRow<Credits> members[] = {
        { "StaticText1", kNoIndex, Class<StaticText>, { .left = 4, .top = 13, .width = 183, .height = 44, .tabIndex = 0 },
            nullptr, { .size = 12 }, withText(fixed, product) },
        { "stemail", kNoIndex, Class<StaticText>, { .left = 4, .top = 69, .width = 183, .height = 14, .tabIndex = 5 },
            nullptr, { .size = 12 }, withText(fixed, kEmail), { { &StaticText::OnMouseDown, &Credits::stemail_MouseDown } } },
        { "StaticText5", kNoIndex, Class<StaticText>, { .left = 4, .top = 84, .width = 183, .height = 12, .tabIndex = 6 },
            nullptr, { .size = 12 }, withText(fixed, kWebsite),
            { { &StaticText::OnMouseDown, &Credits::StaticText5_MouseDown } } },
        { "Label1", kNoIndex, Class<Label>,
            { .left = 12, .top = 144, .width = 151, .height = 20, .lockLeft = true, .lockTop = true, .tabIndex = 7 },
            loc::credittranslation, { .size = 12, .unit = 0 }, credit },
        { "Label2", kNoIndex, Class<Label>,
            { .left = 12, .top = 159, .width = 151, .height = 20, .lockLeft = true, .lockTop = true, .tabIndex = 8 },
            loc::creditgerman, { .size = 12, .unit = 0 }, credit },
        { "Label3", kNoIndex, Class<Label>,
            { .left = 12, .top = 174, .width = 167, .height = 20, .lockLeft = true, .lockTop = true, .tabIndex = 9 },
            loc::creditspanish, { .size = 12, .unit = 0 }, credit },
    };
    return members;
}

void Credits::CreateControls0()
{
    CreateMembers(*this, Members());
}

bool Credits::stemail_MouseDown(StaticText&, int32_t, int32_t)
{
    ShowURL(EmailLink());
    return true;
}

bool Credits::StaticText5_MouseDown(StaticText&, int32_t, int32_t)
{
    ShowURL(WebLink());
    return true;
}

bool Credits::Event_MouseDown(int32_t, int32_t)
{
    Close();
    return false;
}
