#pragma once

#include "framework/gui/control.h"

// A horizontal line (vertical when higher than wide).
class Separator : public RectControl {
public:
    Separator();
    static DesignTypeOf DesignTypes();

protected:
    const DesignTable<RectControl>& Table() const override;
    // The head and the class's own entries, built once.
    static const DesignTable<RectControl>& classTable();
};
