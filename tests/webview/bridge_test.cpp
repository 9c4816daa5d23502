#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "json/json_writer.h"
#include "json/string_appender.h"
#include "recording_browser.h"
#include "webview/bridge_scripts.h"
#include "webview/webview.h"

using namespace tunewell;
using testrig::BrowserOperation;
using testrig::RecordingBrowser;
using Kind = BrowserOperation::Kind;

namespace
{
/// A view whose browser has recorded nothing yet beyond its creation.
struct BridgeTest : ::testing::Test
{
    BridgeTest() { browser.clearOperations(); }

    ui::WebView view { testrig::recordingViewOptions() };
    RecordingBrowser& browser = *RecordingBrowser::of (view);

    /// Binds a function that records its arguments as compact JSON and
    /// returns the given result.
    void bindRecorder (const std::string& name, value::Value result = value::Value ("ok"))
    {
        auto shared = std::make_shared<value::Value> (std::move (result));
        view.bind (name, [this, shared] (const value::ValueView& arguments) {
            std::string text;
            json::StringAppender out (text);
            json::writeAsJSON (out, arguments, false);
            calls.push_back (text);
            return *shared;
        });
        browser.clearOperations();
    }

    std::vector<std::string> scriptsRun() const
    {
        std::vector<std::string> scripts;

        for (auto& operation : browser.operations())
        {
            EXPECT_EQ (operation.kind, Kind::executeScript);
            scripts.push_back (operation.text);
        }

        return scripts;
    }

    std::vector<std::string> calls;
};

std::string resolveScript (const std::string& id, const std::string& json)
{
    return "window._fnBindings[" + id + "].resolve(" + json + "); delete window._fnBindings[" + id + "];";
}

std::string rejectScript (const std::string& id)
{
    return "window._fnBindings[" + id + "].reject(); delete window._fnBindings[" + id + "];";
}
} // namespace

//==============================================================================
TEST_F (BridgeTest, TheBridgeScriptIsRegisteredFirstAndEachBindingAddsAndRunsItsStub)
{
    ui::WebView fresh { testrig::recordingViewOptions() };
    auto& recorder = *RecordingBrowser::of (fresh);
    fresh.bind ("getSongListFromVantor", [] (const value::ValueView&) { return value::Value(); });
    fresh.bind ("selectSong", [] (const value::ValueView&) { return value::Value(); });

    auto stub1 = ui::makeBindingStub ("getSongListFromVantor");
    auto stub2 = ui::makeBindingStub ("selectSong");
    EXPECT_EQ (recorder.operations(),
               (std::vector<BrowserOperation> { { Kind::addInitScript, std::string (ui::bridgeScript) },
                                                { Kind::addInitScript, stub1 },
                                                { Kind::executeScript, stub1 },
                                                { Kind::addInitScript, stub2 },
                                                { Kind::executeScript, stub2 } }));
    EXPECT_NE (stub2.find ("window[\"selectSong\"] = function() {"), std::string::npos);
}

TEST_F (BridgeTest, ScriptsAndPagesPassToTheBrowserUnchanged)
{
    view.evaluateJavascript ("setSongList(\"Caf\xC3\xA9\");");
    view.loadHTML ("<p>\xF0\x9F\x8E\xB5</p>");

    EXPECT_EQ (browser.operations(),
               (std::vector<BrowserOperation> { { Kind::executeScript, "setSongList(\"Caf\xC3\xA9\");" },
                                                { Kind::navigateToString, "<p>\xF0\x9F\x8E\xB5</p>" } }));
}

TEST_F (BridgeTest, InvalidUTF8ReachesTheBrowserAsAnEmptyText)
{
    view.evaluateJavascript ("bad \xC3(");
    EXPECT_EQ (browser.operations(), (std::vector<BrowserOperation> { { Kind::executeScript, "" } }));
}

