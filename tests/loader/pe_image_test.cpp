#include "loader/pe_image.h"

#include "synthetic_image.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

namespace tunewell::testrig
{
namespace
{

using memory::DataDirectory;
using memory::ImageLayout;

std::optional<ImageLayout> layoutOf (const ImageBytes& file)
{
    return memory::readImageLayout (file.view(), syntheticPageSize);
}

TEST (ImageLayout, DescribesAValidFile)
{
    const auto layout = layoutOf (syntheticFile());
    ASSERT_TRUE (layout);
    EXPECT_EQ (layout->ntHeadersOffset, field::nt);
    EXPECT_EQ (layout->preferredBase, syntheticPreferredBase);
    EXPECT_EQ (layout->imageSize, 0x4000u);
    EXPECT_EQ (layout->sizeOfHeaders, 0x400u);
    EXPECT_EQ (layout->entryPoint, 0x1010u);
    EXPECT_TRUE (layout->isDLL);
    ASSERT_EQ (layout->sections.size(), 3u);
    EXPECT_EQ (layout->sections[1].headerOffset, field::sections + field::sectionHeaderSize);
    EXPECT_EQ (layout->sections[1].virtualAddress, 0x2000u);
    EXPECT_EQ (layout->sections[1].pointerToRawData, 0x600u);
    EXPECT_EQ (layout->sections[2].sizeOfRawData, 0u);
}

TEST (ImageLayout, AcceptsHeadersThatEndExactlyAtTheEndOfTheData)
{
    ImageBytes file = syntheticFile();
    file.bytes.resize (field::nt + 264);
    EXPECT_TRUE (memory::hasValidHeaders (file.view()));
    file.bytes.pop_back();
    EXPECT_FALSE (memory::hasValidHeaders (file.view()));
}

TEST (ImageLayout, ComparesImageSizesRoundedToWholePages)
{
    ImageBytes file = syntheticFile();
    file.put32 (field::sizeOfImage, 0x3001);
    const auto layout = layoutOf (file);
    ASSERT_TRUE (layout);
    EXPECT_EQ (layout->imageSize, 0x4000u);
    file.put32 (field::sizeOfImage, 0x3000);
    EXPECT_FALSE (layoutOf (file));
}

TEST (ImageLayout, RejectsEveryMalformedHeader)
{
    const std::vector<std::pair<const char*, std::function<void (ImageBytes&)>>> corruptions = {
        { "63 bytes", [] (ImageBytes& f) { f.bytes.resize (63); } },
        { "no MZ", [] (ImageBytes& f) { f.put16 (0, 0x5A4E); } },
        { "NT headers past the end", [] (ImageBytes& f) { f.put32 (field::lfanew, 0x7F0); } },
        { "NT headers at a huge offset", [] (ImageBytes& f) { f.put32 (field::lfanew, 0xFFFFFFF0); } },
        { "no PE signature", [] (ImageBytes& f) { f.put32 (field::nt, 0x00014550); } },
        { "odd section alignment", [] (ImageBytes& f) { f.put32 (field::sectionAlignment, 0x1001); } },
        { "zero section alignment", [] (ImageBytes& f) { f.put32 (field::sectionAlignment, 0); } },
        { "32-bit machine", [] (ImageBytes& f) { f.put16 (field::machine, 0x014C); } },
        { "image larger than its sections", [] (ImageBytes& f) { f.put32 (field::sizeOfImage, 0x5000); } },
        { "image smaller than its sections", [] (ImageBytes& f) { f.put32 (field::sizeOfImage, 0x2000); } },
        { "section table past the headers", [] (ImageBytes& f) { f.put16 (field::numberOfSections, 40); } },
        { "raw data past the end", [] (ImageBytes& f) { f.put32 (field::sections + 16, 0x800); } },
        { "raw data at a huge offset",
          [] (ImageBytes& f) { f.put32 (field::sections + field::sectionHeaderSize + 20, 0xFFFFFF00); } },
        { "headers larger than the data", [] (ImageBytes& f) { f.put32 (field::sizeOfHeaders, 0x801); } },
        { "headers cut before the NT headers end", [] (ImageBytes& f) { f.put32 (field::sizeOfHeaders, 0x100); } },
        { "section over the headers", [] (ImageBytes& f) { f.put32 (field::sections + 12, 0x200); } },
    };
    ASSERT_TRUE (layoutOf (syntheticFile()));
    for (const auto& [what, corrupt] : corruptions)
    {
        ImageBytes file = syntheticFile();
        corrupt (file);
        EXPECT_FALSE (layoutOf (file)) << what;
    }
}

TEST (FourGiBBoundary, CountsABlockThatEndsExactlyOnTheBoundaryAsStraddling)
{
    EXPECT_TRUE (memory::straddlesFourGiB (0xFFFF0000ull, 0x10000));
    EXPECT_TRUE (memory::straddlesFourGiB (0x1FFFFF000ull, 0x2000));
    EXPECT_FALSE (memory::straddlesFourGiB (0xFFFF0000ull, 0xFFFF));
    EXPECT_FALSE (memory::straddlesFourGiB (0x100000000ull, 0x10000));
}

// A mapped image of 0x3000 bytes in which offsets are relative addresses.
ImageBytes mappedImage()
{
    return ImageBytes (0x3000);
}

TEST (Relocation, AddsTheDeltaToSixtyFourAndThirtyTwoBitTargetsOnly)
{
    ImageBytes image = mappedImage();
    image.put64 (0x1010, 0x180001234ull);
    image.put32 (0x1020, 0x80005678u);
    image.put64 (0x1030, 0x1111111111111111ull); // named by an absolute entry only
    image.put32 (0x2000, 0x1000);                // block: page 0x1000
    image.put32 (0x2004, 8 + 4 * 2);             // four entries
    image.put16 (0x2008, 0xA010);                // DIR64 at 0x1010
    image.put16 (0x200A, 0x3020);                // HIGHLOW at 0x1020
    image.put16 (0x200C, 0x0030);                // ABSOLUTE
    image.put16 (0x200E, 0x5030);                // unknown type
    ImageBytes expected = image;
    const std::int64_t delta = 0x123400000000ll - 0x10;
    expected.put64 (0x1010, 0x180001234ull + static_cast<std::uint64_t> (delta));
    expected.put32 (0x1020, static_cast<std::uint32_t> (0x80005678u + static_cast<std::uint64_t> (delta)));

    ASSERT_TRUE (memory::applyRelocations (image.mutableView(), { 0x2000, 16 }, delta));
    EXPECT_EQ (image.bytes, expected.bytes);
}

TEST (Relocation, UndoesItselfWithTheOppositeDelta)
{
    const unsigned seed = 20240601;
    std::mt19937 random (seed);
    ImageBytes image = mappedImage();
    for (auto& byte : image.bytes)
        byte = static_cast<std::uint8_t> (random());
    // Two blocks of random entries, then a terminating block.
    std::size_t at = 0x2000;
    for (std::uint32_t page : { 0x0000u, 0x1000u })
    {
        image.put32 (at, page == 0 ? 0x10 : page); // a zero page would end the walk
        image.put32 (at + 4, 8 + 2 * 64);
        for (int i = 0; i < 64; ++i)
        {
            // Whole 8-byte slots, each always patched with the same width,
            // so that no two targets overlap partly.
            const std::uint16_t slot = static_cast<std::uint16_t> (random() % 0x1FE);
            const std::uint16_t type = (slot % 2) != 0 ? 0xA000 : 0x3000;
            image.put16 (at + 8 + 2 * i, static_cast<std::uint16_t> (type | (8 * slot)));
        }
        at += 8 + 2 * 64;
    }
    image.put64 (at, 0);
    const ImageBytes original = image;
    const std::int64_t delta = static_cast<std::int64_t> (random()) << 20;
    ASSERT_TRUE (memory::applyRelocations (image.mutableView(), { 0x2000, 0x1000 }, delta)) << "seed " << seed;
    EXPECT_NE (image.bytes, original.bytes) << "seed " << seed;
    ASSERT_TRUE (memory::applyRelocations (image.mutableView(), { 0x2000, 0x1000 }, -delta)) << "seed " << seed;
    EXPECT_EQ (image.bytes, original.bytes) << "seed " << seed;
}

// Two one-entry blocks: the first patches 0x1000, the one after it 0x1008.
ImageBytes imageWithTwoBlocks (std::size_t gapBetweenBlocks)
{
    ImageBytes image = mappedImage();
    image.put32 (0x2000, 0x1000);
    image.put32 (0x2004, 10);
    image.put16 (0x2008, 0xA000);
    const std::size_t second = 0x200A + gapBetweenBlocks;
    image.put32 (second, 0x1000);
    image.put32 (second + 4, 10);
    image.put16 (second + 8, 0xA008);
    return image;
}

TEST (Relocation, EndsAtABlockWithoutPage)
{
    // The first block's size leads to zero bytes before the second block.
    ImageBytes image = imageWithTwoBlocks (8);
    ASSERT_TRUE (memory::applyRelocations (image.mutableView(), { 0x2000, 0x100 }, 5));
    EXPECT_EQ (image.get64 (0x1000), 5u);
    EXPECT_EQ (image.get64 (0x1008), 0u);
}

TEST (Relocation, EndsAtTheDirectoryEnd)
{
    ImageBytes image = imageWithTwoBlocks (0);
    ASSERT_TRUE (memory::applyRelocations (image.mutableView(), { 0x2000, 20 }, 5));
    EXPECT_EQ (image.get64 (0x1008), 5u) << "the second block lies inside the directory";
    image = imageWithTwoBlocks (0);
    ASSERT_TRUE (memory::applyRelocations (image.mutableView(), { 0x2000, 10 }, 5));
    EXPECT_EQ (image.get64 (0x1000), 5u);
    EXPECT_EQ (image.get64 (0x1008), 0u) << "a block after the directory was applied";
}

TEST (Relocation, FailsOnBlocksAndTargetsOutsideTheImage)
{
    const std::vector<std::pair<const char*, std::function<void (ImageBytes&, DataDirectory&)>>> cases = {
        { "block shorter than its header", [] (ImageBytes& i, DataDirectory&) { i.put32 (0x2004, 4); } },
        { "block size of zero", [] (ImageBytes& i, DataDirectory&) { i.put32 (0x2004, 0); } },
        { "entries past the image",
          [] (ImageBytes& i, DataDirectory& d) {
              i.put32 (0x2FF8, 0x1000);
              i.put32 (0x2FFC, 0x100);
              d = { 0x2FF8, 8 };
          } },
        { "target past the image", [] (ImageBytes& i, DataDirectory&) { i.put32 (0x2000, 0x2FFC); } },
        { "directory past the image",
          [] (ImageBytes&, DataDirectory& d) {
              d = { 0x2F00, 0x200 };
          } },
    };
    for (const auto& [what, corrupt] : cases)
    {
        ImageBytes image = mappedImage();
        image.put32 (0x2000, 0x1000);
        image.put32 (0x2004, 10);
        image.put16 (0x2008, 0xA000);
        DataDirectory directory { 0x2000, 0x100 };
        corrupt (image, directory);
        EXPECT_FALSE (memory::applyRelocations (image.mutableView(), directory, 0x10000)) << what;
    }
}

// Two modules: "first.dll" by name through its lookup table, "second.dll" by
// ordinal through its address table alone.
ImageBytes imageWithImports()
{
    ImageBytes image = mappedImage();
    image.put32 (0x1000 + 0, 0x1100);  // OriginalFirstThunk
    image.put32 (0x1000 + 12, 0x1200); // Name
    image.put32 (0x1000 + 16, 0x1300); // FirstThunk
    image.put32 (0x1014 + 0, 0);
    image.put32 (0x1014 + 12, 0x1210);
    image.put32 (0x1014 + 16, 0x1400);
    image.putText (0x1200, "first.dll");
    image.putText (0x1210, "second.dll");
    image.put64 (0x1100, 0x1500);
    image.put64 (0x1108, 0x1510);
    image.put16 (0x1500, 7);
    image.putText (0x1502, "Alpha");
    image.putText (0x1512, "Beta");
    image.put64 (0x1400, 0x8000000000000000ull | 0x2A);
    return image;
}

TEST (Imports, ListsModulesAndSymbolsWithTheirSlots)
{
    const auto modules = memory::readImports (imageWithImports().view(), { 0x1000, 60 });
    ASSERT_TRUE (modules);
    ASSERT_EQ (modules->size(), 2u);
    const auto& first = (*modules)[0];
    EXPECT_EQ (first.name, "first.dll");
    ASSERT_EQ (first.symbols.size(), 2u);
    EXPECT_FALSE (first.symbols[0].byOrdinal);
    EXPECT_EQ (first.symbols[0].name, "Alpha");
    EXPECT_EQ (first.symbols[0].slotOffset, 0x1300u);
    EXPECT_EQ (first.symbols[1].name, "Beta");
    EXPECT_EQ (first.symbols[1].slotOffset, 0x1308u);
    const auto& second = (*modules)[1];
    EXPECT_EQ (second.name, "second.dll");
    ASSERT_EQ (second.symbols.size(), 1u);
    EXPECT_TRUE (second.symbols[0].byOrdinal);
    EXPECT_EQ (second.symbols[0].ordinal, 0x2A);
    EXPECT_EQ (second.symbols[0].slotOffset, 0x1400u);
}

TEST (Imports, FailWhenAnyPartLiesOutsideTheImage)
{
    const std::vector<std::pair<const char*, std::function<void (ImageBytes&)>>> corruptions = {
        { "module name outside", [] (ImageBytes& i) { i.put32 (0x1014 + 12, 0x3000); } },
        { "module name unterminated",
          [] (ImageBytes& i) {
              i.put32 (0x1014 + 12, 0x2FFC);
              i.put32 (0x2FFC, 0x41414141);
          } },
        { "lookup table outside", [] (ImageBytes& i) { i.put32 (0x1000, 0x2FFC); } },
        { "symbol name outside", [] (ImageBytes& i) { i.put64 (0x1108, 0x2FFF); } },
        { "symbol name at a huge address", [] (ImageBytes& i) { i.put64 (0x1108, 0x7FFFFFFFFFFFFFFFull); } },
        { "address slot outside", [] (ImageBytes& i) { i.put32 (0x1014 + 16, 0x2FFC); } },
    };
    for (const auto& [what, corrupt] : corruptions)
    {
        ImageBytes image = imageWithImports();
        corrupt (image);
        EXPECT_FALSE (memory::readImports (image.view(), { 0x1000, 60 })) << what;
    }
    EXPECT_FALSE (memory::readImports (imageWithImports().view(), { 0x2FF0, 20 })) << "descriptor outside";
}

// Export directory at 0x1000 with three functions and four names.
ImageBytes imageWithExports()
{
    ImageBytes image = mappedImage();
    image.put32 (0x1000 + 20, 3);      // NumberOfFunctions
    image.put32 (0x1000 + 24, 4);      // NumberOfNames
    image.put32 (0x1000 + 28, 0x1100); // AddressOfFunctions
    image.put32 (0x1000 + 32, 0x1200); // AddressOfNames
    image.put32 (0x1000 + 36, 0x1300); // AddressOfNameOrdinals
    image.put32 (0x1100, 0x2000);
    image.put32 (0x1104, 0x2010);
    image.put32 (0x1108, 0x2020);
    const char* names[] = { "one", "two", "beyond", "one" };
    const std::uint16_t ordinals[] = { 0, 1, 3, 2 };
    for (int i = 0; i < 4; ++i)
    {
        image.put32 (0x1200 + 4 * i, 0x1400 + 0x10 * i);
        image.putText (0x1400 + 0x10 * i, names[i]);
        image.put16 (0x1300 + 2 * i, ordinals[i]);
    }
    return image;
}

TEST (Exports, MapNamesToAddressesKeepingTheLastOfARepeatedName)
{
    const auto table = memory::readExports (imageWithExports().view(), { 0x1000, 40 });
    ASSERT_TRUE (table);
    EXPECT_EQ (*table, (memory::ExportTable { { "one", 0x2020 }, { "two", 0x2010 } }));
}

TEST (Exports, LeaveOutANameWhoseOrdinalIndexEqualsTheFunctionCount)
{
    ImageBytes image = imageWithExports();
    image.put16 (0x1302, 3);
    const auto table = memory::readExports (image.view(), { 0x1000, 40 });
    ASSERT_TRUE (table);
    EXPECT_EQ (table->count ("two"), 0u);
    EXPECT_EQ (table->size(), 1u);
}

TEST (Exports, AreEmptyWithoutDirectoryNamesOrFunctions)
{
    EXPECT_EQ (memory::readExports (imageWithExports().view(), { 0x1000, 0 }), memory::ExportTable {});
    for (std::size_t countField : { 20u, 24u })
    {
        ImageBytes image = imageWithExports();
        image.put32 (0x1000 + countField, 0);
        EXPECT_EQ (memory::readExports (image.view(), { 0x1000, 40 }), memory::ExportTable {});
    }
}

TEST (Exports, FailWhenAnyPartLiesOutsideTheImage)
{
    const std::vector<std::pair<const char*, std::function<void (ImageBytes&)>>> corruptions = {
        { "name array outside", [] (ImageBytes& i) { i.put32 (0x1000 + 32, 0x2FF8); } },
        { "ordinal array outside", [] (ImageBytes& i) { i.put32 (0x1000 + 36, 0x2FFC); } },
        { "huge name count", [] (ImageBytes& i) { i.put32 (0x1000 + 24, 0x40000000); } },
        { "function array outside", [] (ImageBytes& i) { i.put32 (0x1000 + 28, 0x2FFC); } },
        { "name outside", [] (ImageBytes& i) { i.put32 (0x1204, 0x3000); } },
        { "function outside", [] (ImageBytes& i) { i.put32 (0x1104, 0x3000); } },
    };
    for (const auto& [what, corrupt] : corruptions)
    {
        ImageBytes image = imageWithExports();
        corrupt (image);
        EXPECT_FALSE (memory::readExports (image.view(), { 0x1000, 40 })) << what;
    }
    EXPECT_FALSE (memory::readExports (imageWithExports().view(), { 0x2FF0, 40 })) << "directory outside";
}

constexpr std::uint64_t mappedBase = 0x7FF600000000ull;

ImageBytes imageWithTlsCallbacks()
{
    ImageBytes image = mappedImage();
    image.put64 (0x1000 + 24, mappedBase + 0x1100);
    image.put64 (0x1100, mappedBase + 0x2000);
    image.put64 (0x1108, mappedBase + 0x2040);
    image.put64 (0x1110, 0);
    return image;
}

TEST (TlsCallbacks, AreListedInOrderAsRelativeAddresses)
{
    const auto callbacks = memory::readTlsCallbacks (imageWithTlsCallbacks().view(), { 0x1000, 40 }, mappedBase);
    ASSERT_TRUE (callbacks);
    EXPECT_EQ (*callbacks, (std::vector<std::uint32_t> { 0x2000, 0x2040 }));

    ImageBytes withoutArray = imageWithTlsCallbacks();
    withoutArray.put64 (0x1000 + 24, 0);
    EXPECT_EQ (memory::readTlsCallbacks (withoutArray.view(), { 0x1000, 40 }, mappedBase),
               std::vector<std::uint32_t> {});
}

TEST (TlsCallbacks, FailWhenAnyPartLiesOutsideTheImage)
{
    const std::vector<std::pair<const char*, std::function<void (ImageBytes&)>>> corruptions = {
        { "array below the image", [] (ImageBytes& i) { i.put64 (0x1000 + 24, mappedBase - 8); } },
        { "array past the image", [] (ImageBytes& i) { i.put64 (0x1000 + 24, mappedBase + 0x3000); } },
        { "array without terminator",
          [] (ImageBytes& i) {
              i.put64 (0x1000 + 24, mappedBase + 0x2FF8);
              i.put64 (0x2FF8, mappedBase + 0x2000);
          } },
        { "callback past the image", [] (ImageBytes& i) { i.put64 (0x1108, mappedBase + 0x3000); } },
        { "callback below the image", [] (ImageBytes& i) { i.put64 (0x1108, 0x1000); } },
    };
    for (const auto& [what, corrupt] : corruptions)
    {
        ImageBytes image = imageWithTlsCallbacks();
        corrupt (image);
        EXPECT_FALSE (memory::readTlsCallbacks (image.view(), { 0x1000, 40 }, mappedBase)) << what;
    }
    EXPECT_FALSE (memory::readTlsCallbacks (imageWithTlsCallbacks().view(), { 0x2FE0, 40 }, mappedBase));
}

ImageBytes imageWithTlsTemplate()
{
    ImageBytes image = mappedImage();
    image.put64 (0x1000, mappedBase + 0x2000);
    image.put64 (0x1008, mappedBase + 0x2009);
    image.put64 (0x1010, mappedBase + 0x2100);
    image.put32 (0x1000 + 32, 0x30);
    return image;
}

TEST (TlsTemplate, NamesTheRawBytesTheZeroFillAndTheIndex)
{
    const auto tls = memory::readTlsTemplate (imageWithTlsTemplate().view(), { 0x1000, 40 }, mappedBase);
    ASSERT_TRUE (tls);
    EXPECT_EQ (tls->start, 0x2000u);
    EXPECT_EQ (tls->rawSize, 9u);
    EXPECT_EQ (tls->blockSize(), 9u + 0x30);
    EXPECT_EQ (tls->indexOffset, 0x2100u);

    ImageBytes callbacksOnly = mappedImage();
    callbacksOnly.put64 (0x1000 + 24, mappedBase + 0x1100);
    const auto empty = memory::readTlsTemplate (callbacksOnly.view(), { 0x1000, 40 }, mappedBase);
    ASSERT_TRUE (empty);
    EXPECT_EQ (empty->blockSize(), 0u);
    EXPECT_EQ (empty->indexOffset, 0u);
}

TEST (TlsTemplate, FailsWhenAnyPartLiesOutsideTheImage)
{
    const std::vector<std::pair<const char*, std::function<void (ImageBytes&)>>> corruptions = {
        { "start below the image", [] (ImageBytes& i) { i.put64 (0x1000, mappedBase - 8); } },
        { "end past the image", [] (ImageBytes& i) { i.put64 (0x1008, mappedBase + 0x3001); } },
        { "end before start", [] (ImageBytes& i) { i.put64 (0x1008, mappedBase + 0x1FFF); } },
        { "index past the image", [] (ImageBytes& i) { i.put64 (0x1010, mappedBase + 0x2FFD); } },
        { "index below the image", [] (ImageBytes& i) { i.put64 (0x1010, 0x1000); } },
    };
    for (const auto& [what, corrupt] : corruptions)
    {
        ImageBytes image = imageWithTlsTemplate();
        corrupt (image);
        EXPECT_FALSE (memory::readTlsTemplate (image.view(), { 0x1000, 40 }, mappedBase)) << what;
    }
    EXPECT_FALSE (memory::readTlsTemplate (imageWithTlsTemplate().view(), { 0x2FE0, 40 }, mappedBase));
}

TEST (ExceptionTable, CountsWholeEntriesInsideTheImage)
{
    EXPECT_EQ (memory::exceptionTableEntryCount (mappedImage().view(), { 0x1000, 12 * 5 + 4 }), 5u);
    EXPECT_FALSE (memory::exceptionTableEntryCount (mappedImage().view(), { 0x2FF0, 24 }));
}

// Random damage to a file and to a mapped image never makes a reader step
// outside its bytes (the sanitizers watch that), and whatever a reader accepts
// stays inside the bytes it was given.
TEST (DamagedImages, AreReadWithinTheirBounds)
{
    const unsigned seed = 7031;
    std::mt19937 random (seed);
    for (int round = 0; round < 2000; ++round)
    {
        ImageBytes file = syntheticFile();
        ImageBytes image = (round % 2) != 0 ? imageWithImports() : imageWithExports();
        for (int damage = 0; damage < 4; ++damage)
        {
            file.bytes[random() % 0x300] = static_cast<std::uint8_t> (random());
            image.bytes[0x1000 + random() % 0x600] = static_cast<std::uint8_t> (random());
        }
        if (const auto layout = layoutOf (file))
        {
            EXPECT_LE (layout->sizeOfHeaders, layout->imageSize) << "seed " << seed << " round " << round;
            for (const auto& section : layout->sections)
            {
                if (section.sizeOfRawData != 0)
                {
                    EXPECT_LE (std::uint64_t { section.pointerToRawData } + section.sizeOfRawData, file.bytes.size())
                        << "seed " << seed << " round " << round;
                }
                EXPECT_LE (section.virtualAddress, layout->imageSize) << "seed " << seed << " round " << round;
            }
        }
        if (const auto modules = memory::readImports (image.view(), { 0x1000, 60 }))
        {
            for (const auto& module : *modules)
                for (const auto& symbol : module.symbols)
                    EXPECT_LE (symbol.slotOffset + 8u, image.bytes.size()) << "seed " << seed << " round " << round;
        }
        if (const auto table = memory::readExports (image.view(), { 0x1000, 40 }))
        {
            for (const auto& [name, address] : *table)
                EXPECT_LT (address, image.bytes.size()) << "seed " << seed << " round " << round;
        }
        memory::applyRelocations (image.mutableView(), { 0x1000, 0x600 }, 0x10000);
    }
}

} // namespace
} // namespace tunewell::testrig
