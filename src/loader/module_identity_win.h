#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace tunewell::memory
{

// Mapped images answer for themselves when code asks which module an address
// belongs to. The system knows only modules it loaded, so these imports of a
// mapped image are bound to functions of this module that know the mapped
// images and pass every other question on to the system. Any thread.
void addMappedImage (const unsigned char* base, std::uint64_t size);
void removeMappedImage (const unsigned char* base);

// The function to bind to an import of this name instead of the system's
// one, or null when the system's own answer is right.
void* moduleIdentityFunction (const std::string& importName);

} // namespace tunewell::memory
