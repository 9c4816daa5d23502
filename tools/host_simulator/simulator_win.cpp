#include "simulator_win.h"

#include <cstdio>
#include <utility>

#include "text/utf16.h"

namespace host_simulator
{

namespace
{

constexpr UINT reportModeMessage = WM_APP + 1;
constexpr UINT scriptTimer = 1;
// Timer messages come only once no posted message is waiting, which lets
// everything a command set off settle before the next command runs.
constexpr UINT commandInterval = USER_TIMER_MINIMUM;
constexpr int setlistMode = 1;

std::string joined (const std::vector<std::string>& words)
{
    std::string text;

    for (auto& word : words)
        text += (text.empty() ? "" : " ") + word;

    return text;
}

/// Accepts both the host's name and the extension's: "Vantor_SwitchToSong"
/// or "switchToSong".
std::string hostFunctionName (std::string name)
{
    if (name.rfind ("Vantor_", 0) == 0 || name.empty())
        return name;

    if (name[0] >= 'a' && name[0] <= 'z')
        name[0] = static_cast<char> (name[0] - 'a' + 'A');

    return "Vantor_" + name;
}

struct ChooserWindows
{
    std::vector<HWND> windows;
};

BOOL CALLBACK collectChooserWindow (HWND window, LPARAM found)
{
    wchar_t className[64] {};
    GetClassNameW (window, className, 64);

    if (std::wstring (className).rfind (L"TunewellWindow", 0) == 0)
        reinterpret_cast<ChooserWindows*> (found)->windows.push_back (window);

    return TRUE;
}

/// The chooser's desktop windows on this thread, visible ones first.
std::vector<HWND> chooserWindows()
{
    ChooserWindows found;
    EnumThreadWindows (GetCurrentThreadId(), collectChooserWindow, reinterpret_cast<LPARAM> (&found));
    std::stable_partition (found.windows.begin(), found.windows.end(),
                           [] (HWND window) { return IsWindowVisible (window) != FALSE; });
    return found.windows;
}

std::string windowTitle (HWND window)
{
    wchar_t title[512] {};
    GetWindowTextW (window, title, 512);
    return tunewell::text::utf16ToUtf8 (title);
}

/// Whether a visible window inside this one shows the text: what a person
/// sees where the browser could not start.
bool showsText (HWND window, const std::string& wanted)
{
    struct Search
    {
        const std::string& wanted;
        bool found = false;
    } search { wanted };

    EnumChildWindows (
        window,
        [] (HWND child, LPARAM context) -> BOOL {
            auto& search = *reinterpret_cast<Search*> (context);
            search.found = IsWindowVisible (child) && windowTitle (child).find (search.wanted) != std::string::npos;
            return search.found ? FALSE : TRUE;
        },
        reinterpret_cast<LPARAM> (&search));

    return search.found;
}

} // namespace

Simulator::Simulator (const std::string& path, std::vector<Setlist> allSetlists)
    : libraryPath (path), library (path), setlists (std::move (allSetlists))
{
    for (auto& setlist : setlists)
        host.setlists.push_back (setlist.name);

    switchToSetlist (0);
    host.onCall = [this] (const tunewell::testrig::HostCall& call) { onHostCall (call); };
}

Simulator::~Simulator()
{
    if (mainWindow != nullptr)
        DestroyWindow (mainWindow);

    if (! windowClassName.empty())
        UnregisterClassW (windowClassName.c_str(), GetModuleHandleW (nullptr));
}

void Simulator::addScriptLine (std::string line)
{
    const std::lock_guard<std::mutex> guard (scriptMutex);
    scriptLines.push_back (std::move (line));
}

void Simulator::endOfScript()
{
    const std::lock_guard<std::mutex> guard (scriptMutex);
    scriptEnded = true;
}

int Simulator::run()
{
    if (! library.library.isLoaded() || ! library.missingExports.empty())
    {
        print ("error: " + libraryPath + " is not an extension library ("
               + std::to_string (library.missingExports.size()) + " entry points missing)");
        return 1;
    }

    if (! createMainWindow())
    {
        print ("error: the main window cannot be created");
        return 1;
    }

    registerLibrary();
    SetTimer (mainWindow, scriptTimer, commandInterval, nullptr);

    MSG message {};
    BOOL received = 0;

    while ((received = GetMessageW (&message, nullptr, 0, 0)) > 0)
    {
        TranslateMessage (&message);
        DispatchMessageW (&message);
    }

    KillTimer (mainWindow, scriptTimer);
    const int exitCode = received == 0 ? static_cast<int> (message.wParam) : 1;
    print ("host quit " + std::to_string (exitCode));

    print ("event OnClose");
    library.OnClose();

    if (failedExpectations > 0)
    {
        print (std::to_string (failedExpectations) + " expectation(s) failed");
        return 1;
    }

    return exitCode;
}

bool Simulator::createMainWindow()
{
    windowClassName = L"VantorSimulatorMain" + std::to_wstring (GetCurrentProcessId());

    WNDCLASSEXW windowClass {};
    windowClass.cbSize = sizeof (windowClass);
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = GetModuleHandleW (nullptr);
    windowClass.lpszClassName = windowClassName.c_str();

    if (RegisterClassExW (&windowClass) == 0)
    {
        windowClassName.clear();
        return false;
    }

    mainWindow = CreateWindowExW (0, windowClassName.c_str(), L"Vantor (simulator)", WS_OVERLAPPEDWINDOW, 40, 40, 640,
                                  400, nullptr, nullptr, windowClass.hInstance, nullptr);

    if (mainWindow == nullptr)
        return false;

    SetWindowLongPtrW (mainWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR> (this));
    ShowWindow (mainWindow, SW_SHOWNOACTIVATE);
    return true;
}

void Simulator::registerLibrary()
{
    print ("event VantorRegister");
    library.VantorRegister (&tunewell::testrig::TestHost::lookup, host.handle());
    print ("event OnOpen");
    library.OnOpen();
}

void Simulator::switchToSetlist (int index)
{
    host.currentSetlist = index;
    host.songs = setlists[static_cast<size_t> (index)].songs;
    host.currentSong = host.songs.empty() ? -1 : 0;
    host.currentSongPart = host.songs.empty() ? -1 : 0;
}

void Simulator::onHostCall (const tunewell::testrig::HostCall& call)
{
    print ("call " + call.function + (call.arguments.empty() ? "" : " " + joined (call.arguments)));

    // Vantor changes view later, from its own loop, and only then reports the
    // new mode; it never calls back from inside the request.
    if (call.function == "Vantor_SwitchToSetlistView")
        PostMessageW (mainWindow, reportModeMessage, setlistMode, 0);
}

void Simulator::reportMode (int mode)
{
    print ("event OnModeChanged " + std::to_string (mode));
    library.OnModeChanged (mode);
    print ("returned OnModeChanged " + std::to_string (mode));
}

void Simulator::runNextCommand()
{
    if (GetTickCount64() < pausedUntil)
        return;

    std::string line;
    {
        const std::lock_guard<std::mutex> guard (scriptMutex);

        if (scriptLines.empty())
        {
            if (scriptEnded)
            {
                scriptEnded = false;
                print ("end of script");
                PostQuitMessage (0);
            }

            return;
        }

        line = std::move (scriptLines.front());
        scriptLines.pop_front();
    }

    if (auto command = parseScriptLine (line))
    {
        if (retryingUntil == 0)
            print ("command " + command->verb + (command->textAfterVerb.empty() ? "" : " " + command->textAfterVerb));

        // A command may run the next ones nested (an extension that waits for
        // its browser inside InvokeMenu dispatches the script's timer): each
        // takes its own verdict, so that a nested retry never repeats the
        // command it ran inside.
        retryCurrent = false;
        execute (*command);

        if (std::exchange (retryCurrent, false))
        {
            const std::lock_guard<std::mutex> guard (scriptMutex);
            scriptLines.push_front (line);
        }
    }
}

void Simulator::execute (const ScriptCommand& command)
{
    const auto& words = command.words;
    const auto first = words.empty() ? std::nullopt : parseInteger (words[0]);
    const auto& verb = command.verb;

    if (verb == "menu" && first)
        library.InvokeMenu (*first);
    else if (verb == "widget" && words.size() == 2 && parseNumber (words[1]))
        library.OnWidgetValueChanged (words[0].c_str(), *parseNumber (words[1]));
    else if (verb == "mode" && first)
        reportMode (*first);
    else if (verb == "rename" && first && *first >= 0 && static_cast<size_t> (*first) < host.songs.size())
        host.songs[static_cast<size_t> (*first)].name = command.textAfterFirstWord;
    else if (verb == "setlist" && first && *first >= 0 && static_cast<size_t> (*first) < setlists.size())
    {
        switchToSetlist (*first);
        library.OnSetlistChanged (setlists[static_cast<size_t> (*first)].name.c_str());
    }
    else if (verb == "setlist-changed")
        library.OnSetlistChanged (host.setlists[static_cast<size_t> (host.currentSetlist)].c_str());
    else if (verb == "quit" && (words.empty() || first))
        PostQuitMessage (first.value_or (0));
    else if (verb == "wait-ms" && first && *first >= 0)
        pausedUntil = GetTickCount64() + static_cast<ULONGLONG> (*first);
    else if (verb == "click-close-box")
        clickCloseBox();
    else if (verb == "page-message" && ! command.textAfterVerb.empty())
        expect (standin.postWebMessage (command.textAfterVerb), "the stand-in browser takes the page message");
    else if (verb == "screenshot" && ! command.textAfterVerb.empty())
        askBrowser ("screenshot",
                    [&] (std::string& reply) { return standin.screenshot (command.textAfterVerb, reply); });
    else if (verb == "click-song" && first)
        askBrowser ("click-song", [&] (std::string& reply) { return standin.clickSong (*first, reply); });
    else if (verb == "click-close")
        askBrowser ("click-close", [&] (std::string& reply) { return standin.clickClose (reply); });
    else if (verb == "expect")
        executeExpectation (command);
    else
        expect (false, "a known command with valid arguments");
}

void Simulator::askBrowser (const std::string& what, const std::function<bool (std::string& reply)>& request)
{
    std::string reply;
    const bool done = request (reply);
    print ("chromium " + what + (done ? " done" : " failed") + (reply.empty() || reply == "null" ? "" : ": " + reply));
}

void Simulator::clickCloseBox()
{
    const auto windows = chooserWindows();

    if (windows.empty() || ! IsWindowVisible (windows.front()))
    {
        print ("no visible chooser window to close");
        return;
    }

    // As a click on the box arrives: a system command that becomes WM_CLOSE.
    PostMessageW (windows.front(), WM_SYSCOMMAND, SC_CLOSE, 0);
}

void Simulator::executeExpectation (const ScriptCommand& command)
{
    const auto& words = command.words;
    const std::string what = command.textAfterVerb;
    const std::string kind = words.empty() ? "" : words[0];
    const std::vector<std::string> arguments (words.size() > 2 ? words.begin() + 2 : words.end(), words.end());

    if (kind == "call" && words.size() >= 2)
    {
        const tunewell::testrig::HostCall wanted { hostFunctionName (words[1]), arguments };

        for (size_t index = expectedCallCursor; index < host.calls.size(); ++index)
        {
            if (host.calls[index] == wanted)
            {
                expectedCallCursor = index + 1;
                return expect (true, what);
            }
        }

        return expect (false, what);
    }

    if (kind == "no-call" && words.size() == 2)
    {
        for (size_t index = expectedCallCursor; index < host.calls.size(); ++index)
            if (host.calls[index].function == hostFunctionName (words[1]))
                return expect (false, what);

        return expect (true, what);
    }

    if (kind == "menu" && words.size() >= 3 && parseInteger (words[1]))
    {
        char name[1024] {};
        library.GetMenuName (*parseInteger (words[1]), name, sizeof (name));
        return expect (*parseInteger (words[1]) < library.GetMenuCount()
                           && command.textAfterFirstWord == words[1] + " " + name,
                       what);
    }

    const auto windows = chooserWindows();

    if (kind == "window" && words.size() == 2)
    {
        const bool visible = ! windows.empty() && IsWindowVisible (windows.front());

        if (words[1] == "visible")
            return expect (visible, what);
        if (words[1] == "hidden")
            return expect (! windows.empty() && ! visible, what);
        if (words[1] == "none")
            return expect (windows.empty(), what);
    }

    if (kind == "title")
        return expect (! windows.empty() && windowTitle (windows.front()) == command.textAfterFirstWord, what);

    if (kind == "text" && ! command.textAfterFirstWord.empty())
        return expect (! windows.empty() && IsWindowVisible (windows.front())
                           && showsText (windows.front(), command.textAfterFirstWord),
                       what);

    if (kind == "script" && ! command.textAfterFirstWord.empty())
    {
        for (auto& script : standin.loggedTexts (L"ExecuteScript"))
            if (script.find (command.textAfterFirstWord) != std::string::npos)
                return expect (true, what);

        return expect (false, what);
    }

    if (kind == "current-song" && words.size() == 2 && parseInteger (words[1]))
        return expect (host.currentSong == *parseInteger (words[1]), what);

    expect (false, "a known expectation: " + what);
}

void Simulator::expect (bool holds, const std::string& what)
{
    // Generous: a browser that starts cold under Wine can take seconds.
    constexpr ULONGLONG retryMilliseconds = 15000;
    const ULONGLONG now = GetTickCount64();

    if (! holds && retryingUntil == 0)
        retryingUntil = now + retryMilliseconds;

    if (! holds && now < retryingUntil)
    {
        retryCurrent = true;
        return;
    }

    retryingUntil = 0;

    if (holds)
        return print ("ok " + what);

    ++failedExpectations;
    print ("FAILED " + what);
}

void Simulator::print (const std::string& line)
{
    std::fwrite (line.data(), 1, line.size(), stdout);
    std::fputc ('\n', stdout);
    std::fflush (stdout);
}

LRESULT CALLBACK Simulator::windowProc (HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* simulator = reinterpret_cast<Simulator*> (GetWindowLongPtrW (window, GWLP_USERDATA));

    if (simulator != nullptr)
    {
        if (message == WM_TIMER && wParam == scriptTimer)
        {
            simulator->runNextCommand();
            return 0;
        }

        if (message == reportModeMessage)
        {
            simulator->reportMode (static_cast<int> (wParam));
            return 0;
        }

        if (message == WM_CLOSE)
        {
            PostQuitMessage (0);
            return 0;
        }
    }

    return DefWindowProcW (window, message, wParam, lParam);
}

} // namespace host_simulator
