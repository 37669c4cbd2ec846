// The menu model that every window's menu bar is built from.
#include "framework/gui/menu_item.h"

namespace {

// One count for every menu model: a window compares it with the count its menus were built at.
uint64_t& modelGeneration()
{
    static uint64_t generation = 1;
    return generation;
}

} // namespace

void MenuItem::Text(const String& value)
{
    if (value == m_text)
        return;
    m_text = value;
    changed();
}

void MenuItem::KeyboardShortcut(const String& value)
{
    if (value == m_shortcut)
        return;
    m_shortcut = value;
    changed();
}

// The enabled state is read afresh whenever menus are brought up to date; it needs no rebuild.
void MenuItem::Enabled(bool value)
{
    m_enabled = value;
}

void MenuItem::Append(const Ref<MenuItem>& item)
{
    item->m_parent = this;
    m_children.push_back(item);
    changed();
}

Ref<MenuItem> MenuItem::Item(int32_t index) const
{
    if (index < 0 || index >= Count())
        return nullptr;
    return m_children[static_cast<size_t>(index)];
}

Ref<MenuItem> MenuItem::Child(const String& name) const
{
    for (const auto& child : m_children) {
        if (child->Name() == name)
            return child;
    }
    return nullptr;
}

Ref<MenuItem> MenuItem::Lookup(const String& name)
{
    if (m_name == name)
        return Ref<MenuItem>(shared_from_this());
    for (const auto& child : m_children) {
        if (auto found = child->Lookup(name))
            return found;
    }
    return nullptr;
}

uint64_t MenuItem::Generation(FrameworkKey) const
{
    return modelGeneration();
}

void MenuItem::changed()
{
    ++modelGeneration();
}
