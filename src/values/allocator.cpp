#include "values/allocator.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace tunewell::value::heap
{

void* allocate (Allocator* allocator, std::size_t size)
{
    auto block = allocator != nullptr ? allocator->allocate (size) : std::malloc (size);

    if (block == nullptr)
        throw std::bad_alloc();

    return block;
}

void* resize (Allocator* allocator, void* block, std::size_t oldSize, std::size_t newSize)
{
    if (allocator == nullptr)
    {
        auto resized = std::realloc (block, newSize);

        if (resized == nullptr)
            throw std::bad_alloc();

        return resized;
    }

    if (block == nullptr)
        return allocate (allocator, newSize);

    if (auto resized = allocator->tryResize (block, newSize))
        return resized;

    auto moved = allocate (allocator, newSize);
    std::memcpy (moved, block, oldSize);
    allocator->free (block);
    return moved;
}

void free (Allocator* allocator, void* block) noexcept
{
    if (block == nullptr)
        return;

    if (allocator != nullptr)
        allocator->free (block);
    else
        std::free (block);
}

} // namespace tunewell::value::heap
