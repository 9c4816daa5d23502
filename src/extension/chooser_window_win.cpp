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

bool isQuitPending()
{
    MSG message {};
    return PeekMessageW (&message, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE | PM_NOYIELD) != FALSE;
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

    /// The close box or the page's close button: ends the loop with a quit of
    /// the showing's own.
    void requestEnd()
    {
        if (endRequested)
            return;

        endRequested = true;

        // Quit messages do not queue up: a second one only replaces the exit
        // code of the first. A quit already on its way ends the loop as well,
        // and must still reach the host afterwards.
        if (! isQuitPending())
        {
            messageloop::stopMessageLoop();
            postedOwnQuit = true;
        }
    }

    /// Given the exit code of the quit that ended the showing's wait or loop,
    /// posts it again unless it was the showing's own (exit code 0), so that
    /// the host's loop receives its own quit.
    void passOnForeignQuit (int exitCode)
    {
        if (! (postedOwnQuit && exitCode == 0))
        {
            PostQuitMessage (exitCode);
            passedOnForeignQuit = true;
        }
    }

    /// A request answered while this showing was ending opens the chooser
    /// again once it is over, unless the host is quitting.
    bool wantsReopen() const { return reopenRequested && ! passedOnForeignQuit; }

    LibMain& owner;
    bool endRequested = false;
    bool postedOwnQuit = false;
    bool passedOnForeignQuit = false;
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
        showing.passOnForeignQuit (*quit);
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

    // Ended already (the close box while the browser started, without the
    // wait taking the quit): the loop only collects that quit.
    const auto loopEnd = messageloop::runMessageLoop();

    if (loopEnd.quitReceived)
        showing.passOnForeignQuit (loopEnd.exitCode);

    return showing.wantsReopen();
}

void LibMain::closeChooserFromPage()
{
    hideWindow (chooserWindow.get());
    destroyAfterCurrentMessage (chooserWindow);

    if (runningShowing != nullptr)
        runningShowing->requestEnd();
}

void LibMain::endShowing()
{
    if (runningShowing == nullptr)
        return;

    hideWindow (chooserWindow.get());
    runningShowing->requestEnd();
}
