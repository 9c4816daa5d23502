#include <shlwapi.h>

#include "standin_fixture.h"

namespace tunewell::standin::testing
{
namespace
{

std::wstring resourceText (size_t (*read) (int, wchar_t*, size_t), int id)
{
    std::wstring text (read (id, nullptr, 0), L'\0');
    read (id, text.data(), text.size() + 1);
    return text;
}

std::string resourceBody (int id)
{
    std::string body (standin_resource_body (id, nullptr, 0), '\0');
    standin_resource_body (id, reinterpret_cast<unsigned char*> (body.data()), body.size());
    return body;
}

class RequestsTest : public StandinTest
{
protected:
    void SetUp() override
    {
        StandinTest::SetUp();
        ASSERT_NO_FATAL_FAILURE (createBrowser());
    }

    /// Allows clipboard reads and leaves everything else alone, as the
    /// browser host does.
    void allowClipboardRead()
    {
        auto* handler = new PermissionHandler ([] (ICoreWebView2*, ICoreWebView2PermissionRequestedEventArgs* args) {
            COREWEBVIEW2_PERMISSION_KIND kind {};
            args->get_PermissionKind (&kind);
            if (kind == COREWEBVIEW2_PERMISSION_KIND_CLIPBOARD_READ)
                args->put_State (COREWEBVIEW2_PERMISSION_STATE_ALLOW);
            return S_OK;
        });
        EventRegistrationToken token {};
        ASSERT_EQ (view->add_PermissionRequested (handler, &token), S_OK);
        handler->Release();
    }

    /// Answers "/css/app.css" with a body and anything else with 404.
    void serveStyleSheet()
    {
        auto* handler = new ResourceHandler ([this] (ICoreWebView2*, ICoreWebView2WebResourceRequestedEventArgs* args) {
            ICoreWebView2WebResourceRequest* request = nullptr;
            if (FAILED (args->get_Request (&request)))
                return E_FAIL;
            LPWSTR uri = nullptr;
            request->get_Uri (&uri);
            request->Release();
            requestedUris.push_back (takeText (uri));

            ICoreWebView2WebResourceResponse* response = nullptr;
            if (requestedUris.back() == L"https://app.localhost/css/app.css")
            {
                const std::string css = "body{color:red}";
                auto* stream = SHCreateMemStream (reinterpret_cast<const BYTE*> (css.data()),
                                                  static_cast<UINT> (css.size()));
                environment->CreateWebResourceResponse (stream, 200, L"OK",
                                                        L"Content-Type: text/css\nCache-Control: no-store", &response);
                stream->Release();
            }
            else
            {
                environment->CreateWebResourceResponse (nullptr, 404, L"Not Found", nullptr, &response);
            }
            auto result = args->put_Response (response);
            response->Release();
            return result;
        });
        EventRegistrationToken token {};
        ASSERT_EQ (view->AddWebResourceRequestedFilter (L"https://app.localhost/*",
                                                        COREWEBVIEW2_WEB_RESOURCE_CONTEXT_ALL),
                   S_OK);
        ASSERT_EQ (view->add_WebResourceRequested (handler, &token), S_OK);
        handler->Release();
    }

