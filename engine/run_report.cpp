// What went wrong in a run, gathered while it goes and told once at its finish.
#include "engine/run_report.h"

void RunReport::ItemFailed(const String& itemName, const String& error)
{
    if (m_failedItems == 0)
        m_firstItemError = "\"" + itemName + "\": " + error;
    ++m_failedItems;
}

void RunReport::RunFailed(const String& reason)
{
    if (m_runFailure.empty())
        m_runFailure = reason;
}

void RunReport::OldOutputKept(const String& folderPath, const String& reason)
{
    m_oldOutput = folderPath;
    m_oldOutputReason = reason;
}

void RunReport::ItemsAdded(int32_t count)
{
    m_addedItems += count;
}

String RunReport::Message() const
{
    String message;
    auto add = [&message](const String& part) {
        if (!message.empty())
            message += "\n";
        message += part;
    };
    if (!m_runFailure.empty())
        add("The run stopped: " + m_runFailure + ".");
    if (!m_oldOutput.empty()) {
        // Said plainly, so that nobody takes the folder for a clean one of this run.
        add("The old output folder \"" + m_oldOutput + "\" could not be moved to the trash ("
            + m_oldOutputReason + "), so it still holds its older files. The new pictures were saved beside them; "
            + "where a name was taken, the new picture carries \"-2\", \"-3\" and so on.");
    }
    if (m_failedItems > 0) {
        add(Str(m_failedItems) + (m_failedItems == 1 ? " picture" : " pictures")
            + " could not be processed. The first error: " + m_firstItemError);
    }
    if (m_addedItems > 0) {
        add(Str(m_addedItems) + (m_addedItems == 1 ? " item was" : " items were")
            + " added to the folder during the run and left unprocessed.");
    }
    return message;
}
