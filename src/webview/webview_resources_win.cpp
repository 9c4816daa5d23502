#include "webview/webview_win.h"

#include <limits>

#include "text/utf16.h"
#include "webview/webview_resources.h"

namespace tunewell::ui
{

namespace
{
using CreateMemoryStreamFunction = IStream*(WINAPI*)(const BYTE* data, UINT size);
} // namespace

ComRef<IStream> WebView2Host::makeResponseStream (const std::vector<uint8_t>& content)
{
    ComRef<IStream> stream;

    if (content.size() > std::numeric_limits<UINT>::max())
        return stream;

    // The stream's code lives in shlwapi, so the module stays loaded for as
    // long as the browser may still be reading a response.
    if (! streamLibrary)
        streamLibrary = std::make_unique<file::DynamicLibrary> ("shlwapi.dll");

    auto createStream = reinterpret_cast<CreateMemoryStreamFunction> (
        streamLibrary->lookupFunction ("SHCreateMemStream"));

    if (createStream != nullptr)
        *stream.receive() = createStream (content.data(), static_cast<UINT> (content.size()));

    return stream;
}

HRESULT WebView2Host::respondWith (ICoreWebView2WebResourceRequestedEventArgs* args,
                                   const std::optional<WebView::Options::Resource>& resource)
{
    ComRef<ICoreWebView2WebResourceResponse> response;

    if (resource)
    {
        auto stream = makeResponseStream (resource->content);

        if (! stream)
            return E_FAIL;

        const auto headers = text::utf8ToUtf16 (resourceResponseHeaders (resource->mimeType));

        if (FAILED (browserEnvironment->CreateWebResourceResponse (stream.get(), 200, L"OK", headers.c_str(),
                                                                   response.receive())))
            return E_FAIL;
    }
    else if (FAILED (browserEnvironment->CreateWebResourceResponse (nullptr, 404, L"Not Found", nullptr,
                                                                    response.receive())))
    {
        return E_FAIL;
    }

    if (! response)
        return E_FAIL;

    return SUCCEEDED (args->put_Response (response.get())) ? S_OK : E_FAIL;
}

HRESULT WebView2Host::onResourceRequested (ICoreWebView2WebResourceRequestedEventArgs* args)
{
    if (args == nullptr || ! browserEnvironment || ! resourceProvider)
        return E_FAIL;

    try
    {
        ComRef<ICoreWebView2WebResourceRequest> request;

        if (FAILED (args->get_Request (request.receive())) || ! request)
            return E_FAIL;

        CoTaskText uri;

        if (FAILED (request->get_Uri (uri.receive())) || uri.get() == nullptr)
            return E_FAIL;

        const auto path = resourcePathFromURI (text::utf16ToUtf8 (uri.toWide()), rootURL);

        if (! path)
            return E_FAIL;

        return respondWith (args, resourceProvider (*path));
    }
    catch (...)
    {
        return E_FAIL;
    }
}

} // namespace tunewell::ui
