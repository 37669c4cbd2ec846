// An HTML viewer that asks before it loads an address.
#include "framework/gui/html_viewer.h"

#include "framework/gui/private/qt_convert.h"
#include "framework/gui/runtime.h"
#include "framework/gui/private/application_internals.h"

#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>

HTMLViewer::HTMLViewer()
    : DesignedControl(new QTextBrowser)
{
    // Every address goes through CancelLoad first, so the browser follows no link by itself.
    widget()->setOpenLinks(false);
    widget()->setOpenExternalLinks(false);
    QObject::connect(widget(), &QTextBrowser::anchorClicked, widget(),
        [this](const QUrl& link) { FollowLink(fromQt(link.toString())); });
}

// A viewer's list carries no TabStop; one that does is taken all the same.
void HTMLViewer::DeclareProperties(ControlTable<Design>& t)
{
    t.Add(Common::TabIndex)
        .Add("TabStop", &RectControl::TabStop, std::nullopt)
        .Add(Common::Enabled, Common::Visible, Common::HelpTag, Common::AutoDeactivate, Common::InitialParent);
}

void HTMLViewer::LoadPage(const Ref<FolderItem>& file)
{
    load(fromQt(QUrl::fromLocalFile(toQt(file->NativePath())).toString()));
}

void HTMLViewer::FollowLink(const String& address)
{
    const QUrl link(toQt(address));
    if (m_address.empty())
        return load(fromQt(link.toString()));
    load(fromQt(QUrl(toQt(m_address)).resolved(link).toString()));
}

void HTMLViewer::load(const String& address)
{
    bool cancelled = false;
    if (OnCancelLoad) {
        auto hook = OnCancelLoad;
        RunGuarded([&] { cancelled = hook(*this, address); });
    }
    if (cancelled)
        return;
    fire(OnDocumentBegin, *this, address);
    m_address = address;
    const QUrl url(toQt(address));
    // Only local files are shown; a missing one, or any other scheme, gives an empty page.
    if (url.isLocalFile() && QFileInfo(url.toLocalFile()).isFile()) {
        // The browser skips loading an address it shows already, even after a clear.
        if (widget()->source() == url)
            widget()->reload();
        else
            widget()->setSource(url);
    } else {
        widget()->clear();
        widget()->clearHistory();
    }
}

bool HTMLViewer::EditClear_Action()
{
    return false; // the page is read-only
}

bool HTMLViewer::EditCopy_Action()
{
    widget()->copy();
    return false;
}

bool HTMLViewer::EditCut_Action()
{
    return false; // the page is read-only
}

bool HTMLViewer::EditPaste_Action()
{
    return false; // the page is read-only
}

bool HTMLViewer::EditSelectAll_Action()
{
    widget()->selectAll();
    return false;
}
