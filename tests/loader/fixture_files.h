#pragma once

// The fixture DLLs that the build puts beside the test program, as bytes,
// and the file offsets of the image fields that the tests change.

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace tunewell::testing {

using Bytes = std::vector<unsigned char>;

Bytes readFixture(const std::string& fileName);
Bytes basicFixture();

// Events the fixtures recorded since the last clearFixtureEvents, separated by spaces.
std::string fixtureEvents();
void clearFixtureEvents();

template <typename T>
T readAt(const Bytes& bytes, std::size_t offset)
{
    T value{};
    std::memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

template <typename T>
void writeAt(Bytes& bytes, std::size_t offset, T value)
{
    std::memcpy(bytes.data() + offset, &value, sizeof value);
}

struct FileDirectory {
    std::uint32_t virtualAddress;
    std::uint32_t size;
};

std::size_t ntHeadersOffset(const Bytes& file);
std::size_t directoryFieldOffset(const Bytes& file, int index);
FileDirectory directoryOf(const Bytes& file, int index);
std::uint64_t preferredBaseOf(const Bytes& file);
std::uint32_t sizeOfImageOf(const Bytes& file);
// File offset of a relative address, through the section table.
std::size_t fileOffsetOf(const Bytes& file, std::uint32_t relativeAddress);

} // namespace tunewell::testing
