#pragma once

// The fixture DLLs that the build puts beside the test program, as bytes,
// and the file offsets of the image fields that the tests change.

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace tunewell::testrig
{

using Bytes = std::vector<unsigned char>;

Bytes readFile (const std::string& path);
Bytes readFixture (const std::string& fileName);
Bytes basicFixture();

// Events the fixtures recorded since the last clearFixtureEvents, separated by spaces.
std::string fixtureEvents();
void clearFixtureEvents();

// A function that the system's loader resolved, as the type it has.
template <typename Function>
Function systemExport (HMODULE module, const char* name)
{
    return reinterpret_cast<Function> (reinterpret_cast<void*> (GetProcAddress (module, name)));
}

template <typename T>
T readAt (const Bytes& bytes, std::size_t offset)
{
    T value {};
    std::memcpy (&value, bytes.data() + offset, sizeof value);
    return value;
}

template <typename T>
void writeAt (Bytes& bytes, std::size_t offset, T value)
{
    std::memcpy (bytes.data() + offset, &value, sizeof value);
}

// This program's thread-local block on the calling thread, found as the
// program's own compiled code would find it: its TLS directory names the
// template and the index into the thread's vector at gs:[0x58].
struct ThreadLocalBlock
{
    unsigned char* data;
    std::size_t size;
    const unsigned char* templateStart;
    Bytes bytes() const { return Bytes (data, data + size); }
    // The calling thread's copy of a variable placed in the template.
    unsigned char* copyOf (const void* variable) const
    {
        return data + (static_cast<const unsigned char*> (variable) - templateStart);
    }
};
ThreadLocalBlock programThreadLocalBlock();

// Bytes of private memory that the process holds committed as executable:
// mapped images have code there, heaps do not, so what the images' own
// runtimes allocate and keep does not count.
std::uint64_t executablePrivateBytes();

struct FileDirectory
{
    std::uint32_t virtualAddress;
    std::uint32_t size;
};

std::size_t ntHeadersOffset (const Bytes& file);
std::size_t directoryFieldOffset (const Bytes& file, int index);
FileDirectory directoryOf (const Bytes& file, int index);
std::uint64_t preferredBaseOf (const Bytes& file);
std::uint32_t sizeOfImageOf (const Bytes& file);
// File offset of a relative address, through the section table.
std::size_t fileOffsetOf (const Bytes& file, std::uint32_t relativeAddress);

} // namespace tunewell::testrig
