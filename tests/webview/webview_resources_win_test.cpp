#include "webview_fixture_win_test.h"

#include <stdexcept>
#include <utility>
#include <string>
#include <vector>

#include "webview/webview.h"

namespace tunewell::ui::testing
{
namespace
{

struct ServedResource
{
    StandinResourceOutcome outcome {};
    std::wstring reason;
    std::wstring headers;
    std::vector<unsigned char> body;
};

ServedResource requestResource (const std::wstring& uri)
{
    ServedResource served;
    const int request = standin_request_resource (uri.c_str());

    if (request <= 0)
        return served;

    runMessagesUntil (
        [&] { return standin_resource_outcome (request, &served.outcome) == 0 && served.outcome.answered != 0; });

    served.reason = copiedText (
        [request] (wchar_t* buffer, size_t capacity) { return standin_resource_reason (request, buffer, capacity); });
    served.headers = copiedText (
        [request] (wchar_t* buffer, size_t capacity) { return standin_resource_headers (request, buffer, capacity); });
    served.body.resize (standin_resource_body (request, nullptr, 0));
    standin_resource_body (request, served.body.data(), served.body.size());
    return served;
}

class ResourceServing : public StandinTest
{
protected:
    void SetUp() override
    {
        StandinTest::SetUp();

        WebView::Options options = standinViewOptions();
        options.resourceProvider = [this] (const std::string& path) -> std::optional<WebView::Options::Resource> {
            requestedPaths.push_back (path);

            if (path == "/broken")
                throw std::runtime_error ("provider failed");

            if (path == "/" || path == "/css/app.css")
                return WebView::Options::Resource { { 'b', 'o', 'd', 'y', 0, 0xFF },
                                                    path == "/" ? "text/html" : "text/css" };

            return std::nullopt;
        };

        view = std::make_unique<WebView> (options);
        ASSERT_TRUE (view->isBrowserCreated());

        const auto navigations = loggedTexts (L"Navigate");
        ASSERT_EQ (navigations.size(), 1u);
        rootURL = navigations[0];

        // Opening the root is itself a request for "/".
        ASSERT_TRUE (runMessagesUntil ([this] { return ! requestedPaths.empty(); }));
        runPendingMessages();
        pathsRequestedByNavigation = std::exchange (requestedPaths, {});
    }

    void TearDown() override
    {
        view.reset();
        StandinTest::TearDown();
    }

    std::unique_ptr<WebView> view;
    std::vector<std::string> requestedPaths;
    std::vector<std::string> pathsRequestedByNavigation;
    std::wstring rootURL;
};

TEST_F (ResourceServing, theViewOpensAnHttpsRootAndFiltersEverythingBelowIt)
{
    EXPECT_EQ (rootURL.rfind (L"https://", 0), 0u);
    EXPECT_EQ (rootURL.back(), L'/');
    EXPECT_EQ (loggedTexts (L"AddWebResourceRequestedFilter"), std::vector<std::wstring> { rootURL + L"*\t0" });
    EXPECT_EQ (loggedTexts (L"add_WebResourceRequested").size(), 1u);
    EXPECT_LT (logPosition (L"AddScriptToExecuteOnDocumentCreated"), logPosition (L"Navigate"));
    EXPECT_EQ (pathsRequestedByNavigation, std::vector<std::string> { "/" });
}

TEST_F (ResourceServing, theRootAndNestedPathsAreServedWithTheirTypeAndNoCaching)
{
    const auto root = requestResource (rootURL);
    const auto styleSheet = requestResource (rootURL + L"css/app.css");

    EXPECT_EQ (requestedPaths, (std::vector<std::string> { "/", "/css/app.css" }));

    EXPECT_EQ (root.outcome.handlerResult, S_OK);
    EXPECT_EQ (root.outcome.statusCode, 200);
    EXPECT_TRUE (root.outcome.hasContent);
    EXPECT_EQ (root.reason, L"OK");
    EXPECT_EQ (root.headers, L"Content-Type: text/html\nCache-Control: no-store");
    EXPECT_EQ (root.body, (std::vector<unsigned char> { 'b', 'o', 'd', 'y', 0, 0xFF }));

    EXPECT_EQ (styleSheet.outcome.statusCode, 200);
    EXPECT_EQ (styleSheet.headers, L"Content-Type: text/css\nCache-Control: no-store");
}

TEST_F (ResourceServing, aPathTheProviderDoesNotKnowIsNotFoundWithoutHeadersOrBody)
{
    const auto missing = requestResource (rootURL + L"missing.png?size=2#top");

    EXPECT_EQ (requestedPaths, std::vector<std::string> { "/missing.png?size=2#top" });
    EXPECT_EQ (missing.outcome.handlerResult, S_OK);
    EXPECT_TRUE (missing.outcome.hasResponse);
    EXPECT_FALSE (missing.outcome.hasContent);
    EXPECT_EQ (missing.outcome.statusCode, 404);
    EXPECT_EQ (missing.reason, L"Not Found");
    EXPECT_TRUE (missing.headers.empty());
}

TEST_F (ResourceServing, aProviderThatThrowsAnswersFailureAndNoResponse)
{
    const auto broken = requestResource (rootURL + L"broken");

    EXPECT_TRUE (broken.outcome.answered);
    EXPECT_EQ (broken.outcome.handlerResult, E_FAIL);
    EXPECT_FALSE (broken.outcome.hasResponse);
}

TEST_F (ResourceServing, addressesOutsideTheRootNeverReachTheProvider)
{
    const auto foreign = requestResource (L"https://example.test/");

    EXPECT_EQ (foreign.outcome.handlerCount, 0);
    EXPECT_TRUE (requestedPaths.empty());
}

TEST_F (ResourceServing, clipboardReadingIsAllowedForServedPagesToo)
{
    const int request = standin_request_permission (COREWEBVIEW2_PERMISSION_KIND_CLIPBOARD_READ, rootURL.c_str());
    StandinPermissionOutcome outcome {};
    ASSERT_TRUE (
        runMessagesUntil ([&] { return standin_permission_outcome (request, &outcome) == 0 && outcome.answered; }));

    EXPECT_EQ (outcome.state, COREWEBVIEW2_PERMISSION_STATE_ALLOW);
}

} // namespace
} // namespace tunewell::ui::testing
