#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <memory>
#include <sstream>

#include "json/json_writer.h"
#include "json/string_appender.h"
#include "text/float_to_string.h"
#include "text/utf8_repair.h"

using namespace tunewell;
using value::Value;

namespace
{
std::string compact (const value::ValueView& view)
{
    std::string text;
    json::StringAppender out (text);
    json::writeAsJSON (out, view, false);
    return text;
}

std::string indented (const value::ValueView& view)
{
    std::string text;
    json::StringAppender out (text);
    json::writeAsJSON (out, view, true);
    return text;
}

std::string escaped (const char* text)
{
    std::string result;
    json::StringAppender out (result);
    json::writeWithEscapeCharacters (out, text::UTF8Pointer (text));
    return result;
}

/// A value of the type with the given bytes as its data.
Value withData (value::Type type, const void* bytes, std::size_t size)
{
    Value v (std::move (type));
    std::memcpy (v.getView().data, bytes, size);
    return v;
}

Value sampleObject()
{
    auto array = Value::makeEmptyArray();
    array.addArrayElement (Value (1));
    array.addArrayElement (Value (2));

    auto object = Value::makeObject ({});
    object.addMember ("a", std::move (array));
    object.addMember ("b", Value::makeObject ({}));
    return object;
}
} // namespace

//==============================================================================
TEST (JsonWriterLayout, TheCompactFormPutsASpaceAfterEachCommaAndColon)
{
    EXPECT_EQ (compact (sampleObject()), "{\"a\": [1, 2], \"b\": {}}");
}

TEST (JsonWriterLayout, TheIndentedFormGivesEachItemALine)
{
    EXPECT_EQ (indented (sampleObject()), "{\n  \"a\": [\n    1,\n    2\n  ],\n  \"b\": {}\n}");
}

TEST (JsonWriterLayout, AnyIndentSizeIsUsedPerLevel)
{
    std::string text;
    json::StringAppender out (text);
    json::Writer<json::StringAppender> (out, 3).dump (sampleObject());
    EXPECT_EQ (text, "{\n   \"a\": [\n      1,\n      2\n   ],\n   \"b\": {}\n}");
}

TEST (JsonWriterLayout, EmptyContainersAreTwoCharactersInBothForms)
{
    EXPECT_EQ (compact (Value::makeEmptyArray()), "[]");
    EXPECT_EQ (indented (Value::makeEmptyArray()), "[]");
    EXPECT_EQ (compact (Value::makeObject ({})), "{}");
    EXPECT_EQ (indented (Value::makeObject ({})), "{}");
}

TEST (JsonWriterLayout, MixedArraysAreWrittenInElementOrder)
{
    auto array = Value::makeEmptyArray();
    array.addArrayElement (Value (1));
    array.addArrayElement (Value ("two"));
    array.addArrayElement (Value ("three"));
    array.addArrayElement (Value::makeEmptyArray());
    array.addArrayElement (Value());
    array.addArrayElement (Value::makeBool (false));

    EXPECT_EQ (compact (array), "[1, \"two\", \"three\", [], null, false]");
    EXPECT_EQ (indented (array), "[\n  1,\n  \"two\",\n  \"three\",\n  [],\n  null,\n  false\n]");
}

TEST (JsonWriterLayout, AStandardStreamWorksAsOutput)
{
    std::ostringstream out;
    json::writeAsJSON (out, sampleObject(), false);
    EXPECT_EQ (out.str(), "{\"a\": [1, 2], \"b\": {}}");
}

