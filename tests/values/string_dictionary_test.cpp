#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>

#include "values/error.h"
#include "values/string_dictionary.h"

using namespace tunewell::value;

TEST (StringDictionary, NumbersHandlesByByteOffsetPlusOne)
{
    SimpleStringDictionary dictionary;

    EXPECT_EQ (dictionary.getHandleForString ("").handle, 0u);
    EXPECT_TRUE (dictionary.strings.empty());
    EXPECT_EQ (dictionary.getHandleForString ("hello").handle, 1u);
    EXPECT_EQ (dictionary.getHandleForString ("abc").handle, 7u);
    EXPECT_EQ (dictionary.getHandleForString ("hello").handle, 1u);
    EXPECT_EQ (dictionary.strings.size(), 10u);
}

TEST (StringDictionary, MatchesOnlyWholeStoredStrings)
{
    SimpleStringDictionary dictionary;
    dictionary.getHandleForString ("hello");

    EXPECT_EQ (dictionary.getHandleForString ("llo").handle, 7u);
    EXPECT_EQ (dictionary.getHandleForString ("hel").handle, 11u);
    EXPECT_EQ (dictionary.getHandleForString ("hello").handle, 1u);
    EXPECT_EQ (dictionary.getStringForHandle ({ 7 }), "llo");
    EXPECT_EQ (dictionary.getStringForHandle ({ 11 }), "hel");
}

TEST (StringDictionary, RejectsHandlesPastItsBytes)
{
    SimpleStringDictionary dictionary;
    EXPECT_EQ (dictionary.getStringForHandle ({ 0 }), "");
    EXPECT_THROW (dictionary.getStringForHandle ({ 1 }), Error);

    dictionary.getHandleForString ("abc");
    EXPECT_EQ (dictionary.getStringForHandle ({ 4 }), "");

    try
    {
        dictionary.getStringForHandle ({ 5 });
        FAIL() << "a handle past the stored bytes was accepted";
    }
    catch (const Error& e)
    {
        EXPECT_STREQ (e.what(), "Unknown string");
    }
}

TEST (StringDictionary, AgreesWithAMapForRandomTexts)
{
    const uint32_t seed = 99;
    std::mt19937 random (seed);
    std::uniform_int_distribution<int> letters ('a', 'c'), lengths (1, 4);
    SimpleStringDictionary dictionary;
    std::map<std::string, uint32_t> reference;

    for (int i = 0; i < 2000; ++i)
    {
        std::string text;

        for (int n = lengths (random); n > 0; --n)
            text += static_cast<char> (letters (random));

        auto handle = dictionary.getHandleForString (text).handle;
        auto known = reference.emplace (text, handle);

        ASSERT_EQ (known.first->second, handle) << "seed " << seed << ", text " << text;
        ASSERT_EQ (dictionary.getStringForHandle ({ handle }), text) << "seed " << seed;
    }
}
