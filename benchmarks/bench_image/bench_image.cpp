// A DLL about the size of the browser runtime's loader module, for timing
// how long mapping it takes. The table gives the image its bulk; the
// exported function reads it, so no linker can drop it.

#include <cstddef>

namespace
{
constexpr std::size_t tableSize = TW_BENCH_IMAGE_TABLE_BYTES;

struct Table
{
    unsigned char bytes[tableSize];
};

constexpr Table makeTable()
{
    Table table {};
    unsigned state = 1;

    for (std::size_t i = 0; i < tableSize; ++i)
    {
        state = state * 1103515245u + 12345u;
        table.bytes[i] = static_cast<unsigned char> (state >> 16);
    }

    return table;
}

constexpr Table table = makeTable();
} // namespace

extern "C" __declspec(dllexport) unsigned benchImageChecksum()
{
    unsigned sum = 0;

    for (auto byte : table.bytes)
        sum = sum * 31 + byte;

    return sum;
}
