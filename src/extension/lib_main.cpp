#include "extension/lib_main.h"

#include <new>
#include <utility>

#include "extension/chooser_page.h"
#include "extension/chooser_texts.h"
#include "messageloop/library_frames.h"

using namespace tunewell;

LibMain::LibMain (void* hostHandle, std::unique_ptr<chooser::ShowingPlatform> showingPlatform)
    : VantorAPI (hostHandle),
      platform (showingPlatform != nullptr ? std::move (showingPlatform) : chooser::makeInProcessShowing ({}))
{
    showingCallbacks.closeBoxPressed = [this] { handleSessionEvent (chooser::SessionEvent::closeBox); };
    showingCallbacks.hasEnded = [this] { return session.loopShouldEnd(); };
    showingCallbacks.browserUpdateAvailable = [this, alive = std::weak_ptr<int> (lifetime)] {
        if (alive.lock() != nullptr)
            browserUpdateAvailable();
    };
}

LibMain* LibMain::create (void* hostHandle,
                          const std::function<std::unique_ptr<chooser::ShowingPlatform>()>& makePlatform) noexcept
{
    try
    {
        return new LibMain (hostHandle, makePlatform());
    }
    catch (const std::bad_alloc&)
    {
        return nullptr;
    }
}

LibMain::~LibMain()
{
    apply (session.handle (chooser::SessionEvent::unload));

    // The view's native window is a child of the window, so it goes first.
    chooserView.reset();
    chooserWindow.reset();
}

void LibMain::Initialization()
{
    for (auto* callback : chooser::hostCallbacks)
        registerCallback (callback);

    listenForWidget (chooser::showWidgetName, true);
}

std::string LibMain::GetProductDescription()
{
    return chooser::productDescriptionXml;
}

int LibMain::GetMenuCount()
{
    return chooser::menuEntryCount;
}

std::string LibMain::GetMenuName (int index)
{
    if (index < 0 || index >= GetMenuCount())
        return {};

    return chooser::menuEntries[index];
}

void LibMain::InvokeMenu (int index)
{
    if (index == 0)
        requestShow();
}

void LibMain::OnWidgetValueChanged (const std::string& widgetName, double value)
{
    if (widgetName == chooser::showWidgetName && value == 1.0)
        requestShow();
}

void LibMain::initChooser()
{
    requestShow();
}

void LibMain::requestShow()
{
    handleSessionEvent (chooser::SessionEvent::showRequest);
}

void LibMain::OnModeChanged (int mode)
{
    if (mode == chooser::setlistMode)
        handleSessionEvent (chooser::SessionEvent::setlistMode);
}

// A host that closes the extension from inside a showing (its own messages
// are dispatched by the showing's loop) must not be left inside that loop.
void LibMain::OnClose()
{
    handleSessionEvent (chooser::SessionEvent::hostClose);
}

void LibMain::handleSessionEvent (chooser::SessionEvent event)
{
    apply (session.handle (event));
}

void LibMain::apply (const chooser::SessionOutcome& outcome)
{
    if (outcome.hideWindow && chooserWindow != nullptr)
        platform->hideWindow (*chooserWindow);

    if (outcome.retireWindow)
        retireChooserWindow();

    if (outcome.endLoop)
        platform->wake();

    if (outcome.passQuitToHost)
        platform->passQuitToHost (hostQuitExitCode);

    if (outcome.loadPage)
        loadChooserPage();

    if (outcome.bringToFront && chooserWindow != nullptr)
        chooserWindow->bringToFront();

    if (outcome.askForSetlistMode)
        switchToSetlistView();

    if (outcome.startShowing)
        showChooser();
}

bool LibMain::showChooser()
{
    while (session.state() == chooser::SessionState::creating && runOneShowing())
        ;

    return false;
}

bool LibMain::runOneShowing()
{
    platform->createWindowAndView (showingCallbacks, chooserWindow, chooserView);

    const auto takeHostQuit = [this] (int exitCode) {
        hostQuitExitCode = exitCode;
        handleSessionEvent (chooser::SessionEvent::hostQuit);
    };

    if (auto quit = chooserView != nullptr ? chooserView->quitTakenDuringCreation() : std::nullopt)
        takeHostQuit (*quit);

    const bool ready = chooserView != nullptr && chooserView->isBrowserCreated();
    handleSessionEvent (ready ? chooser::SessionEvent::browserReady : chooser::SessionEvent::browserFailed);

    if (auto quit = platform->runLoopUntilEnded (showingCallbacks))
        takeHostQuit (*quit);

    // The next showing starts from here, not from inside this one.
    auto outcome = session.handle (chooser::SessionEvent::loopEnded);
    const bool again = std::exchange (outcome.startShowing, false);
    apply (outcome);

    if (releaseViewAfterShowing && ! again)
        releaseKeptView();

    return again;
}

void LibMain::browserUpdateAvailable()
{
    if (session.isOpen())
        releaseViewAfterShowing = true;
    else
        releaseKeptView();
}

// The view's window is a child of the chooser window, so it goes first.
void LibMain::releaseKeptView()
{
    releaseViewAfterShowing = false;
    chooserView.reset();
    chooserWindow.reset();
}

void LibMain::loadChooserPage()
{
    if (chooserView == nullptr)
        return;

    if (chooserWindow != nullptr)
        chooserWindow->setContentView (chooserView->getViewWindow());

    bindChooserFunctions (*chooserView);
    chooserView->loadHTML (tunewell::chooserPageHtml);
}

// The page's close button arrives inside the browser's message callback, and
// the browser does not survive its parent window being destroyed under that
// callback; so the window goes once no code of the library runs any more.
// When that cannot be arranged, it stays, hidden, as after the close box.
// The view's window leaves it first: the view is kept, and with it its
// browser, which the next showing's view then attaches to.
void LibMain::retireChooserWindow()
{
    if (chooserWindow == nullptr)
        return;

    auto retired = std::make_shared<std::unique_ptr<ui::DesktopWindow>> (std::move (chooserWindow));

    const auto destroy = [retired] {
        (*retired)->releaseContentView();
        retired->reset();
    };

    if (! messageloop::runOutsideLibraryFrames (destroy))
        chooserWindow = std::move (*retired);
}

void LibMain::OnSetlistChanged (const std::string&)
{
    updateChooser();
}
