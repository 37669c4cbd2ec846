// The pictures of a run whose files are still being made.
#include "engine/pending_saves.h"

#include "framework/image/picture.h"

#include <utility>

PendingSaves::PendingSaves(Ref<FolderItem> folder) : m_folder(std::move(folder)) {}

void PendingSaves::Add(const String& fileName, int32_t index, const String& itemName)
{
    m_items[fileName] = { index, itemName };
}

void PendingSaves::Settle(bool wait, const std::function<void(int32_t)>& done, RunReport& report)
{
    if (m_items.empty())
        return;
    for (const Picture::SaveEnded& save : wait ? Picture::EndSaves(m_folder) : Picture::EndedSaves(m_folder)) {
        const auto found = m_items.find(save.fileName);
        if (found == m_items.end())
            continue;
        if (save.error.empty())
            done(found->second.index);
        else
            report.ItemFailed(found->second.name, save.error);
        m_items.erase(found);
    }
}
