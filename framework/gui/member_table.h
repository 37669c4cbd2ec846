#pragma once

// A window's members as data: one row per member, in creation order, and the one builder that
// makes each of them in the same sequence of steps.

#include "framework/gui/control_table.h"
#include "framework/core/exceptions.h"
#include "framework/core/thread.h"
#include "framework/gui/window.h"

#include <functional>
#include <optional>
#include <span>
#include <type_traits>
#include <vector>

// The class column of a row.
template<class C>
struct ClassTag {
};
template<class C>
inline constexpr ClassTag<C> Class {};

// The text size and unit a member is given in code, before its design list; either may be left
// at the framework's default.
struct TextSizing {
    std::optional<float> size {};
    std::optional<int32_t> unit {};
};

// One binding made after the member's design list, so that no design value reaches a handler.
template<class W>
class MemberEvent {
public:
    // The control's event hook to the window's handler, which receives the sending control and
    // the event's own arguments.
    template<class C, class R, class... A>
    MemberEvent(std::function<R(C&, A...)> C::*hook, R (W::*handler)(C&, A...))
        : m_bind([hook, handler](W& window, WindowMember& member) {
            W* owner = &window;
            dynamic_cast<C&>(member).*hook = [owner, handler](C& sender, A... args) {
                return (owner->*handler)(sender, args...);
            };
        })
    {
    }
    // A menu item routed to one of the control's own actions while it has the focus.
    template<class C>
    MemberEvent(const char* itemName, bool (C::*action)())
        : m_bind([name = String(itemName), action](W&, WindowMember& member) {
            // A raw pointer: the control owns its menu handlers, so a reference would keep it
            // alive for ever.
            C* control = &dynamic_cast<C&>(member);
            control->AddMenuHandler(name, [control, action] { return (control->*action)(); });
        })
    {
    }

    void Bind(W& window, WindowMember& member) const { m_bind(window, member); }

private:
    std::function<void(W&, WindowMember&)> m_bind;
};

template<class W>
class MemberRow {
public:
    // A visual member: its name (and index in its control array), its class, the head of its
    // design list, the localized text it is given in code (nil for none), its text size and
    // unit, its class's own design values, and its events.
    template<class C>
        requires std::is_base_of_v<RectControl, C>
    MemberRow(String name, int32_t index, ClassTag<C>, DesignHead head, String (*text)(), TextSizing sizing,
        typename C::Design design = {}, std::vector<MemberEvent<W>> events = {})
        : m_name(std::move(name))
        , m_index(index)
        , m_events(std::move(events))
    {
        head.name = m_name;
        head.index = m_index;
        m_designList = C::DesignListOf(head, design);
        m_make = make<C>();
        m_dress = [text, sizing, list = m_designList](WindowMember& member) {
            auto& control = dynamic_cast<C&>(member);
            if (text)
                setText(control, text());
            if (sizing.size)
                control.TextSize(*sizing.size);
            if (sizing.unit)
                control.TextUnit(*sizing.unit);
            control.SetProperties(list);
        };
    }
    // A member without a place on screen: a thread and its design values.
    template<class C>
        requires std::is_base_of_v<Thread, C>
    MemberRow(String name, ClassTag<C>, Thread::Design design)
        : m_name(std::move(name))
        , m_designList(ThreadDesignList(design))
    {
        m_make = make<C>();
        m_dress = [list = m_designList](WindowMember& member) { ApplyThreadDesignList(dynamic_cast<C&>(member), list); };
    }

    const String& Name() const { return m_name; }
    int32_t Index() const { return m_index; }
    // The packed design-property list the member is given.
    const String& DesignList() const { return m_designList; }

    // Makes the member on the window, each step finished before the next: a new instance (an
    // array member's constructor takes its index), its registration, then, on the member found
    // again by its name, its text, text size and unit, its design list, and its events.
    void Create(W& window) const
    {
        Ref<WindowMember> made = m_make(window, m_index);
        if (m_index == kNoIndex)
            window.AddControl(m_name, made);
        else
            window.AddControl(m_name, m_index, made);
        Ref<WindowMember> member = m_index == kNoIndex ? window.ControlByName(m_name)
                                                       : window.ControlByNameIndex(m_name, m_index);
        m_dress(*member);
        for (const MemberEvent<W>& event : m_events)
            event.Bind(window, *member);
    }
    // The text, text size and unit and design list of this member, given to a control made
    // elsewhere in its image.
    void Dress(WindowMember& control) const { m_dress(control); }

private:
    template<class C>
    static std::function<Ref<WindowMember>(W&, int32_t)> make()
    {
        return [](W& window, int32_t index) -> Ref<WindowMember> {
            if constexpr (std::is_constructible_v<C, int32_t>) {
                if (index != kNoIndex)
                    return window.template New<C>(index);
            }
            return window.template New<C>();
        };
    }
    // The property that a class's localized text goes to.
    template<class C>
    static void setText(C& control, const String& text)
    {
        if constexpr (requires { control.Caption(text); })
            control.Caption(text);
        else if constexpr (requires { control.InitialValue(text); })
            control.InitialValue(text);
        else if constexpr (requires { control.Text(text); })
            control.Text(text);
        else
            throw RuntimeException("The member \"" + control.Name() + "\" shows no text");
    }

    String m_name;
    int32_t m_index { kNoIndex };
    String m_designList;
    std::function<Ref<WindowMember>(W&, int32_t)> m_make;
    std::function<void(WindowMember&)> m_dress;
    std::vector<MemberEvent<W>> m_events;
};

// Makes the members in the order of their table.
template<class W>
void CreateMembers(W& window, std::span<const MemberRow<W>> members)
{
    for (const MemberRow<W>& member : members)
        member.Create(window);
}

// The row of that name and index; raises OutOfBoundsException when the table has none.
template<class W>
const MemberRow<W>& FindMember(std::span<const MemberRow<W>> members, const String& name, int32_t index = kNoIndex)
{
    for (const MemberRow<W>& member : members) {
        if (member.Name() == name && member.Index() == index)
            return member;
    }
    throw OutOfBoundsException("No member \"" + name + "\" in the table");
}
