#include "webview/webview.h"

#include "json/json_parse.h"
#include "json/json_writer.h"
#include "json/string_appender.h"
#include "messageloop/library_frames.h"
#include "webview/bridge_scripts.h"

namespace tunewell::ui
{

WebView::WebView() : WebView (Options {}) {}

WebView::WebView (const Options& options)
{
    // Created in the body so that boundFunctions already exists if the
    // browser delivers anything while it is being built.
    if (options.browser)
        browser = options.browser (*this, options);
}

WebView::~WebView()
{
    // The browser can still deliver messages until it is gone, and those
    // reach boundFunctions; so it goes first.
    browser.reset();
}

void WebView::bind (const std::string& name, BindingFunction fn)
{
    auto stub = makeBindingStub (name);

    if (browser != nullptr)
    {
        browser->addInitScript (stub);
        browser->executeScript (stub);
    }

    boundFunctions[name] = std::make_shared<BindingFunction> (std::move (fn));
}

void WebView::evaluateJavascript (const std::string& script)
{
    if (browser != nullptr)
        browser->executeScript (script);
}

void WebView::loadHTML (const std::string& html)
{
    if (browser != nullptr)
        browser->navigateToString (html);
}

void* WebView::getViewWindow() const
{
    return browser != nullptr ? browser->getViewWindow() : nullptr;
}

namespace
{
std::string resultAsJSON (const value::Value& result)
{
    std::string resultJSON;
    json::StringAppender out (resultJSON);
    json::Writer<json::StringAppender> (out, 0).dump (result.getView());
    return resultJSON;
}
} // namespace

void WebView::invokeBinding (const std::string& message) noexcept
{
    // A bound function may end the extension that owns this view (the host
    // closing it inside a host call); the frame keeps both until the reply
    // has been sent.
    const messageloop::LibraryFrame frame;

    // Runs inside the browser's callback: nothing may escape from here, since
    // the page's input is not trusted.
    try
    {
        auto call = json::parse (message.c_str(), message.size(), false);
        auto functionName = call["fn"].readString();
        auto binding = boundFunctions.find (std::string (functionName));
        auto messageID = call["id"].getWithDefault<int64_t> (0);

        if (messageID == 0 || binding == boundFunctions.end())
            return;

        // Shared, not copied: the bound object keeps its state from call to
        // call, and stays alive if it rebinds its own name while it runs.
        const auto function = binding->second;

        // Running the resolve script belongs to the call as well: when it
        // fails, the page hears of it through the reject script.
        try
        {
            evaluateJavascript (makeResolveScript (messageID, resultAsJSON ((*function) (call["params"]))));
        }
        catch (...)
        {
            evaluateJavascript (makeRejectScript (messageID));
        }
    }
    catch (...)
    {
    }
}

} // namespace tunewell::ui
