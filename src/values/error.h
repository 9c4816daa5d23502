#pragma once

#include <exception>

namespace tunewell::value
{

/// Thrown by the value code; the description is one of a fixed set of static
/// texts and is never copied.
class Error : public std::exception
{
public:
    explicit Error (const char* text) noexcept : description (text) {}

    const char* what() const noexcept override { return description; }

    const char* description;
};

} // namespace tunewell::value
