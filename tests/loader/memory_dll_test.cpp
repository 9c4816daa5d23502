#include "loader/memory_dll.h"

#include "fixture_files.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <stdexcept>
#include <string>

namespace tunewell::testing {
namespace {

using memory::MemoryDLL;

template <typename Function>
Function exported(const MemoryDLL& loader, const char* name)
{
    return reinterpret_cast<Function>(loader.lookupFunction(name));
}

std::unique_ptr<MemoryDLL> map(const Bytes& image)
{
    return std::make_unique<MemoryDLL>(image.data(), image.size());
}

bool isInside(const void* address, std::uint64_t start, std::uint64_t size)
{
    const auto at = reinterpret_cast<std::uintptr_t>(address);
    return at >= start && at < start + size;
}

// Keeps an address range reserved so that an image cannot be mapped there.
class ReservedRange {
public:
    ReservedRange(std::uint64_t start, std::uint64_t size)
        : block(VirtualAlloc(reinterpret_cast<void*>(start), size, MEM_RESERVE, PAGE_NOACCESS))
    {
    }
    ~ReservedRange()
    {
        if (block != nullptr)
            VirtualFree(block, 0, MEM_RELEASE);
    }
    ReservedRange(const ReservedRange&) = delete;
    ReservedRange& operator=(const ReservedRange&) = delete;

    // False when something else already holds part of the range, which
    // blocks the image just as well.
    bool isHeld() const { return block != nullptr; }

private:
    void* block;
};

// Checks every behaviour of the basic fixture that depends on correct mapping.
void expectBasicFixtureWorks(const MemoryDLL& loader)
{
    ASSERT_FALSE(loader.isEmpty());
    const auto addNumbers = exported<int (*)(int, int)>(loader, "addNumbers");
    const auto wordAt = exported<const char* (*)(int)>(loader, "wordAt");
    const auto applyOperation = exported<int (*)(int, int, int)>(loader, "applyOperation");
    const auto nextCount = exported<int (*)()>(loader, "nextCount");
    const auto caughtMessageLength = exported<int (*)(const char*)>(loader, "caughtMessageLength");
    ASSERT_TRUE(addNumbers && wordAt && applyOperation && nextCount && caughtMessageLength);
    EXPECT_EQ(addNumbers(2, 40), 42);
    EXPECT_STREQ(wordAt(0), "alpha");
    EXPECT_STREQ(wordAt(2), "gamma");
    EXPECT_EQ(applyOperation(0, 6, 7), 13);
    EXPECT_EQ(applyOperation(1, 6, 7), 42);
    EXPECT_EQ(nextCount(), 42);
    EXPECT_EQ(nextCount(), 43);
    EXPECT_EQ(caughtMessageLength("thrown inside"), 13);
}

class MappedDLL : public ::testing::Test {
protected:
    void SetUp() override { clearFixtureEvents(); }
    void TearDown() override { clearFixtureEvents(); }

