#include "script_command.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>

using host_simulator::parseInteger;
using host_simulator::parseNumber;
using host_simulator::parseScriptLine;
using testing::ElementsAre;
using testing::IsEmpty;

TEST (ScriptLines, BlankLinesAndCommentsAreNoCommands)
{
    for (const char* line : { "", "   ", "\t \t", "\r", "  \r", "# a comment", "   # indented comment", "#verb 1\r" })
        EXPECT_FALSE (parseScriptLine (line).has_value()) << '"' << line << '"';
}

TEST (ScriptLines, SplitIntoAVerbAndItsWordsAtRunsOfBlanks)
{
    auto command = parseScriptLine ("  click-song \t 3   0  ");
    ASSERT_TRUE (command.has_value());
    EXPECT_EQ (command->verb, "click-song");
    EXPECT_THAT (command->words, ElementsAre ("3", "0"));
}

TEST (ScriptLines, AVerbAloneHasNoWordsAndNoText)
{
    auto command = parseScriptLine ("quit");
    ASSERT_TRUE (command.has_value());
    EXPECT_EQ (command->verb, "quit");
    EXPECT_THAT (command->words, IsEmpty());
    EXPECT_EQ (command->textAfterVerb, "");
    EXPECT_EQ (command->textAfterFirstWord, "");
}

TEST (ScriptLines, KeepFreeTextAsWrittenInsideButNotAtItsEnds)
{
    auto command = parseScriptLine ("rename  3   New  name\twith tab  ");
    ASSERT_TRUE (command.has_value());
    EXPECT_EQ (command->textAfterVerb, "3   New  name\twith tab");
    EXPECT_EQ (command->textAfterFirstWord, "New  name\twith tab");
    EXPECT_THAT (command->words, ElementsAre ("3", "New", "name", "with", "tab"));
}

TEST (ScriptLines, KeepJsonTextWholeAfterTheVerb)
{
    auto command = parseScriptLine (R"(page-message {"id": 1, "fn": "selectSong", "params": [2]})");
    ASSERT_TRUE (command.has_value());
    EXPECT_EQ (command->verb, "page-message");
    EXPECT_EQ (command->textAfterVerb, R"({"id": 1, "fn": "selectSong", "params": [2]})");
}

TEST (ScriptLines, DropOneTrailingCarriageReturnOfWindowsLineEnds)
{
    auto command = parseScriptLine ("rename 1 Café del Mar\r");
    ASSERT_TRUE (command.has_value());
    EXPECT_EQ (command->textAfterFirstWord, "Café del Mar");
    EXPECT_THAT (command->words, ElementsAre ("1", "Café", "del", "Mar"));
}

TEST (ScriptLines, AHashAfterTheVerbIsPartOfTheCommand)
{
    auto command = parseScriptLine ("rename 2 #1 Hit");
    ASSERT_TRUE (command.has_value());
    EXPECT_EQ (command->textAfterFirstWord, "#1 Hit");
}

TEST (ScriptIntegers, ReadWholeDecimalNumbersWithTheirSign)
{
    EXPECT_EQ (parseInteger ("0"), 0);
    EXPECT_EQ (parseInteger ("42"), 42);
    EXPECT_EQ (parseInteger ("-7"), -7);
    EXPECT_EQ (parseInteger ("+7"), 7);
    EXPECT_EQ (parseInteger ("007"), 7);
    EXPECT_EQ (parseInteger (std::to_string (INT_MAX)), INT_MAX);
    EXPECT_EQ (parseInteger (std::to_string (INT_MIN)), INT_MIN);
}

TEST (ScriptIntegers, RefuseAnythingElseRatherThanReadAPrefix)
{
    for (const char* word : { "", "x", "3x", "1.5", "1e3", "0x10", "-", "+", "12 " })
        EXPECT_FALSE (parseInteger (word).has_value()) << '"' << word << '"';
}

TEST (ScriptIntegers, RefuseNumbersBeyondTheIntRangeInsteadOfWrapping)
{
    const auto justAbove = std::to_string (static_cast<long long> (INT_MAX) + 1);
    const auto justBelow = std::to_string (static_cast<long long> (INT_MIN) - 1);
    for (const auto& word :
         { justAbove, justBelow, std::string ("99999999999999999999"), std::string ("-99999999999999999999") })
        EXPECT_FALSE (parseInteger (word).has_value()) << word;
}

TEST (ScriptNumbers, ReadDecimalAndExponentForms)
{
    EXPECT_EQ (parseNumber ("1"), 1.0);
    EXPECT_EQ (parseNumber ("1.0"), 1.0);
    EXPECT_EQ (parseNumber ("0.5"), 0.5);
    EXPECT_EQ (parseNumber ("-0.25"), -0.25);
    EXPECT_EQ (parseNumber ("2.5e-1"), 0.25);
    EXPECT_EQ (parseNumber (".5"), 0.5);
}

TEST (ScriptNumbers, ReadTheClosestDoubleLikeTheStandardLibrary)
{
    for (const char* word : { "0.1", "0.3", "1e-300", "123456789.123456789" })
    {
        auto value = parseNumber (word);
        ASSERT_TRUE (value.has_value()) << word;
        EXPECT_EQ (*value, std::stod (word)) << word;
    }
}

TEST (ScriptNumbers, RefuseTextWithAnythingAfterTheNumber)
{
    for (const char* word : { "", "one", "1,5", "0.5x", "1.0.0", "- 1" })
        EXPECT_FALSE (parseNumber (word).has_value()) << '"' << word << '"';
}
