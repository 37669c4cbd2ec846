#include "framework/gui/control.h"

#include "framework/gui/group_box.h"
#include "framework/gui/runtime.h"
#include "framework/gui/text_fit.h"
#include "framework/gui/window.h"

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

void Control::AttachTo(::Window& window)
{
    m_window = window.weak_from_this();
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
    const int policy = m_widget->focusPolicy();
    if (!value && (policy & Qt::TabFocus))
        m_widget->setFocusPolicy(static_cast<Qt::FocusPolicy>(policy & ~Qt::TabFocus));
    else if (value && (policy & Qt::ClickFocus))
        m_widget->setFocusPolicy(static_cast<Qt::FocusPolicy>(policy | Qt::TabFocus));
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
    QWidget* parent = window->ContentWidget();
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
    ApplyDesignList(Table(), *this, designList);
}

void RectControl::AddMenuHandler(const String& itemName, std::function<bool()> handler)
{
    for (auto& [name, existing] : m_menuHandlers) {
        if (name == itemName) {
            existing = std::move(handler);
            return;
        }
    }
    m_menuHandlers.emplace_back(itemName, std::move(handler));
}

std::function<bool()> RectControl::MenuHandler(const String& itemName) const
{
    for (const auto& [name, handler] : m_menuHandlers) {
        if (name == itemName)
            return handler;
    }
    return {};
}

void RectControl::AttachTo(::Window& window)
{
    Control::AttachTo(window);
    m_widget->setParent(window.ContentWidget());
    m_widget->setVisible(m_visible);
    if (!m_initialParent.empty())
        InitialParent(m_initialParent);
    place();
}

void RectControl::DetachWidget()
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

const DesignTable<RectControl>& RectControl::Table() const
{
    static const DesignTable<RectControl> table = HeadTable();
    return table;
}

DesignTypeOf RectControl::HeadTypes()
{
    static const DesignTable<RectControl> table = HeadTable();
    return table.Types();
}

namespace {

int32_t asInt(const DesignValue& v) { return std::get<int32_t>(v); }
bool asBool(const DesignValue& v) { return std::get<bool>(v); }
const String& asText(const DesignValue& v) { return std::get<String>(v); }

} // namespace

DesignTable<RectControl> RectControl::HeadTable()
{
    using T = DesignType;
    DesignTable<RectControl> t;
    t.Add("Name", T::Text, [](RectControl& c, const DesignValue& v) { c.Name(asText(v)); });
    t.Add("Index", T::Integer, [](RectControl& c, const DesignValue& v) { c.Index(asInt(v)); });
    t.Add("Left", T::Integer, [](RectControl& c, const DesignValue& v) { c.Left(asInt(v)); });
    t.Add("Top", T::Integer, [](RectControl& c, const DesignValue& v) { c.Top(asInt(v)); });
    t.Add("Width", T::Integer, [](RectControl& c, const DesignValue& v) { c.Width(asInt(v)); });
    t.Add("Height", T::Integer, [](RectControl& c, const DesignValue& v) { c.Height(asInt(v)); });
    t.Add("LockLeft", T::Boolean, [](RectControl& c, const DesignValue& v) { c.LockLeft(asBool(v)); });
    t.Add("LockTop", T::Boolean, [](RectControl& c, const DesignValue& v) { c.LockTop(asBool(v)); });
    t.Add("LockRight", T::Boolean, [](RectControl& c, const DesignValue& v) { c.LockRight(asBool(v)); });
    t.Add("LockBottom", T::Boolean, [](RectControl& c, const DesignValue& v) { c.LockBottom(asBool(v)); });
    // Tab panels do not exist here; every control lies on panel 0.
    t.Add("TabPanelIndex", T::Integer, [](RectControl&, const DesignValue&) {});
    return t;
}

void RectControl::AddCommonEntries(DesignTable<RectControl>& t, const std::vector<String>& names)
{
    using T = DesignType;
    for (const String& name : names) {
        if (name == "TabIndex")
            t.Add(name, T::Integer, [](RectControl& c, const DesignValue& v) { c.TabIndex(asInt(v)); });
        else if (name == "TabStop")
            t.Add(name, T::Boolean, [](RectControl& c, const DesignValue& v) { c.TabStop(asBool(v)); });
        else if (name == "Enabled")
            t.Add(name, T::Boolean, [](RectControl& c, const DesignValue& v) { c.Enabled(asBool(v)); });
        else if (name == "Visible")
            t.Add(name, T::Boolean, [](RectControl& c, const DesignValue& v) { c.Visible(asBool(v)); });
        else if (name == "HelpTag")
            t.Add(name, T::Text, [](RectControl& c, const DesignValue& v) { c.HelpTag(asText(v)); });
        else if (name == "TextFont")
            t.Add(name, T::Text, [](RectControl& c, const DesignValue& v) { c.TextFont(asText(v)); });
        else if (name == "Bold")
            t.Add(name, T::Boolean, [](RectControl& c, const DesignValue& v) { c.Bold(asBool(v)); });
        else if (name == "Italic")
            t.Add(name, T::Boolean, [](RectControl& c, const DesignValue& v) { c.Italic(asBool(v)); });
        else if (name == "Underline")
            t.Add(name, T::Boolean, [](RectControl& c, const DesignValue& v) { c.Underline(asBool(v)); });
        else if (name == "InitialParent")
            t.Add(name, T::Text, [](RectControl& c, const DesignValue& v) { c.InitialParent(asText(v)); });
        // Deactivating with the window is what every widget here does; data binding does not
        // exist. The entries are accepted so that the lists stay whole.
        else if (name == "AutoDeactivate")
            t.Add(name, T::Boolean, [](RectControl&, const DesignValue&) {});
        else if (name == "DataSource" || name == "DataField")
            t.Add(name, T::Text, [](RectControl&, const DesignValue&) {});
        else
            throw RuntimeException("No common design property \"" + name + "\"");
    }
}
