// The chooser's work on the host's thread: one bridge call from the page,
// and the song list for growing setlists from the test host.

#include <cstdio>
#include <string>

#include <benchmark/benchmark.h>

#include "chooser_bench.h"
#include "extension/lib_main.h"
#include "host_sdk/entry_points.h"
#include "recording_browser.h"
#include "test_host.h"
#include "webview/webview.h"

namespace tunewell::bench
{

namespace
{
// What the page sends when a performer clicks the fourth song.
constexpr const char* selectSongMessage = R"({"id":17,"fn":"selectSong","params":[3]})";

void dispatchBridgeCall (benchmark::State& state)
{
    ui::WebView view { testrig::recordingViewOptions() };
    auto& browser = *testrig::RecordingBrowser::of (view);
    int64_t selected = 0;

    view.bind ("selectSong", [&selected] (const value::ValueView& arguments) {
        selected += arguments[0].readInt64();
        return value::Value();
    });

    const std::string message (selectSongMessage);

    for (auto _ : state)
    {
        browser.postWebMessage (message);
        browser.clearOperations();
    }

    if (selected != 3 * static_cast<int64_t> (state.iterations()))
        state.SkipWithError ("the bound function did not see every call");

    state.SetItemsProcessed (state.iterations());
}

/// Names as setlists carry them, with accents and the characters that the
/// markup has to escape.
void fillSetlist (testrig::TestHost& host, int count)
{
    static const char* const names[] = { "Café del Mar", "Rock & Roll", "Don't Stop Me Now", "Ça plane pour moi",
                                         "<Intro>",      "Señorita",    "Bohemian Rhapsody", "Naïve \"Live\"" };
    host.songs.clear();

    for (int i = 0; i < count; ++i)
        host.songs.push_back (
            { std::string (names[i % 8]) + " " + std::to_string (i), "Artist " + std::to_string (i % 97), {}, "", "" });
}

/// The chooser registered with a test host through the entry points, as the
/// host does it, for as long as the object lives.
struct RegisteredChooser
{
    explicit RegisteredChooser (int songCount)
    {
        fillSetlist (host, songCount);
        VantorRegister (&testrig::TestHost::lookup, host.handle());
        host.clearLog();
    }

    ~RegisteredChooser() { OnClose(); }

    LibMain& chooser() { return dynamic_cast<LibMain&> (*vantor::sdk::extensionInstance); }

    testrig::TestHost host;
};

void buildSongList (benchmark::State& state, int songCount)
{
    RegisteredChooser registered (songCount);
    std::size_t characters = 0;

    for (auto _ : state)
    {
        characters += registered.chooser().getSongListFromVantor().size();
        // The test host logs every call; the log is not the chooser's cost to keep growing.
        registered.host.clearLog();
    }

    benchmark::DoNotOptimize (characters);
    state.SetItemsProcessed (state.iterations() * songCount);
}

void runRefreshScript (benchmark::State& state, int songCount)
{
    RegisteredChooser registered (songCount);
    ui::WebView view { testrig::recordingViewOptions() };
    auto& browser = *testrig::RecordingBrowser::of (view);

    for (auto _ : state)
    {
        registered.chooser().refreshChooserPage (view);
        registered.host.clearLog();
        browser.clearOperations();
    }

    state.SetItemsProcessed (state.iterations() * songCount);
}
} // namespace

void registerChooserBenchmarks()
{
    benchmark::RegisterBenchmark ("bridge/selectSong/tunewell", dispatchBridgeCall);

    for (int count : { 10, 1000, 10000 })
    {
        auto size = "/" + std::to_string (count);
        benchmark::RegisterBenchmark (("songs/getSongListFromVantor" + size).c_str(), [count] (
                                                                                          benchmark::State& state) {
            buildSongList (state, count);
        })->Unit (benchmark::kMicrosecond);
        benchmark::RegisterBenchmark (("songs/refresh_script" + size).c_str(), [count] (benchmark::State& state) {
            runRefreshScript (state, count);
        })->Unit (benchmark::kMicrosecond);
    }
}

} // namespace tunewell::bench
