#pragma once

#include "framework/gui/control.h"

class QGroupBox;

// Controls whose InitialParent names the box are shown inside it, still placed in window
// coordinates.
class GroupBox : public RectControl {
public:
    GroupBox();
    static DesignTypeOf DesignTypes();

    String Caption() const;
    void Caption(const String& value);

protected:
    const DesignTable<RectControl>& Table() const override;
    // The head and the class's own entries, built once.
    static const DesignTable<RectControl>& classTable();
    QGroupBox* groupBox() const;
};
