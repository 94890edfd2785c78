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

struct ChildReport {
    bool Finished = false;      // the child ran to its end and wrote the report
    DWORD ExitCode = 0;
    bool CalledInitialize = false;
    int InitResult = -1;        // what UnitInitialize wrote
    int InitReturn = -1;        // what UnitInitialize returned
    int DimStatus = -1;
    bool DimListNull = true;
    std::vector<ReportedDimension> Dims;
    int ProbeStatus = -1;       // UnitGetSymList of "Temperature"
    bool ProbeNull = true;
    std::wstring GlobalSet;     // UserGetGlobalUnitSet
};

// Runs the child with KALVEX_PROFILE set to profile (null: not set, so that
// the demo profile beside the program is used). With initialize false the
// child does not call UnitInitialize first.
ChildReport RunChild(const wchar_t *profile, bool initialize = true);

} // namespace childtest

#endif // VELX32_TEST_CHILD_H
