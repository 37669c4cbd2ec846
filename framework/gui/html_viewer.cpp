#include "framework/gui/html_viewer.h"

#include "framework/gui/qt_convert.h"
#include "framework/gui/runtime.h"

#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>

HTMLViewer::HTMLViewer()
    : DesignedControl(new QTextBrowser)
{
    // Every address goes through CancelLoad first, so the browser follows no link by itself.
    browser()->setOpenLinks(false);
    browser()->setOpenExternalLinks(false);
    QObject::connect(browser(), &QTextBrowser::anchorClicked, browser(),
        [this](const QUrl& link) { FollowLink(fromQt(link.toString())); });
}

void HTMLViewer::DeclareProperties(DesignTable<RectControl>& t)
{
    AddCommon(t, Common::TabIndex | Common::TabStop | Common::Enabled | kPresence | Common::InitialParent);
}

String HTMLViewer::DesignListOf(const DesignHead& h, const Design& d)
{
    (void)d;
    DesignList list = beginList(DesignTypes(), h);
    list.Integer("TabIndex", h.tabIndex).Boolean("Enabled", h.enabled);
    presence(list).Text("InitialParent", h.parent);
    return list.Bytes();
}

QTextBrowser* HTMLViewer::browser() const { return widget(); }

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
        if (browser()->source() == url)
            browser()->reload();
        else
            browser()->setSource(url);
    } else {
        browser()->clear();
        browser()->clearHistory();
    }
}

bool HTMLViewer::EditClear_Action()
{
    return false; // the page is read-only
}

bool HTMLViewer::EditCopy_Action()
{
    browser()->copy();
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
    browser()->selectAll();
    return false;
}
