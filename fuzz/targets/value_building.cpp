// The input is a little program that builds values on a stack: scalars,
// strings, arrays and objects, nested by adding one value into another.
// Beside every value a plain tree records what was built; reading the value
// back through every accessor must give that tree, after copies, moves, a
// change of dictionary and a trip through JSON as well. Calls that the value
// refuses must fail with value::Error and leave it as it was.

#include <cmath>
#include <cstring>
#include <limits>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "fuzz_check.h"
#include "fuzz_targets.h"
#include "json/json_parse.h"
#include "json/json_writer.h"
#include "strict_utf8.h"
#include "json/string_appender.h"
#include "values/value.h"

namespace tunewell::fuzzing
{

namespace
{

constexpr const char* target = "value_building";
constexpr std::size_t maximumStackDepth = 16;
// A copy of the top followed by an addition doubles it for two bytes of
// input, so an input of a hundred bytes could describe a million nodes, each
// check then taking seconds. Copies stop once the stack holds this many.
constexpr std::size_t maximumNodesForACopy = 512;
// A check costs time in proportion to the value it reads, and one byte asks
// for another check of the same value, so a hundred bytes could ask for a
// hundred checks of the largest value. Checks along the way stop once they
// have read this many nodes; the final checks of the stack always run.
constexpr std::size_t maximumNodesCheckedAlongTheWay = 8192;

struct Node
{
    enum class Kind
    {
        integer,
        real,
        boolean,
        string,
        array,
        object
    };

