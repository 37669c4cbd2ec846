#pragma once

#include "framework/core/text.h"
#include "framework/core/thread.h"

#include <cstdint>
#include <functional>
#include <map>
#include <type_traits>
#include <variant>
#include <vector>

// Packed design-property lists: entries of a name in ASCII letters, one blank, then the value in
// the width of the property's type (Int32 big-endian, Boolean one byte, colour three bytes, text a
// big-endian Int32 byte count and the bytes). No count, separator or terminator.
enum class DesignType { Integer, Boolean, Color, Text };

using DesignValue = std::variant<int32_t, bool, Color, String>;

// The index entry of a control outside a control array.
inline constexpr int32_t kNoIndex = INT32_MIN;

// The design type that a setter's parameter stands for.
template<class Value>
constexpr DesignType designTypeOf()
{
    using V = std::remove_cvref_t<Value>;
    if constexpr (std::is_same_v<V, int32_t>)
        return DesignType::Integer;
    else if constexpr (std::is_same_v<V, bool>)
        return DesignType::Boolean;
    else if constexpr (std::is_same_v<V, Color>)
        return DesignType::Color;
    else {
        static_assert(std::is_same_v<V, String>, "a design property is an integer, a Boolean, a colour or a text");
        return DesignType::Text;
    }
}

// The properties a class accepts in its list, each with its type and how it is applied.
template<class Target>
class DesignTable {
public:
    using Setter = std::function<void(Target&, const DesignValue&)>;
    struct Entry {
        DesignType type;
        Setter apply;
    };

    // One property by its setter; the setter's parameter gives the property's type. `Class` is
    // the class whose table this is or one of its bases (or a base of `Target`), so the cast is
    // always sound.
    template<class Class, class Value>
        requires(std::is_base_of_v<Target, Class> || std::is_base_of_v<Class, Target>)
    DesignTable& Add(const String& name, void (Class::*setter)(Value))
    {
        using V = std::remove_cvref_t<Value>;
        return add(name, designTypeOf<Value>(),
            [setter](Target& target, const DesignValue& v) { (static_cast<Class&>(target).*setter)(std::get<V>(v)); });
    }
    // A property the list may carry but that changes nothing here; `Value` gives its type.
    template<class Value>
    DesignTable& Accept(const String& name)
    {
        return add(name, designTypeOf<Value>(), [](Target&, const DesignValue&) {});
    }
    const Entry* Find(const String& name) const
    {
        auto it = m_entries.find(name);
        return it == m_entries.end() ? nullptr : &it->second;
    }
    // The type lookup of this table, for DesignList and DecodeDesignList. The table must outlive
    // it (tables are static).
    std::function<const DesignType*(const String&)> Types() const
    {
        return [this](const String& name) -> const DesignType* {
            const Entry* entry = Find(name);
            return entry ? &entry->type : nullptr;
        };
    }

private:
    DesignTable& add(const String& name, DesignType type, Setter apply)
    {
        m_entries[name] = Entry { type, std::move(apply) };
        return *this;
    }

    std::map<String, Entry> m_entries;
};

// One decoded entry.
struct DesignEntry {
    String name;
    DesignValue value;
};

// Builds a list in code. The type of each entry is checked against `types` (name -> type) when
// given, so a list that names a property its class does not have fails where it is built.
class DesignList {
public:
    using TypeLookup = std::function<const DesignType*(const String&)>;

    DesignList() = default;
    explicit DesignList(TypeLookup types) : m_types(std::move(types)) {}

    DesignList& Integer(const String& name, int32_t value);
    DesignList& Boolean(const String& name, bool value);
    DesignList& Colour(const String& name, Color value);
    DesignList& Text(const String& name, const String& value);

    // The entries every visual control's list begins with, in their order: name, index, place,
    // size, the four locks and the tab panel (always 0).
    struct Place {
        String name;
        int32_t index;
        int32_t left, top, width, height;
        bool lockLeft, lockTop, lockRight, lockBottom;
    };
    DesignList& ControlHead(const Place& place);

    const String& Bytes() const { return m_bytes; }
    operator const String&() const { return m_bytes; }

private:
    void begin(const String& name, DesignType type);

    TypeLookup m_types;
    String m_bytes;
};

// Decodes a list; `typeOf` gives each name's type. Raises RuntimeException naming an unknown
// property or a list cut short.
std::vector<DesignEntry> DecodeDesignList(const String& bytes,
    const std::function<const DesignType*(const String&)>& typeOf);

// Decodes the whole list first (so a list with an unknown name changes nothing), then applies
// the entries in the order in which they stand.
template<class Target>
void ApplyDesignList(const DesignTable<Target>& table, Target& target, const String& bytes)
{
    for (const DesignEntry& entry : DecodeDesignList(bytes, table.Types()))
        table.Find(entry.name)->apply(target, entry.value);
}

// A thread member's list: Priority and StackSize (integers), no head.
std::function<const DesignType*(const String&)> ThreadDesignTypes();
void ApplyThreadDesignList(Thread& thread, const String& designList);
String ThreadDesignList(const Thread::Design& design);
