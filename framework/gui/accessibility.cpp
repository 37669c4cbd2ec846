// Accessible interfaces where Qt's own give a screen reader less than the window shows.
#include "framework/gui/private/accessibility.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QToolButton>
#include <QVariant>

namespace {

// The label whose buddy the widget is, among its siblings (as Qt looks for it).
QString labelOf(const QWidget* widget)
{
    const QWidget* parent = widget->parentWidget();
    if (!parent)
        return {};
    for (const QObject* child : parent->children()) {
        const auto* label = qobject_cast<const QLabel*>(child);
        if (label && label->buddy() == widget)
            return label->text();
    }
    return {};
}

// A popup, named by its label, its current row being its value. Its one child is the list that
// opens, as in Qt's own interface.
class PopupAccessible final : public QAccessibleWidget {
public:
    explicit PopupAccessible(QComboBox* combo)
        : QAccessibleWidget(combo, QAccessible::ComboBox)
    {
        addControllingSignal(QStringLiteral("currentIndexChanged(int)"));
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return combo()->currentText();
        if (t == QAccessible::Name) {
            if (const QString name = combo()->accessibleName(); !name.isEmpty())
                return name;
            if (const QString label = labelOf(combo()); !label.isEmpty())
                return label;
            return combo()->currentText();
        }
        return QAccessibleWidget::text(t);
    }

    int childCount() const override { return 1; }
    QAccessibleInterface* child(int index) const override
    {
        return index == 0 ? QAccessible::queryAccessibleInterface(combo()->view()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        return child && child->object() == combo()->view() ? 0 : -1;
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.expandable = true;
        s.expanded = combo()->view()->isVisible();
        return s;
    }

    QStringList actionNames() const override
    {
        return QStringList { showMenuAction(), pressAction() } + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& name) override
    {
        if (name == showMenuAction() || name == pressAction())
            combo()->showPopup();
        else
            QAccessibleWidget::doAction(name);
    }

private:
    QComboBox* combo() const { return static_cast<QComboBox*>(widget()); }
};

// A disclosure triangle: a button that shows or hides what it names, expanded while open.
class DisclosureAccessible final : public QAccessibleWidget {
public:
    explicit DisclosureAccessible(QToolButton* button)
        : QAccessibleWidget(button, QAccessible::Button)
    {
        addControllingSignal(QStringLiteral("toggled(bool)"));
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.expandable = true;
        s.expanded = button()->isChecked();
        return s;
    }

    QStringList actionNames() const override { return QStringList { pressAction() } + QAccessibleWidget::actionNames(); }
    void doAction(const QString& name) override
    {
        if (name == pressAction())
            button()->click();
        else
            QAccessibleWidget::doAction(name);
    }

private:
    QToolButton* button() const { return static_cast<QToolButton*>(widget()); }
};

QAccessibleInterface* factory(const QString& className, QObject* object)
{
    if (className == QLatin1String("QToolButton") && object->property(kDisclosureProperty).toBool())
        return new DisclosureAccessible(static_cast<QToolButton*>(object));
    if (className == QLatin1String("QComboBox")) {
        if (auto* combo = qobject_cast<QComboBox*>(object); combo && !combo->isEditable())
            return new PopupAccessible(combo);
    }
    if (className == QLatin1String("QFrame")) {
        auto* frame = qobject_cast<QFrame*>(object);
        if (frame && (frame->frameShape() == QFrame::HLine || frame->frameShape() == QFrame::VLine))
            return new QAccessibleWidget(frame, QAccessible::Separator);
    }
    return nullptr;
}

} // namespace

void InstallAccessibility()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    QAccessible::installFactory(&factory);
}
