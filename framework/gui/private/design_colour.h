#pragma once

// Framework-internal: how a control shows a colour of its design values.

#include "framework/gui/design_properties.h"

#include <QPalette>

class QWidget;

// Sets the colour on the Active and Inactive groups only: the Disabled group keeps the style's
// own, so a disabled control looks disabled whatever its design colours.
void SetDesignColour(QWidget& widget, QPalette::ColorRole role, Color colour);
