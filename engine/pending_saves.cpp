// The pictures of a run whose files are still being made.
#include "engine/pending_saves.h"

#include "framework/image/picture.h"

#include <utility>

PendingSaves::PendingSaves(Ref<FolderItem> folder) : m_folder(std::move(folder)) {}

void PendingSaves::Add(const String& fileName, int32_t index, const String& itemName)
{
    m_items.push_back({ fileName, index, itemName });
}

void PendingSaves::Settle(bool wait, const std::function<void(int32_t)>& done, RunReport& report)
{
    if (m_items.empty())
        return;
    for (const Picture::SaveEnded& save : wait ? Picture::EndSaves(m_folder) : Picture::EndedSaves(m_folder)) {
        if (m_items.empty() || m_items.front().fileName != save.fileName)
            continue;
        const Item item = std::move(m_items.front());
        m_items.pop_front();
        if (save.error.empty())
            done(item.index);
        else
            report.ItemFailed(item.name, save.error);
    }
}
