#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "strict_utf8.h"
#include "text/utf8.h"

using namespace tunewell::text;

namespace
{

using tunewell::testrig::referenceUtf8;

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

TEST (UTF8, DecodingAndEncodingMatchAnIndependentEncoderForRandomCodePoints)
{
    const uint32_t seed = 20240611;
    std::mt19937 random (seed);
    std::uniform_int_distribution<uint32_t> codePoints (1, 0x10ffff);

    for (int i = 0; i < 100000; ++i)
    {
        auto codePoint = codePoints (random);
        auto text = referenceUtf8 (codePoint);
        UTF8Pointer p (text.c_str());

        ASSERT_EQ (p.popFirstChar(), codePoint) << "seed " << seed;
        ASSERT_EQ (p.text, text.c_str() + text.size()) << "seed " << seed;

        std::string appended;
        appendUTF8 (appended, codePoint);
        ASSERT_EQ (appended, text) << "seed " << seed << ", code point " << codePoint;
    }
}

TEST (UTF8Encoding, AppendsEachCodePointInItsShortestFormAtEveryLengthBoundary)
{
    std::string text = "x";

    for (uint32_t codePoint : { 0x41u, 0x7fu, 0x80u, 0x7ffu, 0x800u, 0xd800u, 0xffffu, 0x10000u, 0x10ffffu })
        appendUTF8 (text, codePoint);

    EXPECT_EQ (text, "xA\x7f"
                     "\xc2\x80"
                     "\xdf\xbf"
                     "\xe0\xa0\x80"
                     "\xed\xa0\x80"
                     "\xef\xbf\xbf"
                     "\xf0\x90\x80\x80"
                     "\xf4\x8f\xbf\xbf");
}

TEST (UTF8Decoding, TakesMalformedLeadBytesWithoutValidating)
{
    UTF8Pointer stray ("\x80"
                       "A");
    EXPECT_EQ (stray.popFirstChar(), 0u);
    EXPECT_EQ (*stray, 0x41u);

    // 0xFF claims three continuation bytes and keeps its low four bits.
    EXPECT_EQ (decodeUTF8 ("\xff\x80\x80\x81").codePoint, (0xfu << 18) | 1u);
    EXPECT_EQ (decodeUTF8 ("\xff\x80\x80\x81").length, 4u);
}

TEST (UTF8Decoding, DecodesOverlongFormsSurrogatesAndCodePointsAboveTheRange)
{
    EXPECT_EQ (decodeUTF8 ("\xc1\x81").codePoint, 0x41u);
    EXPECT_EQ (decodeUTF8 ("\xc0\x80").codePoint, 0u);
    EXPECT_EQ (decodeUTF8 ("\xc0\x80").length, 2u);
    EXPECT_EQ (decodeUTF8 ("\xe0\x80\xa2").codePoint, 0x22u);
    EXPECT_EQ (decodeUTF8 ("\xf0\x80\x80\x80").length, 4u);
    EXPECT_EQ (decodeUTF8 ("\xed\xa0\x80").codePoint, 0xd800u);
    EXPECT_EQ (decodeUTF8 ("\xf4\x90\x80\x80").codePoint, 0x110000u);
    EXPECT_EQ (decodeUTF8 ("\xf7\xbf\xbf\xbf").codePoint, 0x1fffffu);
}

TEST (UTF8Decoding, TellsOverlongFormsFromShortestOnes)
{
    for (const char* overlong : { "\xc1\xbf", "\xe0\x9f\xbf", "\xf0\x8f\xbf\xbf", "\xf0\x9f" })
        EXPECT_TRUE (isOverlong (decodeUTF8 (overlong))) << overlong;

    for (const char* shortest :
         { "\x7f", "\x80", "\xc2\x80", "\xe0\xa0\x80", "\xf0\x90\x80\x80", "\xe2\x82", "\xff\xbf\xbf\xbf" })
        EXPECT_FALSE (isOverlong (decodeUTF8 (shortest))) << shortest;
}

TEST (UTF8Decoding, TakesContinuationBytesWhateverTheirTopBitsHold)
{
    EXPECT_EQ (decodeUTF8 ("\xe2"
                           "A ")
                   .codePoint,
               0x2060u);
    EXPECT_EQ (decodeUTF8 ("\xe2"
                           "A ")
                   .length,
               3u);
    EXPECT_EQ (decodeUTF8 ("\xc3\xff").codePoint, 0xffu);
    EXPECT_EQ (decodeUTF8 ("\xf0\x9f\xd8\x40").codePoint, 0x1f600u);
}

TEST (UTF8Decoding, ASequenceCutByTheEndOrAZeroDecodesFromTheBytesBeforeTheCut)
{
    for (uint32_t codePoint : { 0xe9u, 0x20acu, 0x1f600u, 0x10ffffu })
    {
        auto whole = referenceUtf8 (codePoint);

        for (std::size_t cut = 1; cut < whole.size(); ++cut)
        {
            // The bytes before the cut carry the top bits of the code point.
            auto expected = codePoint >> (6 * (whole.size() - cut));

            // Exactly sized on the heap, so that a read past the end shows.
            std::unique_ptr<char[]> bounded (new char[cut]);
            std::memcpy (bounded.get(), whole.data(), cut);
            auto byEnd = decodeUTF8 (bounded.get(), cut);
            EXPECT_EQ (byEnd.codePoint, expected) << whole.size() << " bytes cut after " << cut;
            EXPECT_EQ (byEnd.length, cut) << whole.size() << " bytes cut after " << cut;

            auto zeroed = whole;
            zeroed[cut] = 0;
            auto byZero = decodeUTF8 (zeroed.c_str(), zeroed.size());
            EXPECT_EQ (byZero.codePoint, expected) << whole.size() << " bytes cut after " << cut;
            EXPECT_EQ (byZero.length, cut) << whole.size() << " bytes cut after " << cut;
        }
    }

    const char text[] = "\xe2\x82\0XYZ";
    UTF8Pointer p (text);

    EXPECT_EQ (p.popFirstChar(), (0x2u << 6) | 0x2u);
    EXPECT_EQ (p.text, text + 2);
    EXPECT_TRUE (p.isAtEnd());
    EXPECT_EQ (decodeUTF8 ("\0\x80", 2).length, 1u);
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

//==============================================================================
namespace
{
/// The offset of the first illegal byte, or -1 when there is none.
std::ptrdiff_t illegalOffset (std::string_view text)
{
    auto* illegal = findIllegalUTF8 (text.data(), text.size());
    return illegal != nullptr ? illegal - text.data() : -1;
}
} // namespace

TEST (UTF8Check, PassesSequencesOfEveryLengthOverlongFormsSurrogatesAndZeroBytes)
{
    EXPECT_EQ (illegalOffset (""), -1);
    EXPECT_EQ (illegalOffset ("A\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80\xf4\x8f\xbf\xbf"), -1);
    EXPECT_EQ (illegalOffset ("\xc0\x80\xc1\xbf\xe0\x80\x80\xf0\x80\x80\x80"), -1);
    EXPECT_EQ (illegalOffset ("\xed\xa0\x80\xed\xbf\xbf"), -1);
    EXPECT_EQ (illegalOffset (std::string_view ("a\0b", 3)), -1);
}

TEST (UTF8Check, FindsTheByteThatBreaksTheForm)
{
    // A continuation byte or a byte from 0xF8 up cannot lead.
    EXPECT_EQ (illegalOffset ("a\x80"), 1);
    EXPECT_EQ (illegalOffset ("\xbf"), 0);
    EXPECT_EQ (illegalOffset ("ab\xf8\x88\x80\x80\x80"), 2);
    EXPECT_EQ (illegalOffset ("\xff"), 0);

    // A byte that should continue the sequence, a zero byte included.
    EXPECT_EQ (illegalOffset ("\xc3"
                              "A"),
               1);
    EXPECT_EQ (illegalOffset ("\xe2\x82"
                              "A"),
               2);
    EXPECT_EQ (illegalOffset ("x\xf0\x9f\x98\xc3"), 4);
    EXPECT_EQ (illegalOffset (std::string_view ("\xe2\0\xac", 3)), 1);

    // Above U+10FFFF.
    EXPECT_EQ (illegalOffset ("a\xf4\x90\x80\x80"), 1);
    EXPECT_EQ (illegalOffset ("\xf5\x80\x80\x80"), 0);
    EXPECT_EQ (illegalOffset ("\xf7\xbf\xbf\xbf"), 0);
}

TEST (UTF8Check, ASequenceThatTheLengthCutsFailsAtItsLead)
{
    const std::string whole = "ab\xf0\x9f\x98\x80";

    for (std::size_t cut = 3; cut < whole.size(); ++cut)
    {
        // Exactly sized on the heap, so that a read past the length shows.
        std::unique_ptr<char[]> text (new char[cut]);
        std::memcpy (text.get(), whole.data(), cut);
        EXPECT_EQ (findIllegalUTF8 (text.get(), cut), text.get() + 2) << cut;
    }
}

TEST (UTF8Check, FindsAnIllegalByteAtAnyPlaceInALongPlainRun)
{
    for (std::size_t place = 0; place < 40; ++place)
    {
        std::string text (40, 'q');
        text[place] = '\x80';
        EXPECT_EQ (illegalOffset (text), static_cast<std::ptrdiff_t> (place));

        text[place] = '\xc3';
        EXPECT_EQ (illegalOffset (text), static_cast<std::ptrdiff_t> (place == 39 ? place : place + 1));
    }
}

//==============================================================================
namespace tunewell::text
{
bool operator== (StrictSequence a, StrictSequence b)
{
    return a.isWellFormed == b.isWellFormed && a.length == b.length;
}

std::ostream& operator<< (std::ostream& out, StrictSequence s)
{
    return out << (s.isWellFormed ? "well formed, " : "ill formed, ") << s.length;
}
} // namespace tunewell::text

namespace
{
StrictSequence strict (std::string_view text)
{
    return checkStrictSequence (text);
}

const StrictSequence invalidByte { false, 1 };
} // namespace

TEST (UTF8StrictSequence, MeasuresTheWellFormedSequenceAtTheFront)
{
    EXPECT_EQ (strict (std::string_view ("\0\x80", 2)), (StrictSequence { true, 1 }));
    EXPECT_EQ (strict ("\x7f\x80"), (StrictSequence { true, 1 }));

    for (std::string_view sequence : { "\xc2\x80", "\xdf\xbf", "\xe0\xa0\x80", "\xed\x9f\xbf", "\xee\x80\x80",
                                       "\xef\xbf\xbf", "\xf0\x90\x80\x80", "\xf4\x8f\xbf\xbf" })
    {
        EXPECT_EQ (strict (sequence), (StrictSequence { true, sequence.size() }));
        EXPECT_EQ (strict (std::string (sequence) + "\xc3\xa9"), (StrictSequence { true, sequence.size() }));
    }
}

TEST (UTF8StrictSequence, RefusesOverlongFormsSurrogatesAndBytesAboveF4AtTheFirstByteThatShowsIt)
{
    // These leads can never start a sequence.
    for (std::string_view text : { "\x80", "\xbf", "\xc0\xaf", "\xc1\xbf", "\xf5\x80\x80\x80", "\xf8", "\xff" })
        EXPECT_EQ (strict (text), invalidByte) << static_cast<int> (static_cast<unsigned char> (text[0]));

    // For these the second byte shows it, so the lead stands alone.
    EXPECT_EQ (strict ("\xe0\x9f\xbf"), invalidByte);
    EXPECT_EQ (strict ("\xed\xa0\x80"), invalidByte);
    EXPECT_EQ (strict ("\xf0\x8f\xbf\xbf"), invalidByte);
    EXPECT_EQ (strict ("\xf4\x90\x80\x80"), invalidByte);
}

TEST (UTF8StrictSequence, ACutSequenceIsOneSubpartUpToTheCut)
{
    EXPECT_EQ (strict ("\xc3"), invalidByte);
    EXPECT_EQ (strict ("\xe2\x82"), (StrictSequence { false, 2 }));
    EXPECT_EQ (strict ("\xe2\x82"
                       "A"),
               (StrictSequence { false, 2 }));
    EXPECT_EQ (strict ("\xf0\x9f\x8e"), (StrictSequence { false, 3 }));
    EXPECT_EQ (strict ("\xf0\x9f\x8e\xc3\xa9"), (StrictSequence { false, 3 }));
    EXPECT_EQ (strict (std::string_view ("\xe2\0\xac", 3)), invalidByte);
}

//==============================================================================
TEST (PlainWordScan, EachByteTestIsExactInEveryLane)
{
    const unsigned char fillers[] = { 0x00, 0x01, 0x1f, 0x20, 0x21, 0x22, 0x5c, 0x7e, 0x7f, 0x80, 0xfe, 0xff };

    for (unsigned byte = 0; byte < 256; ++byte)
    {
        for (int lane = 0; lane < 8; ++lane)
        {
            for (auto filler : fillers)
            {
                uint64_t word = 0;

                for (int i = 0; i < 8; ++i)
                    word |= uint64_t (i == lane ? byte : filler) << (8 * i);

                EightBytes bytes { word };
                auto where = "byte " + std::to_string (byte) + " in lane " + std::to_string (lane) + " among "
                           + std::to_string (filler);

                // A filler that matches a test itself leaves nothing to see.
                ASSERT_TRUE (filler < 0x20 || bytes.hasByteBelow (0x20) == (byte < 0x20)) << where;
                ASSERT_TRUE (filler == 0 || bytes.hasByteBelow (1) == (byte == 0)) << where;
                ASSERT_TRUE (filler > 0x7e || bytes.hasByteAbove (0x7e) == (byte > 0x7e)) << where;
                ASSERT_TRUE (filler > 0x7f || bytes.hasByteAbove (0x7f) == (byte > 0x7f)) << where;
                ASSERT_TRUE (filler == '"' || bytes.hasByte ('"') == (byte == '"')) << where;
            }
        }
    }
}

TEST (PlainWordScan, StopsAtTheWordWithAByteThatIsNotPlainAndBeforeAPartWord)
{
    auto isLetterWord = [] (EightBytes bytes) { return ! bytes.hasByteBelow ('a') && ! bytes.hasByteAbove ('z'); };
    const std::string letters (45, 'k');

    EXPECT_EQ (skipPlainWords (letters.data(), letters.data() + letters.size(), isLetterWord), letters.data() + 40);
    EXPECT_EQ (skipPlainWords (letters.data(), letters.data() + 7, isLetterWord), letters.data());

    for (std::size_t place = 0; place < letters.size(); ++place)
    {
        auto text = letters;
        text[place] = '!';
        auto* stop = skipPlainWords (text.data(), text.data() + text.size(), isLetterWord);
        EXPECT_EQ (stop, text.data() + std::min<std::size_t> (place / 8 * 8, 40)) << place;
    }
}
