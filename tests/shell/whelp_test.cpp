// The help window: its pages, links and jump-to list.
#include "shell/whelp.h"

#include "framework/gui/runtime.h"
#include "main_window/main.h"
#include "shell/menu.h"
#include "shell/startup.h"
#include "tests/shell/shell_fixtures.h"
#include "tests/support/framework_key.h"
#include "tests/support/spin.h"

#include <QApplication>
#include <QClipboard>
#include <QTest>
#include <QTextBrowser>
#include <QTextCursor>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

class HelpWindow : public ::testing::Test {
protected:
    void SetUp() override { RunFrameworkInitialization(Startup); }
    // Windows left open would outlive the application at exit.
    void TearDown() override { Finalization(); }

    // Opens the help window as the Help command does and counts the documents it begins.
    Ref<WHelp> openHelp()
    {
        Main::instance()->HelpHelp_Action();
        auto help = GetImplicitWindow(WHelp::kClassName).As<WHelp>();
        if (help) {
            auto original = help->hvMain()->OnDocumentBegin;
            help->hvMain()->OnDocumentBegin = [this, original](HTMLViewer& viewer, const String& url) {
                ++documentsBegun;
                original(viewer, url);
            };
        }
        return help;
    }

    static String shownPage(const Ref<WHelp>& help) { return help->hvMain()->CurrentAddress(); }

    static QString shownText(const Ref<WHelp>& help)
    {
        auto* browser = help->ContentWidget(testKey())->findChild<QTextBrowser*>();
        return browser ? browser->toPlainText() : QStringLiteral("(no viewer)");
    }

    SystemRecorder recorder;
    int documentsBegun { 0 };
};

} // namespace

TEST_F(HelpWindow, OpensAtTheIndexOfTheHelpFolderBesideTheExecutable)
{
    auto help = openHelp();
    ASSERT_TRUE(help);
    EXPECT_EQ(help->Title(), "Quobly! Help");
    EXPECT_EQ(help->basef->NativePath(), GetFolderItem("")->Child("data")->Child("helpen")->NativePath());
    EXPECT_TRUE(EndsWith(shownPage(help), "/data/helpen/index.html"));
    EXPECT_TRUE(shownText(help).contains("Quobly! Help"));

    auto jumpTo = help->PMJumpTo();
    ASSERT_EQ(jumpTo->ListCount(), 4);
    const char* rows[] = { "Release Notes", "Resize Settings", "Export Settings", "FAQ" };
    for (int32_t row = 0; row < 4; ++row)
        EXPECT_EQ(jumpTo->List(row), rows[row]);
    EXPECT_EQ(help->afile, (std::vector<String> { "historic", "resizing", "exportation", "faq" }));
    EXPECT_EQ(jumpTo->ListIndex(), -1);
}

TEST_F(HelpWindow, JumpToRowsLoadTheirPagesAndTheListThenShowsNoRow)
{
    auto help = openHelp();
    ASSERT_TRUE(help);
    const char* pages[] = { "historic.html", "resizing.html", "exportation.html", "faq.html" };
    for (int32_t row : { 2, 0, 3, 1 }) {
        SCOPED_TRACE(row);
        const int before = documentsBegun;
        help->PMJumpTo()->ListIndex(row);
        EXPECT_TRUE(EndsWith(shownPage(help), String("/helpen/") + pages[row]));
        EXPECT_EQ(documentsBegun, before + 1);
        EXPECT_EQ(help->PMJumpTo()->ListIndex(), -1);
    }
}

TEST_F(HelpWindow, TheSameRowTwiceLoadsItsPageTwiceAndRowMinusOneLoadsNothing)
{
    auto help = openHelp();
    ASSERT_TRUE(help);
    help->PMJumpTo()->ListIndex(2);
    help->PMJumpTo()->ListIndex(2);
    EXPECT_EQ(documentsBegun, 2);
    EXPECT_TRUE(EndsWith(shownPage(help), "/exportation.html"));

    help->PMJumpTo_Change(*help->PMJumpTo()); // the popup stands at -1
    EXPECT_EQ(documentsBegun, 2);
    EXPECT_TRUE(EndsWith(shownPage(help), "/exportation.html"));
}

TEST_F(HelpWindow, IndexButtonShowsTheIndexFromAnyPage)
{
    auto help = openHelp();
    ASSERT_TRUE(help);
    help->PMJumpTo()->ListIndex(3);
    help->PBIndex()->Push();
    EXPECT_TRUE(EndsWith(shownPage(help), "/helpen/index.html"));
}