    Kind kind = Kind::integer;
    int64_t integer = 0;
    double real = 0;
    bool flag = false;
    std::string text;                                // string content or class name
    std::vector<std::pair<std::string, Node>> items; // names are empty in arrays
};

std::size_t countNodes (const Node& node)
{
    std::size_t count = 1;

    for (auto& item : node.items)
        count += countNodes (item.second);

    return count;
}

struct Built
{
    value::Value value;
    Node model;
};

void check (bool holds, const std::string& what)
{
    fuzzCheck (holds, target, what);
}

/// Runs a call whose outcome is not promised either way: it may answer or
/// fail with value::Error, nothing else.
template <typename Call>
void probe (Call&& call, const char* what)
{
    try
    {
        call();
    }
    catch (const value::Error&)
    {
    }
    catch (const std::exception& e)
    {
        failFuzzCheck (target, std::string (what) + " threw " + e.what());
    }
}

template <typename Call>
void expectError (Call&& call, const char* what)
{
    try
    {
        call();
    }
    catch (const value::Error&)
    {
        return;
    }
    catch (const std::exception& e)
    {
        failFuzzCheck (target, std::string (what) + " threw " + e.what());
    }

    failFuzzCheck (target, std::string (what) + " was accepted");
}

std::string printable (std::string_view text)
{
    std::string shown;

    for (unsigned char c : text)
        shown += (c >= 0x20 && c < 0x7f) ? std::string (1, static_cast<char> (c)) : "\\x" + std::to_string (c);

    return "\"" + shown + "\"";
}

bool sameReal (double a, double b)
{
    return std::memcmp (&a, &b, sizeof (a)) == 0;
}

void probeAccessors (const value::ValueView& view)
{
    probe ([&] { (void)view.get<int64_t>(); }, "get<int64_t>");
    probe ([&] { (void)view.get<double>(); }, "get<double>");
    (void)view.getWithDefault<int64_t> (7);
    (void)view.getWithDefault<double> (0.5);
    probe ([&] { (void)view.size(); }, "size");
    probe ([&] { (void)view["missing member"]; }, "a missing member");
}

void checkAgainstModel (const value::ValueView& view, const Node& node)
{
    probeAccessors (view);

    switch (node.kind)
    {
        case Node::Kind::integer:
            check (view.isInt64() && view.readInt64() == node.integer && view.get<int64_t>() == node.integer,
                   "an integer reads back differently");
            expectError ([&] { (void)view.readString(); }, "readString of an integer");
            return;
        case Node::Kind::real:
            check (view.isFloat64() && sameReal (view.readContentAs<double>(), node.real),
                   "a double reads back differently");
            expectError ([&] { (void)view.readInt64(); }, "readInt64 of a double");
            return;
        case Node::Kind::boolean:
            check (view.isBool() && view.readContentAs<bool>() == node.flag, "a bool reads back differently");
            return;
        case Node::Kind::string:
            check (view.isString(), "a string is no longer a string");
            check (view.readString() == node.text, "a string reads back differently: " + printable (view.readString())
                                                       + " for " + printable (node.text));
            expectError ([&] { (void)view.readInt64(); }, "readInt64 of a string");
            return;
        case Node::Kind::array:
            check (view.isArray() && view.size() == node.items.size(), "an array has another size");

            for (uint32_t i = 0; i < node.items.size(); ++i)
                checkAgainstModel (view[i], node.items[i].second);

            expectError ([&] { (void)view[static_cast<uint32_t> (node.items.size())]; }, "an index past the end");
            return;
        case Node::Kind::object:
            check (view.isObject() && view.size() == node.items.size(), "an object has another member count");
            check (view.getType().getObjectClassName() == node.text, "the class name changed");

            for (uint32_t i = 0; i < node.items.size(); ++i)
            {
                auto member = view.memberAt (i);
                // memberAt hands out a C string, which ends at a name's first zero byte.
                const auto& name = node.items[i].first;
                check (member.name == name.substr (0, name.find ('\0')), "a member name changed");
                checkAgainstModel (member.value, node.items[i].second);
                // The look-up by name must find that same member. Checked
                // against the model a second time, each level of nesting
                // would double the work, and a chain of thirty objects would
                // take hours.
                const auto byName = view[name];
                check (byName.getRawData() == member.value.getRawData() && byName.getType() == member.value.getType(),
                       "a member found by name is another member");
            }

            expectError ([&] { (void)view.memberAt (static_cast<uint32_t> (node.items.size())); },
                         "a member past the end");
            return;
    }
}

std::string compactJSON (const value::ValueView& view)
{
    std::string text;
    json::StringAppender out (text);
    json::writeAsJSON (out, view, false);
    return text;
}

bool isValidUTF8 (const std::string& text)
{
    return testrig::isStrictUtf8 (text);
}

bool hasOnlyValidUTF8 (const Node& node)
{
    if (! isValidUTF8 (node.text))
        return false;

    for (auto& [name, item] : node.items)
        if (! isValidUTF8 (name) || ! hasOnlyValidUTF8 (item))
            return false;

    return true;
}

/// Whether JSON reads every integer back as an integer: the dialect reads
/// the digits without their sign and takes a magnitude that reaches the
/// largest int64 for an overflow, reading a float64. That is the largest
/// int64, its negation and the smallest int64.
bool hasIntegersThatJSONKeeps (const Node& node)
{
    if (node.kind == Node::Kind::integer
        && (node.integer == std::numeric_limits<int64_t>::max()
            || node.integer <= -std::numeric_limits<int64_t>::max()))
        return false;

    for (auto& [name, item] : node.items)
        if (! hasIntegersThatJSONKeeps (item))
            return false;

    return true;
}

/// Whether JSON can carry the member names: the writer ends a name at its
/// first zero byte, and the dialect refuses empty and repeated names.
bool hasNamesThatJSONCanCarry (const Node& node)
{
    std::set<std::string> names;

    for (auto& [name, item] : node.items)
    {
        if (node.kind == Node::Kind::object)
        {
            auto written = name.substr (0, name.find ('\0'));

            if (written.empty() || ! names.insert (written).second)
                return false;
        }

        if (! hasNamesThatJSONCanCarry (item))
            return false;
    }

    return true;
}

void checkCopies (const Built& built)
{
    value::Value copy (built.value);
    checkAgainstModel (copy, built.model);

    value::Value assigned;
    assigned = copy;
    value::Value moved (std::move (copy));
    checkAgainstModel (assigned, built.model);
    checkAgainstModel (moved, built.model);

    // The same bytes read through a dictionary of their own.
    auto bytes = built.value.getRawData();
    value::SimpleStringDictionary otherDictionary;
    value::SimpleStringDictionary oldDictionary = built.value.getDictionary();
    value::ValueView rehomed (built.value.getType(), bytes.empty() ? nullptr : bytes.data(), &otherDictionary);
    rehomed.updateStringHandles (oldDictionary, otherDictionary);
    checkAgainstModel (rehomed, built.model);

    const auto text = compactJSON (built.value);

    // Names and strings that JSON carries as they are must come back
    // exactly. Malformed UTF-8 is written as whatever code points it seems
    // to hold, and names that the dialect refuses fail to parse; either way
    // the outcome is defined, and text that parses writes stably.
    const bool exact = hasNamesThatJSONCanCarry (built.model) && hasOnlyValidUTF8 (built.model)
                    && hasIntegersThatJSONKeeps (built.model);
    std::string rewritten;

    try
    {
        rewritten = compactJSON (json::parse (text.c_str(), text.size(), true));
    }
    catch (const std::exception& e)
    {
        check (! exact
                   && (dynamic_cast<const json::ParseError*> (&e) != nullptr
                       || dynamic_cast<const value::Error*> (&e) != nullptr),
               "the JSON of a built value does not parse: " + text + ": " + e.what());
        return;
    }

    check (rewritten == text || ! exact,
           "the JSON of a built value reads back as other JSON: " + text + " " + rewritten);
    check (compactJSON (json::parse (rewritten.c_str(), rewritten.size(), true)) == rewritten,
           "re-written JSON of a built value is not stable: " + rewritten);
}

Built scalarFrom (FuzzInput& input, unsigned char op)
{
    Built built;

    switch (op)
    {
        case 0:
            built.model.integer = input.integer<int64_t>();
            built.value = value::Value (built.model.integer);
            break;
        case 1:
            built.model.integer = input.integer<int32_t>();
            built.value = value::Value (static_cast<int> (built.model.integer));
            break;
        case 2:
            built.model.kind = Node::Kind::real;
            built.model.real = input.integer<int64_t>() / 1024.0;
            built.value = value::Value (built.model.real);
            break;
        case 3:
            built.model.kind = Node::Kind::boolean;
            built.model.flag = (input.byte() & 1) != 0;
            built.value = value::Value::makeBool (built.model.flag);
            break;
        case 4:
        {
            built.model.kind = Node::Kind::string;
            const auto text = input.text (40);
            built.value = value::Value (std::string_view (text));
            // The dictionary keeps zero-terminated texts, so a string ends at
            // its first zero byte.
            built.model.text = text.substr (0, text.find ('\0'));
            break;
        }
        case 5:
            built.model.kind = Node::Kind::array;
            built.value = value::Value::makeEmptyArray();
            break;
        default:
            built.model.kind = Node::Kind::object;
            built.model.text = input.text (12);
            built.value = value::Value::makeObject (built.model.text);
            break;
    }

    return built;
}

bool hasMember (const Node& object, const std::string& name)
{
    for (auto& item : object.items)
        if (item.first == name)
            return true;

    return false;
}

void addIntoNext (std::vector<Built>& stack, FuzzInput& input, bool asMember)
{
    auto element = std::move (stack.back());
    stack.pop_back();
    auto& container = stack.back();
    const auto before = compactJSON (container.value);
    const auto name = asMember ? input.text (12) : std::string();

    const bool accepted = asMember ? container.model.kind == Node::Kind::object && ! hasMember (container.model, name)
                                   : container.model.kind == Node::Kind::array;

    if (! accepted)
    {
        if (asMember)
            expectError ([&] { container.value.addMember (name, element.value); },
                         "addMember on a non-object or a taken name");
        else
            expectError ([&] { container.value.addArrayElement (element.value); }, "addArrayElement on a non-array");

        check (compactJSON (container.value) == before, "a refused addition changed the value");
        checkAgainstModel (container.value, container.model);
        return;
    }

    if (asMember)
        container.value.addMember (name, std::move (element.value));
    else
        container.value.addArrayElement (std::move (element.value));

    container.model.items.emplace_back (name, std::move (element.model));
}

std::size_t countNodesOnStack (const std::vector<Built>& stack)
{
    std::size_t count = 0;

    for (auto& built : stack)
        count += countNodes (built.model);

    return count;
}

/// Whether a check of built along the way stays within the budget, which it then uses.
bool mayCheck (const Built& built, std::size_t& checkedNodes)
{
    checkedNodes += countNodes (built.model);
    return checkedNodes <= maximumNodesCheckedAlongTheWay;
}

} // namespace

int fuzzValueBuilding (const std::uint8_t* data, std::size_t size)
{
    FuzzInput input (data, size);
    std::vector<Built> stack;
    std::size_t checkedNodes = 0;

    while (! input.empty())
    {
        const unsigned char op = input.byte() % 12;

        if (op <= 6)
        {
            if (stack.size() < maximumStackDepth)
                stack.push_back (scalarFrom (input, op));
        }
        else if (stack.size() >= 2 && (op == 7 || op == 8))
        {
            addIntoNext (stack, input, op == 8);
        }
        else if (! stack.empty() && op == 9 && mayCheck (stack.back(), checkedNodes))
        {
            checkAgainstModel (stack.back().value, stack.back().model);
        }
        else if (! stack.empty() && op == 10 && stack.size() < maximumStackDepth
                 && countNodesOnStack (stack) + countNodes (stack.back().model) <= maximumNodesForACopy)
        {
            stack.push_back (stack.back());
        }
        else if (! stack.empty() && op == 11 && mayCheck (stack.back(), checkedNodes))
        {
            checkCopies (stack.back());
        }
    }

    for (auto& built : stack)
        checkCopies (built);

    return 0;
}

} // namespace tunewell::fuzzing
