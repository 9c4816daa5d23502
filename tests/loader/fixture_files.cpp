#include "fixture_files.h"

#include "basicFixtureImage.h"
#include "loader/image_tls_win.h"

#include <windows.h>

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace tunewell::testrig
{
namespace
{

std::string programDirectory()
{
    char path[MAX_PATH] = "";
    const DWORD length = GetModuleFileNameA (nullptr, path, MAX_PATH);
    std::string directory (path, length);
    return directory.substr (0, directory.find_last_of ("\\/") + 1);
}

} // namespace

Bytes readFile (const std::string& path)
{
    std::ifstream file (path, std::ios::binary);
    if (! file)
        throw std::runtime_error ("missing file " + path);
    return Bytes (std::istreambuf_iterator<char> (file), std::istreambuf_iterator<char>());
}

Bytes readFixture (const std::string& fileName)
{
    return readFile (programDirectory() + fileName);
}

Bytes basicFixture()
{
    return Bytes (basicFixtureImage, basicFixtureImage + basicFixtureImageSize);
}

std::string fixtureEvents()
{
    char events[1024] = "";
    const DWORD length = GetEnvironmentVariableA ("TUNEWELL_FIXTURE_EVENTS", events, sizeof events);
    return std::string (events, length < sizeof events ? length : 0);
}

void clearFixtureEvents()
{
    SetEnvironmentVariableA ("TUNEWELL_FIXTURE_EVENTS", nullptr);
}

ThreadLocalBlock programThreadLocalBlock()
{
    auto* base = reinterpret_cast<unsigned char*> (GetModuleHandleW (nullptr));
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS64*> (
        base + reinterpret_cast<IMAGE_DOS_HEADER*> (base)->e_lfanew);
    const auto* tls = reinterpret_cast<const IMAGE_TLS_DIRECTORY64*> (
        base + nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_TLS].VirtualAddress);
    const auto index = *reinterpret_cast<const DWORD*> (tls->AddressOfIndex);
    return { tunewell::memory::threadLocalVector()[index],
             static_cast<std::size_t> (tls->EndAddressOfRawData - tls->StartAddressOfRawData + tls->SizeOfZeroFill),
             reinterpret_cast<const unsigned char*> (tls->StartAddressOfRawData) };
}

std::uint64_t executablePrivateBytes()
{
    const DWORD executable = PAGE_EXECUTE | PAGE_EXECUTE_READ | PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
    std::uint64_t total = 0;
    MEMORY_BASIC_INFORMATION region;
    for (auto* at = static_cast<unsigned char*> (nullptr); VirtualQuery (at, &region, sizeof region) != 0;
         at = static_cast<unsigned char*> (region.BaseAddress) + region.RegionSize)
    {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE && (region.Protect & executable) != 0)
            total += region.RegionSize;
    }
    return total;
}

std::size_t ntHeadersOffset (const Bytes& file)
{
    return readAt<std::uint32_t> (file, 0x3C);
}

std::size_t directoryFieldOffset (const Bytes& file, int index)
{
    return ntHeadersOffset (file) + 24 + 112 + 8 * index;
}

FileDirectory directoryOf (const Bytes& file, int index)
{
    const std::size_t at = directoryFieldOffset (file, index);
    return { readAt<std::uint32_t> (file, at), readAt<std::uint32_t> (file, at + 4) };
}

std::uint64_t preferredBaseOf (const Bytes& file)
{
    return readAt<std::uint64_t> (file, ntHeadersOffset (file) + 24 + 24);
}

std::uint32_t sizeOfImageOf (const Bytes& file)
{
    return readAt<std::uint32_t> (file, ntHeadersOffset (file) + 24 + 56);
}

std::size_t fileOffsetOf (const Bytes& file, std::uint32_t relativeAddress)
{
    const std::size_t nt = ntHeadersOffset (file);
    const auto sectionCount = readAt<std::uint16_t> (file, nt + 6);
    const std::size_t table = nt + 24 + readAt<std::uint16_t> (file, nt + 20);
    for (std::size_t i = 0; i < sectionCount; ++i)
    {
        const std::size_t header = table + 40 * i;
        const auto virtualAddress = readAt<std::uint32_t> (file, header + 12);
        const auto rawSize = readAt<std::uint32_t> (file, header + 16);
        if (relativeAddress >= virtualAddress && relativeAddress < virtualAddress + rawSize)
            return readAt<std::uint32_t> (file, header + 20) + (relativeAddress - virtualAddress);
    }
    throw std::runtime_error ("relative address outside every section");
}

} // namespace tunewell::testrig
