#pragma once

#include "framework/gui/control.h"

class QSlider;

class Slider : public RectControl {
public:
    Slider();
    static DesignTypeOf DesignTypes();

    int32_t Minimum() const;
    void Minimum(int32_t value);
    int32_t Maximum() const;
    void Maximum(int32_t value);
    int32_t Value() const;
    void Value(int32_t value);
    int32_t LineStep() const;
    void LineStep(int32_t value);
    int32_t PageStep() const;
    void PageStep(int32_t value);
    bool LiveScroll() const;
    void LiveScroll(bool value);

    // Raised when the value changes, by the user or by code.
    std::function<void(Slider&)> OnValueChanged;

protected:
    const DesignTable<RectControl>& Table() const override;
    // The head and the class's own entries, built once.
    static const DesignTable<RectControl>& classTable();
    QSlider* slider() const;
};
