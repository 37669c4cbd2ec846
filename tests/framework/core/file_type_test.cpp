// File types registered and withdrawn.
#include "framework/core/file_type.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

class FileTypeTest : public ::testing::Test {
protected:
    void SetUp() override { FileTypeRegistry::ResetForTesting(); }
};

std::unique_ptr<FileType> makeType(const String& name)
{
    auto type = std::make_unique<FileType>();
    type->Name(name);
    type->Extensions(".a;.b");
    type->MacType("TYPE");
    type->MacCreator("CRTR");
    return type;
}

TEST_F(FileTypeTest, ConversionToTextRegistersOnce)
{
    auto type = makeType("image/x");
    EXPECT_FALSE(FileTypeRegistry::IsRegistered("image/x"));
    EXPECT_EQ(type->ToString(), "image/x");
    EXPECT_EQ(type->ToString(), "image/x");
    const auto registered = FileTypeRegistry::Registered();
    ASSERT_EQ(registered.size(), 1u);
    EXPECT_EQ(registered[0].name, "image/x");
    EXPECT_EQ(registered[0].extensions, ".a;.b");
    EXPECT_EQ(registered[0].macType, "TYPE");
    EXPECT_EQ(registered[0].macCreator, "CRTR");
    EXPECT_TRUE(FileTypeRegistry::IsRegistered("IMAGE/X"));
}

TEST_F(FileTypeTest, SettingAnyFieldWithdrawsTheRegistration)
{
    const std::function<void(FileType&)> setters[] = {
        [](FileType& t) { t.Name("renamed"); },
        [](FileType& t) { t.Extensions(".c"); },
        [](FileType& t) { t.MacType("NEW "); },
        [](FileType& t) { t.MacCreator("CRTR"); }, // even to the value it holds
    };
    for (const auto& set : setters) {
        FileTypeRegistry::ResetForTesting();
        auto type = makeType("kind");
        type->ToString();
        set(*type);
        EXPECT_FALSE(type->IsRegistered());
        EXPECT_TRUE(FileTypeRegistry::Registered().empty());
        EXPECT_EQ(FileTypeRegistry::WithdrawalLog(), std::vector<String> { "kind" });
        // Registered again, it carries the new values.
        type->ToString();
        ASSERT_EQ(FileTypeRegistry::Registered().size(), 1u);
        EXPECT_EQ(FileTypeRegistry::Registered()[0].name, type->Name());
        EXPECT_EQ(FileTypeRegistry::Registered()[0].extensions, type->Extensions());
        EXPECT_EQ(FileTypeRegistry::Registered()[0].macType, type->MacType());
    }
}

TEST_F(FileTypeTest, DestructionWithdrawsInOrder)
{
    auto first = makeType("first");
    auto second = makeType("second");
    auto never = makeType("never registered");
    first->ToString();
    second->ToString();
    ASSERT_EQ(FileTypeRegistry::Registered().size(), 2u);
    second.reset();
    never.reset();
    first.reset();
    EXPECT_TRUE(FileTypeRegistry::Registered().empty());
    EXPECT_EQ(FileTypeRegistry::WithdrawalLog(), (std::vector<String> { "second", "first" }));
}

} // namespace
