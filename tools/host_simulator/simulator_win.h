#pragma once

#include <windows.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "script_command.h"
#include "setlist_file.h"
#include "standin_control_win.h"
#include "test_host.h"
#include "tunewell_exports.h"

namespace host_simulator
{

/// Stands in for Vantor: loads an extension library, serves it the host
/// functions over a setlist, keeps a main window and its own message loop,
/// and runs script commands from that loop, one at a time and only once the
/// thread's posted messages have been handled, so that any loop the
/// extension runs nests inside the host's as it does in Vantor. Every call
/// between the two sides is written to standard output as one line.
/// Single-threaded apart from the reader of standard input.
class Simulator
{
public:
    Simulator (const std::string& libraryPath, std::vector<Setlist> setlists);
    ~Simulator();

    Simulator (const Simulator&) = delete;
    Simulator& operator= (const Simulator&) = delete;

    /// Script lines to run; may be called from any thread.
    void addScriptLine (std::string line);
    /// No more lines will come; the simulator quits once it has run them.
    void endOfScript();

    /// Registers the library, runs the host's loop until a quit message and
    /// closes the library. Returns 1 when an expectation failed or the
    /// library could not be used, otherwise the quit message's exit code.
    int run();

private:
    std::string libraryPath;
    tunewell::testrig::TunewellLibrary library;
    tunewell::testrig::TestHost host;
    std::vector<Setlist> setlists;
    StandinControl standin;
    HWND mainWindow = nullptr;
    std::wstring windowClassName;

    std::mutex scriptMutex;
    std::deque<std::string> scriptLines;
    bool scriptEnded = false;

    ULONGLONG pausedUntil = 0;
    // An expectation that does not hold yet is tried again on the next
    // turns (the browser starts and loads on timers of its own) until this
    // moment; zero while none waits.
    ULONGLONG retryingUntil = 0;
    bool retryCurrent = false;
    size_t expectedCallCursor = 0;
    int failedExpectations = 0;

    bool createMainWindow();
    void registerLibrary();
    void switchToSetlist (int index);
    void onHostCall (const tunewell::testrig::HostCall& call);
    void runNextCommand();
    void execute (const ScriptCommand& command);
    void executeExpectation (const ScriptCommand& command);
    void reportMode (int mode);
    void clickCloseBox();
    /// A Chromium-mode request through the stand-in control; its answer, or
    /// why it failed, is logged.
    void askBrowser (const std::string& what, const std::function<bool (std::string& reply)>& request);
    void expect (bool holds, const std::string& what);

    static void print (const std::string& line);
    static LRESULT CALLBACK windowProc (HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};

} // namespace host_simulator
