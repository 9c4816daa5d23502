#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "values/value.h"

using namespace tunewell::value;

namespace
{

std::string errorFrom (const std::function<void()>& action)
{
    try
    {
        action();
    }
    catch (const Error& e)
    {
        return e.what();
    }

    return "(no error)";
}

} // namespace

TEST (ValueErrors, EachFailureCarriesItsFixedMessage)
{
    auto object = Value::makeObject ({});
    object.addMember ("a", Value (int64_t (1)));
    const Type unknown (static_cast<TypeCode> (0x22));

    struct Case
    {
        const char* expected;
        std::function<void()> action;
    };

    std::vector<Case> cases = {
        { "Index out of range", [&] { object.getView().memberAt (1); } },
        { "Index out of range", [&] { Type::createArray (TypeCode::int32, 2).getElementTypeAndOffset (2); } },
        { "Index out of range", [&] { Type::createArray (TypeCode::string, 2).getElementTypeAndOffset (2); } },
        { "Too many vector elements", [&] { Type::createVector (TypeCode::int32, 257); } },
        { "This type doesn't have sub-elements", [&] { Type().getNumElements(); } },
        { "This type doesn't have sub-elements", [&] { unknown.getNumElements(); } },
        { "This type is not an object", [&] { Type (TypeCode::int32).getObjectMemberIndex ("a"); } },
        { "This type is not an object", [&] { Value (1.0).getView().memberAt (0); } },
        { "This type is not an object", [&] { Value (1.0).getView()["a"]; } },
        { "Too many array elements", [&] { Type::createArray (TypeCode::int32, 1u << 20); } },
        { "Cannot add new elements to this type", [&] { object.addArrayElement (Value (1.0)); } },
        { "Cannot add new elements to this type",
          [&] { Type (TypeCode::string).addArrayElements (TypeCode::int32, 1); } },
        { "This object already contains a member with the given name", [&] { object.addMember ("a", Value (2.0)); } },
        { "Invalid type", [&] { unknown.getValueDataSize(); } },
        { "Invalid type", [&] { Type (TypeCode::int64).getElementTypeAndOffset (0); } },
        { "Value is not an int64", [&] { Value (1.0).getView().readInt64(); } },
        { "Value is not a string", [&] { Value (int64_t (1)).getView().readString(); } },
        { "Value is not a string", [&] { Value::makeObject ({}).getView().readString(); } },
        { "No string dictionary supplied", [&] { object["missing"].readString(); } },
        { "No string dictionary supplied",
          [&] {
              uint32_t h = 1;
              ValueView (Type (TypeCode::string), &h, nullptr).get<int64_t>();
          } },
        { "Unknown string",
          [&] {
              SimpleStringDictionary d;
              d.getStringForHandle ({ 1 });
          } },
        { "Cannot convert this value to a numeric type", [&] { Value::makeEmptyArray().getView().get<double>(); } },
        { "Cannot convert this value to a numeric type", [&] { Value ("none").getView().get<int64_t>(); } },
    };

    for (auto& c : cases)
        EXPECT_EQ (errorFrom (c.action), c.expected);
}

TEST (ValueErrors, ArrayCountLimitIsJustBelowTwoToTheTwenty)
{
    auto largest = Type::createArray (TypeCode::int32, 1048575);
    EXPECT_EQ (largest.getNumElements(), 1048575u);
    EXPECT_EQ (Type::createArray (TypeCode::string, 1048575).getNumElements(), 1048575u);
    EXPECT_EQ (errorFrom ([] { Type::createArray (TypeCode::string, 1048576); }), "Too many array elements");
    EXPECT_EQ (Type::createVector (TypeCode::int32, 256).getNumElements(), 256u);
}
