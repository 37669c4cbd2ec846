#pragma once

#include "framework/core/text.h"
#include "framework/core/thread.h"

#include <cstdint>
#include <functional>
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

// The type of each property a class accepts, for DesignList; nil for a name it does not have.
using DesignTypeOf = std::function<const DesignType*(const String&)>;

// One decoded entry.
struct DesignEntry {
    String name;
    DesignValue value;
};

// Builds a list in code. The type of each entry is checked against `types` (name -> type) when
// given, so a list that names a property its class does not have fails where it is built.
class DesignList {
public:
    DesignList() = default;
    explicit DesignList(DesignTypeOf types) : m_types(std::move(types)) {}

    DesignList& Integer(const String& name, int32_t value);
    DesignList& Boolean(const String& name, bool value);
    DesignList& Colour(const String& name, Color value);
    DesignList& Text(const String& name, const String& value);
    // An entry of the value's own type.
    DesignList& Value(const String& name, const DesignValue& value);

    const String& Bytes() const { return m_bytes; }
    operator const String&() const { return m_bytes; }

private:
    void begin(const String& name, DesignType type);

    DesignTypeOf m_types;
    String m_bytes;
};

// Decodes a list; `typeOf` gives each name's type. Raises RuntimeException naming an unknown
// property or a list cut short.
std::vector<DesignEntry> DecodeDesignList(const String& bytes, const DesignTypeOf& typeOf);

// A thread member's list: Priority and StackSize (integers), no head.
DesignTypeOf ThreadDesignTypes();
void ApplyThreadDesignList(Thread& thread, const String& designList);
String ThreadDesignList(const Thread::Design& design);
