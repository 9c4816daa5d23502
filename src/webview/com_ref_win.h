#pragma once

#include <windows.h>

#include <objbase.h>

#include <string>
#include <utility>

namespace tunewell::ui
{

/// Owns one counted reference to a COM object, so that every exit path of a
/// browser callback releases what it obtained; the stand-in runtime holds its
/// objects with it too. Single-thread use only.
template <typename Interface>
class ComRef
{
public:
    ComRef() = default;
    ~ComRef() { reset(); }

    /// A copy holds a reference of its own.
    ComRef (const ComRef& other) : ComRef (share (other.object)) {}

    ComRef& operator= (const ComRef& other)
    {
        if (this != &other)
            *this = share (other.object);
        return *this;
    }

    ComRef (ComRef&& other) noexcept : object (std::exchange (other.object, nullptr)) {}

    ComRef& operator= (ComRef&& other) noexcept
    {
        if (this != &other)
        {
            reset();
            object = std::exchange (other.object, nullptr);
        }
        return *this;
    }

    /// Takes a new reference to an object that the caller only lends.
    static ComRef share (Interface* lent)
    {
        if (lent != nullptr)
            lent->AddRef();

        ComRef ref;
        ref.object = lent;
        return ref;
    }

    /// Takes over a reference that the caller already holds.
    static ComRef adopt (Interface* owned)
    {
        ComRef ref;
        ref.object = owned;
        return ref;
    }

    /// Hands a new reference to an out-parameter, for an object that answers
    /// with what it holds.
    void copyTo (Interface** out) const
    {
        if (object != nullptr)
            object->AddRef();

        *out = object;
    }

    /// For out-parameters that hand over a reference: releases the current
    /// object first, so a reused holder never leaks.
    Interface** receive()
    {
        reset();
        return &object;
    }

    void reset()
    {
        if (auto* old = std::exchange (object, nullptr))
            old->Release();
    }

    Interface* get() const { return object; }
    Interface* operator->() const { return object; }
    explicit operator bool() const { return object != nullptr; }

private:
    Interface* object = nullptr;
};

/// Owns a text that the browser allocated with CoTaskMemAlloc.
class CoTaskText
{
public:
    CoTaskText() = default;
    ~CoTaskText() { CoTaskMemFree (text); }

    CoTaskText (const CoTaskText&) = delete;
    CoTaskText& operator= (const CoTaskText&) = delete;

    LPWSTR* receive()
    {
        CoTaskMemFree (std::exchange (text, nullptr));
        return &text;
    }

    const wchar_t* get() const { return text; }

    /// The text as a string; a null text gives an empty one.
    std::wstring toWide() const { return text != nullptr ? std::wstring (text) : std::wstring(); }

private:
    LPWSTR text = nullptr;
};

} // namespace tunewell::ui
