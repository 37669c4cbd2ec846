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

String RunReport::Message() const
{
    String message;
    if (!m_runFailure.empty())
        message = "The run stopped: " + m_runFailure + ".";
    if (m_failedItems > 0) {
        if (!message.empty())
            message += "\n";
        message += Str(m_failedItems) + (m_failedItems == 1 ? " picture" : " pictures")
            + " could not be processed. The first error: " + m_firstItemError;
    }
    return message;
}
