#include "framework/gui/window.h"

// The window's own design-property list: no head, one entry per window property.
struct WindowDesign {
    static const DesignTable<Window>& table()
    {
        static const DesignTable<Window> t = [] {
            DesignTable<Window> t;
            t.Add("Width", &Window::Width)
                .Add("Height", &Window::Height)
                .Add("MinWidth", &Window::MinWidth)
                .Add("MinHeight", &Window::MinHeight)
                .Add("MaxWidth", &Window::MaxWidth)
                .Add("MaxHeight", &Window::MaxHeight)
                .Add("Title", &Window::Title)
                .Add("Visible", &Window::Visible)
                .Add("MenuBarVisible", &Window::MenuBarVisible)
                .Add("CloseButton", &Window::CloseButton)
                .Add("Resizeable", &Window::Resizeable)
                .Add("MaximizeButton", &Window::MaximizeButton)
                .Add("MinimizeButton", &Window::MinimizeButton)
                .Add("FullScreen", &Window::fullScreen)
                .Add("HasBackColor", &Window::hasBackColor)
                .Add("BackColor", &Window::backColor);
            // The window manager places new windows and draws every frame kind alike; windows are
            // always drawn whole and resized live where the platform does so.
            t.Accept<int32_t>("Placement").Accept<int32_t>("Frame").Accept<int32_t>("MacProcID");
            t.Accept<bool>("Composite").Accept<bool>("LiveResize");
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
    ApplyDesignList(WindowDesign::table(), *this, designList);
}

DesignTypeOf Window::DesignTypes()
{
    return WindowDesign::table().Types();
}

String Window::DesignListOf(const Design& design)
{
    DesignList list(DesignTypes());
    list.Integer("Placement", 0)
        .Integer("Width", design.width)
        .Integer("Height", design.height)
        .Integer("MinWidth", design.minWidth)
        .Integer("MinHeight", design.minHeight)
        .Integer("MaxWidth", design.maxWidth)
        .Integer("MaxHeight", design.maxHeight)
        .Integer("Frame", design.frame)
        .Boolean("Composite", design.composite)
        .Boolean("HasBackColor", false)
        .Colour("BackColor", RGB(255, 255, 255));
    if (design.title)
        list.Text("Title", *design.title);
    list.Boolean("Visible", true)
        .Boolean("FullScreen", false)
        .Boolean("MenuBarVisible", true)
        .Boolean("CloseButton", true)
        .Boolean("Resizeable", design.resizeable)
        .Boolean("LiveResize", false)
        .Boolean("MaximizeButton", design.maximizeButton)
        .Boolean("MinimizeButton", design.minimizeButton)
        .Integer("MacProcID", 0);
    return list.Bytes();
}
