// The credits window: its texts, links and closing click.
#include "shell/credits.h"

#include "framework/gui/runtime.h"
#include "main_window/main.h"
#include "shell/startup.h"
#include "tests/shell/shell_fixtures.h"
#include "tests/support/framework_key.h"
#include "tests/support/spin.h"

#include <QWidget>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

class CreditsWindow : public ::testing::Test {
protected:
    void SetUp() override { RunFrameworkInitialization(Startup); }
    // Windows left open would outlive the application at exit.
    void TearDown() override { Finalization(); }

    // Opens the window as the About command does.
    static Ref<Credits> openCredits()
    {
        Main::instance()->AppleCredits_Action();
        return GetImplicitWindow(Credits::kClassName).As<Credits>();
    }

    static int openCreditsWindows()
    {
        const auto windows = OpenWindows();
        return static_cast<int>(std::count_if(windows.begin(), windows.end(),
            [](const Ref<Window>& w) { return w->ClassName() == Credits::kClassName; }));
    }

    static void click(QWidget* widget, QPoint at = {})
    {
        QTest::mouseClick(widget, Qt::LeftButton, {}, at.isNull() ? widget->rect().center() : at);
        SpinPending();
    }

    SystemRecorder recorder;
};

} // namespace

TEST_F(CreditsWindow, ShowsProductVersionAuthorAndLinks)
{
    auto credits = openCredits();
    ASSERT_TRUE(credits);
    EXPECT_EQ(credits->Title(), "About Quobly");
    EXPECT_EQ(credits->Width(), 191);
    EXPECT_EQ(credits->Height(), 203);
    EXPECT_EQ(credits->StaticText1()->Text().rfind("Quobly! 1.0.0", 0), 0u) << credits->StaticText1()->Text();
    EXPECT_EQ(Credits::EmailLink(), "mailto:" + credits->stemail()->Text());
    EXPECT_EQ(Credits::WebLink(), credits->StaticText5()->Text());
    EXPECT_EQ(credits->Label1()->Text(), "Translations:");
    EXPECT_EQ(credits->Label2()->Text().rfind("German: ", 0), 0u);
    EXPECT_EQ(credits->Label3()->Text().rfind("Castilian: ", 0), 0u);
}

TEST_F(CreditsWindow, ClicksOnTheLinksHandThemToTheSystemAndKeepTheWindow)
{
    auto credits = openCredits();
    ASSERT_TRUE(credits);
    click(credits->stemail()->Widget());
    click(credits->StaticText5()->Widget());
    EXPECT_EQ(recorder.urls, (std::vector<String> { Credits::EmailLink(), Credits::WebLink() }));
    EXPECT_TRUE(credits->IsOpen());
    EXPECT_EQ(Credits::EmailLink().rfind("mailto:", 0), 0u);
}

TEST_F(CreditsWindow, AClickOnTheBackgroundClosesTheWindow)
{
    auto credits = openCredits();
    ASSERT_TRUE(credits);
    // Between the web line (ending at y 96) and the first label (from y 144).
    click(credits->ContentWidget(testKey()), QPoint(95, 120));
    EXPECT_FALSE(credits->IsOpen());
    EXPECT_FALSE(GetImplicitWindow(Credits::kClassName));
    EXPECT_TRUE(recorder.urls.empty());
    // The next About command makes a new window.
    auto again = openCredits();
    ASSERT_TRUE(again);
    EXPECT_FALSE(again == credits);
}

TEST_F(CreditsWindow, AboutTwiceGivesOneWindow)
{
    auto first = openCredits();
    auto second = openCredits();
    ASSERT_TRUE(first);
    EXPECT_EQ(first, second);
    EXPECT_EQ(openCreditsWindows(), 1);
}

TEST_F(CreditsWindow, TranslationChangesTheThreeLabelsOnly)
{
    String fixedTexts[3];
    {
        auto credits = openCredits();
        ASSERT_TRUE(credits);
        fixedTexts[0] = credits->StaticText1()->Text();
        fixedTexts[1] = credits->stemail()->Text();
        fixedTexts[2] = credits->StaticText5()->Text();
        credits->Close();
    }
    ScopedTranslation translation({ { "loc.credittranslation", "Traducciones:" },
        { "loc.creditgerman", "Alemán: Hans" }, { "loc.creditspanish", "Castellano: Lola" },
        { "loc.aboutquobly", "Acerca de Quobly" } });
    auto credits = openCredits();
    ASSERT_TRUE(credits);
    EXPECT_EQ(credits->Title(), "Acerca de Quobly");
    EXPECT_EQ(credits->Label1()->Text(), "Traducciones:");
    EXPECT_EQ(credits->Label2()->Text(), "Alemán: Hans");
    EXPECT_EQ(credits->Label3()->Text(), "Castellano: Lola");
    EXPECT_EQ(credits->StaticText1()->Text(), fixedTexts[0]);
    EXPECT_EQ(credits->stemail()->Text(), fixedTexts[1]);
    EXPECT_EQ(credits->StaticText5()->Text(), fixedTexts[2]);
}
