#include "framework/gui/progress_bar.h"

#include "framework/gui/qt_convert.h"

#include <QProgressBar>

#include <algorithm>

ProgressBar::ProgressBar()
    : RectControl(new QProgressBar)
{
    progressBar()->setTextVisible(false);
    progressBar()->setFocusPolicy(Qt::NoFocus);
    show();
}

const DesignTable<RectControl>& ProgressBar::classTable()
{
    static const DesignTable<RectControl> table = [] {
        using T = DesignType;
        auto self = [](RectControl& c) -> ProgressBar& { return static_cast<ProgressBar&>(c); };
        auto t = HeadTable();
        AddCommonEntries(t, { "Visible", "HelpTag", "AutoDeactivate", "Enabled", "InitialParent" });
        t.Add("Value", T::Integer, [self](RectControl& c, const DesignValue& v) { self(c).Value(designInt(v)); });
        t.Add("Maximum", T::Integer, [self](RectControl& c, const DesignValue& v) { self(c).Maximum(designInt(v)); });
        return t;
    }();
    return table;
}

DesignTypeOf ProgressBar::DesignTypes() { return classTable().Types(); }
const DesignTable<RectControl>& ProgressBar::Table() const { return classTable(); }

QProgressBar* ProgressBar::progressBar() const
{
    return static_cast<QProgressBar*>(Widget());
}

int32_t ProgressBar::Value() const
{
    return m_value;
}

// The value is kept as given even beyond the maximum (Qt would drop it), so that setting the
// value before the maximum works.
void ProgressBar::Value(int32_t value)
{
    if (value == m_value)
        return;
    m_value = value;
    show();
}

int32_t ProgressBar::Maximum() const
{
    return m_maximum;
}

void ProgressBar::Maximum(int32_t value)
{
    if (value == m_maximum)
        return;
    m_maximum = value;
    show();
}

// A maximum of 0 (or less) shows Qt's busy bar, the usual picture of an unknown amount of work.
void ProgressBar::show()
{
    const int32_t maximum = std::max(0, m_maximum);
    progressBar()->setRange(0, maximum);
    progressBar()->setValue(std::clamp(m_value, 0, maximum));
}
