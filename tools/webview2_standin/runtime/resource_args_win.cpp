#include "resource_args_win.h"

#include "co_task_text_win.h"
#include "out_param_win.h"

namespace tunewell::standin
{

namespace
{

// Answers QueryInterface with the concrete response object of this module.
constexpr IID IID_StandinResourceResponse = {
    0x6A1E42D3, 0x0C55, 0x4B8E, { 0x9F, 0x21, 0x47, 0x3D, 0x88, 0x15, 0xC2, 0x7B }
};

constexpr size_t maximumBodySize = 64u << 20;

} // namespace

ResourceResponse::ResourceResponse (IStream* stream, int status, std::wstring reason, std::wstring headerText)
    : content (ui::ComRef<IStream>::share (stream)), statusCode (status), reasonPhrase (std::move (reason)),
      headers (std::move (headerText))
{
}

ResourceResponse* ResourceResponse::ownObject (ICoreWebView2WebResourceResponse* response)
{
    void* object = nullptr;
    if (response == nullptr || FAILED (response->QueryInterface (IID_StandinResourceResponse, &object)))
        return nullptr;

    auto* own = static_cast<ResourceResponse*> (object);
    own->Release();
    return own;
}

HRESULT ResourceResponse::QueryInterface (REFIID iid, void** object)
{
    if (object != nullptr && IsEqualIID (iid, IID_StandinResourceResponse))
    {
        AddRef();
        *object = this;
        return S_OK;
    }
    return ComObject::QueryInterface (iid, object);
}

HRESULT ResourceResponse::get_Content (IStream** out)
{
    return returnReference (content, out);
}

HRESULT ResourceResponse::put_Content (IStream* stream)
{
    content = ui::ComRef<IStream>::share (stream);
    return S_OK;
}

HRESULT ResourceResponse::get_Headers (ICoreWebView2HttpResponseHeaders** out)
{
    clearOut (out);
    return E_NOTIMPL;
}

HRESULT ResourceResponse::get_StatusCode (int* out)
{
    return returnValue (statusCode, out);
}

HRESULT ResourceResponse::put_StatusCode (int status)
{
    statusCode = status;
    return S_OK;
}

HRESULT ResourceResponse::get_ReasonPhrase (LPWSTR* out)
{
    return guarded ([&] { return returnText (reasonPhrase, out); });
}

HRESULT ResourceResponse::put_ReasonPhrase (LPCWSTR reason)
{
    return guarded ([&] {
        reasonPhrase = reason != nullptr ? reason : L"";
        return S_OK;
    });
}

ResourceRequest::ResourceRequest (std::wstring requestUri) : uri (std::move (requestUri)) {}

HRESULT ResourceRequest::get_Uri (LPWSTR* out)
{
    return guarded ([&] { return returnText (uri, out); });
}

HRESULT ResourceRequest::put_Uri (LPCWSTR value)
{
    if (value == nullptr)
        return E_INVALIDARG;

    return guarded ([&] {
        uri = value;
        return S_OK;
    });
}

HRESULT ResourceRequest::get_Method (LPWSTR* out)
{
    return guarded ([&] { return returnText (method, out); });
}

HRESULT ResourceRequest::put_Method (LPCWSTR value)
{
    if (value == nullptr)
        return E_INVALIDARG;

    return guarded ([&] {
        method = value;
        return S_OK;
    });
}

HRESULT ResourceRequest::get_Content (IStream** out)
{
    return returnReference (content, out);
}

HRESULT ResourceRequest::put_Content (IStream* stream)
{
    content = ui::ComRef<IStream>::share (stream);
    return S_OK;
}

HRESULT ResourceRequest::get_Headers (ICoreWebView2HttpRequestHeaders** out)
{
    clearOut (out);
    return E_NOTIMPL;
}

ResourceRequestArgs::ResourceRequestArgs (std::wstring uri, COREWEBVIEW2_WEB_RESOURCE_CONTEXT resourceContext)
    : request (ui::ComRef<ICoreWebView2WebResourceRequest>::adopt (new ResourceRequest (std::move (uri)))),
      context (resourceContext)
{
}

HRESULT ResourceRequestArgs::get_Request (ICoreWebView2WebResourceRequest** out)
{
    return returnReference (request, out);
}

HRESULT ResourceRequestArgs::get_Response (ICoreWebView2WebResourceResponse** out)
{
    return returnReference (answer, out);
}

HRESULT ResourceRequestArgs::put_Response (ICoreWebView2WebResourceResponse* response)
{
    answer = ui::ComRef<ICoreWebView2WebResourceResponse>::share (response);
    return S_OK;
}

HRESULT ResourceRequestArgs::GetDeferral (ICoreWebView2Deferral** deferral)
{
    clearOut (deferral);
    return E_NOTIMPL;
}

HRESULT ResourceRequestArgs::get_ResourceContext (COREWEBVIEW2_WEB_RESOURCE_CONTEXT* out)
{
    return returnValue (context, out);
}

std::vector<unsigned char> readWholeStream (IStream* stream)
{
    std::vector<unsigned char> bytes;
    if (stream == nullptr)
        return bytes;

    unsigned char chunk[4096];
    ULONG read = 0;
    while (bytes.size() < maximumBodySize && SUCCEEDED (stream->Read (chunk, sizeof (chunk), &read)) && read > 0)
        bytes.insert (bytes.end(), chunk, chunk + read);

    return bytes;
}

} // namespace tunewell::standin
