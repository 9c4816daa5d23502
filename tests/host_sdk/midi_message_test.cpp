#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>

#include <gtest/gtest.h>

#include "host_sdk/midi_message.h"
#include "host_sdk/vantor_utils.h"

using vantor::sdk::VantorMidiMessage;
using vantor::sdk::VantorUtils;

namespace
{

std::vector<int> bytesOf (const VantorMidiMessage& message)
{
    return std::vector<int> (message.getData(), message.getData() + message.getLength());
}

VantorMidiMessage messageOf (std::vector<unsigned char> bytes)
{
    return VantorMidiMessage (reinterpret_cast<const char*> (bytes.data()), static_cast<int> (bytes.size()));
}

TEST (MidiMessage, ChannelFactoriesMaskTheirArguments)
{
    EXPECT_EQ (bytesOf (VantorMidiMessage::makeNoteOnMessage (60, 100, 0)), (std::vector<int> { 0x90, 0x3C, 0x64 }));
    EXPECT_EQ (bytesOf (VantorMidiMessage::makeNoteOnMessage (60, 200, 17)), (std::vector<int> { 0x91, 0x3C, 0x48 }));
    EXPECT_EQ (bytesOf (VantorMidiMessage::makeNoteOffMessage (61, 0, 15)), (std::vector<int> { 0x8F, 0x3D, 0x00 }));
    EXPECT_EQ (bytesOf (VantorMidiMessage::makePolytouchMessage (60, 64, 2)), (std::vector<int> { 0xA2, 0x3C, 0x40 }));
    EXPECT_EQ (bytesOf (VantorMidiMessage::makeControlChangeMessage (7, 127, 1)),
               (std::vector<int> { 0xB1, 0x07, 0x7F }));
    EXPECT_EQ (bytesOf (VantorMidiMessage::makeProgramChangeMessage (5, 0)), (std::vector<int> { 0xC0, 0x05 }));
    EXPECT_EQ (bytesOf (VantorMidiMessage::makeAftertouchMessage (64, 2)), (std::vector<int> { 0xD2, 0x40 }));
}

TEST (MidiMessage, PitchBendSendsTheLowSevenBitsFirst)
{
    EXPECT_EQ (bytesOf (VantorMidiMessage::makePitchbendMessage (8192, 3)), (std::vector<int> { 0xE3, 0x00, 0x40 }));
    EXPECT_EQ (bytesOf (VantorMidiMessage::makePitchbendMessage (0, 0)), (std::vector<int> { 0xE0, 0x00, 0x00 }));
    EXPECT_EQ (bytesOf (VantorMidiMessage::makePitchbendMessage (16383, 0)), (std::vector<int> { 0xE0, 0x7F, 0x7F }));
    EXPECT_EQ (bytesOf (VantorMidiMessage::makePitchbendMessage (16384 + 5, 0)),
               (std::vector<int> { 0xE0, 0x05, 0x00 }));
}

TEST (MidiMessage, CopiesOfShortAndLongMessagesAreIndependent)
{
    for (int length : { 0, 1, 8, 9, 20 })
    {
        std::vector<unsigned char> bytes (static_cast<size_t> (length));

        for (int i = 0; i < length; ++i)
            bytes[static_cast<size_t> (i)] = static_cast<unsigned char> (i + 1);

        auto original = messageOf (bytes);
        VantorMidiMessage copy (original);
        VantorMidiMessage assigned;
        assigned = original;

        EXPECT_EQ (bytesOf (copy), std::vector<int> (bytes.begin(), bytes.end())) << length;
        EXPECT_EQ (bytesOf (assigned), bytesOf (original)) << length;

        if (length > 0)
        {
            EXPECT_NE (copy.getData(), original.getData());
            original = VantorMidiMessage::makeNoteOnMessage (1, 2, 3);
            EXPECT_EQ (copy.getData()[0], 1) << length;
        }
    }
}

TEST (MidiMessage, AssignmentReplacesALongMessageAndSelfAssignmentChangesNothing)
{
    auto message = VantorMidiMessage::makeSysexMessage (std::string (20, '\x11'));
    message = VantorMidiMessage::makeNoteOnMessage (60, 100, 0);
    EXPECT_EQ (bytesOf (message), (std::vector<int> { 0x90, 0x3C, 0x64 }));

    auto longMessage = VantorMidiMessage::makeSysexMessage (std::string (12, '\x22'));
    auto& alias = longMessage;
    longMessage = alias;
    EXPECT_EQ (bytesOf (longMessage), std::vector<int> (12, 0x22));
}

TEST (MidiMessage, SysexDetectionNeedsBothFramingBytes)
{
    EXPECT_TRUE (messageOf ({ 0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7 }).isSysexMessage());
    EXPECT_TRUE (messageOf ({ 0xF0, 1, 2, 3, 4, 5, 6, 7, 8, 0xF7 }).isSysexMessage());
    EXPECT_FALSE (VantorMidiMessage().isSysexMessage());
    EXPECT_FALSE (messageOf ({ 0xF0, 0x7E }).isSysexMessage());
    EXPECT_FALSE (messageOf ({ 0x90, 0xF7 }).isSysexMessage());
}

TEST (MidiMessage, SetValueWritesOnlyInsideSysexMessages)
{
    auto message = messageOf ({ 0xF0, 1, 2, 3, 4, 5, 6, 7, 8, 0xF7 });

    message.setValue (0, static_cast<unsigned char> (0x55));
    message.setValue (10, static_cast<unsigned char> (0x55));
    message.setValue (9, static_cast<unsigned char> (0x80));
    EXPECT_EQ (bytesOf (message), (std::vector<int> { 0xF0, 1, 2, 3, 4, 5, 6, 7, 8, 0x80 }));

    auto sysex = messageOf ({ 0xF0, 1, 2, 3, 4, 5, 6, 7, 8, 0xF7 });
    sysex.setValue (9, static_cast<unsigned short> (0x3FFF));
    sysex.setValue (0, static_cast<unsigned short> (0x3FFF));
    sysex.setValue (8, static_cast<unsigned short> (0x1234));
    EXPECT_EQ (bytesOf (sysex), (std::vector<int> { 0xF0, 1, 2, 3, 4, 5, 6, 7, 0x34, 0x24 }));

    auto noteOn = VantorMidiMessage::makeNoteOnMessage (60, 100, 0);
    noteOn.setValue (1, static_cast<unsigned char> (0x10));
    EXPECT_EQ (bytesOf (noteOn), (std::vector<int> { 0x90, 0x3C, 0x64 }));
}

TEST (MidiMessage, HexTextBuildsBytesWhileSysexFactoryKeepsCharacters)
{
    EXPECT_EQ (bytesOf (VantorMidiMessage (std::string ("90 3C 7F"))), (std::vector<int> { 0x90, 0x3C, 0x7F }));
    EXPECT_EQ (VantorMidiMessage::makeSysexMessage ("90 3C 7F").getLength(), 8);
    EXPECT_EQ (VantorMidiMessage ("abc", -1).getLength(), 0);
}

TEST (HexDecoding, DecodesPairsIgnoringSpacesAndTreatsOtherCharactersAsZero)
{
    EXPECT_EQ (VantorUtils::hex2binaryString ("F0 7e 7F f7"), std::string ("\xF0\x7E\x7F\xF7"));
    EXPECT_EQ (VantorUtils::hex2binaryString ("abc"), std::string ("\xAB"));
    EXPECT_EQ (VantorUtils::hex2binaryString ("zz"), std::string (1, '\0'));
    EXPECT_EQ (VantorUtils::hex2binaryString ("1\t2,"), std::string ("\x10\x20", 2));
    EXPECT_EQ (VantorUtils::hex2binaryString (""), "");
    EXPECT_EQ (VantorUtils::hex2binaryString (static_cast<const char*> (nullptr)), "");
    EXPECT_EQ (VantorUtils::hex2binaryString (std::string ("12\0"
                                                           "3456",
                                                           7)),
               std::string ("\x12\0\0", 3));

    char target[4] = { 'x', 'x', 'x', 'x' };
    hex2bin ("a1B2c", target);
    EXPECT_EQ (std::string (target, 4), std::string ("\xA1\xB2xx"));
    hex2bin (nullptr, target);
    hex2bin ("12", nullptr);
}

TEST (HexDecoding, MatchesAReferenceDecoderOnRandomText)
{
    const unsigned seed = 20240611;
    std::mt19937 random (seed);
    const std::string alphabet = "0123456789abcdefABCDEF g";

    for (int round = 0; round < 2000; ++round)
    {
        std::string text;

        for (int i = std::uniform_int_distribution<int> (0, 12) (random); i > 0; --i)
            text += alphabet[static_cast<size_t> (
                std::uniform_int_distribution<int> (0, static_cast<int> (alphabet.size()) - 1) (random))];

        std::string digits;

        for (char c : text)
            if (c != ' ')
                digits += c;

        std::string expected;

        for (size_t i = 0; i + 1 < digits.size(); i += 2)
        {
            auto nibble = [] (char c) {
                return std::isxdigit (static_cast<unsigned char> (c)) ? std::stoi (std::string (1, c), nullptr, 16) : 0;
            };
            expected += static_cast<char> (nibble (digits[i]) * 16 + nibble (digits[i + 1]));
        }

        ASSERT_EQ (VantorUtils::hex2binaryString (text), expected) << "seed " << seed << ", text '" << text << "'";
    }
}

TEST (VantorUtilities, IntToHexKeepsSevenBits)
{
    EXPECT_EQ (VantorUtils::intToHex (5), "05");
    EXPECT_EQ (VantorUtils::intToHex (127), "7f");
    EXPECT_EQ (VantorUtils::intToHex (0x90), "10");
    EXPECT_EQ (VantorUtils::intToHex (255), "7f");
    EXPECT_EQ (VantorUtils::intToHex (0), "00");
}

TEST (VantorUtilities, ScaleMapsLinearlyWithoutClamping)
{
    EXPECT_EQ (VantorUtils::Scale (5, 0, 10, 0, 127), 63.5);
    EXPECT_EQ (VantorUtils::Scale (-1, 0, 10, 0, 100), -10.0);
    EXPECT_EQ (VantorUtils::Scale (0.5, 0, 1, 100, 0), 50.0);
    EXPECT_TRUE (std::isinf (VantorUtils::Scale (1, 0, 0, 0, 1)));
    EXPECT_TRUE (std::isnan (VantorUtils::Scale (0, 0, 0, 0, 1)));
}

TEST (VantorUtilities, TextFilesAreReadWholeOrNotAtAllWhateverTheirPathHolds)
{
    // A folder name outside ASCII, which Windows finds only by its UTF-16 form.
    const std::string folder = testing::TempDir() + "Caf\xC3\xA9 \xE2\x99\xAA";
    const std::string path = folder + "/tunewell_text_file.txt";
    std::filesystem::create_directories (std::filesystem::u8path (folder));
    {
        std::ofstream file (std::filesystem::u8path (path), std::ios::binary);
        file << "first line\nsecond line\n";
    }

    std::string contents = "old";
    EXPECT_TRUE (VantorUtils::fileExists (path));
    VantorUtils::loadTextFile (path, contents);
    EXPECT_EQ (contents, "first line\nsecond line\n");

    std::filesystem::remove_all (std::filesystem::u8path (folder));
    EXPECT_FALSE (VantorUtils::fileExists (path));
    VantorUtils::loadTextFile (path, contents);
    EXPECT_EQ (contents, "");
}

} // namespace
