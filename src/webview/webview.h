#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "values/value.h"

namespace tunewell::ui
{

/// A native function that page script can call by name. It receives the call's
/// argument array and returns the value that resolves the page's promise; an
/// exception rejects the promise instead.
using BindingFunction = std::function<value::Value (const value::ValueView& arguments)>;

/// A page shown in an embedded browser, whose script can call bound native
/// functions through promises. All operations must be called on the thread
/// that created the view; the browser delivers its events on that thread.
class WebView
{
public:
    struct Browser;
    struct Options;

    /// Makes the browser side of a new view, on the view's thread, from
    /// inside the view's constructor; null means the view has no browser.
    using BrowserFactory = std::function<std::unique_ptr<Browser> (WebView& owner, const Options& options)>;

    struct Options
    {
        /// Where the view's browser comes from: the platform's browser host
        /// in the product, a test double in tests. Empty: the view has no
        /// browser, and its script operations do nothing.
        BrowserFactory browser;

        bool enableDebugMode = false;

        struct Resource
        {
            std::vector<uint8_t> content;
            std::string mimeType;
        };

        /// Serves page resources by path ("/" for the root). Empty: the view
        /// serves nothing and never navigates by itself.
        std::function<std::optional<Resource> (const std::string& path)> resourceProvider;

        /// Asked while the browser is being created, before each message that
        /// the wait takes: true ends the wait at once, as when the creation
        /// fails, and the browser that may still arrive is refused. Whoever
        /// makes it true while the wait sleeps calls
        /// messageloop::wakeMessageLoop. Empty: the wait lasts until the
        /// creation ends or a quit message arrives.
        std::function<bool()> creationAbandoned;

        /// The native window (an HWND on Windows, not owned) that will show
        /// the view: the view's window is made its child before the browser
        /// is created in it, as the browser expects of the window that shows
        /// it. Null: the view's window starts as a hidden parentless one.
        void* parentWindow = nullptr;

        /// Told, on the view's thread, when a newer browser runtime is
        /// installed: it is used only once every view of the running browser
        /// has gone and that browser has exited. Empty: nobody is told.
        std::function<void()> browserUpdateAvailable;
    };

    /// With default options, so without a browser. (A default argument of
    /// type Options cannot be written here: GCC rejects it while Options is
    /// still incomplete.)
    WebView();
    explicit WebView (const Options& options);
    ~WebView();

    WebView (const WebView&) = delete;
    WebView& operator= (const WebView&) = delete;

    /// Makes a global page function of this name that calls fn. Rebinding a
    /// name replaces its function.
    void bind (const std::string& name, BindingFunction fn);

    /// Runs a UTF-8 script in the current document; no result, no error.
    void evaluateJavascript (const std::string& script);

    /// Replaces the page with this UTF-8 HTML text.
    void loadHTML (const std::string& html);

    /// The view's native window (an HWND on Windows), or null when the view
    /// has none. Owned by the view.
    void* getViewWindow() const;

    /// Whether the browser exists and is wired to the bridge; without it the
    /// view shows no page and its script operations do nothing.
    bool isBrowserCreated() const { return browser != nullptr && browser->isBrowserCreated(); }

    /// The exit code of a quit message that the wait for the browser took from
    /// the thread's queue (that wait then gives up); empty when it took none.
    /// A caller that runs its own message loop re-posts it.
    std::optional<int> quitTakenDuringCreation() const
    {
        return browser != nullptr ? browser->quitTakenDuringCreation() : std::nullopt;
    }

    /// The browser side of the view, made by Options::browser. Once its
    /// browser exists, an implementation registers bridgeScript
    /// (webview/bridge_scripts.h) with addInitScript before anything else,
    /// because every binding stub calls it.
    struct Browser
    {
        explicit Browser (WebView& ownerView) : owner (ownerView) {}
        virtual ~Browser() = default;

        /// The three browser operations the bridge needs; each takes UTF-8
        /// text, converts it as the browser requires and reports nothing.
        virtual void addInitScript (const std::string& script) = 0;
        virtual void executeScript (const std::string& script) = 0;
        virtual void navigateToString (const std::string& html) = 0;

        virtual void* getViewWindow() const = 0;

        virtual bool isBrowserCreated() const { return false; }
        virtual std::optional<int> quitTakenDuringCreation() const { return std::nullopt; }

    protected:
        /// Hands one message that the page posted (UTF-8) to the bridge, on
        /// the view's thread; returns after the reply script has been run.
        /// Never throws.
        void deliverWebMessage (const std::string& message) { owner.invokeBinding (message); }

        WebView& owner;
    };

private:
    std::unique_ptr<Browser> browser;
    /// Each function is held by pointer so that a call keeps the very object
    /// that was bound, state included, alive while it runs, even if the
    /// function rebinds its own name meanwhile.
    std::unordered_map<std::string, std::shared_ptr<BindingFunction>> boundFunctions;

    /// Dispatches one call message from the page; malformed calls are
    /// ignored and nothing escapes.
    void invokeBinding (const std::string& message) noexcept;
};

using BrowserFactory = WebView::BrowserFactory;

} // namespace tunewell::ui
