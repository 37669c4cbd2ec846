// A window's keyboard and screen-reader side: the focus order, which controls the keyboard can
// reach at the window's size, the keys that close a secondary window, and the names of fields.
#include "framework/gui/window.h"

#include "framework/gui/edit_field.h"
#include "framework/gui/group_box.h"
#include "framework/gui/label.h"
#include "framework/gui/popup_menu.h"
#include "framework/gui/slider.h"
#include "framework/gui/private/window_shell.h"

#include <QLabel>

#include <algorithm>

// Within each parent the order of TabIndex; a group box's members follow at the box's place.
// Controls that take no focus by the keyboard are left out.
void Window::orderFocus()
{
    std::vector<RectControl*> order;
    std::function<void(const String&)> visit = [&](const String& parent) {
        std::vector<RectControl*> level;
        for (const auto& m : m_members) {
            if (auto control = m.member.As<RectControl>(); control && control->InitialParent() == parent)
                level.push_back(control.get());
        }
        std::stable_sort(level.begin(), level.end(), [](RectControl* a, RectControl* b) { return a->TabIndex() < b->TabIndex(); });
        for (RectControl* control : level) {
            if (control->TakesTabFocus({}))
                order.push_back(control);
            if (dynamic_cast<GroupBox*>(control) && !control->Name().empty())
                visit(control->Name());
        }
    };
    visit(String());
    for (size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1]->Widget(), order[i]->Widget());
    m_focusOrder = std::move(order);
}

// A field, popup or slider is named for a screen reader by the label that stands before it on its
// row, within the same parent: the nearest label to its left whose height spans the control's
// middle. The label's buddy (the relation screen readers follow) is the nearest of the controls
// it names. A control without such a label keeps what Qt or the program gives it.
void Window::nameFieldsByLabels()
{
    std::vector<Label*> labels;
    for (const auto& m : m_members) {
        if (auto label = m.member.As<Label>())
            labels.push_back(label.get());
    }
    for (const auto& m : m_members) {
        auto control = m.member.As<RectControl>();
        if (!control || !(control.As<EditField>() || control.As<PopupMenu>() || control.As<Slider>()))
            continue;
        const int32_t middle = control->Top() + control->Height() / 2;
        Label* nearest = nullptr;
        for (Label* label : labels) {
            if (label->InitialParent() != control->InitialParent() || label->Top() > middle
                || label->Top() + label->Height() <= middle || label->Left() + label->Width() > control->Left() + 1)
                continue;
            if (!nearest || label->Left() > nearest->Left())
                nearest = label;
        }
        if (!nearest)
            continue;
        if (control->AccessibleName().empty())
            control->AccessibleName(nearest->Text());
        auto* shown = static_cast<QLabel*>(nearest->Widget());
        const QWidget* buddy = shown->buddy();
        if (!buddy || buddy->x() > control->Widget()->x())
            shown->setBuddy(control->Widget());
    }
}

// A control that the window's size leaves out of view takes no focus, so that Tab never walks
// into it and Space never changes what the user cannot see. When the focus was in such a control,
// it moves to the first one in view.
void Window::updateReach()
{
    const FrameworkKey key;
    bool focusLost = false;
    for (auto& m : m_members) {
        auto control = m.member.As<RectControl>();
        if (!control)
            continue;
        const bool inView = control->Left() < m_width && control->Top() < m_height
            && control->Left() + control->Width() > 0 && control->Top() + control->Height() > 0;
        if (!inView && control->Widget()->hasFocus())
            focusLost = true;
        control->Reachable(key, inView);
    }
    if (!focusLost)
        return;
    for (RectControl* control : m_focusOrder) {
        if (control->Widget()->focusPolicy() & Qt::TabFocus && control->Widget()->isEnabled()) {
            control->Widget()->setFocus(Qt::TabFocusReason);
            return;
        }
    }
    m_shell->content->setFocus(Qt::OtherFocusReason);
}

void Window::ClosesByKeyboard(bool value)
{
    if (m_closesByKeyboard == value)
        return;
    m_closesByKeyboard = value;
    m_shell->closeShortcut(value);
}
