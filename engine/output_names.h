#pragma once

#include "engine/run_settings.h"
#include "framework/core/folder_item.h"
#include "framework/core/text.h"

#include <cstdint>
#include <functional>

// The letters that the output folder's name puts before a size, from the translation in use.
struct SizeInitials {
    String biggest { "B" };
    String smallest { "S" };
    String width { "W" };
    String height { "H" };
};

// The longest output folder name the program makes (unless the suffix alone is longer).
inline constexpr int32_t kMaxFolderNameLength = 31;

// " (B800)", " (50%)", " (W800, H600)", " (800x600)" and the like: the size fields as typed.
String SettingsSuffix(const RunSettings& settings, const SizeInitials& initials = {});
// The source folder's name, cut at its end so that the whole fits in 31 characters, then the
// suffix, which is never shortened.
String OutputFolderName(const String& sourceName, const String& suffix);

// The name without its last "." and what follows it.
String RemoveExtension(const String& name);
// Lower case, spaces as "_", then only a-z, 0-9, "_", "." and "%" kept. `afterEachCharacter`
// runs once per character tested, so a long name lets the event loop take its turns.
String WebReadyName(const String& base, const std::function<void()>& afterEachCharacter);
// The first eight characters.
String DosName(const String& base);

// The export format of a run, from the format popup's row: 1 is PNG, anything else JPEG.
struct ExportFormat {
    int32_t code { 151 };
    String extension { "jpg" };
};
ExportFormat ExportFormatFor(int32_t listIndex);

// The first free name in `folder` for `base` and `extension`: "base.ext", else "base-2.ext",
// "base-3.ext" and so on. `afterEachCounterTest` runs once per counter tried, the one that turns
// out free included.
String FreeFileName(const Ref<FolderItem>& folder, const String& base, const String& extension,
    const std::function<void()>& afterEachCounterTest);

// A free name and its counter: 1 for "base.ext" itself, n for "base-n.ext".
struct FreeName {
    String fileName;
    int64_t counter { 1 };
};
// The same probe, from `firstCounter` on rather than from "base.ext".
FreeName FreeFileNameFrom(const Ref<FolderItem>& folder, const String& base, const String& extension,
    int64_t firstCounter, const std::function<void()>& afterEachCounterTest);
