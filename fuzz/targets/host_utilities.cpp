// The host interface's byte helpers under input of any kind: hex decoding
// against a reference decoder, MIDI messages of any length built, copied,
// assigned and written into, and the copy into a host's buffer of any size.
// ASan watches every byte that is read or written.

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "fuzz_targets.h"
#include "host_sdk/host_strings.h"
#include "host_sdk/midi_message.h"
#include "host_sdk/vantor_utils.h"

namespace tunewell::fuzzing
{

namespace
{

using vantor::sdk::VantorMidiMessage;
using vantor::sdk::VantorUtils;

constexpr const char* target = "host_utilities";

void check (bool holds, const std::string& what)
{
    fuzzCheck (holds, target, what);
}

int digitValue (char c)
{
    const std::string digits = "0123456789abcdef";
    auto lower = (c >= 'A' && c <= 'F') ? static_cast<char> (c - 'A' + 'a') : c;
    auto found = digits.find (lower);
    return c != 0 && found != std::string::npos ? static_cast<int> (found) : 0;
}

/// Decodes pairs up to the first zero byte of text with its spaces removed.
std::string referenceHexDecode (const std::string& text)
{
    std::string digits;

    for (char c : text)
        if (c != ' ')
            digits += c;

    std::string bytes (digits.size() / 2, '\0');
    const auto untilZero = digits.substr (0, digits.find ('\0'));

    for (std::size_t i = 0; i + 1 < untilZero.size(); i += 2)
        bytes[i / 2] = static_cast<char> (digitValue (untilZero[i]) * 16 + digitValue (untilZero[i + 1]));

    return bytes;
}

std::string bytesOf (const VantorMidiMessage& message)
{
    return std::string (reinterpret_cast<const char*> (message.getData()),
                        static_cast<std::size_t> (message.getLength()));
}

void checkHexDecoding (const std::string& text)
{
    check (VantorUtils::hex2binaryString (text) == referenceHexDecode (text),
           "hex2binaryString disagrees with the reference");
    check (VantorUtils::hex2binaryString (text.c_str()) == referenceHexDecode (text.c_str()),
           "hex2binaryString of a C string disagrees");

    const auto terminated = text.substr (0, text.find ('\0'));
    std::vector<char> target (terminated.size() / 2 + 1, '\x5a');
    hex2bin (terminated.c_str(), target.data());
    check (target.back() == '\x5a', "hex2bin wrote past half the text's length");

    VantorMidiMessage fromHex (text);
    check (bytesOf (fromHex) == VantorUtils::hex2binaryString (text), "a message from hex holds other bytes");
}

void checkMessageEdits (FuzzInput& input, const std::string& bytes)
{
    VantorMidiMessage message (bytes.data(), static_cast<int> (bytes.size()));
    check (bytesOf (message) == bytes, "a message holds other bytes than it was given");

    std::string expected = bytes;
    const bool sysex = ! bytes.empty() && bytes.front() == '\xf0' && bytes.back() == '\xf7';
    check (message.isSysexMessage() == sysex, "sysex detection is wrong");

    const int position = input.integer<int8_t>();
    const auto value = input.integer<uint16_t>();
    const int length = static_cast<int> (bytes.size());

    if (input.byte() & 1)
    {
        message.setValue (position, static_cast<unsigned char> (value));

        if (sysex && position > 0 && position < length)
            expected[static_cast<std::size_t> (position)] = static_cast<char> (value & 0xFF);
    }
    else
    {
        message.setValue (position, static_cast<unsigned short> (value));

        if (sysex && position > 0 && position < length - 1)
        {
            expected[static_cast<std::size_t> (position)] = static_cast<char> (value & 0x7F);
            expected[static_cast<std::size_t> (position) + 1] = static_cast<char> ((value >> 7) & 0x7F);
        }
    }

    check (bytesOf (message) == expected, "setValue changed the wrong bytes");

    VantorMidiMessage copy (message);
    VantorMidiMessage assigned (std::string ("90 3c 7f"));
    assigned = copy;
    const auto& sameMessage = assigned;
    assigned = sameMessage;
    copy = VantorMidiMessage();
    check (bytesOf (assigned) == expected && copy.getLength() == 0, "copies are not independent");

    VantorMidiMessage negative (bytes.data(), -length - 1);
    check (negative.getLength() == 0, "a negative length gave a message");
    check (bytesOf (VantorMidiMessage::makeSysexMessage (bytes)) == bytes, "makeSysexMessage changed the bytes");
}

void checkChannelMessages (FuzzInput& input)
{
    const int first = input.integer<int32_t>(), second = input.integer<int32_t>(), channel = input.integer<int32_t>();
    const VantorMidiMessage messages[] = {
        VantorMidiMessage::makeNoteOffMessage (first, second, channel),
        VantorMidiMessage::makeNoteOnMessage (first, second, channel),
        VantorMidiMessage::makePolytouchMessage (first, second, channel),
        VantorMidiMessage::makeControlChangeMessage (first, second, channel),
        VantorMidiMessage::makeProgramChangeMessage (first, channel),
        VantorMidiMessage::makeAftertouchMessage (first, channel),
        VantorMidiMessage::makePitchbendMessage (first, channel),
    };

    for (auto& message : messages)
    {
        check (message.getLength() == 2 || message.getLength() == 3, "a channel message has an odd length");
        check ((message.getData()[0] & 0x0F) == (channel & 0x0F), "the channel is not the low four bits");

        for (int i = 1; i < message.getLength(); ++i)
            check (message.getData()[i] < 0x80, "a data byte has its top bit set");
    }

    const auto hex = VantorUtils::intToHex (static_cast<unsigned char> (first));
    check (hex.size() == 2 && VantorUtils::hex2binaryString (hex) == std::string (1, static_cast<char> (first & 0x7F)),
           "intToHex does not read back as the low seven bits");
}

void checkHostBufferCopy (FuzzInput& input, const std::string& text)
{
    const int bufferSize = static_cast<int> (input.byte()) - 16;
    std::vector<char> buffer (bufferSize > 0 ? static_cast<std::size_t> (bufferSize) : 1, '\x5a');
    const auto length = vantor::sdk::copyToHostBuffer (text, bufferSize > 0 ? buffer.data() : nullptr, bufferSize);
    const auto untilZero = text.substr (0, text.find ('\0'));

    check (length == static_cast<int> (untilZero.size()), "the copy reports another length");

    if (bufferSize > 0)
    {
        const auto copied = std::min<std::size_t> (untilZero.size(), static_cast<std::size_t> (bufferSize) - 1);
        check (std::string (buffer.data()) == untilZero.substr (0, copied), "the copy holds other text");
    }
}

} // namespace

int fuzzHostUtilities (const std::uint8_t* data, std::size_t size)
{
    FuzzInput input (data, size);
    const auto text = input.text (255);

    checkHexDecoding (text);
    checkMessageEdits (input, text);
    checkChannelMessages (input);
    checkHostBufferCopy (input, text);
    checkHexDecoding (input.rest());
    return 0;
}

} // namespace tunewell::fuzzing
