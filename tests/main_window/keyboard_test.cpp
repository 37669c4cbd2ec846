// The keyboard in the main window: Tab visits every resize mode, and the Edit menu follows the
// focused field.
#include "tests/main_window/main_window_fixture.h"

#include "framework/core/folder_item.h"
#include "framework/gui/runtime.h"
#include "shell/menu.h"
#include "tests/support/framework_key.h"
#include "tests/support/spin.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class KeyboardTest : public MainWindowFixture {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        openWindow();
        QWidget* top = window->TopLevelWidget(testKey());
        top->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(top));
    }

    // The names of the controls that Tab visits from the focused one, until `count` are seen.
    std::vector<std::string> tabFrom(const Ref<RectControl>& start, size_t count)
    {
        start->Widget()->setFocus(Qt::TabFocusReason);
        std::vector<std::string> visited;
        for (size_t i = 0; i < count; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited.push_back(nameOf(QApplication::focusWidget()));
        }
        return visited;
    }

    std::string nameOf(QWidget* widget)
    {
        for (int i = 0; i < 3; ++i) {
            if (window->RBType(i)->Widget() == widget)
                return "RBType(" + std::to_string(i) + ")";
        }
        const std::vector<Ref<RectControl>> named = { window->EFPSize(), window->PMPType(), window->EFBWidth(),
            window->EFBHeight(), window->CBIncrease(), window->PMQuality(), window->PBSelect() };
        for (const Ref<RectControl>& c : named) {
            if (c->Widget() == widget)
                return c->Name();
        }
        return "other";
    }

    bool enabledItem(const char* name)
    {
        window->RefreshMenus(testKey());
        return Menu::instance()->Lookup(name)->Enabled();
    }

    void choose(const char* name)
    {
        window->RefreshMenus(testKey());
        auto item = Menu::instance()->Lookup(name);
        ASSERT_TRUE(item->Enabled()) << name;
        window->ChooseMenuItem(testKey(), item);
    }

};

TEST_F(KeyboardTest, TabVisitsEveryResizeModeWhicheverIsChecked)
{
    const std::vector<std::string> modes = { "RBType(0)", "RBType(1)", "RBType(2)" };
    // Proportional: after its field and popup come the three modes, then the export box.
    EXPECT_EQ(tabFrom(window->EFPSize(), 5),
        (std::vector<std::string> { "PMPType", "RBType(0)", "RBType(1)", "RBType(2)", "CBIncrease" }));

    // Space on the focused box mode chooses it; its fields follow the mode, the others are
    // left, and Tab still visits every mode.
    window->RBType(2)->Widget()->setFocus(Qt::TabFocusReason);
    QTest::keyClick(window->RBType(2)->Widget(), Qt::Key_Space);
    EXPECT_TRUE(window->RBType(2)->Value());
    EXPECT_FALSE(window->RBType(0)->Value());
    EXPECT_FALSE(window->RBType(1)->Value());
    EXPECT_TRUE(window->EFBWidth()->Enabled());
    EXPECT_FALSE(window->EFPSize()->Enabled());
    const auto visited = tabFrom(window->EFBWidth(), 4);
    EXPECT_EQ(visited, (std::vector<std::string> { "EFBHeight", "RBType(0)", "RBType(1)", "RBType(2)" }));
    EXPECT_TRUE(window->RBType(2)->Value()) << "Tab moves the focus and chooses nothing";
}

TEST_F(KeyboardTest, EditItemsFollowWhatTheFocusedFieldCanDo)
{
    QApplication::clipboard()->clear();
    auto* field = static_cast<QLineEdit*>(window->EFPSize()->Widget());
    field->setFocus(Qt::TabFocusReason);
    EXPECT_FALSE(enabledItem("EditCopy"));
    EXPECT_FALSE(enabledItem("EditUndo"));
    EXPECT_FALSE(enabledItem("EditPaste")) << "an empty clipboard gives nothing to paste";

    QTest::keyClicks(field, "320");
    EXPECT_TRUE(enabledItem("EditUndo"));
    EXPECT_FALSE(enabledItem("EditCut")) << "nothing is selected";
    field->selectAll();
    EXPECT_TRUE(enabledItem("EditCut"));
    EXPECT_TRUE(enabledItem("EditClear"));
    choose("EditCopy");
    EXPECT_EQ(QApplication::clipboard()->text(), "320");
    choose("EditClear");
    EXPECT_EQ(window->EFPSize()->Text(), "");
    choose("EditPaste");
    EXPECT_EQ(window->EFPSize()->Text(), "320");
    field->selectAll();
    choose("EditCut");
    EXPECT_EQ(window->EFPSize()->Text(), "");
    choose("EditUndo");
    EXPECT_EQ(window->EFPSize()->Text(), "320");

    // A disabled field, and a control without text, serve no Edit item.
    window->PBSelect()->Widget()->setFocus(Qt::TabFocusReason);
    for (const char* name : { "EditUndo", "EditCut", "EditCopy", "EditPaste", "EditClear" })
        EXPECT_FALSE(enabledItem(name)) << name;
    EXPECT_TRUE(enabledItem("HelpHelp")) << "the window's own items stay as it enables them";
}

