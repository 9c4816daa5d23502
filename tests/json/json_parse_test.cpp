#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "json/json_parse.h"

using namespace tunewell;
using value::TypeCode;

namespace
{
value::Value parseText (const std::string& text, bool bare = false)
{
    return json::parse (text.c_str(), text.size(), bare);
}

value::Value parseBare (const std::string& text)
{
    return parseText (text, true);
}

/// The message and place of the ParseError that text raises.
struct Failure
{
    std::string message;
    uint64_t line = 0, column = 0;

    bool operator== (const Failure& other) const
    {
        return message == other.message && line == other.line && column == other.column;
    }
};

std::ostream& operator<< (std::ostream& out, const Failure& f)
{
    return out << '"' << f.message << "\" at " << f.line << ':' << f.column;
}

Failure failureOf (const std::string& text, bool bare = false)
{
    try
    {
        parseText (text, bare);
    }
    catch (const json::ParseError& e)
    {
        return { e.what(), e.lineAndColumn.line, e.lineAndColumn.column };
    }

    return { "no error" };
}

std::vector<value::TypeCode> groupCodes (const value::ValueView& array)
{
    std::vector<value::TypeCode> codes;

    for (auto& group : array.type.getComplexArray().groups)
        codes.push_back (group.elementType.getCode());

    return codes;
}

std::vector<uint32_t> groupSizes (const value::ValueView& array)
{
    std::vector<uint32_t> sizes;

    for (auto& group : array.type.getComplexArray().groups)
        sizes.push_back (group.repetitions);

    return sizes;
}
} // namespace

//==============================================================================
TEST (JsonTopLevel, EmptyOrBlankTextIsAVoidValueUnlessABareValueIsWanted)
{
    EXPECT_TRUE (parseText ("").getView().isVoid());
    EXPECT_TRUE (parseText (" \t\r\n\v\f").getView().isVoid());
    EXPECT_TRUE (json::parse (nullptr, 0, false).getView().isVoid());

    EXPECT_EQ (failureOf ("", true), (Failure { "Syntax error", 1, 1 }));
    EXPECT_EQ (failureOf ("  \n ", true), (Failure { "Syntax error", 2, 2 }));
}

TEST (JsonTopLevel, ScalarsNeedTheBareMode)
{
    EXPECT_EQ (failureOf ("  42"), (Failure { "Expected an object or array", 1, 3 }));
    EXPECT_EQ (failureOf ("\"text\""), (Failure { "Expected an object or array", 1, 1 }));

    EXPECT_EQ (parseBare ("42").getView().readInt64(), 42);
    EXPECT_EQ (parseBare (" \"text\" ").getView().readString(), "text");
    EXPECT_TRUE (parseBare ("null").getView().isVoid());
    EXPECT_TRUE (parseBare ("true").getView().readContentAs<bool>());
    EXPECT_FALSE (parseBare ("false").getView().readContentAs<bool>());
}

TEST (JsonTopLevel, TextAfterTheFirstCompleteValueIsNotRead)
{
    EXPECT_EQ (parseText ("{\"a\": 1} {\"b\": 2}")["a"].readInt64(), 1);
    EXPECT_EQ (parseText ("[1] garbage ]]]").getView().size(), 1u);
    EXPECT_TRUE (parseBare ("nullx").getView().isVoid());
    EXPECT_TRUE (parseBare ("truest").getView().readContentAs<bool>());
}

TEST (JsonTopLevel, TheLengthBoundsOnlyTheUTF8Check)
{
    // Parsing runs to the terminating zero, past a length that ends early.
    std::string text = "[1, 2, 3]";
    EXPECT_EQ (json::parse (text.c_str(), 2, false).getView().size(), 3u);
}

