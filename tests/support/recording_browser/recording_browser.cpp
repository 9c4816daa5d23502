#include "recording_browser.h"

#include <map>
#include <new>

#include "webview/bridge_scripts.h"

namespace tunewell::testsupport
{

namespace
{
int unavailableScopes = 0;

std::map<const ui::WebView*, RecordingBrowser*>& browsersByView()
{
    static std::map<const ui::WebView*, RecordingBrowser*> browsers;
    return browsers;
}
} // namespace

std::ostream& operator<< (std::ostream& out, const BrowserOperation& operation)
{
    static const char* const names[] = { "addInitScript", "executeScript", "navigateToString" };
    return out << names[static_cast<int> (operation.kind)] << " (" << operation.text << ")";
}

RecordingBrowser::RecordingBrowser (ui::WebView& ownerView, bool browserAvailable)
    : Pimpl (ownerView), hasBrowser (browserAvailable)
{
    browsersByView()[&owner] = this;

    if (hasBrowser)
        addInitScript (std::string (ui::bridgeScript));
}

RecordingBrowser::~RecordingBrowser()
{
    browsersByView().erase (&owner);
}

RecordingBrowser* RecordingBrowser::of (const ui::WebView& view)
{
    auto found = browsersByView().find (&view);
    return found != browsersByView().end() ? found->second : nullptr;
}

void RecordingBrowser::addInitScript (const std::string& script)
{
    record (BrowserOperation::Kind::addInitScript, script);
}

void RecordingBrowser::executeScript (const std::string& script)
{
    if (! failingScriptText.empty() && script.find (failingScriptText) != std::string::npos)
        throw std::bad_alloc();

    record (BrowserOperation::Kind::executeScript, script);
}

void RecordingBrowser::navigateToString (const std::string& html)
{
    record (BrowserOperation::Kind::navigateToString, html);
}

void RecordingBrowser::record (BrowserOperation::Kind kind, const std::string& text)
{
    if (hasBrowser)
        recorded.push_back ({ kind, isStrictUTF8 (text) ? text : std::string() });
}

ScopedBrowserUnavailable::ScopedBrowserUnavailable()  { ++unavailableScopes; }
ScopedBrowserUnavailable::~ScopedBrowserUnavailable() { --unavailableScopes; }

bool isStrictUTF8 (const std::string& text)
{
    auto* next = reinterpret_cast<const unsigned char*> (text.data());
    auto* end = next + text.size();

    while (next != end)
    {
        uint32_t lead = *next++;

        if (lead < 0x80)
            continue;

        int continuationBytes = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC2 ? 1 : -1;

        if (continuationBytes < 0 || lead > 0xF4 || end - next < continuationBytes)
            return false;

        uint32_t codePoint = lead & (0x3Fu >> continuationBytes);

        for (int i = 0; i < continuationBytes; ++i, ++next)
        {
            if ((*next & 0xC0) != 0x80)
                return false;

            codePoint = (codePoint << 6) | (*next & 0x3Fu);
        }

        static constexpr uint32_t smallestOfLength[] = { 0, 0x80, 0x800, 0x10000 };

        if (codePoint < smallestOfLength[continuationBytes] || codePoint > 0x10FFFF
            || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
            return false;
    }

    return true;
}

} // namespace tunewell::testsupport

namespace tunewell::ui
{

std::unique_ptr<WebView::Pimpl> WebView::Pimpl::create (WebView& owner, const Options&)
{
    return std::make_unique<testsupport::RecordingBrowser> (owner, testsupport::unavailableScopes == 0);
}

} // namespace tunewell::ui
