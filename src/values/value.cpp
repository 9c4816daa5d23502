#include "values/value.h"

#include <cstring>
#include <functional>

namespace tunewell::value
{

namespace
{

template <typename Scalar>
std::vector<uint8_t> packScalar (Scalar scalar)
{
    std::vector<uint8_t> bytes (sizeof (Scalar));
    std::memcpy (bytes.data(), &scalar, sizeof (Scalar));
    return bytes;
}

} // namespace

Value::Value() noexcept
{
    repointView();
}

Value::Value (Type&& valueType) : packedData (static_cast<std::size_t> (valueType.getValueDataSize()))
{
    view.type = std::move (valueType);
    repointView();
}

Value::Value (Type&& valueType, std::vector<uint8_t>&& data, SimpleStringDictionary&& strings)
    : packedData (std::move (data)), dictionary (std::move (strings))
{
    auto size = static_cast<std::size_t> (valueType.getValueDataSize());

    if (packedData.size() != size)
        packedData.assign (size, 0);

    view.type = std::move (valueType);
    repointView();
}

Value::Value (int64_t number) : packedData (packScalar (number))
{
    view.type = Type (TypeCode::int64);
    repointView();
}

Value::Value (double number) : packedData (packScalar (number))
{
    view.type = Type (TypeCode::float64);
    repointView();
}

Value::Value (std::string_view text)
{
    // The dictionary is built after packedData, so the handle is packed here.
    packedData = packScalar (dictionary.getHandleForString (text).handle);
    view.type = Type (TypeCode::string);
    repointView();
}

Value::Value (const Value& other) : packedData (other.packedData), dictionary (other.dictionary)
{
    view.type = other.view.type;
    repointView();
}

Value::Value (Value&& other) noexcept
    : packedData (std::move (other.packedData)), dictionary (std::move (other.dictionary))
{
    view.type = std::move (other.view.type);
    repointView();
    other.packedData.clear();
    other.dictionary.clear();
    other.repointView();
}

Value& Value::operator= (const Value& other)
{
    if (this != &other)
        *this = Value (other);

    return *this;
}

Value& Value::operator= (Value&& other) noexcept
{
    if (this != &other)
    {
        packedData = std::move (other.packedData);
        dictionary = std::move (other.dictionary);
        view.type = std::move (other.view.type);
        repointView();
        other.packedData.clear();
        other.dictionary.clear();
        other.repointView();
    }

    return *this;
}

Value Value::makeBool (bool b)
{
    Value result { Type (TypeCode::boolean) };
    uint32_t word = b ? 1 : 0;
    std::memcpy (result.packedData.data(), &word, sizeof (word));
    return result;
}

Value Value::makeEmptyArray()
{
    return Value (Type::createEmptyArray());
}

Value Value::makeObject (std::string_view className)
{
    return Value (Type::createObject (className));
}

void Value::repointView() noexcept
{
    view.data = packedData.empty() ? nullptr : packedData.data();
    view.stringDictionary = &dictionary;
}

//==============================================================================
void Value::appendValue (const ValueView& source)
{
    // The source is always another value, taken by value, so its bytes never
    // lie in this one's.
    auto size = static_cast<std::size_t> (source.type.getValueDataSize());
    auto oldSize = packedData.size();
    const uint8_t* from = source.data;

    if (from == nullptr)
        packedData.resize (oldSize + size);
    else
        packedData.insert (packedData.end(), from, from + size);

    repointView();

    if (source.stringDictionary == nullptr || source.stringDictionary == &dictionary || ! source.type.usesStrings())
        return;

    try
    {
        reinternStringHandles (source.type, packedData.data() + oldSize, *source.stringDictionary, dictionary);
    }
    catch (...)
    {
        packedData.resize (oldSize);
        repointView();
        throw;
    }
}

void Value::addArrayElement (Value element)
{
    if (! view.type.isArray())
        throw Error ("Cannot add new elements to this type");

    auto oldSize = packedData.size();
    appendValue (element.view);

    try
    {
        view.type.addArrayElements (std::move (element.view.type), 1);
    }
    catch (...)
    {
        packedData.resize (oldSize);
        repointView();
        throw;
    }
}

void Value::addMember (std::string_view name, Value member)
{
    if (view.type.getObjectMemberIndex (name) >= 0)
        throw Error ("This object already contains a member with the given name");

    auto oldSize = packedData.size();
    appendValue (member.view);

    try
    {
        view.type.addObjectMember (name, std::move (member.view.type));
    }
    catch (...)
    {
        packedData.resize (oldSize);
        repointView();
        throw;
    }
}

} // namespace tunewell::value
