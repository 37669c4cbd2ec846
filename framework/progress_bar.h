#pragma once

#include "framework/control.h"

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
    QProgressBar* progressBar() const;
};
