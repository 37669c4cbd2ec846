// What went wrong in a run, gathered while it goes and told once at its finish.
#include "engine/run_report.h"

void RunReport::ItemFailed(const String& itemName, const String& error)
{
    const String line = "\"" + itemName + "\": " + error;
    if (m_failedItems == 0)
        m_firstItemError = line;
    m_failures += (m_failures.empty() ? "" : "\n") + line;
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

void RunReport::OutputOnDesktop(const String& folderPath, const String& reason)
{
    m_desktopOutput = folderPath;
    m_desktopReason = reason;
}

void RunReport::OtherSourceTrashed(const String& folderPath, const String& otherSource)
{
    m_trashedFolder = folderPath;
    m_trashedSource = otherSource;
}

String RunReport::Details() const
{
    return m_failures;
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
    // Where the pictures went, when it is not beside the source folder, comes first: the user
    // looks there and finds nothing.
    if (!m_desktopOutput.empty())
        add("The output folder was made on the Desktop: \"" + m_desktopOutput + "\", because " + m_desktopReason + ".");
    if (!m_trashedFolder.empty()) {
        add("The folder \"" + m_trashedFolder + "\" that was moved to the trash had been made from another source folder, \""
            + m_trashedSource + "\"; it can be taken back from the trash.");
    }
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
