// The extension of the library built natively, for tests of its exports:
// there is no desktop window and no browser here, so showings stay in
// process and their views have no browser.

#include <new>

#include "extension/lib_main.h"

vantor::sdk::VantorAPI* vantor::sdk::CreateVantorExtension (void* hostHandle)
{
    return new (std::nothrow) LibMain (hostHandle);
}