//==============================================================================
// The writer hands its text on in blocks; texts longer than a block, and
// pieces that straddle a block's end, must come out whole and in order.
TEST (JsonWriterLayout, LongTextsAndManyItemsComeOutWholeAndInOrder)
{
    std::string longText, expectedText;

    for (int i = 0; i < 3000; ++i)
    {
        longText += i % 97 == 0 ? "\xc3\xa9" : (i % 89 == 0 ? "\"" : "x");
        expectedText += i % 97 == 0 ? "\\u00e9" : (i % 89 == 0 ? "\\\"" : "x");
    }

    auto array = Value::makeEmptyArray();
    std::string expected = "[";

    for (int i = 0; i < 700; ++i)
    {
        array.addArrayElement (Value (int64_t (i * 7919)));
        expected += (i > 0 ? ", " : "") + std::to_string (i * 7919);
    }

    auto object = Value::makeObject ({});
    object.addMember ("numbers", std::move (array));
    object.addMember ("text", Value (std::string_view (longText)));
    expected = "{\"numbers\": " + expected + "], \"text\": \"" + expectedText + "\"}";

    EXPECT_EQ (compact (object), expected);

    std::ostringstream stream;
    json::writeAsJSON (stream, object.getView(), false);
    EXPECT_EQ (stream.str(), expected);
}

TEST (JsonWriterLayout, NumbersOfEveryLengthComeOutWholeAcrossManyBufferFills)
{
    // Numbers are written straight into the writer's buffer; lengths that
    // vary from 1 to 24 characters make them meet its end at every offset.
    const double doubles[] = { -1.2345678901234567e-300, 0.1, 7.0, -2.5e-7, 123456.789, 1e21 };
    const int64_t integers[] = { std::numeric_limits<int64_t>::min(), 0, -42, std::numeric_limits<int64_t>::max() };
    auto array = Value::makeEmptyArray();
    std::string expected = "[";

    for (int i = 0; i < 1200; ++i)
    {
        expected += i > 0 ? ", " : "";

        if (i % 3 == 0)
        {
            array.addArrayElement (Value (integers[i % 4]));
            expected += std::to_string (integers[i % 4]);
        }
        else
        {
            array.addArrayElement (Value (doubles[i % 6]));
            expected += text::floatToString (doubles[i % 6], -1, true);
        }
    }

    EXPECT_EQ (compact (array), expected + "]");
}

TEST (JsonWriterScalars, IntegersAndBooleans)
{
    EXPECT_EQ (compact (Value (std::numeric_limits<int64_t>::min())), "-9223372036854775808");
    EXPECT_EQ (compact (Value (std::numeric_limits<int64_t>::max())), "9223372036854775807");
    EXPECT_EQ (compact (Value (0)), "0");

    int32_t small = -42;
    EXPECT_EQ (compact (withData (value::TypeCode::int32, &small, 4)), "-42");

    uint32_t two = 2;
    EXPECT_EQ (compact (withData (value::TypeCode::boolean, &two, 4)), "true");
    EXPECT_EQ (compact (Value::makeBool (false)), "false");
    EXPECT_EQ (compact (Value()), "null");
}

TEST (JsonWriterScalars, FloatsUseTheShortestDigitsWithoutAPointForRoundNumbers)
{
    struct Case
    {
        double value;
        const char* expected;
    };

    for (auto& c : { Case { 3.0, "3" }, Case { 0.0, "0.0" }, Case { -0.0, "-0.0" }, Case { 0.1, "0.1" },
                     Case { 1e21, "1e21" }, Case { 1e20, "100000000000000000000" }, Case { 1e-6, "0.000001" },
                     Case { 1e-7, "1e-7" }, Case { -1.0, "-1" }, Case { 2.5, "2.5" }, Case { 1.5e-7, "1.5e-7" },
                     Case { 0.1 + 0.2, "0.30000000000000007" }, Case { 9007199254740992.0, "9007199254740992" },
                     Case { 5e-324, "5e-324" } })
        EXPECT_EQ (compact (Value (c.value)), c.expected) << c.value;
}

TEST (JsonWriterScalars, AFloat32IsWrittenAsTheDoubleItWidensTo)
{
    float tenth = 0.1f;
    auto text = compact (withData (value::TypeCode::float32, &tenth, 4));
    EXPECT_NE (text, "0.1");
    EXPECT_EQ (std::strtod (text.c_str(), nullptr), static_cast<double> (tenth));
}

