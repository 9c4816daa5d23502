#pragma once

// Bounds-checked little-endian access to image bytes, shared by the image
// readers. Offsets are 64-bit so that adding a 32-bit field never wraps.

#include "loader/pe_image.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>

namespace tunewell::memory::bytes
{

inline bool contains (std::size_t size, std::uint64_t offset, std::uint64_t length)
{
    return offset <= size && length <= size - offset;
}

inline bool contains (ByteView bytes, std::uint64_t offset, std::uint64_t length)
{
    return contains (bytes.size, offset, length);
}

inline std::uint64_t readLittleEndian (const std::uint8_t* at, int byteCount)
{
    std::uint64_t value = 0;
    for (int i = byteCount - 1; i >= 0; --i)
        value = (value << 8) | at[i];
    return value;
}

inline void writeLittleEndian (std::uint8_t* at, std::uint64_t value, int byteCount)
{
    for (int i = 0; i < byteCount; ++i)
        at[i] = static_cast<std::uint8_t> (value >> (8 * i));
}

// Callers check the bounds first; these only read.
inline std::uint16_t read16 (ByteView bytes, std::uint64_t offset)
{
    return static_cast<std::uint16_t> (readLittleEndian (bytes.data + offset, 2));
}

inline std::uint32_t read32 (ByteView bytes, std::uint64_t offset)
{
    return static_cast<std::uint32_t> (readLittleEndian (bytes.data + offset, 4));
}

inline std::uint64_t read64 (ByteView bytes, std::uint64_t offset)
{
    return readLittleEndian (bytes.data + offset, 8);
}

inline std::optional<std::uint32_t> checked32 (ByteView bytes, std::uint64_t offset)
{
    if (! contains (bytes, offset, 4))
        return std::nullopt;
    return read32 (bytes, offset);
}

inline std::optional<std::uint64_t> checked64 (ByteView bytes, std::uint64_t offset)
{
    if (! contains (bytes, offset, 8))
        return std::nullopt;
    return read64 (bytes, offset);
}

// A zero-terminated text that ends inside the bytes.
inline std::optional<std::string> readText (ByteView bytes, std::uint64_t offset)
{
    if (offset >= bytes.size)
        return std::nullopt;
    const auto* begin = bytes.data + offset;
    const auto* end = bytes.data + bytes.size;
    const auto* terminator = std::find (begin, end, std::uint8_t { 0 });
    if (terminator == end)
        return std::nullopt;
    return std::string (begin, terminator);
}

inline bool containsDirectory (ByteView image, DataDirectory directory)
{
    return contains (image, directory.virtualAddress, directory.size);
}

} // namespace tunewell::memory::bytes
