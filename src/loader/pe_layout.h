#pragma once

// The fixed numbers of the 64-bit Windows module format (PE32+) that the
// loader reads: magic values, field offsets and record sizes, each once.

#include <cstdint>

namespace tunewell::memory::pe
{

constexpr std::uint16_t dosMagic = 0x5A4D;
constexpr std::uint32_t lfanewField = 0x3C; // where the DOS header keeps the NT headers' offset
constexpr std::uint32_t ntSignature = 0x00004550;
constexpr std::uint16_t machineAmd64 = 0x8664;
constexpr std::uint16_t fileIsDLL = 0x2000;

constexpr std::uint32_t minimumFileSize = 64;
constexpr std::uint32_t ntHeadersSize = 264;
constexpr std::uint32_t sectionHeaderSize = 40;

// Offsets inside the NT headers.
namespace nt
{
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

// Offsets inside a section header.
namespace section
{
constexpr std::uint32_t virtualAddress = 12;
constexpr std::uint32_t sizeOfRawData = 16;
constexpr std::uint32_t pointerToRawData = 20;
constexpr std::uint32_t characteristics = 36;
} // namespace section

// Sizes of the records that the directories point to.
constexpr std::uint32_t importDescriptorSize = 20;
constexpr std::uint32_t exportDirectorySize = 40;
constexpr std::uint32_t tlsDirectorySize = 40;
constexpr std::uint32_t relocationBlockHeaderSize = 8;
constexpr std::uint32_t runtimeFunctionSize = 12;
constexpr std::uint64_t importByOrdinal = 0x8000000000000000ull;

// Section characteristics.
constexpr std::uint32_t scnContainsInitializedData = 0x00000040;
constexpr std::uint32_t scnContainsUninitializedData = 0x00000080;
constexpr std::uint32_t scnMemDiscardable = 0x02000000;
constexpr std::uint32_t scnMemNotCached = 0x04000000;
constexpr std::uint32_t scnMemExecute = 0x20000000;
constexpr std::uint32_t scnMemRead = 0x40000000;
constexpr std::uint32_t scnMemWrite = 0x80000000;

} // namespace tunewell::memory::pe