//==============================================================================
TEST (JsonNumbers, IntegersWithinInt64AreInt64AndTheRestFloat64)
{
    EXPECT_EQ (parseBare ("9223372036854775806").getView().readInt64(), 9223372036854775806);
    EXPECT_EQ (parseBare ("-9223372036854775806").getView().readInt64(), -9223372036854775806);

    // The largest int64 stands for an overflow and goes the floating-point way.
    auto largest = parseBare ("9223372036854775807");
    ASSERT_TRUE (largest.getView().isFloat64());
    EXPECT_EQ (largest.getView().readContentAs<double>(), 9223372036854775807.0);

    auto huge = parseBare ("-123456789012345678901234567890");
    ASSERT_TRUE (huge.getView().isFloat64());
    EXPECT_EQ (huge.getView().readContentAs<double>(), -1.2345678901234568e29);
}

TEST (JsonNumbers, LeadingZerosAndWhitespaceAfterTheMinusAreAccepted)
{
    EXPECT_EQ (parseBare ("007").getView().readInt64(), 7);
    EXPECT_EQ (parseBare ("- 5").getView().readInt64(), -5);
    EXPECT_EQ (parseBare ("-\n\t5").getView().readInt64(), -5);
    EXPECT_EQ (parseBare ("00.5").getView().readContentAs<double>(), 0.5);
}

TEST (JsonNumbers, NegativeZeroKeepsItsSignOnlyAsAFloat)
{
    auto integerZero = parseBare ("-0");
    ASSERT_TRUE (integerZero.getView().isInt64());
    EXPECT_EQ (integerZero.getView().readInt64(), 0);

    auto floatZero = parseBare ("-0.0");
    ASSERT_TRUE (floatZero.getView().isFloat64());
    EXPECT_TRUE (std::signbit (floatZero.getView().readContentAs<double>()));
}

TEST (JsonNumbers, PointsAndExponentsMakeFloats)
{
    struct Case
    {
        const char* text;
        double expected;
    };

    for (auto& c :
         { Case { "1e5", 100000.0 }, Case { "1E5", 100000.0 }, Case { "1e+5", 100000.0 }, Case { "1e-5", 0.00001 },
           Case { "1.", 1.0 }, Case { "2.5", 2.5 }, Case { "1.5e3", 1500.0 }, Case { "1e+21", 1e21 },
           Case { "-1.5e-7", -1.5e-7 }, Case { "5e-324", 5e-324 }, Case { "0.30000000000000004", 0.1 + 0.2 } })
    {
        auto parsed = parseBare (c.text);
        ASSERT_TRUE (parsed.getView().isFloat64()) << c.text;
        EXPECT_EQ (parsed.getView().readContentAs<double>(), c.expected) << c.text;
    }
}

TEST (JsonNumbers, NumbersBeyondTheDoubleRangeBecomeInfinityOrZero)
{
    EXPECT_EQ (parseBare ("1e400").getView().readContentAs<double>(), std::numeric_limits<double>::infinity());
    EXPECT_EQ (parseBare ("-1e400").getView().readContentAs<double>(), -std::numeric_limits<double>::infinity());
    EXPECT_EQ (parseBare ("1e-400").getView().readContentAs<double>(), 0.0);
    EXPECT_EQ (parseBare ("1000e-99999999999").getView().readContentAs<double>(), 0.0);
    EXPECT_EQ (parseBare (std::string (400, '9') + "e-10").getView().readContentAs<double>(),
               std::numeric_limits<double>::infinity());
}

TEST (JsonNumbers, NumbersEndOnlyAtWhitespaceCommasClosersOrTheEnd)
{
    EXPECT_EQ (parseText ("[1,2 ,3\t]").getView().size(), 3u);
    EXPECT_EQ (parseText ("{\"a\":1}")["a"].readInt64(), 1);

    EXPECT_EQ (failureOf ("[1x]"), (Failure { "Syntax error in number", 1, 3 }));
    EXPECT_EQ (failureOf ("[-]"), (Failure { "Syntax error in number", 1, 3 }));
    EXPECT_EQ (failureOf ("[1.2.3]"), (Failure { "Syntax error in number", 1, 5 }));
    EXPECT_EQ (failureOf ("[1e5.0]"), (Failure { "Syntax error in number", 1, 5 }));
    EXPECT_EQ (failureOf ("[1e]"), (Failure { "Syntax error in number", 1, 4 }));
    EXPECT_EQ (failureOf ("[1e-]"), (Failure { "Syntax error in number", 1, 5 }));
    EXPECT_EQ (failureOf ("[1e5e5]"), (Failure { "Syntax error in number", 1, 5 }));
    EXPECT_EQ (failureOf ("[1:]"), (Failure { "Syntax error in number", 1, 3 }));
    EXPECT_EQ (failureOf ("[-Infinity]"), (Failure { "Syntax error in number", 1, 3 }));
}

