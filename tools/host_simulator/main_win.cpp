// host_simulator <extension.dll> <setlist.json> [script]
//
// Commands come from the script file, or from standard input without one;
// see README.md beside this file.

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <thread>

#include "setlist_file.h"
#include "simulator_win.h"

namespace
{

bool readFile (const char* path, std::string& content)
{
    std::ifstream file (path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    content = text.str();
    return file.good() || file.eof();
}

void feedScript (host_simulator::Simulator& simulator, std::istream& input)
{
    for (std::string line; std::getline (input, line);)
        simulator.addScriptLine (line);

    simulator.endOfScript();
}

} // namespace

int main (int argumentCount, char** arguments)
{
    if (argumentCount < 3 || argumentCount > 4)
    {
        std::fprintf (stderr, "usage: host_simulator <extension.dll> <setlist.json> [script]\n");
        return 2;
    }

    std::string setlistText;

    if (! readFile (arguments[2], setlistText))
    {
        std::fprintf (stderr, "error: cannot read %s\n", arguments[2]);
        return 2;
    }

    std::vector<host_simulator::Setlist> setlists;

    try
    {
        setlists = host_simulator::readSetlists (setlistText);
    }
    catch (const std::exception& error)
    {
        std::fprintf (stderr, "error: %s\n", error.what());
        return 2;
    }

    host_simulator::Simulator simulator (arguments[1], std::move (setlists));

    if (argumentCount == 4)
    {
        std::ifstream script (arguments[3], std::ios::binary);

        if (! script)
        {
            std::fprintf (stderr, "error: cannot read %s\n", arguments[3]);
            return 2;
        }

        feedScript (simulator, script);
    }
    else
    {
        // Standard input may block for as long as a person types; the host's
        // loop must keep running meanwhile. Left running at exit, since a
        // blocked read cannot be interrupted.
        std::thread ([&simulator] { feedScript (simulator, std::cin); }).detach();
    }

    return simulator.run();
}
