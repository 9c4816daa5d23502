// The extension that the released library gives the host: the chooser in a
// desktop window over WebView2, through Microsoft's loader carried inside
// the library.

#include "extension/lib_main.h"
#include "webView2LoaderImage.h"
#include "webview/webview2_browsers.h"

vantor::sdk::VantorAPI* vantor::sdk::CreateVantorExtension (void* hostHandle)
{
    using namespace tunewell;

    return LibMain::create (hostHandle, [] {
        return chooser::makeDesktopShowing (ui::webView2Browsers (webView2LoaderImage, webView2LoaderImageSize));
    });
}
