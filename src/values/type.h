#pragma once

#include <cstdint>
#include <cstring>
#include <new>
#include <string_view>
#include <type_traits>
#include <utility>

#include "values/allocator.h"

namespace tunewell::value
{

/// The kind of a value. For scalars the low nibble is the data size in bytes
/// and the high nibble the category; bit 7 marks the kinds whose type owns a
/// heap record.
enum class TypeCode : uint8_t
{
    void_ = 0x00,
    int32 = 0x04,
    int64 = 0x08,
    float32 = 0x14,
    float64 = 0x18,
    boolean = 0x34,
    string = 0x44,
    vector = 0x50,
    primitiveArray = 0x60,
    object = 0x80,
    complexArray = 0x90
};

/// Whether the code is one of a scalar, whose type is its code alone.
constexpr bool isScalarCode (TypeCode code) noexcept
{
    return code == TypeCode::void_ || code == TypeCode::int32 || code == TypeCode::int64 || code == TypeCode::float32
        || code == TypeCode::float64 || code == TypeCode::boolean || code == TypeCode::string;
}

/// The packed size in bytes of a scalar of this kind: its code's low nibble.
constexpr uint32_t scalarDataSize (TypeCode scalar) noexcept
{
    return static_cast<uint32_t> (scalar) & 0x0fu;
}

struct ElementTypeAndOffset;

/// Describes the layout of a value's packed data. Scalar, vector and
/// primitive-array types are plain data; object and complex-array types own
/// a record from their allocator, which copies duplicate deeply.
class Type
{
public:
    /// A growable array of bytewise-relocatable items in allocator memory.
    template <typename ItemType>
    struct AllocatedVector
    {
        explicit AllocatedVector (Allocator* a = nullptr) noexcept : allocator (a) {}
        ~AllocatedVector();

        AllocatedVector (const AllocatedVector&) = delete;
        AllocatedVector& operator= (const AllocatedVector&) = delete;

        void reserve (uint32_t count);
        void push_back (ItemType&& item);

        ItemType* begin() noexcept { return items; }
        ItemType* end() noexcept { return items + size; }
        const ItemType* begin() const noexcept { return items; }
        const ItemType* end() const noexcept { return items + size; }
        ItemType& operator[] (uint32_t index) noexcept { return items[index]; }
        const ItemType& operator[] (uint32_t index) const noexcept { return items[index]; }
        ItemType& back() noexcept { return items[size - 1]; }

        ItemType* items = nullptr;
        uint32_t size = 0;
        uint32_t capacity = 0;
        Allocator* allocator = nullptr;
    };

    /// A zero-terminated text copied into allocator memory; empty is null.
    struct OwnedName
    {
        const char* text = nullptr;
        uint32_t length = 0;

        std::string_view view() const noexcept
        {
            return text != nullptr ? std::string_view (text, length) : std::string_view();
        }
        const char* c_str() const noexcept { return text != nullptr ? text : ""; }
    };

    struct MemberNameAndType;
    struct Object;
    struct ComplexArray;

    struct Vector
    {
        TypeCode elementCode;
        uint32_t numElements;
    };

    struct PrimitiveArray
    {
        TypeCode elementCode;
        uint32_t numElements;
        uint32_t numVectorElements; // 0: each element is one scalar

        /// Throws "Too many vector elements" for vectors of more than 256.
        Type getElementType() const;
    };

    union Content
    {
        Vector vector;
        PrimitiveArray primitiveArray;
        Object* object;
        ComplexArray* complexArray;
        uint8_t bytes[16];
    };

    //==============================================================================
    Type() noexcept;
    /// Any code with empty content: an object without class name or members,
    /// a complex array without groups, a vector or array of nothing.
    Type (TypeCode typeCode);
    Type (const Type& other);
    Type (Allocator* allocatorToUse, const Type& other);
    Type (Type&& other) noexcept : code (other.code), content (other.content), allocator (other.allocator)
    {
        other.clear();
    }
    Type& operator= (const Type& other);
    Type& operator= (Type&& other) noexcept;
    // Inline, so that the many scalar types a parse makes and drops cost no call.
    ~Type()
    {
        if (ownsRecord())
            deleteAllocatedObjects();
    }

    /// Throws "Too many vector elements" for more than 256 elements.
    static Type createVector (TypeCode elementCode, uint32_t numElements);
    /// Throws "Too many array elements" for a count of 2^20 or more.
    static Type createArray (Type elementType, uint32_t count, Allocator* allocator = nullptr);
    static Type createEmptyArray() noexcept;
    static Type createObject (std::string_view className, Allocator* allocator = nullptr);

