#include <gtest/gtest.h>

#include <random>
#include <string>

#include "chromium/browser_wire.h"
#include "json/json_parse.h"
#include "strict_utf8.h"

namespace tunewell::standin::wire
{
namespace
{

using Kind = DriverMessage::Kind;

value::Value parsed (const std::string& line)
{
    return json::parse (line.c_str(), line.size(), false);
}

TEST (BrowserWireLines, AreSingleAsciiLinesThatReadBackToTheSameTexts)
{
    // Random code points of every plane, with the characters JSON and
    // lines care about mixed in; the seed is printed on failure. No NUL:
    // the values' string dictionary ends its texts at the first one.
    const unsigned seed = 20261208;
    std::mt19937 random (seed);
    const char32_t awkward[] = { U'"', U'\\', U'\n', U'\r', U'\t', U'\x01', U'\u2028', U'<', U'\'', U'\U0001F3B8' };

    for (int round = 0; round < 200; ++round)
    {
        std::u32string codePoints;
        for (int i = 0; i < 12; ++i)
        {
            auto pick = random() % 3;
            char32_t c = pick == 0 ? awkward[random() % std::size (awkward)]
                       : pick == 1 ? static_cast<char32_t> (0x20 + random() % 0x60)
                                   : static_cast<char32_t> (0xA0 + random() % 0x10FF00);
            if (c >= 0xD800 && c <= 0xDFFF)
                c = U'?';
            codePoints += c;
        }

        std::string text;
        for (auto c : codePoints)
            text += tunewell::testrig::referenceUtf8 (c);

        auto line = lineOf (viewOperation ("executeScript", 3, "script", text));
        for (auto c : line)
            ASSERT_LT (static_cast<unsigned char> (c), 0x80) << "seed " << seed << ", round " << round;
        ASSERT_EQ (line.find ('\n'), std::string::npos) << "seed " << seed << ", round " << round;

        auto back = parsed (line);
        ASSERT_EQ (back["script"].readString(), text) << "seed " << seed << ", round " << round;
        ASSERT_EQ (back["op"].readString(), "executeScript");
        ASSERT_EQ (back["view"].get<int64_t>(), 3);
    }
}

TEST (BrowserWireLines, CarryBoundsVisibilityAndRequestsAsTypedMembers)
{
    auto bounds = parsed (lineOf (boundsOperation (2, 1064, 681)));
    EXPECT_EQ (bounds["op"].readString(), "bounds");
    EXPECT_EQ (bounds["view"].get<int64_t>(), 2);
    EXPECT_EQ (bounds["width"].get<int64_t>(), 1064);
    EXPECT_EQ (bounds["height"].get<int64_t>(), 681);

    auto hidden = parsed (lineOf (visibilityOperation (2, false)));
    ASSERT_TRUE (hidden["visible"].isBool());
    EXPECT_FALSE (hidden["visible"].readContentAs<bool>());
    EXPECT_TRUE (parsed (lineOf (visibilityOperation (2, true)))["visible"].readContentAs<bool>());

    auto asked = parsed (lineOf (request ("clickClose")));
    EXPECT_EQ (asked["op"].readString(), "clickClose");
    EXPECT_EQ (asked.getView().size(), 1u) << "the number is added when the request is sent";
}

TEST (DriverLines, WebMessagesGiveTheViewTheTextAndWhetherItIsJson)
{
    auto message = readDriverLine (
        "{\"event\":\"webMessage\",\"view\":4,\"text\":\"Sigur R\\u00f3s\",\"isJson\":false}");
    ASSERT_EQ (message.kind, Kind::webMessage);
    EXPECT_EQ (message.viewId, 4);
    EXPECT_EQ (message.text, "Sigur R\xc3\xb3s");
    EXPECT_FALSE (message.isJson);

    auto json = readDriverLine ("{\"event\":\"webMessage\",\"view\":4,\"text\":\"{\\\"a\\\":1}\",\"isJson\":true}");
    ASSERT_EQ (json.kind, Kind::webMessage);
    EXPECT_TRUE (json.isJson);
}

TEST (DriverLines, RepliesGiveTheResultAsJsonOrTheError)
{
    auto done = readDriverLine ("{\"reply\":12,\"ok\":true,\"result\":[\"A - B\",\"\\u00e9\"]}");
    ASSERT_EQ (done.kind, Kind::reply);
    EXPECT_EQ (done.seq, 12);
    EXPECT_TRUE (done.ok);
    auto result = parsed (done.detail);
    ASSERT_EQ (result.getView().size(), 2u) << done.detail;
    EXPECT_EQ (result[0].readString(), "A - B");
    EXPECT_EQ (result[1].readString(), "\xc3\xa9");

    auto nothing = readDriverLine ("{\"reply\":13,\"ok\":true,\"result\":null}");
    EXPECT_EQ (nothing.detail, "null");

    auto refused = readDriverLine ("{\"reply\":14,\"ok\":false,\"error\":\"view 2 is hidden\"}");
    ASSERT_EQ (refused.kind, Kind::reply);
    EXPECT_FALSE (refused.ok);
    EXPECT_EQ (refused.detail, "view 2 is hidden");

    EXPECT_EQ (readDriverLine ("{\"reply\":15,\"ok\":false}").detail, "the driver gave no reason");
}

TEST (DriverLines, AnythingElseIsInvalidWithAReason)
{
    for (const char* line : { "", "not json", "[1,2]", "{\"event\":\"webMessage\",\"text\":\"no view\"}",
                              "{\"event\":\"webMessage\",\"view\":\"1\",\"text\":\"x\"}",
                              "{\"event\":\"webMessage\",\"view\":1,\"text\":5}", "{\"reply\":\"1\",\"ok\":true}",
                              "{\"reply\":1,\"ok\":1}", "{\"event\":\"other\"}", "{\"ok\":true,\"ok\":false}",
                              "{\"event\":\"webMessage\",\"view\":1,\"text\":\"\xff\"}" })
    {
        auto message = readDriverLine (line);
        EXPECT_EQ (message.kind, Kind::invalid) << line;
        EXPECT_FALSE (message.detail.empty()) << line;
    }
}

} // namespace
} // namespace tunewell::standin::wire
