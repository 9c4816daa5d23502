#include "control_state.h"

#include <algorithm>
#include <cstdio>

namespace tunewell::standin
{

void ControlState::reset()
{
    plan = {};
    behaviour = baseline;
    behaviour.browserGeneration = ++baseline.browserGeneration;
    browserStarts = 0;
    runningBrowsers = 0;
    droppedHoldTickets = lastHoldTicket;
    entries.clear();
    documents.clear();
    permissions.clear();
    resources.clear();
}

void ControlState::takeBrowserProcessPlan (const char* text)
{
    int values[3] {};
    if (text == nullptr || std::sscanf (text, "%d,%d,%d", &values[0], &values[1], &values[2]) < 2)
        return;

    baseline.coldStartMilliseconds = std::max (values[0], 0);
    baseline.attachMilliseconds = std::max (values[1], 0);
    baseline.exitMilliseconds = std::max (values[2], 0);
    behaviour = baseline;
}

StandinCreationPlan ControlState::currentPlan() const
{
    auto current = plan;
    current.answeredTickets = answeredHoldTickets;
    current.droppedTickets = droppedHoldTickets;
    return current;
}

void ControlState::record (std::wstring operation, std::wstring text)
{
    entries.push_back ({ std::move (operation), std::move (text) });
}

int ControlState::attachView (const StandinViewSink& sink)
{
    views.push_back ({ ++lastViewId, sink });
    return lastViewId;
}

void ControlState::detachView (int viewId)
{
    views.erase (std::remove_if (views.begin(), views.end(), [viewId] (const View& v) { return v.id == viewId; }),
                 views.end());
}

std::optional<StandinViewSink> ControlState::currentSink() const
{
    if (views.empty())
        return std::nullopt;

    return views.back().sink;
}

std::vector<StandinViewSink> ControlState::allSinks() const
{
    std::vector<StandinViewSink> sinks;
    for (const auto& view : views)
        sinks.push_back (view.sink);

    return sinks;
}

std::optional<StandinViewSink> ControlState::sinkOf (int viewId) const
{
    for (const auto& view : views)
        if (view.id == viewId)
            return view.sink;

    return std::nullopt;
}

void ControlState::beginDocument (int viewId, std::wstring source, std::wstring html)
{
    auto& document = documents[viewId];
    document.count++;
    document.source = std::move (source);
    document.html = std::move (html);
    document.scripts.clear();
}

void ControlState::scriptRan (int viewId, std::wstring script)
{
    documents[viewId].scripts.push_back (std::move (script));
}

const ControlState::Document& ControlState::currentDocument() const
{
    static const Document none;

    if (views.empty())
        return none;

    auto found = documents.find (views.back().id);
    return found != documents.end() ? found->second : none;
}

void ControlState::permissionAnswered (int requestId, const StandinPermissionOutcome& outcome)
{
    auto found = permissions.find (requestId);
    if (found != permissions.end())
        found->second = outcome;
}

void ControlState::resourceAnswered (int requestId, ResourceAnswer answer)
{
    auto found = resources.find (requestId);
    if (found != resources.end())
        found->second = std::move (answer);
}

const StandinPermissionOutcome* ControlState::permission (int requestId) const
{
    auto found = permissions.find (requestId);
    return found != permissions.end() ? &found->second : nullptr;
}

const ControlState::ResourceAnswer* ControlState::resource (int requestId) const
{
    auto found = resources.find (requestId);
    return found != resources.end() ? &found->second : nullptr;
}

} // namespace tunewell::standin
