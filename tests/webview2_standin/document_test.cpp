#include <shlwapi.h>

#include <algorithm>
#include <functional>

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

    ASSERT_TRUE (showDocument (L"<p>one</p>"));
    EXPECT_EQ (documentScripts(), (std::vector<std::wstring> { L"first()", L"second()" }));

    ASSERT_TRUE (showDocument (L"<p>two</p>"));
    EXPECT_EQ (documentHtml(), L"<p>two</p>");
    EXPECT_EQ (documentScripts(), (std::vector<std::wstring> { L"first()", L"second()" }));
    EXPECT_EQ (standin_document_count(), 3);
}

TEST_F (DocumentTest, ScriptsRunInTheCurrentDocumentAndGoWithIt)
{
    addScriptAndWait (L"bridge()");
    ASSERT_TRUE (showDocument (L"<ul id=\"songs\"></ul>"));
    ASSERT_EQ (view->ExecuteScript (L"setSongList(\"ä – 日本\")", nullptr), S_OK);
    EXPECT_EQ (documentScripts(), (std::vector<std::wstring> { L"bridge()", L"setSongList(\"ä – 日本\")" }));

    ASSERT_TRUE (showDocument (L"<p>next</p>"));
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
    ASSERT_TRUE (showDocument (L"<p>early</p>"));
    EXPECT_TRUE (documentScripts().empty());

    ASSERT_TRUE (waitUntil ([&] { return added->invocations > 0; }, 5000));
    EXPECT_EQ (told, S_OK);
    EXPECT_FALSE (scriptId.empty());
    added->Release();

    ASSERT_TRUE (showDocument (L"<p>late</p>"));
    EXPECT_EQ (documentScripts(), std::vector<std::wstring> { L"bridge()" });
}

TEST_F (DocumentTest, PlannedAtOnceAScriptAppliesWithinTheCallAndItsHandlerIsToldInALaterTurn)
{
    standin_delay_document_scripts (-1);
    auto* added = new ScriptAddedHandler();
    ASSERT_EQ (view->AddScriptToExecuteOnDocumentCreated (L"bridge()", added), S_OK);
    EXPECT_EQ (added->invocations, 0);

    ASSERT_TRUE (showDocument (L"<p>one</p>"));
    EXPECT_EQ (documentScripts(), std::vector<std::wstring> { L"bridge()" });
    EXPECT_TRUE (waitUntil ([&] { return added->invocations > 0; }));
    added->Release();
}
struct SeenNavigation
{
    std::wstring uri;
    BOOL userInitiated;
    UINT64 id;
    std::wstring documentThen;
};

class NavigationTest : public DocumentTest
{
protected:
    /// Registers a NavigationStarting handler that keeps what each event
    /// says, and what the document was then, and cancels when told to.
    void listen()
    {
        auto* handler = new NavigationStartingHandler (
            [this] (ICoreWebView2*, ICoreWebView2NavigationStartingEventArgs* args) {
                SeenNavigation navigation {};
                LPWSTR uri = nullptr;
                args->get_Uri (&uri);
                navigation.uri = takeText (uri);
                args->get_IsUserInitiated (&navigation.userInitiated);
                args->get_NavigationId (&navigation.id);
                navigation.documentThen = documentHtml();
                seen.push_back (navigation);
                return cancels ? args->put_Cancel (TRUE) : S_OK;
            });
        EventRegistrationToken token {};
        ASSERT_EQ (view->add_NavigationStarting (handler, &token), S_OK);
        handler->Release();
    }

    ui::ComRef<ICoreWebView2Controller4> controller4()
    {
        ICoreWebView2Controller4* fourth = nullptr;
        EXPECT_EQ (controller->QueryInterface (IID_ICoreWebView2Controller4, reinterpret_cast<void**> (&fourth)), S_OK);
        return ui::ComRef<ICoreWebView2Controller4>::adopt (fourth);
    }

    std::vector<SeenNavigation> seen;
    bool cancels = false;
};

TEST_F (NavigationTest, HostNavigationsRaiseNavigationStartingInALaterTurnBeforeTheDocumentChanges)
{
    listen();
    ASSERT_EQ (view->NavigateToString (L"<p>one</p>"), S_OK);
    EXPECT_TRUE (seen.empty());
    EXPECT_EQ (documentHtml(), L"") << "the document follows the event";

    ASSERT_TRUE (waitUntil ([&] { return documentHtml() == L"<p>one</p>"; }));
    ASSERT_EQ (seen.size(), 1u);
    EXPECT_EQ (seen[0].uri, L"about:blank");
    EXPECT_TRUE (seen[0].userInitiated) << "navigations the host asks for count as the user's";
    EXPECT_EQ (seen[0].documentThen, L"");

    ASSERT_EQ (view->Navigate (L"https://app.localhost/"), S_OK);
    ASSERT_TRUE (waitUntil ([] { return documentSource() == L"https://app.localhost/"; }));
    ASSERT_EQ (seen.size(), 2u);
    EXPECT_EQ (seen[1].uri, L"https://app.localhost/");
    EXPECT_EQ (seen[1].documentThen, L"<p>one</p>");
    EXPECT_NE (seen[1].id, seen[0].id);
}

