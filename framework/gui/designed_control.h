#pragma once

// The property plumbing that every control class shares, written once: its table (the head,
// then what the class declares in its static `DeclareProperties`), built once; applying a list
// by it; building a member's list from it; and the class's Qt widget by its own type.

#include "framework/gui/control_table.h"

template<class Self, class QtWidget, class Base = RectControl>
class DesignedControl : public Base {
public:
    // The type lookup for lists built in code.
    static DesignTypeOf DesignTypes() { return table().Table().Types(); }
    // The packed list of a member with this head and these design values, every entry in the
    // class's order.
    template<class S = Self>
    static String DesignListOf(const DesignHead& head, const typename S::Design& design)
    {
        return table().Table().ListOf({ head, design });
    }

protected:
    using Base::Base;
    void applyDesignList(const String& designList) override { table().Table().Apply(*this, designList); }
    QtWidget* widget() const { return static_cast<QtWidget*>(RectControl::Widget()); }

private:
    static const auto& table()
    {
        using Design = typename Self::Design;
        static const ControlTable<Design> t = [] {
            ControlTable<Design> t;
            Self::DeclareProperties(t);
            return t;
        }();
        return t;
    }
};
