#include "framework/gui/qt_convert.h"
#include "framework/gui/window.h"

// The window's own design-property list: no head, one entry per window property.
struct WindowDesign {
    static const DesignTable<Window>& table()
    {
        static const DesignTable<Window> t = [] {
            using T = DesignType;
            auto ignored = [](Window&, const DesignValue&) {};
            DesignTable<Window> t;
            t.Add("Width", T::Integer, [](Window& w, const DesignValue& v) { w.Width(designInt(v)); });
            t.Add("Height", T::Integer, [](Window& w, const DesignValue& v) { w.Height(designInt(v)); });
            t.Add("MinWidth", T::Integer, [](Window& w, const DesignValue& v) { w.MinWidth(designInt(v)); });
            t.Add("MinHeight", T::Integer, [](Window& w, const DesignValue& v) { w.MinHeight(designInt(v)); });
            t.Add("MaxWidth", T::Integer, [](Window& w, const DesignValue& v) { w.MaxWidth(designInt(v)); });
            t.Add("MaxHeight", T::Integer, [](Window& w, const DesignValue& v) { w.MaxHeight(designInt(v)); });
            t.Add("Title", T::Text, [](Window& w, const DesignValue& v) { w.Title(designText(v)); });
            t.Add("Visible", T::Boolean, [](Window& w, const DesignValue& v) { w.Visible(designBool(v)); });
            t.Add("MenuBarVisible", T::Boolean, [](Window& w, const DesignValue& v) { w.MenuBarVisible(designBool(v)); });
            t.Add("CloseButton", T::Boolean, [](Window& w, const DesignValue& v) { w.CloseButton(designBool(v)); });
            t.Add("Resizeable", T::Boolean, [](Window& w, const DesignValue& v) { w.Resizeable(designBool(v)); });
            t.Add("MaximizeButton", T::Boolean, [](Window& w, const DesignValue& v) { w.MaximizeButton(designBool(v)); });
            t.Add("MinimizeButton", T::Boolean, [](Window& w, const DesignValue& v) { w.MinimizeButton(designBool(v)); });
            t.Add("FullScreen", T::Boolean, [](Window& w, const DesignValue& v) { w.m_fullScreen = designBool(v); });
            t.Add("HasBackColor", T::Boolean, [](Window& w, const DesignValue& v) {
                w.m_hasBackColor = designBool(v);
                w.applyBackColor();
            });
            t.Add("BackColor", T::Color, [](Window& w, const DesignValue& v) {
                w.m_backColor = designColour(v);
                w.applyBackColor();
            });
            // The window manager places new windows and draws every frame kind alike; windows are
            // always drawn whole and resized live where the platform does so.
            t.Add("Placement", T::Integer, ignored);
            t.Add("Frame", T::Integer, ignored);
            t.Add("MacProcID", T::Integer, ignored);
            t.Add("Composite", T::Boolean, ignored);
            t.Add("LiveResize", T::Boolean, ignored);
            return t;
        }();
        return t;
    }
};

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
