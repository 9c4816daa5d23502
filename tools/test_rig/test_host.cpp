#include "test_host.h"

#include <algorithm>

namespace tunewell::testrig
{

void TestHost::record (const char* function, std::vector<std::string> arguments)
{
    calls.push_back ({ function, std::move (arguments) });

    // A copy: the hook may lead to further calls that grow the log.
    if (onCall)
    {
        auto call = calls.back();
        onCall (call);
    }
}

std::vector<HostCall> TestHost::callsTo (const std::string& function) const
{
    std::vector<HostCall> matching;
    std::copy_if (calls.begin(), calls.end(), std::back_inserter (matching),
                  [&] (const HostCall& call) { return call.function == function; });
    return matching;
}

int TestHost::countCallsTo (const std::string& function) const
{
    return static_cast<int> (
        std::count_if (calls.begin(), calls.end(), [&] (const HostCall& call) { return call.function == function; }));
}

} // namespace tunewell::testrig
