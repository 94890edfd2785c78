// The units library reads its units file once per process, so every test of
// another units file runs this test program again as a child process: the
// child loads the units library under the profile it is given and writes
// down everything the library told it; the parent reads that report.
#ifndef VELX32_TEST_CHILD_H
#define VELX32_TEST_CHILD_H

#include <windows.h>

#include <string>
#include <vector>

namespace childtest {

struct ReportedDimension {
    std::wstring Name;
    int Status = -1;
    std::vector<std::wstring> Symbols;
};

// The units library's own fault record, as the child received it.
struct ReportedFault {
    int Return = -1;          // what UnitGetLoadFault returned
    int Code = -1;
    int Line = -1;
    unsigned long SystemError = 0;
    std::wstring File;
    std::wstring Detail;
};

// A whole units library boiled down: counts, and a hash over every name and
// symbol in order (see UnitsHash).
struct ReportedSummary {
    bool Present = false;
    size_t Dims = 0;
    size_t Symbols = 0;
    size_t FailedSymLists = 0;
    unsigned long long Hash = 0;
    double Seconds = -1;      // from the first units call to the last list given back
};

struct ChildReport {
    bool Finished = false;      // the child ran to its end and wrote the report
    DWORD ExitCode = 0;
    std::string Why;            // how the run went, naming the step that failed
    bool CalledInitialize = false;
    int InitResult = -1;        // what UnitInitialize wrote
    int InitReturn = -1;        // what UnitInitialize returned
    int DimStatus = -1;
    bool DimListNull = true;
    std::vector<ReportedDimension> Dims;
    int ProbeStatus = -1;       // UnitGetSymList of "Temperature"
    bool ProbeNull = true;
    std::wstring GlobalSet;     // UserGetGlobalUnitSet
    ReportedFault Fault;
    ReportedSummary Summary;
};

// What the child does besides reporting.
enum class ChildMode {
    Full,     // every dimension with its symbols
    Summary,  // counts, hash and time only, for libraries too large to list
    Reread,   // after the first call, changes the units file and removes the
              // profile, then reports in full: the answers must not change
};

// Runs the child with KALVEX_PROFILE set to profile (null: not set, so that
// the demo profile beside the program is used). With initialize false the
// child does not call UnitInitialize first. In Reread mode, unitsFile is the
// file the child overwrites.
ChildReport RunChild(const wchar_t *profile, bool initialize = true, ChildMode mode = ChildMode::Full,
                     const wchar_t *unitsFile = nullptr);

// FNV-1a over the names and symbols, each followed by a separator that no
// name or symbol holds.
class UnitsHash {
public:
    void Add(const std::wstring &text, wchar_t separator)
    {
        for (wchar_t c : text)
            Mix(c);
        Mix(separator);
    }
    unsigned long long Value() const { return value_; }

private:
    void Mix(wchar_t c)
    {
        value_ ^= static_cast<unsigned long long>(c);
        value_ *= 1099511628211ull;
    }
    unsigned long long value_ = 14695981039346656037ull;
};

} // namespace childtest

#endif // VELX32_TEST_CHILD_H
