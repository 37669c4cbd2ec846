#pragma once

#include "framework/gui/designed_control.h"

class QSlider;

// A horizontal slider, raising ValueChanged when its value changes.
class Slider : public DesignedControl<Slider, QSlider> {
public:
    Slider();
    // The slider's own design values, after the head.
    struct Design {
        int32_t minimum { 0 }, value { 0 }, maximum { 100 };
        int32_t lineStep { 1 }, pageStep { 20 };
        bool liveScroll { true };
        int32_t tickStyle { 0 };
    };
    // Its lists' entries after the head, in their order.
    static void DeclareProperties(ControlTable<Design>& table);

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

private:
    void tickStyle(int32_t style);
};
