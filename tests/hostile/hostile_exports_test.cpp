// Every export as a misbehaving host calls it: null strings, extreme counts,
// indices and buffer sizes, an extension that throws from every operation,
// and calls in orders the host is not supposed to make. Each gets a defined
// outcome and leaves the library able to serve the next call.

#include <climits>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

#include <gmock/gmock.h>

#include "host_sdk/entry_points.h"
#include "host_sdk/vantor_api.h"
#include "host_sdk/vantor_utils.h"
#include "recording_extension.h"
#include "test_host.h"

using tunewell::testrig::RecordingExtension;
using tunewell::testrig::TestHost;
using testing::ElementsAre;
using testing::IsEmpty;

namespace
{

/// One export called with the worst arguments a host could pass.
struct HostileCall
{
    const char* exportName;
    std::function<int()> call;
    /// What the extension must see when the call reaches it.
    std::string expectedEvent;
};

const char* devicesWithAHole[] = { nullptr, "In" };
char untouchedBuffer[4] = "abc";
vantor::sdk::ExternalAPI_VantorScriptFunctionDefinition* signatureList = nullptr;

std::vector<HostileCall> hostileCalls()
{
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    constexpr double infinity = std::numeric_limits<double>::infinity();

    return {
        { "GetMenuCount", [] { return GetMenuCount(); }, "GetMenuCount" },
        { "GetMenuName", [] { return GetMenuName (INT_MIN, nullptr, 100); }, "GetMenuName -2147483648" },
        { "InvokeMenu",
          [] {
              InvokeMenu (INT_MIN);
              return 0;
          },
          "InvokeMenu -2147483648" },
        { "GetPanelCount", [] { return GetPanelCount(); }, "GetPanelCount" },
        { "GetPanelName", [] { return GetPanelName (INT_MAX, untouchedBuffer, INT_MIN); }, "GetPanelName 2147483647" },
        { "GetPanelXML", [] { return GetPanelXML (-1, nullptr, 0); }, "GetPanelXML -1" },
        { "RequestVantorScriptFunctionSignatureList",
          [] { return RequestVantorScriptFunctionSignatureList (INT_MIN, &signatureList); },
          "RequestVantorScriptFunctionSignatureList -2147483648" },
        { "OnOpen",
          [] {
              OnOpen();
              return 0;
          },
          "OnOpen" },
        { "OnStatusChanged",
          [] {
              OnStatusChanged (INT_MIN);
              return 0;
          },
          "OnStatusChanged -2147483648" },
        { "OnModeChanged",
          [] {
              OnModeChanged (INT_MAX);
              return 0;
          },
          "OnModeChanged 2147483647" },
        { "OnEditStateChanged",
          [] {
              OnEditStateChanged (true);
              return 0;
          },
          "OnEditStateChanged 1" },
        { "OnSwitchToWiringView",
          [] {
              OnSwitchToWiringView();
              return 0;
          },
          "OnSwitchToWiringView" },
        { "OnSwitchToPanelView",
          [] {
              OnSwitchToPanelView();
              return 0;
          },
          "OnSwitchToPanelView" },
        { "OnTempoChanged",
          [=] {
              OnTempoChanged (nan);
              return 0;
          },
          "OnTempoChanged nan" },
        { "OnGlobalPlayStateChanged",
          [=] {
              OnGlobalPlayStateChanged (-infinity);
              return 0;
          },
          "OnGlobalPlayStateChanged -inf" },
        { "OnTunerModeChanged",
          [] {
              OnTunerModeChanged (false);
              return 0;
          },
          "OnTunerModeChanged 0" },
        { "OnRackspaceActivated",
          [] {
              OnRackspaceActivated();
              return 0;
          },
          "OnRackspaceActivated" },
        { "OnSongChanged",
          [] {
              OnSongChanged (INT_MIN, INT_MAX);
              return 0;
          },
          "OnSongChanged -2147483648 2147483647" },
        { "OnSongPartChanged",
          [] {
              OnSongPartChanged (-1, INT_MIN);
              return 0;
          },
          "OnSongPartChanged -1 -2147483648" },
        { "OnVariationChanged",
          [] {
              OnVariationChanged (INT_MAX, -1);
              return 0;
          },
          "OnVariationChanged 2147483647 -1" },
        { "OnSetlistChanged",
          [] {
              OnSetlistChanged (nullptr);
              return 0;
          },
          "OnSetlistChanged " },
        { "OnWidgetValueChanged",
          [] {
              OnWidgetValueChanged (nullptr, 1.0);
              return 0;
          },
          "OnWidgetValueChanged  1" },
        { "OnWidgetStateChanged",
          [] {
              OnWidgetStateChanged (nullptr, INT_MIN);
              return 0;
          },
          "OnWidgetStateChanged  -2147483648" },
        { "OnWidgetCaptionChanged",
          [] {
              OnWidgetCaptionChanged (nullptr, nullptr);
              return 0;
          },
          "OnWidgetCaptionChanged  " },
        { "OnMidiIn", [] { return static_cast<int> (OnMidiIn (nullptr, nullptr, INT_MIN)); },
          "OnMidiIn  -2147483648 -1" },
        { "OnMidiDeviceListChanged",
          [] {
              OnMidiDeviceListChanged (devicesWithAHole, 2, nullptr, INT_MAX);
              return 0;
          },
          "OnMidiDeviceListChanged [,In] []" },
    };
}

class HostileExports : public testing::Test
{
protected:
    void SetUp() override { RecordingExtension::reset(); }

