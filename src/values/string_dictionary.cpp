#include "values/string_dictionary.h"

#include <cstring>

#include "values/error.h"

namespace tunewell::value
{

namespace
{
// Below this many stored bytes a scan is as quick as hashing and needs no
// table; most values (a bridge call, a song name) stay far below it.
constexpr std::size_t minimumIndexedBytes = 256;

uint32_t hashText (std::string_view text) noexcept
{
    constexpr uint64_t multiplier = 0x9e3779b97f4a7c15ull;
    uint64_t hash = text.size() * multiplier;
    auto* next = text.data();
    auto remaining = text.size();

    for (; remaining >= 8; remaining -= 8, next += 8)
    {
        uint64_t chunk;
        std::memcpy (&chunk, next, 8);
        hash = (hash ^ chunk) * multiplier;
        hash ^= hash >> 29;
    }

    if (remaining != 0)
    {
        uint64_t chunk = 0;
        std::memcpy (&chunk, next, remaining);
        hash = (hash ^ chunk) * multiplier;
    }

    hash ^= hash >> 32;
    return static_cast<uint32_t> (hash);
}
} // namespace

StringDictionary::Handle SimpleStringDictionary::getHandleForString (std::string_view text)
{
    if (text.empty())
        return {};

    bool isLarge = strings.size() >= minimumIndexedBytes;

    // The table holds the zero-terminated pieces of the storage, which is
    // what the scan matches; a text with a zero byte inside spans several
    // pieces, so it is looked up by the scan and indexed piece by piece at
    // the next catch-up.
    bool useIndex = isLarge && std::memchr (text.data(), 0, text.size()) == nullptr;
    uint32_t hash = 0;

    if (useIndex)
    {
        bringIndexUpToDate();
        hash = hashText (text);

        if (auto found = findInIndex (text, hash); found.handle != 0)
            return found;
    }
    else if (auto found = findByScan (text); found.handle != 0)
    {
        return found;
    }

    auto handle = static_cast<uint32_t> (strings.size() + 1);
    strings.insert (strings.end(), text.begin(), text.end());
    strings.push_back (0);

    if (useIndex)
    {
        addToIndex (handle, hash);
        indexedBytes = strings.size();
    }

    return { handle };
}

StringDictionary::Handle SimpleStringDictionary::findByScan (std::string_view text) const
{
    std::string_view stored (strings.data(), strings.size());

    // A match counts only where a stored string starts and ends exactly.
    for (auto position = stored.find (text); position != std::string_view::npos;
         position = stored.find (text, position + 1))
    {
        auto end = position + text.size();
        bool startsString = position == 0 || stored[position - 1] == 0;

        if (startsString && end < stored.size() && stored[end] == 0)
            return { static_cast<uint32_t> (position + 1) };
    }

    return {};
}

StringDictionary::Handle SimpleStringDictionary::findInIndex (std::string_view text, uint32_t hash) const
{
    auto mask = index.size() - 1;

    for (auto slot = hash & mask;; slot = (slot + 1) & mask)
    {
        auto& entry = index[slot];

        if (entry.handle == 0)
            return {};

        if (entry.hash != hash)
            continue;

        auto start = std::size_t (entry.handle - 1);
        auto end = start + text.size();

        // Texts of one hash may differ; a handle always starts a stored text,
        // so only its end and bytes need checking.
        if (end < strings.size() && strings[end] == 0
            && std::memcmp (strings.data() + start, text.data(), text.size()) == 0)
            return { entry.handle };
    }
}

void SimpleStringDictionary::bringIndexUpToDate()
{
    if (indexedBytes == strings.size() && ! index.empty())
        return;

    // Never indexed since the dictionary was made, moved from or cleared.
    if (index.empty())
    {
        dropIndex();
        index.assign (64, {});
    }

    while (indexedBytes < strings.size())
    {
        auto* start = strings.data() + indexedBytes;
        auto* terminator = static_cast<const char*> (std::memchr (start, 0, strings.size() - indexedBytes));

        if (terminator == nullptr)
            break;

        auto length = static_cast<std::size_t> (terminator - start);

        std::string_view stored (start, length);
        auto hash = hashText (stored);

        // Only the first of equal texts answers lookups, as with the scan.
        if (length != 0 && findInIndex (stored, hash).handle == 0)
            addToIndex (static_cast<uint32_t> (indexedBytes + 1), hash);

        indexedBytes += length + 1;
    }

    indexedBytes = strings.size();
}

void SimpleStringDictionary::clear() noexcept
{
    strings.clear();
    dropIndex();
}

void SimpleStringDictionary::dropIndex() noexcept
{
    index.clear();
    indexedBytes = 0;
    indexedCount = 0;
}

void SimpleStringDictionary::addToIndex (uint32_t handle, uint32_t hash)
{
    if ((indexedCount + 1) * 2 > index.size())
        growIndex();

    auto mask = index.size() - 1;
    auto slot = hash & mask;

    while (index[slot].handle != 0)
        slot = (slot + 1) & mask;

    index[slot] = { handle, hash };
    ++indexedCount;
}

void SimpleStringDictionary::growIndex()
{
    std::vector<IndexSlot> larger (index.size() * 2);
    auto mask = larger.size() - 1;

    for (auto& entry : index)
    {
        if (entry.handle == 0)
            continue;

        auto slot = entry.hash & mask;

        while (larger[slot].handle != 0)
            slot = (slot + 1) & mask;

        larger[slot] = entry;
    }

    index.swap (larger);
}

std::string_view SimpleStringDictionary::getStringForHandle (Handle handle) const
{
    if (handle.handle == 0)
        return {};

    if (handle.handle > strings.size())
        throw Error ("Unknown string");

    auto start = strings.data() + (handle.handle - 1);
    auto available = strings.size() - (handle.handle - 1);
    auto terminator = static_cast<const char*> (std::memchr (start, 0, available));
    return { start, terminator != nullptr ? static_cast<std::size_t> (terminator - start) : available };
}

} // namespace tunewell::value
