// A radio button, exclusive among its parent's own buttons.
#include "framework/gui/radio_button.h"

#include <QButtonGroup>
#include <QEvent>
#include <QRadioButton>

namespace {

// Qt's own auto-exclusivity looks for the checked sibling among every button below the parent,
// a group box's included, and then cannot uncheck one that sits in a box: the window's buttons
// and a box's would hold each other checked. One exclusive group per parent widget keeps each
// parent's buttons to themselves.
class ExclusiveRadio final : public QRadioButton {
protected:
    // Qt's button takes the Tab stop from every other member of its group when it gets the
    // focus; here each member keeps its own, so Tab visits them all in the window's order.
    void focusInEvent(QFocusEvent* e) override { QWidget::focusInEvent(e); }

    bool event(QEvent* e) override
    {
        if (e->type() == QEvent::ParentChange)
            joinParentGroup();
        return QRadioButton::event(e);
    }

private:
    void joinParentGroup()
    {
        if (QButtonGroup* old = group())
            old->removeButton(this);
        QWidget* parent = parentWidget();
        if (!parent)
            return;
        static const QString name = QStringLiteral("RadioButton.exclusiveGroup");
        auto* shared = parent->findChild<QButtonGroup*>(name, Qt::FindDirectChildrenOnly);
        if (!shared) {
            shared = new QButtonGroup(parent);
            shared->setObjectName(name);
        }
        shared->addButton(this);
    }
};

} // namespace

RadioButton::RadioButton()
    : DesignedControl(new ExclusiveRadio)
{
    // The group of its parent decides; a radio button that is not auto-exclusive would tell
    // screen readers it is a check box.
    widget()->setAutoExclusive(true);
    // Unchecking the sibling raises nothing: only the member that becomes checked acts.
    QObject::connect(widget(), &QRadioButton::toggled, widget(), [this](bool checked) {
        if (checked)
            fire(OnAction, *this);
    });
}

void RadioButton::DeclareProperties(ControlTable<Design>& t)
{
    t.Add(Common::TabIndex, Common::TabStop, Common::Enabled, Common::Visible, Common::HelpTag, Common::AutoDeactivate)
        .Font(&Design::font)
        .Add("Value", &RadioButton::Value, &Design::value)
        .Add(Common::InitialParent);
}

bool RadioButton::Value() const
{
    return widget()->isChecked();
}

void RadioButton::Value(bool value)
{
    if (value == Value())
        return;
    if (value) {
        widget()->setChecked(true);
        return;
    }
    // Qt keeps one member of an exclusive group checked; code may leave the group with none.
    QButtonGroup* group = widget()->group();
    if (group)
        group->setExclusive(false);
    widget()->setChecked(false);
    if (group)
        group->setExclusive(true);
}
