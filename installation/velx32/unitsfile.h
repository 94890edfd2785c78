// Reading the installation's units file: the dimensions, each with its unit
// symbols, in the order of the file.
#ifndef VELX32_UNITSFILE_H
#define VELX32_UNITSFILE_H

#include "velx32.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace velx {

struct UnitDimension {
    std::wstring Name;
    std::vector<std::wstring> Symbols;
};

// Set files pad a dimension name to 32 columns and need at least one blank
// after it, so longer names cannot be stored there.
constexpr size_t UnitNameMaxChars = UNIT_NAME_MAX_CHARS;
// Set file readers take a symbol into a 1024-character word buffer.
constexpr size_t UnitSymbolMaxChars = UNIT_SYMBOL_MAX_CHARS;
// The programs' list rows and a set's chosen unit are 16-bit numbers.
constexpr size_t UnitMaxDimensions = UNIT_MAX_DIMENSIONS;
constexpr size_t UnitMaxSymbols = UNIT_MAX_SYMBOLS;
// Room for the largest library the limits above allow with symbols of
// ordinary length; a bigger file is not a units file.
constexpr size_t UnitFileMaxBytes = UNIT_FILE_MAX_BYTES;
// Set files hold one byte per character.
constexpr wchar_t UnitStorableMax = 0xFF;

// Where a units text was found wanting: the fault's code, the 1-based line
// (0 for the file as a whole), the system's error code of a failed open or
// read, the offending word, and a short reason for the debug output.
struct UnitParseFault {
    int32_t Code = UNIT_FAULT_NONE;
    size_t Line = 0;
    uint32_t SystemError = 0;
    std::wstring Detail;
    const wchar_t *Reason = L"";
};

// Parses the bytes of a units file. On failure returns false, leaves dims
// empty and describes the first fault.
bool UnitParseText(const char *bytes, size_t count, std::vector<UnitDimension> &dims,
                   UnitParseFault &fault);

// Reads and parses the units file at path.
bool UnitReadFile(const std::wstring &path, std::vector<UnitDimension> &dims, UnitParseFault &fault);

// The key under which names that differ in letter case alone meet: each
// code unit upper-cased by the system's table, the one that ordinal
// comparison ignoring case uses.
std::wstring UnitFoldCase(const std::wstring &name);

} // namespace velx

#endif // VELX32_UNITSFILE_H
