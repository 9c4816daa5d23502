// Page messages of any bytes, one per input line, against a view whose bound
// functions answer, throw, and use the view again while they run. Every
// message is ignored or gets exactly the reply that its call deserves; no
// reply is ever cut or garbled.

#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "fuzz_targets.h"
#include "json/json_parse.h"
#include "json/json_writer.h"
#include "json/string_appender.h"
#include "recording_browser.h"
#include "webview/bridge_scripts.h"
#include "webview/webview.h"

namespace tunewell::fuzzing
{

namespace
{

constexpr const char* target = "bridge_dispatch";
constexpr int maximumNestedPosts = 4;

std::string compactJSON (const value::ValueView& view)
{
    std::string text;
    json::StringAppender out (text);
    json::writeAsJSON (out, view, false);
    return text;
}

/// What the bridge should make of one message, worked out independently of
/// its dispatch: the call's ID and function name, if it addresses one.
struct ExpectedCall
{
    int64_t id = 0;
    std::string function;
    std::string paramsJSON;
};

std::optional<ExpectedCall> expectedCallOf (const std::string& message)
{
    try
    {
        auto call = json::parse (message.c_str(), message.size(), false);
        ExpectedCall expected;
        expected.function = std::string (call["fn"].readString());
        expected.id = call["id"].getWithDefault<int64_t> (0);
        expected.paramsJSON = compactJSON (call["params"]);

        if (expected.id == 0)
            return std::nullopt;

        return expected;
    }
    catch (...)
    {
        return std::nullopt;
    }
}

class BridgeUnderAttack
{
public:
    BridgeUnderAttack()
    {
        bind ("echo",
              [] (const value::ValueView& params) { return value::Value (std::string_view (compactJSON (params))); });
        bind ("fail", [] (const value::ValueView&) -> value::Value { throw std::runtime_error ("refused"); });
        // Throws for anything but an int64, as the chooser's song selection does.
        bind ("readIndex", [] (const value::ValueView& params) { return value::Value (params[0].readInt64()); });
        bind ("reenter", [this] (const value::ValueView& params) { return reenter (params); });
        browser = testrig::RecordingBrowser::of (view);
        fuzzCheck (browser != nullptr, target, "the view has no recording browser");
    }

    void post (const std::string& message)
    {
        auto expected = expectedCallOf (message);
        auto before = browser->operations().size();
        browser->postWebMessage (message);
        checkReply (message, expected, before);
    }

private:
    void bind (const std::string& name, ui::BindingFunction function)
    {
        view.bind (name, std::move (function));
        boundNames.insert (name);
    }

    value::Value reenter (const value::ValueView& params)
    {
        view.evaluateJavascript ("reentered()");
        bind ("late", [] (const value::ValueView&) { return value::Value (1); });

        // A string argument is posted back as a page message of its own,
        // nested inside this call, as a page may do from a reply handler.
        if (params.isArray() && params.size() > 0 && params[0].isString() && nestedPosts < maximumNestedPosts)
        {
            ++nestedPosts;
            post (std::string (params[0].readString()));
            --nestedPosts;
        }

        return value::Value (static_cast<int64_t> (nestedPosts));
    }

    void checkReply (const std::string& message, const std::optional<ExpectedCall>& expected, std::size_t before)
    {
        const auto& operations = browser->operations();
        const bool bound = expected && boundNames.count (expected->function) != 0;

        if (! bound)
        {
            fuzzCheck (operations.size() == before, target, "a message that calls nothing got a reply: " + message);
            return;
        }

        fuzzCheck (operations.size() > before, target, "a call got no reply: " + message);
        const auto& reply = operations.back();
        fuzzCheck (reply.kind == testrig::BrowserOperation::Kind::executeScript, target,
                   "the reply is not a script");

        if (expected->function == "echo")
        {
            auto result = compactJSON (value::Value (std::string_view (expected->paramsJSON)));
            fuzzCheck (reply.text == ui::makeResolveScript (expected->id, result), target,
                       "echo resolved with something else: " + reply.text);
        }
        else if (expected->function == "fail")
        {
            fuzzCheck (reply.text == ui::makeRejectScript (expected->id), target, "a throwing call was not rejected");
        }
        else
        {
            auto emptyResolve = ui::makeResolveScript (expected->id, "");
            auto resolvePrefix = emptyResolve.substr (0, emptyResolve.find ('(') + 1);
            fuzzCheck (reply.text == ui::makeRejectScript (expected->id) || reply.text.rfind (resolvePrefix, 0) == 0,
                       target, "the reply does not settle the call: " + reply.text);
        }
    }

    ui::WebView view { testrig::recordingViewOptions() };
    std::set<std::string> boundNames;
    testrig::RecordingBrowser* browser = nullptr;
    int nestedPosts = 0;
};

std::vector<std::string> linesOf (const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;

    while (start <= text.size())
    {
        auto end = text.find ('\n', start);

        if (end == std::string::npos)
            end = text.size();

        lines.push_back (text.substr (start, end - start));
        start = end + 1;
    }

    return lines;
}

} // namespace

int fuzzBridgeDispatch (const std::uint8_t* data, std::size_t size)
{
    BridgeUnderAttack bridge;

    for (auto& message : linesOf (std::string (reinterpret_cast<const char*> (data), size)))
        bridge.post (message);

    return 0;
}

} // namespace tunewell::fuzzing
