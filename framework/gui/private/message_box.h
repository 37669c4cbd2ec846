#pragma once

// Framework-internal: the message box that MsgBox shows.

#include "framework/core/text.h"

#include <QString>

class QFontMetrics;

// The message as the box shows it: every run of characters without a blank that is wider than
// `width` (a long path, a folder's name) is elided in the middle, so that the box can wrap the
// rest within the screen. `elided` tells whether anything was left out.
QString FitMessageLines(const QString& message, const QFontMetrics& metrics, int width, bool& elided);

// A warning box within the screen, whatever the message holds, with `details` (when any) behind
// its "Show Details…" button; when a part of the message had to be elided, the whole message is
// in the details too, before them.
void ShowMessageBox(const String& message, const String& details = String());