TEST (JsonNumbers, ConversionDoesNotDependOnTheProcessLocale)
{
    // A locale with a decimal comma would stop strtod at the point.
    auto* previous = std::setlocale (LC_NUMERIC, nullptr);
    std::string saved = previous != nullptr ? previous : "C";

    for (auto* name : { "de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "German_Germany.1252" })
        if (std::setlocale (LC_NUMERIC, name) != nullptr)
            break;

    auto parsed = parseBare ("2.5");
    std::setlocale (LC_NUMERIC, saved.c_str());

    EXPECT_EQ (parsed.getView().readContentAs<double>(), 2.5);
}

//==============================================================================
TEST (JsonStrings, NamedAndOtherEscapesGiveTheirCharacters)
{
    EXPECT_EQ (parseBare (R"("\a\b\f\n\r\t")").getView().readString(), "\a\b\f\n\r\t");
    EXPECT_EQ (parseBare (R"("\"\\\/")").getView().readString(), "\"\\/");
    EXPECT_EQ (parseBare (R"("\q\x\Z")").getView().readString(), "qxZ");
    EXPECT_EQ (parseBare ("\"\\\xC3\xA9\"").getView().readString(), "\xC3\xA9");
}

TEST (JsonStrings, RawControlAndMultiByteCharactersAreKept)
{
    EXPECT_EQ (parseBare ("\"a\tb\x01\nc\"").getView().readString(), "a\tb\x01\nc");
    EXPECT_EQ (parseBare ("\"Beyonc\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80\"").getView().readString(),
               "Beyonc\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80");
}

TEST (JsonStrings, UnicodeEscapesAreWrittenAsUTF8)
{
    EXPECT_EQ (parseBare (R"("\u0041\u00e9\u20AC")").getView().readString(), "A\xC3\xA9\xE2\x82\xAC");
    EXPECT_EQ (parseBare (R"("\ud83d\ude00")").getView().readString(), "\xF0\x9F\x98\x80");
    EXPECT_EQ (parseBare (R"("\uDBFF\uDFFF")").getView().readString(), "\xF4\x8F\xBF\xBF");

    // A lone low surrogate is kept as its own three bytes.
    EXPECT_EQ (parseBare (R"("\udc00")").getView().readString(), "\xED\xB0\x80");
}

TEST (JsonStrings, AHighSurrogateWithoutALowEscapeAfterItIsItsOwnCodePoint)
{
    // The writer escapes an encoded lone surrogate this way, so its reader must take it back.
    EXPECT_EQ (parseBare (R"("\ud820")").getView().readString(), "\xED\xA0\xA0");
    EXPECT_EQ (parseBare (R"("\ud83dx")").getView().readString(), "\xED\xA0\xBD"
                                                                  "x");
    EXPECT_EQ (parseBare (R"("\ud83d\n")").getView().readString(), "\xED\xA0\xBD\n");
    EXPECT_EQ (parseBare (R"("\ud83d\u0041")").getView().readString(), "\xED\xA0\xBD"
                                                                       "A");
    EXPECT_EQ (parseBare (R"("\ud800\udbff\udfff")").getView().readString(), "\xED\xA0\x80\xF4\x8F\xBF\xBF");
    EXPECT_EQ (parseText (R"(["\udbff"])")[0].readString(), "\xED\xAF\xBF");
    EXPECT_EQ (parseBare (R"("\ud800\ud800")").getView().readString(), "\xED\xA0\x80\xED\xA0\x80");
}

TEST (JsonStrings, BrokenUnicodeEscapesFailAtTheirPlace)
{
    EXPECT_EQ (failureOf (R"(["\u12g4"])"), (Failure { "Syntax error in unicode character", 1, 7 }));
    EXPECT_EQ (failureOf (R"(["\u12)"), (Failure { "Syntax error in unicode character", 1, 7 }));
    // After a high surrogate, a broken escape fails where a lone one would.
    EXPECT_EQ (failureOf (R"(["\ud83d\udc4"])"), (Failure { "Syntax error in unicode character", 1, 14 }));
    EXPECT_EQ (failureOf (R"(["\ud83d\u)"), (Failure { "Syntax error in unicode character", 1, 11 }));
}

TEST (JsonStrings, UnterminatedStringsFail)
{
    EXPECT_EQ (failureOf ("[\"abc"), (Failure { "Unexpected EOF in string constant", 1, 6 }));
    EXPECT_EQ (failureOf ("[\"abc\\"), (Failure { "Unexpected EOF in string constant", 1, 7 }));
}

TEST (JsonStrings, TextWithoutTheCheckNeverReadsPastATruncatedSequence)
{
    // A lead byte that promises more bytes than the text has.
    const char text[] = "[\"\xE2\x82";
    EXPECT_THROW (json::parse (text::UTF8Pointer (text), false), json::ParseError);
}

//==============================================================================
TEST (JsonArrays, EqualScalarsFormAPrimitiveArray)
{
    auto integers = parseText ("[1, 2, 3]");
    ASSERT_TRUE (integers.getView().isPrimitiveArray());
    EXPECT_EQ (integers.getType().getPrimitiveArray().elementCode, TypeCode::int64);
    EXPECT_EQ (integers.getView().size(), 3u);
    EXPECT_EQ (integers[2].readInt64(), 3);

    auto empty = parseText ("[ ]");
    ASSERT_TRUE (empty.getView().isPrimitiveArray());
    EXPECT_EQ (empty.getType().getPrimitiveArray().elementCode, TypeCode::void_);
    EXPECT_EQ (empty.getView().size(), 0u);

    auto nulls = parseText ("[null, null]");
    ASSERT_TRUE (nulls.getView().isPrimitiveArray());
    EXPECT_EQ (nulls.getType().getPrimitiveArray().elementCode, TypeCode::void_);
    EXPECT_EQ (nulls.getView().size(), 2u);
    EXPECT_TRUE (nulls.getRawData().empty());
}

TEST (JsonArrays, MixedElementsAreGroupedByType)
{
    auto mixed = parseText ("[1, 2.5]");
    ASSERT_TRUE (mixed.getView().isComplexArray());
    EXPECT_EQ (groupCodes (mixed), (std::vector<TypeCode> { TypeCode::int64, TypeCode::float64 }));

    auto nullThenInt = parseText ("[null, 1]");
    EXPECT_EQ (groupCodes (nullThenInt), (std::vector<TypeCode> { TypeCode::void_, TypeCode::int64 }));

    auto strings = parseText (R"(["a", "b", 1, "c"])");
    EXPECT_EQ (groupSizes (strings), (std::vector<uint32_t> { 2, 1, 1 }));
    EXPECT_EQ (strings[3].readString(), "c");
}

TEST (JsonArrays, NestedArraysShareAGroupOnlyWhenTheirTypesAreEqual)
{
    auto equal = parseText ("[[1, 2], [3, 4]]");
    ASSERT_TRUE (equal.getView().isComplexArray());
    EXPECT_EQ (groupSizes (equal), (std::vector<uint32_t> { 2 }));
    EXPECT_EQ (equal[1][0].readInt64(), 3);

    auto different = parseText ("[[1, 2], [3]]");
    EXPECT_EQ (groupSizes (different), (std::vector<uint32_t> { 1, 1 }));
}

TEST (JsonArrays, MalformedArraysFailAtTheirPlace)
{
    EXPECT_EQ (failureOf ("[1, 2"), (Failure { "Expected ',' or ']'", 1, 6 }));
    EXPECT_EQ (failureOf ("[1 2]"), (Failure { "Expected ',' or ']'", 1, 4 }));
    EXPECT_EQ (failureOf ("[1,]"), (Failure { "Syntax error", 1, 4 }));
    EXPECT_EQ (failureOf ("[1,  "), (Failure { "Unexpected EOF in array declaration", 1, 2 }));
    EXPECT_EQ (failureOf ("["), (Failure { "Unexpected EOF in array declaration", 1, 2 }));
    EXPECT_EQ (failureOf ("[nul]"), (Failure { "Syntax error", 1, 2 }));
    EXPECT_EQ (failureOf ("[True]"), (Failure { "Syntax error", 1, 2 }));
}

//==============================================================================
TEST (JsonObjects, MembersKeepTheirOrderAndNames)
{
    auto object = parseText (R"({"b": 1, "a": "x", "\u00e9": [true]})");
    ASSERT_TRUE (object.getView().isObject());
    EXPECT_EQ (object.getType().getObjectClassName(), "");
    ASSERT_EQ (object.getView().size(), 3u);
    EXPECT_STREQ (object.getView().memberAt (0).name, "b");
    EXPECT_STREQ (object.getView().memberAt (1).name, "a");
    EXPECT_STREQ (object.getView().memberAt (2).name, "\xC3\xA9");
    EXPECT_EQ (object["a"].readString(), "x");
    EXPECT_TRUE (object["\xC3\xA9"][0].readContentAs<bool>());
}

TEST (JsonObjects, NestedStringsEndUpInTheOutermostDictionary)
{
    auto object = parseText (R"({"outer": {"inner": ["deep", "deeper"]}, "top": "deep"})");
    auto deep = object["outer"]["inner"][0];
    EXPECT_EQ (deep.stringDictionary, object.getView().stringDictionary);
    EXPECT_EQ (deep.readString(), "deep");
    EXPECT_EQ (object["outer"]["inner"][1].readString(), "deeper");
    EXPECT_EQ (deep.readContentAs<uint32_t>(), object["top"].readContentAs<uint32_t>());
}

TEST (JsonObjects, MalformedObjectsFailAtTheirPlace)
{
    EXPECT_EQ (failureOf ("{"), (Failure { "Unexpected EOF in object declaration", 1, 2 }));
    EXPECT_EQ (failureOf ("{\"a\": 1,"), (Failure { "Unexpected EOF in object declaration", 1, 2 }));
    EXPECT_EQ (failureOf ("{a: 1}"), (Failure { "Expected a name", 1, 2 }));
    EXPECT_EQ (failureOf ("{\"a\": 1, }"), (Failure { "Expected a name", 1, 10 }));
    EXPECT_EQ (failureOf ("{\"\": 1}"), (Failure { "Property names cannot be empty", 1, 3 }));
    EXPECT_EQ (failureOf ("{\"a\" 1}"), (Failure { "Expected ':'", 1, 6 }));
    EXPECT_EQ (failureOf ("{\"a\": 1 \"b\": 2}"), (Failure { "Expected ',' or '}'", 1, 9 }));
    EXPECT_EQ (failureOf ("{\"a\": }"), (Failure { "Syntax error", 1, 7 }));
}

TEST (JsonObjects, ADuplicateNameFailsAsAValueError)
{
    try
    {
        parseText (R"({"a": 1, "a": 2})");
        FAIL() << "no error";
    }
    catch (const json::ParseError&)
    {
        FAIL() << "a ParseError";
    }
    catch (const value::Error& e)
    {
        EXPECT_STREQ (e.what(), "This object already contains a member with the given name");
    }
}

//==============================================================================
TEST (JsonErrorPlaces, LinesAndColumnsCountLineFeedsAndCodePoints)
{
    EXPECT_EQ (failureOf ("[1,\n2,\n3, x]"), (Failure { "Syntax error", 3, 4 }));
    EXPECT_EQ (failureOf ("{\n\"a\":\n1234x}"), (Failure { "Syntax error in number", 3, 5 }));
    EXPECT_EQ (failureOf ("[\"\xC3\xA9\xE2\x82\xAC\", x]"), (Failure { "Syntax error", 1, 8 }));
    EXPECT_EQ (failureOf ("[\t\t?]"), (Failure { "Syntax error", 1, 4 }));
}

TEST (JsonErrorPlaces, IllegalUTF8IsFoundBeforeParsing)
{
    EXPECT_EQ (failureOf ("[\"a\x80\"]"), (Failure { "Illegal UTF8 data", 1, 4 }));
    EXPECT_EQ (failureOf ("[1,\n\"\xC3\x41\"]"), (Failure { "Illegal UTF8 data", 2, 3 }));
    // The check comes first, even where the syntax is broken earlier.
    EXPECT_EQ (failureOf ("x\xFF"), (Failure { "Illegal UTF8 data", 1, 2 }));

    // A sequence cut off by the length fails at its lead byte.
    std::string text = "[\"\xC3\xA9\"]";
    try
    {
        json::parse (text.c_str(), 3, false);
        FAIL() << "no error";
    }
    catch (const json::ParseError& e)
    {
        EXPECT_STREQ (e.what(), "Illegal UTF8 data");
        EXPECT_EQ (e.lineAndColumn, (text::LineAndColumn { 1, 3 }));
    }
}

TEST (JsonErrorPlaces, OverlongFormsAndEncodedSurrogatesPassTheCheck)
{
    EXPECT_EQ (parseText ("[\"\xED\xA0\x80\"]")[0].readString(), "\xED\xA0\x80");
    EXPECT_EQ (parseText ("[\"\xF4\x8F\xBF\xBF\"]")[0].readString(), "\xF4\x8F\xBF\xBF");
    // Decoded and written again, an overlong form takes its shortest bytes.
    EXPECT_EQ (parseText ("[\"\xC1\x81\"]")[0].readString(), "A");
}

//==============================================================================
TEST (JsonNesting, FiveHundredTwelveLevelsParse)
{
    auto text = std::string (512, '[') + std::string (512, ']');
    auto parsed = parseText (text);
    auto view = parsed.getView();

    for (int level = 1; level < 512; ++level)
    {
        ASSERT_EQ (view.size(), 1u) << level;
        view = view[0];
    }

    EXPECT_EQ (view.size(), 0u);

    auto objects = std::string();
    for (int level = 0; level < 512; ++level)
        objects += (level % 2 == 0) ? "{\"a\":" : "[";
    for (int level = 511; level >= 0; --level)
        objects += (level % 2 == 0) ? "}" : "]";
    objects.replace (objects.size() - 512, 0, "1");

    EXPECT_NO_THROW (parseText (objects));
}

TEST (JsonNesting, TheLevelBeyondFailsAtItsOpeningBracket)
{
    EXPECT_EQ (failureOf (std::string (513, '[') + std::string (513, ']')), (Failure { "Nesting too deep", 1, 513 }));
    EXPECT_EQ (failureOf ("\n" + std::string (512, '[') + "{\"a\": 1}"), (Failure { "Nesting too deep", 2, 513 }));
    EXPECT_EQ (failureOf (std::string (513, '['), true), (Failure { "Nesting too deep", 1, 513 }));
}

TEST (JsonNesting, VeryDeepInputFailsWithoutExhaustingTheStack)
{
    EXPECT_EQ (failureOf (std::string (1000000, '[')).message, "Nesting too deep");

    std::string objects;
    for (int i = 0; i < 200000; ++i)
        objects += "{\"a\":";
    EXPECT_EQ (failureOf (objects).message, "Nesting too deep");
}
