#pragma once

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "json/json_escape.h"
#include "text/float_to_string.h"
#include "values/error.h"
#include "values/value.h"

namespace tunewell::json
{

/// Writes values as JSON text, pure ASCII, to any output that offers
/// put(char) and write(const char*, size) (a std::ostream, or the faster
/// StringAppender). indentSize 0 writes everything on one line; otherwise
/// nested items go on lines of their own, indented by that many spaces per
/// level.
template <typename Output>
class Writer
{
public:
    Writer (Output& output, uint32_t indent) : out (output), indentSize (indent) {}

    /// Lets errors of corrupt or dictionary-less values pass; what was written
    /// before the failing item stays written.
    void dump (const value::ValueView& view)
    {
        if (isKnownCode (view.type.getCode()))
            writeAndDeliver (view, [&] (const uint8_t* data) { dumpData (view.type, data, view.stringDictionary); });
    }

    void dumpObject (const value::ValueView& view)
    {
        writeAndDeliver (view, [&] (const uint8_t* data) { dumpObjectData (view.type, data, view.stringDictionary); });
    }

    void dumpArrayOrVector (const value::ValueView& view)
    {
        writeAndDeliver (view,
                         [&] (const uint8_t* data) { dumpArrayOrVectorData (view.type, data, view.stringDictionary); });
    }

private:
    using Type = value::Type;
    using TypeCode = value::TypeCode;
    using Dictionary = value::StringDictionary;

    /// Collects the many small pieces of the text (a brace, ", ", an
    /// escape) and hands them to the real output in blocks: one call per
    /// piece costs more than the piece. Everything collected reaches the
    /// output before a public operation returns or lets an error pass.
    class PendingText
    {
    public:
        explicit PendingText (Output& output) : target (output) {}

        void put (char c)
        {
            if (used == sizeof (pending))
                deliver();

            pending[used++] = c;
        }

        void write (const char* chars, std::size_t count)
        {
            if (count > sizeof (pending) - used)
            {
                deliver();

                if (count > sizeof (pending))
                {
                    target.write (chars, count);
                    return;
                }
            }

            std::memcpy (pending + used, chars, count);
            used += count;
        }

        /// Room for count characters, at most the whole buffer, to be written
        /// in place and then kept with `commit`.
        char* reserve (std::size_t count)
        {
            if (count > sizeof (pending) - used)
                deliver();

            return pending + used;
        }

        void commit (const char* endOfWritten) { used = static_cast<std::size_t> (endOfWritten - pending); }

        void deliver()
        {
            if (used != 0)
                target.write (pending, used);

            used = 0;
        }

    private:
        Output& target;
        std::size_t used = 0;
        char pending[1024];
    };

    PendingText out;
    uint32_t indentSize;
    uint32_t currentIndent = 0;

    template <typename Writing>
    void writeAndDeliver (const value::ValueView& view, Writing&& writing)
    {
        try
        {
            // A hand-built view may have no data: it is written as the zeros
            // that reading it gives, since the walk below cannot step
            // through a null pointer.
            if (view.data != nullptr)
                writing (static_cast<const uint8_t*> (view.data));
            else
                writing (std::vector<uint8_t> (static_cast<std::size_t> (view.type.getValueDataSize())).data());
        }
        catch (...)
        {
            out.deliver();
            throw;
        }

        out.deliver();
    }

    static bool isKnownCode (TypeCode code)
    {
        return isScalarCode (code) || code == TypeCode::vector || code == TypeCode::primitiveArray
            || code == TypeCode::object || code == TypeCode::complexArray;
    }

    template <typename Number>
    static Number readAt (const uint8_t* data)
    {
        // Packed data has no alignment.
        Number n;
        std::memcpy (&n, data, sizeof (n));
        return n;
    }

    void writeText (std::string_view text) { out.write (text.data(), text.size()); }

    // Values are walked over their type and bytes rather than through
    // element views, which would copy each element's type and rescan its
    // container for every index. Each step returns the end of the data it
    // wrote, which is where the next sibling's data starts.
    const uint8_t* dumpData (const Type& type, const uint8_t* data, const Dictionary* dictionary)
    {
        switch (type.getCode())
        {
            case TypeCode::void_:
                writeText ("null");
                return data;
            case TypeCode::int32:
                writeInteger (readAt<int32_t> (data));
                return data + scalarDataSize (TypeCode::int32);
            case TypeCode::int64:
                writeInteger (readAt<int64_t> (data));
                return data + scalarDataSize (TypeCode::int64);
            case TypeCode::float32:
                writeFloat (readAt<float> (data));
                return data + scalarDataSize (TypeCode::float32);
            case TypeCode::float64:
                writeFloat (readAt<double> (data));
                return data + scalarDataSize (TypeCode::float64);
            case TypeCode::boolean:
                writeText (readAt<uint32_t> (data) != 0 ? "true" : "false");
                return data + scalarDataSize (TypeCode::boolean);
            case TypeCode::string:
                writeString (readAt<uint32_t> (data), dictionary);
                return data + scalarDataSize (TypeCode::string);
            case TypeCode::object:
                return dumpObjectData (type, data, dictionary);
            case TypeCode::vector:
            case TypeCode::primitiveArray:
            case TypeCode::complexArray:
                return dumpArrayOrVectorData (type, data, dictionary);
            default:
                return data + type.getValueDataSize();
        }
    }

