#include "standin_fixture.h"

namespace tunewell::standin::testing
{
namespace
{

struct ReceivedMessage
{
    HRESULT stringResult;
    std::wstring text;
    std::wstring json;
};

class MessagesTest : public StandinTest
{
protected:
    void SetUp() override
    {
        StandinTest::SetUp();
        ASSERT_NO_FATAL_FAILURE (createBrowser());
    }

    /// Registers a handler that keeps what each message says and, like the
    /// browser host, echoes string messages back to the page.
    EventRegistrationToken listen (bool echo = false)
    {
        auto* handler = new MessageHandler (
            [this, echo] (ICoreWebView2* sender, ICoreWebView2WebMessageReceivedEventArgs* args) {
                ReceivedMessage message {};
                LPWSTR text = nullptr;
                message.stringResult = args->TryGetWebMessageAsString (&text);
                message.text = takeText (text);
                LPWSTR json = nullptr;
                args->get_WebMessageAsJson (&json);
                message.json = takeText (json);
                received.push_back (message);
                if (echo && SUCCEEDED (message.stringResult))
                    sender->PostWebMessageAsString (message.text.c_str());
                return S_OK;
            });
        EventRegistrationToken token {};
        EXPECT_EQ (view->add_WebMessageReceived (handler, &token), S_OK);
        handler->Release();
        return token;
    }

    std::vector<ReceivedMessage> received;
};

TEST_F (MessagesTest, StringMessagesArriveThroughTheMessageQueueInOrder)
{
    listen();
    ASSERT_EQ (standin_post_web_message (L"{\"id\":1,\"fn\":\"getSongListFromVantor\",\"params\":[]}"), 0);
    ASSERT_EQ (standin_post_web_message (L"Bj\u00f6rk \U0001F3B5"), 0);
    EXPECT_TRUE (received.empty()) << "nothing is delivered before the thread pumps";

    pumpMessages();
    ASSERT_EQ (received.size(), 2u);
    EXPECT_EQ (received[0].stringResult, S_OK);
    EXPECT_EQ (received[0].text, L"{\"id\":1,\"fn\":\"getSongListFromVantor\",\"params\":[]}");
    EXPECT_EQ (received[0].json, L"\"{\\\"id\\\":1,\\\"fn\\\":\\\"getSongListFromVantor\\\",\\\"params\\\":[]}\"");
    EXPECT_EQ (received[1].text, L"Bj\u00f6rk \U0001F3B5");
}

TEST_F (MessagesTest, NonStringMessagesFailToReadAsStringButKeepTheirJson)
{
    listen();
    ASSERT_EQ (standin_post_web_message_json (L"{\"id\":7}"), 0);
    pumpMessages();

    ASSERT_EQ (received.size(), 1u);
    EXPECT_EQ (received[0].stringResult, E_INVALIDARG);
    EXPECT_EQ (received[0].text, L"");
    EXPECT_EQ (received[0].json, L"{\"id\":7}");
}

TEST_F (MessagesTest, EchoesAreCapturedAfterTheMessageTheyAnswer)
{
    listen (true);
    standin_post_web_message (L"ping");
    pumpMessages();

    auto log = readLog();
    ASSERT_GE (log.size(), 2u);
    EXPECT_EQ (log[log.size() - 2], (LogEntry { L"WebMessageReceived", L"ping" }));
    EXPECT_EQ (log.back(), (LogEntry { L"PostWebMessageAsString", L"ping" }));
}

TEST_F (MessagesTest, RemovedHandlersHearNothingMore)
{
    auto token = listen();
    standin_post_web_message (L"first");
    pumpMessages();
    ASSERT_EQ (view->remove_WebMessageReceived (token), S_OK);
    standin_post_web_message (L"second");
    pumpMessages();

    ASSERT_EQ (received.size(), 1u);
    EXPECT_EQ (received[0].text, L"first");
}

TEST_F (MessagesTest, RegisteredHandlersAreKeptUntilTheViewCloses)
{
    bool deleted = false;
    auto* handler = new MessageHandler ({}, &deleted);
    EventRegistrationToken token {};
    ASSERT_EQ (view->add_WebMessageReceived (handler, &token), S_OK);
    EXPECT_EQ (handler->references, 2u);
    EXPECT_EQ (loggedOperations().back(), L"add_WebMessageReceived");
    handler->Release();
    EXPECT_FALSE (deleted);

    controller->Close();
    EXPECT_TRUE (deleted);
}

TEST_F (MessagesTest, MessagesQueuedBeforeTheViewClosedAreDropped)
{
    listen();
    standin_post_web_message (L"late");
    controller->Close();
    releaseBrowser();
    pumpMessages();

    EXPECT_TRUE (received.empty());
}

TEST_F (MessagesTest, TheSourceIsTheDocumentThatSentTheMessage)
{
    std::vector<std::wstring> sources;
    auto* handler = new MessageHandler ([&] (ICoreWebView2*, ICoreWebView2WebMessageReceivedEventArgs* args) {
        LPWSTR source = nullptr;
        args->get_Source (&source);
        sources.push_back (takeText (source));
        return S_OK;
    });
    EventRegistrationToken token {};
    ASSERT_EQ (view->add_WebMessageReceived (handler, &token), S_OK);
    handler->Release();

    ASSERT_TRUE (showDocument (L"<p>page</p>"));
    standin_post_web_message (L"from the page");
    standin_post_web_message_from (L"https://frame.example/embed", L"from a frame");
    ASSERT_TRUE (waitUntil ([&] { return sources.size() == 2; }));

    ASSERT_EQ (view->Navigate (L"https://app.localhost/"), S_OK);
    ASSERT_TRUE (waitUntil ([] { return documentSource() == L"https://app.localhost/"; }));
    standin_post_web_message_json (L"{}");
    ASSERT_TRUE (waitUntil ([&] { return sources.size() == 3; }));

    EXPECT_EQ (sources, (std::vector<std::wstring> { L"about:blank", L"https://frame.example/embed",
                                                     L"https://app.localhost/" }));
}

TEST_F (MessagesTest, PostingWithoutAnOpenViewIsRefused)
{
    controller->Close();
    EXPECT_EQ (standin_post_web_message (L"nobody"), STANDIN_NO_VIEW);
    EXPECT_EQ (standin_post_web_message_from (L"https://x/", L"nobody"), STANDIN_NO_VIEW);
    EXPECT_EQ (standin_request_permission (COREWEBVIEW2_PERMISSION_KIND_CAMERA, L""), STANDIN_NO_VIEW);
    EXPECT_EQ (standin_request_resource (L"https://x/"), STANDIN_NO_VIEW);
    EXPECT_EQ (standin_drop_file (L"C:\\a.txt"), STANDIN_NO_VIEW);
    EXPECT_EQ (standin_navigate_page (L"https://x/"), STANDIN_NO_VIEW);
    EXPECT_EQ (standin_request_new_window (L"https://x/"), STANDIN_NO_VIEW);
    EXPECT_EQ (standin_press_key (L"F5"), STANDIN_NO_VIEW);
}

} // namespace
} // namespace tunewell::standin::testing
