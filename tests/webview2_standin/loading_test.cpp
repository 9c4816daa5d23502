#include <fstream>
#include <iterator>
#include <vector>

#include "standin_fixture.h"

#include "loader/memory_dll.h"

namespace tunewell::standin::testing
{
namespace
{

std::vector<char> runtimeImage()
{
    wchar_t path[MAX_PATH] {};
    GetModuleFileNameW (GetModuleHandleW (L"webview2_standin.dll"), path, MAX_PATH);
    std::ifstream file (path, std::ios::binary);
    return { std::istreambuf_iterator<char> (file), std::istreambuf_iterator<char>() };
}

/// Runs one environment creation through a looked-up export.
HRESULT createThrough (CreateCoreWebView2EnvironmentWithOptionsFunction create, bool& environmentArrived)
{
    auto* handler = new EnvironmentHandler ([&] (HRESULT, ICoreWebView2Environment* created) {
        environmentArrived = created != nullptr;
        return S_OK;
    });
    auto result = create (nullptr, L"C:\\profile", nullptr, handler);
    waitUntil ([&] { return handler->invocations > 0; });
    handler->Release();
    pumpMessages();
    return result;
}

using LoadingTest = StandinTest;

TEST_F (LoadingTest, TheDiskCopyExportsTheCreationFunctionUndecorated)
{
    bool arrived = false;
    EXPECT_EQ (createThrough (createEnvironment, arrived), S_OK);
    EXPECT_TRUE (arrived);
    EXPECT_EQ (GetProcAddress (runtimeModule, "_CreateCoreWebView2EnvironmentWithOptions@16"), nullptr);
}

TEST_F (LoadingTest, ACopyMappedFromMemoryWorksBesideTheDiskCopy)
{
    auto image = runtimeImage();
    ASSERT_FALSE (image.empty());

    {
        memory::MemoryDLL mapped (image.data(), image.size());
        ASSERT_FALSE (mapped.isEmpty());
        auto create = reinterpret_cast<CreateCoreWebView2EnvironmentWithOptionsFunction> (
            mapped.lookupFunction (createEnvironmentExportName));
        ASSERT_NE (create, nullptr);
        ASSERT_NE (reinterpret_cast<void*> (create), reinterpret_cast<void*> (createEnvironment));

        bool arrived = false;
        EXPECT_EQ (createThrough (create, arrived), S_OK);
        EXPECT_TRUE (arrived);
        EXPECT_EQ (standin_live_object_count(), 0);
    }

    // The disk copy still works after the mapped one is gone.
    bool arrived = false;
    EXPECT_EQ (createThrough (createEnvironment, arrived), S_OK);
    EXPECT_TRUE (arrived);
}

} // namespace
} // namespace tunewell::standin::testing
