#pragma once

#include <cstddef>

namespace tunewell::value
{

/// Memory for type records, their vectors and their names, for types built in
/// caller-supplied memory. A null Allocator pointer means the standard heap.
class Allocator
{
public:
    virtual ~Allocator() = default;

    virtual void* allocate (std::size_t size) = 0;
    /// The same or a moved block of the new size, or null when it cannot resize.
    virtual void* tryResize (void* block, std::size_t newSize) = 0;
    virtual void free (void* block) = 0;
};

namespace heap
{
/// These throw std::bad_alloc rather than return null.
void* allocate (Allocator* allocator, std::size_t size);
void* resize (Allocator* allocator, void* block, std::size_t oldSize, std::size_t newSize);
void free (Allocator* allocator, void* block) noexcept;
} // namespace heap

} // namespace tunewell::value
