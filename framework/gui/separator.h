#pragma once

#include "framework/gui/control.h"

class QFrame;

// A horizontal line (vertical when higher than wide).
class Separator : public DesignedControl<Separator, QFrame> {
public:
    Separator();
    // A separator has no design values of its own.
    struct Design {
    };
    static String DesignListOf(const DesignHead& head, const Design& design);

private:
    friend DesignedControl<Separator, QFrame>;
    static void DeclareProperties(DesignTable<RectControl>& table);
};
