#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <vector>

#include "values/value.h"

using namespace tunewell::value;

namespace
{

std::vector<std::pair<uint32_t, TypeCode>> groupsOf (const Type& type)
{
    std::vector<std::pair<uint32_t, TypeCode>> groups;

    for (auto& group : type.getComplexArray().groups)
        groups.push_back ({ group.repetitions, group.elementType.getCode() });

    return groups;
}

Type makeObject (std::vector<std::pair<const char*, TypeCode>> members, std::string_view className = "Song")
{
    auto type = Type::createObject (className);

    for (auto& [name, code] : members)
        type.addObjectMember (name, Type (code));

    return type;
}

// Hands out standard heap blocks, never resizes in place, and remembers
// what is still allocated.
struct TrackingAllocator : Allocator
{
    void* allocate (std::size_t size) override
    {
        auto p = std::malloc (size);
        live.insert (p);
        return p;
    }
    void* tryResize (void*, std::size_t) override { return nullptr; }
    void free (void* block) override
    {
        live.erase (block);
        std::free (block);
    }

    std::set<void*> live;
};

} // namespace

TEST (TypeSizes, ScalarsHaveTheirByteSizesAndOneElement)
{
    EXPECT_EQ (Type (TypeCode::int32).getValueDataSize(), 4u);
    EXPECT_EQ (Type (TypeCode::int64).getValueDataSize(), 8u);
    EXPECT_EQ (Type (TypeCode::float32).getValueDataSize(), 4u);
    EXPECT_EQ (Type (TypeCode::float64).getValueDataSize(), 8u);
    EXPECT_EQ (Type (TypeCode::boolean).getValueDataSize(), 4u);
    EXPECT_EQ (Type (TypeCode::string).getValueDataSize(), 4u);
    EXPECT_EQ (Type().getValueDataSize(), 0u);
    EXPECT_EQ (Type (TypeCode::string).getNumElements(), 1u);
    EXPECT_EQ (Type::createVector (TypeCode::float32, 3).getValueDataSize(), 12u);
}

TEST (TypeSizes, ContainersSumTheirParts)
{
    auto object = makeObject ({ { "a", TypeCode::int64 }, { "b", TypeCode::string }, { "c", TypeCode::boolean } });
    EXPECT_EQ (object.getValueDataSize(), 16u);
    EXPECT_EQ (object.getNumElements(), 3u);

    auto vectors = Type::createArray (Type::createVector (TypeCode::int32, 3), 5);
    EXPECT_TRUE (vectors.isPrimitiveArray());
    EXPECT_EQ (vectors.getValueDataSize(), 60u);
    EXPECT_EQ (vectors.getPrimitiveArray().getElementType(), Type::createVector (TypeCode::int32, 3));

    auto objects = Type::createArray (object, 2);
    objects.addArrayElements (Type (TypeCode::int32), 3);
    EXPECT_EQ (objects.getValueDataSize(), 2u * 16 + 3 * 4);
    EXPECT_EQ (objects.getNumElements(), 5u);
}

TEST (TypeElements, OffsetsRunThroughMembersAndGroups)
{
    auto object = makeObject ({ { "a", TypeCode::int64 }, { "b", TypeCode::string }, { "c", TypeCode::boolean } });
    EXPECT_EQ (object.getElementTypeAndOffset (2).offset, 12u);
    EXPECT_TRUE (object.getElementTypeAndOffset (2).elementType.isBool());

    auto mixed = Type::createArray (TypeCode::int64, 2);
    mixed.addArrayElements (object, 2);
    mixed.addArrayElements (TypeCode::int32, 1);
    EXPECT_EQ (mixed.getElementTypeAndOffset (1).offset, 8u);
    EXPECT_EQ (mixed.getElementTypeAndOffset (3).offset, 16u + 16);
    EXPECT_EQ (mixed.getElementTypeAndOffset (3).elementType, object);
    EXPECT_EQ (mixed.getElementTypeAndOffset (4).offset, 16u + 32);

    auto vectors = Type::createArray (Type::createVector (TypeCode::float64, 2), 4);
    EXPECT_EQ (vectors.getElementTypeAndOffset (3).offset, 48u);
    EXPECT_EQ (Type::createVector (TypeCode::int32, 4).getElementTypeAndOffset (3).offset, 12u);
}

