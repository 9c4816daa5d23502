#include <gtest/gtest.h>

#include <random>
#include <string>

#include "json/json_parse.h"

using namespace tunewell;

// The parser builds the whole value in one buffer and one dictionary. The
// reference here assembles the same document the long way, each container a
// Value of its own appended to its parent, whose dictionary re-interns the
// strings. Both must agree byte for byte: type, packed data and the order of
// the stored texts, which fixes every handle.

namespace
{
struct Document
{
    std::string text;
    value::Value reference;
};

class DocumentMaker
{
public:
    explicit DocumentMaker (uint32_t seed) : random (seed) {}

    Document makeTopLevel()
    {
        Document document;
        document.reference = pick (2) == 0 ? makeObject (document.text, 0) : makeArray (document.text, 0);
        return document;
    }

private:
    /// A zero byte can only be written escaped, since the text ends at one.
    static std::string quoted (const std::string& s)
    {
        std::string result = "\"";

        for (char c : s)
            result += c == 0 ? std::string ("\\u0000") : std::string (1, c);

        return result + "\"";
    }

    int pick (int count) { return std::uniform_int_distribution<int> (0, count - 1) (random); }

    // Few distinct texts, so that equal strings meet at different depths.
    std::string pickText()
    {
        const std::string texts[] = { "",
                                      "a",
                                      "song",
                                      "Caf\xc3\xa9",
                                      "a",
                                      "tab\t",
                                      "a text longer than one word",
                                      "\xe2\x82\xac 5",
                                      "\xf0\x9f\x98\x80!",
                                      std::string ("so\0ng", 5),
                                      std::string ("\0a", 2) };
        return texts[pick (11)];
    }

    value::Value makeValue (std::string& text, int depth)
    {
        switch (depth < 4 ? pick (9) : pick (7))
        {
            case 0:
                text += "null";
                return {};
            case 1:
                text += "true";
                return value::Value::makeBool (true);
            case 2:
                text += "false";
                return value::Value::makeBool (false);
            case 3:
            {
                auto n = pick (2000) - 1000;
                text += std::to_string (n);
                return value::Value (int64_t (n));
            }
            case 4:
            {
                auto n = pick (100) / 8.0 + 0.5;
                text += std::to_string (n);
                return value::Value (std::stod (std::to_string (n)));
            }
            case 5:
            case 6:
            {
                auto s = pickText();
                text += quoted (s);
                return value::Value (std::string_view (s));
            }
            case 7:
                return makeArray (text, depth + 1);
            default:
                return makeObject (text, depth + 1);
        }
    }

    value::Value makeArray (std::string& text, int depth)
    {
        auto array = value::Value::makeEmptyArray();
        text += "[";

        // Runs of one shape make groups; a change of shape starts another.
        for (int i = 0, count = pick (6); i < count; ++i)
        {
            text += i > 0 ? ", " : " ";
            array.addArrayElement (pick (3) == 0 && i > 0 ? makeShapedObject (text) : makeValue (text, depth));
        }

        text += "]";
        return array;
    }

    value::Value makeObject (std::string& text, int depth)
    {
        auto object = value::Value::makeObject ({});
        text += "{";

        for (int i = 0, count = pick (5); i < count; ++i)
        {
            auto name = "m" + std::to_string (i);
            text += (i > 0 ? ",\"" : "\"") + name + "\" : ";
            object.addMember (name, makeValue (text, depth));
        }

        text += "}";
        return object;
    }

    value::Value makeShapedObject (std::string& text)
    {
        auto object = value::Value::makeObject ({});
        auto s = pickText();
        text += "{\"name\":" + quoted (s) + ",\"n\":7}";
        object.addMember ("name", value::Value (std::string_view (s)));
        object.addMember ("n", value::Value (int64_t (7)));
        return object;
    }

    std::mt19937 random;
};
} // namespace

TEST (JsonParsedLayout, EqualsTheValueAssembledContainerByContainer)
{
    const uint32_t seed = 4242;
    DocumentMaker maker (seed);

    for (int i = 0; i < 400; ++i)
    {
        auto document = maker.makeTopLevel();
        auto parsed = json::parse (document.text.c_str(), document.text.size(), false);
        auto& expected = document.reference;

        ASSERT_TRUE (parsed.getType() == expected.getType())
            << "seed " << seed << ", document " << i << ": " << document.text;
        ASSERT_EQ (parsed.getRawData(), expected.getRawData())
            << "seed " << seed << ", document " << i << ": " << document.text;
        ASSERT_EQ (parsed.getDictionary().getRawData(), expected.getDictionary().getRawData())
            << "seed " << seed << ", document " << i << ": " << document.text;
    }
}

TEST (JsonParsedLayout, BareScalarsOwnTheirDataAndTexts)
{
    auto text = json::parse ("\"Caf\xc3\xa9\"", 6, true);
    EXPECT_EQ (text.getView().readString(), "Caf\xc3\xa9");
    EXPECT_EQ (text.getDictionary().getRawData().size(), 6u);

    // All of an escaped zero byte's string is kept, though it reads up to that byte.
    auto withZero = json::parse ("\"a\\u0000b\"", 10, true);
    EXPECT_EQ (withZero.getDictionary().getRawData(), std::vector<char> ({ 'a', 0, 'b', 0 }));
    EXPECT_EQ (withZero.getView().readString(), "a");

    auto number = json::parse ("12", 2, true);
    EXPECT_EQ (number.getView().readInt64(), 12);
    EXPECT_TRUE (number.getDictionary().getRawData().empty());
}
