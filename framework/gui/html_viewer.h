#pragma once

#include "framework/gui/designed_control.h"
#include "framework/core/folder_item.h"

class QTextBrowser;

// Shows HTML pages. Before it loads an address (a followed link, or LoadPage) it raises
// CancelLoad, and True keeps it from loading; when a document begins to load it raises
// DocumentBegin.
class HTMLViewer : public DesignedControl<HTMLViewer, QTextBrowser> {
public:
    HTMLViewer();
    // A viewer has no design values of its own.
    struct Design {
    };
    // Its lists' entries after the head, in their order.
    static void DeclareProperties(ControlTable<Design>& table);
    // Loads the file; a missing file gives an empty page.
    void LoadPage(const Ref<FolderItem>& file);
    // The address of the document shown ("" before any).
    String CurrentAddress() const { return m_address; }
    // Follows a link as a click would (the address may be relative to the current page).
    void FollowLink(const String& address);

    // The framework's own edit actions; each reports the command as not handled (False).
    bool EditClear_Action();
    bool EditCopy_Action();
    bool EditCut_Action();
    bool EditPaste_Action();
    bool EditSelectAll_Action();

    std::function<void(HTMLViewer&, const String& url)> OnDocumentBegin;
    std::function<bool(HTMLViewer&, const String& url)> OnCancelLoad;

private:
    void load(const String& address);
    String m_address;
};
