#include "webview/webview_fallback_win.h"

#include <algorithm>
#include <string>

namespace tunewell::ui
{

const std::wstring_view missingRuntimeNotice =
    L"The song list needs the Microsoft Edge WebView2 Runtime, which could not be started.\r\n\r\n"
    L"Install it from https://developer.microsoft.com/microsoft-edge/webview2/ and open the song list again.";

const std::wstring_view browserNotStartedNotice =
    L"The song list's browser (Microsoft Edge WebView2) could not be started.\r\n\r\n"
    L"Close the song list and open it again.";

const std::wstring_view runtimeChangingNotice =
    L"The Microsoft Edge WebView2 Runtime is being updated or was uninstalled.\r\n\r\n"
    L"Close the song list and open it again in a minute. If this stays, install the runtime from "
    L"https://developer.microsoft.com/microsoft-edge/webview2/.";

const std::wstring_view browserStoppedNotice =
    L"The song list's browser (Microsoft Edge WebView2) stopped and could not be restarted.\r\n\r\n"
    L"Close the song list and open it again. If this keeps happening, restart Vantor.";

const std::wstring_view startingNotice = L"The song list is starting\u2026";

std::wstring troubleNoticeText (BrowserTrouble trouble, const std::wstring& userDataFolder)
{
    switch (trouble)
    {
        case BrowserTrouble::runtimeMissing:
            return std::wstring (missingRuntimeNotice);
        case BrowserTrouble::profileFolderUnusable:
            return L"The song list cannot write to its browser profile folder:\r\n" + userDataFolder
                 + L"\r\n\r\nMake room on that disk, or allow writing to the folder, then close the song list and "
                   L"open it again.";
        case BrowserTrouble::runtimeChanging:
            return std::wstring (runtimeChangingNotice);
        case BrowserTrouble::stopped:
            return std::wstring (browserStoppedNotice);
        case BrowserTrouble::notStarted:
            break;
    }

    return std::wstring (browserNotStartedNotice);
}

namespace
{
constexpr int noticeMargin = 16;
} // namespace

HWND createFallbackNotice (HWND viewWindow, std::wstring_view notice)
{
    const std::wstring text (notice);
    return CreateWindowExW (0, L"STATIC", text.c_str(), WS_CHILD | WS_VISIBLE | SS_CENTER, noticeMargin, noticeMargin,
                            0, 0, viewWindow, nullptr, GetModuleHandleW (nullptr), nullptr);
}

void fitFallbackNotice (HWND viewWindow, HWND notice)
{
    RECT client {};
    GetClientRect (viewWindow, &client);

    const int width = std::max (0, static_cast<int> (client.right - client.left) - 2 * noticeMargin);
    const int height = std::max (0, static_cast<int> (client.bottom - client.top) - 2 * noticeMargin);
    SetWindowPos (notice, nullptr, noticeMargin, noticeMargin, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace tunewell::ui
