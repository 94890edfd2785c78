// Reading the installation's units file: the dimensions, each with its unit
// symbols, in the order of the file.
#ifndef VELX32_UNITSFILE_H
#define VELX32_UNITSFILE_H

#include "vel32.h"
#include "velx32.h"

#include <cstddef>
#include <cstdint>
#include <new>
#include <string>
#include <vector>

namespace velx {

// The library's arrays take their blocks from the general library, so that
// what reading a file gives back (its bytes, the arrays it outgrew) is
// memory the programs' next blocks are cut from, its pages touched already.
template <typename T> struct PoolAllocator {
    using value_type = T;
    PoolAllocator() = default;
    template <typename U> PoolAllocator(const PoolAllocator<U> &) {}
    T *allocate(size_t count)
    {
        if (count > UINT32_MAX / sizeof(T))
            throw std::bad_alloc();
        void *block = KxMalloc(static_cast<uint32_t>(count * sizeof(T)));
        if (!block)
            throw std::bad_alloc();
        return static_cast<T *>(block);
    }
    void deallocate(T *block, size_t) { KxFree(block); }
    template <typename U> bool operator==(const PoolAllocator<U> &) const { return true; }
    template <typename U> bool operator!=(const PoolAllocator<U> &) const { return false; }
};

template <typename T> using PoolVector = std::vector<T, PoolAllocator<T>>;

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

// The dimensions of a units file, in the file's order, as the library keeps
// them: every name and symbol lies, terminated, in the file's decoded text
// (where its separators were), the dimensions and symbols are positions in
// it, and a table of the names finds each. A library of 32 767 dimensions is
// a handful of blocks, not a block or more per name and symbol.
class UnitTable {
public:
    size_t Size() const { return dims_.size(); }
    const wchar_t *Name(size_t dim) const { return text_.data() + dims_[dim].Name; }
    size_t SymbolCount(size_t dim) const { return dims_[dim].SymbolCount; }
    const wchar_t *Symbol(size_t dim, size_t k) const
    {
        return text_.data() + symbols_[dims_[dim].FirstSymbol + k];
    }
    // The position of the dimension named exactly name (letter case
    // counting), or false.
    bool Find(const wchar_t *name, size_t &position) const;
    void Clear();

private:
    friend bool UnitParseText(const char *bytes, size_t count, UnitTable &table,
                              UnitParseFault &fault);
    struct Dim {
        uint32_t Name;        // position of the name in text_
        uint32_t FirstSymbol; // index of its first symbol in symbols_
        uint32_t SymbolCount;
    };
    // The dimension with a name equal to name without regard to case (the
    // names differ so), or false; its slot in slots_ either way.
    bool FindFolded(const wchar_t *name, size_t length, size_t &position, size_t &slot) const;

    PoolVector<wchar_t> text_;
    PoolVector<Dim> dims_;
    PoolVector<uint32_t> symbols_; // positions in text_
    PoolVector<uint32_t> slots_;   // a dimension's index plus one, 0 for none
};

// Parses the bytes of a units file. On failure returns false, leaves the
// table empty and describes the first fault.
bool UnitParseText(const char *bytes, size_t count, UnitTable &table, UnitParseFault &fault);

// Reads and parses the units file at path.
bool UnitReadFile(const std::wstring &path, UnitTable &table, UnitParseFault &fault);

// The same, with the dimensions as records of their own (for tests and
// tools; the library keeps the table).
bool UnitParseText(const char *bytes, size_t count, std::vector<UnitDimension> &dims,
                   UnitParseFault &fault);
bool UnitReadFile(const std::wstring &path, std::vector<UnitDimension> &dims,
                  UnitParseFault &fault);

// The key under which names that differ in letter case alone meet: each
// code unit upper-cased by the system's table, the one that ordinal
// comparison ignoring case uses.
std::wstring UnitFoldCase(const std::wstring &name);

} // namespace velx

#endif // VELX32_UNITSFILE_H