TEST (ArrayGrouping, GrowsFromEmptyThroughPrimitiveToComplex)
{
    auto array = Type::createEmptyArray();
    EXPECT_EQ (array.getNumElements(), 0u);
    EXPECT_EQ (array.getValueDataSize(), 0u);

    array.addArrayElements (TypeCode::int64, 1);
    ASSERT_TRUE (array.isPrimitiveArray());
    EXPECT_EQ (array.getPrimitiveArray().elementCode, TypeCode::int64);
    EXPECT_EQ (array.getNumElements(), 1u);

    array.addArrayElements (TypeCode::string, 1);
    ASSERT_TRUE (array.isComplexArray());
    using Groups = std::vector<std::pair<uint32_t, TypeCode>>;
    EXPECT_EQ (groupsOf (array), (Groups { { 1, TypeCode::int64 }, { 1, TypeCode::string } }));

    array.addArrayElements (TypeCode::string, 1);
    EXPECT_EQ (groupsOf (array), (Groups { { 1, TypeCode::int64 }, { 2, TypeCode::string } }));
}

TEST (ArrayGrouping, StringsAreNeverPrimitiveElements)
{
    auto array = Type::createEmptyArray();
    array.addArrayElements (TypeCode::string, 1);
    EXPECT_TRUE (array.isComplexArray());
}

TEST (ArrayGrouping, EqualObjectsShareAGroupButMemberOrderMatters)
{
    auto ab = makeObject ({ { "a", TypeCode::int64 }, { "b", TypeCode::string } });
    auto ba = makeObject ({ { "b", TypeCode::string }, { "a", TypeCode::int64 } });

    auto array = Type::createEmptyArray();
    array.addArrayElements (ab, 1);
    array.addArrayElements (ab, 1);
    EXPECT_EQ (groupsOf (array).size(), 1u);
    array.addArrayElements (ba, 1);
    ASSERT_EQ (groupsOf (array).size(), 2u);
    EXPECT_EQ (groupsOf (array)[0].first, 2u);
}

TEST (ArrayGrouping, PrimitiveVectorsTurnIntoAGroupWhenADifferentElementArrives)
{
    auto array = Type::createArray (Type::createVector (TypeCode::int32, 2), 3);
    array.addArrayElements (TypeCode::int32, 1);
    ASSERT_TRUE (array.isComplexArray());
    EXPECT_EQ (array.getComplexArray().groups[0].elementType, Type::createVector (TypeCode::int32, 2));
    EXPECT_EQ (array.getValueDataSize(), 3u * 8 + 4);
}

TEST (TypeEquality, ComparesStructureDeeply)
{
    EXPECT_EQ (makeObject ({ { "a", TypeCode::int64 } }), makeObject ({ { "a", TypeCode::int64 } }));
    EXPECT_NE (makeObject ({ { "a", TypeCode::int64 } }), makeObject ({ { "a", TypeCode::int32 } }));
    EXPECT_NE (makeObject ({ { "a", TypeCode::int64 } }), makeObject ({ { "b", TypeCode::int64 } }));
    EXPECT_NE (makeObject ({ { "a", TypeCode::int64 } }, "X"), makeObject ({ { "a", TypeCode::int64 } }, "Y"));
    EXPECT_NE (makeObject ({ { "a", TypeCode::int64 } }),
               makeObject ({ { "a", TypeCode::int64 }, { "b", TypeCode::int64 } }));
    EXPECT_NE (Type::createVector (TypeCode::int32, 2), Type::createVector (TypeCode::int32, 3));
    EXPECT_NE (Type::createArray (TypeCode::int32, 2), Type::createArray (TypeCode::int32, 3));
    EXPECT_NE (Type::createArray (TypeCode::string, 2), Type::createArray (TypeCode::string, 3));
    EXPECT_NE (Type (TypeCode::int32), Type (TypeCode::float32));
}

