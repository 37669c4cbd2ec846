#pragma once

#include "framework/core/ref.h"
#include "framework/core/text.h"
#include "framework/gui/framework_key.h"

#include <memory>
#include <vector>

// A node of the menu model: a menu bar, a menu, an item or a separator (Text "-"). Each window
// that shows a menu bar builds its own Qt menus from the one model.
class MenuItem : public std::enable_shared_from_this<MenuItem> {
public:
    MenuItem() = default;
    virtual ~MenuItem() = default;

    String Name() const { return m_name; }
    void Name(const String& value) { m_name = value; }
    String Text() const { return m_text; }
    void Text(const String& value);
    // "Cmd+Q" form; Cmd is Ctrl here. "" for none.
    String KeyboardShortcut() const { return m_shortcut; }
    void KeyboardShortcut(const String& value);
    bool AutoEnable() const { return m_autoEnable; }
    void AutoEnable(bool value) { m_autoEnable = value; }
    bool Enabled() const { return m_enabled; }
    void Enabled(bool value);
    void Enable() { Enabled(true); }

    void Append(const Ref<MenuItem>& item);
    int32_t Count() const { return static_cast<int32_t>(m_children.size()); }
    Ref<MenuItem> Item(int32_t index) const;
    // The direct child of that name, nil when none.
    Ref<MenuItem> Child(const String& name) const;
    // The item of that name anywhere below this one (this one included), nil when none.
    Ref<MenuItem> Lookup(const String& name);

    // Framework-internal: the model changed, menus shown from it must be rebuilt.
    uint64_t Generation(FrameworkKey) const;

private:
    void changed();

    String m_name, m_text, m_shortcut;
    bool m_autoEnable { false };
    bool m_enabled { false };
    std::vector<Ref<MenuItem>> m_children;
    MenuItem* m_parent { nullptr };
};

class MenuBar : public MenuItem {
};

// Quits the application (through Quit) when chosen.
class QuitMenuItem : public MenuItem {
};

// The about item.
class AppleMenuItem : public MenuItem {
};
