#include "framework/gui/window.h"

// A drop always presents one current item; a drop without a local file (text only, say) presents
// one that carries no folder item.
DragItem::DragItem(std::vector<String> paths, bool hasOther)
    : m_paths(std::move(paths))
{
    if (hasOther || m_paths.empty())
        m_paths.push_back(String());
}

bool DragItem::FolderItemAvailable() const
{
    return m_current < m_paths.size() && !m_paths[m_current].empty();
}

Ref<::FolderItem> DragItem::FolderItem() const
{
    if (!FolderItemAvailable())
        return nullptr;
    return ::FolderItem::FromUserPath(m_paths[m_current]);
}

bool DragItem::NextItem()
{
    if (m_current + 1 >= m_paths.size())
        return false;
    ++m_current;
    return true;
}
