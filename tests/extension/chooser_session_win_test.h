#pragma once

// The built library over the stand-in browser runtime, registered with the
// test host and driven as Vantor drives it. A showing keeps the test's thread
// in its message loop, so each test hands a script of steps to a window of
// its own; the showing's loop dispatches them like any host message.

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "standin_control.h"
#include "test_host.h"
#include "tunewell_exports.h"

namespace tunewell::testrig
{

/// Steps that run one after another from the thread's message queue, each
/// once its condition holds, which is looked at on a timer: the browser's
/// delays run on timers too. A step that waits too long, or a showing that
/// outlives the last step, is reported and ended with a quit (exit code
/// abandonedExitCode), so that no test hangs.
class ShowingScript
{
public:
    static constexpr int abandonedExitCode = 99;

    ShowingScript();
    ~ShowingScript();

    ShowingScript (const ShowingScript&) = delete;
    ShowingScript& operator= (const ShowingScript&) = delete;

    ShowingScript& when (std::string description, std::function<bool()> ready, std::function<void()> action);
    ShowingScript& then (std::function<void()> action);
    /// As `when`; kept for the steps that must let a quit message be taken
    /// while they wait, which every step now does.
    ShowingScript& whenOnTimer (std::string description, std::function<bool()> ready, std::function<void()> action);

    /// Starts the steps; they run once the thread dispatches messages.
    void start();
    /// Stops them (call once the showing has returned).
    void stop() { stopped = true; }

    bool allStepsRan() const { return nextStep == steps.size(); }
    /// What was waited for in vain.
    std::vector<std::string> problems;

private:
    struct Step
    {
        std::string description;
        std::function<bool()> ready;
        std::function<void()> action;
        bool waitsOnTimer = false;
    };

    HWND window = nullptr;
    std::vector<Step> steps;
    size_t nextStep = 0;
    ULONGLONG waitingSince = 0;
    bool stopped = false;

    void turn();
    void postTurn();
    void abandon (const std::string& problem);
    static LRESULT CALLBACK windowProc (HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};

/// The chooser's desktop windows on this thread, visible ones first.
std::vector<HWND> chooserWindows();
/// The visible chooser window, or null.
HWND visibleChooserWindow();
/// A visible window inside this one shows text that starts with this.
bool windowShowsText (HWND window, const std::wstring& start);
/// Posts a click on the visible chooser window's close box.
void clickCloseBox();

/// Runs the messages queued now and those they post in turn.
void runPendingMessages();

/// Dispatches the thread's messages (a quit stays queued) until the
/// condition holds, at most this long; whether it came to hold.
bool waitFor (const std::function<bool()>& condition, DWORD milliseconds = 10000);

/// Removes a quit message waiting for this thread and gives its exit code.
std::optional<int> takePendingQuit();

/// Every logged stand-in operation of this kind, in order, as UTF-8.
std::vector<std::string> loggedTexts (const wchar_t* operation);
/// The position in the stand-in's log of the first entry of this kind with
/// exactly this text (UTF-8), or the log's size.
size_t logPosition (const wchar_t* operation, const std::string& text);

class ChooserSession : public ::testing::Test
{
public:
    /// The host's answer to a show request: setlist mode, which runs the
    /// showing with these steps. Returns once the showing has ended.
    void runShowing (ShowingScript& script);

protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();

    void SetUp() override;
    void TearDown() override;

    /// The chooser is showing and its page has been handed to the browser.
    static bool pageLoaded()
    {
        return visibleChooserWindow() != nullptr && ! loggedTexts (L"NavigateToString").empty();
    }

    void setSongs (const std::vector<std::pair<std::string, std::string>>& namesAndArtists);

    static TunewellLibrary* library;
    TestHost host;
};

} // namespace tunewell::testrig
