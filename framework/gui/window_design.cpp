// The window's own design-property list: no head, one entry per window property, in the order the
// lists carry them.
#include "framework/gui/window.h"

#include "framework/gui/design_table.h"

// The window manager places new windows and draws every frame kind alike; windows are always
// drawn whole and resized live where the platform does so: those entries change nothing here.
struct WindowDesign {
    using Design = Window::Design;

    static const DesignTable<Window, Design>& table()
    {
        static const DesignTable<Window, Design> t = [] {
            DesignTable<Window, Design> t;
            t.Accept<int32_t>("Placement", 0)
                .Add("Width", &Window::Width, &Design::width)
                .Add("Height", &Window::Height, &Design::height)
                .Add("MinWidth", &Window::MinWidth, &Design::minWidth)
                .Add("MinHeight", &Window::MinHeight, &Design::minHeight)
                .Add("MaxWidth", &Window::MaxWidth, &Design::maxWidth)
                .Add("MaxHeight", &Window::MaxHeight, &Design::maxHeight)
                .Accept<int32_t>("Frame", &Design::frame)
                .Accept<bool>("Composite", &Design::composite)
                .Add("HasBackColor", &Window::hasBackColor, false)
                .Add("BackColor", &Window::backColor, RGB(255, 255, 255))
                .Add("Title", &Window::Title, &Design::title)
                .Add("Visible", &Window::Visible, true)
                .Add("FullScreen", &Window::fullScreen, false)
                .Add("MenuBarVisible", &Window::MenuBarVisible, true)
                .Add("CloseButton", &Window::CloseButton, true)
                .Add("Resizeable", &Window::Resizeable, &Design::resizeable)
                .Accept<bool>("LiveResize", false)
                .Add("MaximizeButton", &Window::MaximizeButton, &Design::maximizeButton)
                .Add("MinimizeButton", &Window::MinimizeButton, &Design::minimizeButton)
                .Accept<int32_t>("MacProcID", 0);
            return t;
        }();
        return t;
    }
};

void Window::fullScreen(bool value)
{
    m_fullScreen = value;
}

void Window::hasBackColor(bool value)
{
    m_hasBackColor = value;
    applyBackColor();
}

void Window::backColor(Color value)
{
    m_backColor = value;
    applyBackColor();
}

void Window::SetProperties(const String& designList)
{
    WindowDesign::table().Apply(*this, designList);
}

DesignTypeOf Window::DesignTypes()
{
    return WindowDesign::table().Types();
}

String Window::DesignListOf(const Design& design)
{
    return WindowDesign::table().ListOf(design);
}
