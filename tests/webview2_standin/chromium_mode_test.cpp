// Chromium mode of the stand-in, against a fake driver in the test: a
// loopback server that reads the runtime's lines and answers as the real
// driver would.

#include <winsock2.h>
#include <ws2tcpip.h>

#include "standin_fixture.h"

#include <string>
#include <thread>
#include <vector>

#include "json/json_parse.h"
#include "text/utf16.h"

namespace tunewell::standin::testing
{
namespace
{

class FakeDriver
{
public:
    FakeDriver()
    {
        WSADATA data {};
        WSAStartup (MAKEWORD (2, 2), &data);
        listener = socket (AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl (INADDR_LOOPBACK);
        bind (listener, reinterpret_cast<sockaddr*> (&address), sizeof (address));
        listen (listener, 1);
        int length = sizeof (address);
        getsockname (listener, reinterpret_cast<sockaddr*> (&address), &length);
        port = ntohs (address.sin_port);
    }

    ~FakeDriver()
    {
        hangUp();
        closesocket (listener);
    }

    std::wstring address() const { return L"127.0.0.1:" + std::to_wstring (port); }

    /// The runtime's connection; its connect has returned, so it is queued.
    void accept()
    {
        connection = ::accept (listener, nullptr, nullptr);
        DWORD timeoutMs = 5000;
        setsockopt (connection, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*> (&timeoutMs),
                    sizeof (timeoutMs));
    }

    /// The next line, parsed; a void value when none came within the bound.
    value::Value nextLine()
    {
        for (;;)
        {
            if (auto end = pending.find ('\n'); end != std::string::npos)
            {
                auto line = pending.substr (0, end);
                pending.erase (0, end + 1);
                lines.push_back (line);
                return json::parse (line.c_str(), line.size(), false);
            }
            char chunk[4096];
            auto count = recv (connection, chunk, sizeof (chunk), 0);
            if (count <= 0)
                return {};
            pending.append (chunk, static_cast<size_t> (count));
        }
    }

    /// Lines up to and including the first of this operation.
    value::Value lineOf (std::string_view op)
    {
        for (auto line = nextLine(); ! line.getView().isVoid(); line = nextLine())
            if (line["op"].readString() == op)
                return line;
        return {};
    }

    void send (const std::string& line)
    {
        auto text = line + "\n";
        ::send (connection, text.data(), static_cast<int> (text.size()), 0);
    }

    void hangUp()
    {
        if (connection != INVALID_SOCKET)
            closesocket (connection);
        connection = INVALID_SOCKET;
    }

    std::vector<std::string> lines;

private:
    SOCKET listener = INVALID_SOCKET;
    SOCKET connection = INVALID_SOCKET;
    int port = 0;
    std::string pending;
};

/// Dispatches this thread's messages until done() holds, waiting for more
/// when the queue is empty; false when timeoutMs passed first.
bool pumpWithin (const std::function<bool()>& done, DWORD timeoutMs = 5000)
{
    auto deadline = GetTickCount64() + timeoutMs;
    while (! done())
    {
        if (GetTickCount64() > deadline)
            return false;
        MsgWaitForMultipleObjects (0, nullptr, FALSE, 50, QS_ALLINPUT);
        pumpMessages (100);
    }
    return true;
}

std::wstring reply()
{
    std::wstring text (standin_chromium_reply (nullptr, 0) + 1, L'\0');
    text.resize (standin_chromium_reply (text.data(), text.size()));
    return text;
}

class ChromiumModeTest : public StandinTest
{
protected:
    void SetUp() override
    {
        StandinTest::SetUp();
        ASSERT_EQ (standin_chromium_connect (driver.address().c_str()), 0);
        driver.accept();
    }

    void TearDown() override
    {
        releaseBrowser();
        driver.hangUp();
        // The next test connects afresh only once this link is seen broken.
        EXPECT_TRUE (pumpWithin ([] { return standin_chromium_mode() != 1; }));
        StandinTest::TearDown();
    }

    int openedView()
    {
        auto line = driver.lineOf ("openView");
        return line.getView().isVoid() ? -1 : static_cast<int> (line["view"].get<int64_t>());
    }

