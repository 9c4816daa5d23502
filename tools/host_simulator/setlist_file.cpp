#include "setlist_file.h"

#include <stdexcept>

#include "json/json_parse.h"

namespace host_simulator
{

namespace
{

using tunewell::value::ValueView;

[[noreturn]] void reject (const std::string& problem)
{
    throw std::runtime_error ("setlist file: " + problem);
}

std::string stringMember (const ValueView& object, const char* name, const std::string& where)
{
    auto member = object[name];

    if (! member.isString())
        reject (where + " needs a string \"" + name + "\"");

    return std::string (member.readString());
}

tunewell::testrig::Song readSong (const ValueView& description, const std::string& where)
{
    if (! description.isObject())
        reject (where + " is not an object");

    tunewell::testrig::Song song;
    song.name = stringMember (description, "name", where);
    song.artist = stringMember (description, "artist", where);

    auto parts = description["parts"];

    if (! parts.isVoid() && ! parts.isArray())
        reject (where + ": \"parts\" is not an array");

    for (uint32_t index = 0; parts.isArray() && index < parts.size(); ++index)
    {
        if (! parts[index].isString())
            reject (where + ": part " + std::to_string (index) + " is not a string");

        song.parts.push_back ({ std::string (parts[index].readString()), "" });
    }

    if (song.parts.empty())
        song.parts.push_back ({ "Part 1", "" });

    return song;
}

Setlist readSetlist (const ValueView& description, const std::string& where)
{
    if (! description.isObject())
        reject (where + " is not an object");

    Setlist setlist { stringMember (description, "name", where), {} };
    auto songs = description["songs"];

    if (! songs.isArray())
        reject (where + " needs an array \"songs\"");

    for (uint32_t index = 0; index < songs.size(); ++index)
        setlist.songs.push_back (readSong (songs[index], where + ", song " + std::to_string (index)));

    return setlist;
}

} // namespace

std::vector<Setlist> readSetlists (const std::string& jsonText)
{
    tunewell::value::Value document;

    try
    {
        document = tunewell::json::parse (jsonText.c_str(), jsonText.size(), false);
    }
    catch (const tunewell::json::ParseError& error)
    {
        reject (std::string (error.what()) + " at line " + std::to_string (error.lineAndColumn.line) + ", column "
                + std::to_string (error.lineAndColumn.column));
    }
    catch (const std::exception& error)
    {
        reject (error.what());
    }

    // Members of anything but an object cannot be read, so any other document
    // would end in the value's own error rather than this reader's.
    auto view = document.getView();
    auto setlists = view.isObject() ? view["setlists"] : ValueView();

    if (! setlists.isArray() || setlists.size() == 0)
        reject ("needs a non-empty array \"setlists\"");

    std::vector<Setlist> result;

    for (uint32_t index = 0; index < setlists.size(); ++index)
        result.push_back (readSetlist (setlists[index], "setlist " + std::to_string (index)));

    return result;
}

} // namespace host_simulator
