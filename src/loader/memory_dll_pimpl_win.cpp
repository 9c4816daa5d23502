#include "loader/memory_dll_pimpl_win.h"

#include "loader/image_tls_win.h"
#include "loader/module_identity_win.h"

#include <cstring>

namespace tunewell::memory
{
namespace
{

std::uint32_t systemPageSize()
{
    SYSTEM_INFO info;
    GetNativeSystemInfo (&info);
    return info.dwPageSize;
}

unsigned char* allocateImage (std::uint64_t address, std::uint64_t size)
{
    return static_cast<unsigned char*> (VirtualAlloc (reinterpret_cast<void*> (address), static_cast<SIZE_T> (size),
                                                      MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
}

bool commit (unsigned char* address, std::uint64_t size)
{
    return VirtualAlloc (address, static_cast<SIZE_T> (size), MEM_COMMIT, PAGE_READWRITE) != nullptr;
}

std::uint64_t addressOf (const void* pointer)
{
    return reinterpret_cast<std::uintptr_t> (pointer);
}

bool applyStep (const ProtectionStep& step)
{
    void* address = reinterpret_cast<void*> (step.address);
    if (step.kind == ProtectionStep::Kind::decommit)
    {
        VirtualFree (address, static_cast<SIZE_T> (step.size), MEM_DECOMMIT);
        return true;
    }
    DWORD previous = 0;
    return VirtualProtect (address, static_cast<SIZE_T> (step.size), step.protection, &previous) != 0;
}

} // namespace

MemoryDLL::Pimpl::~Pimpl()
{
    // Callbacks that registered something at attach, such as an exception
    // handler inside the image, must be able to undo it before the image goes;
    // as the system's own loader does, they run before the entry point.
    if (tlsCallbacksAttached)
        runTlsCallbacks (DLL_PROCESS_DETACH);
    // An image that is not a DLL has a program entry point, which takes no
    // detach call.
    if (entryPoint != nullptr && isDLL)
        entryPoint (reinterpret_cast<HINSTANCE> (imageBase), DLL_PROCESS_DETACH, nullptr);
    if (holdsThreadLocalStorage)
        returnThreadLocalStorage();
    for (HMODULE module : loadedModules)
        FreeLibrary (module);
    // The table is read while exceptions unwind through the image, so it goes
    // only after the image's last code ran.
    if (exceptionTable != nullptr)
        RtlDeleteFunctionTable (exceptionTable);
    if (imageBase != nullptr)
    {
        removeMappedImage (imageBase);
        VirtualFree (imageBase, 0, MEM_RELEASE);
    }
    for (void* block : rejectedBlocks)
        VirtualFree (block, 0, MEM_RELEASE);
}

bool MemoryDLL::Pimpl::initialise (const void* data, std::uint64_t size)
{
    const ByteView file { static_cast<const std::uint8_t*> (data), static_cast<std::size_t> (size) };
    pageSize = systemPageSize();
    const auto layout = readImageLayout (file, pageSize);
    if (! layout)
        return false;
    // The tables are read while every page is still readable; protection may
    // make some of them inaccessible or decommit them.
    const bool mapped = reserveImage (*layout) && copyHeaders (file, *layout) && copySections (file, *layout)
                     && relocate (*layout) && resolveImports (*layout) && giveThreadLocalStorage (*layout)
                     && loadNameTable (*layout) && collectTlsCallbacks (*layout) && prepareSections (*layout)
                     && registerExceptionTable (*layout);
    if (! mapped)
        return false;
    tlsCallbacksAttached = true;
    runTlsCallbacks (DLL_PROCESS_ATTACH);
    return callEntryPoint (*layout);
}

void* MemoryDLL::Pimpl::lookupFunction (const std::string& name) const
{
    const auto found = exportTable.find (name);
    if (found == exportTable.end())
        return nullptr;
    return imageBase + found->second;
}

bool MemoryDLL::Pimpl::reserveImage (const ImageLayout& layout)
{
    imageBase = allocateImage (layout.preferredBase, layout.imageSize);
    if (imageBase == nullptr)
        imageBase = allocateImage (0, layout.imageSize);
    // The whole image shares the upper 32 bits of its base, as this loader has
    // always promised; a block across a 4 GiB line is kept allocated meanwhile
    // so that the next try lands elsewhere.
    while (imageBase != nullptr && straddlesFourGiB (addressOf (imageBase), layout.imageSize))
    {
        rejectedBlocks.push_back (imageBase);
        imageBase = allocateImage (0, layout.imageSize);
    }
    imageSize = layout.imageSize;
    if (imageBase == nullptr)
        return false;
    addMappedImage (imageBase, imageSize);
    return true;
}

bool MemoryDLL::Pimpl::copyHeaders (ByteView file, const ImageLayout& layout)
{
    isDLL = layout.isDLL;
    if (! commit (imageBase, layout.sizeOfHeaders))
        return false;
    std::memcpy (imageBase, file.data, layout.sizeOfHeaders);
    headers = reinterpret_cast<IMAGE_NT_HEADERS64*> (imageBase + layout.ntHeadersOffset);
    headers->OptionalHeader.ImageBase = addressOf (imageBase);
    return true;
}

bool MemoryDLL::Pimpl::copySections (ByteView file, const ImageLayout& layout)
{
    for (const SectionHeader& section : layout.sections)
    {
        unsigned char* destination = imageBase + section.virtualAddress;
        const std::uint32_t size = section.sizeOfRawData != 0 ? section.sizeOfRawData : layout.sectionAlignment;
        if (! commit (destination, size))
            return false;
        if (section.sizeOfRawData != 0)
            std::memcpy (destination, file.data + section.pointerToRawData, size);
        else
            std::memset (destination, 0, size);
        sections.push_back ({ addressOf (destination), section.sizeOfRawData, section.characteristics });
    }
    return true;
}

bool MemoryDLL::Pimpl::relocate (const ImageLayout& layout)
{
    const auto delta = static_cast<std::int64_t> (addressOf (imageBase) - layout.preferredBase);
    const DataDirectory relocations = layout.directories[relocationDirectory];
    if (delta == 0 || relocations.size == 0)
        return true;
    return applyRelocations ({ imageBase, static_cast<std::size_t> (imageSize) }, relocations, delta);
}

bool MemoryDLL::Pimpl::resolveImports (const ImageLayout& layout)
{
    const DataDirectory directory = layout.directories[importDirectory];
    if (directory.size == 0)
        return false;
    const auto modules = readImports (image(), directory);
    if (! modules)
        return false;
    for (const ImportedModule& imported : *modules)
    {
        HMODULE module = LoadLibraryA (imported.name.c_str());
        if (module == nullptr)
            return false;
        loadedModules.push_back (module);
        for (const ImportedSymbol& symbol : imported.symbols)
        {
            const FARPROC function = symbol.byOrdinal ? GetProcAddress (module, MAKEINTRESOURCEA (symbol.ordinal))
                                                      : GetProcAddress (module, symbol.name.c_str());
            if (function == nullptr)
                return false;
            void* const own = symbol.byOrdinal ? nullptr : moduleIdentityFunction (symbol.name);
            if (own != nullptr)
                std::memcpy (imageBase + symbol.slotOffset, &own, sizeof own);
            else
                std::memcpy (imageBase + symbol.slotOffset, &function, sizeof function);
        }
    }
    return true;
}

bool MemoryDLL::Pimpl::giveThreadLocalStorage (const ImageLayout& layout)
{
    const DataDirectory directory = layout.directories[tlsDirectory];
    if (directory.size == 0)
        return true;
    // The template may hold addresses, so it is read only after relocation.
    const auto tls = readTlsTemplate (image(), directory, addressOf (imageBase));
    holdsThreadLocalStorage = tls && lendThreadLocalStorage (imageBase, *tls);
    return holdsThreadLocalStorage;
}

bool MemoryDLL::Pimpl::loadNameTable (const ImageLayout& layout)
{
    auto table = readExports (image(), layout.directories[exportDirectory]);
    if (! table)
        return false;
    exportTable = std::move (*table);
    return true;
}

bool MemoryDLL::Pimpl::collectTlsCallbacks (const ImageLayout& layout)
{
    auto callbacks = readTlsCallbacks (image(), layout.directories[tlsDirectory], addressOf (imageBase));
    if (! callbacks)
        return false;
    tlsCallbacks = std::move (*callbacks);
    return true;
}

bool MemoryDLL::Pimpl::prepareSections (const ImageLayout& layout)
{
    const ProtectionSettings settings { pageSize,
                                        layout.sectionAlignment,
                                        layout.sizeOfInitializedData,
                                        layout.sizeOfUninitializedData,
                                        addressOf (imageBase),
                                        addressOf (imageBase) + imageSize };
    for (const ProtectionStep& step : planSectionProtection (sections, settings))
    {
        if (! applyStep (step))
            return false;
    }
    return true;
}

bool MemoryDLL::Pimpl::registerExceptionTable (const ImageLayout& layout)
{
    const DataDirectory directory = layout.directories[exceptionDirectory];
    if (directory.size == 0)
        return true;
    const auto count = exceptionTableEntryCount (image(), directory);
    if (! count)
        return false;
    if (*count == 0)
        return true;
    auto* table = reinterpret_cast<RUNTIME_FUNCTION*> (imageBase + directory.virtualAddress);
    if (! RtlAddFunctionTable (table, *count, addressOf (imageBase)))
        return false;
    exceptionTable = table;
    return true;
}

void MemoryDLL::Pimpl::runTlsCallbacks (DWORD reason)
{
    for (std::uint32_t callback : tlsCallbacks)
    {
        const auto function = reinterpret_cast<PIMAGE_TLS_CALLBACK> (imageBase + callback);
        function (imageBase, reason, nullptr);
    }
}

bool MemoryDLL::Pimpl::callEntryPoint (const ImageLayout& layout)
{
    if (layout.entryPoint == 0 || layout.entryPoint >= imageSize)
        return false;
    entryPoint = reinterpret_cast<EntryPoint> (imageBase + layout.entryPoint);
    if (! isDLL)
        return true;
    return entryPoint (reinterpret_cast<HINSTANCE> (imageBase), DLL_PROCESS_ATTACH, nullptr) != FALSE;
}

} // namespace tunewell::memory
