#pragma once

#include <windows.h>

#include <atomic>
#include <new>

#include "control_link_win.h"

namespace tunewell::standin
{

/// Reference counting and QueryInterface for an object of the runtime that
/// implements one interface; it deletes itself at the last Release. An
/// interface versioned by inheritance (ICoreWebView2Controller4 derives from
/// 3, 2 and 1) also answers for each earlier version named, at one address.
template <typename Interface, const IID& interfaceId, const IID&... earlierIds>
class ComObject : public Interface
{
public:
    ComObject() = default;
    ComObject (const ComObject&) = delete;
    ComObject& operator= (const ComObject&) = delete;
    virtual ~ComObject() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface (REFIID iid, void** object) override
    {
        if (object == nullptr)
            return E_POINTER;

        if (IsEqualIID (iid, IID_IUnknown) || IsEqualIID (iid, interfaceId) || (IsEqualIID (iid, earlierIds) || ...))
        {
            this->AddRef();
            *object = static_cast<Interface*> (this);
            return S_OK;
        }

        *object = nullptr;
        return E_NOINTERFACE;
    }

    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }

    ULONG STDMETHODCALLTYPE Release() override
    {
        auto remaining = --references;
        if (remaining == 0)
            delete this;

        return remaining;
    }

private:
    std::atomic<ULONG> references { 1 };
    LiveObject counted;
};

/// Runs one method body, turning an exception into the failure a COM caller
/// expects, since nothing may unwind into the caller.
template <typename Body>
HRESULT guarded (Body&& body) noexcept
{
    try
    {
        return body();
    }
    catch (const std::bad_alloc&)
    {
        return E_OUTOFMEMORY;
    }
    catch (...)
    {
        return E_FAIL;
    }
}

} // namespace tunewell::standin
