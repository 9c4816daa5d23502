#include "loader/pe_image.h"

#include "loader/image_bytes.h"
#include "loader/pe_layout.h"

#include <algorithm>

namespace tunewell::memory
{

using namespace bytes;

namespace
{

std::uint32_t ntHeadersOffset (ByteView file)
{
    return read32 (file, pe::lfanewField);
}

SectionHeader readSectionHeader (ByteView file, std::uint32_t offset)
{
    SectionHeader section;
    section.headerOffset = offset;
    section.virtualAddress = read32 (file, offset + pe::section::virtualAddress);
    section.sizeOfRawData = read32 (file, offset + pe::section::sizeOfRawData);
    section.pointerToRawData = read32 (file, offset + pe::section::pointerToRawData);
    section.characteristics = read32 (file, offset + pe::section::characteristics);
    return section;
}

ImageLayout readHeaderFields (ByteView file)
{
    ImageLayout layout;
    const std::uint32_t nt = ntHeadersOffset (file);
    layout.ntHeadersOffset = nt;
    layout.preferredBase = read64 (file, nt + pe::nt::imageBase);
    layout.sectionAlignment = read32 (file, nt + pe::nt::sectionAlignment);
    layout.sizeOfHeaders = read32 (file, nt + pe::nt::sizeOfHeaders);
    layout.sizeOfInitializedData = read32 (file, nt + pe::nt::sizeOfInitializedData);
    layout.sizeOfUninitializedData = read32 (file, nt + pe::nt::sizeOfUninitializedData);
    layout.entryPoint = read32 (file, nt + pe::nt::addressOfEntryPoint);
    layout.isDLL = (read16 (file, nt + pe::nt::characteristics) & pe::fileIsDLL) != 0;
    for (std::size_t i = 0; i < layout.directories.size(); ++i)
    {
        const std::uint64_t at = nt + pe::nt::dataDirectories + 8 * i;
        layout.directories[i] = { read32 (file, at), read32 (file, at + 4) };
    }
    return layout;
}

bool readSectionTable (ByteView file, ImageLayout& layout)
{
    const std::uint32_t nt = layout.ntHeadersOffset;
    const std::uint64_t first = std::uint64_t { nt } + pe::nt::optionalHeader
                              + read16 (file, nt + pe::nt::sizeOfOptionalHeader);
    const std::uint64_t length = std::uint64_t { read16 (file, nt + pe::nt::numberOfSections) } * pe::sectionHeaderSize;
    // The mapper edits the table in its copy of the headers, so it must lie there.
    if (! contains (std::min<std::uint64_t> (file.size, layout.sizeOfHeaders), first, length))
        return false;
    for (std::uint64_t offset = first; offset < first + length; offset += pe::sectionHeaderSize)
        layout.sections.push_back (readSectionHeader (file, static_cast<std::uint32_t> (offset)));
    return true;
}

std::uint64_t endOfLastSection (const ImageLayout& layout)
{
    std::uint64_t end = 0;
    for (const SectionHeader& section : layout.sections)
    {
        const std::uint32_t size = section.sizeOfRawData != 0 ? section.sizeOfRawData : layout.sectionAlignment;
        end = std::max (end, std::uint64_t { section.virtualAddress } + size);
    }
    return end;
}

// Raw data inside the file, and no section over the headers, which hold the
// section table that mapping edits and reads back.
bool sectionsArePlaceable (ByteView file, const ImageLayout& layout)
{
    return std::all_of (layout.sections.begin(), layout.sections.end(), [&] (const SectionHeader& section) {
        const bool rawDataInside = section.sizeOfRawData == 0
                                || contains (file, section.pointerToRawData, section.sizeOfRawData);
        return rawDataInside && section.virtualAddress >= layout.sizeOfHeaders;
    });
}
} // namespace

std::uint64_t roundUp (std::uint64_t value, std::uint64_t alignment)
{
    if (alignment == 0)
        return value;
    return (value + alignment - 1) / alignment * alignment;
}

bool straddlesFourGiB (std::uint64_t start, std::uint64_t size)
{
    return (start >> 32) != ((start + size) >> 32);
}

bool hasValidHeaders (ByteView file)
{
    if (file.data == nullptr || file.size < pe::minimumFileSize || read16 (file, 0) != pe::dosMagic)
        return false;
    const std::uint32_t nt = ntHeadersOffset (file);
    if (! contains (file, nt, pe::ntHeadersSize) || read32 (file, nt + pe::nt::signature) != pe::ntSignature)
        return false;
    return (read32 (file, nt + pe::nt::sectionAlignment) & 1) == 0
        && read16 (file, nt + pe::nt::machine) == pe::machineAmd64;
}

std::optional<ImageLayout> readImageLayout (ByteView file, std::uint32_t pageSize)
{
    if (pageSize == 0 || ! hasValidHeaders (file))
        return std::nullopt;
    ImageLayout layout = readHeaderFields (file);
    // Without an alignment, sections without raw data would get no memory and
    // no recorded address, yet still be protected.
    if (layout.sectionAlignment == 0 || ! readSectionTable (file, layout) || ! sectionsArePlaceable (file, layout))
        return std::nullopt;
    const std::uint32_t nt = layout.ntHeadersOffset;
    layout.imageSize = roundUp (read32 (file, nt + pe::nt::sizeOfImage), pageSize);
    if (layout.imageSize != roundUp (endOfLastSection (layout), pageSize))
        return std::nullopt;
    if (layout.sizeOfHeaders > file.size || layout.sizeOfHeaders > layout.imageSize
        || std::uint64_t { nt } + pe::ntHeadersSize > layout.sizeOfHeaders)
        return std::nullopt;
    return layout;
}
} // namespace tunewell::memory
