#pragma once

// Framework-internal: how a control shows a colour of its design values.

#include "framework/gui/design_properties.h"

#include <QPalette>

class QColor;
class QWidget;

// Sets the colour on the Active and Inactive groups only: the Disabled group keeps the style's
// own, so a disabled control looks disabled whatever its design colours.
// A design's default colour (black text, a white field) stands for "the theme's own" and takes
// the palette's colour, so a dark theme shows light text on dark fields. Any other colour carries
// meaning: it keeps its hue, made lighter or darker only as far as it must be to stand out from
// the background it is drawn on, and it follows a change of the application's palette.
void SetDesignColour(QWidget& widget, QPalette::ColorRole role, Color colour);

// The contrast ratio of two colours (1 to 21), as the web's accessibility guidelines define it.
double ContrastRatio(const QColor& a, const QColor& b);
// `colour` with its hue kept and its lightness moved, as little as needed, to a contrast of at
// least `ratio` against `background`.
QColor LegibleOn(const QColor& colour, const QColor& background, double ratio = 4.5);