//==============================================================================
TEST_F (BridgeTest, ACallReachesItsFunctionAndResolvesWithTheCompactResult)
{
    auto result = value::Value::makeObject ({});
    result.addMember ("name", value::Value ("Caf\xC3\xA9 \"live\""));
    result.addMember ("n", value::Value (2.5));
    bindRecorder ("f", std::move (result));

    browser.postWebMessage (R"({"id":2,"fn":"f","params":[1,"two",[3]]})");

    EXPECT_EQ (calls, (std::vector<std::string> { "[1, \"two\", [3]]" }));
    EXPECT_EQ (scriptsRun(), (std::vector<std::string> {
                                 resolveScript ("2", "{\"name\": \"Caf\\u00e9 \\\"live\\\"\", \"n\": 2.5}") }));
}

TEST_F (BridgeTest, AStringResultResolvesAsAQuotedString)
{
    bindRecorder ("f", value::Value ("abc"));
    browser.postWebMessage (R"({"id":2,"fn":"f","params":[]})");
    EXPECT_EQ (scriptsRun(),
               (std::vector<std::string> { "window._fnBindings[2].resolve(\"abc\"); delete window._fnBindings[2];" }));
}

TEST_F (BridgeTest, TheIdIsReadAsAnInteger)
{
    bindRecorder ("f", value::Value());

    browser.postWebMessage (R"({"id":"7","fn":"f","params":[]})");
    browser.postWebMessage (R"({"id":2.9,"fn":"f","params":[]})");
    browser.postWebMessage (R"({"id":-3,"fn":"f","params":[]})");
    browser.postWebMessage (R"({"id":"12abc","fn":"f","params":[]})");
    browser.postWebMessage (R"({"id":true,"fn":"f","params":[]})");

    EXPECT_EQ (scriptsRun(), (std::vector<std::string> { resolveScript ("7", "null"), resolveScript ("2", "null"),
                                                         resolveScript ("-3", "null"), resolveScript ("12", "null"),
                                                         resolveScript ("1", "null") }));
}

TEST_F (BridgeTest, AnIdFarOutsideTheIntegerRangeDoesNotCrash)
{
    bindRecorder ("f", value::Value());
    browser.postWebMessage (R"({"id":1e300,"fn":"f","params":[]})");
    browser.postWebMessage (R"({"id":-1e300,"fn":"f","params":[]})");
    EXPECT_EQ (calls.size(), 2u);
    EXPECT_EQ (browser.operations().size(), 2u);
}

TEST_F (BridgeTest, AMissingParamsMemberGivesTheFunctionAVoidView)
{
    bool sawVoid = false;
    view.bind ("f", [&] (const value::ValueView& arguments) {
        sawVoid = arguments.isVoid();
        return value::Value (1);
    });
    browser.clearOperations();

    browser.postWebMessage (R"({"id":5,"fn":"f"})");

    EXPECT_TRUE (sawVoid);
    EXPECT_EQ (scriptsRun(), (std::vector<std::string> { resolveScript ("5", "1") }));
}

TEST_F (BridgeTest, OtherMembersAreIgnored)
{
    bindRecorder ("f");
    browser.postWebMessage (R"({"extra":{"x":[]},"id":3,"fn":"f","params":[true],"more":null})");
    EXPECT_EQ (calls, (std::vector<std::string> { "[true]" }));
}

