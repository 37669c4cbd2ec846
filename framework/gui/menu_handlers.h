#pragma once

#include "framework/core/text.h"

#include <functional>
#include <utility>
#include <vector>

// Menu items routed by name, as a window and a focused control hold them: a later handler for
// the same item replaces the earlier one.
class MenuHandlers {
public:
    void Add(const String& itemName, std::function<bool()> handler)
    {
        for (auto& [name, existing] : m_handlers) {
            if (name == itemName) {
                existing = std::move(handler);
                return;
            }
        }
        m_handlers.emplace_back(itemName, std::move(handler));
    }
    // Empty when nothing handles the item.
    std::function<bool()> Find(const String& itemName) const
    {
        for (const auto& [name, handler] : m_handlers) {
            if (name == itemName)
                return handler;
        }
        return {};
    }

private:
    std::vector<std::pair<String, std::function<bool()>>> m_handlers;
};
