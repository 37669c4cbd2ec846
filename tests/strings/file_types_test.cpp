// The program's file types.
#include "strings/file_types.h"

#include <gtest/gtest.h>

namespace {

TEST(FileTypes, InitializeRegistersTheFourTypesInOrder)
{
    FileTypeRegistry::ResetForTesting();
    FileTypes::Initialize();
    const auto registered = FileTypeRegistry::Registered();
    ASSERT_EQ(registered.size(), 4u);
    struct Expected {
        const char* name;
        const char* extensions;
        const char* macType;
        const char* macCreator;
    };
    const Expected expected[] = {
        { "text", "", "TEXT", "R*ch" },
        { "image/jpeg", ".jfif;.jpe;.jpeg;.jpg", "JPEG", "prvw" },
        { "all", "", "????", "????" },
        { "pref", "", "pref", "Qbly" },
    };
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(registered[i].name, expected[i].name);
        EXPECT_EQ(registered[i].extensions, expected[i].extensions) << expected[i].name;
        EXPECT_EQ(registered[i].macType, expected[i].macType) << expected[i].name;
        EXPECT_EQ(registered[i].macCreator, expected[i].macCreator) << expected[i].name;
    }
    // Each was registered once, with its final values: nothing was withdrawn on the way.
    EXPECT_TRUE(FileTypeRegistry::WithdrawalLog().empty());
    EXPECT_TRUE(FileTypeRegistry::IsRegistered("all"));

    FileTypes::pText_Exit();
    FileTypes::pImageJpeg_Exit();
    FileTypes::pAll_Exit();
    FileTypes::pPref_Exit();
    EXPECT_TRUE(FileTypeRegistry::Registered().empty());
    EXPECT_EQ(FileTypeRegistry::WithdrawalLog(), (std::vector<String> { "text", "image/jpeg", "all", "pref" }));
    EXPECT_EQ(FileTypes::pText, nullptr);
    EXPECT_EQ(FileTypes::pPref, nullptr);
}

} // namespace
