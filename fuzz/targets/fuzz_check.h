#pragma once

#include <algorithm>
#include <cstddef>
#include <string>

namespace tunewell::fuzzing
{

/// Reports a broken promise and aborts, which both libFuzzer and the test
/// runner see as a failure of the current input.
[[noreturn]] void failFuzzCheck (const char* target, const std::string& what);

inline void fuzzCheck (bool holds, const char* target, const std::string& what)
{
    if (! holds)
        failFuzzCheck (target, what);
}

/// Reads the input front to back; past its end every read gives zero, so a
/// target never needs to test what is left.
class FuzzInput
{
public:
    FuzzInput (const unsigned char* data, std::size_t size) : next (data), end (data + size) {}

    bool empty() const { return next == end; }
    std::size_t remaining() const { return static_cast<std::size_t> (end - next); }

    unsigned char byte() { return next != end ? *next++ : 0; }

    template <typename Integer>
    Integer integer()
    {
        unsigned long long bits = 0;

        for (std::size_t i = 0; i < sizeof (Integer); ++i)
            bits |= static_cast<unsigned long long> (byte()) << (8 * i);

        return static_cast<Integer> (bits);
    }

    /// Up to maximumLength bytes, the length itself taken from the input.
    std::string text (std::size_t maximumLength)
    {
        // The length byte is taken first, in a statement of its own: as two
        // arguments of one call, the order of byte() and remaining() would be
        // the compiler's choice, and the text could run one byte past the end.
        const auto wanted = static_cast<std::size_t> (byte()) % (maximumLength + 1);
        const auto length = std::min (wanted, remaining());
        std::string result (reinterpret_cast<const char*> (next), length);
        next += length;
        return result;
    }

    std::string rest()
    {
        std::string result (reinterpret_cast<const char*> (next), remaining());
        next = end;
        return result;
    }

private:
    const unsigned char* next;
    const unsigned char* end;
};

} // namespace tunewell::fuzzing
