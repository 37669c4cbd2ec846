#pragma once

// Framework-internal: whether the windowing system that Qt will use answers, asked before the
// QApplication exists (Qt aborts the process when it cannot open its platform).

#include <optional>
#include <string>

// Nothing when a display answers (or the platform needs none); otherwise why not, in a few words.
std::optional<std::string> MissingDisplay(int argc, char** argv);
