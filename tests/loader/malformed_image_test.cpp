#include "loader/memory_dll.h"

#include "fixture_files.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <functional>

namespace tunewell::testrig
{
namespace
{

using memory::MemoryDLL;

bool mapsToEmptyLoader (const Bytes& image)
{
    const MemoryDLL loader (image.data(), image.size());
    return loader.isEmpty() && loader.lookupFunction ("addNumbers") == nullptr;
}

void replaceText (Bytes& image, const std::string& from, const std::string& to)
{
    ASSERT_EQ (from.size(), to.size());
    auto at = std::search (image.begin(), image.end(), from.begin(), from.end());
    ASSERT_NE (at, image.end()) << from;
    for (; at != image.end(); at = std::search (at, image.end(), from.begin(), from.end()))
        at = std::copy (to.begin(), to.end(), at);
}

// Module names of the import descriptors, in their order.
std::vector<std::string> importedModules (const Bytes& image)
{
    std::vector<std::string> names;
    std::size_t descriptor = fileOffsetOf (image, directoryOf (image, 1).virtualAddress);
    for (;; descriptor += 20)
    {
        const auto name = readAt<std::uint32_t> (image, descriptor + 12);
        if (name == 0)
            return names;
        names.emplace_back (reinterpret_cast<const char*> (image.data() + fileOffsetOf (image, name)));
    }
}

class UnresolvedImport : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const auto modules = importedModules (importer);
        const auto one = std::find (modules.begin(), modules.end(), "tw_fixture_helper_one.dll");
        const auto two = std::find (modules.begin(), modules.end(), "tw_fixture_helper_two.dll");
        // Breaking the later module shows that the earlier one is given back.
        ASSERT_TRUE (one < two && two != modules.end());
    }

    void expectNoHelperLoaded()
    {
        EXPECT_EQ (GetModuleHandleA ("tw_fixture_helper_one.dll"), nullptr);
        EXPECT_EQ (GetModuleHandleA ("tw_fixture_helper_two.dll"), nullptr);
    }

    Bytes importer = readFixture ("tw_fixture_importer.dll");
};

TEST_F (UnresolvedImport, OfAMissingModuleGivesAnEmptyLoaderAndFreesTheModulesBefore)
{
    replaceText (importer, "tw_fixture_helper_two.dll", "tw_fixture_helper_six.dll");
    EXPECT_TRUE (mapsToEmptyLoader (importer));
    expectNoHelperLoaded();
}

TEST_F (UnresolvedImport, OfAMissingFunctionGivesAnEmptyLoaderAndFreesEveryModule)
{
    replaceText (importer, "helperTwoValue", "helperSixValue");
    EXPECT_TRUE (mapsToEmptyLoader (importer));
    expectNoHelperLoaded();
}

TEST_F (UnresolvedImport, LeavesModulesThatOthersHoldLoaded)
{
    HMODULE held = LoadLibraryA ("tw_fixture_helper_one.dll");
    ASSERT_NE (held, nullptr);
    replaceText (importer, "helperTwoValue", "helperSixValue");
    EXPECT_TRUE (mapsToEmptyLoader (importer));
    EXPECT_EQ (GetModuleHandleA ("tw_fixture_helper_one.dll"), held);
    FreeLibrary (held);
    expectNoHelperLoaded();
}

struct Damage
{
    const char* what;
    std::function<void (Bytes&)> apply;
};

std::size_t nt (const Bytes& image)
{
    return ntHeadersOffset (image);
}

// Relative address just past the end of the image.
std::uint32_t pastTheImage (const Bytes& image)
{
    return sizeOfImageOf (image);
}

