// The built library as the host sees it: loaded from disk, reached only
// through its exported functions.

#include <cstring>
#include <stdexcept>

#include <gmock/gmock.h>

#include "built_library_suite.h"
#include "expected_host_function_names.h"
#include "test_host.h"

using tunewell::testrig::HostCall;
using tunewell::testrig::TestHost;
using testing::ElementsAre;
using testing::ElementsAreArray;
using testing::IsEmpty;

namespace
{

constexpr char libraryFile[] = TUNEWELL_LIBRARY_FILE;

class Library : public tunewell::testrig::BuiltLibrarySuite<libraryFile>
{
protected:
    void registerWithHost()
    {
        library->VantorRegister (&TestHost::lookup, host.handle());
        host.clearLog();
    }

    TestHost host;
};

TEST_F (Library, ExportsEveryEntryPointUnderItsPlainName)
{
    EXPECT_THAT (library->missingExports, IsEmpty());
    EXPECT_EQ (library->GetVantorSDKVersion(), 46);
}

TEST_F (Library, RegistrationLooksUpAllHostFunctionsThenInitialises)
{
    library->VantorRegister (&TestHost::lookup, host.handle());

    EXPECT_THAT (host.lookups, ElementsAreArray (tunewell::testrig::expectedHostFunctionNames));
    EXPECT_THAT (host.calls, ElementsAre (HostCall { "Vantor_RegisterCallback", { "OnWidgetValueChanged" } },
                                          HostCall { "Vantor_RegisterCallback", { "OnModeChanged" } },
                                          HostCall { "Vantor_RegisterCallback", { "OnSetlistChanged" } },
                                          HostCall { "Vantor_ListenForWidget", { "showTunewell", "true" } }));
}

TEST_F (Library, TheDescriptorIsCopiedWithSnprintfTruncation)
{
    const std::string descriptor =
        "<Library><Product Name=\"Tunewell\" Version=\"1.1.0\" BuildDate=\"06/09/2023\"></Product> "
        "<Description>Demo Tunewell extension that uses a web based UI</Description>"
        "<ImagePath>/Path/To/ImageFile/foo.jpg</ImagePath></Library>";
    char buffer[512];

    std::memset (buffer, 'x', sizeof (buffer));
    library->VantorQueryLibrary (buffer, 0);
    EXPECT_EQ (buffer[0], 'x');

    library->VantorQueryLibrary (buffer, 10);
    EXPECT_EQ (std::string (buffer), descriptor.substr (0, 9));
    EXPECT_EQ (buffer[10], 'x');

    library->VantorQueryLibrary (buffer, sizeof (buffer));
    EXPECT_EQ (std::string (buffer), descriptor);
    EXPECT_THAT (host.lookups, IsEmpty());
}

TEST_F (Library, MenuNamesFitSmallBuffersAndReportTheirLength)
{
    registerWithHost();
    char buffer[32];

    EXPECT_EQ (library->GetMenuCount(), 1);
    EXPECT_EQ (library->GetMenuName (0, buffer, 5), 13);
    EXPECT_STREQ (buffer, "Show");
    EXPECT_EQ (library->GetMenuName (0, buffer, sizeof (buffer)), 13);
    EXPECT_STREQ (buffer, "Show Tunewell");
    EXPECT_EQ (library->GetMenuName (1, buffer, sizeof (buffer)), 0);
    EXPECT_STREQ (buffer, "");
    EXPECT_EQ (library->GetPanelCount(), 0);
    EXPECT_EQ (library->GetPanelName (0, buffer, sizeof (buffer)), 0);
}

TEST_F (Library, ShowRequestsAskTheHostForItsSetlistView)
{
    // The showing that follows the host's answer runs a message loop on
    // Windows; the in-process tests and the end-to-end tests follow it.
    registerWithHost();

    library->InvokeMenu (0);
    library->OnWidgetValueChanged ("showTunewell", 1.0);
    library->OnWidgetValueChanged ("showTunewell", 0.0);
    library->InvokeMenu (1);
    library->OnModeChanged (2);
    library->OnSetlistChanged ("Friday");

    EXPECT_THAT (host.calls, ElementsAre (HostCall { "Vantor_SwitchToSetlistView", {} },
                                          HostCall { "Vantor_SwitchToSetlistView", {} }));
    EXPECT_TRUE (host.setlistMode);
}

TEST_F (Library, HostileInputGetsADefinedOutcome)
{
    registerWithHost();
    const char* devices[] = { nullptr, "In" };

    library->OnSetlistChanged (nullptr);
    library->OnWidgetValueChanged (nullptr, 1.0);
    library->OnWidgetCaptionChanged (nullptr, nullptr);
    library->OnMidiDeviceListChanged (devices, 2, nullptr, 3);
    EXPECT_FALSE (library->OnMidiIn (nullptr, nullptr, -1));
    EXPECT_EQ (library->GetMenuName (0, nullptr, 100), 13);
    EXPECT_EQ (library->GetMenuName (0, nullptr, -1), 13);

    char hex[2] = { 'x', 'x' };
    library->hex2bin ("7f", hex);
    EXPECT_EQ (hex[0], '\x7f');
    library->hex2bin (nullptr, hex);
    EXPECT_THAT (host.calls, IsEmpty());
}

TEST_F (Library, AMissingHostFunctionIsNeverCalled)
{
    host.removeFunctions ({ "Vantor_SwitchToSetlistView", "Vantor_RegisterCallback" });
    library->VantorRegister (&TestHost::lookup, host.handle());
    library->InvokeMenu (0);

    EXPECT_THAT (host.calls, ElementsAre (HostCall { "Vantor_ListenForWidget", { "showTunewell", "true" } }));
}

TEST_F (Library, AHostFunctionThatThrowsEndsOnlyTheCurrentEvent)
{
    registerWithHost();
    host.onCall = [] (const HostCall& call) {
        if (call.function == "Vantor_SwitchToSetlistView")
            throw std::runtime_error ("host failure");
    };

    EXPECT_NO_THROW (library->InvokeMenu (0));
    host.onCall = nullptr;
    library->InvokeMenu (0);
    EXPECT_EQ (host.countCallsTo ("Vantor_SwitchToSetlistView"), 2);
}

TEST_F (Library, EventsOutsideARegistrationAreIgnored)
{
    library->OnModeChanged (1);
    library->InvokeMenu (0);
    library->OnClose();

    registerWithHost();
    library->OnClose();
    library->OnClose();
    library->InvokeMenu (0);
    EXPECT_EQ (library->GetMenuCount(), 0);
    EXPECT_THAT (host.calls, IsEmpty());
}

} // namespace
