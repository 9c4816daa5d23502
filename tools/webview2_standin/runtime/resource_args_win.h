#pragma once

#include <string>
#include <vector>

#include "com_object_win.h"
#include "webview/com_ref_win.h"
#include "webview/webview2_win.h"

namespace tunewell::standin
{

/// A response made by the environment: it keeps its content stream, status,
/// reason and header text as given.
class ResourceResponse final : public ComObject<ICoreWebView2WebResourceResponse, IID_ICoreWebView2WebResourceResponse>
{
public:
    ResourceResponse (IStream* content, int statusCode, std::wstring reasonPhrase, std::wstring headers);

    /// The object behind a response that this runtime made, or null for one
    /// made elsewhere (whose header text cannot be read).
    static ResourceResponse* ownObject (ICoreWebView2WebResourceResponse* response);

    const std::wstring& headerText() const { return headers; }

    HRESULT STDMETHODCALLTYPE QueryInterface (REFIID iid, void** object) override;
    HRESULT STDMETHODCALLTYPE get_Content (IStream** content) override;
    HRESULT STDMETHODCALLTYPE put_Content (IStream* content) override;
    HRESULT STDMETHODCALLTYPE get_Headers (ICoreWebView2HttpResponseHeaders** headers) override;
    HRESULT STDMETHODCALLTYPE get_StatusCode (int* statusCode) override;
    HRESULT STDMETHODCALLTYPE put_StatusCode (int statusCode) override;
    HRESULT STDMETHODCALLTYPE get_ReasonPhrase (LPWSTR* reasonPhrase) override;
    HRESULT STDMETHODCALLTYPE put_ReasonPhrase (LPCWSTR reasonPhrase) override;

private:
    ui::ComRef<IStream> content;
    int statusCode;
    std::wstring reasonPhrase, headers;
};

class ResourceRequest final : public ComObject<ICoreWebView2WebResourceRequest, IID_ICoreWebView2WebResourceRequest>
{
public:
    explicit ResourceRequest (std::wstring uri);

    HRESULT STDMETHODCALLTYPE get_Uri (LPWSTR* uri) override;
    HRESULT STDMETHODCALLTYPE put_Uri (LPCWSTR uri) override;
    HRESULT STDMETHODCALLTYPE get_Method (LPWSTR* method) override;
    HRESULT STDMETHODCALLTYPE put_Method (LPCWSTR method) override;
    HRESULT STDMETHODCALLTYPE get_Content (IStream** content) override;
    HRESULT STDMETHODCALLTYPE put_Content (IStream* content) override;
    HRESULT STDMETHODCALLTYPE get_Headers (ICoreWebView2HttpRequestHeaders** headers) override;

private:
    std::wstring uri, method = L"GET";
    ui::ComRef<IStream> content;
};

class ResourceRequestArgs final
    : public ComObject<ICoreWebView2WebResourceRequestedEventArgs, IID_ICoreWebView2WebResourceRequestedEventArgs>
{
public:
    ResourceRequestArgs (std::wstring uri, COREWEBVIEW2_WEB_RESOURCE_CONTEXT context);

    /// The response that the handlers put, or null.
    ICoreWebView2WebResourceResponse* response() const { return answer.get(); }

    HRESULT STDMETHODCALLTYPE get_Request (ICoreWebView2WebResourceRequest** request) override;
    HRESULT STDMETHODCALLTYPE get_Response (ICoreWebView2WebResourceResponse** response) override;
    HRESULT STDMETHODCALLTYPE put_Response (ICoreWebView2WebResourceResponse* response) override;
    HRESULT STDMETHODCALLTYPE GetDeferral (ICoreWebView2Deferral** deferral) override;
    HRESULT STDMETHODCALLTYPE get_ResourceContext (COREWEBVIEW2_WEB_RESOURCE_CONTEXT* context) override;

private:
    ui::ComRef<ICoreWebView2WebResourceRequest> request;
    ui::ComRef<ICoreWebView2WebResourceResponse> answer;
    COREWEBVIEW2_WEB_RESOURCE_CONTEXT context;
};

/// Reads a stream from its current position to its end; at most 64 MiB, so a
/// stream that never ends cannot hang the runtime.
std::vector<unsigned char> readWholeStream (IStream* stream);

} // namespace tunewell::standin
