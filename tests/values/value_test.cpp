#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "values/value.h"

using namespace tunewell::value;

namespace
{

uint32_t handleAt (const Value& value, std::size_t offset)
{
    uint32_t handle;
    std::memcpy (&handle, value.getRawData().data() + offset, sizeof (handle));
    return handle;
}

Value makeSong()
{
    auto song = Value::makeObject ("Song");
    song.addMember ("name", Value ("Blue in Green"));

    auto parts = Value::makeEmptyArray();
    parts.addArrayElement (Value (int64_t (1)));
    parts.addArrayElement (Value (2.5));
    parts.addArrayElement (Value ("coda"));
    song.addMember ("parts", std::move (parts));

    auto flags = Value::makeObject ({});
    flags.addMember ("live", Value::makeBool (true));
    song.addMember ("flags", std::move (flags));
    return song;
}

} // namespace

TEST (ValueBuilding, ScalarsHoldTheirBytes)
{
    Value number (int64_t (0x0102030405060708));
    EXPECT_EQ (number.getRawData(), (std::vector<uint8_t> { 8, 7, 6, 5, 4, 3, 2, 1 }));

    Value text ("abc");
    EXPECT_TRUE (text.getView().isString());
    EXPECT_EQ (handleAt (text, 0), 1u);
    EXPECT_EQ (text.getView().readString(), "abc");
    EXPECT_EQ (handleAt (Value (""), 0), 0u);

    EXPECT_EQ (Value::makeBool (true).getRawData(), (std::vector<uint8_t> { 1, 0, 0, 0 }));
    EXPECT_EQ (Value (2.5).getView().readContentAs<double>(), 2.5);
    EXPECT_EQ (Value (Type::createArray (TypeCode::int32, 3)).getRawData().size(), 12u);
    EXPECT_TRUE (Value().getView().isVoid());
    EXPECT_EQ (Value().getView().data, nullptr);
}

TEST (ValueBuilding, NestedContainersPackTheirDataInOrder)
{
    auto song = makeSong();

    // name handle, then 8 + 8 + 4 bytes of parts, then the flag.
    ASSERT_EQ (song.getRawData().size(), 4u + 20 + 4);
    EXPECT_EQ (song["name"].readString(), "Blue in Green");
    EXPECT_EQ (song["parts"].size(), 3u);
    EXPECT_EQ (song["parts"][0].readInt64(), 1);
    EXPECT_EQ (song["parts"][1].get<double>(), 2.5);
    EXPECT_EQ (song["parts"][2].readString(), "coda");
    EXPECT_TRUE (song["flags"]["live"].readContentAs<bool>());
    EXPECT_EQ (song.getType().getObjectClassName(), "Song");

    auto member = song.getView().memberAt (1);
    EXPECT_STREQ (member.name, "parts");
    EXPECT_TRUE (member.value.isComplexArray());
    EXPECT_EQ (member.value.data, song.getView().data + 4);
}

TEST (ValueBuilding, ReinternsStringsIntoTheReceivingDictionary)
{
    auto object = Value::makeObject ({});
    object.addMember ("first", Value ("hello"));
    object.addMember ("second", Value ("abc"));
    object.addMember ("again", Value ("hello"));

    EXPECT_EQ (handleAt (object, 0), 1u);
    EXPECT_EQ (handleAt (object, 4), 7u);
    EXPECT_EQ (handleAt (object, 8), 1u);
    EXPECT_EQ (object["second"].readString(), "abc");
    EXPECT_EQ (object.getDictionary().getRawData().size(), 10u);

    auto outer = Value::makeEmptyArray();
    outer.addArrayElement (Value ("zz"));
    outer.addArrayElement (std::move (object));
    EXPECT_EQ (outer[1]["second"].readString(), "abc");
    EXPECT_EQ (outer[1]["again"].readString(), "hello");
}

