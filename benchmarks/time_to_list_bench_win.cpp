// Time to list: from the host's report of setlist mode to the page's song
// list call answered, through the shipped library, Microsoft's loader inside
// it and the stand-in runtime with its modelled browser start (the run's
// TUNEWELL_STANDIN_BROWSER_PROCESS, tools/bench.sh sets 2000,150,...). The
// first showing starts the browser cold; the next one follows a showing that
// ended by the close box, the one after that a showing that ended by the
// page's close button. Recovery: from a process failure in the open window
// (the browser process's exit, a renderer's exit) to the list shown again.

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "standin_control.h"
#include "test_host.h"
#include "tunewell_exports.h"

namespace
{
using Clock = std::chrono::steady_clock;
using namespace tunewell::testrig;

constexpr int rounds = 3;
constexpr UINT pollMilliseconds = 1;
constexpr auto givingUp = std::chrono::seconds (30);
constexpr const wchar_t* songListCall = LR"({"id":1,"fn":"getSongListFromVantor","params":[]})";
constexpr const wchar_t* pageCloseCall = LR"({"id":2,"fn":"closeSongSelector","params":[]})";

size_t countLogged (const wchar_t* operation, const wchar_t* prefix = L"")
{
    size_t count = 0;

    for (size_t index = 0; index < standin_log_count(); ++index)
    {
        wchar_t name[64] {};
        standin_log_operation (index, name, 64);
        std::wstring text (standin_log_text (index, nullptr, 0), L'\0');
        standin_log_text (index, text.data(), text.size() + 1);

        if (std::wstring (name) == operation && text.rfind (prefix, 0) == 0)
            ++count;
    }

    return count;
}

HWND visibleChooserWindow()
{
    HWND found = nullptr;
    EnumThreadWindows (
        GetCurrentThreadId(),
        [] (HWND window, LPARAM result) {
            wchar_t title[16] {};
            GetWindowTextW (window, title, 16);
            if (IsWindowVisible (window) && std::wstring (title) == L"Tunewell")
            {
                *reinterpret_cast<HWND*> (result) = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM> (&found));
    return found;
}

/// One showing, followed from a timer of a window of its own: the chooser's
/// loop dispatches it as any host message, and the stand-in's delays run on
/// timers too, which posted messages would hold back.
class TimedShowing
{
public:
    /// failedKind: a COREWEBVIEW2_PROCESS_FAILED_KIND to raise once the list
    /// is shown, timing the recovery; negative for none.
    explicit TimedShowing (std::function<void()> endShowing, int failedKind = -1)
        : end (std::move (endShowing)), failKind (failedKind)
    {
    }

    /// Milliseconds from the failure to the list's answer again; negative
    /// when it never came.
    double recoveredAfter = -1;

    /// Milliseconds from setlist mode to the list's answer; negative when it
    /// never came.
    double run (TunewellLibrary& library)
    {
        pagesBefore = countLogged (L"NavigateToString");
        answersBefore = countLogged (L"ExecuteScript", L"window._fnBindings[1].resolve(");
        window = CreateWindowExW (0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        SetWindowLongPtrW (window, GWLP_USERDATA, reinterpret_cast<LONG_PTR> (this));
        SetTimer (window, 1, pollMilliseconds, poll);

        library.InvokeMenu (0);
        start = Clock::now();
        library.OnModeChanged (1);

        KillTimer (window, 1);
        DestroyWindow (window);
        return listedAfter;
    }

private:
    std::function<void()> end;
    int failKind;
    HWND window = nullptr;
    Clock::time_point start, failedAt;
    bool recovering = false;
    size_t pagesBefore = 0, answersBefore = 0;
    bool asked = false, ended = false;
    double listedAfter = -1;

    static void CALLBACK poll (HWND window, UINT, UINT_PTR, DWORD)
    {
        reinterpret_cast<TimedShowing*> (GetWindowLongPtrW (window, GWLP_USERDATA))->step();
    }

    void step()
    {
        if (ended)
            return;

        if (! asked && visibleChooserWindow() != nullptr && countLogged (L"NavigateToString") > pagesBefore)
        {
            // What the page does first once it runs.
            asked = standin_post_web_message (songListCall) == 0;
        }
        else if (asked && countLogged (L"ExecuteScript", L"window._fnBindings[1].resolve(") > answersBefore)
        {
            const double elapsed =
                std::chrono::duration<double, std::milli> (Clock::now() - (recovering ? failedAt : start)).count();
            (recovering ? recoveredAfter : listedAfter) = elapsed;

            if (recovering || failKind < 0)
                return finish();

            // The page is reloaded, or opened in a new browser, and asks again.
            recovering = true;
            asked = false;
            pagesBefore = countLogged (L"NavigateToString");
            answersBefore = countLogged (L"ExecuteScript", L"window._fnBindings[1].resolve(");
            failedAt = Clock::now();
            standin_fail_process (failKind);
        }
        else if (Clock::now() - start > givingUp)
        {
            finish();
        }
    }

    void finish()
    {
        ended = true;
        end();
    }
};

void clickCloseBox()
{
    if (HWND window = visibleChooserWindow())
        PostMessageW (window, WM_CLOSE, 0, 0);
}

void clickPageClose()
{
    standin_post_web_message (pageCloseCall);
}

double median (std::vector<double> values)
{
    std::sort (values.begin(), values.end());
    return values[values.size() / 2];
}
} // namespace

int main()
{
    TunewellLibrary library (TUNEWELL_LIBRARY_FILE);
    TestHost host;

    if (! library.library.isLoaded() || ! library.missingExports.empty())
    {
        std::fprintf (stderr, "cannot load %s\n", TUNEWELL_LIBRARY_FILE);
        return 1;
    }

    host.songs.push_back ({ "Blue", "Tide", {}, "", "" });
    std::vector<double> first, afterCloseBox, afterPageClose, browserExit, rendererExit;

    for (int round = 0; round < rounds; ++round)
    {
        // A reset forgets the running browser, so each round starts cold;
        // the documented behaviours stay on.
        standin_reset();
        standin_close_controllers_with_parent (1);
        standin_delay_document_scripts (0);
        library.VantorRegister (&TestHost::lookup, host.handle());

        first.push_back (TimedShowing (clickCloseBox).run (library));
        afterCloseBox.push_back (TimedShowing (clickPageClose).run (library));
        afterPageClose.push_back (TimedShowing (clickCloseBox).run (library));
        std::printf ("round %d: %.0f, %.0f, %.0f ms; browser starts %d\n", round + 1, first.back(),
                     afterCloseBox.back(), afterPageClose.back(), standin_browser_start_count());

        TimedShowing browserDies (clickCloseBox, 0), rendererDies (clickCloseBox, 1);
        browserDies.run (library);
        rendererDies.run (library);
        browserExit.push_back (browserDies.recoveredAfter);
        rendererExit.push_back (rendererDies.recoveredAfter);
        std::printf ("round %d: recovery %.0f, %.0f ms; browser starts %d\n", round + 1, browserExit.back(),
                     rendererExit.back(), standin_browser_start_count());
        library.OnClose();
    }

    std::printf ("time-to-list first %.0f ms\n", median (first));
    std::printf ("time-to-list after-close-box %.0f ms\n", median (afterCloseBox));
    std::printf ("time-to-list after-page-close %.0f ms\n", median (afterPageClose));
    std::printf ("recovery browser-exit %.0f ms\n", median (browserExit));
    std::printf ("recovery renderer-exit %.0f ms\n", median (rendererExit));
    return 0;
}