    std::vector<std::wstring> requestedUris;
};

TEST_F (RequestsTest, PermissionRequestsEndInTheStateTheHandlerSet)
{
    allowClipboardRead();
    auto clipboard = standin_request_permission (COREWEBVIEW2_PERMISSION_KIND_CLIPBOARD_READ,
                                                 L"https://app.localhost/");
    auto camera = standin_request_permission (COREWEBVIEW2_PERMISSION_KIND_CAMERA, L"https://app.localhost/");
    ASSERT_GT (clipboard, 0);
    ASSERT_GT (camera, 0);

    StandinPermissionOutcome outcome {};
    ASSERT_EQ (standin_permission_outcome (clipboard, &outcome), 0);
    EXPECT_EQ (outcome.answered, 0) << "requests are raised in a later turn";

    pumpMessages();
    ASSERT_EQ (standin_permission_outcome (clipboard, &outcome), 0);
    EXPECT_EQ (outcome.answered, 1);
    EXPECT_EQ (outcome.handlerCount, 1);
    EXPECT_EQ (outcome.handlerResult, S_OK);
    EXPECT_EQ (outcome.state, COREWEBVIEW2_PERMISSION_STATE_ALLOW);

    ASSERT_EQ (standin_permission_outcome (camera, &outcome), 0);
    EXPECT_EQ (outcome.state, COREWEBVIEW2_PERMISSION_STATE_DEFAULT);
}

TEST_F (RequestsTest, PermissionRequestsWithoutAHandlerKeepTheDefault)
{
    auto id = standin_request_permission (COREWEBVIEW2_PERMISSION_KIND_CLIPBOARD_READ, L"");
    pumpMessages();

    StandinPermissionOutcome outcome {};
    ASSERT_EQ (standin_permission_outcome (id, &outcome), 0);
    EXPECT_EQ (outcome.answered, 1);
    EXPECT_EQ (outcome.handlerCount, 0);
    EXPECT_EQ (outcome.state, COREWEBVIEW2_PERMISSION_STATE_DEFAULT);
    EXPECT_EQ (standin_permission_outcome (id + 100, &outcome), STANDIN_UNKNOWN_REQUEST);
}

TEST_F (RequestsTest, ServedResourcesComeBackWithStatusReasonHeadersAndBody)
{
    serveStyleSheet();
    auto id = standin_request_resource (L"https://app.localhost/css/app.css");
    pumpMessages();

    StandinResourceOutcome outcome {};
    ASSERT_EQ (standin_resource_outcome (id, &outcome), 0);
    EXPECT_EQ (outcome.answered, 1);
    EXPECT_EQ (outcome.handlerCount, 1);
    EXPECT_EQ (outcome.hasResponse, 1);
    EXPECT_EQ (outcome.hasContent, 1);
    EXPECT_EQ (outcome.statusCode, 200);
    EXPECT_EQ (resourceText (standin_resource_reason, id), L"OK");
    EXPECT_EQ (resourceText (standin_resource_headers, id), L"Content-Type: text/css\nCache-Control: no-store");
    EXPECT_EQ (resourceBody (id), "body{color:red}");
    EXPECT_EQ (requestedUris, (std::vector<std::wstring> { L"https://app.localhost/css/app.css" }));
}

TEST_F (RequestsTest, MissingResourcesComeBackAs404WithNothingElse)
{
    serveStyleSheet();
    auto id = standin_request_resource (L"https://app.localhost/nope.js");
    pumpMessages();

    StandinResourceOutcome outcome {};
    ASSERT_EQ (standin_resource_outcome (id, &outcome), 0);
    EXPECT_EQ (outcome.hasResponse, 1);
    EXPECT_EQ (outcome.hasContent, 0);
    EXPECT_EQ (outcome.statusCode, 404);
    EXPECT_EQ (resourceText (standin_resource_reason, id), L"Not Found");
    EXPECT_EQ (resourceText (standin_resource_headers, id), L"");
    EXPECT_EQ (resourceBody (id), "");
}

TEST_F (RequestsTest, RequestsOutsideEveryFilterNeverReachTheHandler)
{
    serveStyleSheet();
    auto id = standin_request_resource (L"https://other.localhost/css/app.css");
    pumpMessages();

    StandinResourceOutcome outcome {};
    ASSERT_EQ (standin_resource_outcome (id, &outcome), 0);
    EXPECT_EQ (outcome.answered, 1);
    EXPECT_EQ (outcome.handlerCount, 0);
    EXPECT_EQ (outcome.hasResponse, 0);
    EXPECT_TRUE (requestedUris.empty());
}

TEST_F (RequestsTest, AFailingHandlerIsReportedWithItsResult)
{
    auto* handler = new ResourceHandler (
        [] (ICoreWebView2*, ICoreWebView2WebResourceRequestedEventArgs*) { return E_FAIL; });
    EventRegistrationToken token {};
    view->AddWebResourceRequestedFilter (L"*", COREWEBVIEW2_WEB_RESOURCE_CONTEXT_ALL);
    view->add_WebResourceRequested (handler, &token);
    handler->Release();

    auto id = standin_request_resource (L"https://app.localhost/");
    pumpMessages();

    StandinResourceOutcome outcome {};
    ASSERT_EQ (standin_resource_outcome (id, &outcome), 0);
    EXPECT_EQ (outcome.handlerResult, E_FAIL);
    EXPECT_EQ (outcome.hasResponse, 0);
}

TEST_F (RequestsTest, ResponsesKeepWhatTheyWereMadeWith)
{
    const std::string bytes = "abc";
    auto* stream = SHCreateMemStream (reinterpret_cast<const BYTE*> (bytes.data()), 3);
    ICoreWebView2WebResourceResponse* response = nullptr;
    ASSERT_EQ (environment->CreateWebResourceResponse (stream, 201, L"Created", L"X: 1", &response), S_OK);

    int status = 0;
    EXPECT_EQ (response->get_StatusCode (&status), S_OK);
    EXPECT_EQ (status, 201);
    LPWSTR reason = nullptr;
    EXPECT_EQ (response->get_ReasonPhrase (&reason), S_OK);
    EXPECT_EQ (takeText (reason), L"Created");
    IStream* kept = nullptr;
    EXPECT_EQ (response->get_Content (&kept), S_OK);
    EXPECT_EQ (kept, stream);

    kept->Release();
    response->Release();
    EXPECT_EQ (stream->Release(), 0u) << "the response gave back its reference to the stream";
}

} // namespace
} // namespace tunewell::standin::testing
