#include "synthetic_image.h"

namespace tunewell::testrig
{

void ImageBytes::putText (std::size_t offset, const std::string& text)
{
    for (std::size_t i = 0; i < text.size(); ++i)
        bytes.at (offset + i) = static_cast<std::uint8_t> (text[i]);
    bytes.at (offset + text.size()) = 0;
}

void ImageBytes::put (std::size_t offset, std::uint64_t value, int width)
{
    for (int i = 0; i < width; ++i)
        bytes.at (offset + i) = static_cast<std::uint8_t> (value >> (8 * i));
}

std::uint64_t ImageBytes::get (std::size_t offset, int width) const
{
    std::uint64_t value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = (value << 8) | bytes.at (offset + i);
    return value;
}

namespace
{

void putSection (ImageBytes& file, int index, const char* name, std::uint32_t virtualAddress,
                 std::uint32_t sizeOfRawData, std::uint32_t pointerToRawData, std::uint32_t characteristics)
{
    const std::size_t at = field::sections + index * field::sectionHeaderSize;
    file.putText (at, name);
    file.put32 (at + 8, 0x1000);
    file.put32 (at + 12, virtualAddress);
    file.put32 (at + 16, sizeOfRawData);
    file.put32 (at + 20, pointerToRawData);
    file.put32 (at + 36, characteristics);
}

} // namespace

ImageBytes syntheticFile()
{
    ImageBytes file (0x800);
    file.put16 (0, 0x5A4D);
    file.put32 (field::lfanew, field::nt);
    file.put32 (field::nt, 0x00004550);
    file.put16 (field::machine, 0x8664);
    file.put16 (field::numberOfSections, 3);
    file.put16 (field::sizeOfOptionalHeader, 240);
    file.put16 (field::characteristics, 0x2022);
    file.put16 (field::optional, 0x20B);
    file.put32 (field::entryPoint, 0x1010);
    file.put64 (field::imageBase, syntheticPreferredBase);
    file.put32 (field::sectionAlignment, 0x1000);
    file.put32 (field::optional + 36, 0x200); // FileAlignment
    file.put32 (field::sizeOfImage, 0x4000);
    file.put32 (field::sizeOfHeaders, 0x400);
    file.put32 (field::optional + 108, 16); // NumberOfRvaAndSizes
    putSection (file, 0, ".text", 0x1000, 0x200, 0x400, 0x60000020);
    putSection (file, 1, ".data", 0x2000, 0x200, 0x600, 0xC0000040);
    putSection (file, 2, ".bss", 0x3000, 0, 0, 0xC0000080);
    return file;
}

} // namespace tunewell::testrig
