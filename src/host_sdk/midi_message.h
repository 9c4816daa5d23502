#pragma once

#include <string>

namespace vantor::sdk
{

/// A MIDI message of any length: up to eight bytes live in place, longer
/// messages own a heap array of exactly their length. Copies are deep.
/// Not thread-safe; a message belongs to one thread at a time.
class VantorMidiMessage
{
public:
    VantorMidiMessage();
    /// Copies length raw bytes; a negative length gives an empty message.
    VantorMidiMessage (const char* bytes, int length);
    /// Decodes hex text (spaces allowed between digit pairs).
    explicit VantorMidiMessage (const std::string& hexText);
    VantorMidiMessage (const VantorMidiMessage& other);
    VantorMidiMessage& operator= (const VantorMidiMessage& other);
    ~VantorMidiMessage();

    const unsigned char* getData() const;
    int getLength() const { return length; }

    /// True when the message starts with 0xF0 and ends with 0xF7.
    bool isSysexMessage() const;

    /// Writes one raw byte into a system exclusive message at a position
    /// after the opening 0xF0; other messages and positions are left alone.
    void setValue (int position, unsigned char value);

    /// Writes a 14-bit value as two 7-bit bytes, low bits first, into a
    /// system exclusive message; both bytes must lie after the opening 0xF0.
    void setValue (int position, unsigned short value);

    // Channel is the last argument everywhere; only its low four bits count
    // and every data byte keeps its low seven bits.
    static VantorMidiMessage makeNoteOffMessage (int note, int velocity, int channel);
    static VantorMidiMessage makeNoteOnMessage (int note, int velocity, int channel);
    static VantorMidiMessage makePolytouchMessage (int note, int pressure, int channel);
    static VantorMidiMessage makeControlChangeMessage (int controller, int value, int channel);
    static VantorMidiMessage makeProgramChangeMessage (int program, int channel);
    static VantorMidiMessage makeAftertouchMessage (int pressure, int channel);
    static VantorMidiMessage makePitchbendMessage (int value, int channel);

    /// Holds the string's raw bytes as they are; no framing is added.
    static VantorMidiMessage makeSysexMessage (const std::string& bytes);

private:
    union Storage
    {
        unsigned char inPlace[8];
        unsigned char* onHeap;
    };

    Storage storage;
    int length = 0;

    static constexpr unsigned maxInPlaceLength = 8;

    bool isLongMessage() const { return static_cast<unsigned> (length) > maxInPlaceLength; }
    unsigned char* getWritableData();
    void fillStorage();
    unsigned char* createSpaceForMessage (int newLength);
    void deleteIfLongMessage();
    void copyFrom (const VantorMidiMessage& other);

    static VantorMidiMessage makeChannelMessage (int status, int channel, int dataCount, int first, int second);
};

} // namespace vantor::sdk
