#include "host_sdk/midi_message.h"

#include <cstdint>
#include <cstring>

#include "host_sdk/vantor_utils.h"

namespace vantor::sdk
{

VantorMidiMessage::VantorMidiMessage()
{
    fillStorage();
}

VantorMidiMessage::VantorMidiMessage (const char* bytes, int byteCount)
{
    fillStorage();

    if (bytes != nullptr && byteCount > 0)
        std::memcpy (createSpaceForMessage (byteCount), bytes, static_cast<size_t> (byteCount));
}

VantorMidiMessage::VantorMidiMessage (const std::string& hexText)
{
    fillStorage();
    auto bytes = VantorUtils::hex2binaryString (hexText);

    if (! bytes.empty())
        std::memcpy (createSpaceForMessage (static_cast<int> (bytes.size())), bytes.data(), bytes.size());
}

VantorMidiMessage::VantorMidiMessage (const VantorMidiMessage& other)
{
    fillStorage();
    copyFrom (other);
}

VantorMidiMessage& VantorMidiMessage::operator= (const VantorMidiMessage& other)
{
    if (this != &other)
    {
        deleteIfLongMessage();
        fillStorage();
        length = 0;
        copyFrom (other);
    }

    return *this;
}

VantorMidiMessage::~VantorMidiMessage()
{
    deleteIfLongMessage();
}

const unsigned char* VantorMidiMessage::getData() const
{
    return isLongMessage() ? storage.onHeap : storage.inPlace;
}

unsigned char* VantorMidiMessage::getWritableData()
{
    return isLongMessage() ? storage.onHeap : storage.inPlace;
}

bool VantorMidiMessage::isSysexMessage() const
{
    if (length <= 0)
        return false;

    auto* bytes = getData();
    return bytes[0] == 0xF0 && bytes[length - 1] == 0xF7;
}

void VantorMidiMessage::setValue (int position, unsigned char value)
{
    if (isSysexMessage() && position > 0 && position < length)
        getWritableData()[position] = value;
}

void VantorMidiMessage::setValue (int position, unsigned short value)
{
    if (isSysexMessage() && position > 0 && position < length - 1)
    {
        auto* bytes = getWritableData();
        bytes[position] = static_cast<unsigned char> (value & 0x7F);
        bytes[position + 1] = static_cast<unsigned char> ((value >> 7) & 0x7F);
    }
}

VantorMidiMessage VantorMidiMessage::makeChannelMessage (int status, int channel, int dataCount, int first, int second)
{
    VantorMidiMessage message;
    auto* bytes = message.createSpaceForMessage (1 + dataCount);
    bytes[0] = static_cast<unsigned char> (status | (channel & 0x0F));
    bytes[1] = static_cast<unsigned char> (first & 0x7F);

    if (dataCount > 1)
        bytes[2] = static_cast<unsigned char> (second & 0x7F);

    return message;
}

VantorMidiMessage VantorMidiMessage::makeNoteOffMessage (int note, int velocity, int channel)
{
    return makeChannelMessage (0x80, channel, 2, note, velocity);
}

VantorMidiMessage VantorMidiMessage::makeNoteOnMessage (int note, int velocity, int channel)
{
    return makeChannelMessage (0x90, channel, 2, note, velocity);
}

VantorMidiMessage VantorMidiMessage::makePolytouchMessage (int note, int pressure, int channel)
{
    return makeChannelMessage (0xA0, channel, 2, note, pressure);
}

VantorMidiMessage VantorMidiMessage::makeControlChangeMessage (int controller, int value, int channel)
{
    return makeChannelMessage (0xB0, channel, 2, controller, value);
}

VantorMidiMessage VantorMidiMessage::makeProgramChangeMessage (int program, int channel)
{
    return makeChannelMessage (0xC0, channel, 1, program, 0);
}

VantorMidiMessage VantorMidiMessage::makeAftertouchMessage (int pressure, int channel)
{
    return makeChannelMessage (0xD0, channel, 1, pressure, 0);
}

VantorMidiMessage VantorMidiMessage::makePitchbendMessage (int value, int channel)
{
    // MIDI 1.0 sends the least significant seven bits first.
    return makeChannelMessage (0xE0, channel, 2, value, value >> 7);
}

VantorMidiMessage VantorMidiMessage::makeSysexMessage (const std::string& bytes)
{
    return VantorMidiMessage (bytes.data(), static_cast<int> (bytes.size()));
}

void VantorMidiMessage::fillStorage()
{
    // The fill value only marks unused bytes; nothing reads past length.
    const uint64_t fill = 0x12345678;
    std::memcpy (storage.inPlace, &fill, sizeof (fill));
}

unsigned char* VantorMidiMessage::createSpaceForMessage (int newLength)
{
    if (static_cast<unsigned> (newLength) <= maxInPlaceLength)
    {
        length = newLength;
        return storage.inPlace;
    }

    // The length changes only once the array exists: after a failed
    // allocation the message must still read, and release, as empty.
    storage.onHeap = new unsigned char[static_cast<size_t> (newLength)];
    length = newLength;
    return storage.onHeap;
}

void VantorMidiMessage::deleteIfLongMessage()
{
    if (isLongMessage())
    {
        delete[] storage.onHeap;
        storage.onHeap = nullptr;
        length = 0;
    }
}

void VantorMidiMessage::copyFrom (const VantorMidiMessage& other)
{
    if (other.length > 0)
        std::memcpy (createSpaceForMessage (other.length), other.getData(), static_cast<size_t> (other.length));
}

} // namespace vantor::sdk
