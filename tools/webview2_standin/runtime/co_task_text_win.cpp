#include "co_task_text_win.h"

#include <objbase.h>

#include <cstring>

namespace tunewell::standin
{

HRESULT returnText (const std::wstring& text, LPWSTR* out)
{
    if (out == nullptr)
        return E_POINTER;

    auto bytes = (text.size() + 1) * sizeof (wchar_t);
    auto* copy = static_cast<LPWSTR> (CoTaskMemAlloc (bytes));
    *out = copy;
    if (copy == nullptr)
        return E_OUTOFMEMORY;

    std::memcpy (copy, text.c_str(), bytes);
    return S_OK;
}

} // namespace tunewell::standin
