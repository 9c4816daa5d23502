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

        bool operator== (Handle other) const noexcept  { return handle == other.handle; }
        bool operator!= (Handle other) const noexcept  { return handle != other.handle; }
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

    const std::vector<char>& getRawData() const noexcept  { return strings; }

    std::vector<char> strings;

private:
    /// A hash table of handles that spares large dictionaries a scan of every
    /// stored text per lookup. It is only a cache over `strings`, which stays
    /// the one record: a hit is checked against the stored bytes, and the
    /// table is brought up to date with `strings` whenever they differ in
    /// size, so code that edits `strings` directly never gets a wrong handle.
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
