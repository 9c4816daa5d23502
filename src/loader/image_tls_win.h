#pragma once

#include "loader/pe_image.h"

namespace tunewell::memory
{

// Gives a mapped image thread-local storage of its own on the calling thread:
// writes the image's TLS index and fills the block it selects from the
// image's template. False, with nothing written, when the template does not
// fit the room this module keeps for it, or when the room already serves an
// image with a different template or another thread. Call after relocation
// and before any code of the image runs; each success needs one
// returnThreadLocalStorage, on the same thread, after the image's last code ran.
bool lendThreadLocalStorage (unsigned char* imageBase, const TlsTemplate& tls);
void returnThreadLocalStorage();

// The calling thread's TLS vector (the TEB's ThreadLocalStoragePointer): entry
// i is the block of the module whose TLS index is i.
unsigned char* const* threadLocalVector();

} // namespace tunewell::memory
