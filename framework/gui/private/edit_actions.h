#pragma once

// Framework-internal: the Edit menu's standard items act on the focused text control. An item
// is enabled while that control can carry it out, and chosen, it does so unless a handler of
// the program took it first.

#include "framework/gui/menu_item.h"
#include "framework/core/ref.h"

class QWidget;

// Enables EditUndo, EditCut, EditCopy, EditPaste and EditClear below the model as the focused
// widget allows; leaves every other item, and those the widget cannot serve, as they are.
void EnableEditItems(const Ref<MenuItem>& model, QWidget* focus);

// Carries out the named Edit item on the focused widget; false when the name is no Edit item or
// the widget cannot carry it out.
bool PerformEditAction(const String& itemName, QWidget* focus);
