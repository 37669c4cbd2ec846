#pragma once

#include "framework/gui/designed_control.h"

class QGroupBox;

// Controls whose InitialParent names the box are shown inside it, still placed in window
// coordinates.
class GroupBox : public DesignedControl<GroupBox, QGroupBox> {
public:
    GroupBox();
    // The box's own design values, after the head.
    struct Design {
        DesignFont font {};
    };

    String Caption() const;
    void Caption(const String& value);

private:
    friend DesignedControl<GroupBox, QGroupBox>;
    static void DeclareProperties(ControlTable<Design>& table);
};