TEST (MalformedImage, GivesAnEmptyLoader)
{
    clearFixtureEvents();
    const std::vector<Damage> damages = {
        { "63 bytes", [] (Bytes& i) { i.resize (63); } },
        { "NT headers cut off", [] (Bytes& i) { i.resize (nt (i) + 263); } },
        { "no MZ", [] (Bytes& i) { writeAt<std::uint16_t> (i, 0, 0x5A4E); } },
        { "no PE signature", [] (Bytes& i) { writeAt<std::uint32_t> (i, nt (i), 0x00004551); } },
        { "odd section alignment",
          [] (Bytes& i) { writeAt (i, nt (i) + 24 + 32, readAt<std::uint32_t> (i, nt (i) + 24 + 32) | 1); } },
        { "32-bit machine", [] (Bytes& i) { writeAt<std::uint16_t> (i, nt (i) + 4, 0x014C); } },
        { "image size larger than its sections",
          [] (Bytes& i) { writeAt<std::uint32_t> (i, nt (i) + 24 + 56, sizeOfImageOf (i) + 0x10000); } },
        { "file cut inside the sections", [] (Bytes& i) { i.resize (i.size() / 2); } },
        { "no import directory", [] (Bytes& i) { writeAt<std::uint32_t> (i, directoryFieldOffset (i, 1) + 4, 0); } },
        { "no entry point", [] (Bytes& i) { writeAt<std::uint32_t> (i, nt (i) + 24 + 16, 0); } },
        { "entry point past the image", [] (Bytes& i) { writeAt (i, nt (i) + 24 + 16, pastTheImage (i)); } },
        { "import directory past the image",
          [] (Bytes& i) { writeAt (i, directoryFieldOffset (i, 1), pastTheImage (i)); } },
        { "export directory past the image",
          [] (Bytes& i) { writeAt (i, directoryFieldOffset (i, 0), pastTheImage (i)); } },
        { "TLS directory past the image",
          [] (Bytes& i) { writeAt (i, directoryFieldOffset (i, 9), pastTheImage (i)); } },
        { "exception table past the image",
          [] (Bytes& i) { writeAt (i, directoryFieldOffset (i, 3), pastTheImage (i)); } },
        { "import module name past the image",
          [] (Bytes& i) { writeAt (i, fileOffsetOf (i, directoryOf (i, 1).virtualAddress) + 12, pastTheImage (i)); } },
        { "import lookup table past the image",
          [] (Bytes& i) { writeAt (i, fileOffsetOf (i, directoryOf (i, 1).virtualAddress), pastTheImage (i)); } },
    };
    for (const Damage& damage : damages)
    {
        Bytes image = basicFixture();
        damage.apply (image);
        EXPECT_TRUE (mapsToEmptyLoader (image)) << damage.what;
    }
    EXPECT_EQ (fixtureEvents().find ("attach construct"), std::string::npos) << "a damaged image was initialised";
    clearFixtureEvents();
}

// Relocation runs only when the image cannot have its preferred address.
TEST (MalformedImage, WithBrokenRelocationsGivesAnEmptyLoaderWhenMovedElsewhere)
{
    const Bytes good = basicFixture();
    const FileDirectory relocations = directoryOf (good, 5);
    ASSERT_NE (relocations.size, 0u);
    void* taken = VirtualAlloc (reinterpret_cast<void*> (preferredBaseOf (good)), sizeOfImageOf (good), MEM_RESERVE,
                                PAGE_NOACCESS);
    const std::size_t firstBlock = fileOffsetOf (good, relocations.virtualAddress);
    const std::vector<Damage> damages = {
        { "block shorter than its header", [&] (Bytes& i) { writeAt<std::uint32_t> (i, firstBlock + 4, 4); } },
        { "block size of zero", [&] (Bytes& i) { writeAt<std::uint32_t> (i, firstBlock + 4, 0); } },
        { "block page past the image", [&] (Bytes& i) { writeAt (i, firstBlock, pastTheImage (i)); } },
        { "directory past the image", [&] (Bytes& i) { writeAt (i, directoryFieldOffset (i, 5), pastTheImage (i)); } },
    };
    for (const Damage& damage : damages)
    {
        Bytes image = good;
        damage.apply (image);
        EXPECT_TRUE (mapsToEmptyLoader (image)) << damage.what;
    }
    if (taken != nullptr)
        VirtualFree (taken, 0, MEM_RELEASE);
    clearFixtureEvents();
}

} // namespace
} // namespace tunewell::testrig
