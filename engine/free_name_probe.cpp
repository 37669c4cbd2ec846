// The first free file name in the output folder, asked of the folder as few times as a run allows.
#include "engine/free_name_probe.h"

#include <algorithm>
#include <utility>

FreeNameProbe::FreeNameProbe(Ref<FolderItem> folder, String extension)
    : m_folder(std::move(folder))
    , m_extension(std::move(extension))
{
}

String FreeNameProbe::FileName(const String& base, const std::function<void()>& afterEachCounterTest)
{
    int64_t& last = m_lastCounter.try_emplace(base, 1).first->second;
    const FreeName name = FreeFileNameFrom(m_folder, base, m_extension, last, afterEachCounterTest);
    last = name.counter;
    return name.fileName;
}

void FreeNameProbe::Passed(const String& base)
{
    int64_t& last = m_lastCounter.try_emplace(base, 1).first->second;
    last = std::max<int64_t>(last, 1) + 1;
}
