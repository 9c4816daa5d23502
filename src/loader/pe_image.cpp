#include "loader/pe_image.h"

#include <algorithm>

namespace tunewell::memory {
namespace {

constexpr std::uint16_t dosMagic = 0x5A4D;
constexpr std::uint32_t ntSignature = 0x00004550;
constexpr std::uint16_t machineAmd64 = 0x8664;
constexpr std::uint16_t fileIsDLL = 0x2000;
constexpr std::uint32_t lfanewField = 0x3C;
constexpr std::uint32_t importDescriptorSize = 20;
constexpr std::uint32_t exportDirectorySize = 40;
constexpr std::uint32_t tlsDirectorySize = 40;
constexpr std::uint32_t relocationBlockHeaderSize = 8;
constexpr std::uint32_t runtimeFunctionSize = 12;
constexpr std::uint64_t importByOrdinal = 0x8000000000000000ull;

// Offsets inside the NT headers.
namespace nt {
constexpr std::uint32_t signature = 0;
constexpr std::uint32_t machine = 4;
constexpr std::uint32_t numberOfSections = 6;
constexpr std::uint32_t sizeOfOptionalHeader = 20;
constexpr std::uint32_t characteristics = 22;
constexpr std::uint32_t optionalHeader = 24;
constexpr std::uint32_t sizeOfInitializedData = optionalHeader + 8;
constexpr std::uint32_t sizeOfUninitializedData = optionalHeader + 12;
constexpr std::uint32_t addressOfEntryPoint = optionalHeader + 16;
constexpr std::uint32_t imageBase = optionalHeader + 24;
constexpr std::uint32_t sectionAlignment = optionalHeader + 32;
constexpr std::uint32_t sizeOfImage = optionalHeader + 56;
constexpr std::uint32_t sizeOfHeaders = optionalHeader + 60;
constexpr std::uint32_t dataDirectories = optionalHeader + 112;
} // namespace nt

bool contains(std::size_t size, std::uint64_t offset, std::uint64_t length)
{
    return offset <= size && length <= size - offset;
}

bool contains(ByteView bytes, std::uint64_t offset, std::uint64_t length)
{
    return contains(bytes.size, offset, length);
}

std::uint64_t readLittleEndian(const std::uint8_t* at, int byteCount)
{
    std::uint64_t value = 0;
    for (int i = byteCount - 1; i >= 0; --i)
        value = (value << 8) | at[i];
    return value;
}

void writeLittleEndian(std::uint8_t* at, std::uint64_t value, int byteCount)
{
    for (int i = 0; i < byteCount; ++i)
        at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// Callers check the bounds first; these only read.
std::uint16_t read16(ByteView bytes, std::uint64_t offset)
{
    return static_cast<std::uint16_t>(readLittleEndian(bytes.data + offset, 2));
}

std::uint32_t read32(ByteView bytes, std::uint64_t offset)
{
    return static_cast<std::uint32_t>(readLittleEndian(bytes.data + offset, 4));
}

std::uint64_t read64(ByteView bytes, std::uint64_t offset)
{
    return readLittleEndian(bytes.data + offset, 8);
}

std::optional<std::uint32_t> checked32(ByteView bytes, std::uint64_t offset)
{
    if (!contains(bytes, offset, 4))
        return std::nullopt;
    return read32(bytes, offset);
}

std::optional<std::uint64_t> checked64(ByteView bytes, std::uint64_t offset)
{
    if (!contains(bytes, offset, 8))
        return std::nullopt;
    return read64(bytes, offset);
}

// A zero-terminated text that ends inside the bytes.
std::optional<std::string> readText(ByteView bytes, std::uint64_t offset)
{
    if (offset >= bytes.size)
        return std::nullopt;
    const auto* begin = bytes.data + offset;
    const auto* end = bytes.data + bytes.size;
    const auto* terminator = std::find(begin, end, std::uint8_t{0});
    if (terminator == end)
        return std::nullopt;
    return std::string(begin, terminator);
}

bool containsDirectory(ByteView image, DataDirectory directory)
{
    return contains(image, directory.virtualAddress, directory.size);
}

std::uint32_t ntHeadersOffset(ByteView file)
{
    return read32(file, lfanewField);
}

SectionHeader readSectionHeader(ByteView file, std::uint32_t offset)
{
    SectionHeader section;
    section.headerOffset = offset;
    section.virtualAddress = read32(file, offset + 12);
    section.sizeOfRawData = read32(file, offset + 16);
    section.pointerToRawData = read32(file, offset + 20);
    section.characteristics = read32(file, offset + 36);
    return section;
}

ImageLayout readHeaderFields(ByteView file)
{
    ImageLayout layout;
    const std::uint32_t nt = ntHeadersOffset(file);
    layout.ntHeadersOffset = nt;
    layout.preferredBase = read64(file, nt + nt::imageBase);
    layout.sectionAlignment = read32(file, nt + nt::sectionAlignment);
    layout.sizeOfHeaders = read32(file, nt + nt::sizeOfHeaders);
    layout.sizeOfInitializedData = read32(file, nt + nt::sizeOfInitializedData);
    layout.sizeOfUninitializedData = read32(file, nt + nt::sizeOfUninitializedData);
    layout.entryPoint = read32(file, nt + nt::addressOfEntryPoint);
    layout.isDLL = (read16(file, nt + nt::characteristics) & fileIsDLL) != 0;
    for (std::size_t i = 0; i < layout.directories.size(); ++i) {
        const std::uint64_t at = nt + nt::dataDirectories + 8 * i;
        layout.directories[i] = {read32(file, at), read32(file, at + 4)};
    }
    return layout;
}

bool readSectionTable(ByteView file, ImageLayout& layout)
{
    const std::uint32_t nt = layout.ntHeadersOffset;
    const std::uint64_t first = std::uint64_t{nt} + nt::optionalHeader + read16(file, nt + nt::sizeOfOptionalHeader);
    const std::uint64_t length = std::uint64_t{read16(file, nt + nt::numberOfSections)} * pe::sectionHeaderSize;
    // The mapper edits the table in its copy of the headers, so it must lie there.
    if (!contains(std::min<std::uint64_t>(file.size, layout.sizeOfHeaders), first, length))
        return false;
    for (std::uint64_t offset = first; offset < first + length; offset += pe::sectionHeaderSize)
        layout.sections.push_back(readSectionHeader(file, static_cast<std::uint32_t>(offset)));
    return true;
}

std::uint64_t endOfLastSection(const ImageLayout& layout)
{
    std::uint64_t end = 0;
    for (const SectionHeader& section : layout.sections) {
        const std::uint32_t size = section.sizeOfRawData != 0 ? section.sizeOfRawData : layout.sectionAlignment;
        end = std::max(end, std::uint64_t{section.virtualAddress} + size);
    }
    return end;
}

bool rawDataInsideFile(ByteView file, const ImageLayout& layout)
{
    return std::all_of(layout.sections.begin(), layout.sections.end(), [&](const SectionHeader& section) {
        return section.sizeOfRawData == 0 || contains(file, section.pointerToRawData, section.sizeOfRawData);
    });
}

bool applyRelocationBlock(MutableByteView image, std::uint64_t block, std::uint32_t blockSize, std::int64_t delta)
{
    const ByteView view{image.data, image.size};
    const std::uint32_t page = read32(view, block);
    const std::uint64_t entryCount = (blockSize - relocationBlockHeaderSize) / 2;
    const std::uint64_t entries = block + relocationBlockHeaderSize;
    if (!contains(view, entries, entryCount * 2))
        return false;
    for (std::uint64_t i = 0; i < entryCount; ++i) {
        const std::uint16_t entry = read16(view, entries + 2 * i);
        const int type = entry >> 12;
        const std::uint64_t target = std::uint64_t{page} + (entry & 0xFFF);
        const int width = type == 3 ? 4 : type == 10 ? 8 : 0;
        if (width == 0)
            continue;
        if (!contains(view, target, width))
            return false;
        const std::uint64_t value = readLittleEndian(image.data + target, width);
        writeLittleEndian(image.data + target, value + static_cast<std::uint64_t>(delta), width);
    }
    return true;
}

std::optional<ImportedSymbol> readImportedSymbol(ByteView image, std::uint64_t lookupEntry)
{
    ImportedSymbol symbol;
    if ((lookupEntry & importByOrdinal) != 0) {
        symbol.byOrdinal = true;
        symbol.ordinal = static_cast<std::uint16_t>(lookupEntry & 0xFFFF);
        return symbol;
    }
    // The name follows a two-byte hint.
    auto name = readText(image, lookupEntry + 2);
    if (!name)
        return std::nullopt;
    symbol.name = std::move(*name);
    return symbol;
}

std::optional<ImportedModule> readImportDescriptor(ByteView image, std::uint64_t descriptor, std::uint32_t nameAddress)
{
    ImportedModule module;
    auto name = readText(image, nameAddress);
    if (!name)
        return std::nullopt;
    module.name = std::move(*name);
    const std::uint32_t originalFirstThunk = read32(image, descriptor);
    const std::uint32_t firstThunk = read32(image, descriptor + 16);
    const std::uint64_t lookupTable = originalFirstThunk != 0 ? originalFirstThunk : firstThunk;
    for (std::uint64_t index = 0;; ++index) {
        const auto entry = checked64(image, lookupTable + 8 * index);
        if (!entry)
            return std::nullopt;
        if (*entry == 0)
            return module;
        const std::uint64_t slot = firstThunk + 8 * index;
        auto symbol = readImportedSymbol(image, *entry);
        if (!symbol || !contains(image, slot, 8))
            return std::nullopt;
        symbol->slotOffset = static_cast<std::uint32_t>(slot);
        module.symbols.push_back(std::move(*symbol));
    }
}

struct ExportArrays {
    std::uint32_t numberOfFunctions;
    std::uint32_t numberOfNames;
    std::uint32_t functions;
    std::uint32_t names;
    std::uint32_t ordinals;
};

std::optional<ExportArrays> readExportArrays(ByteView image, DataDirectory exports)
{
    const std::uint64_t at = exports.virtualAddress;
    if (!contains(image, at, exportDirectorySize))
        return std::nullopt;
    ExportArrays arrays{read32(image, at + 20), read32(image, at + 24), read32(image, at + 28),
                        read32(image, at + 32), read32(image, at + 36)};
    if (arrays.numberOfNames == 0 || arrays.numberOfFunctions == 0)
        return arrays;
    if (!contains(image, arrays.names, std::uint64_t{arrays.numberOfNames} * 4) ||
        !contains(image, arrays.ordinals, std::uint64_t{arrays.numberOfNames} * 2))
        return std::nullopt;
    return arrays;
}

} // namespace

std::uint64_t roundUp(std::uint64_t value, std::uint64_t alignment)
{
    if (alignment == 0)
        return value;
    return (value + alignment - 1) / alignment * alignment;
}

bool straddlesFourGiB(std::uint64_t start, std::uint64_t size)
{
    return (start >> 32) != ((start + size) >> 32);
}

bool hasValidHeaders(ByteView file)
{
    if (file.data == nullptr || file.size < pe::minimumFileSize || read16(file, 0) != dosMagic)
        return false;
    const std::uint32_t nt = ntHeadersOffset(file);
    if (!contains(file, nt, pe::ntHeadersSize) || read32(file, nt + nt::signature) != ntSignature)
        return false;
    return (read32(file, nt + nt::sectionAlignment) & 1) == 0 && read16(file, nt + nt::machine) == machineAmd64;
}

std::optional<ImageLayout> readImageLayout(ByteView file, std::uint32_t pageSize)
{
    if (pageSize == 0 || !hasValidHeaders(file))
        return std::nullopt;
    ImageLayout layout = readHeaderFields(file);
    // Without an alignment, sections without raw data would get no memory and
    // no recorded address, yet still be protected.
    if (layout.sectionAlignment == 0 || !readSectionTable(file, layout) || !rawDataInsideFile(file, layout))
        return std::nullopt;
    const std::uint32_t nt = layout.ntHeadersOffset;
    layout.imageSize = roundUp(read32(file, nt + nt::sizeOfImage), pageSize);
    if (layout.imageSize != roundUp(endOfLastSection(layout), pageSize))
        return std::nullopt;
    if (layout.sizeOfHeaders > file.size || layout.sizeOfHeaders > layout.imageSize ||
        std::uint64_t{nt} + pe::ntHeadersSize > layout.sizeOfHeaders)
        return std::nullopt;
    return layout;
}

bool applyRelocations(MutableByteView image, DataDirectory relocations, std::int64_t delta)
{
    const ByteView view{image.data, image.size};
    if (!containsDirectory(view, relocations))
        return false;
    const std::uint64_t end = std::uint64_t{relocations.virtualAddress} + relocations.size;
    std::uint64_t block = relocations.virtualAddress;
    while (block + relocationBlockHeaderSize <= end && read32(view, block) != 0) {
        const std::uint32_t blockSize = read32(view, block + 4);
        if (blockSize < relocationBlockHeaderSize || !applyRelocationBlock(image, block, blockSize, delta))
            return false;
        block += blockSize;
    }
    return true;
}

std::optional<std::vector<ImportedModule>> readImports(ByteView image, DataDirectory imports)
{
    std::vector<ImportedModule> modules;
    for (std::uint64_t descriptor = imports.virtualAddress;; descriptor += importDescriptorSize) {
        if (!contains(image, descriptor, importDescriptorSize))
            return std::nullopt;
        const std::uint32_t nameAddress = read32(image, descriptor + 12);
        if (nameAddress == 0)
            return modules;
        auto module = readImportDescriptor(image, descriptor, nameAddress);
        if (!module)
            return std::nullopt;
        modules.push_back(std::move(*module));
    }
}

std::optional<ExportTable> readExports(ByteView image, DataDirectory exports)
{
    ExportTable table;
    if (exports.size == 0)
        return table;
    const auto arrays = readExportArrays(image, exports);
    if (!arrays)
        return std::nullopt;
    if (arrays->numberOfNames == 0 || arrays->numberOfFunctions == 0)
        return table;
    table.reserve(arrays->numberOfNames);
    for (std::uint32_t i = 0; i < arrays->numberOfNames; ++i) {
        const std::uint16_t ordinalIndex = read16(image, arrays->ordinals + std::uint64_t{2} * i);
        if (ordinalIndex >= arrays->numberOfFunctions)
            continue;
        auto name = readText(image, read32(image, arrays->names + std::uint64_t{4} * i));
        const auto address = checked32(image, arrays->functions + std::uint64_t{4} * ordinalIndex);
        if (!name || !address || *address >= image.size)
            return std::nullopt;
        table[std::move(*name)] = *address;
    }
    return table;
}

std::optional<std::vector<std::uint32_t>> readTlsCallbacks(ByteView image, DataDirectory tls,
                                                           std::uint64_t imageBase)
{
    std::vector<std::uint32_t> callbacks;
    if (tls.size == 0)
        return callbacks;
    if (!contains(image, tls.virtualAddress, tlsDirectorySize))
        return std::nullopt;
    const std::uint64_t array = read64(image, std::uint64_t{tls.virtualAddress} + 24);
    if (array == 0)
        return callbacks;
    // Absolute addresses below the base wrap around to huge offsets and fail.
    for (std::uint64_t entry = array - imageBase;; entry += 8) {
        const auto callback = checked64(image, entry);
        if (!callback)
            return std::nullopt;
        if (*callback == 0)
            return callbacks;
        const std::uint64_t offset = *callback - imageBase;
        if (offset >= image.size)
            return std::nullopt;
        callbacks.push_back(static_cast<std::uint32_t>(offset));
    }
}

std::optional<std::uint32_t> exceptionTableEntryCount(ByteView image, DataDirectory exceptions)
{
    if (!containsDirectory(image, exceptions))
        return std::nullopt;
    return exceptions.size / runtimeFunctionSize;
}

} // namespace tunewell::memory
