#include "chromium_mode_win.h"

#include <cstdio>
#include <cstdlib>

#include "../standin_control.h"
#include "text/utf16.h"

namespace tunewell::standin
{

namespace
{

// Long enough for a click that waits for its element, short enough that a
// lost driver is reported well before any test gives up.
constexpr DWORD requestTimeoutMs = 15000;

std::wstring wide (const std::string& text)
{
    return text::utf8ToUtf16 (text);
}

} // namespace

ChromiumMode::ChromiumMode (ControlState& controlState) : state (controlState) {}

ChromiumMode::Status ChromiumMode::status()
{
    if (! readEnvironment)
    {
        readEnvironment = true;
        if (auto* address = std::getenv ("TUNEWELL_STANDIN_CHROMIUM"); address != nullptr && *address != 0)
            return connect (address);
    }

    if (link != nullptr && ! link->isBroken())
        return connected;

    return asked ? unreachable : recording;
}

ChromiumMode::Status ChromiumMode::connect (const std::string& address)
{
    readEnvironment = true;
    asked = true;
    if (link != nullptr && ! link->isBroken())
        return connected;

    std::string error;
    link = BrowserLink::open (
        address,
        [this] (int viewId, const std::string& text, bool isJson) { deliverPageMessage (viewId, text, isJson); },
        error);

    if (link == nullptr)
    {
        // Said where a person running the demo or the tests sees it at once.
        std::fprintf (stderr, "webview2_standin: %s\n", error.c_str());
        state.record (L"ChromiumUnreachable", wide (error));
        return unreachable;
    }

    state.record (L"ChromiumConnected", wide (address));
    return connected;
}

void ChromiumMode::send (const std::string& line)
{
    if (link != nullptr)
        link->sendLine (line);
}

void ChromiumMode::viewAttached (int viewId)
{
    if (status() == connected)
        link->send (wire::viewOperation ("openView", viewId));
}

void ChromiumMode::viewDetached (int viewId)
{
    if (link != nullptr)
        link->send (wire::viewOperation ("closeView", viewId));
}

int ChromiumMode::ask (value::Value request)
{
    if (status() != connected)
    {
        detail = link != nullptr ? "the link to the Chromium driver is broken: " + link->brokenReason()
                                 : "not in Chromium mode: no driver is connected";
        return STANDIN_BROWSER_UNREACHABLE;
    }

    // A person cannot click, nor see, a page whose window is hidden.
    auto sink = state.currentSink();
    if (sink && sink->isShown != nullptr && ! sink->isShown (sink->context))
    {
        detail = "the current view's window is hidden";
        return STANDIN_BROWSER_REFUSED;
    }

    auto answer = link->ask (std::move (request), requestTimeoutMs);
    detail = answer.detail;

    switch (answer.outcome)
    {
        case BrowserLink::Answer::Outcome::done:
            return 0;
        case BrowserLink::Answer::Outcome::refused:
            return STANDIN_BROWSER_REFUSED;
        case BrowserLink::Answer::Outcome::unreachable:
            break;
    }
    return STANDIN_BROWSER_UNREACHABLE;
}

void ChromiumMode::deliverPageMessage (int viewId, const std::string& text, bool isJson)
{
    // A view that closed meanwhile takes no more messages, as in the browser.
    if (auto sink = state.sinkOf (viewId))
        sink->postWebMessage (sink->context, nullptr, wide (text).c_str(), isJson ? 1 : 0);
}

} // namespace tunewell::standin
