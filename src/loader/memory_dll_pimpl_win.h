#pragma once

#include "loader/memory_dll.h"
#include "loader/pe_image.h"
#include "loader/section_protection.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace tunewell::memory
{

// The mapped image and everything acquired for it. Whatever a failed
// initialise acquired is released by the destructor.
struct MemoryDLL::Pimpl
{
    using EntryPoint = BOOL (WINAPI*) (HINSTANCE, DWORD, LPVOID);

    IMAGE_NT_HEADERS64* headers = nullptr;
    unsigned char* imageBase = nullptr;
    std::vector<HMODULE> loadedModules;
    std::uint32_t pageSize = 0;
    bool isDLL = false;
    std::vector<void*> rejectedBlocks;
    ExportTable exportTable;
    EntryPoint entryPoint = nullptr;
    RUNTIME_FUNCTION* exceptionTable = nullptr; // set while registered
    std::uint64_t imageSize = 0;
    std::vector<std::uint32_t> tlsCallbacks;
    bool tlsCallbacksAttached = false;
    // Where each section was put; the image's own section headers stay as
    // they are in the file, because the image's runtime reads them.
    std::vector<MappedSection> sections;
    bool holdsThreadLocalStorage = false;

    Pimpl() = default;
    Pimpl (const Pimpl&) = delete;
    Pimpl& operator= (const Pimpl&) = delete;
    ~Pimpl();

    bool initialise (const void* data, std::uint64_t size);
    void* lookupFunction (const std::string& name) const;

private:
    ByteView image() const { return { imageBase, static_cast<std::size_t> (imageSize) }; }

    bool reserveImage (const ImageLayout& layout);
    bool copyHeaders (ByteView file, const ImageLayout& layout);
    bool copySections (ByteView file, const ImageLayout& layout);
    bool relocate (const ImageLayout& layout);
    bool resolveImports (const ImageLayout& layout);
    bool giveThreadLocalStorage (const ImageLayout& layout);
    bool loadNameTable (const ImageLayout& layout);
    bool collectTlsCallbacks (const ImageLayout& layout);
    bool prepareSections (const ImageLayout& layout);
    bool registerExceptionTable (const ImageLayout& layout);
    void runTlsCallbacks (DWORD reason);
    bool callEntryPoint (const ImageLayout& layout);
};

} // namespace tunewell::memory
