#pragma once

#include <windows.h>

#include <utility>

namespace tunewell::standin
{

/// One counted reference to a COM object. Single-thread use.
template <typename Interface>
class Ref
{
public:
    Ref() = default;
    ~Ref() { reset(); }

    /// Takes a reference of its own to an object that the caller lends.
    static Ref share (Interface* lent)
    {
        if (lent != nullptr)
            lent->AddRef();

        return Ref (lent);
    }

    /// Takes over a reference that the caller already holds.
    static Ref adopt (Interface* owned) { return Ref (owned); }

    Ref (const Ref& other) : Ref (share (other.object)) {}
    Ref (Ref&& other) noexcept : object (std::exchange (other.object, nullptr)) {}

    Ref& operator= (Ref other) noexcept
    {
        std::swap (object, other.object);
        return *this;
    }

    void reset()
    {
        if (auto* old = std::exchange (object, nullptr))
            old->Release();
    }

    /// Hands a new reference to an out-parameter.
    void copyTo (Interface** out) const
    {
        if (object != nullptr)
            object->AddRef();

        *out = object;
    }

    Interface* get() const { return object; }
    Interface* operator->() const { return object; }
    explicit operator bool() const { return object != nullptr; }

private:
    explicit Ref (Interface* owned) : object (owned) {}

    Interface* object = nullptr;
};

} // namespace tunewell::standin
