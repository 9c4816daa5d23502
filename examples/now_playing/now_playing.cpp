// Now Playing: adds "Show Now Playing" to the host's menu. Its window shows a
// page that asks the host, through a bound page function, for the current
// song's name, and shows the setlist's name when the host reports a change.

#include <memory>
#include <string>

#include "host_sdk/vantor_api.h"
#include "json/json_escape.h"
#include "webView2LoaderImage.h"
#include "webview/webview2_browsers.h"
#include "window/desktop_window.h"

using namespace tunewell;

namespace
{
constexpr const char* pageHtml = R"(<!DOCTYPE html>
<html><body style="font: 28px sans-serif">
<h1 id="song"></h1><p id="setlist"></p>
<script>
function showSetlist(name) { document.getElementById("setlist").textContent = name; }
currentSongName().then(function(name) { document.getElementById("song").textContent = name; });
</script>
</body></html>)";
} // namespace

class NowPlaying final : public vantor::sdk::VantorAPI
{
public:
    using VantorAPI::VantorAPI;

    // The view is a child of the window, so it goes first.
    ~NowPlaying() override { closeWindow(); }

    void Initialization() override { registerCallback ("OnSetlistChanged"); }

    std::string GetProductDescription() override
    {
        return "<Library><Product Name=\"Now Playing\" Version=\"1.0.0\"></Product>"
               "<Description>Shows the current song</Description></Library>";
    }

    int GetMenuCount() override { return 1; }
    std::string GetMenuName (int index) override { return index == 0 ? "Show Now Playing" : ""; }

    void InvokeMenu (int index) override
    {
        if (index == 0)
            openWindow();
    }

    void OnSetlistChanged (const std::string& setlistName) override
    {
        if (view != nullptr)
            view->evaluateJavascript ("showSetlist(" + json::getEscapedQuotedString (setlistName) + ");");
    }

private:
    void openWindow()
    {
        closeWindow();
        window = std::make_unique<ui::DesktopWindow> (ui::Bounds { 100, 100, 480, 200 });
        window->setTitle ("Now Playing");
        window->onCloseRequested = [this] { closeWindow(); };

        // The browser starts inside this constructor, which dispatches the
        // thread's messages meanwhile; without a runtime the view shows a notice.
        ui::WebView::Options options;
        options.browser = ui::webView2Browsers (webView2LoaderImage, webView2LoaderImageSize);
        options.parentWindow = window->nativeHandle();
        view = std::make_unique<ui::WebView> (options);
        window->setContentView (view->getViewWindow());

        view->bind ("currentSongName",
                    [this] (const value::ValueView&) { return value::Value (getSongName (getCurrentSongIndex())); });
        view->loadHTML (pageHtml);
    }

    void closeWindow()
    {
        view.reset();
        window.reset();
    }

    std::unique_ptr<ui::DesktopWindow> window;
    std::unique_ptr<ui::WebView> view;
};

vantor::sdk::VantorAPI* vantor::sdk::CreateVantorExtension (void* hostHandle)
{
    return new NowPlaying (hostHandle);
}
