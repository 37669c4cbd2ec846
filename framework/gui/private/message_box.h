#pragma once

// Framework-internal: the message box that MsgBox shows.

#include "framework/core/text.h"

#include <QString>

class QFontMetrics;

// The message as the box shows it: every run of characters without a blank that is wider than
// `width` (a long path, a folder's name) is elided in the middle, so that the box can wrap the
// rest within the screen. `elided` tells whether anything was left out.
QString FitMessageLines(const QString& message, const QFontMetrics& metrics, int width, bool& elided);

// A warning box within the screen, whatever the message holds; when a part had to be elided,
// the whole message is in the box's details.
void ShowMessageBox(const String& message);
