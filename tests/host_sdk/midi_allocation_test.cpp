// A message whose heap array cannot be allocated. This program replaces the
// array forms of operator new and delete, so it runs apart from the others.

#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host_sdk/midi_message.h"

namespace
{
bool failNextArrayAllocation = false;

void* allocateArray (std::size_t size)
{
    if (failNextArrayAllocation)
    {
        failNextArrayAllocation = false;
        return nullptr;
    }

    return std::malloc (size != 0 ? size : 1);
}
} // namespace

void* operator new[] (std::size_t size)
{
    if (auto* memory = allocateArray (size))
        return memory;

    throw std::bad_alloc();
}

void* operator new[] (std::size_t size, const std::nothrow_t&) noexcept
{
    return allocateArray (size);
}
void operator delete[] (void* memory) noexcept
{
    std::free (memory);
}
void operator delete[] (void* memory, std::size_t) noexcept
{
    std::free (memory);
}
void operator delete[] (void* memory, const std::nothrow_t&) noexcept
{
    std::free (memory);
}

namespace
{
using vantor::sdk::VantorMidiMessage;

std::vector<int> bytesOf (const VantorMidiMessage& message)
{
    return std::vector<int> (message.getData(), message.getData() + message.getLength());
}

TEST (MidiMessageAllocation, AFailedAssignmentLeavesAnEmptyMessageThatLivesOn)
{
    const std::string bytes (20, '\x42');
    const VantorMidiMessage longMessage (bytes.data(), static_cast<int> (bytes.size()));

    for (auto target : { VantorMidiMessage::makeNoteOnMessage (60, 100, 0),
                         VantorMidiMessage::makeSysexMessage (std::string (12, '\x11')) })
    {
        failNextArrayAllocation = true;
        EXPECT_THROW (target = longMessage, std::bad_alloc);
        EXPECT_EQ (target.getLength(), 0);
        EXPECT_FALSE (target.isSysexMessage());

        target = longMessage;
        EXPECT_EQ (bytesOf (target), std::vector<int> (20, 0x42));
    }
}
} // namespace