TEST (ValueBuilding, FailedAdditionsLeaveTheValueAsItWas)
{
    auto object = Value::makeObject ({});
    object.addMember ("a", Value ("text"));
    auto bytes = object.getRawData();

    EXPECT_THROW (object.addMember ("a", Value (int64_t (1))), Error);
    EXPECT_EQ (object.getRawData(), bytes);
    EXPECT_EQ (object.getType().getNumElements(), 1u);

    // A handle that its dictionary never gave out fails while re-interning.
    uint32_t badHandle = 9;
    std::vector<uint8_t> handleBytes (sizeof (badHandle));
    std::memcpy (handleBytes.data(), &badHandle, sizeof (badHandle));
    Value dangling (Type (TypeCode::string), std::move (handleBytes), SimpleStringDictionary());
    EXPECT_THROW (object.addMember ("b", std::move (dangling)), Error);
    EXPECT_EQ (object.getRawData(), bytes);
    EXPECT_EQ (object["a"].readString(), "text");
}

TEST (ValueBuilding, TakesOverPackedDataAndItsDictionary)
{
    auto type = Type::createObject ({});
    type.addObjectMember ("title", Type (TypeCode::string));
    type.addObjectMember ("bpm", Type (TypeCode::int32));

    SimpleStringDictionary strings;
    auto handle = strings.getHandleForString ("So What").handle;
    std::vector<uint8_t> data (8);
    std::memcpy (data.data(), &handle, 4);
    const int32_t bpm = 136;
    std::memcpy (data.data() + 4, &bpm, 4);

    Value taken (Type (type), std::move (data), std::move (strings));
    EXPECT_EQ (taken["title"].readString(), "So What");
    EXPECT_EQ (taken["bpm"].readContentAs<int32_t>(), 136);

    // Data that does not fit the type is not read as if it did.
    SimpleStringDictionary unused;
    Value mismatched (Type (type), std::vector<uint8_t> (3, 0xff), std::move (unused));
    EXPECT_EQ (mismatched.getRawData(), std::vector<uint8_t> (8, 0));
    EXPECT_EQ (mismatched["title"].readString(), "");
}

TEST (ValueMoves, LeaveTheSourceVoidAndEmpty)
{
    auto song = makeSong();
    auto moved = std::move (song);

    EXPECT_TRUE (song.getView().isVoid());
    EXPECT_TRUE (song.getRawData().empty());
    EXPECT_TRUE (song.getDictionary().getRawData().empty());
    EXPECT_EQ (song.getView().data, nullptr);

    Value assigned;
    assigned = std::move (moved);
    EXPECT_TRUE (moved.getView().isVoid());
    EXPECT_EQ (assigned.getView().stringDictionary, &assigned.getDictionary());
    EXPECT_EQ (assigned["parts"][2].readString(), "coda");
}

TEST (ValueCopies, OwnTheirBytesAndDictionary)
{
    auto original = makeSong();
    auto copy = original;
    original = Value (int64_t (3));

    EXPECT_EQ (copy.getView().stringDictionary, &copy.getDictionary());
    EXPECT_EQ (copy["name"].readString(), "Blue in Green");
    EXPECT_EQ (original.getView().readInt64(), 3);
}

TEST (ValueViews, MissingMembersGiveAnEmptyView)
{
    auto song = makeSong();
    auto missing = song["tempo"];

    EXPECT_TRUE (missing.isVoid());
    EXPECT_EQ (missing.data, nullptr);
    EXPECT_EQ (missing.stringDictionary, nullptr);
    EXPECT_EQ (missing.getWithDefault<int64_t> (7), 7);
}

TEST (ValueViews, ReinternHandlesInPlace)
{
    SimpleStringDictionary from, to;
    to.getHandleForString ("padding");
    uint32_t handles[2] = { from.getHandleForString ("x").handle, from.getHandleForString ("yy").handle };

    ValueView view (Type::createArray (TypeCode::string, 2), handles, &from);
    view.updateStringHandles (from, to);

    EXPECT_EQ (handles[0], 9u);
    EXPECT_EQ (handles[1], 11u);
    EXPECT_EQ (to.getStringForHandle ({ handles[1] }), "yy");
}
