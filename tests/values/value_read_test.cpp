#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "values/value.h"

using namespace tunewell::value;

namespace
{

constexpr auto int64Max = std::numeric_limits<int64_t>::max();
constexpr auto int64Min = std::numeric_limits<int64_t>::min();

template <typename Scalar>
ValueView viewOf (Scalar& scalar, TypeCode code)
{
    return ValueView (Type (code), &scalar, nullptr);
}

int64_t doubleToInt64 (double d)
{
    return viewOf (d, TypeCode::float64).get<int64_t>();
}

} // namespace

TEST (NumericReading, ConvertsEveryNumericKind)
{
    int32_t i32 = -5;
    float f32 = -2.75f;
    uint32_t yes = 7, no = 0;

    EXPECT_EQ (viewOf (i32, TypeCode::int32).get<int64_t>(), -5);
    EXPECT_EQ (viewOf (i32, TypeCode::int32).get<double>(), -5.0);
    EXPECT_EQ (viewOf (f32, TypeCode::float32).get<int64_t>(), -2);
    EXPECT_EQ (viewOf (f32, TypeCode::float32).get<double>(), -2.75);
    EXPECT_EQ (viewOf (yes, TypeCode::boolean).get<int64_t>(), 1);
    EXPECT_EQ (viewOf (no, TypeCode::boolean).get<double>(), 0.0);
    EXPECT_EQ (Value (int64_t (int64Max)).getView().get<int64_t>(), int64Max);
    EXPECT_EQ (Value (2.9).getView().get<int64_t>(), 2);
    EXPECT_EQ (Value (-2.9).getView().get<int64_t>(), -2);
}

TEST (NumericReading, SaturatesFloatsOutsideTheInt64Range)
{
    EXPECT_EQ (doubleToInt64 (1e300), int64Max);
    EXPECT_EQ (doubleToInt64 (-1e300), int64Min);
    EXPECT_EQ (doubleToInt64 (9223372036854775808.0), int64Max);
    EXPECT_EQ (doubleToInt64 (-9223372036854775808.0), int64Min);
    EXPECT_EQ (doubleToInt64 (9223372036854774784.0), 9223372036854774784);
    EXPECT_EQ (doubleToInt64 (std::numeric_limits<double>::infinity()), int64Max);
    EXPECT_EQ (doubleToInt64 (-std::numeric_limits<double>::infinity()), int64Min);
    EXPECT_EQ (doubleToInt64 (std::nan ("")), 0);

    float big = 3e38f, nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ (viewOf (big, TypeCode::float32).get<int64_t>(), int64Max);
    EXPECT_EQ (viewOf (nan, TypeCode::float32).get<int64_t>(), 0);
}

TEST (NumericReading, ParsesStringsAndFallsBackToTheDefault)
{
    EXPECT_EQ (Value ("12abc").getView().getWithDefault<int64_t> (7), 12);
    EXPECT_EQ (Value ("abc").getView().getWithDefault<int64_t> (7), 7);
    EXPECT_EQ (Value ("").getView().getWithDefault<int64_t> (7), 7);
    EXPECT_EQ (Value ("").getView().get<int64_t>(), 0);
    EXPECT_EQ (Value (" -42").getView().get<int64_t>(), -42);
    EXPECT_EQ (Value ("2.5e3x").getView().get<double>(), 2500.0);
    EXPECT_EQ (Value ("99999999999999999999").getView().get<int64_t>(), int64Max);
    EXPECT_THROW (Value ("abc").getView().get<int64_t>(), Error);
    EXPECT_THROW (Value ("abc").getView().get<double>(), Error);
}

TEST (NumericReading, TreatsAOneElementVectorAsItsElement)
{
    float one[1] = { 2.5f };
    EXPECT_EQ (ValueView (Type::createVector (TypeCode::float32, 1), one, nullptr).get<double>(), 2.5);

    float two[2] = { 2.5f, 3.5f };
    ValueView pair (Type::createVector (TypeCode::float32, 2), two, nullptr);
    EXPECT_THROW (pair.get<double>(), Error);
    EXPECT_EQ (pair.getWithDefault<double> (-1.0), -1.0);
    EXPECT_EQ (pair[1].get<double>(), 3.5);
}

TEST (NumericReading, GivesTheDefaultForNonNumericKinds)
{
    auto array = Value::makeEmptyArray();
    EXPECT_EQ (array.getView().getWithDefault<double> (1.5), 1.5);
    EXPECT_EQ (Value::makeObject ("X").getView().getWithDefault<int64_t> (3), 3);
    EXPECT_EQ (Value().getView().getWithDefault<int64_t> (4), 4);
}

TEST (RawReading, ReadsUnalignedBytesAsTheGivenType)
{
    uint8_t bytes[12] = { 0xff, 0x00, 0x00, 0x00, 0x80, 0x3f, 0, 0, 0, 0, 0, 0 };
    ValueView at1 (Type (TypeCode::float32), bytes + 2, nullptr);

    EXPECT_EQ (at1.readContentAs<float>(), 1.0f);
    EXPECT_EQ (ValueView (Type (TypeCode::int32), bytes, nullptr).readContentAs<uint32_t>(), 255u);
    EXPECT_TRUE (ValueView (Type (TypeCode::boolean), bytes, nullptr).readContentAs<bool>());
    EXPECT_FALSE (ValueView (Type (TypeCode::boolean), bytes + 6, nullptr).readContentAs<bool>());
    EXPECT_EQ (ValueView().readContentAs<int64_t>(), 0);
}
