#pragma once

#include <cstddef>

#include "webview/webview.h"

namespace tunewell::ui
{

/// Browsers for new views on Windows: Microsoft Edge WebView2, reached
/// through the WebView2 loader DLL whose image is given. The image is mapped
/// from memory, so no loader file has to sit beside the library; it must
/// outlive every view (the release library embeds Microsoft's loader, the
/// browser host's tests the stand-in runtime).
BrowserFactory webView2Browsers (const unsigned char* loaderImage, std::size_t loaderImageSize);

} // namespace tunewell::ui
