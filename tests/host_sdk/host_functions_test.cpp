#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "host_sdk/entry_points.h"
#include "host_sdk/host_functions.h"
#include "host_sdk/vantor_functions.h"
#include "test_host.h"

using tunewell::testrig::HostCall;
using tunewell::testrig::TestHost;
using testing::ElementsAre;
using testing::IsEmpty;

namespace
{

class HostFunctions : public testing::Test
{
protected:
    void SetUp() override { connect(); }
    void TearDown() override { InitializeImportedFunctions (nullptr, nullptr); }

    void connect()
    {
        InitializeImportedFunctions (host.handle(), &TestHost::lookup);
        host.clearLog();
    }

    HostCall lastCall() const { return host.calls.empty() ? HostCall {} : host.calls.back(); }

    TestHost host;
    vantor::sdk::VantorFunctions functions { host.handle() };
};

TEST_F (HostFunctions, TheTableHoldsWhatTheLookupAnswered)
{
    host.removeFunctions ({ "Vantor_GetSongName" });
    connect();

    EXPECT_EQ (vantor::sdk::Vantor_GetSongName, nullptr);
    EXPECT_EQ (reinterpret_cast<void*> (vantor::sdk::Vantor_GetSongCount),
               TestHost::lookup (host.handle(), "Vantor_GetSongCount"));
    EXPECT_EQ (reinterpret_cast<void*> (vantor::sdk::Vantor_VM_PushBoolean),
               TestHost::lookup (host.handle(), "Vantor_VM_PushBoolean"));
    EXPECT_EQ (vantor::sdk::hostFunctionLookup, &TestHost::lookup);
}

TEST_F (HostFunctions, StringResultsTakeWhatTheHostWroteThroughZeroedBuffersOfTheStatedSize)
{
    host.songs = { { "Blue", "Tide", { { "Intro", "Soft" } }, "uuid-1", "blue.chopro" },
                   { "Red", "Sun", { { "Verse", "Dry" }, { "Chorus", "Loud" }, { "Bridge", "Wet" } }, "", "" } };
    host.rackspaces = { { "Piano", "r-1", { "Dry", "Hall", "Plate" } }, { "Organ", "r-2", { "Leslie" } } };

    EXPECT_EQ (functions.getSongName (0), "Blue");
    EXPECT_EQ (lastCall(), (HostCall { "Vantor_GetSongName", { "0", "1024" } }));
    EXPECT_EQ (functions.getArtistName (0), "Tide");
    EXPECT_EQ (functions.getSongUuid (0), "uuid-1");
    EXPECT_EQ (functions.getChordProFilenameForSong (0), "blue.chopro");
    EXPECT_EQ (functions.getSongName (5), "");

    // Two indices that differ, each valid only in its own place, so that
    // swapped arguments ask for something that does not exist.
    EXPECT_EQ (functions.getSongpartName (1, 2), "Bridge");
    EXPECT_EQ (lastCall(), (HostCall { "Vantor_GetSongpartName", { "1", "2", "1024" } }));
    EXPECT_EQ (functions.getVariationNameForSongPart (1, 2), "Wet");
    EXPECT_EQ (lastCall(), (HostCall { "Vantor_GetVariationNameForSongPart", { "1", "2", "1024" } }));
    EXPECT_EQ (functions.getVariationName (0, 2), "Plate");
    EXPECT_EQ (lastCall(), (HostCall { "Vantor_GetVariationName", { "0", "2", "1024" } }));

    host.pathToMe = std::string (9999, 'p');
    EXPECT_EQ (functions.getPathToMe(), host.pathToMe);
    EXPECT_EQ (lastCall(), (HostCall { "Vantor_GetPathToMe", { "10000" } }));
}

TEST_F (HostFunctions, StringResultsStopAtTheBufferEndWhenTheHostForgetsTheTerminator)
{
    host.songs = { { std::string (1023, 'n'), "", {}, "", "" } };
    EXPECT_EQ (functions.getSongName (0).size(), 1023u);

    static int written = 0;
    vantor::sdk::Vantor_GetSongName = [] (void*, int, char* buffer, int size) {
        std::fill (buffer, buffer + size, 'z');
        written = size;
        return size;
    };

    EXPECT_EQ (functions.getSongName (0), std::string (1024, 'z'));
    EXPECT_EQ (written, 1024);
}

TEST_F (HostFunctions, ListResultsAreSplitAtLineFeeds)
{
    auto listFor = [this] (const std::string& text, int result) {
        host.scriptedListAnswer = { text, result };
        std::vector<std::string> names { "stale" };
        functions.getPluginList (names, true);
        return names;
    };

    EXPECT_THAT (listFor ("a\nb\n", 2), ElementsAre ("a", "b"));
    EXPECT_THAT (listFor ("a\n\nb", 3), ElementsAre ("a", "", "b"));
    EXPECT_THAT (listFor ("a", 1), ElementsAre ("a"));
    EXPECT_THAT (listFor ("a\r\nb", 2), ElementsAre ("a\r", "b"));
    EXPECT_THAT (listFor ("a\nb\n", 0), IsEmpty());
    EXPECT_THAT (listFor ("a\nb\n", -1), IsEmpty());
    EXPECT_EQ (lastCall(), (HostCall { "Vantor_GetPluginList", { "150000", "true" } }));

    host.scriptedListAnswer.reset();
    host.widgets["fader"];
    host.widgets["knob"];
    std::vector<std::string> widgets;
    functions.getWidgetList (widgets, false);
    EXPECT_THAT (widgets, ElementsAre ("fader", "knob"));
    EXPECT_EQ (lastCall(), (HostCall { "Vantor_GetWidgetList", { "150000", "false" } }));
}

TEST_F (HostFunctions, RackspaceAndVariationSwitchesPassTheDocumentedArguments)
{
    host.rackspaces = { { "Piano", "r-1", { "Dry", "Hall" } } };
    host.currentRackspace = 0;

    EXPECT_TRUE (functions.switchToRackspaceName ("Piano", ""));
    EXPECT_EQ (lastCall(), (HostCall { "Vantor_SwitchToRackspaceName", { "Piano", "(null)" } }));
    EXPECT_TRUE (functions.switchToRackspaceName ("Piano", "Hall"));
    EXPECT_EQ (lastCall(), (HostCall { "Vantor_SwitchToRackspaceName", { "Piano", "Hall" } }));

    EXPECT_TRUE (functions.switchToRackspace (0, 1));
    EXPECT_EQ (lastCall(), (HostCall { "Vantor_SwitchToRackspace", { "0", "1" } }));
    EXPECT_EQ (host.currentVariation, 1);
    host.songs = { { "Blue", "Tide", { { "Intro", "" }, { "Outro", "" } }, "", "" } };
    EXPECT_TRUE (functions.switchToSong (0, 1));
    EXPECT_EQ (lastCall(), (HostCall { "Vantor_SwitchToSong", { "0", "1" } }));
    EXPECT_EQ (host.currentSongPart, 1);

    EXPECT_TRUE (functions.switchToVariation (1));
    EXPECT_EQ (lastCall(), (HostCall { "Vantor_SwitchToRackspace", { "-1", "1" } }));
    EXPECT_FALSE (functions.switchToVariation (2));
}

TEST_F (HostFunctions, MidiMessagesPassTheirBytesAndLengths)
{
    const std::string withZero ("\x90\x00\x40", 3);
    const unsigned char raw[] = { 0xB0, 7, 100 };

    functions.sendMidiMessageToMidiOutDevice ("Out", withZero);
    EXPECT_EQ (lastCall(), (HostCall { "Vantor_SendMidiMessageToMidiOutDevice", { "Out", "90 00 40", "3" } }));
    functions.sendMidiMessageToMidiOutDevice ("Out", raw, 2);
    EXPECT_EQ (lastCall(), (HostCall { "Vantor_SendMidiMessageToMidiOutDevice", { "Out", "b0 07", "2" } }));
    functions.sendMidiMessageToMidiOutDevice ("Out", vantor::sdk::VantorMidiMessage::makeSysexMessage (
                                                         std::string (12, '\x7f')));
    EXPECT_EQ (lastCall().arguments.back(), "12");
    functions.injectMidiMessageToMidiInputDevice ("In", withZero);
    EXPECT_EQ (lastCall(), (HostCall { "Vantor_InjectMidiMessageToMidiInputDevice", { "In", "90 00 40", "3" } }));
    functions.injectMidiMessageToMidiInputAlias ("Alias", raw, 3);
    EXPECT_EQ (lastCall(), (HostCall { "Vantor_InjectMidiMessageToMidiInputAlias", { "Alias", "b0 07 64", "3" } }));
}

TEST_F (HostFunctions, OutParametersAndPlainResultsRoundTripThroughTheHost)
{
    host.widgets["pad"] = {};
    functions.setWidgetBounds ("pad", 1, 2, 30, 40);
    int x = 0, y = 0, width = 0, height = 0;
    functions.getWidgetBounds ("pad", x, y, width, height);
    EXPECT_EQ ((std::vector<int> { x, y, width, height }), (std::vector<int> { 1, 2, 30, 40 }));

    int numerator = 0, denominator = 0;
    host.timeSignatureNumerator = 7;
    host.timeSignatureDenominator = 8;
    functions.getCurrentTimeSignature (numerator, denominator);
    EXPECT_EQ (numerator, 7);
    EXPECT_EQ (denominator, 8);

    double r = 0, g = 0, b = 0, a = 0;
    functions.ColorToRGBA (functions.RGBAToColor (1.0, 0.0, 0.2, 1.0), r, g, b, a);
    EXPECT_EQ (r, 1.0);
    EXPECT_EQ (g, 0.0);
    EXPECT_EQ (b, 0.2);
    EXPECT_EQ (lastCall().function, "Vantor_ColorToRGBA");

    functions.setBPM (98.5);
    EXPECT_EQ (functions.getBPM(), 98.5);
    EXPECT_TRUE (functions.setWidgetValue ("pad", 0.75));
    EXPECT_EQ (functions.getWidgetValue ("pad"), 0.75);
}

TEST_F (HostFunctions, WrappersWithoutAHostFunctionMakeNoCallAndAnswerNeutrally)
{
    host.songs = { { "Blue", "Tide", {}, "", "" } };
    host.widgets["pad"].value = 0.5;
    host.scriptedListAnswer = { "a\nb\n", 2 };
    host.removeAllFunctions();
    connect();

    int x = -7, numerator = -7, denominator = -7;
    int y = -7, width = -7, height = -7;
    double r = -7, g = -7, b = -7, a = -7;
    std::vector<std::string> names { "stale" };

    EXPECT_EQ (functions.getSongCount(), 0);
    EXPECT_EQ (functions.getSongName (0), "");
    EXPECT_FALSE (functions.switchToSong (0, 0));
    EXPECT_EQ (functions.getWidgetValue ("pad"), 0.0);
    EXPECT_EQ (functions.getPathToMe(), "");
    functions.switchToSetlistView();
    functions.consoleLog ("text");
    functions.getWidgetBounds ("pad", x, y, width, height);
    functions.getCurrentTimeSignature (numerator, denominator);
    functions.ColorToRGBA (5, r, g, b, a);
    functions.getPluginList (names, false);
    functions.sendMidiMessageToMidiOutDevice ("Out", std::string ("\x90"));

    EXPECT_THAT (names, IsEmpty());
    EXPECT_EQ ((std::vector<int> { x, y, width, height, numerator, denominator }), std::vector<int> (6, -7));
    EXPECT_EQ ((std::vector<double> { r, g, b, a }), std::vector<double> (4, -7.0));
    EXPECT_THAT (host.calls, IsEmpty());
}

} // namespace
