// A horizontal slider.
#include "framework/gui/slider.h"

#include "framework/gui/private/qt_convert.h"

#include <QSlider>

Slider::Slider()
    : DesignedControl(new QSlider(Qt::Horizontal))
{
    QObject::connect(widget(), &QSlider::valueChanged, widget(), [this] { fire(OnValueChanged, *this); });
}

void Slider::DeclareProperties(ControlTable<Design>& t)
{
    t.Add(Common::TabIndex, Common::TabStop, Common::Enabled, Common::Visible, Common::HelpTag, Common::AutoDeactivate)
        .Add("Minimum", &Slider::Minimum, &Design::minimum)
        .Add("Value", &Slider::Value, &Design::value)
        .Add("Maximum", &Slider::Maximum, &Design::maximum)
        .Add("LineStep", &Slider::LineStep, &Design::lineStep)
        .Add("PageStep", &Slider::PageStep, &Design::pageStep)
        .Add("LiveScroll", &Slider::LiveScroll, &Design::liveScroll)
        .Add("TickStyle", &Slider::tickStyle, &Design::tickStyle)
        .Add(Common::InitialParent);
}

// 0 draws no tick marks; any other style draws them below the groove.
void Slider::tickStyle(int32_t style)
{
    widget()->setTickPosition(style == 0 ? QSlider::NoTicks : QSlider::TicksBelow);
}

int32_t Slider::Minimum() const { return widget()->minimum(); }
void Slider::Minimum(int32_t value) { widget()->setMinimum(value); }
int32_t Slider::Maximum() const { return widget()->maximum(); }
void Slider::Maximum(int32_t value) { widget()->setMaximum(value); }
int32_t Slider::Value() const { return widget()->value(); }
void Slider::Value(int32_t value) { widget()->setValue(value); }
int32_t Slider::LineStep() const { return widget()->singleStep(); }
void Slider::LineStep(int32_t value) { widget()->setSingleStep(value); }
int32_t Slider::PageStep() const { return widget()->pageStep(); }
void Slider::PageStep(int32_t value) { widget()->setPageStep(value); }
bool Slider::LiveScroll() const { return widget()->hasTracking(); }
void Slider::LiveScroll(bool value) { widget()->setTracking(value); }
