#pragma once

#include <cstdint>
#include <functional>

namespace tunewell::messageloop
{

using Callback = std::function<void()>;

/// A callback travels as a posted window message: this message number
/// (WM_APP), this tag in wParam, and in lParam the address of a heap-allocated
/// Callback whose ownership passes to the receiver.
constexpr std::uint32_t callbackMessageNumber = 0x8000;
constexpr std::uint64_t callbackMessageTag = 0x6D51A7C3;

/// Moves a callback to the heap and returns the address to post as lParam.
/// The receiver (runCallbackMessage) or, if posting fails, the sender
/// (discardPackedCallback) frees it.
std::intptr_t packCallback (Callback callback);

/// Frees a packed callback without running it. Zero is ignored.
void discardPackedCallback (std::intptr_t packed) noexcept;

/// If the message is a callback message, takes ownership of the callback,
/// runs it once and frees it, and returns true; other messages are left
/// untouched and give false, as does a callback message without an address.
/// Whatever the callback throws is passed on after it has been freed; an
/// empty callback throws std::bad_function_call.
bool runCallbackMessage (std::uint32_t message, std::uint64_t wParam, std::intptr_t lParam);

} // namespace tunewell::messageloop
