#pragma once

#include "framework/gui/control.h"

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
    static String DesignListOf(const DesignHead& head, const Design& design);

    String Caption() const;
    void Caption(const String& value);

protected:
    QGroupBox* groupBox() const;

private:
    friend DesignedControl<GroupBox, QGroupBox>;
    static void DeclareProperties(DesignTable<RectControl>& table);
};
