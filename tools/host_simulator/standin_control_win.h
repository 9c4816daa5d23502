#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace host_simulator
{

/// The stand-in WebView2 runtime's control DLL, reached by name at run time
/// so that the simulator also hosts a library built with another browser.
/// Use it on the simulator's thread.
class StandinControl
{
public:
    StandinControl();
    ~StandinControl();

    StandinControl (const StandinControl&) = delete;
    StandinControl& operator= (const StandinControl&) = delete;

    bool isAvailable() const { return postWebMessageFunction != nullptr && logCountFunction != nullptr; }

    /// Posts a message (UTF-8) as the current page would; false without a
    /// control DLL, a current view whose page has been opened (a page posts
    /// only once it runs), or a convertible text.
    bool postWebMessage (const std::string& utf8Message);

    /// Chromium mode (tools/chromium_driver): a screenshot of the page saved
    /// at a path of the driver's machine, a real click on the link of the
    /// song bar at a position, or on the page's close button. True when the
    /// driver did it; reply holds its answer or why it failed (UTF-8).
    bool screenshot (const std::string& utf8Path, std::string& reply);
    bool clickSong (int index, std::string& reply);
    bool clickClose (std::string& reply);

    /// The texts (UTF-8) of every logged call of this operation, in order.
    std::vector<std::string> loggedTexts (const wchar_t* operation) const;

private:
    using PostFunction = int (*) (const wchar_t*);
    using DocumentCountFunction = int (*)();
    using CountFunction = size_t (*)();
    using CopyFunction = size_t (*) (size_t, wchar_t*, size_t);
    using ScreenshotFunction = int (*) (const wchar_t*);
    using ClickSongFunction = int (*) (int);
    using ClickCloseFunction = int (*)();
    using ReplyFunction = size_t (*) (wchar_t*, size_t);

    bool browserAnswered (int result, std::string& reply) const;

    HMODULE module = nullptr;
    PostFunction postWebMessageFunction = nullptr;
    DocumentCountFunction documentCountFunction = nullptr;
    CountFunction logCountFunction = nullptr;
    CopyFunction logOperationFunction = nullptr;
    CopyFunction logTextFunction = nullptr;
    ScreenshotFunction screenshotFunction = nullptr;
    ClickSongFunction clickSongFunction = nullptr;
    ClickCloseFunction clickCloseFunction = nullptr;
    ReplyFunction replyFunction = nullptr;

    static std::wstring copied (CopyFunction copy, size_t index);
};

} // namespace host_simulator
