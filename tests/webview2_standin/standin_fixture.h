#pragma once

// Drives the stand-in runtime the way a browser host does: through the
// declared WebView2 interfaces, pumping the thread's messages until the
// runtime's callbacks have run.

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "webview/com_ref_win.h"
#include "standin_control.h"
#include "webview/webview2_win.h"

namespace tunewell::standin::testing
{

/// A handler of any one-method WebView2 handler interface whose Invoke runs a
/// test's function; it counts its references and says when it was deleted.
/// It answers IUnknown and its interface, as COM asks, unless told to refuse.
template <typename Interface, const IID& interfaceId, typename First, typename Second>
class FakeHandler final : public Interface
{
public:
    using Callback = std::function<HRESULT (First, Second)>;

    explicit FakeHandler (Callback callback = {}, bool* deletedFlag = nullptr)
        : onInvoke (std::move (callback)), deleted (deletedFlag)
    {
    }

    HRESULT STDMETHODCALLTYPE QueryInterface (REFIID iid, void** object) override
    {
        *object = nullptr;
        if (refusesQueries || ! (IsEqualIID (iid, IID_IUnknown) || IsEqualIID (iid, interfaceId)))
            return E_NOINTERFACE;

        *object = static_cast<Interface*> (this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }

    ULONG STDMETHODCALLTYPE Release() override
    {
        auto remaining = --references;
        if (remaining == 0)
        {
            if (deleted != nullptr)
                *deleted = true;
            delete this;
        }
        return remaining;
    }

    HRESULT STDMETHODCALLTYPE Invoke (First first, Second second) override
    {
        ++invocations;
        invokingThread = GetCurrentThreadId();
        return onInvoke ? onInvoke (first, second) : S_OK;
    }

    ULONG references = 1;
    int invocations = 0;
    DWORD invokingThread = 0;
    bool refusesQueries = false;

private:
    ~FakeHandler() = default;

    Callback onInvoke;
    bool* deleted;
};

using EnvironmentHandler =
    FakeHandler<ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler,
                IID_ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler, HRESULT, ICoreWebView2Environment*>;
using ControllerHandler =
    FakeHandler<ICoreWebView2CreateCoreWebView2ControllerCompletedHandler,
                IID_ICoreWebView2CreateCoreWebView2ControllerCompletedHandler, HRESULT, ICoreWebView2Controller*>;
using MessageHandler =
    FakeHandler<ICoreWebView2WebMessageReceivedEventHandler, IID_ICoreWebView2WebMessageReceivedEventHandler,
                ICoreWebView2*, ICoreWebView2WebMessageReceivedEventArgs*>;
using PermissionHandler =
    FakeHandler<ICoreWebView2PermissionRequestedEventHandler, IID_ICoreWebView2PermissionRequestedEventHandler,
                ICoreWebView2*, ICoreWebView2PermissionRequestedEventArgs*>;
using ResourceHandler =
    FakeHandler<ICoreWebView2WebResourceRequestedEventHandler, IID_ICoreWebView2WebResourceRequestedEventHandler,
                ICoreWebView2*, ICoreWebView2WebResourceRequestedEventArgs*>;
using ScriptAddedHandler =
    FakeHandler<ICoreWebView2AddScriptToExecuteOnDocumentCreatedCompletedHandler,
                IID_ICoreWebView2AddScriptToExecuteOnDocumentCreatedCompletedHandler, HRESULT, LPCWSTR>;
using ProcessFailedHandler =
    FakeHandler<ICoreWebView2ProcessFailedEventHandler, IID_ICoreWebView2ProcessFailedEventHandler, ICoreWebView2*,
                ICoreWebView2ProcessFailedEventArgs*>;
using NavigationStartingHandler =
    FakeHandler<ICoreWebView2NavigationStartingEventHandler, IID_ICoreWebView2NavigationStartingEventHandler,
                ICoreWebView2*, ICoreWebView2NavigationStartingEventArgs*>;
using NewWindowHandler =
    FakeHandler<ICoreWebView2NewWindowRequestedEventHandler, IID_ICoreWebView2NewWindowRequestedEventHandler,
                ICoreWebView2*, ICoreWebView2NewWindowRequestedEventArgs*>;
using AcceleratorKeyHandler =
    FakeHandler<ICoreWebView2AcceleratorKeyPressedEventHandler, IID_ICoreWebView2AcceleratorKeyPressedEventHandler,
                ICoreWebView2Controller*, ICoreWebView2AcceleratorKeyPressedEventArgs*>;

/// Dispatches queued messages of this thread, at most limit of them; returns
/// how many it dispatched.
int pumpMessages (int limit = 10000);

/// Dispatches messages as they come, timers included, until done() holds or
/// this many milliseconds have passed; returns done(). The bound is
/// generous: the runtime's delays run on timers, and Wine can be slow.
bool waitUntil (const std::function<bool()>& done, int milliseconds = 10000);

struct LogEntry
{
    std::wstring operation, text;
    bool operator== (const LogEntry& other) const { return operation == other.operation && text == other.text; }
};

std::vector<LogEntry> readLog();
/// The entries logged from this index on.
std::vector<LogEntry> logSince (size_t index);
/// Waits until this entry is logged at or after the index.
bool waitForLogEntry (const LogEntry& entry, size_t from = 0);
std::vector<std::wstring> loggedOperations();
std::wstring documentHtml();
std::wstring documentSource();
std::vector<std::wstring> documentScripts();

/// Takes a text that the runtime allocated and frees it.
std::wstring takeText (LPWSTR text);

/// The stand-in loaded from disk, a hidden parent window, and helpers that
/// create a browser in it step by step. Every test starts from a clean
/// control and must leave no runtime object alive.
class StandinTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    HRESULT startEnvironment (EnvironmentHandler* handler, const wchar_t* userDataFolder = L"C:\\profile");

    /// Creates environment, controller and view, pumping until each exists.
    void createBrowser();

    void releaseBrowser();

    /// Opens a document string and waits until it replaced the current
    /// document, which the runtime does only in a later turn; whether it did.
    bool showDocument (const wchar_t* html);

    /// Another controller of the same environment in the same parent; its
    /// view becomes the current view.
    ui::ComRef<ICoreWebView2Controller> createAnotherController();

    HMODULE runtimeModule = nullptr;
    CreateCoreWebView2EnvironmentWithOptionsFunction createEnvironment = nullptr;
    HWND parent = nullptr;

    ui::ComRef<ICoreWebView2Environment> environment;
    ui::ComRef<ICoreWebView2Controller> controller;
    ui::ComRef<ICoreWebView2> view;
};

} // namespace tunewell::standin::testing
