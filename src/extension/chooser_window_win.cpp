// One showing of the chooser on Windows: the desktop window with the browser
// view inside it, and the message loop that keeps the host's thread in the
// showing until the chooser is closed or the host quits.

#include <windows.h>

#include <cstdint>
#include <memory>

#include "extension/chooser_page.h"
#include "extension/lib_main.h"
#include "messageloop/message_loop.h"
#include "messageloop/message_window.h"
#include "window/user32_function.h"

using namespace tunewell;

namespace
{
constexpr ui::Bounds initialWindowBounds { 100, 100, 1080, 720 };
constexpr ui::Bounds windowSize { 0, 0, 1080, 720 };
constexpr std::uint32_t resizeOnlyFlags = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED;
constexpr const char* windowTitle = "Tunewell";

// Physical pixels: the limits do not follow the monitor's DPI.
constexpr int minimumWindowWidth = 300, minimumWindowHeight = 300;
constexpr int maximumWindowWidth = 1500, maximumWindowHeight = 1200;

constexpr std::intptr_t perMonitorAwareV2 = -4;

// Asked at every showing; a process whose awareness is already fixed refuses,
// which changes nothing.
void requestPerMonitorDpiAwareness()
{
    using SetAwarenessFunction = BOOL (WINAPI*) (HANDLE);
    auto setAwareness = reinterpret_cast<SetAwarenessFunction> (ui::getUser32Function ("SetProcessDpiAwarenessContext"));

    if (setAwareness != nullptr)
        setAwareness (reinterpret_cast<HANDLE> (perMonitorAwareV2));
}

void hideWindow (const ui::DesktopWindow* window)
{
    if (window != nullptr && window->nativeHandle() != nullptr)
        ShowWindow (static_cast<HWND> (window->nativeHandle()), SW_HIDE);
}

// The page's close button arrives inside the browser's message callback, and
// the browser does not survive its parent window being destroyed under that
// callback; so the window goes once the thread dispatches messages again.
void destroyAfterCurrentMessage (std::unique_ptr<ui::DesktopWindow>& window)
{
    auto retired = std::make_shared<std::unique_ptr<ui::DesktopWindow>> (std::move (window));

    // Destroying it now would be the very fault this avoids: when it cannot
    // be posted, the window stays, hidden, as after the close box.
    if (! messageloop::postCallbackToSharedWindow ([retired] { retired->reset(); }))
        window = std::move (*retired);
}
} // namespace

/// The state of the showing in progress. It marks the chooser open for its
/// whole lifetime, so that requests meanwhile bring its window to the front
/// instead of nesting a second showing.
struct LibMain::Showing
{
    explicit Showing (LibMain& chooser) : owner (chooser)
    {
        owner.runningShowing = this;
        owner.chooserOpen = true;
    }

    // However the showing ends, it leaves no visible window without a loop.
    ~Showing()
    {
        hideWindow (owner.chooserWindow.get());
        owner.runningShowing = nullptr;
        owner.chooserOpen = false;
    }

    Showing (const Showing&) = delete;
    Showing& operator= (const Showing&) = delete;

    /// The close box, the page's close button or the host closing the
    /// extension. The loop ends on this signal of the showing's own, never on
    /// a quit message: the window system keeps one quit per thread, and a
    /// host that quits right after closing the chooser would lose its quit
    /// to a quit of the showing's.
    void requestEnd()
    {
        endRequested = true;
        messageloop::wakeMessageLoop();
    }

    /// Every quit that the showing's wait or loop takes is the host's: the
    /// showing ends and the host's loop receives the quit with its exit code.
    void passOnHostQuit (int exitCode)
    {
        PostQuitMessage (exitCode);
        hostQuitting = true;
    }

    /// A request answered while this showing was ending opens the chooser
    /// again once it is over, unless the host is quitting or has closed the
    /// extension.
    bool wantsReopen() const { return reopenRequested && ! hostQuitting && ! closedByHost; }

    LibMain& owner;
    /// The window that the page's close button took away: it goes with the
    /// showing, whose loop ends only once the browser's callback is over.
    std::unique_ptr<ui::DesktopWindow> retiredWindow;
    bool endRequested = false;
    bool hostQuitting = false;
    bool closedByHost = false;
    bool reopenRequested = false;
};

bool LibMain::showChooser()
{
    while (runOneShowing())
        ;

    return false;
}

bool LibMain::isShowingEnding() const
{
    return runningShowing != nullptr && runningShowing->endRequested;
}

bool LibMain::runOneShowing()
{
    showPending = false;

    if (runningShowing != nullptr)
    {
        // The performer asked again while the chooser was closing: it opens
        // anew as soon as the closing showing has returned.
        if (runningShowing->endRequested)
            runningShowing->reopenRequested = true;
        else if (chooserWindow != nullptr)
            chooserWindow->bringToFront();

        return false;
    }

    Showing showing (*this);
    requestPerMonitorDpiAwareness();

    auto window = std::make_unique<ui::DesktopWindow> (initialWindowBounds);
    chooserWindow = std::move (window);

    if (chooserWindow->nativeHandle() == nullptr)
        return showing.wantsReopen();

    chooserWindow->setTitle (windowTitle);
    chooserWindow->addResizableStyles();
    chooserWindow->setBounds (windowSize, resizeOnlyFlags);
    chooserWindow->setMinimumTrackSize (minimumWindowWidth, minimumWindowHeight);
    chooserWindow->setMaximumTrackSize (maximumWindowWidth, maximumWindowHeight);
    chooserWindow->onCloseRequested = [this, closing = chooserWindow.get()]
    {
        hideWindow (closing);

        if (runningShowing != nullptr)
            runningShowing->requestEnd();
    };

    // The browser's creation dispatches messages: the close box, host events
    // and the host's quit can all arrive inside this constructor.
    auto view = std::make_unique<ui::WebView>();
    chooserView = std::move (view);

    if (auto quit = chooserView->quitTakenDuringCreation())
    {
        showing.passOnHostQuit (*quit);
        return showing.wantsReopen();
    }

    if (! showing.endRequested)
    {
        if (chooserWindow != nullptr)
            chooserWindow->setContentView (chooserView->getViewWindow());

        bindChooserFunctions (*chooserView);
        chooserView->loadHTML (tunewell::chooserPageHtml);

        if (chooserWindow != nullptr)
            chooserWindow->bringToFront();
    }

    static_cast<void> (messageloop::lockSharedMessageWindow (true));

    // Ended already (the close box while the browser started): the loop
    // takes no message at all.
    const auto loopEnd = messageloop::runMessageLoop ([&showing] { return showing.endRequested; });

    if (loopEnd.quitReceived)
        showing.passOnHostQuit (loopEnd.exitCode);

    return showing.wantsReopen();
}

void LibMain::closeChooserFromPage()
{
    hideWindow (chooserWindow.get());

    if (runningShowing != nullptr && runningShowing->retiredWindow == nullptr)
        runningShowing->retiredWindow = std::move (chooserWindow);
    else
        destroyAfterCurrentMessage (chooserWindow);

    if (runningShowing != nullptr)
        runningShowing->requestEnd();
}

void LibMain::endShowing()
{
    if (runningShowing == nullptr)
        return;

    runningShowing->closedByHost = true;
    hideWindow (chooserWindow.get());
    runningShowing->requestEnd();
}
