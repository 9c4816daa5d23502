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
    EXPECT_TRUE (dictionary.getRawData().empty());
    EXPECT_EQ (dictionary.getHandleForString ("hello").handle, 1u);
    EXPECT_EQ (dictionary.getHandleForString ("abc").handle, 7u);
    EXPECT_EQ (dictionary.getHandleForString ("hello").handle, 1u);
    EXPECT_EQ (dictionary.getRawData().size(), 10u);
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

// Large dictionaries answer through a hash table over their bytes; these cases
// hold it to the same handles as the plain scan.
TEST (StringDictionary, LargeDictionariesKeepOffsetHandlesAndFindEveryText)
{
    const uint32_t seed = 7;
    std::mt19937 random (seed);
    std::uniform_int_distribution<int> letters ('a', 'z'), lengths (1, 24);
    SimpleStringDictionary dictionary;
    std::map<std::string, uint32_t> reference;

    for (int i = 0; i < 20000; ++i)
    {
        std::string text;

        for (int n = lengths (random); n > 0; --n)
            text += static_cast<char> (letters (random));

        auto sizeBefore = dictionary.getRawData().size();
        auto handle = dictionary.getHandleForString (text).handle;
        auto known = reference.emplace (text, handle);

        auto expected = known.second ? sizeBefore + 1 : known.first->second;
        ASSERT_EQ (handle, expected) << "seed " << seed << ", text " << text;
    }

    // The tail of a stored text is not a stored text.
    auto first = std::string (dictionary.getStringForHandle ({ 1 }));
    auto tail = first.substr (1);
    auto sizeBefore = dictionary.getRawData().size();

    if (! tail.empty() && reference.count (tail) == 0)
    {
        EXPECT_EQ (dictionary.getHandleForString (tail).handle, sizeBefore + 1);
    }

    EXPECT_EQ (dictionary.getHandleForString (first).handle, 1u);
}

TEST (StringDictionary, CopiesAndClearedDictionariesNeverGiveAWrongHandle)
{
    SimpleStringDictionary dictionary;

    for (int i = 0; i < 200; ++i)
        dictionary.getHandleForString ("text number " + std::to_string (i));

    auto copy = dictionary;
    auto handleOf3 = dictionary.getHandleForString ("text number 3").handle;
    EXPECT_EQ (handleOf3, 1u + 14u * 3u);
    EXPECT_EQ (copy.getHandleForString ("text number 150").handle,
               dictionary.getHandleForString ("text number 150").handle);

    // Cleared, as a moved-from value's dictionary is, then filled again.
    dictionary.clear();
    EXPECT_TRUE (dictionary.getRawData().empty());
    EXPECT_EQ (dictionary.getHandleForString ("text number 150").handle, 1u);

    for (int i = 0; i < 200; ++i)
        dictionary.getHandleForString ("other " + std::to_string (i));

    EXPECT_EQ (dictionary.getHandleForString ("text number 150").handle, 1u);
    EXPECT_EQ (dictionary.getStringForHandle (dictionary.getHandleForString ("other 199")), "other 199");

    // The copy's table goes on from its own bytes, whatever became of the
    // original's.
    std::string extra = "added to the copy";
    auto expected = static_cast<uint32_t> (copy.getRawData().size() + 1);
    EXPECT_EQ (copy.getHandleForString (extra).handle, expected);
    EXPECT_EQ (copy.getHandleForString ("text number 3").handle, handleOf3);
    EXPECT_EQ (copy.getHandleForString (extra).handle, expected);
    EXPECT_EQ (copy.getRawData().size(), expected + extra.size());
}

TEST (StringDictionary, TextsWithZeroBytesMatchStoredPiecesInLargeDictionaries)
{
    SimpleStringDictionary dictionary;

    for (int i = 0; i < 40; ++i)
        dictionary.getHandleForString ("filler " + std::to_string (i));

    auto handle = dictionary.getHandleForString (std::string ("left\0right", 10)).handle;

    // Each piece between zero bytes is a stored text, found where it lies.
    EXPECT_EQ (dictionary.getHandleForString ("left").handle, handle);
    EXPECT_EQ (dictionary.getHandleForString ("right").handle, handle + 5);
    EXPECT_EQ (dictionary.getHandleForString (std::string ("left\0right", 10)).handle, handle);

    // A text that would run past the last stored byte is new.
    auto sizeBefore = dictionary.getRawData().size();
    EXPECT_EQ (dictionary.getHandleForString (std::string ("right\0", 6)).handle, sizeBefore + 1);
}
