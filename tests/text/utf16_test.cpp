#include <gtest/gtest.h>

#include "text/utf16.h"

using namespace tunewell::text;

TEST (UTF16Conversion, ConvertsPlainAndNonBMPText)
{
    EXPECT_EQ (utf8ToUtf16 ("Tunewell"), L"Tunewell");
    EXPECT_EQ (utf16ToUtf8 (L"Tunewell"), "Tunewell");

    std::string smile = "caf\xc3\xa9 \xf0\x9f\x98\x80";
    auto wide = utf8ToUtf16 (smile);
    ASSERT_EQ (wide.size(), 7u);
    EXPECT_EQ (wide[3], 0xe9);
    EXPECT_EQ (wide[5], 0xd83d);
    EXPECT_EQ (wide[6], 0xde00);
    EXPECT_EQ (utf16ToUtf8 (wide), smile);
}

TEST (UTF16Conversion, GivesEmptyTextForEmptyOrInvalidInput)
{
    EXPECT_EQ (utf8ToUtf16 (""), L"");
    EXPECT_EQ (utf16ToUtf8 (L""), "");
    EXPECT_EQ (utf8ToUtf16 ("ab\xff"
                            "cd"),
               L"");
    EXPECT_EQ (utf8ToUtf16 ("ab\xe2\x82"), L"");

    std::wstring unpaired = L"ab";
    unpaired += static_cast<wchar_t> (0xd800);
    unpaired += L"cd";
    EXPECT_EQ (utf16ToUtf8 (unpaired), "");
    EXPECT_EQ (utf16ToUtf8 (std::wstring (1, static_cast<wchar_t> (0xdc00))), "");
}

TEST (UTF16Conversion, KeepsEmbeddedZerosInsideTheGivenLength)
{
    std::string text ("a\0b", 3);
    auto wide = utf8ToUtf16 (text);
    ASSERT_EQ (wide.size(), 3u);
    EXPECT_EQ (utf16ToUtf8 (wide), text);
}
