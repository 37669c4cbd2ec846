#pragma once

#include "engine/output_names.h"
#include "framework/core/folder_item.h"
#include "framework/core/text.h"

#include <cstdint>
#include <functional>
#include <unordered_map>

// The free-name probe of one run, which gives every picture the name that FreeFileName gives it,
// without testing again, for each picture, every name the run has already passed over.
//
// During a run the output folder only gains files, so the first free counter of a base never
// goes down: the probe of a base starts at the counter it gave that base last. That name is tested
// again (its save may have failed and left it free), and every name tested on disk still counts
// as one test, so a folder of many pictures with one base name costs two tests per picture rather
// than one per picture before it.
class FreeNameProbe {
public:
    FreeNameProbe(Ref<FolderItem> folder, String extension);

    String FileName(const String& base, const std::function<void()>& afterEachCounterTest);
    // The name FileName gave last for `base` was taken before the picture could take it: the
    // next probe of that base starts after it.
    void Passed(const String& base);

private:
    Ref<FolderItem> m_folder;
    String m_extension;
    std::unordered_map<String, int64_t> m_lastCounter;
};
