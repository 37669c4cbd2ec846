// The settings rules, through the controls as a user sets them: when Go and the triangle are
// enabled, the mode groups, the JPEG-only controls, the quality pair and the DOS option.
#include "tests/main_window/main_window_fixture.h"

#include "engine/threadrun.h"
#include "framework/core/folder_item.h"
#include "framework/gui/runtime.h"
#include "tests/support/picture_fixtures.h"
#include "tests/support/spin.h"

#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <fstream>
#include <vector>

namespace {

class SettingsRulesTest : public MainWindowFixture {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        openWindow();
    }

    void chooseMode(int32_t mode)
    {
        // A radio button answers clicks on its circle and caption only, not on the rest of its width.
        QTest::mouseClick(window->RBType(mode)->Widget(), Qt::LeftButton, {}, QPoint(8, window->RBType(mode)->Height() / 2));
        ASSERT_TRUE(window->RBType(mode)->Value());
    }

    std::vector<Ref<RectControl>> sizeControls()
    {
        return { window->EFPSize(), window->PMPType(), window->EFIWidth(), window->EFIHeight(),
            window->PMIWidth(), window->PMIHeight(), window->EFBWidth(), window->EFBHeight() };
    }

    std::vector<Ref<RectControl>> jpegControls()
    {
        return { window->STJPEGQuality(), window->PMQuality(), window->SLQuality() };
    }

    fixtures::TempFolder source;
};

TEST_F(SettingsRulesTest, GoNeedsCompleteSettingsOfTheSelectedModeAndAFolder)
{
    struct Row {
        int32_t mode;
        const char* pSize;
        const char* iWidth;
        const char* iHeight;
        const char* bWidth;
        const char* bHeight;
        bool complete;
    };
    const Row rows[] = {
        { 0, "0", "", "", "", "", false },
        { 0, "0.0", "", "", "", "", false },
        { 0, "", "", "", "", "", false },
        { 0, "abc", "", "", "", "", false },
        { 0, "-5", "", "", "", "", true },
        { 0, "0.5", "", "", "", "", true },
        { 0, "800px", "", "", "", "", true },
        // The fields of the other modes are not looked at.
        { 0, "800", "0", "abc", "", "0", true },
        { 1, "", "0", "600", "", "", false },
        { 1, "", "0", "0", "", "", false },
        { 1, "", "800", "0", "", "", false },
        { 1, "", "800", "", "", "", false },
        { 1, "0", "800", "600", "0", "", true },
        { 2, "", "", "", "300", "0", false },
        { 2, "", "", "", "0", "200", false },
        { 2, "0", "0", "", "300", "200", true },
    };
    window->f = FolderItem::FromPath(source.path());
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "mode " << row.mode << " fields '" << row.pSize << "' '" << row.iWidth
                                        << "' '" << row.iHeight << "' '" << row.bWidth << "' '" << row.bHeight << "'");
        chooseMode(row.mode);
        window->EFPSize()->Text(row.pSize);
        window->EFIWidth()->Text(row.iWidth);
        window->EFIHeight()->Text(row.iHeight);
        window->EFBWidth()->Text(row.bWidth);
        window->EFBHeight()->Text(row.bHeight);
        EXPECT_EQ(window->PBGo()->Enabled(), row.complete);
        // The pane is open: it can be closed only with complete settings.
        EXPECT_EQ(window->DTSettings()->Enabled(), row.complete);
    }

    window->f = nullptr;
    window->EFPSize()->Text("");
    chooseMode(0);
    window->EFPSize()->Text("800");
    EXPECT_FALSE(window->PBGo()->Enabled());
    EXPECT_TRUE(window->DTSettings()->Enabled());
}

TEST_F(SettingsRulesTest, AClosedPaneCanAlwaysBeOpened)
{
    ASSERT_FALSE(window->DTSettings()->Enabled());
    // Loaded preferences can close the pane while the settings are incomplete.
    window->DTSettings()->Value(false);
    EXPECT_EQ(window->Width(), 366);
    EXPECT_EQ(window->Height(), 117);
    window->EFPSize()->Text("abc");
    EXPECT_TRUE(window->DTSettings()->Enabled());

    QTest::mouseClick(window->DTSettings()->Widget(), Qt::LeftButton);
    ASSERT_TRUE(window->DTSettings()->Value());
    EXPECT_EQ(window->Width(), 746);
    EXPECT_EQ(window->Height(), 322);
    // Opening runs no enablego: the triangle stays enabled until the next one.
    EXPECT_TRUE(window->DTSettings()->Enabled());
    window->EFPSize()->Text("abcd");
    EXPECT_FALSE(window->DTSettings()->Enabled());
}

TEST_F(SettingsRulesTest, EachModeButtonEnablesExactlyItsGroup)
{
    struct Row {
        int32_t mode;
        std::vector<bool> enabled; // in the order of sizeControls()
    };
    const Row rows[] = {
        { 1, { false, false, true, true, true, true, false, false } },
        { 2, { false, false, false, false, false, false, true, true } },
        { 0, { true, true, false, false, false, false, false, false } },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "mode " << row.mode);
        chooseMode(row.mode);
        const auto controls = sizeControls();
        for (size_t i = 0; i < controls.size(); ++i)
            EXPECT_EQ(controls[i]->Enabled(), row.enabled[i]) << controls[i]->Name();
        for (const auto& control : jpegControls())
            EXPECT_TRUE(control->Enabled()) << control->Name();
    }
}