TEST_F(KeyboardTest, TheCompactWindowKeepsTheKeyboardInView)
{
    int chooserOpened = 0;
    Seams::SetSelectFolder([&] {
        ++chooserOpened;
        return Ref<FolderItem>();
    });
    window->EFPSize()->Text("640");
    window->EFPSize()->Widget()->setFocus(Qt::TabFocusReason);
    // Closing the pane by a click leaves no focus behind in the hidden box.
    QTest::mouseClick(window->DTSettings()->Widget(), Qt::LeftButton);
    ASSERT_EQ(window->Width(), 366);
    const auto inView = [this](QWidget* widget) {
        const QRect shown(widget->mapTo(window->ContentWidget(testKey()), QPoint(0, 0)), widget->size());
        return QRect(0, 0, window->Width(), window->Height()).contains(shown);
    };
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    EXPECT_TRUE(inView(QApplication::focusWidget()));
    // Tab and Space, as a keyboard user tries every control: only what shows is reached, and
    // no hidden setting changes.
    std::vector<std::string> reached;
    for (int i = 0; i < 12; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* focused = QApplication::focusWidget();
        EXPECT_TRUE(inView(focused)) << "Tab number " << i + 1;
        if (focused != window->DTSettings()->Widget())
            QTest::keyClick(focused, Qt::Key_Space);
    }
    EXPECT_FALSE(window->CBIncrease()->Value());
    EXPECT_FALSE(window->CBName()->Value());
    EXPECT_TRUE(window->RBType(0)->Value());
    EXPECT_EQ(window->Width(), 366) << "the pane stays closed";
    EXPECT_GT(chooserOpened, 0) << "Space pressed the Select button it reached";

    // Opened again, the box's controls are reached again.
    window->DTSettings()->Value(true);
    EXPECT_EQ(tabFrom(window->EFPSize(), 1), (std::vector<std::string> { "PMPType" }));
}

TEST_F(KeyboardTest, TabReachesTheTriangleInItsPlaceAndSpaceTogglesIt)
{
    window->EFPSize()->Text("640");
    auto* triangle = window->DTSettings()->Widget();
    QTest::mouseClick(triangle, Qt::LeftButton);
    EXPECT_FALSE(triangle->hasFocus()) << "a click never gives the triangle the focus";
    EXPECT_FALSE(window->DTSettings()->Value());
    window->DTSettings()->Value(true);
    // Go, between them, is disabled without a folder.
    window->PBSelect()->Widget()->setFocus(Qt::TabFocusReason);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), triangle);
    QTest::keyClick(triangle, Qt::Key_Space);
    EXPECT_FALSE(window->DTSettings()->Value());
    EXPECT_EQ(window->Width(), 366);
    QTest::keyClick(triangle, Qt::Key_Space);
    EXPECT_TRUE(window->DTSettings()->Value());
    EXPECT_EQ(window->Width(), 746);
}

TEST_F(KeyboardTest, F10AndAltWithAFirstLetterOpenTheMenus)
{
    auto* field = static_cast<QLineEdit*>(window->EFPSize()->Widget());
    field->setFocus(Qt::TabFocusReason);
    struct Row {
        QKeyCombination key;
        const char* menu;
    };
    const Row rows[] = {
        { Qt::Key_F10, "File" },
        { Qt::ALT | Qt::Key_F, "File" },
        { Qt::ALT | Qt::Key_E, "Edit" },
        { Qt::ALT | Qt::Key_H, "Help" },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.menu);
        QTest::keyClick(field, row.key.key(), row.key.keyboardModifiers());
        ASSERT_TRUE(SpinUntil([] { return qobject_cast<QMenu*>(QApplication::activePopupWidget()); }));
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        EXPECT_EQ(menu->title(), row.menu);
        QTest::keyClick(menu, Qt::Key_Escape);
        QTest::keyClick(QApplication::activePopupWidget() ? QApplication::activePopupWidget() : window->TopLevelWidget(testKey()), Qt::Key_Escape);
        ASSERT_TRUE(SpinUntil([] { return !QApplication::activePopupWidget(); }));
        window->TopLevelWidget(testKey())->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window->TopLevelWidget(testKey())));
        field->setFocus(Qt::TabFocusReason);
    }
    EXPECT_EQ(field->text(), "") << "Alt and a letter never type the letter";
}

TEST_F(KeyboardTest, AFocusedButtonLooksApartFromTheDefaultButton)
{
    QTemporaryDir folder;
    DragItem drop({ folder.path().toStdString() });
    window->Event_DropObject(drop, 0);
    window->EFPSize()->Text("640");
    ASSERT_TRUE(window->PBGo()->Enabled());
    auto* select = window->PBSelect()->Widget();
    auto* go = window->PBGo()->Widget();
    // The export format popup comes last before the folder row.
    window->PMExportFormat()->Widget()->setFocus(Qt::TabFocusReason);
    const QImage selectPlain = select->grab().toImage();
    const QImage goDefault = go->grab().toImage();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_TRUE(select->hasFocus());
    EXPECT_NE(select->grab().toImage(), selectPlain) << "the focus shows";
    QTest::keyClick(select, Qt::Key_Tab);
    ASSERT_TRUE(go->hasFocus());
    EXPECT_NE(go->grab().toImage(), goDefault) << "the default button shows its focus too";
}

} // namespace