    void TearDown() override
    {
        RecordingExtension::during = nullptr;
        OnClose();
        RecordingExtension::reset();
    }

    void registerWithHost()
    {
        VantorRegister (&TestHost::lookup, host.handle());
        RecordingExtension::events.clear();
    }

    /// A plain call that must still work after whatever went before.
    void expectHealthyExtension()
    {
        RecordingExtension::during = nullptr;
        char buffer[16];
        EXPECT_EQ (GetMenuName (0, buffer, sizeof (buffer)), 10);
        EXPECT_STREQ (buffer, "Menu entry");
    }

    TestHost host;
};

TEST_F (HostileExports, NullStringsAndExtremeNumbersReachTheExtensionAsDefinedArguments)
{
    registerWithHost();

    for (auto& hostile : hostileCalls())
    {
        RecordingExtension::events.clear();
        hostile.call();
        EXPECT_THAT (RecordingExtension::events, ElementsAre (hostile.expectedEvent)) << hostile.exportName;
    }

    EXPECT_STREQ (untouchedBuffer, "abc");
    expectHealthyExtension();
}

TEST_F (HostileExports, EveryExportSwallowsWhateverTheExtensionThrowsAndAnswersNeutrally)
{
    const std::vector<std::function<void()>> failures = {
        [] { throw std::runtime_error ("extension failure"); },
        [] { throw 42; },
        [] { throw std::bad_alloc(); },
    };

    registerWithHost();

    for (auto& failure : failures)
    {
        RecordingExtension::during = [&] (const std::string&) { failure(); };

        for (auto& hostile : hostileCalls())
        {
            int result = -1;
            EXPECT_NO_THROW (result = hostile.call()) << hostile.exportName;
            EXPECT_EQ (result, 0) << hostile.exportName;
        }
    }

    EXPECT_STREQ (untouchedBuffer, "abc");
    EXPECT_EQ (RecordingExtension::destroyed, 0);
    expectHealthyExtension();
}

TEST_F (HostileExports, ExportsCalledWithoutAnExtensionDoNothing)
{
    for (auto& hostile : hostileCalls())
        EXPECT_EQ (hostile.call(), 0) << hostile.exportName << " before registration";

    registerWithHost();
    OnClose();
    OnClose();
    RecordingExtension::events.clear();

    for (auto& hostile : hostileCalls())
        EXPECT_EQ (hostile.call(), 0) << hostile.exportName << " after close";

    EXPECT_THAT (RecordingExtension::events, IsEmpty());
    EXPECT_EQ (RecordingExtension::created, 1);
    EXPECT_EQ (RecordingExtension::destroyed, 1);
    EXPECT_THAT (host.calls, IsEmpty());
}

TEST_F (HostileExports, RegistrationToleratesANullLookupAndNullBuffers)
{
    VantorRegister (nullptr, nullptr);
    EXPECT_THAT (RecordingExtension::events, ElementsAre ("Initialization"));
    expectHealthyExtension();

    // A descriptor query into no buffer computes the text and writes nothing.
    VantorQueryLibrary (nullptr, 100);
    char buffer[8] = "xxxxxxx";
    VantorQueryLibrary (buffer, INT_MIN);
    EXPECT_STREQ (buffer, "xxxxxxx");

    hex2bin (nullptr, buffer);
    hex2bin ("41", nullptr);
    EXPECT_STREQ (buffer, "xxxxxxx");
    expectHealthyExtension();
}

TEST_F (HostileExports, ASecondRegistrationClosesAndReplacesTheFirstExtensionWithoutLosingIt)
{
    registerWithHost();
    VantorRegister (&TestHost::lookup, host.handle());

    EXPECT_EQ (RecordingExtension::created, 2);
    EXPECT_EQ (RecordingExtension::destroyed, 1);
    EXPECT_THAT (RecordingExtension::events, ElementsAre ("OnClose", "destroyed", "Initialization"));
    expectHealthyExtension();

    OnClose();
    EXPECT_EQ (RecordingExtension::destroyed, 2);
}

} // namespace
