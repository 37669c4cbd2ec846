// Packed design-property lists: their encoding, their decoding and the thread member's list.
#include "framework/gui/design_properties.h"

#include "framework/gui/design_table.h"

#include "framework/core/exceptions.h"
#include "framework/core/thread.h"

#include <cctype>

namespace {

const char* typeName(DesignType type)
{
    switch (type) {
    case DesignType::Integer:
        return "an integer";
    case DesignType::Boolean:
        return "a Boolean";
    case DesignType::Color:
        return "a colour";
    case DesignType::Text:
        return "a text";
    }
    return "a value";
}

void putInt32(String& out, int32_t value)
{
    const auto bits = static_cast<uint32_t>(value);
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<char>((bits >> shift) & 0xFF));
}

int32_t getInt32(const String& bytes, size_t at)
{
    uint32_t bits = 0;
    for (size_t i = 0; i < 4; ++i)
        bits = (bits << 8) | static_cast<uint8_t>(bytes[at + i]);
    return static_cast<int32_t>(bits);
}

bool isPropertyName(const String& name)
{
    if (name.empty())
        return false;
    for (char c : name) {
        if (!std::isalpha(static_cast<unsigned char>(c)))
            return false;
    }
    return true;
}

const DesignTable<Thread, Thread::Design>& threadTable()
{
    static const DesignTable<Thread, Thread::Design> table = [] {
        DesignTable<Thread, Thread::Design> t;
        t.Add("Priority", &Thread::Priority, &Thread::Design::priority)
            .Add("StackSize", &Thread::StackSize, &Thread::Design::stackSize);
        return t;
    }();
    return table;
}

} // namespace

void DesignList::begin(const String& name, DesignType type)
{
    if (!isPropertyName(name))
        throw RuntimeException("A design property name must be ASCII letters: \"" + name + "\"");
    if (m_types) {
        const DesignType* known = m_types(name);
        if (!known)
            throw RuntimeException("Unknown design property \"" + name + "\"");
        if (*known != type)
            throw RuntimeException("The design property \"" + name + "\" takes " + typeName(*known));
    }
    m_bytes += name;
    m_bytes.push_back(' ');
}

DesignList& DesignList::Integer(const String& name, int32_t value)
{
    begin(name, DesignType::Integer);
    putInt32(m_bytes, value);
    return *this;
}

DesignList& DesignList::Boolean(const String& name, bool value)
{
    begin(name, DesignType::Boolean);
    m_bytes.push_back(value ? 1 : 0);
    return *this;
}

DesignList& DesignList::Colour(const String& name, Color value)
{
    begin(name, DesignType::Color);
    m_bytes.push_back(static_cast<char>(value.red));
    m_bytes.push_back(static_cast<char>(value.green));
    m_bytes.push_back(static_cast<char>(value.blue));
    return *this;
}

DesignList& DesignList::Text(const String& name, const String& value)
{
    begin(name, DesignType::Text);
    putInt32(m_bytes, static_cast<int32_t>(value.size()));
    m_bytes += value;
    return *this;
}

DesignList& DesignList::Value(const String& name, const DesignValue& value)
{
    std::visit([&](const auto& v) {
        using V = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<V, int32_t>)
            Integer(name, v);
        else if constexpr (std::is_same_v<V, bool>)
            Boolean(name, v);
        else if constexpr (std::is_same_v<V, Color>)
            Colour(name, v);
        else
            Text(name, v);
    }, value);
    return *this;
}

std::vector<DesignEntry> DecodeDesignList(const String& bytes, const DesignTypeOf& typeOf)
{
    std::vector<DesignEntry> entries;
    size_t at = 0;
    auto need = [&](size_t count, const String& name) {
        if (bytes.size() - at < count)
            throw RuntimeException("The design property list is cut short in \"" + name + "\"");
    };
    while (at < bytes.size()) {
        const size_t blank = bytes.find(' ', at);
        if (blank == String::npos)
            throw RuntimeException("The design property list is cut short after byte " + Str(static_cast<int64_t>(at)));
        String name = bytes.substr(at, blank - at);
        if (!isPropertyName(name))
            throw RuntimeException("A design property name must be ASCII letters: \"" + name + "\"");
        const DesignType* type = typeOf(name);
        if (!type)
            throw RuntimeException("Unknown design property \"" + name + "\"");
        at = blank + 1;
        DesignValue value;
        switch (*type) {
        case DesignType::Integer:
            need(4, name);
            value = getInt32(bytes, at);
            at += 4;
            break;
        case DesignType::Boolean:
            need(1, name);
            value = bytes[at] != 0;
            at += 1;
            break;
        case DesignType::Color:
            need(3, name);
            value = Color { static_cast<uint8_t>(bytes[at]), static_cast<uint8_t>(bytes[at + 1]),
                static_cast<uint8_t>(bytes[at + 2]) };
            at += 3;
            break;
        case DesignType::Text: {
            need(4, name);
            const int32_t count = getInt32(bytes, at);
            at += 4;
            if (count < 0)
                throw RuntimeException("The design property \"" + name + "\" has a negative length");
            need(static_cast<size_t>(count), name);
            value = bytes.substr(at, static_cast<size_t>(count));
            at += static_cast<size_t>(count);
            break;
        }
        }
        entries.push_back(DesignEntry { std::move(name), std::move(value) });
    }
    return entries;
}

DesignTypeOf ThreadDesignTypes()
{
    return threadTable().Types();
}

void ApplyThreadDesignList(Thread& thread, const String& designList)
{
    threadTable().Apply(thread, designList);
}

String ThreadDesignList(const Thread::Design& design)
{
    return threadTable().ListOf(design);
}
