#include <random>

#include <gtest/gtest.h>

#include "text/utf8_repair.h"
#include "strict_utf8.h"

using tunewell::text::withInvalidUtf8Replaced;

namespace
{

const std::string replacement = "\xEF\xBF\xBD";

TEST (Utf8Repair, KeepsValidTextByteForByte)
{
    for (std::string text :
         { std::string(), std::string ("plain"), std::string ("\xC3\xA9\xE2\x82\xAC\xF0\x9F\x8E\xB8"),
           std::string ("\xED\x9F\xBF\xEE\x80\x80\xF4\x8F\xBF\xBF"), std::string ("a\0b", 3) })
        EXPECT_EQ (withInvalidUtf8Replaced (text), text);
}

TEST (Utf8Repair, ReplacesEachMaximalInvalidSubpartOnce)
{
    EXPECT_EQ (withInvalidUtf8Replaced ("\x80\x80"), replacement + replacement);
    EXPECT_EQ (withInvalidUtf8Replaced ("a\xF5z\xE2\x82"
                                        "A\xED\xA0\x80\xF0\x9F\x8E"),
               "a" + replacement + "z" + replacement + "A" + replacement + replacement + replacement + replacement);
}

TEST (Utf8Repair, AlwaysGivesTextThatTheStrictConversionAccepts)
{
    const unsigned seed = 7001;
    std::mt19937 random (seed);
    const unsigned char interesting[] = { 0x00, 0x41, 0x7F, 0x80, 0xBF, 0xC0, 0xC2, 0xDF, 0xE0, 0xE1,
                                          0xED, 0xEF, 0xF0, 0xF4, 0xF5, 0xFF, 0x9F, 0xA0, 0x8F, 0x90 };

    for (int round = 0; round < 20000; ++round)
    {
        std::string text;

        for (int i = std::uniform_int_distribution<int> (0, 10) (random); i > 0; --i)
            text += static_cast<char> (
                interesting[std::uniform_int_distribution<size_t> (0, sizeof (interesting) - 1) (random)]);

        auto repaired = withInvalidUtf8Replaced (text);
        ASSERT_TRUE (tunewell::testrig::isStrictUtf8 (repaired)) << "seed " << seed << ", round " << round;

        if (tunewell::testrig::isStrictUtf8 (text))
        {
            ASSERT_EQ (repaired, text) << "seed " << seed << ", round " << round;
        }
    }
}

} // namespace
