#pragma once

#include "framework/gui/implicit_window.h"
#include "framework/gui/label.h"
#include "framework/gui/member_table.h"
#include "framework/gui/static_text.h"

#include <span>

// The credits window: product, version, author, links and translators. A click on a link hands
// it to the system; a click anywhere else closes the window.
class Credits : public ImplicitWindow<Credits> {
public:
    static constexpr const char* kClassName = "Credits.Credits";

    Credits();

    // The window's own design values; the title is set in code.
    inline static const Window::Design kDesign { .width = 191, .height = 203, .frame = 2 };

    // The controls, in creation order.
    static std::span<const MemberRow<Credits>> Members();

    Ref<StaticText> StaticText1();
    Ref<StaticText> stemail();
    Ref<StaticText> StaticText5();
    Ref<Label> Label1();
    Ref<Label> Label2();
    Ref<Label> Label3();

    bool stemail_MouseDown(StaticText& sender, int32_t x, int32_t y);
    bool StaticText5_MouseDown(StaticText& sender, int32_t x, int32_t y);
    bool Event_MouseDown(int32_t x, int32_t y);

    // The fixed links handed to the system.
    static String EmailLink();
    static String WebLink();

protected:
    void Layout() override;
    void CreateControls() override;

private:
    void CreateControls0();
};
