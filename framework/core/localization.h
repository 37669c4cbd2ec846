#pragma once

#include "framework/core/text.h"

// The system object: the localized-string lookup lives here.
class SystemClass final {
public:
    // The translation of `key` (the source text in the translation context "loc") for the user's
    // language, or `defaultText` when there is none.
    String GetLocalizedString(const String& key, const String& defaultText) const;
};

SystemClass& System();

// Loads data/translations/quobly_<lang>.qm beside the executable for the user's locale, if
// present; true when a translation was installed.
bool LoadTranslationsForLocale();
