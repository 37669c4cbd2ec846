#pragma once

// A class's design-list entries as one table, in the order its lists carry them: each entry's
// name, its type (deduced from the setter that applies it), and where a list built in code takes
// its value. Applying a list and building one both walk this one description, so the two cannot
// disagree on a name, a type or the order.

#include "framework/gui/design_properties.h"

#include <functional>
#include <map>
#include <optional>
#include <type_traits>
#include <vector>

template<class Target, class Values>
class DesignTable {
public:
    using Setter = std::function<void(Target&, const DesignValue&)>;
    // The entry's value in a list built from `Values`; nothing leaves the entry out of the list.
    using Source = std::function<std::optional<DesignValue>(const Values&)>;

    // A property applied by `setter`, whose parameter gives the entry's type; `Class` is the
    // class whose table this is or one of its bases, so the cast is always sound. `from` is
    // where a built list takes the value: a member of the values (an optional one that is empty
    // leaves the entry out), a function of them, a constant, or std::nullopt for an entry that
    // lists built here never carry.
    template<class Class, class Parameter, class From>
        requires(std::is_base_of_v<Target, Class> || std::is_base_of_v<Class, Target>)
    DesignTable& Add(const String& name, void (Class::*setter)(Parameter), From from)
    {
        using V = std::remove_cvref_t<Parameter>;
        return add(name, designTypeOf<V>(),
            [setter](Target& target, const DesignValue& v) { (static_cast<Class&>(target).*setter)(std::get<V>(v)); },
            sourceOf<V>(std::move(from)));
    }
    // An entry the list carries but that changes nothing here; `V` is its type.
    template<class V, class From>
    DesignTable& Accept(const String& name, From from)
    {
        return add(name, designTypeOf<V>(), [](Target&, const DesignValue&) {}, sourceOf<V>(std::move(from)));
    }

    // Row `row` of another table of the same kind, as it stands there.
    DesignTable& Take(const DesignTable& other, size_t row)
    {
        const Entry& entry = other.m_entries.at(row);
        return add(entry.name, entry.type, entry.apply, entry.source);
    }

    // The type lookup of this table, for DesignList and DecodeDesignList. The table must outlive
    // it (tables are static).
    DesignTypeOf Types() const
    {
        return [this](const String& name) -> const DesignType* {
            auto it = m_index.find(name);
            return it == m_index.end() ? nullptr : &m_entries[it->second].type;
        };
    }
    // Decodes the whole list first (so a list with an unknown name changes nothing), then applies
    // the entries in the order in which they stand.
    void Apply(Target& target, const String& bytes) const
    {
        for (const DesignEntry& entry : DecodeDesignList(bytes, Types()))
            m_entries[m_index.at(entry.name)].apply(target, entry.value);
    }
    // The packed list of these values, every entry in the table's order.
    String ListOf(const Values& values) const
    {
        DesignList list;
        for (const Entry& entry : m_entries) {
            if (const std::optional<DesignValue> value = entry.source(values))
                list.Value(entry.name, *value);
        }
        return list.Bytes();
    }

private:
    struct Entry {
        String name;
        DesignType type;
        Setter apply;
        Source source;
    };

    template<class F>
    struct IsOptional : std::false_type {
    };
    template<class F>
    struct IsOptional<std::optional<F>> : std::true_type {
    };

    // The value as a list entry of type `V`; the compiler checks that the value has that type.
    template<class V, class F>
    static std::optional<DesignValue> entryValue(const F& value)
    {
        if constexpr (IsOptional<F>::value) {
            static_assert(std::is_same_v<typename F::value_type, V>, "the design value does not have the property's type");
            return value ? std::optional<DesignValue>(DesignValue(*value)) : std::nullopt;
        } else {
            static_assert(std::is_same_v<F, V>, "the design value does not have the property's type");
            return DesignValue(value);
        }
    }
    template<class V, class From>
    static Source sourceOf(From from)
    {
        if constexpr (std::is_same_v<From, std::nullopt_t>)
            return [](const Values&) { return std::optional<DesignValue>(); };
        else if constexpr (std::is_member_object_pointer_v<From>)
            return [from](const Values& values) { return entryValue<V>(values.*from); };
        else if constexpr (std::is_invocable_v<From, const Values&>)
            return [from](const Values& values) { return entryValue<V>(from(values)); };
        else {
            static_assert(std::is_same_v<From, V> || (std::is_same_v<V, String> && std::is_convertible_v<From, String>),
                "the design value does not have the property's type");
            return [value = V(from)](const Values&) { return std::optional<DesignValue>(DesignValue(value)); };
        }
    }

    DesignTable& add(const String& name, DesignType type, Setter apply, Source source)
    {
        m_index[name] = m_entries.size();
        m_entries.push_back({ name, type, std::move(apply), std::move(source) });
        return *this;
    }

    std::vector<Entry> m_entries;
    std::map<String, size_t> m_index;
};
