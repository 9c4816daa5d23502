#include "loader/pe_image.h"

#include "loader/image_bytes.h"
#include "loader/pe_layout.h"

namespace tunewell::memory
{

using namespace bytes;

namespace
{

bool applyRelocationBlock (MutableByteView image, std::uint64_t block, std::uint32_t blockSize, std::int64_t delta)
{
    const ByteView view { image.data, image.size };
    const std::uint32_t page = read32 (view, block);
    const std::uint64_t entryCount = (blockSize - pe::relocationBlockHeaderSize) / 2;
    const std::uint64_t entries = block + pe::relocationBlockHeaderSize;
    if (! contains (view, entries, entryCount * 2))
        return false;
    for (std::uint64_t i = 0; i < entryCount; ++i)
    {
        const std::uint16_t entry = read16 (view, entries + 2 * i);
        const int type = entry >> 12;
        const std::uint64_t target = std::uint64_t { page } + (entry & 0xFFF);
        const int width = type == 3 ? 4 : type == 10 ? 8 : 0;
        if (width == 0)
            continue;
        if (! contains (view, target, width))
            return false;
        const std::uint64_t value = readLittleEndian (image.data + target, width);
        writeLittleEndian (image.data + target, value + static_cast<std::uint64_t> (delta), width);
    }
    return true;
}

std::optional<ImportedSymbol> readImportedSymbol (ByteView image, std::uint64_t lookupEntry)
{
    ImportedSymbol symbol;
    if ((lookupEntry & pe::importByOrdinal) != 0)
    {
        symbol.byOrdinal = true;
        symbol.ordinal = static_cast<std::uint16_t> (lookupEntry & 0xFFFF);
        return symbol;
    }
    // The name follows a two-byte hint.
    auto name = readText (image, lookupEntry + 2);
    if (! name)
        return std::nullopt;
    symbol.name = std::move (*name);
    return symbol;
}

std::optional<ImportedModule> readImportDescriptor (ByteView image, std::uint64_t descriptor, std::uint32_t nameAddress)
{
    ImportedModule module;
    auto name = readText (image, nameAddress);
    if (! name)
        return std::nullopt;
    module.name = std::move (*name);
    const std::uint32_t originalFirstThunk = read32 (image, descriptor);
    const std::uint32_t firstThunk = read32 (image, descriptor + 16);
    const std::uint64_t lookupTable = originalFirstThunk != 0 ? originalFirstThunk : firstThunk;
    for (std::uint64_t index = 0;; ++index)
    {
        const auto entry = checked64 (image, lookupTable + 8 * index);
        if (! entry)
            return std::nullopt;
        if (*entry == 0)
            return module;
        const std::uint64_t slot = firstThunk + 8 * index;
        auto symbol = readImportedSymbol (image, *entry);
        if (! symbol || ! contains (image, slot, 8))
            return std::nullopt;
        symbol->slotOffset = static_cast<std::uint32_t> (slot);
        module.symbols.push_back (std::move (*symbol));
    }
}

struct ExportArrays
{
    std::uint32_t numberOfFunctions;
    std::uint32_t numberOfNames;
    std::uint32_t functions;
    std::uint32_t names;
    std::uint32_t ordinals;
};

std::optional<ExportArrays> readExportArrays (ByteView image, DataDirectory exports)
{
    const std::uint64_t at = exports.virtualAddress;
    if (! contains (image, at, pe::exportDirectorySize))
        return std::nullopt;
    ExportArrays arrays { read32 (image, at + 20), read32 (image, at + 24), read32 (image, at + 28),
                          read32 (image, at + 32), read32 (image, at + 36) };
    if (arrays.numberOfNames == 0 || arrays.numberOfFunctions == 0)
        return arrays;
    if (! contains (image, arrays.names, std::uint64_t { arrays.numberOfNames } * 4)
        || ! contains (image, arrays.ordinals, std::uint64_t { arrays.numberOfNames } * 2))
        return std::nullopt;
    return arrays;
}

} // namespace

bool applyRelocations (MutableByteView image, DataDirectory relocations, std::int64_t delta)
{
    const ByteView view { image.data, image.size };
    if (! containsDirectory (view, relocations))
        return false;
    const std::uint64_t end = std::uint64_t { relocations.virtualAddress } + relocations.size;
    std::uint64_t block = relocations.virtualAddress;
    while (block + pe::relocationBlockHeaderSize <= end && read32 (view, block) != 0)
    {
        const std::uint32_t blockSize = read32 (view, block + 4);
        if (blockSize < pe::relocationBlockHeaderSize || ! applyRelocationBlock (image, block, blockSize, delta))
            return false;
        block += blockSize;
    }
    return true;
}

std::optional<std::vector<ImportedModule>> readImports (ByteView image, DataDirectory imports)
{
    std::vector<ImportedModule> modules;
    for (std::uint64_t descriptor = imports.virtualAddress;; descriptor += pe::importDescriptorSize)
    {
        if (! contains (image, descriptor, pe::importDescriptorSize))
            return std::nullopt;
        const std::uint32_t nameAddress = read32 (image, descriptor + 12);
        if (nameAddress == 0)
            return modules;
        auto module = readImportDescriptor (image, descriptor, nameAddress);
        if (! module)
            return std::nullopt;
        modules.push_back (std::move (*module));
    }
}

std::optional<ExportTable> readExports (ByteView image, DataDirectory exports)
{
    ExportTable table;
    if (exports.size == 0)
        return table;
    const auto arrays = readExportArrays (image, exports);
    if (! arrays)
        return std::nullopt;
    if (arrays->numberOfNames == 0 || arrays->numberOfFunctions == 0)
        return table;
    table.reserve (arrays->numberOfNames);
    for (std::uint32_t i = 0; i < arrays->numberOfNames; ++i)
    {
        const std::uint16_t ordinalIndex = read16 (image, arrays->ordinals + std::uint64_t { 2 } * i);
        if (ordinalIndex >= arrays->numberOfFunctions)
            continue;
        auto name = readText (image, read32 (image, arrays->names + std::uint64_t { 4 } * i));
        const auto address = checked32 (image, arrays->functions + std::uint64_t { 4 } * ordinalIndex);
        if (! name || ! address || *address >= image.size)
            return std::nullopt;
        table[std::move (*name)] = *address;
    }
    return table;
}

std::optional<std::vector<std::uint32_t>> readTlsCallbacks (ByteView image, DataDirectory tls, std::uint64_t imageBase)
{
    std::vector<std::uint32_t> callbacks;
    if (tls.size == 0)
        return callbacks;
    if (! contains (image, tls.virtualAddress, pe::tlsDirectorySize))
        return std::nullopt;
    const std::uint64_t array = read64 (image, std::uint64_t { tls.virtualAddress } + 24);
    if (array == 0)
        return callbacks;
    // Absolute addresses below the base wrap around to huge offsets and fail.
    for (std::uint64_t entry = array - imageBase;; entry += 8)
    {
        const auto callback = checked64 (image, entry);
        if (! callback)
            return std::nullopt;
        if (*callback == 0)
            return callbacks;
        const std::uint64_t offset = *callback - imageBase;
        if (offset >= image.size)
            return std::nullopt;
        callbacks.push_back (static_cast<std::uint32_t> (offset));
    }
}

std::optional<TlsTemplate> readTlsTemplate (ByteView image, DataDirectory tls, std::uint64_t imageBase)
{
    const std::uint64_t at = tls.virtualAddress;
    if (! contains (image, at, pe::tlsDirectorySize))
        return std::nullopt;
    // A directory that only lists callbacks may leave the addresses null. Other
    // addresses below the base wrap around to huge offsets and fail.
    const auto relative = [&] (std::uint64_t field) {
        const std::uint64_t address = read64 (image, at + field);
        return address == 0 ? 0 : address - imageBase;
    };
    const std::uint64_t start = relative (0);
    const std::uint64_t end = relative (8);
    const std::uint64_t index = relative (16);
    if (end < start || ! contains (image, start, end - start) || ! contains (image, index, 4))
        return std::nullopt;
    return TlsTemplate { static_cast<std::uint32_t> (start), static_cast<std::uint32_t> (end - start),
                         read32 (image, at + 32), static_cast<std::uint32_t> (index) };
}

std::optional<std::uint32_t> exceptionTableEntryCount (ByteView image, DataDirectory exceptions)
{
    if (! containsDirectory (image, exceptions))
        return std::nullopt;
    return exceptions.size / pe::runtimeFunctionSize;
}

} // namespace tunewell::memory
