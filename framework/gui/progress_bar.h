#pragma once

#include "framework/gui/designed_control.h"

#include <memory>

class QProgressBar;
class RepaintPacer;

// A progress bar; a maximum of 0 or less shows the busy bar.
class ProgressBar : public DesignedControl<ProgressBar, QProgressBar> {
public:
    ProgressBar();
    ~ProgressBar() override;
    // The bar's own design values, after the head.
    struct Design {
        int32_t value { 0 }, maximum { 100 };
    };
    // Its lists' entries after the head, in their order.
    static void DeclareProperties(ControlTable<Design>& table);

    int32_t Value() const;
    void Value(int32_t value);
    int32_t Maximum() const;
    void Maximum(int32_t value);

private:
    void show();
    int32_t m_value { 0 }, m_maximum { 100 };
    // Held by pointer: the pacer is the framework's own, out of the program's sight.
    std::unique_ptr<RepaintPacer> m_pacer;
};
