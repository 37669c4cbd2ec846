#pragma once

#include "framework/gui/designed_control.h"

class QFrame;

// A horizontal line (vertical when higher than wide).
class Separator : public DesignedControl<Separator, QFrame> {
public:
    Separator();
    // A separator has no design values of its own.
    struct Design {
    };
    // Its lists' entries after the head, in their order.
    static void DeclareProperties(ControlTable<Design>& table);
};
