#include "values/type.h"

#include <cstring>

#include "values/error.h"

namespace tunewell::value
{

namespace
{

constexpr uint32_t maxArrayElements = (1u << 20) - 1;
constexpr uint32_t maxVectorElements = 256;

[[noreturn]] void fail (const char* message)
{
    throw Error (message);
}

uint32_t getScalarSize (TypeCode code)
{
    if (! isScalarCode (code))
        fail ("Invalid type");

    return scalarDataSize (code);
}

Type::OwnedName copyName (Allocator* allocator, std::string_view name)
{
    if (name.empty())
        return {};

    auto text = static_cast<char*> (heap::allocate (allocator, name.size() + 1));
    std::memcpy (text, name.data(), name.size());
    text[name.size()] = 0;
    return { text, static_cast<uint32_t> (name.size()) };
}

void freeName (Allocator* allocator, const Type::OwnedName& name) noexcept
{
    heap::free (allocator, const_cast<char*> (name.text));
}

template <typename Record>
Record* createRecord (Allocator* allocator)
{
    return new (heap::allocate (allocator, sizeof (Record))) Record (allocator);
}

template <typename Record>
void destroyRecord (Allocator* allocator, Record* record) noexcept
{
    record->~Record();
    heap::free (allocator, record);
}

void destroyObject (Allocator* allocator, Type::Object* object) noexcept
{
    freeName (object->members.allocator, object->className);

    for (auto& member : object->members)
        freeName (object->members.allocator, member.name);

    destroyRecord (allocator, object);
}

} // namespace

//==============================================================================
Type::Type() noexcept
{
    std::memset (&content, 0, sizeof (content));
}

Type::Type (TypeCode typeCode) : Type()
{
    // An object or complex array always has its record, so no operation meets a null one.
    if (typeCode == TypeCode::object)
        *this = createObject ({});
    else if (typeCode == TypeCode::complexArray)
        content.complexArray = createRecord<ComplexArray> (nullptr);

    code = typeCode;
}

Type::Type (const Type& other) : Type (nullptr, other) {}

Type::Type (Allocator* allocatorToUse, const Type& other) : Type()
{
    allocator = allocatorToUse;

    if (other.ownsRecord())
        allocateCopy (other);
    else
    {
        code = other.code;
        content = other.content;
    }
}

Type& Type::operator= (const Type& other)
{
    if (this != &other)
        *this = Type (other);

    return *this;
}

Type& Type::operator= (Type&& other) noexcept
{
    if (this != &other)
    {
        deleteAllocatedObjects();
        code = other.code;
        content = other.content;
        allocator = other.allocator;
        other.clear();
    }

    return *this;
}

// Builds this type's record as a deep copy of the source's, from this type's
// allocator; on failure this type is left void with nothing allocated.
void Type::allocateCopy (const Type& source)
{
    if (source.isObject())
    {
        auto object = createRecord<Object> (allocator);
        code = TypeCode::object;
        content.object = object;

        try
        {
            auto& sourceObject = *source.content.object;
            object->className = copyName (allocator, sourceObject.className.view());
            object->members.reserve (sourceObject.members.size);

            for (auto& member : sourceObject.members)
            {
                Type memberType (allocator, member.type);
                auto name = copyName (allocator, member.name.view());
                object->members.push_back ({ name, std::move (memberType) });
            }
        }
        catch (...)
        {
            deleteAllocatedObjects();
            throw;
        }
    }
    else
    {
        auto complexArray = createRecord<ComplexArray> (allocator);
        code = TypeCode::complexArray;
        content.complexArray = complexArray;

        try
        {
            auto& sourceGroups = source.content.complexArray->groups;
            complexArray->groups.reserve (sourceGroups.size);

            for (auto& group : sourceGroups)
                complexArray->groups.push_back ({ group.repetitions, Type (allocator, group.elementType) });
        }
        catch (...)
        {
            deleteAllocatedObjects();
            throw;
        }
    }
}

void Type::deleteAllocatedObjects() noexcept
{
    if (isObject())
        destroyObject (allocator, content.object);
    else if (isComplexArray())
        destroyRecord (allocator, content.complexArray);
    else
        return;

    code = TypeCode::void_;
    std::memset (&content, 0, sizeof (content));
}

//==============================================================================
Type Type::createVector (TypeCode elementCode, uint32_t numElements)
{
    if (numElements > maxVectorElements)
        fail ("Too many vector elements");

    Type type (TypeCode::vector);
    type.content.vector = { elementCode, numElements };
    return type;
}

Type Type::createArray (Type elementType, uint32_t count, Allocator* allocator)
{
    if (count > maxArrayElements)
        fail ("Too many array elements");

    Type array;
    array.allocator = allocator;

    if (elementType.isPrimitive())
    {
        array.code = TypeCode::primitiveArray;
        array.content.primitiveArray = { elementType.code, count, 0 };
    }
    else if (elementType.isVector())
    {
        array.code = TypeCode::primitiveArray;
        array.content.primitiveArray = { elementType.content.vector.elementCode, count,
                                         elementType.content.vector.numElements };
    }
    else
    {
        auto complexArray = createRecord<ComplexArray> (allocator);
        array.code = TypeCode::complexArray;
        array.content.complexArray = complexArray;
        complexArray->groups.push_back ({ count, std::move (elementType) });
    }

    return array;
}

Type Type::createEmptyArray() noexcept
{
    Type array (TypeCode::primitiveArray);
    array.content.primitiveArray = { TypeCode::void_, 0, 0 };
    return array;
}

Type Type::createObject (std::string_view className, Allocator* allocator)
{
    Type object;
    object.allocator = allocator;
    auto record = createRecord<Object> (allocator);
    object.code = TypeCode::object;
    object.content.object = record;
    record->className = copyName (allocator, className);
    return object;
}

Type Type::PrimitiveArray::getElementType() const
{
    if (numVectorElements != 0)
        return createVector (elementCode, numVectorElements);

    return Type (elementCode);
}

//==============================================================================
uint64_t Type::getValueDataSize() const
{
    if (isScalarCode (code))
        return scalarDataSize (code);

    switch (code)
    {
        case TypeCode::vector:
            return uint64_t (getScalarSize (content.vector.elementCode)) * content.vector.numElements;

        case TypeCode::primitiveArray:
        {
            auto& array = content.primitiveArray;
            uint64_t elementsPerItem = array.numVectorElements != 0 ? array.numVectorElements : 1;
            return uint64_t (getScalarSize (array.elementCode)) * array.numElements * elementsPerItem;
        }

        case TypeCode::object:
        {
            uint64_t total = 0;

            for (auto& member : content.object->members)
                total += member.type.getValueDataSize();

            return total;
        }

        case TypeCode::complexArray:
        {
            uint64_t total = 0;

            for (auto& group : content.complexArray->groups)
                total += group.repetitions * group.elementType.getValueDataSize();

            return total;
        }

        default:
            fail ("Invalid type");
    }
}

uint32_t Type::getNumElements() const
{
    // A scalar is its own single element; void has none to give.
    if (isScalarCode (code) && code != TypeCode::void_)
        return 1;

    switch (code)
    {
        case TypeCode::vector:
            return content.vector.numElements;
        case TypeCode::primitiveArray:
            return content.primitiveArray.numElements;
        case TypeCode::object:
            return content.object->members.size;

        case TypeCode::complexArray:
        {
            uint32_t total = 0;

            for (auto& group : content.complexArray->groups)
                total += group.repetitions;

            return total;
        }

        default:
            fail ("This type doesn't have sub-elements");
    }
}

ElementTypeAndOffset Type::getElementTypeAndOffset (uint32_t index) const
{
    switch (code)
    {
        case TypeCode::vector:
        {
            auto& vector = content.vector;

            if (index >= vector.numElements)
                fail ("Index out of range");

            return { Type (vector.elementCode), uint64_t (index) * getScalarSize (vector.elementCode) };
        }

        case TypeCode::primitiveArray:
        {
            auto& array = content.primitiveArray;

            if (index >= array.numElements)
                fail ("Index out of range");

            auto elementType = array.getElementType();
            auto offset = uint64_t (index) * elementType.getValueDataSize();
            return { std::move (elementType), offset };
        }

        case TypeCode::object:
        {
            uint64_t offset = 0;
            auto& members = content.object->members;

            for (uint32_t i = 0; i < members.size; ++i)
            {
                if (i == index)
                    return { Type (members[i].type), offset };

                offset += members[i].type.getValueDataSize();
            }

            fail ("Index out of range");
        }

        case TypeCode::complexArray:
        {
            uint64_t offset = 0;

            for (auto& group : content.complexArray->groups)
            {
                auto elementSize = group.elementType.getValueDataSize();

                if (index < group.repetitions)
                    return { Type (group.elementType), offset + index * elementSize };

                offset += group.repetitions * elementSize;
                index -= group.repetitions;
            }

            fail ("Index out of range");
        }

        default:
            fail ("Invalid type");
    }
}

//==============================================================================
int32_t Type::getObjectMemberIndex (std::string_view name) const
{
    if (! isObject())
        fail ("This type is not an object");

    auto& members = content.object->members;

    // Names mostly differ in length or first letter, which is checked
    // before any byte comparison.
    for (uint32_t i = 0; i < members.size; ++i)
    {
        auto& member = members[i].name;

        if (member.length == name.size()
            && (name.empty()
                || (member.text[0] == name[0] && std::memcmp (member.text, name.data(), name.size()) == 0)))
            return static_cast<int32_t> (i);
    }

    return -1;
}

const Type::Object& Type::getObject() const
{
    if (! isObject())
        fail ("This type is not an object");

    return *content.object;
}

const Type::ComplexArray& Type::getComplexArray() const
{
    if (! isComplexArray())
        fail ("Invalid type");

    return *content.complexArray;
}

std::string_view Type::getObjectClassName() const noexcept
{
    return isObject() ? content.object->className.view() : std::string_view();
}

const Type::MemberNameAndType& Type::getObjectMember (uint32_t index) const
{
    if (! isObject())
        fail ("This type is not an object");

    if (index >= content.object->members.size)
        fail ("Index out of range");

    return content.object->members[index];
}

void Type::addObjectMember (std::string_view name, Type memberType)
{
    if (getObjectMemberIndex (name) >= 0)
        fail ("This object already contains a member with the given name");

    auto ownedName = copyName (allocator, name);

    try
    {
        content.object->members.push_back ({ ownedName, std::move (memberType) });
    }
    catch (...)
    {
        freeName (allocator, ownedName);
        throw;
    }
}

void Type::addArrayElements (Type elementType, uint32_t count)
{
    if (isPrimitiveArray())
    {
        auto& array = content.primitiveArray;

        // For these codes equality of types is equality of codes; this spares
        // building the element type for the common run of equal scalars.
        if (array.numVectorElements == 0 && array.elementCode == elementType.code && isScalarCode (elementType.code))
        {
            array.numElements += count;
            return;
        }

        if (array.getElementType() == elementType)
        {
            array.numElements += count;
            return;
        }

        if (array.numElements == 0)
        {
            *this = createArray (std::move (elementType), count, allocator);
            return;
        }

        // A differing element ends the run of equal scalars: keep them as the first group.
        auto complexArray = createRecord<ComplexArray> (allocator);

        try
        {
            complexArray->groups.push_back ({ array.numElements, array.getElementType() });
        }
        catch (...)
        {
            destroyRecord (allocator, complexArray);
            throw;
        }

        code = TypeCode::complexArray;
        std::memset (&content, 0, sizeof (content));
        content.complexArray = complexArray;
    }

    if (! isComplexArray())
        fail ("Cannot add new elements to this type");

    auto& groups = content.complexArray->groups;

    if (groups.size != 0 && groups.back().elementType == elementType)
        groups.back().repetitions += count;
    else
        groups.push_back ({ count, std::move (elementType) });
}

//==============================================================================
bool Type::usesStrings() const noexcept
{
    switch (code)
    {
        case TypeCode::string:
            return true;
        case TypeCode::vector:
            return content.vector.elementCode == TypeCode::string;
        case TypeCode::primitiveArray:
            return content.primitiveArray.elementCode == TypeCode::string;

        case TypeCode::object:
            for (auto& member : content.object->members)
                if (member.type.usesStrings())
                    return true;

            return false;

        case TypeCode::complexArray:
            for (auto& group : content.complexArray->groups)
                if (group.elementType.usesStrings())
                    return true;

            return false;

        default:
            return false;
    }
}

bool Type::operator== (const Type& other) const noexcept
{
    if (code != other.code)
        return false;

    switch (code)
    {
        case TypeCode::vector:
            return content.vector.elementCode == other.content.vector.elementCode
                && content.vector.numElements == other.content.vector.numElements;

        case TypeCode::primitiveArray:
        {
            auto& a = content.primitiveArray;
            auto& b = other.content.primitiveArray;
            return a.elementCode == b.elementCode && a.numElements == b.numElements
                && a.numVectorElements == b.numVectorElements;
        }

        case TypeCode::object:
        {
            auto& a = *content.object;
            auto& b = *other.content.object;

            if (a.className.view() != b.className.view() || a.members.size != b.members.size)
                return false;

            for (uint32_t i = 0; i < a.members.size; ++i)
                if (a.members[i].name.view() != b.members[i].name.view() || a.members[i].type != b.members[i].type)
                    return false;

            return true;
        }

        case TypeCode::complexArray:
        {
            auto& a = content.complexArray->groups;
            auto& b = other.content.complexArray->groups;

            if (a.size != b.size)
                return false;

            for (uint32_t i = 0; i < a.size; ++i)
                if (a[i].repetitions != b[i].repetitions || a[i].elementType != b[i].elementType)
                    return false;

            return true;
        }

        default:
            return true;
    }
}

void Type::visitStringHandlesWith (uint64_t startOffset, HandleCallback callback, void* context) const
{
    switch (code)
    {
        case TypeCode::string:
            callback (context, startOffset);
            break;

        case TypeCode::vector:
        case TypeCode::primitiveArray:
            if (usesStrings())
                for (uint64_t offset = startOffset, end = startOffset + getValueDataSize(); offset < end; offset += 4)
                    callback (context, offset);

            break;

        case TypeCode::object:
            for (auto& member : content.object->members)
            {
                member.type.visitStringHandlesWith (startOffset, callback, context);
                startOffset += member.type.getValueDataSize();
            }

            break;

        case TypeCode::complexArray:
            for (auto& group : content.complexArray->groups)
            {
                auto elementSize = group.elementType.getValueDataSize();

                if (! group.elementType.usesStrings())
                {
                    startOffset += group.repetitions * elementSize;
                    continue;
                }

                for (uint32_t i = 0; i < group.repetitions; ++i, startOffset += elementSize)
                    group.elementType.visitStringHandlesWith (startOffset, callback, context);
            }

            break;

        default:
            break;
    }
}

} // namespace tunewell::value
