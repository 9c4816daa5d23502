#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "text/utf8.h"

using namespace tunewell::text;

namespace
{

// An encoder written separately from the decoder, as the reference for it.
std::string encode (uint32_t codePoint)
{
    std::string out;

    if (codePoint < 0x80)
        out += static_cast<char> (codePoint);
    else if (codePoint < 0x800)
    {
        out += static_cast<char> (0xc0 | (codePoint >> 6));
        out += static_cast<char> (0x80 | (codePoint & 0x3f));
    }
    else if (codePoint < 0x10000)
    {
        out += static_cast<char> (0xe0 | (codePoint >> 12));
        out += static_cast<char> (0x80 | ((codePoint >> 6) & 0x3f));
        out += static_cast<char> (0x80 | (codePoint & 0x3f));
    }
    else
    {
        out += static_cast<char> (0xf0 | (codePoint >> 18));
        out += static_cast<char> (0x80 | ((codePoint >> 12) & 0x3f));
        out += static_cast<char> (0x80 | ((codePoint >> 6) & 0x3f));
        out += static_cast<char> (0x80 | (codePoint & 0x3f));
    }

    return out;
}

} // namespace

TEST (UTF8Decoding, DecodesSequencesOfEveryLength)
{
    EXPECT_EQ (decodeUTF8 ("A").codePoint, 0x41u);
    EXPECT_EQ (decodeUTF8 ("\xc3\xa9").codePoint, 0xe9u);
    EXPECT_EQ (decodeUTF8 ("\xc3\xa9").length, 2u);
    EXPECT_EQ (decodeUTF8 ("\xe2\x82\xac").codePoint, 0x20acu);
    EXPECT_EQ (decodeUTF8 ("\xf0\x9f\x98\x80").codePoint, 0x1f600u);
    EXPECT_EQ (decodeUTF8 ("\xf0\x9f\x98\x80").length, 4u);
}

TEST (UTF8Decoding, MatchesAnIndependentEncoderForRandomCodePoints)
{
    const uint32_t seed = 20240611;
    std::mt19937 random (seed);
    std::uniform_int_distribution<uint32_t> codePoints (1, 0x10ffff);

    for (int i = 0; i < 100000; ++i)
    {
        auto codePoint = codePoints (random);
        auto text = encode (codePoint);
        UTF8Pointer p (text.c_str());

        ASSERT_EQ (p.popFirstChar(), codePoint) << "seed " << seed;
        ASSERT_EQ (p.text, text.c_str() + text.size()) << "seed " << seed;
    }
}

TEST (UTF8Decoding, TakesMalformedLeadBytesWithoutValidating)
{
    UTF8Pointer stray ("\x80" "A");
    EXPECT_EQ (stray.popFirstChar(), 0u);
    EXPECT_EQ (*stray, 0x41u);

    // 0xFF claims three continuation bytes and keeps its low four bits.
    EXPECT_EQ (decodeUTF8 ("\xff\x80\x80\x81").codePoint, (0xfu << 18) | 1u);
    EXPECT_EQ (decodeUTF8 ("\xff\x80\x80\x81").length, 4u);
}

TEST (UTF8Decoding, StopsAtATerminatorThatCutsASequenceShort)
{
    const char text[] = "\xe2\x82\0XYZ";
    UTF8Pointer p (text);

    EXPECT_EQ (p.popFirstChar(), (0x2u << 6) | 0x2u);
    EXPECT_EQ (p.text, text + 2);
    EXPECT_TRUE (p.isAtEnd());

    EXPECT_EQ (decodeUTF8 ("\xf0").length, 1u);
    EXPECT_EQ (decodeUTF8 ("\xf0\x9f").length, 2u);
}

