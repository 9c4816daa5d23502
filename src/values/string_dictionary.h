#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace tunewell::value
{

/// Holds the texts of string values, which the packed data refers to by handle.
class StringDictionary
{
public:
    struct Handle
    {
        uint32_t handle = 0;

        bool operator== (Handle other) const noexcept { return handle == other.handle; }
        bool operator!= (Handle other) const noexcept { return handle != other.handle; }
    };

    virtual ~StringDictionary() = default;

    /// Handle 0 always stands for the empty text.
    virtual Handle getHandleForString (std::string_view text) = 0;
    /// Throws Error "Unknown string" for a handle that was never handed out.
    virtual std::string_view getStringForHandle (Handle handle) const = 0;
};

/// Interns texts back to back, each followed by a zero byte; a text's handle
/// is its first byte's offset plus one, so equal texts share one handle and
/// handles stay valid for the dictionary's life.
class SimpleStringDictionary : public StringDictionary
{
public:
    Handle getHandleForString (std::string_view text) override;
    std::string_view getStringForHandle (Handle handle) const override;

    /// The stored texts, each followed by its zero byte, in the order they
    /// were first interned.
    const std::vector<char>& getRawData() const noexcept { return strings; }

    /// Forgets every text, so that handles are counted from the start again.
    void clear() noexcept;

private:
    std::vector<char> strings;

    /// A hash table of handles that spares large dictionaries a scan of every
    /// stored text per lookup. Texts stored while the dictionary was small, or
    /// with a zero byte inside, are indexed at the next lookup that uses it.
    struct IndexSlot
    {
        uint32_t handle = 0; // 0: free
        uint32_t hash = 0;
    };

    Handle findByScan (std::string_view text) const;
    Handle findInIndex (std::string_view text, uint32_t hash) const;
    void bringIndexUpToDate();
    void dropIndex() noexcept;
    void addToIndex (uint32_t handle, uint32_t hash);
    void growIndex();

    std::vector<IndexSlot> index;
    std::size_t indexedBytes = 0;
    std::size_t indexedCount = 0;
};

} // namespace tunewell::value