TEST (TypeCopies, AreDeepAndIndependent)
{
    auto original = makeObject ({ { "a", TypeCode::int64 } });
    auto copy = original;
    copy.addObjectMember ("b", TypeCode::string);

    EXPECT_EQ (original.getNumElements(), 1u);
    EXPECT_EQ (copy.getNumElements(), 2u);
    EXPECT_NE (&copy.getObject(), &original.getObject());

    auto moved = std::move (copy);
    EXPECT_TRUE (copy.isVoid());
    EXPECT_EQ (moved.getObjectMemberIndex ("b"), 1);

    original = moved;
    EXPECT_EQ (original, moved);
}

TEST (TypeCopies, UseTheGivenAllocatorAndReturnEverythingToIt)
{
    TrackingAllocator allocator;
    auto source = makeObject ({ { "first", TypeCode::int64 } });

    for (int i = 0; i < 20; ++i)
        source.addObjectMember ("m" + std::to_string (i), Type::createArray (TypeCode::string, 1));

    {
        Type copy (&allocator, source);
        EXPECT_EQ (copy, source);
        EXPECT_FALSE (allocator.live.empty());

        // Growing past capacity makes the vector move, since tryResize refuses.
        EXPECT_EQ (copy.getObject().members.capacity, 24u);

        for (int i = 0; i < 4; ++i)
            copy.addObjectMember ("later" + std::to_string (i), TypeCode::boolean);

        EXPECT_EQ (copy.getObject().members.capacity, 32u);
        EXPECT_EQ (copy.getObjectMemberIndex ("later3"), 24);
        EXPECT_EQ (copy.getObjectMember (20).name.view(), "m19");
        EXPECT_EQ (copy.getObjectMember (20).type, Type::createArray (TypeCode::string, 1));
    }

    EXPECT_TRUE (allocator.live.empty());
}

TEST (ObjectMembers, AreFoundByExactName)
{
    auto object = makeObject ({ { "name", TypeCode::string }, { "", TypeCode::int32 } });

    EXPECT_EQ (object.getObjectMemberIndex ("name"), 0);
    EXPECT_EQ (object.getObjectMemberIndex (""), 1);
    EXPECT_EQ (object.getObjectMemberIndex ("nam"), -1);
    EXPECT_EQ (object.getObjectMemberIndex ("names"), -1);
    EXPECT_EQ (object.getObjectClassName(), "Song");
    EXPECT_EQ (object.getObjectMember (1).name.text, nullptr);
}

TEST (StringHandleVisits, ReachEveryHandleAndSkipPlainGroups)
{
    auto inner = makeObject ({ { "n", TypeCode::int32 }, { "s", TypeCode::string } });
    auto strings = Type::createArray (TypeCode::string, 2);
    auto numbers = Type::createArray (TypeCode::float64, 3);

    auto object = Type::createObject ({});
    object.addObjectMember ("a", TypeCode::int64);              // 0..8
    object.addObjectMember ("b", TypeCode::string);             // 8
    object.addObjectMember ("c", strings);                      // 12, 16
    object.addObjectMember ("d", numbers);                      // 20..44
    object.addObjectMember ("e", Type::createArray (inner, 2)); // 44: s at 48, 56

    std::vector<uint64_t> offsets;
    object.visitStringHandles (100, [&] (uint64_t offset) { offsets.push_back (offset - 100); });

    EXPECT_EQ (offsets, (std::vector<uint64_t> { 8, 12, 16, 48, 56 }));
    EXPECT_TRUE (object.usesStrings());
    EXPECT_FALSE (numbers.usesStrings());
    EXPECT_FALSE (makeObject ({ { "n", TypeCode::int32 } }).usesStrings());
}
