#include "loader/dynamic_library.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace tunewell::testrig
{
namespace
{

using file::DynamicLibrary;

TEST (DynamicLibrary, FindsTheSameFunctionsAsTheSystem)
{
    const DynamicLibrary kernel ("kernel32.dll");
    ASSERT_TRUE (kernel.isLoaded());
    EXPECT_EQ (kernel.lookupFunction ("GetCurrentProcessId"),
               reinterpret_cast<void*> (GetProcAddress (GetModuleHandleA ("kernel32.dll"), "GetCurrentProcessId")));
    EXPECT_EQ (kernel.lookupFunction ("NoSuchFunctionAnywhere"), nullptr);
}

TEST (DynamicLibrary, OfAMissingFileIsEmpty)
{
    const DynamicLibrary missing ("tw_no_such_module.dll");
    EXPECT_FALSE (missing.isLoaded());
    EXPECT_EQ (missing.lookupFunction ("GetCurrentProcessId"), nullptr);
}

TEST (DynamicLibrary, HoldsTheModuleExactlyAsLongAsItLives)
{
    ASSERT_EQ (GetModuleHandleA ("tw_fixture_helper_one.dll"), nullptr);
    {
        const DynamicLibrary helper ("tw_fixture_helper_one.dll");
        ASSERT_TRUE (helper.isLoaded());
        const auto value = reinterpret_cast<int (*)()> (helper.lookupFunction ("helperOneValue"));
        ASSERT_NE (value, nullptr);
        EXPECT_EQ (value(), 100);
        EXPECT_NE (GetModuleHandleA ("tw_fixture_helper_one.dll"), nullptr);
    }
    EXPECT_EQ (GetModuleHandleA ("tw_fixture_helper_one.dll"), nullptr);
}

} // namespace
} // namespace tunewell::testrig
