#pragma once

// Hand-made images for the portable tests. Field offsets are written out here
// from the published format rather than taken from the code under test.

#include "loader/pe_image.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tunewell::testrig
{

class ImageBytes
{
public:
    explicit ImageBytes (std::size_t size) : bytes (size, 0) {}

    void put16 (std::size_t offset, std::uint16_t value) { put (offset, value, 2); }
    void put32 (std::size_t offset, std::uint32_t value) { put (offset, value, 4); }
    void put64 (std::size_t offset, std::uint64_t value) { put (offset, value, 8); }
    void putText (std::size_t offset, const std::string& text);

    std::uint16_t get16 (std::size_t offset) const { return static_cast<std::uint16_t> (get (offset, 2)); }
    std::uint32_t get32 (std::size_t offset) const { return static_cast<std::uint32_t> (get (offset, 4)); }
    std::uint64_t get64 (std::size_t offset) const { return get (offset, 8); }

    memory::ByteView view() const { return { bytes.data(), bytes.size() }; }
    memory::MutableByteView mutableView() { return { bytes.data(), bytes.size() }; }

    std::vector<std::uint8_t> bytes;

private:
    void put (std::size_t offset, std::uint64_t value, int width);
    std::uint64_t get (std::size_t offset, int width) const;
};

namespace field
{
constexpr std::size_t lfanew = 0x3C;
constexpr std::size_t nt = 0x80; // where the synthetic images put their NT headers
constexpr std::size_t machine = nt + 4;
constexpr std::size_t numberOfSections = nt + 6;
constexpr std::size_t sizeOfOptionalHeader = nt + 20;
constexpr std::size_t characteristics = nt + 22;
constexpr std::size_t optional = nt + 24;
constexpr std::size_t entryPoint = optional + 16;
constexpr std::size_t imageBase = optional + 24;
constexpr std::size_t sectionAlignment = optional + 32;
constexpr std::size_t sizeOfImage = optional + 56;
constexpr std::size_t sizeOfHeaders = optional + 60;
constexpr std::size_t directories = optional + 112;
constexpr std::size_t sections = optional + 240;
constexpr std::size_t sectionHeaderSize = 40;
} // namespace field

constexpr std::uint64_t syntheticPreferredBase = 0x180000000ull;
constexpr std::uint32_t syntheticPageSize = 0x1000;

// A valid DLL file of 0x800 bytes: headers of 0x400 bytes and three sections,
// .text at 0x1000 (raw data 0x200 at 0x400), .data at 0x2000 (raw data 0x200
// at 0x600) and .bss at 0x3000 (no raw data); SizeOfImage 0x4000.
ImageBytes syntheticFile();

} // namespace tunewell::testrig
