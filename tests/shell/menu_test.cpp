// The menu bar as the program finds it.
#include "shell/menu.h"

#include <gtest/gtest.h>

namespace {

enum class Kind { Item, Quit, About };

struct ExpectedItem {
    const char* menu; // "" for a menu on the bar
    const char* name;
    Kind kind;
    const char* text;
    const char* shortcut;
    bool autoEnable;
};

// The bar as the rest of the program finds it: menus and items by name, in order.
const ExpectedItem kBar[] = {
    { "", "UntitledMenu3", Kind::Item, "File", "", false },
    { "UntitledMenu3", "FileQuit", Kind::Quit, "Quit", "Cmd+Q", true },
    { "", "UntitledMenu1", Kind::Item, "Edit", "", false },
    { "UntitledMenu1", "EditUndo", Kind::Item, "Undo", "Cmd+Z", false },
    { "UntitledMenu1", "UntitledMenu2", Kind::Item, "-", "", false },
    { "UntitledMenu1", "EditCut", Kind::Item, "Cut", "Cmd+X", false },
    { "UntitledMenu1", "EditCopy", Kind::Item, "Copy", "Cmd+C", false },
    { "UntitledMenu1", "EditPaste", Kind::Item, "Paste", "Cmd+V", false },
    { "UntitledMenu1", "EditClear", Kind::Item, "Clear", "", false },
    { "", "UntitledMenu0", Kind::Item, "Help", "", false },
    { "UntitledMenu0", "HelpHelp", Kind::Item, "Quobly! Help", "Cmd+?", false },
    { "UntitledMenu0", "AppleCredits", Kind::About, "About Quobly", "", false },
};

} // namespace

TEST(MenuBar, HoldsTheMenusAndItemsInOrderWithTheirTextsShortcutsAndAutoEnable)
{
    auto bar = Menu::instance();
    ASSERT_EQ(bar->Count(), 3);
    int32_t menuIndex = -1;
    int32_t itemIndex = 0;
    for (const auto& expected : kBar) {
        SCOPED_TRACE(expected.name);
        Ref<MenuItem> item;
        if (String(expected.menu).empty()) {
            item = bar->Item(++menuIndex);
            itemIndex = 0;
        } else {
            auto menu = bar->Item(menuIndex);
            ASSERT_EQ(menu->Name(), expected.menu);
            item = menu->Item(itemIndex++);
        }
        ASSERT_TRUE(item);
        EXPECT_EQ(item->Name(), expected.name);
        EXPECT_EQ(item->Text(), expected.text);
        EXPECT_EQ(item->KeyboardShortcut(), expected.shortcut);
        EXPECT_EQ(item->AutoEnable(), expected.autoEnable);
        EXPECT_EQ(bool(item.As<QuitMenuItem>()), expected.kind == Kind::Quit);
        EXPECT_EQ(bool(item.As<AppleMenuItem>()), expected.kind == Kind::About);
    }
    // No menu holds more items than the table names.
    EXPECT_EQ(bar->Item(0)->Count(), 1);
    EXPECT_EQ(bar->Item(1)->Count(), 6);
    EXPECT_EQ(bar->Item(2)->Count(), 2);
}

TEST(MenuBar, AccessorGivesOneObjectUntilReleased)
{
    auto first = Menu::instance();
    EXPECT_EQ(Menu::instance(), first);
    Menu::ReleaseInstance();
    auto rebuilt = Menu::instance();
    EXPECT_FALSE(rebuilt == first);
    EXPECT_EQ(rebuilt->Count(), 3);
}

TEST(MenuBar, LookupFindsTheSeparatorButNoSelectAllItem)
{
    auto separator = Menu::instance()->Lookup("UntitledMenu2");
    ASSERT_TRUE(separator);
    EXPECT_EQ(separator->Text(), "-");
    EXPECT_FALSE(Menu::instance()->Lookup("EditSelectAll"));
}
