#include "loader/memory_dll.h"

#include "fixture_files.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace tunewell::testrig
{
namespace
{

using memory::MemoryDLL;

template <typename Function>
Function exported (const MemoryDLL& loader, const char* name)
{
    return reinterpret_cast<Function> (loader.lookupFunction (name));
}

std::unique_ptr<MemoryDLL> map (const Bytes& image)
{
    return std::make_unique<MemoryDLL> (image.data(), image.size());
}

bool isInside (const void* address, std::uint64_t start, std::uint64_t size)
{
    const auto at = reinterpret_cast<std::uintptr_t> (address);
    return at >= start && at < start + size;
}

// Keeps an address range reserved so that an image cannot be mapped there.
class ReservedRange
{
public:
    ReservedRange (std::uint64_t start, std::uint64_t size)
        : block (VirtualAlloc (reinterpret_cast<void*> (start), size, MEM_RESERVE, PAGE_NOACCESS))
    {
    }
    ~ReservedRange()
    {
        if (block != nullptr)
            VirtualFree (block, 0, MEM_RELEASE);
    }
    ReservedRange (const ReservedRange&) = delete;
    ReservedRange& operator= (const ReservedRange&) = delete;

    // False when something else already holds part of the range, which
    // blocks the image just as well.
    bool isHeld() const { return block != nullptr; }

private:
    void* block;
};

// Checks every behaviour of the basic fixture that depends on correct mapping.
void expectBasicFixtureWorks (const MemoryDLL& loader)
{
    ASSERT_FALSE (loader.isEmpty());
    const auto addNumbers = exported<int (*) (int, int)> (loader, "addNumbers");
    const auto wordAt = exported<const char* (*)(int)> (loader, "wordAt");
    const auto applyOperation = exported<int (*) (int, int, int)> (loader, "applyOperation");
    const auto nextCount = exported<int (*)()> (loader, "nextCount");
    const auto caughtMessageLength = exported<int (*) (const char*)> (loader, "caughtMessageLength");
    ASSERT_TRUE (addNumbers && wordAt && applyOperation && nextCount && caughtMessageLength);
    EXPECT_EQ (addNumbers (2, 40), 42);
    EXPECT_STREQ (wordAt (0), "alpha");
    EXPECT_STREQ (wordAt (2), "gamma");
    EXPECT_EQ (applyOperation (0, 6, 7), 13);
    EXPECT_EQ (applyOperation (1, 6, 7), 42);
    EXPECT_EQ (nextCount(), 42);
    EXPECT_EQ (nextCount(), 43);
    EXPECT_EQ (caughtMessageLength ("thrown inside"), 13);
}

class MappedDLL : public ::testing::Test
{
protected:
    void SetUp() override { clearFixtureEvents(); }
    void TearDown() override { clearFixtureEvents(); }

    const Bytes basic = basicFixture();
};

TEST_F (MappedDLL, RunsCodeAndDataAtItsPreferredAddress)
{
    const std::uint64_t preferred = preferredBaseOf (basic);
    const auto loader = map (basic);
    expectBasicFixtureWorks (*loader);
    EXPECT_TRUE (isInside (loader->lookupFunction ("addNumbers"), preferred, sizeOfImageOf (basic)));
}

TEST_F (MappedDLL, IsRelocatedWhenItsPreferredAddressIsTaken)
{
    const std::uint64_t preferred = preferredBaseOf (basic);
    const ReservedRange taken (preferred, sizeOfImageOf (basic));
    const auto loader = map (basic);
    expectBasicFixtureWorks (*loader);
    EXPECT_FALSE (isInside (loader->lookupFunction ("addNumbers"), preferred, sizeOfImageOf (basic)));
}

TEST_F (MappedDLL, FindsOnlyNamesTheImageExports)
{
    const auto loader = map (basic);
    EXPECT_NE (loader->lookupFunction ("addNumbers"), nullptr);
    EXPECT_EQ (loader->lookupFunction ("addnumbers"), nullptr);
    EXPECT_EQ (loader->lookupFunction ("DllMain"), nullptr);
    EXPECT_EQ (loader->lookupFunction (""), nullptr);
}

TEST_F (MappedDLL, RunsTlsCallbacksBeforeTheEntryPointBothWays)
{
    auto loader = map (basic);
    ASSERT_FALSE (loader->isEmpty());
    EXPECT_EQ (fixtureEvents(), "tls-attach construct attach");
    loader.reset();
    EXPECT_EQ (fixtureEvents(), "tls-attach construct attach tls-detach detach destruct");
}

// The image's runtime registers a process-wide exception handler inside the
// image when its TLS callback attaches; an exception after the image is gone
// must not reach that handler.
TEST_F (MappedDLL, LeavesNoHandlerBehindThatAnExceptionCouldReach)
{
    map (basic);
    const Bytes withoutEntryPoint = [this] {
        Bytes image = basic;
        writeAt<std::uint32_t> (image, ntHeadersOffset (image) + 24 + 16, 0);
        return image;
    }();
    EXPECT_TRUE (map (withoutEntryPoint)->isEmpty());
    EXPECT_EQ (fixtureEvents(), "tls-attach construct attach tls-detach detach destruct tls-attach tls-detach");
    // Any exception at all walks the process's vectored handlers first.
    bool caught = false;
    try
    {
        throw std::runtime_error ("after unmapping");
    }
    catch (const std::runtime_error&)
    {
        caught = true;
    }
    EXPECT_TRUE (caught);
}

TEST_F (MappedDLL, WhoseEntryPointRefusesIsEmptyYetDetached)
{
    const auto loader = map (readFixture ("tw_fixture_refusing.dll"));
    EXPECT_TRUE (loader->isEmpty());
    EXPECT_EQ (loader->lookupFunction ("refusingValue"), nullptr);
    EXPECT_EQ (fixtureEvents(), "refusing-attach refusing-detach");
}

TEST_F (MappedDLL, GivesBackEveryModuleItLoaded)
{
    auto loader = map (readFixture ("tw_fixture_importer.dll"));
    ASSERT_FALSE (loader->isEmpty());
    EXPECT_NE (GetModuleHandleA ("tw_fixture_helper_one.dll"), nullptr);
    EXPECT_NE (GetModuleHandleA ("tw_fixture_helper_two.dll"), nullptr);
    EXPECT_EQ (exported<int (*)()> (*loader, "sumOfHelpers")(), 123);
    loader.reset();
    EXPECT_EQ (GetModuleHandleA ("tw_fixture_helper_one.dll"), nullptr);
    EXPECT_EQ (GetModuleHandleA ("tw_fixture_helper_two.dll"), nullptr);
}

TEST (EmptyLoader, ComesFromNoData)
{
    const MemoryDLL fromNull (nullptr, 4096);
    EXPECT_TRUE (fromNull.isEmpty());
    EXPECT_EQ (fromNull.lookupFunction ("addNumbers"), nullptr);
    const unsigned char zeros[64] = {};
    EXPECT_TRUE (MemoryDLL (zeros, 0).isEmpty());
}

TEST_F (MappedDLL, LeavesNoMemoryOrModulesBehindWhenMappedRepeatedly)
{
    const Bytes importer = readFixture ("tw_fixture_importer.dll");
    // The helper stays loaded by this test, so a count the loader gets wrong
    // either keeps it loaded below or unloads it while still held.
    HMODULE held = LoadLibraryA ("tw_fixture_helper_one.dll");
    ASSERT_NE (held, nullptr);
    map (basic);
    map (importer);
    const std::uint64_t before = executablePrivateBytes();
    {
        const auto loader = map (basic);
        ASSERT_GT (executablePrivateBytes(), before) << "the measure does not see a mapped image";
    }
    for (int round = 0; round < 100; ++round)
    {
        ASSERT_FALSE (map (basic)->isEmpty());
        ASSERT_FALSE (map (importer)->isEmpty());
    }
    EXPECT_EQ (executablePrivateBytes(), before);
    EXPECT_EQ (GetModuleHandleA ("tw_fixture_helper_one.dll"), held);
    FreeLibrary (held);
    EXPECT_EQ (GetModuleHandleA ("tw_fixture_helper_one.dll"), nullptr);
}

// Thread-local data of this program, which a mapped image given another
// module's slot would overwrite.
__attribute__ ((section (".tls$T"), used)) unsigned char programThreadData[32] = { 1, 2, 3, 4, 5, 6, 7, 8 };

struct MsvcAbiExports
{
    int (*threadCounterValue)();
    int (*incrementThreadCounter)();
    const char* (*threadWordValue)();
    int (*caughtValue) (int);
    void* (*ownBaseByPc)();
    unsigned long (*ownFileName) (wchar_t*, unsigned long);
};

template <typename Lookup>
MsvcAbiExports msvcAbiExports (Lookup lookup)
{
    MsvcAbiExports exports {};
    exports.threadCounterValue = reinterpret_cast<int (*)()> (lookup ("threadCounterValue"));
    exports.incrementThreadCounter = reinterpret_cast<int (*)()> (lookup ("incrementThreadCounter"));
    exports.threadWordValue = reinterpret_cast<const char* (*)()> (lookup ("threadWordValue"));
    exports.caughtValue = reinterpret_cast<int (*) (int)> (lookup ("caughtValue"));
    exports.ownBaseByPc = reinterpret_cast<void* (*)()> (lookup ("ownBaseByPc"));
    exports.ownFileName = reinterpret_cast<unsigned long (*) (wchar_t*, unsigned long)> (lookup ("ownFileName"));
    return exports;
}

std::wstring fileNameThrough (const MsvcAbiExports& exports)
{
    wchar_t name[MAX_PATH] = L"";
    return std::wstring (name, exports.ownFileName (name, MAX_PATH));
}

std::wstring programFileName()
{
    wchar_t name[MAX_PATH] = L"";
    return std::wstring (name, GetModuleFileNameW (nullptr, name, MAX_PATH));
}

// An image built for the MSVC ABI, as Windows' loader runs it and as mapped.
class MsvcAbiImage : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NE (loaded, nullptr);
        // This thread's copy differs from the template, as a host's data would.
        std::memset (block.copyOf (programThreadData), 0x5A, sizeof programThreadData);
        before = block.bytes();
    }
    void TearDown() override { FreeLibrary (loaded); }

    MsvcAbiExports loadedExports()
    {
        return msvcAbiExports (
            [this] (const char* name) { return reinterpret_cast<void*> (GetProcAddress (loaded, name)); });
    }

    const Bytes image = readFixture ("tw_fixture_msvc_abi.dll");
    // Loaded first, it holds its preferred address, so the mapped copy is
    // relocated, and with it the address in its thread-local template.
    HMODULE loaded = LoadLibraryA ("tw_fixture_msvc_abi.dll");
    const ThreadLocalBlock block = programThreadLocalBlock();
    Bytes before;
};