//==============================================================================
TEST_F (BridgeTest, MalformedOrUnaddressableMessagesAreIgnored)
{
    bindRecorder ("f");

    for (auto* message : {
             "",                                            // no value
             "not json",                                    // no object
             "{\"id\":2,\"fn\":\"f\",\"params\":[",         // cut off
             "{\"id\":2,\"fn\":\"f\",\"params\":[] \xC3}",  // illegal UTF-8
             "[1,2]",                                       // an array
             "{\"id\":2,\"params\":[]}",                    // no name
             "{\"id\":2,\"fn\":7,\"params\":[]}",           // a name that is no string
             "{\"id\":0,\"fn\":\"f\",\"params\":[]}",       // id 0
             "{\"fn\":\"f\",\"params\":[]}",                // no id
             "{\"id\":\"abc\",\"fn\":\"f\",\"params\":[]}", // an id that is no number
             "{\"id\":[2],\"fn\":\"f\",\"params\":[]}",     // an id of another kind
             "{\"id\":2,\"fn\":\"g\",\"params\":[]}",       // an unbound name
             "{\"id\":2,\"fn\":\"F\",\"params\":[]}",       // names are case-sensitive
             "{\"id\":2,\"fn\":\"f\",\"fn\":\"f\"}",        // a duplicate member
         })
    {
        browser.postWebMessage (message);
        EXPECT_TRUE (calls.empty()) << message;
        EXPECT_TRUE (browser.operations().empty()) << message;
    }
}

TEST_F (BridgeTest, DeeplyNestedParamsAreRejectedWithoutACall)
{
    bindRecorder ("f");
    browser.postWebMessage ("{\"id\":2,\"fn\":\"f\",\"params\":" + std::string (100000, '['));
    EXPECT_TRUE (calls.empty());
    EXPECT_TRUE (browser.operations().empty());
}

//==============================================================================
TEST_F (BridgeTest, AFunctionThatThrowsGetsTheRejectScript)
{
    view.bind ("std", [] (const value::ValueView& arguments) { return value::Value (arguments[0].readInt64()); });
    view.bind ("runtime", [] (const value::ValueView&) -> value::Value { throw std::runtime_error ("no"); });
    view.bind ("other", [] (const value::ValueView&) -> value::Value { throw 42; });
    view.bind ("empty", ui::BindingFunction());
    browser.clearOperations();

    browser.postWebMessage (R"({"id":2,"fn":"std","params":["not an int"]})");
    browser.postWebMessage (R"({"id":3,"fn":"runtime","params":[]})");
    browser.postWebMessage (R"({"id":4,"fn":"other","params":[]})");
    browser.postWebMessage (R"({"id":5,"fn":"empty","params":[]})");

    EXPECT_EQ (scriptsRun(), (std::vector<std::string> { rejectScript ("2"), rejectScript ("3"), rejectScript ("4"),
                                                         rejectScript ("5") }));
}

TEST_F (BridgeTest, AResolveScriptThatFailsToRunGetsTheRejectScript)
{
    bindRecorder ("f", value::Value ("abc"));
    browser.failingScriptText = ".resolve(";

    browser.postWebMessage (R"({"id":2,"fn":"f","params":[]})");

    EXPECT_EQ (calls.size(), 1u);
    EXPECT_EQ (scriptsRun(), (std::vector<std::string> { rejectScript ("2") }));
}

TEST_F (BridgeTest, AResultThatCannotBeWrittenGetsTheRejectScript)
{
    view.bind ("f", [] (const value::ValueView&) {
        // A string whose handle the dictionary never gave out.
        value::Value corrupt (value::Type (value::TypeCode::string));
        uint32_t unknownHandle = 9999;
        std::memcpy (corrupt.getView().data, &unknownHandle, 4);
        return corrupt;
    });
    browser.clearOperations();

    browser.postWebMessage (R"({"id":2,"fn":"f","params":[]})");
    EXPECT_EQ (scriptsRun(), (std::vector<std::string> { rejectScript ("2") }));
}

//==============================================================================
TEST_F (BridgeTest, ABoundFunctionKeepsItsStateFromCallToCall)
{
    view.bind ("count", [calls = 0] (const value::ValueView&) mutable { return value::Value (++calls); });
    browser.clearOperations();

    for (auto id : { "2", "3", "4" })
        browser.postWebMessage (std::string ("{\"id\":") + id + ",\"fn\":\"count\",\"params\":[]}");

    EXPECT_EQ (scriptsRun(), (std::vector<std::string> { resolveScript ("2", "1"), resolveScript ("3", "2"),
                                                         resolveScript ("4", "3") }));
}