TEST_F(HelpWindow, WebAndMailLinksGoToTheSystemAndOtherAddressesLoadInTheViewer)
{
    auto help = openHelp();
    ASSERT_TRUE(help);
    help->PMJumpTo()->ListIndex(3); // faq.html
    struct Case {
        const char* address;
        bool external;
        const char* shownAfter; // the end of the address shown afterwards
    };
    const Case cases[] = {
        { "https://en.wikipedia.org/wiki/Image_file_format", true, "/faq.html" },
        { "HTTP://EXAMPLE.ORG/", true, "/faq.html" },
        { "http://example.org/", true, "/faq.html" },
        { "mailto:someone@example.org", true, "/faq.html" },
        { "Mailto:someone@example.org", true, "/faq.html" },
        { "resizing.html", false, "/helpen/resizing.html" },
        { "x.html", false, "/helpen/x.html" }, // six characters: shorter than every prefix
        { "faq.html", false, "/helpen/faq.html" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.address);
        recorder.urls.clear();
        help->hvMain()->FollowLink(c.address);
        if (c.external) {
            // The viewer hands over the address as its URL parser writes it (scheme and host in
            // lower case).
            ASSERT_EQ(recorder.urls.size(), 1u);
            EXPECT_TRUE(TextEquals(recorder.urls[0], c.address)) << recorder.urls[0];
        } else
            EXPECT_TRUE(recorder.urls.empty());
        EXPECT_TRUE(EndsWith(shownPage(help), c.shownAfter)) << shownPage(help);
    }
}

TEST_F(HelpWindow, ExternalPrefixesCompareWithoutRegardToCaseAndShortAddressesNeverMatch)
{
    auto help = openHelp();
    ASSERT_TRUE(help);
    struct Case {
        const char* address;
        bool external;
    };
    const Case cases[] = {
        { "HTTPS://Example.org", true },
        { "Http://x", true },
        { "MAILTO:a@b", true },
        { "http:/", false },  // six characters
        { "https:", false },
        { "ftp://example.org/", false },
        { "file:///tmp/x.html", false },
        { "", false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.address);
        recorder.urls.clear();
        EXPECT_EQ(help->hvMain_CancelLoad(*help->hvMain(), c.address), c.external);
        EXPECT_EQ(recorder.urls, c.external ? std::vector<String> { c.address } : std::vector<String> {});
    }
}

TEST_F(HelpWindow, HelpCommandKeepsTheOpenWindowsPageAndStartsAtTheIndexAfterAClose)
{
    auto help = openHelp();
    ASSERT_TRUE(help);
    help->PMJumpTo()->ListIndex(1);
    Main::instance()->HelpHelp_Action();
    EXPECT_EQ(GetImplicitWindow(WHelp::kClassName), Ref<Window>(help));
    EXPECT_TRUE(EndsWith(shownPage(help), "/resizing.html"));

    help->Close();
    EXPECT_FALSE(GetImplicitWindow(WHelp::kClassName));
    auto again = openHelp();
    ASSERT_TRUE(again);
    EXPECT_FALSE(again == help);
    EXPECT_TRUE(EndsWith(shownPage(again), "/helpen/index.html"));
}

TEST_F(HelpWindow, WithoutAHelpFolderForTheLanguageTheViewerIsEmpty)
{
    ScopedTranslation translation({ { "loc.lang", "zz" }, { "loc.helpfaq", "Fragen" } });
    auto help = openHelp();
    ASSERT_TRUE(help);
    EXPECT_TRUE(help->IsOpen());
    EXPECT_EQ(help->basef->Name(), "helpzz");
    EXPECT_TRUE(shownText(help).trimmed().isEmpty());
    // The rows follow the translation in use when the window opens.
    EXPECT_EQ(help->PMJumpTo()->List(3), "Fragen");
    help->PMJumpTo()->ListIndex(0);
    EXPECT_TRUE(shownText(help).trimmed().isEmpty());
    EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(HelpWindow, EditCommandsReachTheViewerAndSelectAllIsBoundToo)
{
    auto help = openHelp();
    ASSERT_TRUE(help);
    for (const char* name : { "EditClear", "EditCopy", "EditCut", "EditPaste", "EditSelectAll" }) {
        SCOPED_TRACE(name);
        auto handler = help->hvMain()->MenuHandler(name);
        ASSERT_TRUE(handler);
        EXPECT_FALSE(handler()); // the viewer's own actions report the command as not handled
    }
}

// The keys and the Edit menu reach a page's selection: Copy is enabled while text is selected,
// and Ctrl+C puts it on the clipboard; the read-only page offers nothing to cut, paste or clear.
TEST_F(HelpWindow, CtrlCCopiesTheViewersSelection)
{
    auto help = openHelp();
    ASSERT_TRUE(help);
    auto* browser = help->ContentWidget(testKey())->findChild<QTextBrowser*>();
    ASSERT_TRUE(browser);
    QWidget* top = help->TopLevelWidget(testKey());
    top->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(top));
    browser->setFocus(Qt::TabFocusReason);
    QApplication::clipboard()->clear();

    auto editItem = [&](const char* name) {
        help->RefreshMenus(testKey());
        return Menu::instance()->Lookup(name)->Enabled();
    };
    EXPECT_FALSE(editItem("EditCopy")) << "nothing is selected yet";
    QTextCursor cursor = browser->textCursor();
    cursor.movePosition(QTextCursor::Start);
    cursor.movePosition(QTextCursor::NextWord, QTextCursor::KeepAnchor, 2);
    browser->setTextCursor(cursor);
    const QString selected = cursor.selectedText();
    ASSERT_FALSE(selected.isEmpty());
    EXPECT_TRUE(editItem("EditCopy"));
    for (const char* name : { "EditCut", "EditPaste", "EditClear", "EditUndo" })
        EXPECT_FALSE(editItem(name)) << name;

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), selected);
}