TEST_F (MsvcAbiImage, RunsMappedAsWhenLoaded)
{
    const auto mapped = map (image);
    ASSERT_FALSE (mapped->isEmpty());
    const MsvcAbiExports viaSystem = loadedExports();
    const MsvcAbiExports viaMapping = msvcAbiExports ([&] (const char* name) { return mapped->lookupFunction (name); });
    for (const MsvcAbiExports* fixture : { &viaSystem, &viaMapping })
    {
        // Each copy starts from its template in a block of its own.
        EXPECT_EQ (fixture->threadCounterValue(), 1234);
        EXPECT_EQ (fixture->incrementThreadCounter(), 1235);
        EXPECT_EQ (fixture->threadCounterValue(), 1235);
        EXPECT_STREQ (fixture->threadWordValue(), "thread");
        EXPECT_EQ (fixture->caughtValue (42), 42);
        EXPECT_EQ (fixture->caughtValue (-7), -7);
    }
    EXPECT_EQ (viaSystem.ownBaseByPc(), loaded);
    void* const mappedBase = viaMapping.ownBaseByPc();
    EXPECT_TRUE (isInside (mapped->lookupFunction ("ownBaseByPc"), reinterpret_cast<std::uintptr_t> (mappedBase),
                           sizeOfImageOf (image)));
    const std::wstring loadedName = fileNameThrough (viaSystem);
    EXPECT_EQ (loadedName.substr (loadedName.size() - 23), L"tw_fixture_msvc_abi.dll");
    // A mapped image has no file; the module that carries it answers.
    EXPECT_EQ (fileNameThrough (viaMapping), programFileName());
    // The image's data sits at the block's start, which this module lent it;
    // the program's own data after that is untouched.
    const unsigned char* const programData = block.copyOf (programThreadData);
    EXPECT_EQ (Bytes (programData, programData + sizeof programThreadData), Bytes (sizeof programThreadData, 0x5A));
}

