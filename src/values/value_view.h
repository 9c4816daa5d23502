#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>
#include <type_traits>

#include "values/string_dictionary.h"
#include "values/type.h"

namespace tunewell::value
{

struct MemberNameAndValue;

/// A typed look at packed data that someone else owns: valid while that data
/// stays where it is. The view keeps its own copy of the type. Strings are
/// read through the dictionary, which may be null.
class ValueView
{
public:
    ValueView() noexcept = default;
    ValueView (Type valueType, void* valueData, StringDictionary* dictionary) noexcept;

    const Type& getType() const noexcept { return type; }
    TypeCode getTypeCode() const noexcept { return type.getCode(); }
    uint8_t* getRawData() const noexcept { return data; }
    StringDictionary* getDictionary() const noexcept { return stringDictionary; }

    bool isVoid() const noexcept { return type.isVoid(); }
    bool isInt32() const noexcept { return type.isInt32(); }
    bool isInt64() const noexcept { return type.isInt64(); }
    bool isInt() const noexcept { return type.isInt(); }
    bool isFloat32() const noexcept { return type.isFloat32(); }
    bool isFloat64() const noexcept { return type.isFloat64(); }
    bool isFloat() const noexcept { return type.isFloat(); }
    bool isBool() const noexcept { return type.isBool(); }
    bool isString() const noexcept { return type.isString(); }
    bool isVector() const noexcept { return type.isVector(); }
    bool isPrimitiveArray() const noexcept { return type.isPrimitiveArray(); }
    bool isObject() const noexcept { return type.isObject(); }
    bool isComplexArray() const noexcept { return type.isComplexArray(); }
    bool isArray() const noexcept { return type.isArray(); }
    bool isArrayOrVector() const noexcept { return type.isArrayOrVector(); }
    bool isPrimitive() const noexcept { return type.isPrimitive(); }

    /// The raw bytes at data read as T, whatever the type says; T is one of
    /// int32_t, uint32_t, int64_t, float, double or bool (a non-zero 32-bit
    /// word). A view without data reads as zero.
    template <typename T>
    T readContentAs() const noexcept
    {
        if constexpr (std::is_same_v<T, bool>)
            return readContentAs<uint32_t>() != 0;
        else
        {
            static_assert (std::is_arithmetic_v<T>, "readContentAs reads numbers only");
            T result {};

            // Packed data has no alignment, so every read is a byte copy.
            if (data != nullptr)
                std::memcpy (&result, data, sizeof (T));

            return result;
        }
    }

    /// The value as int64_t or double: numbers convert (floats truncate toward
    /// zero and saturate at the int64 limits, NaN gives 0), booleans give 1 or
    /// 0 and strings are parsed. defaultValue, when not null, answers for
    /// what cannot be converted; without it that throws.
    template <typename T>
    T castToType (const T* defaultValue) const;

    template <typename T>
    T get() const
    {
        return castToType<T> (nullptr);
    }

    template <typename T>
    T getWithDefault (T defaultValue) const
    {
        return castToType<T> (&defaultValue);
    }

    int64_t readInt64() const;
    /// The text stays valid as long as the dictionary does.
    std::string_view readString() const;

    /// The element count of an array, vector or object; see Type::getNumElements.
    uint32_t size() const { return type.getNumElements(); }

    ValueView operator[] (uint32_t index) const;
    /// A missing member gives a void view without data or dictionary.
    ValueView operator[] (std::string_view memberName) const;
    MemberNameAndValue memberAt (uint32_t index) const;

    /// Moves every string handle in the data from one dictionary to another.
    void updateStringHandles (StringDictionary& oldDictionary, StringDictionary& newDictionary);

    Type type;
    uint8_t* data = nullptr;
    StringDictionary* stringDictionary = nullptr;
};

/// Rewrites each string handle that `type` lays out in `data` from a handle
/// of `from` to the handle of the same text in `to`, interning it there.
void reinternStringHandles (const Type& type, uint8_t* data, const StringDictionary& from, StringDictionary& to);

struct MemberNameAndValue
{
    /// Borrowed from the object's type; never null.
    const char* name;
    ValueView value;
};

} // namespace tunewell::value
