#include "fixture_files.h"

#include "basicFixtureImage.h"

#include <windows.h>

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace tunewell::testing {
namespace {

std::string programDirectory()
{
    char path[MAX_PATH] = "";
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string directory(path, length);
    return directory.substr(0, directory.find_last_of("\\/") + 1);
}

} // namespace

Bytes readFixture(const std::string& fileName)
{
    std::ifstream file(programDirectory() + fileName, std::ios::binary);
    if (!file)
        throw std::runtime_error("missing fixture " + fileName);
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

Bytes basicFixture()
{
    return Bytes(basicFixtureImage, basicFixtureImage + basicFixtureImageSize);
}

std::string fixtureEvents()
{
    char events[1024] = "";
    const DWORD length = GetEnvironmentVariableA("TUNEWELL_FIXTURE_EVENTS", events, sizeof events);
    return std::string(events, length < sizeof events ? length : 0);
}

void clearFixtureEvents()
{
    SetEnvironmentVariableA("TUNEWELL_FIXTURE_EVENTS", nullptr);
}

std::size_t ntHeadersOffset(const Bytes& file)
{
    return readAt<std::uint32_t>(file, 0x3C);
}

std::size_t directoryFieldOffset(const Bytes& file, int index)
{
    return ntHeadersOffset(file) + 24 + 112 + 8 * index;
}

FileDirectory directoryOf(const Bytes& file, int index)
{
    const std::size_t at = directoryFieldOffset(file, index);
    return {readAt<std::uint32_t>(file, at), readAt<std::uint32_t>(file, at + 4)};
}

std::uint64_t preferredBaseOf(const Bytes& file)
{
    return readAt<std::uint64_t>(file, ntHeadersOffset(file) + 24 + 24);
}

std::uint32_t sizeOfImageOf(const Bytes& file)
{
    return readAt<std::uint32_t>(file, ntHeadersOffset(file) + 24 + 56);
}

std::size_t fileOffsetOf(const Bytes& file, std::uint32_t relativeAddress)
{
    const std::size_t nt = ntHeadersOffset(file);
    const auto sectionCount = readAt<std::uint16_t>(file, nt + 6);
    const std::size_t table = nt + 24 + readAt<std::uint16_t>(file, nt + 20);
    for (std::size_t i = 0; i < sectionCount; ++i) {
        const std::size_t header = table + 40 * i;
        const auto virtualAddress = readAt<std::uint32_t>(file, header + 12);
        const auto rawSize = readAt<std::uint32_t>(file, header + 16);
        if (relativeAddress >= virtualAddress && relativeAddress < virtualAddress + rawSize)
            return readAt<std::uint32_t>(file, header + 20) + (relativeAddress - virtualAddress);
    }
    throw std::runtime_error("relative address outside every section");
}

} // namespace tunewell::testing