TEST_F (MsvcAbiImage, GivesItsThreadLocalRoomBackUnchanged)
{
    auto mapped = map (image);
    ASSERT_FALSE (mapped->isEmpty());
    EXPECT_EQ (exported<int (*)()> (*mapped, "incrementThreadCounter")(), 1235);
    mapped.reset();
    // The block's start, which the image borrowed, holds this program's template again.
    EXPECT_EQ (block.bytes(), before);
    EXPECT_EQ (exported<int (*)()> (*map (image), "threadCounterValue")(), 1234);
}

TEST_F (MsvcAbiImage, SharesTheThreadLocalRoomOnlyWithCopiesOfItself)
{
    const auto first = map (image);
    const auto second = map (image);
    ASSERT_FALSE (first->isEmpty());
    ASSERT_FALSE (second->isEmpty());
    EXPECT_EQ (exported<int (*) (int)> (*second, "caughtValue") (5), 5);
    // The MinGW fixture's template differs, so it finds no room.
    EXPECT_TRUE (map (basicFixture())->isEmpty());
}

TEST_F (MsvcAbiImage, WithMoreThreadLocalDataThanTheRoomIsRefusedBeforeRunning)
{
    const Bytes large = readFixture ("tw_fixture_large_tls.dll");
    const HMODULE largeLoaded = LoadLibraryA ("tw_fixture_large_tls.dll");
    ASSERT_NE (largeLoaded, nullptr);
    EXPECT_EQ (systemExport<int (*)()> (largeLoaded, "incrementThreadCounter")(), 1235);
    FreeLibrary (largeLoaded);
    EXPECT_TRUE (map (large)->isEmpty());
    EXPECT_EQ (block.bytes(), before);
}

