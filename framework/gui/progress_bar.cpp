#include "framework/gui/progress_bar.h"

#include "framework/gui/qt_convert.h"

#include <QProgressBar>

#include <algorithm>

ProgressBar::ProgressBar()
    : DesignedControl(new QProgressBar)
    , m_pacer(*Widget())
{
    progressBar()->setTextVisible(false);
    progressBar()->setFocusPolicy(Qt::NoFocus);
    show();
}

void ProgressBar::DeclareProperties(DesignTable<RectControl>& t)
{
    AddCommon(t, kPresence | Common::Enabled | Common::InitialParent);
    t.Add("Value", &ProgressBar::Value).Add("Maximum", &ProgressBar::Maximum);
}

String ProgressBar::DesignListOf(const DesignHead& h, const Design& d)
{
    // A progress bar takes no focus, so its list has no tab index.
    DesignList list = beginList(DesignTypes(), h);
    presence(list)
        .Boolean("Enabled", h.enabled)
        .Integer("Value", d.value)
        .Integer("Maximum", d.maximum)
        .Text("InitialParent", h.parent);
    return list.Bytes();
}

QProgressBar* ProgressBar::progressBar() const { return widget(); }

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
// A run over many small pictures moves the bar thousands of times a second: it is repainted once
// a frame at most.
void ProgressBar::show()
{
    const RepaintPacer::Change change(m_pacer);
    const int32_t maximum = std::max(0, m_maximum);
    progressBar()->setRange(0, maximum);
    progressBar()->setValue(std::clamp(m_value, 0, maximum));
}