    void writeInteger (int64_t n)
    {
        constexpr std::size_t longest = 20; // "-9223372036854775808"
        auto* place = out.reserve (longest);
        out.commit (std::to_chars (place, place + longest, n).ptr);
    }

    void writeFloat (double n)
    {
        // Words in quotes keep the output valid JSON, which has no such numbers.
        if (std::isnan (n))
            writeText ("\"NaN\"");
        else if (std::isinf (n))
            writeText (n > 0 ? "\"Infinity\"" : "\"-Infinity\"");
        else
            out.commit (text::FloatToStringBuffer<double>::writeAndGetEnd (out.reserve (25), n, -1, true));
    }

    void writeString (uint32_t handle, const Dictionary* dictionary)
    {
        if (dictionary == nullptr)
            throw value::Error ("No string dictionary supplied");

        writeEscapedQuotedString (out, dictionary->getStringForHandle ({ handle }));
    }

    const uint8_t* dumpObjectData (const Type& type, const uint8_t* data, const Dictionary* dictionary)
    {
        if (! type.isObject())
            throw value::Error ("This type is not an object");

        const auto& members = type.getObject().members;
        out.put ('{');

        for (uint32_t i = 0; i < members.size; ++i)
        {
            if (i == 0)
                startItems();
            else
                writeSeparator();

            writeEscapedQuotedString (out, members[i].name.view());
            writeText (": ");
            data = dumpData (members[i].type, data, dictionary);
        }

        if (members.size != 0)
            endItems();

        out.put ('}');
        return data;
    }

    const uint8_t* dumpArrayOrVectorData (const Type& type, const uint8_t* data, const Dictionary* dictionary)
    {
        out.put ('[');
        uint32_t itemsWritten = 0;

        switch (type.getCode())
        {
            case TypeCode::vector:
                data = dumpRepeated (Type (type.getVector().elementCode), type.getVector().numElements, data,
                                     dictionary, itemsWritten);
                break;
            case TypeCode::primitiveArray:
                data = dumpRepeated (type.getPrimitiveArray().getElementType(), type.getPrimitiveArray().numElements,
                                     data, dictionary, itemsWritten);
                break;
            case TypeCode::complexArray:
                for (auto& group : type.getComplexArray().groups)
                    data = dumpRepeated (group.elementType, group.repetitions, data, dictionary, itemsWritten);
                break;
            default:
                throw value::Error ("Invalid type");
        }

        if (itemsWritten != 0)
            endItems();

        out.put (']');
        return data;
    }

    const uint8_t* dumpRepeated (const Type& elementType, uint32_t count, const uint8_t* data,
                                 const Dictionary* dictionary, uint32_t& itemsWritten)
    {
        for (uint32_t i = 0; i < count; ++i)
        {
            if (itemsWritten++ == 0)
                startItems();
            else
                writeSeparator();

            data = dumpData (elementType, data, dictionary);
        }

        return data;
    }

    void startItems()
    {
        if (indentSize != 0)
            startIndent();
    }

    void endItems()
    {
        if (indentSize != 0)
            endIndent();
    }

    void writeSeparator()
    {
        if (indentSize == 0)
        {
            writeText (", ");
        }
        else
        {
            out.put (',');
            writeLineBreakAndIndent();
        }
    }

    void startIndent()
    {
        currentIndent += indentSize;
        writeLineBreakAndIndent();
    }

    void endIndent()
    {
        currentIndent -= indentSize;
        writeLineBreakAndIndent();
    }

    void writeLineBreakAndIndent()
    {
        static constexpr char spaces[] = "                                                                ";
        constexpr uint32_t spacesPerWrite = sizeof (spaces) - 1;

        out.put ('\n');

        for (auto remaining = currentIndent; remaining != 0;)
        {
            auto count = remaining < spacesPerWrite ? remaining : spacesPerWrite;
            out.write (spaces, count);
            remaining -= count;
        }
    }
};

/// Writes one value; with line breaks it is indented by two spaces a level.
template <typename Output>
void writeAsJSON (Output& out, const value::ValueView& view, bool useLineBreaks)
{
    Writer<Output> (out, useLineBreaks ? 2 : 0).dump (view);
}

} // namespace tunewell::json
