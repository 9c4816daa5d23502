#include <shlwapi.h>

#include "standin_fixture.h"

namespace tunewell::standin::testing
{
namespace
{

class DocumentTest : public StandinTest
{
protected:
    void SetUp() override
    {
        StandinTest::SetUp();
        ASSERT_NO_FATAL_FAILURE (createBrowser());
    }

    /// Adds a script for documents to come and waits for its completion, as a
    /// host must before it opens a page that needs it.
    void addScriptAndWait (const wchar_t* script)
    {
        auto* added = new ScriptAddedHandler();
        ASSERT_EQ (view->AddScriptToExecuteOnDocumentCreated (script, added), S_OK);
        EXPECT_TRUE (waitUntil ([&] { return added->invocations > 0; }));
        added->Release();
    }

    /// Serves every filtered request with this HTML as UTF-8 and status.
    void serve (const std::string& html, int status)
    {
        auto* handler = new ResourceHandler (
            [this, html, status] (ICoreWebView2*, ICoreWebView2WebResourceRequestedEventArgs* args) {
                auto* stream = SHCreateMemStream (reinterpret_cast<const BYTE*> (html.data()),
                                                  static_cast<UINT> (html.size()));
                ICoreWebView2WebResourceResponse* response = nullptr;
                environment->CreateWebResourceResponse (stream, status, L"", L"", &response);
                args->put_Response (response);
                response->Release();
                stream->Release();
                return S_OK;
            });
        EventRegistrationToken token {};
        ASSERT_EQ (view->add_WebResourceRequested (handler, &token), S_OK);
        handler->Release();
    }
};

TEST_F (DocumentTest, ViewStartsWithABlankDocument)
{
    EXPECT_EQ (standin_document_count(), 1);
    EXPECT_EQ (documentSource(), L"about:blank");
    EXPECT_EQ (documentHtml(), L"");
    EXPECT_TRUE (documentScripts().empty());
}

TEST_F (DocumentTest, CreationScriptsRunInEveryLaterDocumentButNotTheCurrentOne)
{
    addScriptAndWait (L"first()");
    addScriptAndWait (L"second()");
    EXPECT_TRUE (documentScripts().empty());

    ASSERT_EQ (view->NavigateToString (L"<p>one</p>"), S_OK);
    EXPECT_EQ (documentScripts(), (std::vector<std::wstring> { L"first()", L"second()" }));

    ASSERT_EQ (view->NavigateToString (L"<p>two</p>"), S_OK);
    EXPECT_EQ (documentHtml(), L"<p>two</p>");
    EXPECT_EQ (documentScripts(), (std::vector<std::wstring> { L"first()", L"second()" }));
    EXPECT_EQ (standin_document_count(), 3);
}

TEST_F (DocumentTest, ScriptsRunInTheCurrentDocumentAndGoWithIt)
{
    addScriptAndWait (L"bridge()");
    ASSERT_EQ (view->NavigateToString (L"<ul id=\"songs\"></ul>"), S_OK);
    ASSERT_EQ (view->ExecuteScript (L"setSongList(\"ä – 日本\")", nullptr), S_OK);
    EXPECT_EQ (documentScripts(), (std::vector<std::wstring> { L"bridge()", L"setSongList(\"ä – 日本\")" }));

    ASSERT_EQ (view->NavigateToString (L"<p>next</p>"), S_OK);
    EXPECT_EQ (documentScripts(), (std::vector<std::wstring> { L"bridge()" }));
}

TEST_F (DocumentTest, NavigationLoadsTheDocumentFromTheResourceHandler)
{
    ASSERT_EQ (view->AddWebResourceRequestedFilter (L"https://app.localhost/*", COREWEBVIEW2_WEB_RESOURCE_CONTEXT_ALL),
               S_OK);
    serve ("<h1>Caf\xC3\xA9</h1>", 200);
    addScriptAndWait (L"init()");

    ASSERT_EQ (view->Navigate (L"https://app.localhost/"), S_OK);
    EXPECT_EQ (documentSource(), L"about:blank") << "a navigation completes in a later turn";

    pumpMessages();
    EXPECT_EQ (documentSource(), L"https://app.localhost/");
    EXPECT_EQ (documentHtml(), L"<h1>Caf\u00e9</h1>");
    EXPECT_EQ (documentScripts(), (std::vector<std::wstring> { L"init()" }));

    LPWSTR source = nullptr;
    ASSERT_EQ (view->get_Source (&source), S_OK);
    EXPECT_EQ (takeText (source), L"https://app.localhost/");
}

TEST_F (DocumentTest, NavigationThatNobodyServesGivesAnEmptyDocument)
{
    ASSERT_EQ (view->AddWebResourceRequestedFilter (L"https://app.localhost/*", COREWEBVIEW2_WEB_RESOURCE_CONTEXT_ALL),
               S_OK);
    serve ("<p>missing</p>", 404);

    ASSERT_EQ (view->Navigate (L"https://app.localhost/gone"), S_OK);
    ASSERT_EQ (view->Navigate (L"https://elsewhere.example/"), S_OK);
    pumpMessages();

    EXPECT_EQ (documentSource(), L"https://elsewhere.example/") << "the latest navigation wins";
    EXPECT_EQ (documentHtml(), L"");
    EXPECT_EQ (standin_document_count(), 2) << "the superseded navigation never made a document";
}

TEST_F (DocumentTest, CallsAreRecordedInOrderWithTheirTexts)
{
    view->AddScriptToExecuteOnDocumentCreated (L"a", nullptr);
    view->NavigateToString (L"<b>");
    view->ExecuteScript (L"c", nullptr);
    view->AddWebResourceRequestedFilter (L"https://x/*", COREWEBVIEW2_WEB_RESOURCE_CONTEXT_ALL);
    view->Navigate (L"https://x/");

    auto log = readLog();
    ASSERT_GE (log.size(), 5u);
    std::vector<LogEntry> last (log.end() - 5, log.end());
    EXPECT_EQ (last, (std::vector<LogEntry> {
                         { L"AddScriptToExecuteOnDocumentCreated", L"a" },
                         { L"NavigateToString", L"<b>" },
                         { L"ExecuteScript", L"c" },
                         { L"AddWebResourceRequestedFilter", L"https://x/*\t0" },
                         { L"Navigate", L"https://x/" },
                     }));
    pumpMessages();
}

TEST_F (DocumentTest, MissingTextsAndUnsupportedCompletionHandlersAreRefused)
{
    EXPECT_EQ (view->Navigate (nullptr), E_INVALIDARG);
    EXPECT_EQ (view->NavigateToString (nullptr), E_INVALIDARG);
    EXPECT_EQ (view->ExecuteScript (nullptr, nullptr), E_INVALIDARG);

    auto* someHandler = reinterpret_cast<ICoreWebView2ExecuteScriptCompletedHandler*> (new MessageHandler());
    EXPECT_EQ (view->ExecuteScript (L"x()", someHandler), E_NOTIMPL);
    reinterpret_cast<IUnknown*> (someHandler)->Release();

    EXPECT_TRUE (documentScripts().empty()) << "a refused call has no effect";
    EXPECT_EQ (standin_document_count(), 1);
}

// A script counts for later documents only once its completion handler ran.
TEST_F (DocumentTest, PlannedLateScriptsMissDocumentsBegunBeforeTheirHandlerRan)
{
    standin_delay_document_scripts (30);
    HRESULT told = S_FALSE;
    std::wstring scriptId;
    auto* added = new ScriptAddedHandler ([&] (HRESULT result, LPCWSTR id) {
        told = result;
        scriptId = id != nullptr ? id : L"";
        return S_OK;
    });
    ASSERT_EQ (view->AddScriptToExecuteOnDocumentCreated (L"bridge()", added), S_OK);
    ASSERT_EQ (view->NavigateToString (L"<p>early</p>"), S_OK);
    EXPECT_TRUE (documentScripts().empty());

    ASSERT_TRUE (waitUntil ([&] { return added->invocations > 0; }, 5000));
    EXPECT_EQ (told, S_OK);
    EXPECT_FALSE (scriptId.empty());
    added->Release();

    ASSERT_EQ (view->NavigateToString (L"<p>late</p>"), S_OK);
    EXPECT_EQ (documentScripts(), std::vector<std::wstring> { L"bridge()" });
}

TEST_F (DocumentTest, PlannedAtOnceAScriptAppliesWithinTheCallAndItsHandlerIsToldInALaterTurn)
{
    standin_delay_document_scripts (-1);
    auto* added = new ScriptAddedHandler();
    ASSERT_EQ (view->AddScriptToExecuteOnDocumentCreated (L"bridge()", added), S_OK);
    EXPECT_EQ (added->invocations, 0);

    ASSERT_EQ (view->NavigateToString (L"<p>one</p>"), S_OK);
    EXPECT_EQ (documentScripts(), std::vector<std::wstring> { L"bridge()" });
    EXPECT_TRUE (waitUntil ([&] { return added->invocations > 0; }));
    added->Release();
}
} // namespace
} // namespace tunewell::standin::testing
