// The packed design lists of the three windows, held against the bytes they were first written
// with: a changed value, a changed order of entries or a wrong width changes the length or the
// hash. The credits window's three static texts carry the build's version, author and links,
// so their lists are left out.
#include "main_window/main.h"
#include "shell/credits.h"
#include "shell/whelp.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace {

uint64_t fnv1a(const String& bytes)
{
    uint64_t hash = 0xcbf29ce484222325ull;
    for (unsigned char c : bytes) {
        hash ^= c;
        hash *= 0x100000001b3ull;
    }
    return hash;
}

struct Expected {
    const char* window;
    // The member's place in creation order; -1 for the window's own list.
    int row;
    size_t size;
    uint64_t hash;
};

template<class W>
std::vector<String> listsOf(std::initializer_list<std::span<const MemberRow<W>>> tables)
{
    std::vector<String> lists { Window::DesignListOf(W::kDesign) };
    for (auto table : tables) {
        for (const MemberRow<W>& member : table)
            lists.push_back(member.DesignList());
    }
    return lists;
}

TEST(DesignLists, StayByteForByteWhatTheyWere)
{
    const std::map<String, std::vector<String>> lists {
        { "Main", listsOf<Main>({ Main::Members0(), Main::Members1() }) },
        { "WHelp", listsOf<WHelp>({ WHelp::Members() }) },
        { "Credits", listsOf<Credits>({ Credits::Members() }) },
    };
    EXPECT_EQ(lists.at("Main").size(), 1u + 36u);
    EXPECT_EQ(lists.at("WHelp").size(), 1u + 4u);
    EXPECT_EQ(lists.at("Credits").size(), 1u + 6u);
    const Expected expected[] = {
        { "Main", -1, 274, 0xfe226abd8513d132ull },
        { "Main", 0, 247, 0x086ab3a39918e055ull },
        { "Main", 1, 350, 0x2ec217b56b5a5cebull },
        { "Main", 2, 488, 0x7cc93260e77af656ull },
        { "Main", 3, 350, 0x327fc00ddb76d1beull },
        { "Main", 4, 306, 0x2a3143abaafaa60eull },
        { "Main", 5, 489, 0x94716e1337d1789eull },
        { "Main", 6, 307, 0x4f603a2e042a3a99ull },
        { "Main", 7, 350, 0xbfa4908bbcc518dfull },
        { "Main", 8, 490, 0x6e010749a6064e89ull },
        { "Main", 9, 308, 0xfa63131fffc41461ull },
        { "Main", 10, 350, 0xfb676217e11cc6eeull },
        { "Main", 11, 489, 0x7a4fba665e1e4615ull },
        { "Main", 12, 350, 0x2a4e155dc6491932ull },
        { "Main", 13, 490, 0xe02ca055c1916e2cull },
        { "Main", 14, 269, 0xb255124080eb8f1bull },
        { "Main", 15, 269, 0xcceaf97b3791d8baull },
        { "Main", 16, 269, 0xed070bb56ce240eaull },
        { "Main", 17, 247, 0x9ae32dd17acbaeacull },
        { "Main", 18, 312, 0x0485cf55eaf06b32ull },
        { "Main", 19, 352, 0x6f12a1af157cc884ull },
        { "Main", 20, 308, 0x2e4d3524d90dea20ull },
        { "Main", 21, 307, 0x21bf9cca0ff4fec2ull },
        { "Main", 22, 359, 0x1c26dca99cef1b76ull },
        { "Main", 23, 308, 0xf12ecfd97c4dd6c2ull },
        { "Main", 24, 307, 0x7017078a754e2a84ull },
        { "Main", 25, 351, 0x298413e8cd2b8f48ull },
        { "Main", 26, 338, 0xd84967fd11651b8aull },
        { "Main", 27, 341, 0x4498a847f8c471dfull },
        { "Main", 28, 338, 0x22e767d521ff2a3eull },
        { "Main", 29, 288, 0xb6a6f906d34cb4eaull },
        { "Main", 30, 284, 0xc418508451960a89ull },
        { "Main", 31, 205, 0x2be9d55af8ec2818ull },
        { "Main", 32, 27, 0x1826702787b8fd9full },
        { "Main", 33, 347, 0x5be39553b7887c2eull },
        { "Main", 34, 244, 0xee34cd6a283b8b9dull },
        { "Main", 35, 213, 0x8ae7b82c0c3f0eb2ull },
        { "WHelp", -1, 257, 0x7167f354027c5215ull },
        { "WHelp", 0, 358, 0x2d4cbfc60f70f2a2ull },
        { "WHelp", 1, 287, 0x6b5bdeef27a79d96ull },
        { "WHelp", 2, 315, 0x077f249870ea7d43ull },
        { "WHelp", 3, 200, 0xa9c5479961a4de37ull },
        { "Credits", -1, 257, 0x57be15801ca8ba27ull },
        { "Credits", 3, 335, 0x83b4c1abfd0ec064ull },
        { "Credits", 4, 335, 0x27dd750219b07fc9ull },
        { "Credits", 5, 335, 0x7bdfbfd265307a8eull },
    };
    for (const Expected& e : expected) {
        const String& list = lists.at(e.window).at(static_cast<size_t>(e.row + 1));
        EXPECT_EQ(list.size(), e.size) << e.window << " row " << e.row;
        EXPECT_EQ(fnv1a(list), e.hash) << e.window << " row " << e.row;
    }
}

TEST(DesignLists, MembersAreInCreationOrderUnderTheirNames)
{
    std::vector<String> names;
    for (auto table : { Main::Members0(), Main::Members1() }) {
        for (const MemberRow<Main>& member : table)
            names.push_back(member.Name());
    }
    const std::vector<String> expected { "GroupBox1", "StaticText1", "EFPSize", "StaticText3", "PMPType", "EFIWidth",
        "PMIWidth", "StaticText4", "EFIHeight", "PMIHeight", "StaticText6", "EFBWidth", "StaticText7", "EFBHeight",
        "RBType", "RBType", "RBType", "GroupBox2", "CBIncrease", "STJPEGQuality", "PMQuality", "SLQuality",
        "STQuality", "CBName", "CBDos", "StaticText51", "PMExportFormat", "StaticText2", "STFolder", "PBSelect",
        "PBGo", "PB", "threadrun1", "STStatus", "DTSettings", "Separator1" };
    EXPECT_EQ(names, expected);
    EXPECT_EQ(Main::Members0().size(), 30u);
    EXPECT_EQ(FindMember(Main::Members0(), "RBType", 2).Index(), 2);
    EXPECT_THROW(FindMember(Main::Members0(), "RBType", 3), OutOfBoundsException);
}

} // namespace