// A cancelled navigation leaves the current document as it was, however it
// was asked for.
TEST_F (NavigationTest, ACancelledNavigationKeepsTheDocument)
{
    ASSERT_TRUE (showDocument (L"<p>kept</p>"));
    listen();
    cancels = true;

    struct Way
    {
        const wchar_t* name;
        std::function<void()> navigate;
        const wchar_t* uri;
    };
    const Way ways[] = {
        { L"Navigate", [this] { view->Navigate (L"https://elsewhere.example/"); }, L"https://elsewhere.example/" },
        { L"NavigateToString", [this] { view->NavigateToString (L"<p>other</p>"); }, L"about:blank" },
        { L"Reload", [this] { view->Reload(); }, L"about:blank" },
        { L"a link", [] { standin_navigate_page (L"https://link.example/"); }, L"https://link.example/" },
        { L"a dropped file", [] { standin_drop_file (L"C:\\music\\list.txt"); }, L"file:///C:/music/list.txt" },
    };

    for (const auto& way : ways)
    {
        SCOPED_TRACE (way.name);
        const int documents = standin_document_count();
        const size_t from = standin_log_count();
        way.navigate();
        ASSERT_TRUE (waitForLogEntry ({ L"NavigationCanceled", way.uri }, from));
        pumpMessages();
        EXPECT_EQ (standin_document_count(), documents);
        EXPECT_EQ (documentHtml(), L"<p>kept</p>");
    }
}

TEST_F (NavigationTest, TheDocumentsOwnNavigationsAreUserInitiatedAndLoad)
{
    listen();
    ASSERT_EQ (standin_navigate_page (L"https://link.example/next"), 0);
    ASSERT_TRUE (waitUntil ([] { return documentSource() == L"https://link.example/next"; }));
    ASSERT_EQ (seen.size(), 1u);
    EXPECT_EQ (seen[0].uri, L"https://link.example/next");
    EXPECT_TRUE (seen[0].userInitiated);
}

TEST_F (NavigationTest, ADroppedFileOpensOnlyWhileExternalDropIsAllowed)
{
    ASSERT_TRUE (showDocument (L"<p>songs</p>"));

    ASSERT_EQ (standin_drop_file (L"C:\\music\\Set list \u00e9.txt"), 0);
    const std::wstring uri = L"file:///C:/music/Set%20list%20%C3%A9.txt";
    ASSERT_TRUE (waitUntil ([&] { return documentSource() == uri; }));
    EXPECT_EQ (readLog().back(), (LogEntry { L"NavigationStarting", uri }));

    ASSERT_EQ (controller4()->put_AllowExternalDrop (FALSE), S_OK);
    const int documents = standin_document_count();
    const size_t from = standin_log_count();
    ASSERT_EQ (standin_drop_file (L"\\\\server\\share\\b.txt"), 0);
    ASSERT_TRUE (waitForLogEntry ({ L"DropRefused", L"\\\\server\\share\\b.txt" }, from));
    pumpMessages();
    EXPECT_EQ (standin_document_count(), documents);
    EXPECT_EQ (documentSource(), uri);
    for (const auto& entry : logSince (from))
        EXPECT_NE (entry.operation, L"NavigationStarting");
}

TEST_F (NavigationTest, ReloadLoadsTheSameDocumentAgain)
{
    ASSERT_TRUE (showDocument (L"<p>again</p>"));
    const int documents = standin_document_count();
    ASSERT_EQ (view->Reload(), S_OK);
    ASSERT_TRUE (waitUntil ([&] { return standin_document_count() == documents + 1; }));
    EXPECT_EQ (documentHtml(), L"<p>again</p>");
}

// Unless a handler takes the request or gives a view for it, the browser opens
// a popup of its own.
TEST_F (NavigationTest, ANewWindowRequestOpensAPopupUnlessHandledOrGivenAView)
{
    enum class Answer
    {
        nothing,
        handled,
        givesView
    };
    struct Case
    {
        Answer answer;
        bool popup;
    };

    for (const auto& each :
         { Case { Answer::nothing, true }, Case { Answer::handled, false }, Case { Answer::givesView, false } })
    {
        const Answer answer = each.answer;
        const bool popup = each.popup;
        SCOPED_TRACE (static_cast<int> (answer));
        // The view given as the new window is one made before the opener,
        // which is the current view.
        auto opener = createAnotherController();
        ASSERT_TRUE (opener);
        ICoreWebView2* openerView = nullptr;
        ASSERT_EQ (opener->get_CoreWebView2 (&openerView), S_OK);

        std::wstring uri;
        BOOL userInitiated = FALSE;
        auto* handler = new NewWindowHandler ([&] (ICoreWebView2*, ICoreWebView2NewWindowRequestedEventArgs* args) {
            LPWSTR target = nullptr;
            args->get_Uri (&target);
            uri = takeText (target);
            args->get_IsUserInitiated (&userInitiated);
            if (answer == Answer::handled)
                args->put_Handled (TRUE);
            if (answer == Answer::givesView)
                args->put_NewWindow (view.get());
            return S_OK;
        });
        EventRegistrationToken token {};
        ASSERT_EQ (openerView->add_NewWindowRequested (handler, &token), S_OK);
        handler->Release();
        openerView->Release();

        const size_t from = standin_log_count();
        ASSERT_EQ (standin_request_new_window (L"https://popup.example/"), 0);
        ASSERT_TRUE (waitForLogEntry ({ L"NewWindowRequested", L"https://popup.example/" }, from));
        if (answer == Answer::givesView)
        {
            ASSERT_TRUE (waitForLogEntry ({ L"NavigationStarting", L"https://popup.example/" }, from));
        }
        pumpMessages();

        EXPECT_EQ (uri, L"https://popup.example/");
        EXPECT_TRUE (userInitiated);
        const auto since = logSince (from);
        EXPECT_EQ (std::count (since.begin(), since.end(), LogEntry { L"NewWindow", L"https://popup.example/" }),
                   popup ? 1 : 0);
        opener->Close();
    }
}

} // namespace
} // namespace tunewell::standin::testing
