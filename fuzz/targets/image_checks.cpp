// Module image bytes of any kind through the loader's portable checks and
// table walks, which run before anything is mapped or called. The input is
// both the file for the header checks and a mapped image for the walks,
// whose directories its first bytes name. Every answer must keep the
// promises the mapper relies on: what it reports lies inside the bytes.

#include <cstring>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "fuzz_targets.h"
#include "loader/pe_image.h"
#include "loader/pe_layout.h"
#include "loader/section_protection.h"
#include "synthetic_image.h"

namespace tunewell::fuzzing
{

namespace
{

using namespace tunewell::memory;

constexpr const char* target = "image_checks";
constexpr std::uint32_t pageSize = 0x1000;

void check (bool holds, const std::string& what)
{
    fuzzCheck (holds, target, what);
}

bool inside (std::size_t size, std::uint64_t offset, std::uint64_t length)
{
    return offset <= size && length <= size - offset;
}

void checkLayout (ByteView file)
{
    const bool headersValid = hasValidHeaders (file);
    const auto layout = readImageLayout (file, pageSize);

    if (! layout)
        return;

    check (headersValid, "a layout was read from headers that fail the header checks");
    check (layout->imageSize % pageSize == 0 && layout->imageSize != 0, "the image size is not whole pages");

    std::vector<MappedSection> mapped;

    for (auto& section : layout->sections)
    {
        check (section.sizeOfRawData == 0 || inside (file.size, section.pointerToRawData, section.sizeOfRawData),
               "a section's raw data lies outside the file");
        check (inside (file.size, section.headerOffset, pe::sectionHeaderSize),
               "a section header lies outside the file");
        mapped.push_back ({ section.virtualAddress, section.sizeOfRawData, section.characteristics });
    }

    const ProtectionSettings settings { pageSize, layout->sectionAlignment, layout->sizeOfInitializedData,
                                        layout->sizeOfUninitializedData, layout->imageSize };

    for (auto& step : planSectionProtection (mapped, settings))
        check (step.address + step.size <= layout->imageSize, "a protection step reaches past the image");
}

DataDirectory directoryFrom (FuzzInput& input, std::size_t imageSize)
{
    // Addresses are folded into the image so that the walks start inside it
    // more often than not; the sizes stay free.
    const auto address = input.integer<std::uint32_t>();
    const auto size = input.integer<std::uint16_t>();
    return { imageSize != 0 && (address & 0x80000000u) == 0 ? address % static_cast<std::uint32_t> (imageSize)
                                                            : address,
             size };
}

void checkWalks (const std::uint8_t* data, std::size_t size)
{
    FuzzInput input (data, size);
    std::vector<DataDirectory> directories;

    for (int i = 0; i < 5; ++i)
        directories.push_back (directoryFrom (input, size));

    const std::vector<std::uint8_t> image (data, data + size);
    const ByteView view { image.data(), image.size() };

    if (auto imports = readImports (view, directories[0]))
        for (auto& module : *imports)
            for (auto& symbol : module.symbols)
                check (inside (image.size(), symbol.slotOffset, 8), "an import slot lies outside the image");

    if (auto exports = readExports (view, directories[1]))
        for (auto& [name, address] : *exports)
            check (address < image.size(), "an export lies outside the image: " + name);

    if (auto callbacks = readTlsCallbacks (view, directories[2], 0x180000000ull))
        for (auto callback : *callbacks)
            check (callback < image.size(), "a TLS callback lies outside the image");

    if (auto tls = readTlsTemplate (view, directories[2], 0x180000000ull))
    {
        check (inside (image.size(), tls->start, tls->rawSize), "a TLS template lies outside the image");
        check (tls->indexOffset == 0 || inside (image.size(), tls->indexOffset, 4),
               "a TLS index lies outside the image");
    }

    if (auto entries = exceptionTableEntryCount (view, directories[3]))
        check (inside (image.size(), directories[3].virtualAddress, std::uint64_t { *entries } * 12),
               "the exception table lies outside the image");

    auto relocated = image;
    const auto delta = static_cast<std::int64_t> (input.integer<std::uint32_t>()) << 12;
    applyRelocations ({ relocated.data(), relocated.size() }, directories[4], delta);

    if (delta == 0)
        check (relocated == image, "relocating by nothing changed the image");
}

/// An input that starts with "SYN" edits the loader tests' valid synthetic
/// image instead: every three bytes that follow are an offset (two bytes,
/// taken modulo the image size) and the new byte to put there, so short text
/// inputs start from an image that passes every check.
std::vector<std::uint8_t> editedSyntheticImage (const std::uint8_t* data, std::size_t size)
{
    auto image = testrig::syntheticFile().bytes;
    FuzzInput edits (data + 3, size - 3);

    while (! edits.empty())
    {
        const auto offset = edits.integer<std::uint16_t>();
        image[offset % image.size()] = edits.byte();
    }

    return image;
}

} // namespace

int fuzzImageChecks (const std::uint8_t* data, std::size_t size)
{
    if (size >= 3 && std::memcmp (data, "SYN", 3) == 0)
    {
        const auto image = editedSyntheticImage (data, size);
        checkLayout ({ image.data(), image.size() });
        return 0;
    }

    checkLayout ({ data, size });

    checkWalks (data, size);
    return 0;
}

} // namespace tunewell::fuzzing
