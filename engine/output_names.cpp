// The names a run gives: its output folder's suffix, and each picture's web-ready and DOS form.
#include "engine/output_names.h"

#include <algorithm>

String SettingsSuffix(const RunSettings& s, const SizeInitials& initials)
{
    if (s.proportional) {
        switch (s.sizeBasis) {
        case 1: return " (" + initials.smallest + s.wantedSize + ")";
        case 2: return " (" + initials.width + s.wantedSize + ")";
        case 3: return " (" + initials.height + s.wantedSize + ")";
        case 4: return " (" + s.wantedSize + "%)";
        // A basis the popup does not offer counts as the first row, as it does for the sizes, so
        // the suffix is never empty and the output folder never takes the source's own name.
        default: return " (" + initials.biggest + s.wantedSize + ")";
        }
    }
    if (s.independent) {
        const String widthSeparator = s.widthUnit == 0 ? ", " : "%, ";
        const String heightClosing = s.heightUnit == 0 ? ")" : "%)";
        return " (" + initials.width + s.independentWidth + widthSeparator + initials.height
            + s.independentHeight + heightClosing;
    }
    return " (" + s.boxWidth + "x" + s.boxHeight + ")";
}

String OutputFolderName(const String& sourceName, const String& suffix)
{
    const int32_t room = kMaxFolderNameLength - Len(suffix);
    return (room > 0 ? Left(sourceName, room) : String()) + suffix;
}

String RemoveExtension(const String& name)
{
    const int32_t fields = CountFields(name, ".");
    if (fields <= 1)
        return name;
    const String last = NthField(name, ".", fields);
    return Left(name, Len(name) - Len(last) - 1);
}

String WebReadyName(const String& base, const std::function<void()>& afterEachCharacter)
{
    const String text = ReplaceAll(Lowercase(base), " ", "_");
    String result;
    const int32_t length = Len(text);
    for (int32_t i = 1; i <= length; ++i) {
        const String c = Mid(text, i, 1);
        const int32_t code = Asc(c);
        if ((code >= 'a' && code <= 'z') || (code >= '0' && code <= '9') || c == "_" || c == "."
            || c == "%")
            result += c;
        if (afterEachCharacter)
            afterEachCharacter();
    }
    return result;
}

String DosName(const String& base)
{
    return Left(base, 8);
}

ExportFormat ExportFormatFor(int32_t listIndex)
{
    if (listIndex == 1)
        return { 150, "png" };
    return { 151, "jpg" };
}

String FreeFileName(const Ref<FolderItem>& folder, const String& base, const String& extension,
    const std::function<void()>& afterEachCounterTest)
{
    return FreeFileNameFrom(folder, base, extension, 1, afterEachCounterTest).fileName;
}

namespace {

// The longest name, in bytes, that Linux file systems keep.
constexpr size_t kMaxFileNameBytes = 255;

// `base` then `tail`; when the whole would not fit in a file name, the base loses its end (on a
// character boundary) so that the counter and the extension still do.
String fittedName(const String& base, const String& tail)
{
    if (base.size() + tail.size() <= kMaxFileNameBytes || tail.size() >= kMaxFileNameBytes)
        return base + tail;
    size_t cut = kMaxFileNameBytes - tail.size();
    // A byte 10xxxxxx continues the character before it.
    while (cut > 0 && (static_cast<unsigned char>(base[cut]) & 0xC0) == 0x80)
        --cut;
    return base.substr(0, cut) + tail;
}

} // namespace

FreeName FreeFileNameFrom(const Ref<FolderItem>& folder, const String& base, const String& extension,
    int64_t firstCounter, const std::function<void()>& afterEachCounterTest)
{
    if (firstCounter <= 1) {
        const String plain = fittedName(base, "." + extension);
        if (!folder->Child(plain)->Exists())
            return { plain, 1 };
    }
    // No upper bound: every taken name is passed over until a free one turns up.
    for (int64_t n = std::max<int64_t>(firstCounter, 2);; ++n) {
        const String candidate = fittedName(base, "-" + Str(n) + "." + extension);
        const bool taken = folder->Child(candidate)->Exists();
        if (afterEachCounterTest)
            afterEachCounterTest();
        if (!taken)
            return { candidate, n };
    }
}
