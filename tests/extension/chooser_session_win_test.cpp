#include "chooser_session_win_test.h"

#include <algorithm>
#include <string_view>

#include "text/utf16.h"

namespace tunewell::testrig
{

namespace
{
constexpr UINT turnMessage = WM_APP + 0x31;
constexpr UINT_PTR endTimer = 1;
constexpr UINT_PTR stepTimer = 2;
constexpr UINT stepTimerMilliseconds = 5;
// Generous: the browser's start and exit run on the stand-in's timers, and
// Wine under a loaded machine is slow.
constexpr ULONGLONG maximumStepMilliseconds = 15000;
constexpr UINT endTimeoutMilliseconds = 5000;
constexpr wchar_t scriptWindowClass[] = L"TunewellTestShowingScript";

BOOL CALLBACK collectChooserWindow (HWND window, LPARAM found)
{
    wchar_t className[64] {};
    GetClassNameW (window, className, 64);

    if (std::wstring (className).rfind (L"TunewellWindow", 0) == 0)
        reinterpret_cast<std::vector<HWND>*> (found)->push_back (window);

    return TRUE;
}

std::wstring copiedText (const std::function<size_t (wchar_t*, size_t)>& copy)
{
    std::wstring text (copy (nullptr, 0), L'\0');
    copy (text.data(), text.size() + 1);
    return text;
}
} // namespace

ShowingScript::ShowingScript()
{
    WNDCLASSEXW windowClass {};
    windowClass.cbSize = sizeof (windowClass);
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = GetModuleHandleW (nullptr);
    windowClass.lpszClassName = scriptWindowClass;
    RegisterClassExW (&windowClass);

    window = CreateWindowExW (0, scriptWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, windowClass.hInstance,
                              nullptr);
    SetWindowLongPtrW (window, GWLP_USERDATA, reinterpret_cast<LONG_PTR> (this));
}

ShowingScript::~ShowingScript()
{
    KillTimer (window, endTimer);
    KillTimer (window, stepTimer);
    SetWindowLongPtrW (window, GWLP_USERDATA, 0);
    DestroyWindow (window);
}

ShowingScript& ShowingScript::when (std::string description, std::function<bool()> ready, std::function<void()> action)
{
    steps.push_back ({ std::move (description), std::move (ready), std::move (action) });
    return *this;
}

ShowingScript& ShowingScript::whenOnTimer (std::string description, std::function<bool()> ready,
                                           std::function<void()> action)
{
    when (std::move (description), std::move (ready), std::move (action));
    steps.back().waitsOnTimer = true;
    return *this;
}

ShowingScript& ShowingScript::then (std::function<void()> action)
{
    return when (
        "nothing", [] { return true; }, std::move (action));
}

void ShowingScript::start()
{
    postTurn();
}

void ShowingScript::postTurn()
{
    PostMessageW (window, turnMessage, 0, 0);
}

void ShowingScript::turn()
{
    if (stopped)
        return;

    if (nextStep < steps.size() && steps[nextStep].ready())
    {
        waitingSince = 0;
        // Advanced first: the action may run a loop that dispatches turns.
        auto& step = steps[nextStep++];
        postTurn();
        step.action();
        return;
    }

    // A quit message is only taken from a queue without posted messages, so
    // after the last step the script waits for the end on a timer instead.
    if (nextStep == steps.size())
    {
        SetTimer (window, endTimer, endTimeoutMilliseconds, nullptr);
        return;
    }

    // Looks again on a timer, never on posted turns, which would hold back
    // the timers that the browser's delays run on, and a quit.
    const ULONGLONG now = GetTickCount64();
    if (waitingSince == 0)
        waitingSince = now;
    if (now - waitingSince > maximumStepMilliseconds)
        return abandon ("waited in vain for " + steps[nextStep].description);

    SetTimer (window, stepTimer, stepTimerMilliseconds, nullptr);
}

void ShowingScript::abandon (const std::string& problem)
{
    problems.push_back (problem);
    stopped = true;
    PostQuitMessage (abandonedExitCode);
}

LRESULT CALLBACK ShowingScript::windowProc (HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* script = reinterpret_cast<ShowingScript*> (GetWindowLongPtrW (window, GWLP_USERDATA));

    if (script != nullptr && message == turnMessage)
        script->turn();

    if (script != nullptr && message == WM_TIMER && wParam == stepTimer)
    {
        KillTimer (window, stepTimer);
        script->turn();
    }

    if (script != nullptr && message == WM_TIMER && wParam == endTimer)
    {
        KillTimer (window, endTimer);

        if (! script->stopped)
            script->abandon ("the showing did not end after the last step");
    }

    return DefWindowProcW (window, message, wParam, lParam);
}

std::vector<HWND> chooserWindows()
{
    std::vector<HWND> windows;
    EnumThreadWindows (GetCurrentThreadId(), collectChooserWindow, reinterpret_cast<LPARAM> (&windows));
    std::stable_partition (windows.begin(), windows.end(),
                           [] (HWND window) { return IsWindowVisible (window) != FALSE; });
    return windows;
}

HWND visibleChooserWindow()
{
    auto windows = chooserWindows();
    return ! windows.empty() && IsWindowVisible (windows.front()) ? windows.front() : nullptr;
}

bool windowShowsText (HWND window, const std::wstring& start)
{
    struct Search
    {
        const std::wstring& start;
        bool found = false;
    } search { start };

    EnumChildWindows (
        window,
        [] (HWND child, LPARAM context) -> BOOL {
            auto& search = *reinterpret_cast<Search*> (context);
            wchar_t text[512] {};
            GetWindowTextW (child, text, 512);
            search.found = IsWindowVisible (child)
                        && std::wstring_view (text).substr (0, search.start.size()) == search.start;
            return search.found ? FALSE : TRUE;
        },
        reinterpret_cast<LPARAM> (&search));

    return search.found;
}

void clickCloseBox()
{
    PostMessageW (visibleChooserWindow(), WM_SYSCOMMAND, SC_CLOSE, 0);
}

void runPendingMessages()
{
    for (int round = 0; round < 20; ++round)
    {
        MSG message {};

        // Quit messages stay for the test to look at.
        while (PeekMessageW (&message, nullptr, 0, WM_QUIT - 1, PM_REMOVE)
               || PeekMessageW (&message, nullptr, WM_QUIT + 1, 0xFFFF, PM_REMOVE))
        {
            TranslateMessage (&message);
            DispatchMessageW (&message);
        }

        Sleep (1);
    }
}

std::optional<int> takePendingQuit()
{
    MSG message {};

    if (PeekMessageW (&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
        return static_cast<int> (message.wParam);

    return std::nullopt;
}

bool waitFor (const std::function<bool()>& condition, DWORD milliseconds)
{
    const ULONGLONG end = GetTickCount64() + milliseconds;

    while (! condition())
    {
        if (GetTickCount64() > end)
            return false;

        // Wakes for the stand-in's timers as well as for posted work.
        MsgWaitForMultipleObjects (0, nullptr, FALSE, 5, QS_ALLINPUT);
        MSG message {};
        while (PeekMessageW (&message, nullptr, 0, WM_QUIT - 1, PM_REMOVE)
               || PeekMessageW (&message, nullptr, WM_QUIT + 1, 0xFFFF, PM_REMOVE))
        {
            TranslateMessage (&message);
            DispatchMessageW (&message);
        }
    }

    return true;
}

std::vector<std::string> loggedTexts (const wchar_t* operation)
{
    std::vector<std::string> texts;

    for (size_t index = 0; index < standin_log_count(); ++index)
    {
        auto name = copiedText (
            [index] (wchar_t* buffer, size_t capacity) { return standin_log_operation (index, buffer, capacity); });

        if (name == operation)
            texts.push_back (text::utf16ToUtf8 (copiedText (
                [index] (wchar_t* buffer, size_t capacity) { return standin_log_text (index, buffer, capacity); })));
    }

    return texts;
}

size_t logPosition (const wchar_t* operation, const std::string& wanted)
{
    const size_t count = standin_log_count();

    for (size_t index = 0; index < count; ++index)
    {
        auto name = copiedText (
            [index] (wchar_t* buffer, size_t capacity) { return standin_log_operation (index, buffer, capacity); });
        auto logged = copiedText (
            [index] (wchar_t* buffer, size_t capacity) { return standin_log_text (index, buffer, capacity); });

        if (name == operation && text::utf16ToUtf8 (logged) == wanted)
            return index;
    }

    return count;
}

TunewellLibrary* ChooserSession::library = nullptr;

void ChooserSession::SetUpTestSuite()
{
    library = new TunewellLibrary (TUNEWELL_LIBRARY_FILE);
}

void ChooserSession::TearDownTestSuite()
{
    delete library;
    library = nullptr;
}

void ChooserSession::SetUp()
{
    ASSERT_TRUE (library->library.isLoaded()) << TUNEWELL_LIBRARY_FILE;
    standin_reset();
    setSongs ({ { "Blue", "Tide" }, { "Rock & Roll", "Led Zeppelin" } });
    library->VantorRegister (&TestHost::lookup, host.handle());
    host.clearLog();
}

void ChooserSession::TearDown()
{
    library->OnClose();
    runPendingMessages();
    takePendingQuit();
    standin_reset();
}

void ChooserSession::runShowing (ShowingScript& script)
{
    script.start();
    library->InvokeMenu (0);
    library->OnModeChanged (1);
    script.stop();

    for (auto& problem : script.problems)
        ADD_FAILURE() << problem;
}

void ChooserSession::setSongs (const std::vector<std::pair<std::string, std::string>>& namesAndArtists)
{
    host.songs.clear();

    for (auto& [name, artist] : namesAndArtists)
        host.songs.push_back ({ name, artist, { { "Part 1", "" } }, "", "" });
}

} // namespace tunewell::testrig
