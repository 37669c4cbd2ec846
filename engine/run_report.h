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
    // No trash took the old output folder: it stays whole, and the run saves beside its files.
    void OldOutputKept(const String& folderPath, const String& reason);
    // Items that came into the source folder during the run, which takes only those it started with.
    void ItemsAdded(int32_t count);
    // The output folder was made on the Desktop rather than beside the source folder, and why.
    void OutputOnDesktop(const String& folderPath, const String& reason);
    // The folder replaced by this run's output folder, now in the trash, was made from another
    // source folder (two long names cut to the same output name).
    void OtherSourceTrashed(const String& folderPath, const String& otherSource);

    // Whether the finish has anything to tell beyond its status line: a failure, or items left.
    bool AnythingToReport() const
    {
        return m_failedItems > 0 || !m_runFailure.empty() || !m_oldOutput.empty() || m_addedItems > 0
            || !m_desktopOutput.empty() || !m_trashedFolder.empty();
    }
    int32_t FailedItems() const { return m_failedItems; }
    // The text of the one message box that tells it.
    String Message() const;
    // The box's details: every failed item with its reason, one a line.
    String Details() const;

private:
    int32_t m_failedItems { 0 };
    String m_firstItemError;
    String m_failures;
    String m_runFailure;
    String m_oldOutput;
    String m_oldOutputReason;
    int32_t m_addedItems { 0 };
    String m_desktopOutput;
    String m_desktopReason;
    String m_trashedFolder;
    String m_trashedSource;
};