TEST (UTF8Decoding, NeverPassesTheTerminatorOfRandomBytes)
{
    const uint32_t seed = 77;
    std::mt19937 random (seed);
    std::uniform_int_distribution<int> bytes (1, 255), lengths (0, 12);

    for (int i = 0; i < 20000; ++i)
    {
        std::string text;

        for (int n = lengths (random); n > 0; --n)
            text += static_cast<char> (bytes (random));

        UTF8Pointer p (text.c_str());

        while (! p.isAtEnd())
        {
            p.popFirstChar();
            ASSERT_LE (p.text, text.c_str() + text.size()) << "seed " << seed << ", case " << i;
        }

        ASSERT_EQ (p.text, text.c_str() + text.size()) << "seed " << seed << ", case " << i;
    }
}

TEST (UTF8Pointer, PopsPastAZeroByteSoCallersSeeTheEnd)
{
    const char text[] = "a";
    UTF8Pointer p (text);

    EXPECT_EQ (p.popFirstChar(), 0x61u);
    EXPECT_EQ (p.popFirstChar(), 0u);
    EXPECT_EQ (p.text, text + 2);
}

TEST (UTF8Pointer, NullPointerIsAtEndAndStaysPut)
{
    UTF8Pointer p;
    EXPECT_TRUE (p.isAtEnd());
    EXPECT_EQ (p.popFirstChar(), 0u);
    EXPECT_EQ (p.text, nullptr);
    EXPECT_FALSE (p.skipPrefix ("x"));
}

TEST (UTF8Pointer, DereferenceReadsAndIncrementMovesByWholeCodePoints)
{
    const char* text = "\xc3\xa9z";
    UTF8Pointer p (text);

    EXPECT_EQ (*p, 0xe9u);
    EXPECT_EQ (p.text, text);
    auto before = p++;
    EXPECT_EQ (before.text, text);
    EXPECT_EQ ((++before).text, text + 2);
    EXPECT_EQ (*p, static_cast<uint32_t> ('z'));
}

TEST (UTF8Pointer, SkipsAPrefixOnlyWhenAllOfItMatches)
{
    const char* text = "true,";
    UTF8Pointer p (text);

    EXPECT_FALSE (p.skipPrefix ("tru!"));
    EXPECT_EQ (p.text, text);
    EXPECT_FALSE (p.skipPrefix ("true,false"));
    EXPECT_EQ (p.text, text);
    EXPECT_TRUE (p.skipPrefix ("true"));
    EXPECT_EQ (*p, static_cast<uint32_t> (','));
}

TEST (LineAndColumn, CountsCodePointsAndLineFeeds)
{
    const char* text = "ab\n\xc3\xa9x\r\ny";
    UTF8Pointer start (text);

    EXPECT_EQ (findLineAndColumn (start, start), (LineAndColumn { 1, 1 }));
    EXPECT_EQ (findLineAndColumn (start, UTF8Pointer (text + 2)), (LineAndColumn { 1, 3 }));
    EXPECT_EQ (findLineAndColumn (start, UTF8Pointer (text + 3)), (LineAndColumn { 2, 1 }));
    EXPECT_EQ (findLineAndColumn (start, UTF8Pointer (text + 5)), (LineAndColumn { 2, 2 }));
    // The carriage return is a column of the line it ends.
    EXPECT_EQ (findLineAndColumn (start, UTF8Pointer (text + 7)), (LineAndColumn { 2, 4 }));
    EXPECT_EQ (findLineAndColumn (start, UTF8Pointer (text + 8)), (LineAndColumn { 3, 1 }));
}

TEST (LineAndColumn, GivesNoPlaceForNullAndStopsAtTheTerminator)
{
    const char text[] = "ab\0cd";
    EXPECT_EQ (findLineAndColumn (UTF8Pointer(), UTF8Pointer (text)), (LineAndColumn { 0, 0 }));
    EXPECT_EQ (findLineAndColumn (UTF8Pointer (text), UTF8Pointer()), (LineAndColumn { 0, 0 }));
    EXPECT_EQ (findLineAndColumn (UTF8Pointer (text), UTF8Pointer (text + 4)), (LineAndColumn { 1, 3 }));

    const char cutOff[] = "\xe2\x82";
    EXPECT_EQ (findLineAndColumn (UTF8Pointer (cutOff), UTF8Pointer (cutOff + 2)), (LineAndColumn { 1, 2 }));
}
