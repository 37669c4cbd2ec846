#pragma once

// A visual control class's design-list entries, in its lists' order: the head that every list
// begins with, then what the class declares, naming the entries that many classes share by an
// enum (a misspelt one does not compile) and its own by their setters.

#include "framework/gui/control.h"
#include "framework/gui/design_table.h"

#include <cstdint>
#include <type_traits>

// What a visual member's design list says about its place and its parent: the head that every
// list begins with, and the values that each class's list places where its order has them.
struct DesignHead {
    String name {};
    int32_t index { kNoIndex };
    int32_t left { 0 }, top { 0 }, width { 0 }, height { 0 };
    bool lockLeft { false }, lockTop { false }, lockRight { false }, lockBottom { false };
    int32_t tabIndex { 0 };
    // The group box that holds the member, "" for the window.
    String parent {};
    bool enabled { true };
};

// The text attributes of a list that has them.
struct DesignFont {
    String textFont { "System" };
    bool bold { false }, italic { false }, underline { false };
};

// The entries that many classes' lists share, each applied by RectControl's own setter and
// listed with the value every member here has (or the head's); their rows are in
// ControlTable::commonEntries, in this order.
enum class Common {
    TabIndex,
    TabStop,
    Enabled,
    Visible,
    HelpTag,
    // Deactivating with the window is what every widget here does; data binding does not exist.
    // These entries are accepted so that the lists stay whole.
    AutoDeactivate,
    DataSource,
    DataField,
    InitialParent,
};

// The values a member's list is built from: its head and its class's own design values.
template<class Design>
struct ControlValues : DesignHead, Design {
};

// The table of a visual control class whose own design values are `Design`: the head, then the
// entries the class declares, in its lists' order.
template<class Design>
class ControlTable {
public:
    using Values = ControlValues<Design>;

    // Name, index, place, size, the four locks and the tab panel (always 0: tab panels do not
    // exist here, so every control lies on panel 0).
    ControlTable()
    {
        m_table.Add("Name", &Control::Name, &DesignHead::name)
            .Add("Index", &Control::Index, &DesignHead::index)
            .Add("Left", &RectControl::Left, &DesignHead::left)
            .Add("Top", &RectControl::Top, &DesignHead::top)
            .Add("Width", &RectControl::Width, &DesignHead::width)
            .Add("Height", &RectControl::Height, &DesignHead::height)
            .Add("LockLeft", &RectControl::LockLeft, &DesignHead::lockLeft)
            .Add("LockTop", &RectControl::LockTop, &DesignHead::lockTop)
            .Add("LockRight", &RectControl::LockRight, &DesignHead::lockRight)
            .Add("LockBottom", &RectControl::LockBottom, &DesignHead::lockBottom)
            .template Accept<int32_t>("TabPanelIndex", 0);
    }

    // The class's own property: see DesignTable::Add.
    template<class Class, class Parameter, class From>
    ControlTable& Add(const String& name, void (Class::*setter)(Parameter), From from)
    {
        m_table.Add(name, setter, std::move(from));
        return *this;
    }
    template<class V, class From>
    ControlTable& Accept(const String& name, From from)
    {
        m_table.template Accept<V>(name, std::move(from));
        return *this;
    }
    // Shared entries, in the order given.
    template<class... More>
        requires(std::is_same_v<More, Common> && ...)
    ControlTable& Add(Common entry, More... more)
    {
        addCommon(entry);
        (addCommon(more), ...);
        return *this;
    }
    // TextFont, Bold, Italic and Underline, from the class's font.
    ControlTable& Font(DesignFont Design::*font)
    {
        m_table.Add("TextFont", &RectControl::TextFont, [font](const Values& v) { return (v.*font).textFont; })
            .Add("Bold", &RectControl::Bold, [font](const Values& v) { return (v.*font).bold; })
            .Add("Italic", &RectControl::Italic, [font](const Values& v) { return (v.*font).italic; })
            .Add("Underline", &RectControl::Underline, [font](const Values& v) { return (v.*font).underline; });
        return *this;
    }

    const DesignTable<RectControl, Values>& Table() const { return m_table; }

private:
    void addCommon(Common entry) { m_table.Take(commonEntries(), static_cast<size_t>(entry)); }

    // The shared entries, a row for each value of Common in its order.
    static const DesignTable<RectControl, Values>& commonEntries()
    {
        static const DesignTable<RectControl, Values> table = [] {
            DesignTable<RectControl, Values> t;
            t.Add("TabIndex", &RectControl::TabIndex, &DesignHead::tabIndex)
                .Add("TabStop", &RectControl::TabStop, true)
                .Add("Enabled", &RectControl::Enabled, &DesignHead::enabled)
                .Add("Visible", &RectControl::Visible, true)
                .Add("HelpTag", &RectControl::HelpTag, "")
                .template Accept<bool>("AutoDeactivate", true)
                .template Accept<String>("DataSource", "")
                .template Accept<String>("DataField", "")
                .Add("InitialParent", &RectControl::InitialParent, &DesignHead::parent);
            return t;
        }();
        return table;
    }

    DesignTable<RectControl, Values> m_table;
};
