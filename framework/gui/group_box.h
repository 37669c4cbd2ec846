#pragma once

#include "framework/gui/captioned_control.h"
#include "framework/gui/designed_control.h"

class QGroupBox;

// Controls whose InitialParent names the box are shown inside it, still placed in window
// coordinates.
class GroupBox : public DesignedControl<GroupBox, QGroupBox, CaptionedControl> {
public:
    GroupBox();
    // The box's own design values, after the head.
    struct Design {
        DesignFont font {};
    };
    // Its lists' entries after the head, in their order.
    static void DeclareProperties(ControlTable<Design>& table);
};
