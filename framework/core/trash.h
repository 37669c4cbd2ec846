#pragma once

#include "framework/core/text.h"

#include <cstdint>

// The one door to the desktop trash (the freedesktop.org trash, as file managers keep it).
struct TrashResult {
    int32_t errorNumber { 0 }; // an errno value, 0 when the item is in the trash
    String reason;             // why it is not, in words; empty on success
};

// Moves the item at `path` (a link is taken as itself) into the trash of its disk: the home trash,
// made when missing, or a `.Trash-$UID` at the top of another disk. When no trash takes it, the
// item stays where it was.
TrashResult MoveItemToTrash(const String& path);