TEST (JsonWriterScalars, NonFiniteNumbersBecomeQuotedWords)
{
    EXPECT_EQ (compact (Value (std::numeric_limits<double>::quiet_NaN())), "\"NaN\"");
    EXPECT_EQ (compact (Value (std::numeric_limits<double>::infinity())), "\"Infinity\"");
    EXPECT_EQ (compact (Value (-std::numeric_limits<double>::infinity())), "\"-Infinity\"");
}

TEST (JsonWriterScalars, VectorsAreArraysEvenWithOneElement)
{
    double one = 1.5;
    EXPECT_EQ (compact (withData (value::Type::createVector (value::TypeCode::float64, 1), &one, 8)), "[1.5]");

    int32_t three[] = { 1, 2, 3 };
    EXPECT_EQ (compact (withData (value::Type::createVector (value::TypeCode::int32, 3), three, 12)), "[1, 2, 3]");
}

TEST (JsonWriterScalars, PrimitiveArraysOfVectorsNestOneLevel)
{
    int32_t pairs[] = { 1, 2, 3, 4 };
    auto type = value::Type::createArray (value::Type::createVector (value::TypeCode::int32, 2), 2);
    EXPECT_EQ (compact (withData (std::move (type), pairs, sizeof (pairs))), "[[1, 2], [3, 4]]");
}

//==============================================================================
TEST (JsonWriterStrings, OutputIsPureASCII)
{
    EXPECT_EQ (compact (Value ("caf\xC3\xA9")), "\"caf\\u00e9\"");
    EXPECT_EQ (compact (Value ("\xF0\x9F\x98\x80")), "\"\\ud83d\\ude00\"");
    EXPECT_EQ (compact (Value ("\xE2\x82\xAC")), "\"\\u20ac\"");
    EXPECT_EQ (compact (Value ("\xF4\x8F\xBF\xBF")), "\"\\udbff\\udfff\"");
    EXPECT_EQ (compact (Value ("")), "\"\"");
}

TEST (JsonWriterStrings, FiveControlCharactersHaveNamedEscapesAndTheOthersAreHexEscapes)
{
    EXPECT_EQ (escaped ("\b\f\n\r\t"), "\\b\\f\\n\\r\\t");
    // "\a" is no JSON escape, and a page script reads it as the letter a.
    EXPECT_EQ (escaped ("A\aB"), "A\\u0007B");
    EXPECT_EQ (escaped ("\x01\x1F\x7F"), "\\u0001\\u001f\\u007f");
    EXPECT_EQ (escaped ("\"\\/ ~"), "\\\"\\\\/ ~");
}

TEST (JsonWriterStrings, MemberNamesAreEscapedLikeStrings)
{
    auto object = Value::makeObject ({});
    object.addMember ("\"\xC3\xA9\"", Value (1));
    EXPECT_EQ (compact (object), "{\"\\\"\\u00e9\\\"\": 1}");
}

TEST (JsonWriterStrings, EscapingEndsAtTheEndOfTheTextOrAtAZeroByte)
{
    // Exactly sized on the heap, so that reading past the zero would show.
    std::unique_ptr<char[]> cut (new char[4] { 'a', '\xE2', '\x82', 0 });
    EXPECT_EQ (escaped (cut.get()), "a\\ufffd");

    EXPECT_EQ (json::getEscapedQuotedString (std::string_view ("x\xE2\x99\xAA", 3)), "\"x\\ufffd\"");
    EXPECT_EQ (json::getEscapedQuotedString (std::string_view ("ab\0cd", 5)), "\"ab\"");
    EXPECT_EQ (escaped (nullptr), "");
}

