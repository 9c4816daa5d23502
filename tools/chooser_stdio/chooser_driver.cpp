#include "chooser_driver.h"

#include <stdexcept>
#include <string>

#include "extension/lib_main.h"
#include "host_sdk/entry_points.h"
#include "host_sdk/vantor_api.h"
#include "recording_browser.h"
#include "strict_utf8.h"

namespace chooser_stdio
{

namespace
{

using tunewell::value::ValueView;

std::string stringField (const ValueView& command, const char* name)
{
    auto field = command[name];
    if (! field.isString())
        throw std::invalid_argument (std::string ("\"") + name + "\" must be a string");
    return std::string (field.readString());
}

int indexField (const ValueView& command, const char* name)
{
    auto field = command[name];
    if (! field.isInt())
        throw std::invalid_argument (std::string ("\"") + name + "\" must be an integer");
    return static_cast<int> (field.readInt64());
}

tunewell::testrig::Song songFrom (const ValueView& description)
{
    tunewell::testrig::Song song;
    song.name = stringField (description, "name");
    song.artist = stringField (description, "artist");
    song.parts = { { "Part 1", "" } };
    return song;
}

// "Vantor_SwitchToSong" is reported as "switchToSong", the name the
// extension's own code uses for it.
std::string reportedName (const std::string& hostFunction)
{
    std::string name = hostFunction.rfind ("Vantor_", 0) == 0 ? hostFunction.substr (7) : hostFunction;
    if (! name.empty() && name[0] >= 'A' && name[0] <= 'Z')
        name[0] = static_cast<char> (name[0] - 'A' + 'a');
    return name;
}

} // namespace

ChooserDriver::ChooserDriver (EventWriter& eventWriter) : events (eventWriter)
{
    VantorRegister (&tunewell::testrig::TestHost::lookup, host.handle());
}

ChooserDriver::~ChooserDriver()
{
    OnClose();
}

void ChooserDriver::run (const ValueView& command)
{
    auto name = stringField (command, "command");

    if (name == "loadSetlist")
        loadSetlist (command);
    else if (name == "renameSong")
        renameSong (command);
    else if (name == "addSong")
        addSong (command);
    else if (name == "show")
        show();
    else if (name == "setlistChanged")
        reportSetlistChange();
    else if (name == "webMessage")
        deliverPageMessage (command);
    else
        throw std::invalid_argument ("unknown command \"" + name + "\"");
}

void ChooserDriver::reportHostCalls()
{
    for (; reportedCalls < host.calls.size(); ++reportedCalls)
    {
        auto& call = host.calls[reportedCalls];
        auto arguments = tunewell::value::Value::makeEmptyArray();
        for (auto& argument : call.arguments)
            arguments.addArrayElement (tunewell::value::Value (argument));

        auto event = makeEvent ("hostCall");
        event.addMember ("name", tunewell::value::Value (reportedName (call.function)));
        event.addMember ("args", std::move (arguments));
        events.write (event);
    }
}

void ChooserDriver::loadSetlist (const ValueView& command)
{
    auto songs = command["songs"];
    if (! songs.isArrayOrVector())
        throw std::invalid_argument ("\"songs\" must be an array");

    host.songs.clear();
    for (uint32_t i = 0; i < songs.size(); ++i)
        host.songs.push_back (songFrom (songs[i]));
}

void ChooserDriver::renameSong (const ValueView& command)
{
    auto index = indexField (command, "index");
    if (index < 0 || static_cast<size_t> (index) >= host.songs.size())
        throw std::out_of_range ("no song " + std::to_string (index));
    host.songs[static_cast<size_t> (index)].name = stringField (command, "name");
    host.songs[static_cast<size_t> (index)].artist = stringField (command, "artist");
}

void ChooserDriver::addSong (const ValueView& command)
{
    host.songs.push_back (songFrom (command));
}

void ChooserDriver::show()
{
    // The menu entry asks the host for the setlist view; the host's report
    // that it is in setlist mode is what opens the chooser.
    InvokeMenu (0);
    host.setlistMode = true;
    OnModeChanged (1);
}

void ChooserDriver::reportSetlistChange()
{
    OnSetlistChanged ("Setlist");

    // The native build's showing opens no window, and the extension refreshes
    // only a page that has a window; so the refresh that the window would
    // have got is run here, through the extension's own refresh.
    auto* extension = dynamic_cast<LibMain*> (vantor::sdk::extensionInstance);
    if (extension != nullptr && extension->getChooserWindow() == nullptr && extension->getChooserView() != nullptr)
        extension->refreshChooserPage (*extension->getChooserView());
}

void ChooserDriver::deliverPageMessage (const ValueView& command)
{
    auto text = stringField (command, "text");
    auto* browser = tunewell::testrig::RecordingBrowser::current();
    if (browser == nullptr)
        throw std::logic_error ("no page is shown");

    // The real browser hands over page messages through a strict conversion
    // from UTF-16, which turns invalid UTF-8 into an empty text.
    browser->postWebMessage (tunewell::testrig::isStrictUtf8 (text) ? text : std::string());
}

} // namespace chooser_stdio