    FakeDriver driver;
};

TEST_F (ChromiumModeTest, EveryPageOperationOfAViewReachesTheDriverInOrder)
{
    ASSERT_NO_FATAL_FAILURE (createBrowser());
    auto viewId = openedView();
    ASSERT_GT (viewId, 0);

    ASSERT_EQ (controller->put_Bounds (RECT { 0, 0, 1064, 681 }), S_OK);
    // The page opens once the script applies, as a host waits for it.
    auto* added = new ScriptAddedHandler();
    ASSERT_EQ (view->AddScriptToExecuteOnDocumentCreated (L"window.a = 'Caf\u00e9'", added), S_OK);
    ASSERT_TRUE (waitUntil ([&] { return added->invocations > 0; }));
    added->Release();
    ASSERT_TRUE (showDocument (L"<p>\U0001F3B8 & <b>\"x\"</b></p>"));
    ASSERT_EQ (view->ExecuteScript (L"setSongList(\"<li>\\\\</li>\")", nullptr), S_OK);
    ASSERT_EQ (view->PostWebMessageAsString (L"echo"), S_OK);
    ASSERT_EQ (controller->put_IsVisible (FALSE), S_OK);

    auto bounds = driver.lineOf ("bounds");
    EXPECT_EQ (bounds["width"].get<int64_t>(), 1064);
    EXPECT_EQ (bounds["height"].get<int64_t>(), 681);
    auto script = driver.nextLine();
    EXPECT_EQ (script["op"].readString(), "addInitScript");
    EXPECT_EQ (script["script"].readString(), "window.a = 'Caf\xc3\xa9'");
    auto document = driver.nextLine();
    EXPECT_EQ (document["op"].readString(), "navigateToString");
    EXPECT_EQ (document["html"].readString(), "<p>\xf0\x9f\x8e\xb8 & <b>\"x\"</b></p>");
    auto executed = driver.nextLine();
    EXPECT_EQ (executed["script"].readString(), "setSongList(\"<li>\\\\</li>\")");
    auto posted = driver.nextLine();
    EXPECT_EQ (posted["op"].readString(), "postWebMessage");
    EXPECT_EQ (posted["json"].readString(), "\"echo\"");
    auto hidden = driver.nextLine();
    EXPECT_EQ (hidden["op"].readString(), "visible");
    EXPECT_FALSE (hidden["visible"].readContentAs<bool>());
    EXPECT_EQ (hidden["view"].get<int64_t>(), viewId);

    for (const auto& line : driver.lines)
        for (auto c : line)
            ASSERT_LT (static_cast<unsigned char> (c), 0x80) << "lines are pure ASCII: " << line;

    EXPECT_EQ (documentHtml(), L"<p>\U0001F3B8 & <b>\"x\"</b></p>") << "recording goes on in Chromium mode";
}

TEST_F (ChromiumModeTest, ClosingTheControllerClosesTheDriversView)
{
    ASSERT_NO_FATAL_FAILURE (createBrowser());
    auto viewId = openedView();
    ASSERT_EQ (controller->Close(), S_OK);
    auto closed = driver.lineOf ("closeView");
    ASSERT_FALSE (closed.getView().isVoid());
    EXPECT_EQ (closed["view"].get<int64_t>(), viewId);
}

TEST_F (ChromiumModeTest, PageMessagesReachTheHandlerOnTheViewsThreadThroughItsQueue)
{
    ASSERT_NO_FATAL_FAILURE (createBrowser());
    auto viewId = openedView();

    std::vector<std::wstring> texts;
    std::vector<DWORD> threads;
    auto* handler = new MessageHandler ([&] (ICoreWebView2*, ICoreWebView2WebMessageReceivedEventArgs* args) {
        LPWSTR text = nullptr;
        texts.push_back (SUCCEEDED (args->TryGetWebMessageAsString (&text)) ? takeText (text) : L"<not a string>");
        threads.push_back (GetCurrentThreadId());
        return S_OK;
    });
    EventRegistrationToken token {};
    ASSERT_EQ (view->add_WebMessageReceived (handler, &token), S_OK);
    handler->Release();

    auto id = std::to_string (viewId);
    driver.send ("{\"event\":\"webMessage\",\"view\":" + id
                 + ",\"text\":\"{\\\"id\\\":2,\\\"fn\\\":\\\"selectSong\\\"}\",\"isJson\":false}");
    driver.send ("{\"event\":\"webMessage\",\"view\":" + std::to_string (viewId + 100) + ",\"text\":\"elsewhere\"}");
    driver.send ("{\"event\":\"webMessage\",\"view\":" + id + ",\"text\":\"Sigur R\xc3\xb3s \xf0\x9f\x8e\xb5\"}");
    driver.send ("{\"event\":\"webMessage\",\"view\":" + id + ",\"text\":\"{\\\"a\\\":1}\",\"isJson\":true}");

    ASSERT_TRUE (pumpWithin ([&] { return texts.size() >= 3; })) << "got " << texts.size() << " messages";
    EXPECT_EQ (texts[0], L"{\"id\":2,\"fn\":\"selectSong\"}");
    EXPECT_EQ (texts[1], L"Sigur R\u00f3s \U0001F3B5") << "a message for another view is dropped";
    EXPECT_EQ (texts[2], L"<not a string>") << "a JSON message is not a string";
    for (auto thread : threads)
        EXPECT_EQ (thread, GetCurrentThreadId());
}

TEST_F (ChromiumModeTest, RequestsAreRefusedWithoutTrafficWhileTheViewsWindowIsHidden)
{
    ASSERT_NO_FATAL_FAILURE (createBrowser());
    openedView();
    ASSERT_FALSE (IsWindowVisible (parent));

    EXPECT_EQ (standin_chromium_click_song (0), STANDIN_BROWSER_REFUSED);
    EXPECT_EQ (reply(), L"the current view's window is hidden");
    EXPECT_EQ (standin_chromium_screenshot (L"/tmp/hidden.png"), STANDIN_BROWSER_REFUSED);

    // Nothing but the operations so far reached the driver: the next line
    // is the one sent now.
    ASSERT_EQ (view->ExecuteScript (L"1", nullptr), S_OK);
    EXPECT_EQ (driver.nextLine()["op"].readString(), "executeScript");
}

TEST_F (ChromiumModeTest, RequestsWaitForTheDriversAnswerAndPassItOn)
{
    ASSERT_NO_FATAL_FAILURE (createBrowser());
    openedView();
    ShowWindow (parent, SW_SHOWNOACTIVATE);

    value::Value click;
    std::thread answering ([&] {
        click = driver.lineOf ("clickSong");
        driver.send ("{\"reply\":" + std::to_string (click["seq"].get<int64_t>())
                     + ",\"ok\":false,\"error\":\"no song 7\"}");
        auto list = driver.lineOf ("listTexts");
        driver.send ("{\"reply\":" + std::to_string (list["seq"].get<int64_t>())
                     + ",\"ok\":true,\"result\":[\"Caf\xc3\xa9 del Mar - Energy 52\"]}");
    });

    EXPECT_EQ (standin_chromium_click_song (7), STANDIN_BROWSER_REFUSED);
    EXPECT_EQ (reply(), L"no song 7");
    EXPECT_EQ (standin_chromium_list_texts(), 0);
    auto texts = text::utf16ToUtf8 (reply());
    auto list = json::parse (texts.c_str(), texts.size(), false);
    ASSERT_EQ (list.getView().size(), 1u) << texts;
    EXPECT_EQ (list[0].readString(), "Caf\xc3\xa9 del Mar - Energy 52");
    answering.join();

    EXPECT_EQ (click["index"].get<int64_t>(), 7);
    EXPECT_NE (click["seq"].get<int64_t>(), 0);
}

TEST_F (ChromiumModeTest, ALostDriverFailsRequestsAndLaterBrowsersAtOnce)
{
    ASSERT_NO_FATAL_FAILURE (createBrowser());
    openedView();
    driver.hangUp();

    ASSERT_TRUE (pumpWithin ([] { return standin_chromium_mode() == -1; }));
    EXPECT_EQ (standin_chromium_screenshot (L"/tmp/never.png"), STANDIN_BROWSER_UNREACHABLE);
    EXPECT_NE (reply().find (L"closed the connection"), std::wstring::npos) << reply();

    auto* handler = new EnvironmentHandler();
    EXPECT_EQ (startEnvironment (handler), HRESULT_FROM_WIN32 (ERROR_CONNECTION_REFUSED));
    pumpMessages();
    EXPECT_EQ (handler->invocations, 0);
    handler->Release();
}

TEST (ChromiumModeConnection, IsRefusedForAnythingButLoopbackAndForAPortWithoutDriver)
{
    EXPECT_EQ (standin_chromium_connect (L"10.1.2.3:4000"), STANDIN_BROWSER_UNREACHABLE);
    EXPECT_EQ (standin_chromium_connect (L"localhost:4000"), STANDIN_BROWSER_UNREACHABLE);
    EXPECT_EQ (standin_chromium_connect (L"127.0.0.1:"), STANDIN_BROWSER_UNREACHABLE);
    EXPECT_EQ (standin_chromium_connect (L"127.0.0.1:99999"), STANDIN_BROWSER_UNREACHABLE);

    std::wstring vacated;
    {
        FakeDriver gone;
        vacated = gone.address();
    }
    EXPECT_EQ (standin_chromium_connect (vacated.c_str()), STANDIN_BROWSER_UNREACHABLE);
    EXPECT_EQ (standin_chromium_mode(), -1);
    EXPECT_EQ (standin_chromium_click_close(), STANDIN_BROWSER_UNREACHABLE);
    EXPECT_NE (reply().find (L"not in Chromium mode"), std::wstring::npos) << "nothing to answer a request";
}

} // namespace
} // namespace tunewell::standin::testing
