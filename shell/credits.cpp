#include "shell/credits.h"

#include "framework/gui/runtime.h"
#include "strings/loc.h"

namespace {

// Shared by all six controls: Arial, plain, black, not selectable, opaque, enabled and visible.
struct TextControlPlace {
    const char* name;
    int32_t left, top, width, height, tabIndex;
};

DesignList textControlList(const DesignTypeOf& types, const TextControlPlace& place, bool lockLeftTop,
    int32_t textAlign, bool multiline, bool tabStop, const String* text)
{
    DesignList list(types);
    list.ControlHead({ place.name, kNoIndex, place.left, place.top, place.width, place.height, lockLeftTop, lockLeftTop,
            false, false })
        .Integer("TabIndex", place.tabIndex);
    if (tabStop)
        list.Boolean("TabStop", true);
    if (text)
        list.Text("Text", *text);
    list.Integer("TextAlign", textAlign)
        .Colour("TextColor", RGB(0, 0, 0))
        .Boolean("Multiline", multiline)
        .Boolean("Enabled", true)
        .Boolean("Visible", true)
        .Boolean("Selectable", false)
        .Boolean("Transparent", false)
        .Text("HelpTag", "")
        .Boolean("AutoDeactivate", true)
        .Text("TextFont", "Arial")
        .Boolean("Bold", false)
        .Boolean("Italic", false)
        .Boolean("Underline", false)
        .Text("DataSource", "")
        .Text("DataField", "")
        .Text("InitialParent", "");
    return list;
}

const String kEmail = QUOBLY_EMAIL;
const String kWebsite = QUOBLY_WEBSITE;

} // namespace

Ref<Credits> Credits::instance()
{
    return ImplicitInstance<Credits>(kClassName);
}

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
    SetProperties(DesignListOf({ .width = 191, .height = 203, .frame = 2 }));
}

void Credits::CreateControls()
{
    CreateControls0();
}

void Credits::CreateControls0()
{
    // The three lines of the product, the author and the links are the same in every language.
    const String product = String("Quobly! ") + QUOBLY_VERSION + "\r\r\r" + QUOBLY_AUTHOR;
    struct Fixed {
        TextControlPlace place;
        String text;
    };
    const Fixed fixed[] = {
        { { "StaticText1", 4, 13, 183, 44, 0 }, product },
        { { "stemail", 4, 69, 183, 14, 5 }, kEmail },
        { { "StaticText5", 4, 84, 183, 12, 6 }, kWebsite },
    };
    for (const auto& entry : fixed) {
        AddControl(entry.place.name, New<StaticText>());
        auto control = ControlByName(entry.place.name).As<StaticText>();
        control->TextSize(12);
        control->SetProperties(textControlList(StaticText::DesignTypes(), entry.place, false, 1, true, true, &entry.text));
        if (entry.place.name == String("stemail"))
            control->OnMouseDown = [this](StaticText& sender, int32_t x, int32_t y) { return stemail_MouseDown(sender, x, y); };
        else if (entry.place.name == String("StaticText5"))
            control->OnMouseDown = [this](StaticText& sender, int32_t x, int32_t y) { return StaticText5_MouseDown(sender, x, y); };
    }

    // The translators' lines come from the translation in use when the window is made.
    struct Credit {
        TextControlPlace place;
        String (*text)();
    };
    const Credit credits[] = {
        { { "Label1", 12, 144, 151, 20, 7 }, loc::credittranslation },
        { { "Label2", 12, 159, 151, 20, 8 }, loc::creditgerman },
        { { "Label3", 12, 174, 167, 20, 9 }, loc::creditspanish },
    };
    for (const auto& entry : credits) {
        AddControl(entry.place.name, New<Label>());
        auto control = ControlByName(entry.place.name).As<Label>();
        control->Text(entry.text());
        control->TextSize(12);
        control->TextUnit(0);
        control->SetProperties(textControlList(Label::DesignTypes(), entry.place, true, 0, false, false, nullptr));
    }
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
