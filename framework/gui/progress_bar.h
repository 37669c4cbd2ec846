#pragma once

#include "framework/gui/control.h"
#include "framework/gui/repaint_pacer.h"

class QProgressBar;

class ProgressBar : public DesignedControl<ProgressBar, QProgressBar> {
public:
    ProgressBar();
    // The bar's own design values, after the head.
    struct Design {
        int32_t value { 0 }, maximum { 100 };
    };
    static String DesignListOf(const DesignHead& head, const Design& design);

    int32_t Value() const;
    void Value(int32_t value);
    int32_t Maximum() const;
    void Maximum(int32_t value);

protected:
    QProgressBar* progressBar() const;

private:
    friend DesignedControl<ProgressBar, QProgressBar>;
    static void DeclareProperties(DesignTable<RectControl>& table);
    void show();
    int32_t m_value { 0 }, m_maximum { 100 };
    RepaintPacer m_pacer;
};
