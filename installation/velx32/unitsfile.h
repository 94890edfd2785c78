// Reading the installation's units file: the dimensions, each with its unit
// symbols, in the order of the file.
#ifndef VELX32_UNITSFILE_H
#define VELX32_UNITSFILE_H

#include <cstddef>
#include <string>
#include <vector>

namespace velx {

struct UnitDimension {
    std::wstring Name;
    std::vector<std::wstring> Symbols;
};

// Set files pad a dimension name to 32 columns and need at least one blank
// after it, so longer names cannot be stored there.
constexpr size_t UnitNameMaxChars = 31;
// Set file readers take a symbol into a 1024-character word buffer.
constexpr size_t UnitSymbolMaxChars = 1023;
// Far beyond any real units library; a bigger file is not one.
constexpr size_t UnitFileMaxBytes = 4u << 20;

// Where a units text was found wanting: the 1-based line (0 for the file as
// a whole) and a short reason for the debug output.
struct UnitParseFault {
    size_t Line = 0;
    const wchar_t *Reason = L"";
};

// Parses the bytes of a units file. On failure returns false, leaves dims
// empty and describes the first fault.
bool UnitParseText(const char *bytes, size_t count, std::vector<UnitDimension> &dims,
                   UnitParseFault &fault);

// Reads and parses the units file at path.
bool UnitReadFile(const std::wstring &path, std::vector<UnitDimension> &dims, UnitParseFault &fault);

} // namespace velx

#endif // VELX32_UNITSFILE_H
