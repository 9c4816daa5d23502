#include <gtest/gtest.h>

#include "text/strings.h"

using namespace tunewell::text;

TEST (JoinStrings, PutsTheSeparatorOnlyBetweenStrings)
{
    EXPECT_EQ (joinStrings ({}, ", "), "");
    EXPECT_EQ (joinStrings ({ "one" }, ", "), "one");
    EXPECT_EQ (joinStrings ({ "one", "two", "three" }, ", "), "one, two, three");
    EXPECT_EQ (joinStrings ({ "", "" }, "-"), "-");
    EXPECT_EQ (joinStrings ({ "a", "b" }, ""), "ab");
}

TEST (Replace, ReplacesEveryOccurrenceLeftToRight)
{
    EXPECT_EQ (replace ("axbx", "x", "yy"), "ayybyy");
    EXPECT_EQ (replace ("aaa", "aa", "b"), "ba");
    EXPECT_EQ (replace ("a-b-c", "-", ""), "abc");
    EXPECT_EQ (replace ("abc", "z", "y"), "abc");
    EXPECT_EQ (replace ("", "a", "b"), "");
    EXPECT_EQ (replace ("say \"hi\"", "\"", "\\\""), "say \\\"hi\\\"");
}

TEST (Replace, NeverRescansWhatItInserted)
{
    EXPECT_EQ (replace ("aa", "a", "aa"), "aaaa");
    EXPECT_EQ (replace ("xax", "a", "bab"), "xbabx");
}

TEST (Replace, LeavesTheTextAloneForAnEmptySearch)
{
    EXPECT_EQ (replace ("abc", "", "x"), "abc");
    EXPECT_EQ (replace ("abc", "", ""), "abc");
}