TEST_F (BridgeTest, RebindingReplacesTheFunctionAndAddsAnotherStub)
{
    int firstCalls = 0, secondCalls = 0;
    view.bind ("f", [&] (const value::ValueView&) {
        ++firstCalls;
        return value::Value (1);
    });
    view.bind ("f", [&] (const value::ValueView&) {
        ++secondCalls;
        return value::Value (2);
    });

    auto stub = ui::makeBindingStub ("f");
    EXPECT_EQ (browser.operations(), (std::vector<BrowserOperation> { { Kind::addInitScript, stub },
                                                                      { Kind::executeScript, stub },
                                                                      { Kind::addInitScript, stub },
                                                                      { Kind::executeScript, stub } }));

    browser.clearOperations();
    browser.postWebMessage (R"({"id":2,"fn":"f","params":[]})");

    EXPECT_EQ (firstCalls, 0);
    EXPECT_EQ (secondCalls, 1);
    EXPECT_EQ (scriptsRun(), (std::vector<std::string> { resolveScript ("2", "2") }));
}

TEST_F (BridgeTest, AFunctionMayUseTheViewAndRebindItselfWhileItRuns)
{
    view.bind ("f", [this] (const value::ValueView&) {
        view.evaluateJavascript ("inside();");
        view.bind ("f", [] (const value::ValueView&) { return value::Value (2); });
        return value::Value (1);
    });
    browser.clearOperations();

    browser.postWebMessage (R"({"id":2,"fn":"f","params":[]})");
    browser.postWebMessage (R"({"id":3,"fn":"f","params":[]})");

    auto& ops = browser.operations();
    ASSERT_EQ (ops.size(), 5u);
    EXPECT_EQ (ops[0].text, "inside();");
    EXPECT_EQ (ops[1].kind, Kind::addInitScript);
    EXPECT_EQ (ops[3], (BrowserOperation { Kind::executeScript, resolveScript ("2", "1") }));
    EXPECT_EQ (ops[4], (BrowserOperation { Kind::executeScript, resolveScript ("3", "2") }));
}

//==============================================================================
TEST (BridgeWithoutBrowser, OperationsDoNothingButBindingsAreStillStored)
{
    testrig::ScopedBrowserUnavailable noBrowser;
    ui::WebView view { testrig::recordingViewOptions() };
    auto& browser = *RecordingBrowser::of (view);
    int calls = 0;

    EXPECT_FALSE (view.isBrowserCreated());
    view.bind ("f", [&] (const value::ValueView&) {
        ++calls;
        return value::Value();
    });
    view.evaluateJavascript ("x();");
    view.loadHTML ("<p></p>");
    browser.postWebMessage (R"({"id":2,"fn":"f","params":[]})");

    EXPECT_EQ (calls, 1);
    EXPECT_TRUE (browser.operations().empty());
}

TEST (BridgeLifetime, TheBrowserIsDestroyedBeforeTheBoundFunctions)
{
    // A function object that sees whether the browser still exists when it
    // is destroyed.
    struct Probe
    {
        const ui::WebView* view;
        std::shared_ptr<bool> browserWasGone;

        Probe (const ui::WebView* v, std::shared_ptr<bool> flag) : view (v), browserWasGone (std::move (flag)) {}
        Probe (const Probe&) = default;
        ~Probe()
        {
            if (browserWasGone.use_count() == 2)
                *browserWasGone = RecordingBrowser::of (*view) == nullptr;
        }

        value::Value operator() (const value::ValueView&) const { return {}; }
    };

    auto browserWasGone = std::make_shared<bool> (false);

    {
        ui::WebView view { testrig::recordingViewOptions() };
        view.bind ("f", Probe (&view, browserWasGone));
    }

    EXPECT_TRUE (*browserWasGone);
}
