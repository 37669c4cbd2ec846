// A progress bar that keeps a value beyond its maximum.
#include "framework/gui/progress_bar.h"

#include "framework/gui/private/qt_convert.h"
#include "framework/gui/private/repaint_pacer.h"

#include <QProgressBar>

#include <algorithm>

ProgressBar::ProgressBar()
    : DesignedControl(new QProgressBar)
    , m_pacer(std::make_unique<RepaintPacer>(*Widget()))
{
    widget()->setTextVisible(false);
    widget()->setFocusPolicy(Qt::NoFocus);
    show();
}

ProgressBar::~ProgressBar() = default;

// A progress bar takes no focus, so its list has no tab index.
void ProgressBar::DeclareProperties(ControlTable<Design>& t)
{
    t.Add(Common::Visible, Common::HelpTag, Common::AutoDeactivate, Common::Enabled)
        .Add("Value", &ProgressBar::Value, &Design::value)
        .Add("Maximum", &ProgressBar::Maximum, &Design::maximum)
        .Add(Common::InitialParent);
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
// A run over many small pictures moves the bar thousands of times a second: it is repainted once
// a frame at most.
void ProgressBar::show()
{
    const RepaintPacer::Change change(*m_pacer);
    const int32_t maximum = std::max(0, m_maximum);
    widget()->setRange(0, maximum);
    widget()->setValue(std::clamp(m_value, 0, maximum));
}
