#include <cmath>
#include <limits>

#include <gmock/gmock.h>

#include "chooser_fixture.h"
#include "extension/chooser_page.h"
#include "webview/bridge_scripts.h"

using tunewell::testrig::HostCall;
using testing::ElementsAre;
using testing::IsEmpty;
using Kind = tunewell::testrig::BrowserOperation::Kind;

namespace
{

class ChooserController : public tunewell::testrig::ChooserFixture
{};

TEST_F (ChooserController, InitializationRegistersThreeCallbacksAndListensForTheShowWidget)
{
    OnClose();
    host.clearLog();
    VantorRegister (&tunewell::testrig::TestHost::lookup, host.handle());

    auto calls = host.calls;
    EXPECT_THAT (calls, ElementsAre (HostCall { "Vantor_RegisterCallback", { "OnWidgetValueChanged" } },
                                     HostCall { "Vantor_RegisterCallback", { "OnModeChanged" } },
                                     HostCall { "Vantor_RegisterCallback", { "OnSetlistChanged" } },
                                     HostCall { "Vantor_ListenForWidget", { "showTunewell", "true" } }));
    EXPECT_EQ (chooser().getChooserWindow(), nullptr);
    EXPECT_EQ (chooser().getChooserView(), nullptr);
}

TEST_F (ChooserController, DescribesItselfWithTheLibraryDescriptorAndNoHostCall)
{
    LibMain temporary (nullptr);
    EXPECT_EQ (temporary.GetProductDescription(),
               "<Library><Product Name=\"Tunewell\" Version=\"1.1.0\" BuildDate=\"06/09/2023\"></Product> "
               "<Description>Demo Tunewell extension that uses a web based UI</Description>"
               "<ImagePath>/Path/To/ImageFile/foo.jpg</ImagePath></Library>");
    EXPECT_THAT (host.calls, IsEmpty());
}

TEST_F (ChooserController, OffersOneMenuEntry)
{
    EXPECT_EQ (chooser().GetMenuCount(), 1);
    EXPECT_EQ (chooser().GetMenuName (0), "Show Tunewell");
    EXPECT_EQ (chooser().GetMenuName (1), "");
    EXPECT_EQ (chooser().GetMenuName (-1), "");
}

TEST_F (ChooserController, OnlyMenuEntryZeroRequestsTheSetlistView)
{
    InvokeMenu (1);
    InvokeMenu (-1);
    EXPECT_THAT (host.calls, IsEmpty());
    EXPECT_FALSE (chooser().isShowPending());

    InvokeMenu (0);
    EXPECT_THAT (host.calls, ElementsAre (HostCall { "Vantor_SwitchToSetlistView", {} }));
    EXPECT_TRUE (chooser().isShowPending());
}

TEST_F (ChooserController, OnlyTheShowWidgetAtExactlyOneRequestsTheSetlistView)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();

    for (double value : { 0.0, 0.5, std::nextafter (1.0, 2.0), nan })
        OnWidgetValueChanged ("showTunewell", value);

    OnWidgetValueChanged ("ShowTunewell", 1.0);
    OnWidgetValueChanged ("showTunewell ", 1.0);
    OnWidgetValueChanged (nullptr, 1.0);
    EXPECT_THAT (host.calls, IsEmpty());

    OnWidgetValueChanged ("showTunewell", 1.0);
    EXPECT_THAT (host.calls, ElementsAre (HostCall { "Vantor_SwitchToSetlistView", {} }));
    EXPECT_TRUE (chooser().isShowPending());
}

TEST_F (ChooserController, InitChooserIsAShowRequest)
{
    chooser().initChooser();
    EXPECT_THAT (host.calls, ElementsAre (HostCall { "Vantor_SwitchToSetlistView", {} }));
    EXPECT_TRUE (chooser().isShowPending());
}

TEST_F (ChooserController, TheChooserOpensOnlyWhenTheHostReportsSetlistModeAfterARequest)
{
    OnModeChanged (1);
    EXPECT_EQ (chooser().getChooserView(), nullptr);

    InvokeMenu (0);
    OnModeChanged (0);
    OnModeChanged (2);
    EXPECT_TRUE (chooser().isShowPending());
    EXPECT_EQ (chooser().getChooserView(), nullptr);

    OnModeChanged (1);
    EXPECT_FALSE (chooser().isShowPending());
    EXPECT_NE (chooser().getChooserView(), nullptr);
}

