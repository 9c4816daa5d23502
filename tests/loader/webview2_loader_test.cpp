// Microsoft's WebView2 loader, mapped by a loader that lives in a DLL loaded
// at run time, as the extension lives in the host: nothing of the program's
// own thread-local data may change, and with no browser runtime installed the
// mapped loader answers as the loaded one does and creates nothing.

#include "fixture_files.h"

#include "webview/webview2_win.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <tlhelp32.h>

#include <iostream>

namespace tunewell::testrig
{
namespace
{

using CompareBrowserVersionsFunction = HRESULT (STDMETHODCALLTYPE*) (PCWSTR, PCWSTR, int*);

// A completion handler that only counts what is done to it.
class CountingHandler : public ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler
{
public:
    HRESULT STDMETHODCALLTYPE QueryInterface (REFIID iid, void** object) override
    {
        if (iid != IID_IUnknown && iid != IID_ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler)
        {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        *object = this;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }
    HRESULT STDMETHODCALLTYPE Invoke (HRESULT, ICoreWebView2Environment*) override
    {
        ++invocations;
        return S_OK;
    }

    ULONG references = 1;
    int invocations = 0;
};

struct LoaderCalls
{
    CreateCoreWebView2EnvironmentWithOptionsFunction createEnvironment;
    CompareBrowserVersionsFunction compareVersions;
};

template <typename Lookup>
LoaderCalls loaderCalls (Lookup lookup)
{
    return { reinterpret_cast<CreateCoreWebView2EnvironmentWithOptionsFunction> (lookup (createEnvironmentExportName)),
             reinterpret_cast<CompareBrowserVersionsFunction> (lookup ("CompareBrowserVersions")) };
}

// Creation must fail without a runtime, never call the handler and keep no
// reference to it. The failure, which the loaded loader gives as well.
HRESULT failedCreation (const LoaderCalls& calls)
{
    CountingHandler handler;
    const HRESULT result = calls.createEnvironment (nullptr, nullptr, nullptr, &handler);
    EXPECT_TRUE (FAILED (result)) << std::hex << result;
    EXPECT_EQ (handler.invocations, 0);
    EXPECT_EQ (handler.references, 1u);
    return result;
}

int comparison (const LoaderCalls& calls, PCWSTR first, PCWSTR second)
{
    int result = 0;
    EXPECT_EQ (calls.compareVersions (first, second, &result), S_OK);
    return result;
}

std::size_t moduleCount()
{
    HANDLE snapshot = CreateToolhelp32Snapshot (TH32CS_SNAPMODULE, 0);
    MODULEENTRY32W module {};
    module.dwSize = sizeof module;
    std::size_t count = 0;
    for (BOOL found = Module32FirstW (snapshot, &module); found; found = Module32NextW (snapshot, &module))
        ++count;
    CloseHandle (snapshot);
    return count;
}

// Counted by probing, because Wine does not count them for GetProcessHandleCount.
std::size_t handleCount()
{
    std::size_t count = 0;
    DWORD flags = 0;
    for (std::uintptr_t value = 4; value < 0x10000; value += 4)
        count += GetHandleInformation (reinterpret_cast<HANDLE> (value), &flags) ? 1 : 0;
    return count;
}

class MicrosoftLoader : public ::testing::Test
{
protected:
    using Map = void* (*)(const void*, std::uint64_t);
    using Lookup = void* (*)(const void*, const char*);
    using Unmap = void (*) (void*);

    void SetUp() override
    {
        // The variable would send the loader to a runtime folder.
        SetEnvironmentVariableW (L"WEBVIEW2_BROWSER_EXECUTABLE_FOLDER", nullptr);
        ASSERT_NE (carrier, nullptr);
        map = systemExport<Map> (carrier, "carrierMap");
        lookup = systemExport<Lookup> (carrier, "carrierLookup");
        unmap = systemExport<Unmap> (carrier, "carrierUnmap");
        ASSERT_TRUE (map && lookup && unmap);
    }
    void TearDown() override { FreeLibrary (carrier); }

