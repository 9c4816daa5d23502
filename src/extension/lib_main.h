#pragma once

#include <memory>
#include <string>

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
    /// Makes no host call, so a null handle (descriptor query) is safe.
    explicit LibMain (void* hostHandle);
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

    /// Runs one showing of the chooser; returns false when it has ended.
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

    bool isShowPending() const { return showPending; }
    bool isChooserOpen() const { return chooserOpen; }
    tunewell::ui::DesktopWindow* getChooserWindow() const { return chooserWindow.get(); }
    tunewell::ui::WebView* getChooserView() const { return chooserView.get(); }

private:
    /// While a showing runs, a request brings its window to the front; a
    /// further showing is only started when that window is gone.
    void requestShow();

    tunewell::value::Value handleGetSongList (const tunewell::value::ValueView& arguments);
    tunewell::value::Value handleCloseSongSelector (const tunewell::value::ValueView& arguments);
    tunewell::value::Value handleSelectSong (const tunewell::value::ValueView& arguments);

    /// The page's close button: the window goes, and a showing in progress
    /// ends; platform code.
    void closeChooserFromPage();

    /// The host closing the extension: a showing in progress hides its window
    /// and ends without opening again, so that the host has its thread back;
    /// platform code.
    void endShowing();

    /// One showing; true when a request answered while it was ending asks for
    /// the next one at once; platform code.
    bool runOneShowing();
    /// The showing in progress has been asked to end; platform code.
    bool isShowingEnding() const;

    /// The showing in progress on the host's thread, or null; platform code.
    struct Showing;
    Showing* runningShowing = nullptr;

    std::unique_ptr<tunewell::ui::DesktopWindow> chooserWindow;
    std::unique_ptr<tunewell::ui::WebView> chooserView;
    bool showPending = false;
    /// True from the start of a showing until it ends.
    bool chooserOpen = false;
};
