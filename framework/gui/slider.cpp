#include "framework/gui/slider.h"

#include "framework/gui/qt_convert.h"

#include <QSlider>

Slider::Slider()
    : DesignedControl(new QSlider(Qt::Horizontal))
{
    QObject::connect(slider(), &QSlider::valueChanged, slider(), [this] { fire(OnValueChanged, *this); });
}

void Slider::DeclareProperties(DesignTable<RectControl>& t)
{
    AddCommon(t, Common::TabIndex | Common::TabStop | Common::Enabled | kPresence | Common::InitialParent);
    t.Add("Minimum", &Slider::Minimum)
        .Add("Value", &Slider::Value)
        .Add("Maximum", &Slider::Maximum)
        .Add("LineStep", &Slider::LineStep)
        .Add("PageStep", &Slider::PageStep)
        .Add("LiveScroll", &Slider::LiveScroll)
        .Add("TickStyle", &Slider::tickStyle);
}

String Slider::DesignListOf(const DesignHead& h, const Design& d)
{
    DesignList list = beginList(DesignTypes(), h);
    list.Integer("TabIndex", h.tabIndex).Boolean("TabStop", true).Boolean("Enabled", h.enabled);
    presence(list)
        .Integer("Minimum", d.minimum)
        .Integer("Value", d.value)
        .Integer("Maximum", d.maximum)
        .Integer("LineStep", d.lineStep)
        .Integer("PageStep", d.pageStep)
        .Boolean("LiveScroll", d.liveScroll)
        .Integer("TickStyle", d.tickStyle)
        .Text("InitialParent", h.parent);
    return list.Bytes();
}

QSlider* Slider::slider() const { return widget(); }

// 0 draws no tick marks; any other style draws them below the groove.
void Slider::tickStyle(int32_t style)
{
    slider()->setTickPosition(style == 0 ? QSlider::NoTicks : QSlider::TicksBelow);
}

int32_t Slider::Minimum() const { return slider()->minimum(); }
void Slider::Minimum(int32_t value) { slider()->setMinimum(value); }
int32_t Slider::Maximum() const { return slider()->maximum(); }
void Slider::Maximum(int32_t value) { slider()->setMaximum(value); }
int32_t Slider::Value() const { return slider()->value(); }
void Slider::Value(int32_t value) { slider()->setValue(value); }
int32_t Slider::LineStep() const { return slider()->singleStep(); }
void Slider::LineStep(int32_t value) { slider()->setSingleStep(value); }
int32_t Slider::PageStep() const { return slider()->pageStep(); }
void Slider::PageStep(int32_t value) { slider()->setPageStep(value); }
bool Slider::LiveScroll() const { return slider()->hasTracking(); }
void Slider::LiveScroll(bool value) { slider()->setTracking(value); }
