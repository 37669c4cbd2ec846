#include "framework/gui/slider.h"

#include "framework/gui/qt_convert.h"

#include <QSlider>

Slider::Slider()
    : RectControl(new QSlider(Qt::Horizontal))
{
    QObject::connect(slider(), &QSlider::valueChanged, slider(), [this] { fire(OnValueChanged, *this); });
}

const DesignTable<RectControl>& Slider::classTable()
{
    static const DesignTable<RectControl> table = [] {
        using T = DesignType;
        auto self = [](RectControl& c) -> Slider& { return static_cast<Slider&>(c); };
        auto t = HeadTable();
        AddCommonEntries(t, { "TabIndex", "TabStop", "Enabled", "Visible", "HelpTag", "AutoDeactivate", "InitialParent" });
        t.Add("Minimum", T::Integer, [self](RectControl& c, const DesignValue& v) { self(c).Minimum(designInt(v)); });
        t.Add("Value", T::Integer, [self](RectControl& c, const DesignValue& v) { self(c).Value(designInt(v)); });
        t.Add("Maximum", T::Integer, [self](RectControl& c, const DesignValue& v) { self(c).Maximum(designInt(v)); });
        t.Add("LineStep", T::Integer, [self](RectControl& c, const DesignValue& v) { self(c).LineStep(designInt(v)); });
        t.Add("PageStep", T::Integer, [self](RectControl& c, const DesignValue& v) { self(c).PageStep(designInt(v)); });
        t.Add("LiveScroll", T::Boolean, [self](RectControl& c, const DesignValue& v) { self(c).LiveScroll(designBool(v)); });
        // 0 draws no tick marks; any other style draws them below the groove.
        t.Add("TickStyle", T::Integer, [self](RectControl& c, const DesignValue& v) {
            self(c).slider()->setTickPosition(designInt(v) == 0 ? QSlider::NoTicks : QSlider::TicksBelow);
        });
        return t;
    }();
    return table;
}

DesignTypeOf Slider::DesignTypes() { return classTable().Types(); }
const DesignTable<RectControl>& Slider::Table() const { return classTable(); }

QSlider* Slider::slider() const
{
    return static_cast<QSlider*>(Widget());
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
