#include "chromium_page_win.h"

#include "chromium/browser_wire.h"
#include "control_link_win.h"
#include "text/utf16.h"

namespace tunewell::standin
{

ChromiumPage::ChromiumPage (int id, PageOwner& owner, const StandinRuntimeInterface& controlInterface)
    : viewId (id), control (controlInterface), recorded (id, owner)
{
}

void ChromiumPage::send (const std::string& line)
{
    control.sendToBrowser (line.c_str());
}

void ChromiumPage::sendText (const char* op, const char* member, const std::wstring& text)
{
    // Text that is not valid UTF-16 arrives empty, as everywhere the library
    // converts at a boundary.
    send (wire::lineOf (wire::viewOperation (op, viewId, member, text::utf16ToUtf8 (text))));
}

void ChromiumPage::navigate (const std::wstring& uri)
{
    // Only documents given as strings reach Chromium, which fetches nothing;
    // the recorded model still serves resource requests.
    record (L"ChromiumNotNavigated", uri);
    recorded.navigate (uri);
}

void ChromiumPage::navigateToString (const std::wstring& html)
{
    recorded.navigateToString (html);
    sendText ("navigateToString", "html", html);
}

void ChromiumPage::addScriptOnDocumentCreated (const std::wstring& script)
{
    recorded.addScriptOnDocumentCreated (script);
    sendText ("addInitScript", "script", script);
}

void ChromiumPage::executeScript (const std::wstring& script)
{
    recorded.executeScript (script);
    sendText ("executeScript", "script", script);
}

void ChromiumPage::postWebMessage (const std::wstring& messageJson)
{
    recorded.postWebMessage (messageJson);
    sendText ("postWebMessage", "json", messageJson);
}

void ChromiumPage::resize (int width, int height)
{
    send (wire::lineOf (wire::boundsOperation (viewId, width, height)));
}

void ChromiumPage::setVisible (bool visible)
{
    send (wire::lineOf (wire::visibilityOperation (viewId, visible)));
}

} // namespace tunewell::standin
