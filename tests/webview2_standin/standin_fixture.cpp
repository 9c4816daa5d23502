#include "standin_fixture.h"

#include <objbase.h>

#include <algorithm>

namespace tunewell::standin::testing
{

namespace
{

std::wstring readText (size_t (*read) (size_t, wchar_t*, size_t), size_t index)
{
    std::wstring text (read (index, nullptr, 0), L'\0');
    read (index, text.data(), text.size() + 1);
    return text;
}

std::wstring readText (size_t (*read) (wchar_t*, size_t))
{
    std::wstring text (read (nullptr, 0), L'\0');
    read (text.data(), text.size() + 1);
    return text;
}

} // namespace

int pumpMessages (int limit)
{
    MSG message;
    int dispatched = 0;
    while (dispatched < limit && PeekMessageW (&message, nullptr, 0, 0, PM_REMOVE))
    {
        TranslateMessage (&message);
        DispatchMessageW (&message);
        ++dispatched;
    }
    return dispatched;
}

bool waitUntil (const std::function<bool()>& done, int milliseconds)
{
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG> (milliseconds);

    for (ULONGLONG now = GetTickCount64(); ! done() && now < deadline; now = GetTickCount64())
        if (pumpMessages (1) == 0)
            MsgWaitForMultipleObjects (0, nullptr, FALSE, static_cast<DWORD> (deadline - now), QS_ALLINPUT);

    return done();
}

std::vector<LogEntry> readLog()
{
    std::vector<LogEntry> log;
    for (size_t i = 0; i < standin_log_count(); ++i)
        log.push_back ({ readText (standin_log_operation, i), readText (standin_log_text, i) });

    return log;
}

std::vector<LogEntry> logSince (size_t index)
{
    auto log = readLog();
    return std::vector<LogEntry> (log.begin() + static_cast<std::ptrdiff_t> (std::min (index, log.size())), log.end());
}

bool waitForLogEntry (const LogEntry& entry, size_t from)
{
    return waitUntil ([&] {
        auto since = logSince (from);
        return std::find (since.begin(), since.end(), entry) != since.end();
    });
}

std::vector<std::wstring> loggedOperations()
{
    std::vector<std::wstring> operations;
    for (auto& entry : readLog())
        operations.push_back (entry.operation);

    return operations;
}

std::wstring documentHtml()
{
    return readText (standin_document_html);
}

std::wstring documentSource()
{
    return readText (standin_document_source);
}

std::vector<std::wstring> documentScripts()
{
    std::vector<std::wstring> scripts;
    for (size_t i = 0; i < standin_document_script_count(); ++i)
        scripts.push_back (readText (standin_document_script, i));

    return scripts;
}

std::wstring takeText (LPWSTR text)
{
    std::wstring copy = text != nullptr ? text : L"";
    CoTaskMemFree (text);
    return copy;
}

void StandinTest::SetUp()
{
    standin_reset();
    runtimeModule = LoadLibraryW (L"webview2_standin.dll");
    ASSERT_NE (runtimeModule, nullptr);
    createEnvironment = reinterpret_cast<CreateCoreWebView2EnvironmentWithOptionsFunction> (
        reinterpret_cast<void*> (GetProcAddress (runtimeModule, createEnvironmentExportName)));
    ASSERT_NE (createEnvironment, nullptr);

    parent = CreateWindowExW (0, L"Static", L"parent", WS_OVERLAPPEDWINDOW, 0, 0, 640, 480, nullptr, nullptr,
                              GetModuleHandleW (nullptr), nullptr);
    ASSERT_NE (parent, nullptr);
}

void StandinTest::TearDown()
{
    releaseBrowser();
    // Work the runtime queued for later (a script applied late) keeps what
    // it needs until it ran.
    waitUntil ([] { return standin_live_object_count() == 0; }, 2000);
    EXPECT_EQ (standin_live_object_count(), 0) << "a runtime object outlived every reference";
    EXPECT_EQ (standin_open_view_count(), 0);

    if (parent != nullptr)
        DestroyWindow (parent);
    pumpMessages();
}

HRESULT StandinTest::startEnvironment (EnvironmentHandler* handler, const wchar_t* userDataFolder)
{
    return createEnvironment (nullptr, userDataFolder, nullptr, handler);
}

void StandinTest::createBrowser()
{
    auto* environmentDone = new EnvironmentHandler ([this] (HRESULT, ICoreWebView2Environment* created) {
        environment = ui::ComRef<ICoreWebView2Environment>::share (created);
        return S_OK;
    });
    ASSERT_EQ (startEnvironment (environmentDone), S_OK);
    ASSERT_TRUE (waitUntil ([&] { return environmentDone->invocations > 0; }, 5000));
    environmentDone->Release();
    ASSERT_TRUE (environment);

    auto* controllerDone = new ControllerHandler ([this] (HRESULT, ICoreWebView2Controller* created) {
        controller = ui::ComRef<ICoreWebView2Controller>::share (created);
        return S_OK;
    });
    ASSERT_EQ (environment->CreateCoreWebView2Controller (parent, controllerDone), S_OK);
    ASSERT_TRUE (waitUntil ([&] { return controllerDone->invocations > 0; }, 5000));
    controllerDone->Release();
    ASSERT_TRUE (controller);

    ICoreWebView2* created = nullptr;
    ASSERT_EQ (controller->get_CoreWebView2 (&created), S_OK);
    view = ui::ComRef<ICoreWebView2>::adopt (created);
}

ui::ComRef<ICoreWebView2Controller> StandinTest::createAnotherController()
{
    ui::ComRef<ICoreWebView2Controller> created;
    auto* done = new ControllerHandler ([&created] (HRESULT, ICoreWebView2Controller* controller) {
        created = ui::ComRef<ICoreWebView2Controller>::share (controller);
        return S_OK;
    });
    EXPECT_EQ (environment->CreateCoreWebView2Controller (parent, done), S_OK);
    EXPECT_TRUE (waitUntil ([&] { return done->invocations > 0; }, 5000));
    done->Release();
    return created;
}

bool StandinTest::showDocument (const wchar_t* html)
{
    const int before = standin_document_count();
    return SUCCEEDED (view->NavigateToString (html))
        && waitUntil ([before] { return standin_document_count() > before; });
}

void StandinTest::releaseBrowser()
{
    view.reset();
    controller.reset();
    environment.reset();
}

} // namespace tunewell::standin::testing
