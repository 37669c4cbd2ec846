#pragma once

#include <cstdint>
#include <string>

// Texts are UTF-8. Lengths and positions count Unicode code points (an invalid byte counts as one).
using String = std::string;

// The longest leading decimal number (blanks, sign, digits, fraction, exponent), 0 when none.
double Val(const String& text);
// Decimal text of an integer: "-5", "80".
String Str(int64_t value);
String Left(const String& text, int32_t count);
// From the 1-based position `start`, `count` characters (all the rest when count < 0).
String Mid(const String& text, int32_t start, int32_t count = -1);
int32_t Len(const String& text);
// The code point of the first character, 0 for an empty text.
int32_t Asc(const String& text);
String Lowercase(const String& text);
// Replaces every occurrence; ASCII letters match without regard to case.
String ReplaceAll(const String& text, const String& find, const String& replacement);
int32_t CountFields(const String& text, const String& delimiter);
// The field of 1-based number n, "" when there is none.
String NthField(const String& text, const String& delimiter, int32_t n);
// The framework's text equality: ASCII letters compare without regard to case.
bool TextEquals(const String& a, const String& b);
// Cuts toward zero, saturates outside the Int32 range, NaN gives 0.
int32_t RuntimeCvtReal64ToSInt32(double value);

struct Color {
    uint8_t red { 0 };
    uint8_t green { 0 };
    uint8_t blue { 0 };
    friend bool operator==(const Color&, const Color&) = default;
};

Color RGB(int32_t red, int32_t green, int32_t blue);

// The carriage return that separates the rows of a list text.
inline constexpr char kRowSeparator = '\r';
