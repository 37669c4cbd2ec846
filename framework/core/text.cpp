// The framework's text functions on UTF-8 strings, counting code points and matching ASCII letters
// without regard to case.
#include "framework/core/text.h"

#include <QString>

#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <locale.h>

namespace {

// The byte length of the character that starts at `pos`: a well-formed UTF-8 sequence is one
// character, and so is every byte that does not start one.
size_t charLength(const String& text, size_t pos)
{
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(pos);
    size_t length = 0;
    char32_t minimum = 0;
    char32_t code = 0;
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, minimum = 0x80, code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, minimum = 0x800, code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, minimum = 0x10000, code = lead & 0x07;
    } else {
        return 1;
    }
    if (pos + length > text.size())
        return 1;
    for (size_t i = 1; i < length; ++i) {
        const unsigned char next = byte(pos + i);
        if ((next & 0xC0) != 0x80)
            return 1;
        code = (code << 6) | (next & 0x3F);
    }
    if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 1;
    return length;
}

// The byte offset of the character of 0-based number `index`, or the text's size.
size_t byteOffset(const String& text, int64_t index)
{
    size_t pos = 0;
    while (index > 0 && pos < text.size()) {
        pos += charLength(text, pos);
        --index;
    }
    return pos;
}

char foldAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool matchesAt(const String& text, size_t pos, const String& find)
{
    if (pos + find.size() > text.size())
        return false;
    for (size_t i = 0; i < find.size(); ++i) {
        if (foldAscii(text[pos + i]) != foldAscii(find[i]))
            return false;
    }
    return true;
}

// The next occurrence of `find` at or after `from`, letters compared without regard to case.
size_t findFrom(const String& text, const String& find, size_t from)
{
    for (size_t pos = from; pos + find.size() <= text.size(); ++pos) {
        if (matchesAt(text, pos, find))
            return pos;
    }
    return String::npos;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

double Val(const String& text)
{
    size_t pos = 0;
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t'))
        ++pos;
    const size_t start = pos;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-'))
        ++pos;
    size_t digits = 0;
    while (pos < text.size() && isDigit(text[pos]))
        ++pos, ++digits;
    if (pos < text.size() && text[pos] == '.') {
        ++pos;
        while (pos < text.size() && isDigit(text[pos]))
            ++pos, ++digits;
    }
    if (digits == 0)
        return 0.0;
    // An exponent counts only when at least one digit follows it: "2e" reads as 2.
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        size_t exponent = pos + 1;
        if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-'))
            ++exponent;
        if (exponent < text.size() && isDigit(text[exponent])) {
            while (exponent < text.size() && isDigit(text[exponent]))
                ++exponent;
            pos = exponent;
        }
    }
    // The C locale's reading: the application's locale may use a decimal comma. strtod_l also
    // gives an infinity for a number too large and zero for one too small.
    static const locale_t cLocale = newlocale(LC_NUMERIC_MASK, "C", locale_t(nullptr));
    const String number = text.substr(start, pos - start);
    return strtod_l(number.c_str(), nullptr, cLocale);
}

String Str(int64_t value)
{
    return std::to_string(value);
}

String Left(const String& text, int32_t count)
{
    if (count <= 0)
        return {};
    return text.substr(0, byteOffset(text, count));
}

String Mid(const String& text, int32_t start, int32_t count)
{
    if (start < 1)
        start = 1;
    const size_t from = byteOffset(text, start - 1);
    if (count < 0)
        return text.substr(from);
    size_t to = from;
    for (int32_t i = 0; i < count && to < text.size(); ++i)
        to += charLength(text, to);
    return text.substr(from, to - from);
}

int32_t Len(const String& text)
{
    int32_t count = 0;
    for (size_t pos = 0; pos < text.size(); pos += charLength(text, pos))
        ++count;
    return count;
}

int32_t Asc(const String& text)
{
    if (text.empty())
        return 0;
    const size_t length = charLength(text, 0);
    const auto lead = static_cast<unsigned char>(text[0]);
    if (length == 1)
        return lead;
    int32_t code = lead & (0x7F >> length);
    for (size_t i = 1; i < length; ++i)
        code = (code << 6) | (static_cast<unsigned char>(text[i]) & 0x3F);
    return code;
}

String Lowercase(const String& text)
{
    // Well-formed runs go through Qt's Unicode case mapping; stray bytes are kept as they are
    // rather than turned into replacement characters.
    String result;
    result.reserve(text.size());
    size_t runStart = 0;
    size_t pos = 0;
    const auto flushRun = [&](size_t end) {
        if (end > runStart) {
            const auto lowered = QString::fromUtf8(text.data() + runStart, static_cast<qsizetype>(end - runStart))
                                     .toLower()
                                     .toUtf8();
            result.append(lowered.constData(), static_cast<size_t>(lowered.size()));
        }
    };
    while (pos < text.size()) {
        const size_t length = charLength(text, pos);
        if (length == 1 && static_cast<unsigned char>(text[pos]) >= 0x80) {
            flushRun(pos);
            result.push_back(text[pos]);
            runStart = pos + 1;
        }
        pos += length;
    }
    flushRun(pos);
    return result;
}

String ReplaceAll(const String& text, const String& find, const String& replacement)
{
    if (find.empty())
        return text;
    String result;
    size_t pos = 0;
    for (size_t hit = findFrom(text, find, 0); hit != String::npos; hit = findFrom(text, find, pos)) {
        result.append(text, pos, hit - pos);
        result.append(replacement);
        pos = hit + find.size();
    }
    result.append(text, pos, String::npos);
    return result;
}

int32_t CountFields(const String& text, const String& delimiter)
{
    if (text.empty())
        return 0;
    if (delimiter.empty())
        return 1;
    int32_t count = 1;
    for (size_t hit = findFrom(text, delimiter, 0); hit != String::npos;
         hit = findFrom(text, delimiter, hit + delimiter.size()))
        ++count;
    return count;
}

String NthField(const String& text, const String& delimiter, int32_t n)
{
    if (n < 1)
        return {};
    if (delimiter.empty())
        return n == 1 ? text : String();
    size_t start = 0;
    for (int32_t field = 1; field < n; ++field) {
        const size_t hit = findFrom(text, delimiter, start);
        if (hit == String::npos)
            return {};
        start = hit + delimiter.size();
    }
    const size_t end = findFrom(text, delimiter, start);
    return text.substr(start, end == String::npos ? String::npos : end - start);
}

bool TextEquals(const String& a, const String& b)
{
    return a.size() == b.size() && matchesAt(a, 0, b);
}

int32_t RuntimeCvtReal64ToSInt32(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= 2147483647.0)
        return std::numeric_limits<int32_t>::max();
    if (value <= -2147483648.0)
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

Color RGB(int32_t red, int32_t green, int32_t blue)
{
    const auto channel = [](int32_t v) { return static_cast<uint8_t>(std::clamp(v, 0, 255)); };
    return Color { channel(red), channel(green), channel(blue) };
}
