#include "standin_control_win.h"

#include "text/utf16.h"

namespace host_simulator
{

namespace
{
template <typename Function>
Function exportedFunction (HMODULE module, const char* name)
{
    // Through void*: the exports' real types are not FARPROC's.
    return reinterpret_cast<Function> (reinterpret_cast<void*> (GetProcAddress (module, name)));
}
} // namespace

StandinControl::StandinControl() : module (LoadLibraryW (L"webview2_standin_control.dll"))
{
    if (module == nullptr)
        return;

    postWebMessageFunction = exportedFunction<PostFunction> (module, "standin_post_web_message");
    documentCountFunction = exportedFunction<DocumentCountFunction> (module, "standin_document_count");
    logCountFunction = exportedFunction<CountFunction> (module, "standin_log_count");
    logOperationFunction = exportedFunction<CopyFunction> (module, "standin_log_operation");
    logTextFunction = exportedFunction<CopyFunction> (module, "standin_log_text");
    screenshotFunction = exportedFunction<ScreenshotFunction> (module, "standin_chromium_screenshot");
    clickSongFunction = exportedFunction<ClickSongFunction> (module, "standin_chromium_click_song");
    clickCloseFunction = exportedFunction<ClickCloseFunction> (module, "standin_chromium_click_close");
    replyFunction = exportedFunction<ReplyFunction> (module, "standin_chromium_reply");

    if (logOperationFunction == nullptr || logTextFunction == nullptr)
        logCountFunction = nullptr;
}

StandinControl::~StandinControl()
{
    if (module != nullptr)
        FreeLibrary (module);
}

bool StandinControl::postWebMessage (const std::string& utf8Message)
{
    if (postWebMessageFunction == nullptr)
        return false;

    // The first document of a view is the blank one it starts with.
    if (documentCountFunction != nullptr && documentCountFunction() < 2)
        return false;

    const auto wide = tunewell::text::utf8ToUtf16 (utf8Message);

    if (wide.empty() && ! utf8Message.empty())
        return false;

    return postWebMessageFunction (wide.c_str()) >= 0;
}

bool StandinControl::browserAnswered (int result, std::string& reply) const
{
    std::wstring text (replyFunction (nullptr, 0), L'\0');
    replyFunction (text.data(), text.size() + 1);
    reply = tunewell::text::utf16ToUtf8 (text);
    return result == 0;
}

bool StandinControl::screenshot (const std::string& utf8Path, std::string& reply)
{
    reply = "the stand-in control has no Chromium mode";
    const auto path = tunewell::text::utf8ToUtf16 (utf8Path);
    if (screenshotFunction == nullptr || replyFunction == nullptr || path.empty())
        return false;

    return browserAnswered (screenshotFunction (path.c_str()), reply);
}

bool StandinControl::clickSong (int index, std::string& reply)
{
    reply = "the stand-in control has no Chromium mode";
    if (clickSongFunction == nullptr || replyFunction == nullptr)
        return false;

    return browserAnswered (clickSongFunction (index), reply);
}

bool StandinControl::clickClose (std::string& reply)
{
    reply = "the stand-in control has no Chromium mode";
    if (clickCloseFunction == nullptr || replyFunction == nullptr)
        return false;

    return browserAnswered (clickCloseFunction(), reply);
}

std::wstring StandinControl::copied (CopyFunction copy, size_t index)
{
    std::wstring text (copy (index, nullptr, 0), L'\0');
    copy (index, text.data(), text.size() + 1);
    return text;
}

std::vector<std::string> StandinControl::loggedTexts (const wchar_t* operation) const
{
    std::vector<std::string> texts;

    for (size_t index = 0; logCountFunction != nullptr && index < logCountFunction(); ++index)
        if (copied (logOperationFunction, index) == operation)
            texts.push_back (tunewell::text::utf16ToUtf8 (copied (logTextFunction, index)));

    return texts;
}

} // namespace host_simulator
