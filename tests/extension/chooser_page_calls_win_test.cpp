// Calls from the chooser's page reaching the host, and the host's setlist
// changes reaching the page, through the real browser host and bridge.

#include "chooser_session_win_test.h"

#include <algorithm>

#include "extension/chooser_page.h"
#include "text/utf16.h"
#include "webview/bridge_scripts.h"

namespace tunewell::testrig
{
namespace
{

using PageCalls = ChooserSession;

const std::string twoSongsMarkup =
    "<li class='song-item' data-song-artist='Blue | Tide'><a class='song-select' data-slot='0'>Blue - Tide</a></li>"
    "<li class='song-item' data-song-artist='Rock &amp; Roll | Led Zeppelin'><a class='song-select' data-slot='1'>"
    "Rock &amp; Roll - Led Zeppelin</a></li>";

void postFromPage (const std::wstring& message)
{
    EXPECT_GE (standin_post_web_message (message.c_str()), 0);
}

bool scriptRan (const std::string& script)
{
    for (auto& logged : loggedTexts (L"ExecuteScript"))
        if (logged == script)
            return true;

    return false;
}

std::function<bool()> whenScriptRan (const std::string& script)
{
    return [script] { return scriptRan (script); };
}

bool logged (const wchar_t* operation, const std::string& text)
{
    const auto texts = loggedTexts (operation);
    return std::find (texts.begin(), texts.end(), text) != texts.end();
}

std::string lastLogged (const wchar_t* operation)
{
    const auto texts = loggedTexts (operation);
    return texts.empty() ? std::string() : texts.back();
}

/// What a browser left to its defaults does on stage, tried on the open
/// chooser: none of it may happen, keys must reach the list at once, the
/// browser must hear of minimising and moving, and the list must still answer.
TEST_F (PageCalls, theBrowserDoesOnlyWhatTheListNeeds)
{
    struct Key
    {
        const wchar_t* chord;
        const wchar_t* browserAction;
    };
    const std::vector<Key> browserKeys { { L"F5", L"Reload" },
                                         { L"Ctrl+R", L"Reload" },
                                         { L"F12", L"OpenDevToolsWindow" },
                                         { L"Ctrl+Shift+C", L"OpenDevToolsWindow" },
                                         { L"Ctrl+P", L"ShowPrintUI" },
                                         { L"Ctrl+F", L"Find" },
                                         { L"Alt+Left", L"GoBack" } };
    int documentsShown = 0;
    HWND chooser = nullptr;

    ShowingScript script;
    script.when ("the page", pageLoaded, [&] {
        chooser = visibleChooserWindow();
        documentsShown = standin_document_count();
        // A page turner, before anything was clicked.
        EXPECT_EQ (standin_press_key (L"PageDown"), 0);
        EXPECT_EQ (standin_drop_file (L"C:\\Setlists\\friday.pdf"), 0);
        EXPECT_EQ (standin_navigate_page (L"https://example.com/"), 0);
        EXPECT_EQ (standin_request_new_window (L"https://example.com/popup"), 0);
        for (const auto& key : browserKeys)
            EXPECT_EQ (standin_press_key (key.chord), 0);
        EXPECT_EQ (standin_post_web_message_from (L"https://ads.example.com/frame.html",
                                                  LR"({"id":7,"fn":"selectSong","params":[1]})"),
                   0);
        ShowWindow (chooser, SW_MINIMIZE);
    });
    script.when (
        "the browser hidden", [] { return lastLogged (L"put_IsVisible") == "0"; },
        [&] { ShowWindow (chooser, SW_RESTORE); });
    script.when (
        "the browser shown again", [] { return lastLogged (L"put_IsVisible") == "1"; },
        [&] { SetWindowPos (chooser, nullptr, 30, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE); });
    script.when (
        "every attempt seen by the browser",
        [&] {
            return logged (L"NavigationStarting", "https://example.com/")
                && ! loggedTexts (L"NewWindowRequested").empty()
                && loggedTexts (L"AcceleratorKeyPressed").size() == browserKeys.size() + 1
                && ! loggedTexts (L"NotifyParentWindowPositionChanged").empty();
        },
        [] { postFromPage (LR"({"id":8,"fn":"getSongListFromVantor","params":[]})"); });
    script.when ("the list's answer", whenScriptRan (ui::makeResolveScript (8, "\"" + twoSongsMarkup + "\"")),
                 clickCloseBox);
    runShowing (script);

    ASSERT_TRUE (script.allStepsRan());
    EXPECT_EQ (standin_document_count(), documentsShown) << "nothing replaced the chooser's page";
    EXPECT_TRUE (loggedTexts (L"NewWindow").empty());
    for (const auto& key : browserKeys)
        EXPECT_TRUE (loggedTexts (key.browserAction).empty()) << text::utf16ToUtf8 (key.chord);
    EXPECT_TRUE (logged (L"Scroll", "PageDown")) << "the page turner's key reached the list at once";
    EXPECT_TRUE (host.callsTo ("Vantor_SwitchToSong").empty()) << "a frame of another site called the host";

    // Restricted before the first document.
    const auto firstPage = logPosition (L"NavigateToString", chooserPageHtml);
    for (const auto* setting :
         { L"put_AreDevToolsEnabled", L"put_AreDefaultContextMenusEnabled", L"put_AreBrowserAcceleratorKeysEnabled",
           L"put_IsStatusBarEnabled", L"put_AreDefaultScriptDialogsEnabled", L"put_AllowExternalDrop" })
        EXPECT_LT (logPosition (setting, "0"), firstPage) << text::utf16ToUtf8 (setting);
}

TEST_F (PageCalls, theSongListCallIsResolvedWithTheHostsSongs)
{
    const auto resolve = ui::makeResolveScript (1, "\"" + twoSongsMarkup + "\"");

    ShowingScript script;
    script.when ("the page", pageLoaded,
                 [] { postFromPage (LR"({"id":1,"fn":"getSongListFromVantor","params":[]})"); });
    script.when ("the resolve script", whenScriptRan (resolve), clickCloseBox);
    runShowing (script);

    EXPECT_TRUE (scriptRan (resolve));
    EXPECT_EQ (host.countCallsTo ("Vantor_GetSongCount"), 3);
}

TEST_F (PageCalls, aSongClickSwitchesTheHostToThatSongAndABadIndexIsRejected)
{
    ShowingScript script;
    script.when ("the page", pageLoaded, [] { postFromPage (LR"({"id":2,"fn":"selectSong","params":[1]})"); });
    script.when ("the first answer", whenScriptRan (ui::makeResolveScript (2, "null")),
                 [] { postFromPage (LR"({"id":3,"fn":"selectSong","params":[2.5]})"); });
    script.when ("the rejection", whenScriptRan (ui::makeRejectScript (3)), clickCloseBox);
    runShowing (script);

    EXPECT_TRUE (script.allStepsRan());
    EXPECT_EQ (host.callsTo ("Vantor_SwitchToSong"),
               (std::vector<HostCall> { { "Vantor_SwitchToSong", { "1", "0" } } }));
    EXPECT_EQ (host.currentSong, 1);
}

TEST_F (PageCalls, aSetlistChangeRefreshesTheOpenPageAndTheHiddenOneAfterTheCloseBox)
{
    const std::string blueOnly =
        "<li class='song-item' data-song-artist='Blue | Tide'><a class='song-select' data-slot='0'>Blue - Tide</a></li>";

    ShowingScript script;
    script.when ("the page", pageLoaded, [&] {
        library->OnSetlistChanged ("Friday");
        clickCloseBox();
    });
    runShowing (script);

    EXPECT_TRUE (scriptRan ("setSongList(\"" + twoSongsMarkup + "\")"));

    setSongs ({ { "Blue", "Tide" } });
    library->OnSetlistChanged ("Friday");
    EXPECT_TRUE (scriptRan ("setSongList(\"" + blueOnly + "\")"));
}

TEST_F (PageCalls, afterThePagesCloseButtonASetlistChangeQueriesNothing)
{
    ShowingScript script;
    script.when ("the page", pageLoaded, [] { postFromPage (LR"({"id":4,"fn":"closeSongSelector","params":[]})"); });
    runShowing (script);

    host.clearLog();
    const auto scriptsBefore = loggedTexts (L"ExecuteScript").size();
    library->OnSetlistChanged ("Friday");

    EXPECT_TRUE (host.calls.empty());
    EXPECT_EQ (loggedTexts (L"ExecuteScript").size(), scriptsBefore);
}

} // namespace
} // namespace tunewell::testrig
