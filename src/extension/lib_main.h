#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "extension/chooser_session.h"
#include "extension/showing_platform.h"
#include "host_sdk/vantor_api.h"
#include "values/value.h"
#include "webview/webview.h"
#include "window/desktop_window.h"

/// The chooser extension: adds "Show Tunewell" to the host's menu, opens the
/// song chooser once the host reports setlist mode after a show request,
/// and keeps the open page's song list current. Everything runs on the
/// host's calling thread; host events may arrive nested inside a showing.
class LibMain : public vantor::sdk::VantorAPI
{
public:
    /// Makes no host call, so a null handle (descriptor query) is safe. The
    /// platform makes each showing's window, view and loop; null: showings
    /// stay in process and their views have no browser.
    explicit LibMain (void* hostHandle, std::unique_ptr<tunewell::chooser::ShowingPlatform> platform = nullptr);

    /// The extension for CreateVantorExtension, over the platform that
    /// makePlatform gives; null when memory runs out on the way.
    static LibMain*
    create (void* hostHandle,
            const std::function<std::unique_ptr<tunewell::chooser::ShowingPlatform>()>& makePlatform) noexcept;
    ~LibMain() override;

    void Initialization() override;
    std::string GetProductDescription() override;
    void OnModeChanged (int mode) override;
    void OnSetlistChanged (const std::string& setlistName) override;
    void OnWidgetValueChanged (const std::string& widgetName, double value) override;
    int GetMenuCount() override;
    std::string GetMenuName (int index) override;
    void InvokeMenu (int index) override;
    void OnClose() override;

    /// Runs the showing that setlist mode starts, and those that a request
    /// answered while it ended starts again; returns false when they have
    /// ended.
    bool showChooser();

    /// Sends the host's current song list to the open page, if there is one.
    void updateChooser();

    /// The song list markup built from the host's current songs.
    std::string getSongListFromVantor();

    /// A show request, as from the menu.
    void initChooser();

    /// Binds the page functions "getSongListFromVantor", "closeSongSelector"
    /// and "selectSong", in this order, to this object's handlers.
    void bindChooserFunctions (tunewell::ui::WebView& view);

    /// Runs the list refresh script in this view's page.
    void refreshChooserPage (tunewell::ui::WebView& view);

    bool isShowPending() const { return session.isShowPending(); }
    bool isChooserOpen() const { return session.isOpen(); }
    tunewell::ui::DesktopWindow* getChooserWindow() const { return chooserWindow.get(); }
    tunewell::ui::WebView* getChooserView() const { return chooserView.get(); }

private:
    /// While a showing runs, a request brings its window to the front; a
    /// further showing is only started when that one has returned.
    void requestShow();

    tunewell::value::Value handleGetSongList (const tunewell::value::ValueView& arguments);
    tunewell::value::Value handleCloseSongSelector (const tunewell::value::ValueView& arguments);
    tunewell::value::Value handleSelectSong (const tunewell::value::ValueView& arguments);

    /// Hands one event to the session and does what it says.
    void handleSessionEvent (tunewell::chooser::SessionEvent event);
    void apply (const tunewell::chooser::SessionOutcome& outcome);
    /// One showing; true when the next one is to start at once.
    bool runOneShowing();
    /// A newer browser runtime is installed. It is used only once the running
    /// browser has exited, which the view kept for a fast reopen prevents;
    /// so that view goes now, or when the open showing ends.
    void browserUpdateAvailable();
    void releaseKeptView();
    void loadChooserPage();
    /// The page's close button: the window goes once the browser's callback
    /// that brought it is over.
    void retireChooserWindow();

    tunewell::chooser::ChooserSession session;
    std::unique_ptr<tunewell::chooser::ShowingPlatform> platform;
    /// What the platform reports to this extension's showings.
    tunewell::chooser::ShowingPlatform::ShowingCallbacks showingCallbacks;
    /// The exit code of the quit that the showing took for the host.
    int hostQuitExitCode = 0;
    std::unique_ptr<tunewell::ui::DesktopWindow> chooserWindow;
    std::unique_ptr<tunewell::ui::WebView> chooserView;
    bool releaseViewAfterShowing = false;
    /// Lives as long as this object, for callbacks that may come later.
    std::shared_ptr<int> lifetime = std::make_shared<int> (0);
};