    //==============================================================================
    bool isVoid() const noexcept { return code == TypeCode::void_; }
    bool isInt32() const noexcept { return code == TypeCode::int32; }
    bool isInt64() const noexcept { return code == TypeCode::int64; }
    bool isInt() const noexcept { return isInt32() || isInt64(); }
    bool isFloat32() const noexcept { return code == TypeCode::float32; }
    bool isFloat64() const noexcept { return code == TypeCode::float64; }
    bool isFloat() const noexcept { return isFloat32() || isFloat64(); }
    bool isBool() const noexcept { return code == TypeCode::boolean; }
    bool isString() const noexcept { return code == TypeCode::string; }
    bool isVector() const noexcept { return code == TypeCode::vector; }
    bool isPrimitiveArray() const noexcept { return code == TypeCode::primitiveArray; }
    bool isObject() const noexcept { return code == TypeCode::object; }
    bool isComplexArray() const noexcept { return code == TypeCode::complexArray; }
    bool isArray() const noexcept { return isPrimitiveArray() || isComplexArray(); }
    bool isArrayOrVector() const noexcept { return isArray() || isVector(); }
    bool isPrimitive() const noexcept { return isInt() || isFloat() || isBool(); }
    bool ownsRecord() const noexcept { return (static_cast<uint8_t> (code) & 0x80) != 0; }

    TypeCode getCode() const noexcept { return code; }
    /// The shape of a vector type; meaningless for any other type.
    const Vector& getVector() const noexcept { return content.vector; }
    /// The shape of a primitive array type; meaningless for any other type.
    const PrimitiveArray& getPrimitiveArray() const noexcept { return content.primitiveArray; }
    /// The record of an object type; throws "This type is not an object".
    const Object& getObject() const;
    /// The record of a complex array type; throws "Invalid type" for others.
    const ComplexArray& getComplexArray() const;

    /// Throws "Invalid type" for an unknown code.
    uint64_t getValueDataSize() const;
    /// Throws "This type doesn't have sub-elements" for void and unknown codes.
    uint32_t getNumElements() const;
    ElementTypeAndOffset getElementTypeAndOffset (uint32_t index) const;

    /// -1 when there is no such member; throws "This type is not an object".
    int32_t getObjectMemberIndex (std::string_view name) const;
    /// The class name of an object type, empty for every other type.
    std::string_view getObjectClassName() const noexcept;
    const MemberNameAndType& getObjectMember (uint32_t index) const;

    void addArrayElements (Type elementType, uint32_t count);
    void addObjectMember (std::string_view name, Type memberType);

    bool usesStrings() const noexcept;

    bool operator== (const Type& other) const noexcept;
    bool operator!= (const Type& other) const noexcept { return ! operator== (other); }

    /// Calls visitor (uint64_t offset) for every string handle inside data of
    /// this type that starts at startOffset.
    template <typename Visitor>
    void visitStringHandles (uint64_t startOffset, Visitor&& visitor) const
    {
        using VisitorType = std::remove_reference_t<Visitor>;
        visitStringHandlesWith (
            startOffset, [] (void* context, uint64_t offset) { (*static_cast<VisitorType*> (context)) (offset); },
            const_cast<void*> (static_cast<const void*> (&visitor)));
    }

private:
    TypeCode code = TypeCode::void_;
    Content content;
    Allocator* allocator = nullptr;

    /// Frees the record of an object or complex-array type and leaves it void.
    void deleteAllocatedObjects() noexcept;

    /// Leaves a moved-from type void, with nothing to free.
    void clear() noexcept
    {
        code = TypeCode::void_;
        std::memset (&content, 0, sizeof (content));
        allocator = nullptr;
    }

    using HandleCallback = void (*) (void* context, uint64_t offset);
    void visitStringHandlesWith (uint64_t startOffset, HandleCallback callback, void* context) const;
    void allocateCopy (const Type& source);
};

struct Type::MemberNameAndType
{
    OwnedName name;
    Type type;
};

struct Type::Object
{
    explicit Object (Allocator* a) noexcept : members (a) {}

    OwnedName className;
    AllocatedVector<MemberNameAndType> members;
};

struct Type::ComplexArray
{
    struct RepeatedGroup
    {
        uint32_t repetitions = 0;
        Type elementType;
    };

    explicit ComplexArray (Allocator* a) noexcept : groups (a) {}

    AllocatedVector<RepeatedGroup> groups;
};

struct ElementTypeAndOffset
{
    Type elementType;
    uint64_t offset = 0;
};

//==============================================================================
template <typename ItemType>
Type::AllocatedVector<ItemType>::~AllocatedVector()
{
    for (auto& item : *this)
        item.~ItemType();

    heap::free (allocator, items);
}

template <typename ItemType>
void Type::AllocatedVector<ItemType>::reserve (uint32_t count)
{
    if (capacity >= count)
        return;

    auto newCapacity = (count + 7u) & ~7u;
    items = static_cast<ItemType*> (
        heap::resize (allocator, items, sizeof (ItemType) * size, sizeof (ItemType) * newCapacity));
    capacity = newCapacity;
}

template <typename ItemType>
void Type::AllocatedVector<ItemType>::push_back (ItemType&& item)
{
    reserve (size + 1);
    new (items + size) ItemType (std::move (item));
    ++size;
}

} // namespace tunewell::value
