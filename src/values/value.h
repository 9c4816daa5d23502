#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "values/error.h"
#include "values/string_dictionary.h"
#include "values/type.h"
#include "values/value_view.h"

namespace tunewell::value
{

/// A typed value that owns its packed data, its string dictionary and its
/// type. It grows only at the end, so views into it last until it next grows.
class Value
{
public:
    Value() noexcept;
    explicit Value (Type&& valueType);
    /// Takes over data already packed for valueType together with the
    /// dictionary that its string handles refer to, sparing a parser that
    /// built both a copy of each. Data of any other size than the type's is
    /// replaced by zeroed data of the right size.
    Value (Type&& valueType, std::vector<uint8_t>&& data, SimpleStringDictionary&& strings);
    Value (int64_t number);
    Value (int number) : Value (static_cast<int64_t> (number)) {}
    Value (double number);
    Value (std::string_view text);
    Value (const char* text) : Value (std::string_view (text != nullptr ? text : "")) {}
    Value (bool) = delete; // use makeBool, so that a bool never turns into an int64

    Value (const Value& other);
    Value (Value&& other) noexcept;
    Value& operator= (const Value& other);
    Value& operator= (Value&& other) noexcept;
    ~Value() = default;

    static Value makeBool (bool b);
    static Value makeEmptyArray();
    static Value makeObject (std::string_view className);

    /// Both take their argument's data and type; a failure leaves this value
    /// as it was.
    void addArrayElement (Value element);
    void addMember (std::string_view name, Value member);

    const ValueView& getView() const noexcept { return view; }
    operator const ValueView&() const noexcept { return view; }
    const Type& getType() const noexcept { return view.type; }
    const std::vector<uint8_t>& getRawData() const noexcept { return packedData; }
    const SimpleStringDictionary& getDictionary() const noexcept { return dictionary; }

    ValueView operator[] (uint32_t index) const { return view[index]; }
    ValueView operator[] (std::string_view memberName) const { return view[memberName]; }

private:
    void repointView() noexcept;
    /// Appends another value's data, moving its strings into this dictionary;
    /// the type is the caller's to extend.
    void appendValue (const ValueView& source);

    std::vector<uint8_t> packedData;
    SimpleStringDictionary dictionary;
    ValueView view;
};

} // namespace tunewell::value
