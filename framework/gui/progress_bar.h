#pragma once

#include "framework/gui/control.h"

class QProgressBar;

class ProgressBar : public RectControl {
public:
    ProgressBar();
    static DesignTypeOf DesignTypes();

    int32_t Value() const;
    void Value(int32_t value);
    int32_t Maximum() const;
    void Maximum(int32_t value);

protected:
    const DesignTable<RectControl>& Table() const override;
    // The head and the class's own entries, built once.
    static const DesignTable<RectControl>& classTable();
    QProgressBar* progressBar() const;

private:
    void show();
    int32_t m_value { 0 }, m_maximum { 100 };
};
