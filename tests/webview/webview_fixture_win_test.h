#pragma once

// Shared helpers of the browser host tests: reading the stand-in runtime's
// record of what the view did, and running the thread's messages the way the
// host's loop would.

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "private_executable_regions_win.h"
#include "standinLoaderImage.h"
#include "standin_control.h"
#include "webview/webview2_browsers.h"
#include "webview/webview2_win.h"

namespace tunewell::ui::testing
{

/// Options for a view whose browser host maps the stand-in runtime in place
/// of Microsoft's loader.
inline WebView::Options standinViewOptions()
{
    WebView::Options options;
    options.browser = webView2Browsers (standinLoaderImage, standinLoaderImageSize);
    return options;
}

struct LogEntry
{
    std::wstring operation;
    std::wstring text;
};

/// A text that a control function copies out with the (buffer, capacity)
/// convention: asked for its length first, then copied whole.
inline std::wstring copiedText (const std::function<size_t (wchar_t*, size_t)>& copy)
{
    std::wstring text (copy (nullptr, 0), L'\0');
    copy (text.data(), text.size() + 1);
    return text;
}

inline std::vector<LogEntry> standinLog()
{
    std::vector<LogEntry> entries;

    for (size_t index = 0; index < standin_log_count(); ++index)
        entries.push_back ({ copiedText ([index] (wchar_t* buffer, size_t capacity) {
                                 return standin_log_operation (index, buffer, capacity);
                             }),
                             copiedText ([index] (wchar_t* buffer, size_t capacity) {
                                 return standin_log_text (index, buffer, capacity);
                             }) });

    return entries;
}

/// The texts of every logged call of one operation, in order.
inline std::vector<std::wstring> loggedTexts (const std::wstring& operation)
{
    std::vector<std::wstring> texts;

    for (auto& entry : standinLog())
        if (entry.operation == operation)
            texts.push_back (entry.text);

    return texts;
}

inline size_t logPosition (const std::wstring& operation)
{
    auto entries = standinLog();

    for (size_t index = 0; index < entries.size(); ++index)
        if (entries[index].operation == operation)
            return index;

    return entries.size();
}

/// Dispatches the thread's messages until the condition holds; gives up after
/// a bounded number of idle turns and reports whether it held.
inline bool runMessagesUntil (const std::function<bool()>& condition, int idleTurns = 500)
{
    for (int turn = 0; turn < idleTurns; ++turn)
    {
        MSG message {};

        while (PeekMessageW (&message, nullptr, 0, 0, PM_REMOVE))
        {
            TranslateMessage (&message);
            DispatchMessageW (&message);
        }

        if (condition())
            return true;

        Sleep (2);
    }

    return condition();
}

/// Runs every message that is queued now and those that they post in turn.
inline void runPendingMessages()
{
    runMessagesUntil ([] { return false; }, 20);
}

using tunewell::testrig::privateExecutableRegions;

/// Every test starts from a runtime that has forgotten earlier plans and logs.
/// The runtime here is mapped from memory by each view and unmapped with it,
/// so its browser exits with the view's last controller rather than a while
/// later on a timer of the unmapped image; the rest of its timing stays.
class StandinTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        standin_reset();
        standin_plan_browser_process (40, 5, 0, STANDIN_EXIT_RACE_FAILS);
    }
    void TearDown() override
    {
        runPendingMessages();
        standin_reset();
    }
};

} // namespace tunewell::ui::testing