    const Bytes basic = basicFixture();
};

TEST_F(MappedDLL, RunsCodeAndDataAtItsPreferredAddress)
{
    const std::uint64_t preferred = preferredBaseOf(basic);
    const auto loader = map(basic);
    expectBasicFixtureWorks(*loader);
    EXPECT_TRUE(isInside(loader->lookupFunction("addNumbers"), preferred, sizeOfImageOf(basic)));
}

TEST_F(MappedDLL, IsRelocatedWhenItsPreferredAddressIsTaken)
{
    const std::uint64_t preferred = preferredBaseOf(basic);
    const ReservedRange taken(preferred, sizeOfImageOf(basic));
    const auto loader = map(basic);
    expectBasicFixtureWorks(*loader);
    EXPECT_FALSE(isInside(loader->lookupFunction("addNumbers"), preferred, sizeOfImageOf(basic)));
}

TEST_F(MappedDLL, FindsOnlyNamesTheImageExports)
{
    const auto loader = map(basic);
    EXPECT_NE(loader->lookupFunction("addNumbers"), nullptr);
    EXPECT_EQ(loader->lookupFunction("addnumbers"), nullptr);
    EXPECT_EQ(loader->lookupFunction("DllMain"), nullptr);
    EXPECT_EQ(loader->lookupFunction(""), nullptr);
}

TEST_F(MappedDLL, RunsTlsCallbacksBeforeTheEntryPointBothWays)
{
    auto loader = map(basic);
    ASSERT_FALSE(loader->isEmpty());
    EXPECT_EQ(fixtureEvents(), "tls-attach construct attach");
    loader.reset();
    EXPECT_EQ(fixtureEvents(), "tls-attach construct attach tls-detach detach destruct");
}

// The image's runtime registers a process-wide exception handler inside the
// image when its TLS callback attaches; an exception after the image is gone
// must not reach that handler.
TEST_F(MappedDLL, LeavesNoHandlerBehindThatAnExceptionCouldReach)
{
    map(basic);
    const Bytes withoutEntryPoint = [this] {
        Bytes image = basic;
        writeAt<std::uint32_t>(image, ntHeadersOffset(image) + 24 + 16, 0);
        return image;
    }();
    EXPECT_TRUE(map(withoutEntryPoint)->isEmpty());
    EXPECT_EQ(fixtureEvents(), "tls-attach construct attach tls-detach detach destruct tls-attach tls-detach");
    // Any exception at all walks the process's vectored handlers first.
    bool caught = false;
    try {
        throw std::runtime_error("after unmapping");
    } catch (const std::runtime_error&) {
        caught = true;
    }
    EXPECT_TRUE(caught);
}

TEST_F(MappedDLL, WhoseEntryPointRefusesIsEmptyYetDetached)
{
    const auto loader = map(readFixture("tw_fixture_refusing.dll"));
    EXPECT_TRUE(loader->isEmpty());
    EXPECT_EQ(loader->lookupFunction("refusingValue"), nullptr);
    EXPECT_EQ(fixtureEvents(), "refusing-attach refusing-detach");
}

TEST_F(MappedDLL, GivesBackEveryModuleItLoaded)
{
    auto loader = map(readFixture("tw_fixture_importer.dll"));
    ASSERT_FALSE(loader->isEmpty());
    EXPECT_NE(GetModuleHandleA("tw_fixture_helper_one.dll"), nullptr);
    EXPECT_NE(GetModuleHandleA("tw_fixture_helper_two.dll"), nullptr);
    EXPECT_EQ(exported<int (*)()>(*loader, "sumOfHelpers")(), 123);
    loader.reset();
    EXPECT_EQ(GetModuleHandleA("tw_fixture_helper_one.dll"), nullptr);
    EXPECT_EQ(GetModuleHandleA("tw_fixture_helper_two.dll"), nullptr);
}

TEST(EmptyLoader, ComesFromNoData)
{
    const MemoryDLL fromNull(nullptr, 4096);
    EXPECT_TRUE(fromNull.isEmpty());
    EXPECT_EQ(fromNull.lookupFunction("addNumbers"), nullptr);
    const unsigned char zeros[64] = {};
    EXPECT_TRUE(MemoryDLL(zeros, 0).isEmpty());
}

// Bytes of private memory that the process holds committed as executable:
// mapped images have code there, heaps do not, so what the images' own
// runtimes allocate and keep does not count.
std::uint64_t executablePrivateBytes()
{
    const DWORD executable = PAGE_EXECUTE | PAGE_EXECUTE_READ | PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
    std::uint64_t total = 0;
    MEMORY_BASIC_INFORMATION region;
    for (auto* at = static_cast<unsigned char*>(nullptr); VirtualQuery(at, &region, sizeof region) != 0;
         at = static_cast<unsigned char*>(region.BaseAddress) + region.RegionSize) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE && (region.Protect & executable) != 0)
            total += region.RegionSize;
    }
    return total;
}

TEST_F(MappedDLL, LeavesNoMemoryOrModulesBehindWhenMappedRepeatedly)
{
    const Bytes importer = readFixture("tw_fixture_importer.dll");
    // The helper stays loaded by this test, so a count the loader gets wrong
    // either keeps it loaded below or unloads it while still held.
    HMODULE held = LoadLibraryA("tw_fixture_helper_one.dll");
    ASSERT_NE(held, nullptr);
    map(basic);
    map(importer);
    const std::uint64_t before = executablePrivateBytes();
    {
        const auto loader = map(basic);
        ASSERT_GT(executablePrivateBytes(), before) << "the measure does not see a mapped image";
    }
    for (int round = 0; round < 100; ++round) {
        ASSERT_FALSE(map(basic)->isEmpty());
        ASSERT_FALSE(map(importer)->isEmpty());
    }
    EXPECT_EQ(executablePrivateBytes(), before);
    EXPECT_EQ(GetModuleHandleA("tw_fixture_helper_one.dll"), held);
    FreeLibrary(held);
    EXPECT_EQ(GetModuleHandleA("tw_fixture_helper_one.dll"), nullptr);
}

} // namespace
} // namespace tunewell::testing