TEST_F(SettingsRulesTest, PngDisablesTheQualityControlsAndJpegKeepsTheSliderValue)
{
    window->SLQuality()->Value(55);
    window->PMExportFormat()->ListIndex(1);
    for (const auto& control : jpegControls())
        EXPECT_FALSE(control->Enabled()) << control->Name();
    EXPECT_TRUE(window->EFPSize()->Enabled());
    window->PMExportFormat()->ListIndex(0);
    for (const auto& control : jpegControls())
        EXPECT_TRUE(control->Enabled()) << control->Name();
    EXPECT_EQ(window->SLQuality()->Value(), 55);
    EXPECT_EQ(window->STQuality()->Text(), "55");
}

TEST_F(SettingsRulesTest, PresetsAndTheSliderFollowEachOtherOnce)
{
    int changes = 0, moves = 0;
    auto onChange = window->PMQuality()->OnChange;
    auto onMove = window->SLQuality()->OnValueChanged;
    window->PMQuality()->OnChange = [&](PopupMenu& sender) { ++changes; onChange(sender); };
    window->SLQuality()->OnValueChanged = [&](Slider& sender) { ++moves; onMove(sender); };

    struct PresetRow {
        int32_t row;
        int32_t value;
    };
    for (const auto& preset : { PresetRow { 0, 90 }, PresetRow { 2, 60 }, PresetRow { 3, 40 }, PresetRow { 1, 80 } }) {
        SCOPED_TRACE(testing::Message() << "row " << preset.row);
        changes = moves = 0;
        window->PMQuality()->ListIndex(preset.row);
        EXPECT_EQ(window->SLQuality()->Value(), preset.value);
        EXPECT_EQ(window->STQuality()->Text(), Str(preset.value));
        EXPECT_EQ(changes, 1);
        EXPECT_EQ(moves, 1);
    }

    struct SliderRow {
        int32_t value;
        int32_t row;
        int changes; // the row changes only when it differs from the one selected
    };
    const SliderRow slides[] = { { 60, 2, 1 }, { 61, 4, 1 }, { 62, 4, 0 }, { 40, 3, 1 }, { 90, 0, 1 }, { 100, 4, 1 },
        { 1, 4, 0 } };
    for (const auto& slide : slides) {
        SCOPED_TRACE(testing::Message() << "value " << slide.value);
        changes = moves = 0;
        window->SLQuality()->Value(slide.value);
        EXPECT_EQ(window->PMQuality()->ListIndex(), slide.row);
        EXPECT_EQ(window->STQuality()->Text(), Str(slide.value));
        EXPECT_EQ(moves, 1);
        EXPECT_EQ(changes, slide.changes);
    }

    // "Custom" sets nothing.
    window->SLQuality()->Value(90);
    moves = 0;
    window->PMQuality()->ListIndex(4);
    EXPECT_EQ(window->PMQuality()->Text(), "Custom");
    EXPECT_EQ(window->SLQuality()->Value(), 90);
    EXPECT_EQ(window->STQuality()->Text(), "90");
    EXPECT_EQ(moves, 0);
}

TEST_F(SettingsRulesTest, UncheckingWebReadyNamesDisablesDosAndKeepsItsTick)
{
    QTest::mouseClick(window->CBName()->Widget(), Qt::LeftButton);
    ASSERT_TRUE(window->CBName()->Value());
    EXPECT_TRUE(window->CBDos()->Enabled());
    QTest::mouseClick(window->CBDos()->Widget(), Qt::LeftButton);
    ASSERT_TRUE(window->CBDos()->Value());
    QTest::mouseClick(window->CBName()->Widget(), Qt::LeftButton);
    ASSERT_FALSE(window->CBName()->Value());
    EXPECT_FALSE(window->CBDos()->Enabled());
    EXPECT_TRUE(window->CBDos()->Value());
}

TEST_F(SettingsRulesTest, AFormatChangeDuringARunWaitsForTheFinish)
{
    // Items that are no pictures keep the run short and still give the event loop a turn
    // after each one.
    for (int i = 0; i < 30; ++i)
        std::ofstream(source.file("note" + std::to_string(i) + ".txt")) << "not a picture";
    window->EFPSize()->Text("100");
    DragItem drop({ source.path() });
    window->Event_DropObject(drop, 0);
    ASSERT_TRUE(window->PBGo()->Enabled());

    window->PBGo()->Push();
    ASSERT_TRUE(StepUntil([this] { return window->PBGo()->Cancel(); }));
    ASSERT_TRUE(window->threadrun1()->IsRunning());
    window->PMExportFormat()->ListIndex(1);
    // The settings the engine disabled stay so, and Cancel stays usable.
    for (const auto& control : sizeControls())
        EXPECT_FALSE(control->Enabled()) << control->Name();
    EXPECT_FALSE(window->SLQuality()->Enabled());
    EXPECT_FALSE(window->PMQuality()->Enabled());
    EXPECT_TRUE(window->STJPEGQuality()->Enabled());
    EXPECT_TRUE(window->PBGo()->Enabled());

    ASSERT_TRUE(SpinUntil([this] { return !window->threadrun1()->IsRunning(); }));
    // The finish applies the format chosen during the run.
    for (const auto& control : jpegControls())
        EXPECT_FALSE(control->Enabled()) << control->Name();
    EXPECT_TRUE(window->EFPSize()->Enabled());
    EXPECT_TRUE(window->PMPType()->Enabled());
    EXPECT_FALSE(window->EFIWidth()->Enabled());
    EXPECT_TRUE(window->PBGo()->Enabled());
}

} // namespace
