#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "webview/bridge_scripts.h"
#include "webview/webview_resources.h"

using namespace tunewell::ui;

namespace
{
std::vector<std::string> linesOf (std::string_view text)
{
    std::vector<std::string> lines;
    size_t start = 0;

    for (auto end = text.find ('\n'); end != std::string_view::npos; end = text.find ('\n', start))
    {
        lines.emplace_back (text.substr (start, end - start));
        start = end + 1;
    }

    lines.emplace_back (text.substr (start));
    return lines;
}

size_t countOf (std::string_view text, std::string_view part)
{
    size_t count = 0;

    for (auto at = text.find (part); at != std::string_view::npos; at = text.find (part, at + part.size()))
        ++count;

    return count;
}
} // namespace

TEST (BridgeScript, IsOneLineOfEightyThreeBytes)
{
    EXPECT_EQ (bridgeScript.size(), 83u);
    EXPECT_EQ (bridgeScript, "window.external = { invoke: function(s) { window.chrome.webview.postMessage(s); } }");
}

TEST (BindingStubTemplate, IsFifteenIndentedLinesOfFiveHundredFiftyOneBytes)
{
    struct Line
    {
        int indent;
        const char* text;
    };
    const Line expected[] = {
        { 0, "(function() {" },
        { 6, "var fnBinding = window._fnBindings = (window._fnBindings || { messageID: 1 });" },
        { 6, "window[\"FUNCTION_NAME\"] = function() {" },
        { 8, "var messageID = ++fnBinding.messageID;" },
        { 8, "var promise = new Promise(function(resolve, reject) {" },
        { 10, "fnBinding[messageID] = { resolve: resolve, reject: reject, };" },
        { 8, "});" },
        { 8, "window.external.invoke(JSON.stringify({" },
        { 10, "id: messageID," },
        { 10, "fn: \"FUNCTION_NAME\"," },
        { 10, "params: Array.prototype.slice.call(arguments)," },
        { 8, "}));" },
        { 8, "return promise;" },
        { 6, "}" },
        { 4, "})()" },
    };

    EXPECT_EQ (bindingStubTemplate.size(), 551u);
    EXPECT_EQ (bindingStubTemplate.find ('\t'), std::string_view::npos);
    EXPECT_NE (bindingStubTemplate.back(), '\n');

    auto lines = linesOf (bindingStubTemplate);
    ASSERT_EQ (lines.size(), std::size (expected));

    for (size_t i = 0; i < lines.size(); ++i)
        EXPECT_EQ (lines[i], std::string (expected[i].indent, ' ') + expected[i].text) << "line " << i + 1;
}

TEST (BindingStub, PutsTheNameAtBothPlaces)
{
    auto lines = linesOf (makeBindingStub ("selectSong"));
    ASSERT_EQ (lines.size(), 15u);
    EXPECT_EQ (lines[2], "      window[\"selectSong\"] = function() {");
    EXPECT_EQ (lines[9], "          fn: \"selectSong\",");
    EXPECT_EQ (countOf (makeBindingStub ("selectSong"), "FUNCTION_NAME"), 0u);
}

TEST (BindingStub, InsertsTheNameVerbatimAndOncePerPlace)
{
    auto stub = makeBindingStub ("a\"b\\c");
    EXPECT_EQ (countOf (stub, "window[\"a\"b\\c\"]"), 1u);

    // A name holding the placeholder is not expanded again.
    auto selfReferring = makeBindingStub ("xFUNCTION_NAMEx");
    EXPECT_EQ (countOf (selfReferring, "xFUNCTION_NAMEx"), 2u);
    EXPECT_EQ (selfReferring.size(), bindingStubTemplate.size() + 2 * 2);

    EXPECT_EQ (makeBindingStub ("").size(), bindingStubTemplate.size() - 2 * 13);
}

TEST (ReplyScripts, SettleThePromiseOfTheirMessageAndForgetIt)
{
    EXPECT_EQ (makeResolveScript (2, "\"abc\""),
               "window._fnBindings[2].resolve(\"abc\"); delete window._fnBindings[2];");
    EXPECT_EQ (makeRejectScript (2), "window._fnBindings[2].reject(); delete window._fnBindings[2];");
    EXPECT_EQ (makeRejectScript (-9223372036854775807 - 1),
               "window._fnBindings[-9223372036854775808].reject(); delete window._fnBindings[-9223372036854775808];");
}

TEST (ResourcePaths, keepTheSlashThatEndsTheRootAndEverythingAfterIt)
{
    const std::string root = "https://app.localhost/";

    EXPECT_EQ (resourcePathFromURI (root, root), "/");
    EXPECT_EQ (resourcePathFromURI (root + "a/b.js?x=1", root), "/a/b.js?x=1");
    EXPECT_EQ (resourcePathFromURI ("https://app.localhost", root), std::nullopt);
    EXPECT_EQ (resourcePathFromURI ("", root), std::nullopt);
    EXPECT_EQ (resourcePathFromURI ("anything", ""), std::nullopt);
}

TEST (ResourceHeaders, nameTheTypeAndForbidCachingOnTwoLines)
{
    EXPECT_EQ (resourceResponseHeaders ("image/svg+xml"), "Content-Type: image/svg+xml\nCache-Control: no-store");
}
