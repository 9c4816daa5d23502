#include "loader/image_tls_win.h"

#include <windows.h>

#include <intrin.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <optional>
#include <vector>

// A mapped image reads its thread-local data the way the compiler wrote it:
// the thread's TLS vector (gs:[0x58] in the TEB, the field every MSVC-built
// thread_local access reads, so it cannot move), entry number _tls_index,
// plus the data's offset from the start of the image's template. Windows
// fills in that index and allocates a block per thread only for modules it
// loaded itself, and offers no documented way to add a slot for anything else.
//
// This module, which Windows did load, has such a slot. Its TLS template
// begins with the C runtime's start marker (a byte or pointer whose address
// marks the template's start and whose per-thread copy nothing reads) and then
// the room below, which nothing else in this module touches. The image gets
// this module's index, and the first bytes of this module's block on the
// mapping thread get the image's template and zero fill, so the image's
// offsets land inside the marker and the room. What this relies on:
//   - gs:[0x58] holds the TLS vector and entry [index] this module's block on
//     the calling thread (the compiler ABI above);
//   - Windows fills in the index and blocks for a module loaded after the
//     process started, as it has since Vista, on every thread;
//   - the linker keeps ".tls$" parts in name order after the runtime's ".tls"
//     marker, which is checked here at run time: a room that is not where the
//     image's data would land, or that follows anything but the marker's
//     zeros, lends nothing (an MSVC runtime that puts its own thread-local
//     data first, as vcruntime's thread-safe statics do, is refused this way);
//   - the image's code runs only on the thread that mapped it, which is how
//     this system uses it; blocks of other threads keep this module's template.
// One room serves one template at a time: a second image shares it only when
// its template is the same (another copy of the same image, as Windows would
// have given the same module), on the same thread.

namespace tunewell::memory
{
namespace
{

constexpr std::size_t roomSize = 496;
// The largest start marker a C runtime puts before the room, with padding.
constexpr std::uintptr_t startMarkerAllowance = 16;

#if defined(_MSC_VER)
#pragma section(".tls$AAB", read, write)
#pragma comment(linker, "/include:_tls_used")
__declspec(allocate (".tls$AAB")) __declspec(align (16)) unsigned char threadLocalRoom[roomSize];
#else
__attribute__ ((section (".tls$AAB"), aligned (16), used)) unsigned char threadLocalRoom[roomSize];
#endif

struct OwnBlock
{
    const unsigned char* templateStart = nullptr;
    const std::uint32_t* index = nullptr;
    std::size_t capacity = 0;
};

std::optional<OwnBlock> findOwnBlock()
{
    HMODULE module = nullptr;
    if (! GetModuleHandleExW (GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                              reinterpret_cast<LPCWSTR> (threadLocalRoom), &module))
        return std::nullopt;
    const auto* base = reinterpret_cast<const unsigned char*> (module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*> (base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS64*> (base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_TLS];
    if (directory.Size == 0)
        return std::nullopt;
    const auto tls = readTlsTemplate ({ base, nt->OptionalHeader.SizeOfImage },
                                      { directory.VirtualAddress, directory.Size },
                                      reinterpret_cast<std::uintptr_t> (base));
    if (! tls || tls->indexOffset == 0)
        return std::nullopt;
    const unsigned char* start = base + tls->start;
    const unsigned char* roomEnd = threadLocalRoom + roomSize;
    if (threadLocalRoom < start || threadLocalRoom > start + startMarkerAllowance || roomEnd > start + tls->rawSize)
        return std::nullopt;
    // Anything before the room but the marker's zeros would be thread-local
    // data of this module's own, which the image would overwrite.
    if (std::any_of (start, static_cast<const unsigned char*> (threadLocalRoom),
                     [] (unsigned char byte) { return byte != 0; }))
        return std::nullopt;
    return OwnBlock { start, reinterpret_cast<const std::uint32_t*> (base + tls->indexOffset),
                      static_cast<std::size_t> (roomEnd - start) };
}

const std::optional<OwnBlock>& ownBlock()
{
    static const std::optional<OwnBlock> block = findOwnBlock();
    return block;
}

unsigned char* ownBlockOnThisThread (const OwnBlock& block)
{
    return threadLocalVector()[*block.index];
}

struct Room
{
    std::mutex lock;
    std::vector<unsigned char> lentTemplate;
    std::size_t borrowers = 0;
    DWORD thread = 0;
};

Room& room()
{
    static Room theRoom;
    return theRoom;
}

} // namespace

unsigned char* const* threadLocalVector()
{
#if defined(_MSC_VER)
    return reinterpret_cast<unsigned char* const*> (__readgsqword (0x58));
#else
    // MinGW's __readgsqword dereferences the offset as an address, which GCC's
    // optimiser reports as an out-of-bounds read (an error with -Werror).
    unsigned char* const* vector;
    __asm__("movq %%gs:0x58, %0" : "=r"(vector));
    return vector;
#endif
}

bool lendThreadLocalStorage (unsigned char* imageBase, const TlsTemplate& tls)
{
    const auto& block = ownBlock();
    if (! block || tls.blockSize() > block->capacity)
        return false;
    std::vector<unsigned char> data (imageBase + tls.start, imageBase + tls.start + tls.rawSize);
    data.resize (static_cast<std::size_t> (tls.blockSize()), 0);
    Room& shared = room();
    const std::lock_guard<std::mutex> guard (shared.lock);
    if (shared.borrowers > 0 && (shared.lentTemplate != data || shared.thread != GetCurrentThreadId()))
        return false;
    if (shared.borrowers == 0)
    {
        std::memcpy (ownBlockOnThisThread (*block), data.data(), data.size());
        shared.lentTemplate = std::move (data);
        shared.thread = GetCurrentThreadId();
    }
    ++shared.borrowers;
    if (tls.indexOffset != 0)
        std::memcpy (imageBase + tls.indexOffset, block->index, sizeof *block->index);
    return true;
}

void returnThreadLocalStorage()
{
    Room& shared = room();
    const std::lock_guard<std::mutex> guard (shared.lock);
    if (shared.borrowers == 0 || --shared.borrowers > 0)
        return;
    // Back to this module's own template, as if no image had been there.
    if (shared.thread == GetCurrentThreadId())
        std::memcpy (ownBlockOnThisThread (*ownBlock()), ownBlock()->templateStart, shared.lentTemplate.size());
    shared.lentTemplate.clear();
}

} // namespace tunewell::memory
