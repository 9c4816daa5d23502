#include <cstring>
#include <stdexcept>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "host_sdk/entry_points.h"
#include "host_sdk/host_functions.h"
#include "expected_host_function_names.h"
#include "recording_extension.h"
#include "test_host.h"

using tunewell::testrig::RecordingExtension;
using tunewell::testrig::TestHost;
using testing::ElementsAre;
using testing::ElementsAreArray;
using tunewell::testrig::expectedHostFunctionNames;

namespace
{

class EntryPoints : public testing::Test
{
protected:
    void SetUp() override { RecordingExtension::reset(); }

    void TearDown() override
    {
        OnClose();
        RecordingExtension::reset();
    }

    void registerWithHost()
    {
        VantorRegister (&TestHost::lookup, host.handle());
        RecordingExtension::events.clear();
    }

    TestHost host;
};

TEST_F (EntryPoints, RegistrationLooksUpEveryHostFunctionBeforeCreatingTheExtensionAndInitialisesItOnce)
{
    RecordingExtension::during = [this] (const std::string& event) {
        if (event == "Initialization")
        {
            EXPECT_EQ (host.lookups.size(), expectedHostFunctionNames.size());
        }
    };

    VantorRegister (&TestHost::lookup, host.handle());

    EXPECT_THAT (host.lookups, ElementsAreArray (expectedHostFunctionNames));
    EXPECT_THAT (RecordingExtension::events, ElementsAre ("Initialization"));
    EXPECT_EQ (RecordingExtension::created, 1);
    EXPECT_NE (vantor::sdk::extensionInstance, nullptr);
}

TEST_F (EntryPoints, RegistrationCompletesWhenTheHostKnowsNoFunction)
{
    host.removeAllFunctions();
    VantorRegister (&TestHost::lookup, host.handle());

    EXPECT_EQ (host.lookups.size(), expectedHostFunctionNames.size());
    EXPECT_EQ (vantor::sdk::Vantor_GetSongCount, nullptr);
    EXPECT_THAT (RecordingExtension::events, ElementsAre ("Initialization"));
}

TEST_F (EntryPoints, TheSdkVersionIs46)
{
    EXPECT_EQ (GetVantorSDKVersion(), 46);
}

TEST_F (EntryPoints, DescriptorQueryUsesATemporaryObjectAndTruncatesLikeSnprintf)
{
    char buffer[64];
    std::memset (buffer, 'x', sizeof (buffer));
    VantorQueryLibrary (buffer, 0);
    EXPECT_EQ (buffer[0], 'x');

    VantorQueryLibrary (buffer, 10);
    EXPECT_STREQ (buffer, "<Library>");
    EXPECT_EQ (buffer[10], 'x');

    VantorQueryLibrary (buffer, sizeof (buffer));
    EXPECT_STREQ (buffer, "<Library>recording extension</Library>");

    EXPECT_EQ (RecordingExtension::created, 3);
    EXPECT_EQ (RecordingExtension::destroyed, 3);
    EXPECT_EQ (vantor::sdk::extensionInstance, nullptr);
    EXPECT_TRUE (host.calls.empty());
}

TEST_F (EntryPoints, DescriptorQueryDuringRegistrationLeavesTheRegisteredExtensionInPlace)
{
    registerWithHost();
    auto* registered = vantor::sdk::extensionInstance;

    char buffer[64];
    VantorQueryLibrary (buffer, sizeof (buffer));

    EXPECT_EQ (vantor::sdk::extensionInstance, registered);
    InvokeMenu (0);
    EXPECT_THAT (RecordingExtension::events, ElementsAre ("GetProductDescription", "destroyed", "InvokeMenu 0"));
}

TEST_F (EntryPoints, StringResultsReturnTheFullLengthAndAlwaysTerminate)
{
    registerWithHost();
    static_cast<RecordingExtension*> (vantor::sdk::extensionInstance)->menuName = "Show Tunewell";

    char buffer[16];
    std::memset (buffer, 'x', sizeof (buffer));
    EXPECT_EQ (GetMenuName (0, buffer, 5), 13);
    EXPECT_STREQ (buffer, "Show");

    EXPECT_EQ (GetMenuName (0, buffer, 13), 13);
    EXPECT_STREQ (buffer, "Show Tunewel");

    EXPECT_EQ (GetMenuName (0, buffer, 14), 13);
    EXPECT_STREQ (buffer, "Show Tunewell");

    std::memset (buffer, 'x', sizeof (buffer));
    EXPECT_EQ (GetMenuName (0, buffer, 0), 13);
    EXPECT_EQ (GetMenuName (0, buffer, -5), 13);
    EXPECT_EQ (GetMenuName (0, nullptr, 10), 13);
    EXPECT_EQ (buffer[0], 'x');
}

TEST_F (EntryPoints, EveryEventReachesItsOperationWithItsArguments)
{
    registerWithHost();

    const unsigned char midi[] = { 0x90, 60, 100 };
    const char* inputs[] = { "In A", "In B" };
    const char* outputs[] = { "Out" };
    char buffer[32];
    vantor::sdk::ExternalAPI_VantorScriptFunctionDefinition* list = nullptr;

    EXPECT_EQ (GetMenuCount(), 3);
    InvokeMenu (-4);
    EXPECT_EQ (GetPanelCount(), 2);
    EXPECT_EQ (GetPanelName (1, buffer, sizeof (buffer)), 7);
    EXPECT_STREQ (buffer, "Panel 1");
    EXPECT_EQ (GetPanelXML (0, buffer, sizeof (buffer)), 8);
    EXPECT_EQ (RequestVantorScriptFunctionSignatureList (5, &list), 7);
    OnOpen();
    OnStatusChanged (3);
    OnModeChanged (1);
    OnEditStateChanged (true);
    OnSwitchToWiringView();
    OnSwitchToPanelView();
    OnTempoChanged (121.5);
    OnGlobalPlayStateChanged (0.25);
    OnTunerModeChanged (false);
    OnRackspaceActivated();
    OnSongChanged (4, 2);
    OnSongPartChanged (5, 6);
    OnVariationChanged (7, 8);
    OnSetlistChanged ("Friday");
    OnWidgetValueChanged ("showTunewell", 1.0);
    OnWidgetStateChanged ("knob", 9);
    OnWidgetCaptionChanged ("label", "caption");
    EXPECT_TRUE (OnMidiIn ("Keys", midi, 3));
    OnMidiDeviceListChanged (inputs, 2, outputs, 1);

    EXPECT_THAT (RecordingExtension::events,
                 ElementsAre ("GetMenuCount", "InvokeMenu -4", "GetPanelCount", "GetPanelName 1", "GetPanelXML 0",
                              "RequestVantorScriptFunctionSignatureList 5", "OnOpen", "OnStatusChanged 3",
                              "OnModeChanged 1", "OnEditStateChanged 1", "OnSwitchToWiringView", "OnSwitchToPanelView",
                              "OnTempoChanged 121.5", "OnGlobalPlayStateChanged 0.25", "OnTunerModeChanged 0",
                              "OnRackspaceActivated", "OnSongChanged 4 2", "OnSongPartChanged 5 6",
                              "OnVariationChanged 7 8", "OnSetlistChanged Friday",
                              "OnWidgetValueChanged showTunewell 1", "OnWidgetStateChanged knob 9",
                              "OnWidgetCaptionChanged label caption", "OnMidiIn Keys 3 144",
                              "OnMidiDeviceListChanged [In A,In B] [Out]"));
}

TEST_F (EntryPoints, DeviceListsWithNoEntriesOrNoPointersArriveEmpty)
{
    registerWithHost();
    const char* inputs[] = { "In A", nullptr };

    OnMidiDeviceListChanged (nullptr, 0, nullptr, 0);
    OnMidiDeviceListChanged (inputs, -3, inputs, 0);
    OnMidiDeviceListChanged (nullptr, 5, inputs, 2);

    EXPECT_THAT (RecordingExtension::events,
                 ElementsAre ("OnMidiDeviceListChanged [] []", "OnMidiDeviceListChanged [] []",
                              "OnMidiDeviceListChanged [] [In A,]"));
}

TEST_F (EntryPoints, NullStringsFromTheHostArriveAsEmptyStrings)
{
    registerWithHost();

    OnSetlistChanged (nullptr);
    OnWidgetValueChanged (nullptr, 1.0);
    OnWidgetCaptionChanged (nullptr, nullptr);
    EXPECT_TRUE (OnMidiIn (nullptr, nullptr, 0));

    EXPECT_THAT (RecordingExtension::events, ElementsAre ("OnSetlistChanged ", "OnWidgetValueChanged  1",
                                                          "OnWidgetCaptionChanged  ", "OnMidiIn  0 -1"));
}

TEST_F (EntryPoints, BaseDefaultsAnswerNeutrally)
{
    RecordingExtension::createMinimal = true;
    registerWithHost();

    char buffer[8] = "xxxxxxx";
    auto* untouched = reinterpret_cast<vantor::sdk::ExternalAPI_VantorScriptFunctionDefinition*> (&buffer);
    auto* list = untouched;
    const unsigned char midi[] = { 0xF8 };

    EXPECT_EQ (GetMenuCount(), 0);
    EXPECT_EQ (GetPanelCount(), 0);
    EXPECT_EQ (GetPanelName (3, buffer, sizeof (buffer)), 0);
    EXPECT_STREQ (buffer, "");
    EXPECT_EQ (GetMenuName (0, buffer, sizeof (buffer)), 0);
    EXPECT_FALSE (OnMidiIn ("Keys", midi, 1));
    EXPECT_EQ (RequestVantorScriptFunctionSignatureList (0, &list), 0);
    EXPECT_EQ (list, untouched);
}

TEST_F (EntryPoints, EventsWithoutAnExtensionDoNothing)
{
    char buffer[8] = "xxxxxxx";

    InvokeMenu (0);
    OnModeChanged (1);
    OnSetlistChanged ("Friday");
    OnClose();
    EXPECT_EQ (GetMenuCount(), 0);
    EXPECT_EQ (GetMenuName (0, buffer, sizeof (buffer)), 0);
    EXPECT_STREQ (buffer, "");
    EXPECT_FALSE (OnMidiIn ("Keys", nullptr, 0));
    EXPECT_TRUE (RecordingExtension::events.empty());
}

TEST_F (EntryPoints, CloseRunsTheExtensionsOnCloseThenDeletesItOnce)
{
    registerWithHost();

    OnClose();
    OnClose();

    EXPECT_THAT (RecordingExtension::events, ElementsAre ("OnClose", "destroyed"));
    EXPECT_EQ (RecordingExtension::destroyed, 1);
    EXPECT_EQ (vantor::sdk::extensionInstance, nullptr);
}

TEST_F (EntryPoints, CloseFromInsideARunningCallDeletesTheExtensionWhenThatCallReturns)
{
    registerWithHost();
    RecordingExtension::during = [] (const std::string& event) {
        if (event == "OnModeChanged 1")
        {
            OnClose();
            EXPECT_EQ (RecordingExtension::destroyed, 0);
            OnModeChanged (2);
        }
    };

    OnModeChanged (1);

    EXPECT_THAT (RecordingExtension::events, ElementsAre ("OnModeChanged 1", "OnClose", "destroyed"));
    EXPECT_EQ (vantor::sdk::extensionInstance, nullptr);
}

TEST_F (EntryPoints, NoExceptionLeavesAnEntryPoint)
{
    registerWithHost();
    RecordingExtension::during = [] (const std::string& event) {
        if (event != "OnClose")
            throw std::runtime_error ("extension failure");
    };

    char buffer[8] = "xxxxxxx";
    const unsigned char midi[] = { 0xF8 };
    vantor::sdk::ExternalAPI_VantorScriptFunctionDefinition* list = nullptr;

    EXPECT_EQ (GetMenuCount(), 0);
    EXPECT_EQ (GetMenuName (0, buffer, sizeof (buffer)), 0);
    EXPECT_STREQ (buffer, "");
    EXPECT_FALSE (OnMidiIn ("Keys", midi, 1));
    EXPECT_EQ (RequestVantorScriptFunctionSignatureList (0, &list), 0);
    EXPECT_NO_THROW (OnModeChanged (1));
    EXPECT_NO_THROW (OnSetlistChanged ("x"));

    std::memset (buffer, 'x', sizeof (buffer));
    EXPECT_NO_THROW (VantorQueryLibrary (buffer, sizeof (buffer)));
    EXPECT_STREQ (buffer, "");
}

TEST_F (EntryPoints, AFailedCreationLeavesNoExtension)
{
    RecordingExtension::failCreation = true;
    char buffer[8] = "xxxxxxx";

    EXPECT_NO_THROW (VantorRegister (&TestHost::lookup, host.handle()));
    EXPECT_EQ (vantor::sdk::extensionInstance, nullptr);
    EXPECT_NO_THROW (VantorQueryLibrary (buffer, sizeof (buffer)));
    EXPECT_STREQ (buffer, "");
}

TEST_F (EntryPoints, AFailingOnCloseStillDeletesTheExtension)
{
    registerWithHost();
    RecordingExtension::during = [] (const std::string&) { throw 42; };

    EXPECT_NO_THROW (OnClose());
    EXPECT_EQ (RecordingExtension::destroyed, 1);
    EXPECT_EQ (vantor::sdk::extensionInstance, nullptr);
}

} // namespace
