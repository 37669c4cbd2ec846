#pragma once

#include "framework/core/text.h"

#include <cstdint>

// What went wrong in one run, told to the user once at its end.
class RunReport {
public:
    // One item that could not be processed; the run went on without it.
    void ItemFailed(const String& itemName, const String& error);
    // The run could not go on (or not start) at all.
    void RunFailed(const String& reason);

    bool AnyFailure() const { return m_failedItems > 0 || !m_runFailure.empty(); }
    int32_t FailedItems() const { return m_failedItems; }
    // The text of the one message box that reports the failures.
    String Message() const;

private:
    int32_t m_failedItems { 0 };
    String m_firstItemError;
    String m_runFailure;
};