// Reads its own section headers by VirtualSize, and calls through a
// delay-loaded import that its own helper resolves on first call.
TEST (SelfReadingImage, FindsItsSectionsAndDelayLoadsAsWhenLoaded)
{
    using SectionNameOf = void (*) (const void*, char*);
    using Address = const void* (*)();
    const HMODULE loaded = LoadLibraryA ("tw_fixture_self_reading.dll");
    ASSERT_NE (loaded, nullptr);
    const Bytes image = readFixture ("tw_fixture_self_reading.dll");
    const auto mapped = map (image);
    ASSERT_FALSE (mapped->isEmpty());
    ASSERT_EQ (GetModuleHandleA ("tw_fixture_delayed_helper.dll"), nullptr);
    EXPECT_EQ (exported<int (*)()> (*mapped, "delayedHelperValue")(), 101);
    EXPECT_NE (GetModuleHandleA ("tw_fixture_delayed_helper.dll"), nullptr);
    EXPECT_EQ (systemExport<int (*)()> (loaded, "delayedHelperValue")(), 101);
    for (const auto& lookup : std::vector<std::function<void*(const char*)>> {
             [&] (const char* name) { return reinterpret_cast<void*> (GetProcAddress (loaded, name)); },
             [&] (const char* name) { return mapped->lookupFunction (name); } })
    {
        const auto sectionNameOf = reinterpret_cast<SectionNameOf> (lookup ("sectionNameOf"));
        const auto sectionOf = [&] (const char* addressFunction) {
            char name[9] = "";
            sectionNameOf (reinterpret_cast<Address> (lookup (addressFunction))(), name);
            return std::string (name);
        };
        EXPECT_EQ (sectionOf ("codeAddress"), ".text");
        EXPECT_EQ (sectionOf ("writableAddress"), ".data");
        EXPECT_EQ (sectionOf ("constantAddress"), ".rdata");
    }
    FreeLibrary (loaded);
}

} // namespace
} // namespace tunewell::testrig