TEST_F (ChooserController, TwoRequestsAskTwiceButOpenOneShowing)
{
    InvokeMenu (0);
    OnWidgetValueChanged ("showTunewell", 1.0);
    EXPECT_EQ (host.countCallsTo ("Vantor_SwitchToSetlistView"), 2);

    OnModeChanged (1);
    auto* view = chooser().getChooserView();
    OnModeChanged (1);
    EXPECT_EQ (chooser().getChooserView(), view);
}

TEST_F (ChooserController, AShowingBindsThePageFunctionsBeforeLoadingThePage)
{
    openChooser();

    const auto& operations = browser().operations();
    ASSERT_EQ (operations.size(), 8u);
    EXPECT_EQ (operations[0].text, tunewell::ui::bridgeScript);

    const char* names[] = { "getSongListFromVantor", "closeSongSelector", "selectSong" };

    for (size_t i = 0; i < 3; ++i)
    {
        auto stub = tunewell::ui::makeBindingStub (names[i]);
        EXPECT_EQ (operations[1 + 2 * i], (tunewell::testrig::BrowserOperation { Kind::addInitScript, stub }));
        EXPECT_EQ (operations[2 + 2 * i], (tunewell::testrig::BrowserOperation { Kind::executeScript, stub }));
    }

    EXPECT_EQ (operations[7],
               (tunewell::testrig::BrowserOperation { Kind::navigateToString, tunewell::chooserPageHtml }));
}

TEST_F (ChooserController, EveryShowingReplacesTheWebView)
{
    openChooser();
    auto* first = chooser().getChooserView();
    openChooser();

    EXPECT_NE (chooser().getChooserView(), first);
    // The new view's own browser was given the bridge and the page.
    const auto& operations = browser().operations();
    ASSERT_FALSE (operations.empty());
    EXPECT_EQ (operations.front().text, tunewell::ui::bridgeScript);
    EXPECT_EQ (operations.back(),
               (tunewell::testrig::BrowserOperation { Kind::navigateToString, tunewell::chooserPageHtml }));
    EXPECT_EQ (host.countCallsTo ("Vantor_SwitchToSetlistView"), 2);
}

TEST_F (ChooserController, ASetlistChangeWithoutAChooserWindowAsksNothing)
{
    OnSetlistChanged ("Friday");
    EXPECT_THAT (host.calls, IsEmpty());

    // The showing here opens no window, so a refresh still has no page.
    openChooser();
    host.clearLog();
    browser().clearOperations();
    OnSetlistChanged ("Friday");
    EXPECT_THAT (host.calls, IsEmpty());
    EXPECT_THAT (browser().operations(), IsEmpty());
}

TEST_F (ChooserController, HostFailuresDuringAShowingStayInsideTheLibrary)
{
    setSongs ({ { "Blue", "Tide" } });
    host.onCall = [] (const HostCall& call) {
        if (call.function == "Vantor_SwitchToSetlistView")
            throw std::runtime_error ("host failure");
    };

    EXPECT_NO_THROW (InvokeMenu (0));
    EXPECT_TRUE (chooser().isShowPending());
}

TEST_F (ChooserController, AHostThatClosesTheExtensionInsideAPageCallsHostCallIsNotCalledAgainByIt)
{
    setSongs ({ { "Blue", "Tide" }, { "Red", "Sea" } });

    const std::pair<const char*, const char*> cases[] = {
        { "Vantor_SwitchToSong", R"({"id":4,"fn":"selectSong","params":[1]})" },
        { "Vantor_GetSongName", R"({"id":5,"fn":"getSongListFromVantor","params":[]})" },
    };

    for (auto [hostFunction, pageCall] : cases)
    {
        SCOPED_TRACE (hostFunction);
        openChooser();
        auto& page = browser();
        host.clearLog();
        host.onCall = [this, hostFunction] (const HostCall& call) {
            if (call.function == hostFunction && vantor::sdk::extensionInstance != nullptr)
                OnClose();
        };

        // The sanitizers see any use of the deleted extension or view.
        page.postWebMessage (pageCall);
        host.onCall = nullptr;

        EXPECT_EQ (vantor::sdk::extensionInstance, nullptr);
        ASSERT_FALSE (host.calls.empty());
        EXPECT_EQ (host.calls.back().function, hostFunction) << "a host call after OnClose";
        VantorRegister (&tunewell::testrig::TestHost::lookup, host.handle());
    }
}

TEST_F (ChooserController, CloseDeletesTheChooserAndItsView)
{
    openChooser();
    OnClose();
    EXPECT_EQ (vantor::sdk::extensionInstance, nullptr);

    host.clearLog();
    InvokeMenu (0);
    OnModeChanged (1);
    EXPECT_THAT (host.calls, IsEmpty());
}

} // namespace
