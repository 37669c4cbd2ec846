// Members of a window and the place, font and properties every visual control shares.
#include "framework/gui/control.h"

#include "framework/gui/group_box.h"
#include "framework/gui/runtime.h"
#include "framework/gui/private/text_fit.h"
#include "framework/gui/window.h"
#include "framework/gui/private/application_internals.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QComboBox>
#include <QFont>
#include <QWidget>

#include <algorithm>
#include <cmath>

Ref<::Window> Control::Window() const
{
    return Ref<::Window>(m_window.lock());
}

void Control::AttachTo(::Window& window, FrameworkKey)
{
    Joining(window);
    m_window = window.weak_from_this();
    attachWidget(window);
    Joined(window);
}

RectControl::RectControl(QWidget* widget)
    : m_widget(widget)
{
    applyFont();
    // A popup's rows are its texts: each change of them is fitted again.
    if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        QAbstractItemModel* rows = combo->model();
        QObject::connect(rows, &QAbstractItemModel::rowsInserted, widget, [this] { applyFont(); });
        QObject::connect(rows, &QAbstractItemModel::dataChanged, widget, [this] { applyFont(); });
        QObject::connect(rows, &QAbstractItemModel::modelReset, widget, [this] { applyFont(); });
    }
}

RectControl::~RectControl()
{
    // Deferred: a control may go away while its own widget is delivering the event that closed
    // the window.
    if (m_widget) {
        m_widget->hide();
        m_widget->deleteLater();
    }
}

void RectControl::Enabled(bool value)
{
    if (m_enabled == value)
        return;
    m_enabled = value;
    m_widget->setEnabled(value);
}

// Unlike Enabled, the setters below apply their value even when it is unchanged, because the
// widget shows more than the value: its place counts from its group box's, which may have moved
// since; its font is fitted to the text and the room it has now. Setting a value again is what
// places or fits the widget anew, so returning early would change when that happens.
void RectControl::Visible(bool value)
{
    m_visible = value;
    // A widget without a parent would show as a window of its own.
    if (m_widget->parentWidget())
        m_widget->setVisible(value);
}

void RectControl::Left(int32_t value)
{
    m_left = value;
    place();
}

void RectControl::Top(int32_t value)
{
    m_top = value;
    place();
}

void RectControl::Width(int32_t value)
{
    m_width = value;
    place();
}

void RectControl::Height(int32_t value)
{
    m_height = value;
    place();
}

void RectControl::LockRight(bool value)
{
    m_lockRight = value;
}

void RectControl::LockBottom(bool value)
{
    m_lockBottom = value;
}

void RectControl::TabStop(bool value)
{
    m_tabStop = value;
    const int policy = focusPolicy();
    if (!value && (policy & Qt::TabFocus))
        focusPolicy(static_cast<Qt::FocusPolicy>(policy & ~Qt::TabFocus));
    else if (value && (policy & Qt::ClickFocus))
        focusPolicy(static_cast<Qt::FocusPolicy>(policy | Qt::TabFocus));
}

void RectControl::focusPolicy(Qt::FocusPolicy policy)
{
    if (m_reachable)
        m_widget->setFocusPolicy(policy);
    else
        m_reachPolicy = policy;
}

void RectControl::Reachable(FrameworkKey, bool value)
{
    if (m_reachable == value)
        return;
    m_reachable = value;
    if (value) {
        m_widget->setFocusPolicy(m_reachPolicy);
        return;
    }
    m_reachPolicy = m_widget->focusPolicy();
    m_widget->setFocusPolicy(Qt::NoFocus);
}

String RectControl::AccessibleName() const
{
    return m_widget->accessibleName().toStdString();
}

void RectControl::AccessibleName(const String& value)
{
    m_widget->setAccessibleName(QString::fromStdString(value));
}

void RectControl::HelpTag(const String& value)
{
    m_helpTag = value;
    m_widget->setToolTip(QString::fromStdString(value));
}

void RectControl::TextFont(const String& value)
{
    m_textFont = value;
    applyFont();
}

void RectControl::TextSize(float value)
{
    m_textSize = value;
    applyFont();
}

void RectControl::Bold(bool value)
{
    m_bold = value;
    applyFont();
}

void RectControl::Italic(bool value)
{
    m_italic = value;
    applyFont();
}

void RectControl::Underline(bool value)
{
    m_underline = value;
    applyFont();
}

void RectControl::InitialParent(const String& value)
{
    m_initialParent = value;
    auto window = m_window.lock();
    if (!window)
        return; // placed when the control is attached
    QWidget* parent = window->ContentWidget({});
    if (!value.empty()) {
        auto box = window->ControlByName(value).As<GroupBox>();
        if (!box)
            throw RuntimeException("The window has no group box named \"" + value + "\"");
        parent = box->Widget();
    }
    if (m_widget->parentWidget() != parent) {
        m_widget->setParent(parent);
        m_widget->setVisible(m_visible);
    }
    place();
}

void RectControl::SetProperties(const String& designList)
{
    applyDesignList(designList);
}

void RectControl::AddMenuHandler(const String& itemName, std::function<bool()> handler)
{
    m_menuHandlers.Add(itemName, std::move(handler));
}

void RectControl::attachWidget(::Window& window)
{
    m_widget->setParent(window.ContentWidget({}));
    m_widget->setVisible(m_visible);
    if (!m_initialParent.empty())
        InitialParent(m_initialParent);
    place();
}

void RectControl::DetachWidget(FrameworkKey)
{
    if (m_widget) {
        m_widget->hide();
        m_widget->setParent(nullptr);
    }
}

void RectControl::place()
{
    int32_t originLeft = 0, originTop = 0;
    if (!m_initialParent.empty()) {
        if (auto window = m_window.lock()) {
            if (auto box = window->ControlByName(m_initialParent).As<RectControl>()) {
                originLeft = box->Left();
                originTop = box->Top();
            }
        }
    }
    m_widget->setGeometry(m_left - originLeft, m_top - originTop, std::max(0, m_width), std::max(0, m_height));
    applyFont(); // the room for the text may have changed
}

// "System" is the application's font. A text size counts pixels: the layouts were drawn for
// screens where a point is a pixel, and 12-pixel text sits well in the 16- to 22-pixel-high
// controls they use.
void RectControl::applyFont()
{
    QFont font = QApplication::font(m_widget);
    if (!m_textFont.empty() && m_textFont != "System")
        font.setFamily(QString::fromStdString(m_textFont));
    if (m_textSize > 0)
        font.setPixelSize(static_cast<int>(std::lround(m_textSize)));
    font.setBold(m_bold);
    font.setItalic(m_italic);
    font.setUnderline(m_underline);
    const QFont fitted = fitFont(font);
    if (fitted != m_widget->font())
        m_widget->setFont(fitted);
}

QFont RectControl::fitFont(const QFont& design)
{
    QStringList texts;
    const int room = TextRoom(*m_widget, texts);
    return FitFont(design, texts, room);
}

void RectControl::guarded(const std::function<void()>& body)
{
    RunGuarded(body);
}