TEST (JsonWriterStrings, IllFormedUTF8BecomesOneReplacementPerMaximalSubpartAndTheRestIsKept)
{
    // Latin-1 text, as a host or a file may hand it over.
    EXPECT_EQ (escaped ("Caf\xE9 au lait"), "Caf\\ufffd au lait");
    EXPECT_EQ (escaped ("ab\x80"
                        "cd"),
               "ab\\ufffdcd");
    EXPECT_EQ (escaped ("\xF0"), "\\ufffd");
    // Overlong forms and code points above U+10FFFF are refused byte by
    // byte, as the song list refuses them; an overlong quote or zero neither
    // ends the string nor escapes from it.
    EXPECT_EQ (escaped ("ab\xC0\x80"
                        "cd"),
               "ab\\ufffd\\ufffdcd");
    EXPECT_EQ (escaped ("\xE0\x80\xA2"), "\\ufffd\\ufffd\\ufffd");
    EXPECT_EQ (escaped ("\xF4\x90\x80\x80"), "\\ufffd\\ufffd\\ufffd\\ufffd");
    // An encoded surrogate, the reader's form of a lone \\ud800 escape, is
    // written as that escape again.
    EXPECT_EQ (escaped ("\xED\xA0\x80"), "\\ud800");
    // A cut-off sequence is one subpart; the byte that cut it starts afresh.
    EXPECT_EQ (escaped ("\xE2\x82x\xC3\xA9"), "\\ufffdx\\u00e9");

    // The same rule as the song list's repair, whose output is valid UTF-8.
    for (const char* text : { "Caf\xE9", "\xF0\x9F\x98", "\xE0\x9F\xBF\xC3", "a\xF8\x88\x80\x80\x80" })
        EXPECT_EQ (escaped (text), escaped (text::withInvalidUtf8Replaced (text).c_str())) << text;
}

//==============================================================================
TEST (JsonWriterFailures, AStringWithoutDictionaryFailsAfterWhatWasWritten)
{
    auto array = Value::makeEmptyArray();
    array.addArrayElement (Value (1));
    array.addArrayElement (Value ("text"));
    auto view = array.getView();
    value::ValueView withoutDictionary (view.type, view.data, nullptr);

    std::string text;
    json::StringAppender out (text);

    try
    {
        json::writeAsJSON (out, withoutDictionary, false);
        FAIL() << "no error";
    }
    catch (const value::Error& e)
    {
        EXPECT_STREQ (e.what(), "No string dictionary supplied");
    }

    EXPECT_EQ (text, "[1, ");
}

TEST (JsonWriterFailures, AViewWithoutDataIsWrittenAsTheZerosItReadsAs)
{
    auto type = value::Type::createObject ("");
    type.addObjectMember ("n", value::Type (value::TypeCode::int32));
    type.addObjectMember ("x", value::Type (value::TypeCode::float64));
    type.addObjectMember ("b", value::Type (value::TypeCode::boolean));
    type.addObjectMember ("v", value::Type::createVector (value::TypeCode::int64, 2));
    type.addObjectMember ("s", value::Type (value::TypeCode::string));
    value::SimpleStringDictionary dictionary;
    value::ValueView withoutData (type, nullptr, &dictionary);

    EXPECT_EQ (withoutData["v"][1].readInt64(), 0);
    EXPECT_EQ (withoutData["s"].readString(), "");
    EXPECT_EQ (compact (withoutData), compact (Value (value::Type (type))));

    // Without a dictionary as well, a string gives the reader's error.
    value::ValueView bare (value::Type (value::TypeCode::string), nullptr, nullptr);
    for (auto attempt :
         { std::function<void()> ([&] { bare.readString(); }), std::function<void()> ([&] { compact (bare); }) })
    {
        try
        {
            attempt();
            ADD_FAILURE() << "no error";
        }
        catch (const value::Error& e)
        {
            EXPECT_STREQ (e.what(), "No string dictionary supplied");
        }
    }
}

TEST (JsonWriterFailures, ObjectAccessOnANonObjectFails)
{
    std::string text;
    json::StringAppender out (text);
    json::Writer<json::StringAppender> writer (out, 0);
    EXPECT_THROW (writer.dumpObject (Value (1)), value::Error);
}