    LoaderCalls mappedCalls (const void* loader)
    {
        const auto calls = loaderCalls ([&] (const char* name) { return lookup (loader, name); });
        EXPECT_TRUE (calls.createEnvironment && calls.compareVersions);
        return calls;
    }

    const Bytes image = readFile (TUNEWELL_WEBVIEW2_LOADER_FILE);
    HMODULE carrier = LoadLibraryA ("tw_loader_carrier.dll");
    Map map = nullptr;
    Lookup lookup = nullptr;
    Unmap unmap = nullptr;
};

TEST_F (MicrosoftLoader, MappedLeavesTheProgramsThreadLocalBlockAsItWasAndAnswersAsWhenLoaded)
{
    const ThreadLocalBlock block = programThreadLocalBlock();
    const Bytes original = block.bytes();
    for (std::size_t i = 0; i < block.size; ++i)
        block.data[i] = static_cast<unsigned char> (0xC3 ^ i);
    const Bytes canary = block.bytes();

    void* mapped = map (image.data(), image.size());
    ASSERT_NE (mapped, nullptr);
    EXPECT_EQ (block.bytes(), canary) << "after mapping";
    const LoaderCalls calls = mappedCalls (mapped);
    const HRESULT mappedFailure = failedCreation (calls);
    EXPECT_EQ (failedCreation (calls), mappedFailure);
    EXPECT_EQ (block.bytes(), canary) << "after creating environments";
    EXPECT_EQ (comparison (calls, L"1.0.0.1", L"1.0.0.2"), -1);
    EXPECT_EQ (comparison (calls, L"1.0.0.2", L"1.0.0.1"), 1);
    EXPECT_EQ (comparison (calls, L"97.0.1072.69", L"97.0.1072.69"), 0);
    unmap (mapped);
    EXPECT_EQ (block.bytes(), canary) << "after unmapping";
    std::copy (original.begin(), original.end(), block.data);

    const HMODULE loaded = LoadLibraryA (TUNEWELL_WEBVIEW2_LOADER_FILE);
    ASSERT_NE (loaded, nullptr);
    const auto loadedCalls = loaderCalls (
        [&] (const char* name) { return reinterpret_cast<void*> (GetProcAddress (loaded, name)); });
    EXPECT_EQ (failedCreation (loadedCalls), mappedFailure);
    EXPECT_EQ (comparison (loadedCalls, L"1.0.0.1", L"1.0.0.2"), -1);
    FreeLibrary (loaded);
}

TEST_F (MicrosoftLoader, MappedCalledAndUnmappedRepeatedlyLeavesNothingBehind)
{
    const auto round = [&] {
        void* mapped = map (image.data(), image.size());
        ASSERT_NE (mapped, nullptr);
        const LoaderCalls calls = mappedCalls (mapped);
        failedCreation (calls);
        EXPECT_EQ (comparison (calls, L"1.0.0.1", L"1.0.0.2"), -1);
        unmap (mapped);
    };
    // The first call loads, for good, the system modules that the loader
    // imports late, as it would when loaded by Windows.
    round();
    const std::uint64_t memoryBefore = executablePrivateBytes();
    void* held = map (image.data(), image.size());
    const std::uint64_t memoryWhileMapped = executablePrivateBytes();
    ASSERT_GT (memoryWhileMapped, memoryBefore) << "the measure does not see a mapped image";
    unmap (held);
    const std::size_t modulesBefore = moduleCount();
    const std::size_t handlesBefore = handleCount();
    for (int i = 0; i < 100; ++i)
        round();
    std::cout << "100 rounds: executable bytes " << memoryBefore << " -> " << executablePrivateBytes()
              << " (one image mapped: " << memoryWhileMapped << "), modules " << modulesBefore << " -> "
              << moduleCount() << ", handles " << handlesBefore << " -> " << handleCount() << "\n";
    EXPECT_EQ (executablePrivateBytes(), memoryBefore);
    EXPECT_EQ (moduleCount(), modulesBefore);
    EXPECT_EQ (handleCount(), handlesBefore);
}

} // namespace
} // namespace tunewell::testrig
