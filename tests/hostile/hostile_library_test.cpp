// The built library loaded from disk, as Vantor loads it, under a host whose
// lookup knows only some of the 102 functions, that throws from its
// functions, and that passes null strings and extreme numbers to every
// export. No session may leave a window, a module or a handle behind.

#include <climits>
#include <iostream>
#include <random>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include <gmock/gmock.h>

#include "built_library_suite.h"
#include "process_resources.h"
#include "test_host.h"

using tunewell::testrig::HostCall;
using tunewell::testrig::TestHost;
using testing::IsEmpty;

namespace
{

constexpr char libraryFile[] = TUNEWELL_LIBRARY_FILE;

class HostileLibrary : public tunewell::testrig::BuiltLibrarySuite<libraryFile>
{
protected:
    /// A whole session as a host runs it: registration, a show request and
    /// its answer, a setlist change and a menu query, then close.
    static void runSession (TestHost& host)
    {
        char menuName[32];
        library->VantorRegister (&TestHost::lookup, host.handle());
        library->InvokeMenu (0);
        tunewell::testrig::runWithTheShowingClosedAtOnce (library->OnModeChanged, 1);
        library->OnWidgetValueChanged ("showTunewell", 1.0);
        tunewell::testrig::runWithTheShowingClosedAtOnce (library->OnModeChanged, 1);
        library->OnSetlistChanged ("Friday");
        library->GetMenuName (0, menuName, sizeof (menuName));
        library->OnClose();
    }

    /// Every export with the worst arguments a host could pass.
    static void callEveryExportWithHostileArguments()
    {
        const char* devices[] = { nullptr, "In", nullptr };
        char buffer[4] = "abc";
        vantor::sdk::ExternalAPI_VantorScriptFunctionDefinition* signatures = nullptr;

        library->GetMenuCount();
        library->GetMenuName (INT_MIN, nullptr, 100);
        library->GetMenuName (INT_MAX, buffer, INT_MIN);
        library->InvokeMenu (INT_MIN);
        library->InvokeMenu (INT_MAX);
        library->GetPanelCount();
        library->GetPanelName (-1, nullptr, -1);
        library->GetPanelXML (INT_MAX, buffer, 0);
        library->RequestVantorScriptFunctionSignatureList (INT_MIN, &signatures);
        library->RequestVantorScriptFunctionSignatureList (0, nullptr);
        library->OnOpen();
        library->OnStatusChanged (INT_MIN);
        library->OnModeChanged (INT_MIN);
        library->OnModeChanged (INT_MAX);
        library->OnEditStateChanged (true);
        library->OnSwitchToWiringView();
        library->OnSwitchToPanelView();
        library->OnTempoChanged (-1e308);
        library->OnGlobalPlayStateChanged (1e308);
        library->OnTunerModeChanged (true);
        library->OnRackspaceActivated();
        library->OnSongChanged (INT_MIN, INT_MAX);
        library->OnSongPartChanged (INT_MAX, INT_MIN);
        library->OnVariationChanged (-1, -1);
        library->OnSetlistChanged (nullptr);
        library->OnWidgetValueChanged (nullptr, 1.0);
        library->OnWidgetStateChanged (nullptr, INT_MIN);
        library->OnWidgetCaptionChanged (nullptr, nullptr);
        library->OnMidiIn (nullptr, nullptr, INT_MIN);
        library->OnMidiIn ("Keys", nullptr, INT_MAX);
        library->OnMidiDeviceListChanged (devices, 3, nullptr, INT_MAX);
        library->OnMidiDeviceListChanged (nullptr, INT_MIN, devices, -1);
        library->hex2bin (nullptr, buffer);
        library->hex2bin ("4142", nullptr);
        EXPECT_STREQ (buffer, "abc");
    }
};

std::vector<HostCall> callsToFunctionsIn (const std::vector<HostCall>& calls, const std::set<std::string>& removed)
{
    std::vector<HostCall> kept;

    for (auto& call : calls)
        if (removed.count (call.function) == 0)
            kept.push_back (call);

    return kept;
}

TEST_F (HostileLibrary, ALookupWithoutAnySubsetOfFunctionsGivesExactlyTheRemainingCalls)
{
    TestHost completeHost;
    runSession (completeHost);
    const auto completeCalls = completeHost.calls;
    ASSERT_FALSE (completeCalls.empty());

    const unsigned seed = 20240612;
    std::mt19937 random (seed);
    const auto& names = tunewell::testrig::servedFunctionNames();

    for (int round = 0; round < 40; ++round)
    {
        std::set<std::string> removed;
        const auto share = random() % 101;

        for (auto& name : names)
            if (random() % 100 < share)
                removed.insert (name);

        TestHost host;
        host.removeFunctions (removed);
        runSession (host);

        // The session reads no answer that steers it, so the calls that stay
        // are the complete session's calls to the functions that are left.
        EXPECT_EQ (host.calls, callsToFunctionsIn (completeCalls, removed)) << "seed " << seed << ", round " << round;
        EXPECT_EQ (host.lookups, names) << "seed " << seed << ", round " << round;
    }
}

TEST_F (HostileLibrary, NullStringsAndExtremeNumbersAtEveryExportCallTheHostForNothing)
{
    callEveryExportWithHostileArguments();

    TestHost host;
    library->VantorRegister (&TestHost::lookup, host.handle());
    host.clearLog();
    callEveryExportWithHostileArguments();
    EXPECT_THAT (host.calls, IsEmpty());

    library->InvokeMenu (0);
    EXPECT_EQ (host.countCallsTo ("Vantor_SwitchToSetlistView"), 1);
}

TEST_F (HostileLibrary, AHostWhoseEveryFunctionThrowsCannotTakeTheLibraryDown)
{
    TestHost host;
    host.onCall = [] (const HostCall& call) { throw std::runtime_error (call.function); };

    runSession (host);
    library->VantorRegister (&TestHost::lookup, host.handle());
    callEveryExportWithHostileArguments();
    library->OnClose();
    library->OnClose();

    host.onCall = nullptr;
    host.clearLog();
    runSession (host);
    EXPECT_EQ (host.countCallsTo ("Vantor_RegisterCallback"), 3);
    EXPECT_EQ (host.countCallsTo ("Vantor_SwitchToSetlistView"), 2);
}

TEST_F (HostileLibrary, SessionsInAnyOrderLeaveNoWindowModuleOrHandleBehind)
{
    constexpr int cycles = 25;

    // One session first, so that whatever the first use sets up for good
    // (the process-wide message window) is already counted.
    TestHost firstHost;
    runSession (firstHost);
    const auto before = tunewell::testrig::currentProcessResources();

    for (int session = 0; session < cycles; ++session)
    {
        TestHost host;
        library->OnClose();
        library->InvokeMenu (0);
        runSession (host);
        library->VantorRegister (&TestHost::lookup, host.handle());
        library->VantorRegister (&TestHost::lookup, host.handle());
        tunewell::testrig::runWithTheShowingClosedAtOnce (library->OnModeChanged, 1);
        library->OnClose();
        library->OnClose();
    }

    const auto after = tunewell::testrig::currentProcessResources();
    std::cout << "after " << cycles << " cycles of three showings: " << after << " (before: " << before << ")\n";
    EXPECT_EQ (after, before);
}

} // namespace
