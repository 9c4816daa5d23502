#include "loader/module_identity_win.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

namespace tunewell::memory
{
namespace
{

struct MappedImage
{
    std::uintptr_t base;
    std::uint64_t size;
};

struct MappedImages
{
    std::mutex lock;
    std::vector<MappedImage> images;
};

MappedImages& mappedImages()
{
    static MappedImages theImages;
    return theImages;
}

// Base of the mapped image that holds the address, or 0.
std::uintptr_t mappedImageHolding (const void* address)
{
    const auto at = reinterpret_cast<std::uintptr_t> (address);
    MappedImages& mapped = mappedImages();
    const std::lock_guard<std::mutex> guard (mapped.lock);
    for (const MappedImage& image : mapped.images)
    {
        if (at >= image.base && at - image.base < image.size)
            return image.base;
    }
    return 0;
}

bool isMappedImageBase (HMODULE module)
{
    const std::uintptr_t base = mappedImageHolding (module);
    return base != 0 && base == reinterpret_cast<std::uintptr_t> (module);
}

// The module that carries this loader, and so the mapped images.
HMODULE carryingModule()
{
    HMODULE module = nullptr;
    GetModuleHandleExW (GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                        reinterpret_cast<LPCWSTR> (&carryingModule), &module);
    return module;
}

PVOID NTAPI pcToFileHeader (PVOID pc, PVOID* base)
{
    if (const std::uintptr_t image = mappedImageHolding (pc))
    {
        *base = reinterpret_cast<PVOID> (image);
        return *base;
    }
    return RtlPcToFileHeader (pc, base);
}

// A mapped image is not counted by the system, so the forms that would add to
// a module's count add nothing, and freeing one frees nothing.
BOOL WINAPI moduleHandleEx (DWORD flags, LPCWSTR name, HMODULE* module)
{
    if ((flags & GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS) != 0 && module != nullptr)
    {
        if (const std::uintptr_t image = mappedImageHolding (name))
        {
            *module = reinterpret_cast<HMODULE> (image);
            return TRUE;
        }
    }
    return GetModuleHandleExW (flags, name, module);
}

DWORD WINAPI moduleFileName (HMODULE module, LPWSTR name, DWORD size)
{
    return GetModuleFileNameW (module != nullptr && isMappedImageBase (module) ? carryingModule() : module, name, size);
}

BOOL WINAPI freeLibrary (HMODULE module)
{
    return isMappedImageBase (module) ? TRUE : FreeLibrary (module);
}

// An MSVC C++ throw names its type information by addresses relative to the
// base of the image that holds it, passed as the exception's fourth
// parameter. A C++ runtime DLL (msvcrt, vcruntime) finds that base with a
// system call of its own, which knows nothing of mapped images, so a mapped
// image's throws through such a DLL raise the same exception here instead.
void WINAPI throwCxxException (void* object, void* throwInfo)
{
    constexpr DWORD cxxExceptionCode = 0xE06D7363;
    constexpr ULONG_PTR cxxMagic = 0x19930520;
    constexpr ULONG_PTR pureMagic = 0x01994000;
    constexpr std::uint32_t throwsPure = 0x8; // in the throw information's first field
    std::uint32_t attributes = 0;
    if (throwInfo != nullptr)
        std::memcpy (&attributes, throwInfo, sizeof attributes);
    ULONG_PTR arguments[4] = { (attributes & throwsPure) != 0 ? pureMagic : cxxMagic,
                               reinterpret_cast<ULONG_PTR> (object), reinterpret_cast<ULONG_PTR> (throwInfo), 0 };
    pcToFileHeader (throwInfo, reinterpret_cast<PVOID*> (&arguments[3]));
    RaiseException (cxxExceptionCode, EXCEPTION_NONCONTINUABLE, 4, arguments);
}

struct Replacement
{
    const char* importName;
    void* function;
};

const Replacement replacements[] = {
    { "RtlPcToFileHeader", reinterpret_cast<void*> (&pcToFileHeader) },
    { "GetModuleHandleExW", reinterpret_cast<void*> (&moduleHandleEx) },
    { "GetModuleFileNameW", reinterpret_cast<void*> (&moduleFileName) },
    { "FreeLibrary", reinterpret_cast<void*> (&freeLibrary) },
    { "_CxxThrowException", reinterpret_cast<void*> (&throwCxxException) },
};

} // namespace

void addMappedImage (const unsigned char* base, std::uint64_t size)
{
    MappedImages& mapped = mappedImages();
    const std::lock_guard<std::mutex> guard (mapped.lock);
    mapped.images.push_back ({ reinterpret_cast<std::uintptr_t> (base), size });
}

void removeMappedImage (const unsigned char* base)
{
    MappedImages& mapped = mappedImages();
    const std::lock_guard<std::mutex> guard (mapped.lock);
    const auto at = reinterpret_cast<std::uintptr_t> (base);
    mapped.images.erase (std::remove_if (mapped.images.begin(), mapped.images.end(),
                                         [at] (const MappedImage& image) { return image.base == at; }),
                         mapped.images.end());
}

void* moduleIdentityFunction (const std::string& importName)
{
    for (const Replacement& replacement : replacements)
    {
        if (importName == replacement.importName)
            return replacement.function;
    }
    return nullptr;
}

} // namespace tunewell::memory
