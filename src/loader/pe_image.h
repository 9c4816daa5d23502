#pragma once

// Reading and checking a 64-bit Windows module image (PE32+) held as bytes.
// Nothing here touches the operating system: every function works on a byte
// view and only reports what it found, so the checks can be tested and fuzzed
// on any platform. Offsets and relative addresses are from the image start.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace tunewell::memory
{

struct ByteView
{
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
};

struct MutableByteView
{
    std::uint8_t* data = nullptr;
    std::size_t size = 0;
};

struct DataDirectory
{
    std::uint32_t virtualAddress = 0;
    std::uint32_t size = 0;
};

enum DirectoryIndex : std::size_t
{
    exportDirectory = 0,
    importDirectory = 1,
    exceptionDirectory = 3,
    relocationDirectory = 5,
    tlsDirectory = 9,
};

struct SectionHeader
{
    std::uint32_t headerOffset = 0; // where this 40-byte header sits in the file
    std::uint32_t virtualAddress = 0;
    std::uint32_t sizeOfRawData = 0;
    std::uint32_t pointerToRawData = 0;
    std::uint32_t characteristics = 0;
};

// What the mapper needs from a file image that passed every check.
struct ImageLayout
{
    std::uint32_t ntHeadersOffset = 0;
    std::uint64_t preferredBase = 0;
    std::uint64_t imageSize = 0; // SizeOfImage rounded up to whole pages
    std::uint32_t sectionAlignment = 0;
    std::uint32_t sizeOfHeaders = 0;
    std::uint32_t sizeOfInitializedData = 0;
    std::uint32_t sizeOfUninitializedData = 0;
    std::uint32_t entryPoint = 0;
    bool isDLL = false;
    std::array<DataDirectory, 16> directories {};
    std::vector<SectionHeader> sections;
};

std::uint64_t roundUp (std::uint64_t value, std::uint64_t alignment);

// True when [start, start + size] does not share the upper 32 bits of start;
// a block that ends exactly on a 4 GiB boundary counts as straddling it.
bool straddlesFourGiB (std::uint64_t start, std::uint64_t size);

// The fixed header checks: DOS magic, NT signature, even section alignment, x64.
bool hasValidHeaders (ByteView file);

// The header checks plus every bound that mapping relies on: the section table
// and each section's raw data lie inside the file, no section lies over the
// headers, the headers fit the image,
// and the page-rounded SizeOfImage equals the page-rounded end of the last
// section. Empty when any of them fails.
std::optional<ImageLayout> readImageLayout (ByteView file, std::uint32_t pageSize);

// Adds delta to every 32- and 64-bit base relocation target of a mapped image.
// False when a block or target lies outside the image or a block is shorter
// than its own header; targets already patched stay patched.
bool applyRelocations (MutableByteView image, DataDirectory relocations, std::int64_t delta);

struct ImportedSymbol
{
    bool byOrdinal = false;
    std::uint16_t ordinal = 0;
    std::string name;
    std::uint32_t slotOffset = 0; // address-table slot that receives the address
};

struct ImportedModule
{
    std::string name;
    std::vector<ImportedSymbol> symbols;
};

// The import descriptors of a mapped image in order, up to the first one
// without a name. Empty when a descriptor, thunk or text lies outside the image.
std::optional<std::vector<ImportedModule>> readImports (ByteView image, DataDirectory imports);

using ExportTable = std::unordered_map<std::string, std::uint32_t>;

// Exported names of a mapped image with their relative addresses; a name whose
// ordinal index is out of range is left out and a repeated name keeps its last
// address. Empty when the directory, its arrays, a name or an address lies
// outside the image.
std::optional<ExportTable> readExports (ByteView image, DataDirectory exports);

// Relative addresses of the TLS callbacks of a mapped image whose absolute
// addresses were already relocated to imageBase. Empty when the directory, the
// callback array or a callback lies outside the image.
std::optional<std::vector<std::uint32_t>> readTlsCallbacks (ByteView image, DataDirectory tls, std::uint64_t imageBase);

// The thread-local data template of a mapped image: raw bytes to copy, zeros
// to add after them, and where the image keeps its TLS index.
struct TlsTemplate
{
    std::uint32_t start = 0; // relative address of the raw bytes
    std::uint32_t rawSize = 0;
    std::uint32_t zeroFill = 0;
    std::uint32_t indexOffset = 0; // relative address of the 32-bit index; 0 for none
    std::uint64_t blockSize() const { return std::uint64_t { rawSize } + zeroFill; }
};

// The template named by a present TLS directory whose absolute addresses were
// already relocated to imageBase; null addresses give an empty template and no
// index. Empty when the directory, the raw bytes or
// the index lie outside the image, or the raw bytes end before they start.
std::optional<TlsTemplate> readTlsTemplate (ByteView image, DataDirectory tls, std::uint64_t imageBase);

// Number of 12-byte exception table entries; empty when the table lies outside
// the image.
std::optional<std::uint32_t> exceptionTableEntryCount (ByteView image, DataDirectory exceptions);

} // namespace tunewell::memory
