// Calls from the chooser's page reaching the host, and the host's setlist
// changes reaching the page, through the real browser host and bridge.

#include "chooser_session_win_test.h"

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
