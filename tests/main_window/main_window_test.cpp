// Building the main window: the state its members start from, what opening changes, the
// accessors, what the compact size shows, and the focus order.
#include "tests/main_window/main_window_fixture.h"

#include "engine/threadrun.h"
#include "framework/gui/runtime.h"
#include "tests/support/framework_key.h"
#include "tests/support/spin.h"

#include <QCoreApplication>
#include <QImage>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <vector>

namespace {

class MainWindowTest : public MainWindowFixture {
protected:
    // The rectangle of a control's widget in the window's content coordinates.
    static QRect contentRect(Main& window, const RectControl& control)
    {
        QWidget* widget = control.Widget();
        return QRect(widget->mapTo(window.ContentWidget(testKey()), QPoint(0, 0)), widget->size());
    }
};

TEST_F(MainWindowTest, BuildingLeavesTheDesignStateAndRunsNoHandler)
{
    auto window = MakeRef<Main>();
    bool checked = false;
    auto open = window->OnOpen;
    // The Open event is the first moment at which every member exists; look before it runs.
    window->OnOpen = [&] {
        checked = true;
        Main& w = *window;
        EXPECT_TRUE(w.RBType(0)->Value());
        EXPECT_FALSE(w.RBType(1)->Value());
        EXPECT_FALSE(w.RBType(2)->Value());
        EXPECT_EQ(w.EFPSize()->Text(), "");
        EXPECT_TRUE(w.EFPSize()->Enabled());
        EXPECT_EQ(w.PMPType()->Text(), "Biggest (pixel)");
        EXPECT_EQ(w.PMPType()->ListCount(), 5);
        EXPECT_TRUE(w.PMPType()->Enabled());
        for (const auto& field : { w.EFIWidth(), w.EFIHeight(), w.EFBWidth(), w.EFBHeight() }) {
            EXPECT_EQ(field->Text(), "");
            EXPECT_FALSE(field->Enabled()) << field->Name();
        }
        for (const auto& unit : { w.PMIWidth(), w.PMIHeight() }) {
            EXPECT_EQ(unit->Text(), "Pixels");
            EXPECT_EQ(unit->ListCount(), 2);
            EXPECT_FALSE(unit->Enabled()) << unit->Name();
        }
        EXPECT_EQ(w.PMExportFormat()->ListCount(), 2);
        EXPECT_EQ(w.PMExportFormat()->Text(), "JPEG");
        EXPECT_EQ(w.PMExportFormat()->List(1), "PNG");
        EXPECT_EQ(w.PMQuality()->Text(), "Good (80)");
        EXPECT_EQ(w.PMQuality()->ListCount(), 5);
        EXPECT_EQ(w.SLQuality()->Value(), 80);
        EXPECT_EQ(w.SLQuality()->Minimum(), 1);
        EXPECT_EQ(w.SLQuality()->Maximum(), 100);
        EXPECT_EQ(w.STQuality()->Text(), "80");
        for (const auto& quality : std::vector<Ref<RectControl>> { w.STJPEGQuality(), w.PMQuality(), w.SLQuality() })
            EXPECT_TRUE(quality->Enabled()) << quality->Name();
        EXPECT_FALSE(w.CBIncrease()->Value());
        EXPECT_TRUE(w.CBIncrease()->Enabled());
        EXPECT_FALSE(w.CBName()->Value());
        EXPECT_TRUE(w.CBName()->Enabled());
        EXPECT_FALSE(w.CBDos()->Value());
        EXPECT_FALSE(w.CBDos()->Enabled());
        EXPECT_EQ(w.STFolder()->Text(), "No folder selected");
        EXPECT_EQ(w.STStatus()->Text(), "");
        EXPECT_TRUE(w.STStatus()->Italic());
        EXPECT_EQ(w.PB()->Value(), 0);
        EXPECT_EQ(w.PB()->Maximum(), 100);
        EXPECT_FALSE(w.PBGo()->Enabled());
        EXPECT_TRUE(w.PBGo()->Default());
        EXPECT_FALSE(w.PBGo()->Cancel());
        EXPECT_EQ(w.PBGo()->Caption(), "Go");
        EXPECT_FALSE(w.PBSelect()->Default());
        // The two popups without a text size keep the framework's default.
        EXPECT_EQ(w.PMPType()->TextSize(), 12.0f);
        EXPECT_EQ(w.PMQuality()->TextSize(), 0.0f);
        EXPECT_EQ(w.PMExportFormat()->TextSize(), 0.0f);
        EXPECT_EQ(w.threadrun1()->Priority(), 5);
        EXPECT_EQ(w.threadrun1()->StackSize(), 0);
        // Had a handler run while the members were made, enablego would have disabled the
        // triangle (EFPSize is empty and the pane open) and the triangle's handler would have
        // set the pane's size.
        EXPECT_TRUE(w.DTSettings()->Value());
        EXPECT_TRUE(w.DTSettings()->Enabled());
        EXPECT_NE(w.Height(), 322);
        open();
    };
    window->Constructor();
    EXPECT_TRUE(checked);
}

TEST_F(MainWindowTest, FirstLaunchOpensAtFullSizeWithGoAndTheTriangleDisabled)
{
    auto window = Main::instance();
    EXPECT_EQ(Main::instance(), window);
    EXPECT_EQ(OpenWindows().size(), 1u);
    EXPECT_EQ(window->Title(), "Quobly!");
    EXPECT_EQ(window->Width(), 746);
    EXPECT_EQ(window->Height(), 322);
    EXPECT_EQ(window->ContentWidget(testKey())->size(), QSize(746, 322));
    EXPECT_FALSE(window->Resizeable());
    EXPECT_TRUE(window->CloseButton());
    EXPECT_FALSE(window->MinimizeButton());
    EXPECT_FALSE(window->MaximizeButton());
    EXPECT_TRUE(window->TopLevelWidget(testKey())->isVisible());
    EXPECT_TRUE(window->MenuBar());
    EXPECT_FALSE(window->DTSettings()->Enabled());
    EXPECT_FALSE(window->PBGo()->Enabled());
    EXPECT_TRUE(window->f.IsNil());
    EXPECT_FALSE(window->endthread);
}

TEST_F(MainWindowTest, AccessorsFindEveryMemberAndNilForOtherIndexes)
{
    auto window = Main::instance();
    Main& w = *window;
    const std::map<String, Ref<WindowMember>> members = {
        { "GroupBox1", w.GroupBox1() }, { "StaticText1", w.StaticText1() }, { "EFPSize", w.EFPSize() },
        { "StaticText3", w.StaticText3() }, { "PMPType", w.PMPType() }, { "EFIWidth", w.EFIWidth() },
        { "PMIWidth", w.PMIWidth() }, { "StaticText4", w.StaticText4() }, { "EFIHeight", w.EFIHeight() },
        { "PMIHeight", w.PMIHeight() }, { "StaticText6", w.StaticText6() }, { "EFBWidth", w.EFBWidth() },
        { "StaticText7", w.StaticText7() }, { "EFBHeight", w.EFBHeight() }, { "GroupBox2", w.GroupBox2() },
        { "CBIncrease", w.CBIncrease() }, { "STJPEGQuality", w.STJPEGQuality() }, { "PMQuality", w.PMQuality() },
        { "SLQuality", w.SLQuality() }, { "STQuality", w.STQuality() }, { "CBName", w.CBName() },
        { "CBDos", w.CBDos() }, { "StaticText51", w.StaticText51() }, { "PMExportFormat", w.PMExportFormat() },
        { "StaticText2", w.StaticText2() }, { "STFolder", w.STFolder() }, { "PBSelect", w.PBSelect() },
        { "PBGo", w.PBGo() }, { "PB", w.PB() }, { "STStatus", w.STStatus() }, { "DTSettings", w.DTSettings() },
        { "Separator1", w.Separator1() },
    };
    for (const auto& [name, member] : members) {
        ASSERT_TRUE(member) << name;
        EXPECT_EQ(member, w.ControlByName(name)) << name;
    }
    ASSERT_TRUE(w.threadrun1());
    EXPECT_EQ(w.ControlByName("threadrun1").As<threadrun>(), w.threadrun1());

    for (int32_t index = 0; index < 3; ++index) {
        ASSERT_TRUE(w.RBType(index)) << index;
        EXPECT_EQ(w.RBType(index)->Index(), index);
        EXPECT_TRUE(w.RBType(index).As<Main::RBType_>()) << index;
    }
    EXPECT_TRUE(w.RBType(3).IsNil());
    EXPECT_TRUE(w.RBType(-1).IsNil());
    EXPECT_THROW(w.RBType(3)->Value(), NilObjectException);
}

TEST_F(MainWindowTest, TheCompactSizeShowsOnlyTheFolderAndRunArea)
{
    auto window = Main::instance();
    // Complete settings, so that the open pane may be closed.
    window->EFPSize()->Text("800");
    ASSERT_TRUE(window->DTSettings()->Enabled());
    const std::vector<Ref<RectControl>> runArea = { window->StaticText2(), window->STFolder(),
        window->PBSelect(), window->PBGo(), window->PB(), window->STStatus(), window->DTSettings(),
        window->Separator1() };

    QTest::mouseClick(window->DTSettings()->Widget(), Qt::LeftButton);
    ASSERT_FALSE(window->DTSettings()->Value());
    EXPECT_EQ(window->Width(), 366);
    EXPECT_EQ(window->Height(), 117);
    const QRect compact = window->ContentWidget(testKey())->rect();
    EXPECT_EQ(compact.size(), QSize(366, 117));
    for (const auto& box : { window->GroupBox1(), window->GroupBox2() })
        EXPECT_FALSE(contentRect(*window, *box).intersects(compact)) << box->Name();
    for (const auto& control : runArea)
        EXPECT_TRUE(compact.contains(contentRect(*window, *control))) << control->Name();

    QTest::mouseClick(window->DTSettings()->Widget(), Qt::LeftButton);
    ASSERT_TRUE(window->DTSettings()->Value());
    EXPECT_EQ(window->Width(), 746);
    EXPECT_EQ(window->Height(), 322);
    const QRect full = window->ContentWidget(testKey())->rect();
    EXPECT_EQ(full.size(), QSize(746, 322));
    for (const auto& box : { window->GroupBox1(), window->GroupBox2() }) {
        EXPECT_TRUE(full.contains(contentRect(*window, *box))) << box->Name();
        EXPECT_EQ(contentRect(*window, *box).topLeft(), QPoint(box->Left(), box->Top())) << box->Name();
    }
    // A control inside a box keeps its window coordinates.
    EXPECT_EQ(contentRect(*window, *window->EFPSize()), QRect(512, 67, 44, 22));
    EXPECT_EQ(contentRect(*window, *window->PMExportFormat()), QRect(194, 141, 146, 20));
}

TEST_F(MainWindowTest, FocusVisitsFieldsBeforeModesAndTheFormatLast)
{
    auto window = Main::instance();
    std::vector<QWidget*> chain;
    QWidget* start = window->TopLevelWidget(testKey());
    for (QWidget* widget = start->nextInFocusChain(); widget && widget != start; widget = widget->nextInFocusChain())
        chain.push_back(widget);
    auto place = [&](const Ref<RectControl>& control) {
        auto it = std::find(chain.begin(), chain.end(), control->Widget());
        EXPECT_NE(it, chain.end()) << control->Name();
        return it - chain.begin();
    };
    auto expectOrder = [&](const std::vector<Ref<RectControl>>& order) {
        for (size_t i = 1; i < order.size(); ++i)
            EXPECT_LT(place(order[i - 1]), place(order[i])) << order[i - 1]->Name() << " before " << order[i]->Name();
    };

    // The resizing box: fields and popups by their tab index, then the modes in index order,
    // although the screen shows proportional, box, independent.
    expectOrder({ window->EFPSize(), window->PMPType(), window->EFIWidth(), window->PMIWidth(),
        window->EFIHeight(), window->PMIHeight(), window->EFBWidth(), window->EFBHeight(), window->RBType(0),
        window->RBType(1), window->RBType(2) });
    // The export box: the format popup, the top row, comes last.
    expectOrder({ window->CBIncrease(), window->PMQuality(), window->SLQuality(), window->CBName(),
        window->CBDos(), window->PMExportFormat() });
    // The triangle never takes the focus from a click, but Tab reaches it in its place.
    EXPECT_EQ(window->DTSettings()->TabIndex(), 9);
    EXPECT_EQ(window->DTSettings()->Widget()->focusPolicy(), Qt::TabFocus);
    expectOrder({ window->PBSelect(), window->PBGo(), window->DTSettings() });
}

TEST_F(MainWindowTest, DesignListsHaveTheWidthsTheirTypesGive)
{
    // Every entry's width follows from its name; a wrong type would change the length.
    EXPECT_EQ(Window::DesignListOf(Main::kDesign).size(), 274u);
    EXPECT_EQ(FindMember(Main::Members1(), "threadrun1").DesignList().size(), 27u);
}

TEST_F(MainWindowTest, SavesAPictureOfTheWindow)
{
    auto window = Main::instance();
    SpinPending();
    const QImage shot = window->TopLevelWidget(testKey())->grab().toImage();
    ASSERT_FALSE(shot.isNull());
    EXPECT_GE(shot.width(), 746);
    EXPECT_GE(shot.height(), 322);
    const QString path = QCoreApplication::applicationDirPath() + "/../main_window.png";
    EXPECT_TRUE(shot.save(path, "PNG")) << path.toStdString();
}

TEST_F(MainWindowTest, AMemberMadeWithoutIndexIsInTheImageOfTheFirst)
{
    auto window = Main::instance();
    window->RBType(2)->Value(true);
    auto member = window->New<Main::RBType_>();
    EXPECT_EQ(member->Index(), 0);
    EXPECT_EQ(member->Caption(), "Proportional resizing");
    EXPECT_EQ(member->InitialParent(), "GroupBox1");
    EXPECT_TRUE(member->Value());
    // It is the selected one of the mode buttons it joined.
    EXPECT_FALSE(window->RBType(2)->Value());
    EXPECT_EQ(window->RBType(0)->Index(), 0);
    EXPECT_NE(window->RBType(0), member.As<RadioButton>());
    // Its Action reaches the mode rules of the window it is on.
    member->Value(false);
    member->Value(true);
    EXPECT_TRUE(window->EFPSize()->Enabled());
    EXPECT_FALSE(window->EFBWidth()->Enabled());
}

TEST_F(MainWindowTest, AMemberMadeWithoutIndexNeedsAMainWindow)
{
    struct OtherWindow final : Window {
        String ClassName() const override { return "OtherWindow"; }
    };
    auto other = MakeRef<OtherWindow>();
    EXPECT_THROW(other->New<Main::RBType_>(), NilObjectException);
}

} // namespace
