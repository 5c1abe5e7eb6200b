#include <gtest/gtest.h>

#include "menu/CodePage949.h"

TEST(CodePage949, EncodesStrictlyAndNamesTheFirstMissingCharacter)
{
    std::string bytes;
    EXPECT_EQ(EncodeCp949(L"한글", bytes), std::nullopt);
    EXPECT_EQ(bytes, "\xC7\xD1\xB1\xDB");
    EXPECT_EQ(EncodeCp949(L"A 1\u20AC", bytes), std::nullopt) << "the euro sign is in the code page";
    EXPECT_EQ(bytes, "A 1\xA2\xE6");
    EXPECT_EQ(EncodeCp949(L"", bytes), std::nullopt);
    EXPECT_EQ(bytes, "");

    EXPECT_EQ(EncodeCp949(L"ab\u0E01c", bytes), std::optional<size_t>(2)) << "Thai is not in code page 949";
    EXPECT_EQ(EncodeCp949(L"가\U0001F600", bytes), std::optional<size_t>(1)) << "nor are emoji";
    EXPECT_EQ(EncodeCp949(L"e\u00E9", bytes), std::optional<size_t>(1)) << "no best-fit 'e' for e-acute";
}

TEST(CodePage949, DecodesHangulAndSurvivesInvalidBytes)
{
    EXPECT_EQ(DecodeCp949(std::string("\xC7\xD1\xB1\xDB ok")), L"한글 ok");
    std::wstring odd = DecodeCp949(std::string("a\x80\xFF\xC7"));
    EXPECT_FALSE(odd.empty());
    EXPECT_EQ(odd[0], L'a');
}
