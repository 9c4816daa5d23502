#include "values/value_view.h"

#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

#include "values/error.h"

namespace tunewell::value
{

namespace
{

[[noreturn]] void fail (const char* message)
{
    throw Error (message);
}

template <typename Target>
Target convertFloat (double number) noexcept
{
    if constexpr (std::is_same_v<Target, double>)
        return number;
    else
    {
        // Casting a float outside the int64 range is undefined, so clamp first.
        constexpr double twoToThe63 = 9223372036854775808.0;

        if (std::isnan (number))
            return 0;

        if (number >= twoToThe63)
            return std::numeric_limits<int64_t>::max();

        if (number <= -twoToThe63)
            return std::numeric_limits<int64_t>::min();

        return static_cast<int64_t> (number);
    }
}

// True when some of the text was read as a number.
template <typename Target>
bool parseNumber (std::string_view text, Target& result)
{
    std::string terminated (text);
    char* end = nullptr;

    if constexpr (std::is_same_v<Target, double>)
        result = std::strtod (terminated.c_str(), &end);
    else
        result = static_cast<int64_t> (std::strtoll (terminated.c_str(), &end, 10));

    return end != terminated.c_str();
}

} // namespace

ValueView::ValueView (Type valueType, void* valueData, StringDictionary* dictionary) noexcept
    : type (std::move (valueType)), data (static_cast<uint8_t*> (valueData)), stringDictionary (dictionary)
{
}

template <typename T>
T ValueView::castToType (const T* defaultValue) const
{
    auto code = type.getCode();

    if (type.isVector() && type.getVector().numElements == 1)
        code = type.getVector().elementCode;

    switch (code)
    {
        case TypeCode::int32:
            return static_cast<T> (readContentAs<int32_t>());
        case TypeCode::int64:
            return static_cast<T> (readContentAs<int64_t>());
        case TypeCode::float32:
            return convertFloat<T> (readContentAs<float>());
        case TypeCode::float64:
            return convertFloat<T> (readContentAs<double>());
        case TypeCode::boolean:
            return readContentAs<bool>() ? T (1) : T (0);

        case TypeCode::string:
        {
            auto text = readString();

            if (text.empty())
                return defaultValue != nullptr ? *defaultValue : T (0);

            T result;

            if (parseNumber (text, result))
                return result;

            break;
        }

        default:
            break;
    }

    if (defaultValue == nullptr)
        fail ("Cannot convert this value to a numeric type");

    return *defaultValue;
}

template int64_t ValueView::castToType<int64_t> (const int64_t*) const;
template double ValueView::castToType<double> (const double*) const;

int64_t ValueView::readInt64() const
{
    if (! type.isInt64())
        fail ("Value is not an int64");

    return readContentAs<int64_t>();
}

std::string_view ValueView::readString() const
{
    if (stringDictionary == nullptr)
        fail ("No string dictionary supplied");

    if (! type.isString())
        fail ("Value is not a string");

    return stringDictionary->getStringForHandle ({ readContentAs<uint32_t>() });
}

ValueView ValueView::operator[] (uint32_t index) const
{
    auto element = type.getElementTypeAndOffset (index);
    return { std::move (element.elementType), data != nullptr ? data + element.offset : nullptr, stringDictionary };
}

ValueView ValueView::operator[] (std::string_view memberName) const
{
    auto index = type.getObjectMemberIndex (memberName);

    if (index < 0)
        return {};

    return operator[] (static_cast<uint32_t> (index));
}

MemberNameAndValue ValueView::memberAt (uint32_t index) const
{
    auto& member = type.getObjectMember (index);
    return { member.name.c_str(), operator[] (index) };
}

void ValueView::updateStringHandles (StringDictionary& oldDictionary, StringDictionary& newDictionary)
{
    if (data != nullptr)
        reinternStringHandles (type, data, oldDictionary, newDictionary);
}

void reinternStringHandles (const Type& type, uint8_t* data, const StringDictionary& from, StringDictionary& to)
{
    type.visitStringHandles (0, [&] (uint64_t offset) {
        StringDictionary::Handle handle;
        std::memcpy (&handle.handle, data + offset, sizeof (handle.handle));
        handle = to.getHandleForString (from.getStringForHandle (handle));
        std::memcpy (data + offset, &handle.handle, sizeof (handle.handle));
    });
}

} // namespace tunewell::value
