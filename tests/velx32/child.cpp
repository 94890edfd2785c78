// The child side of the units library tests, the parent's launcher, and the
// test program's main, which picks the side.
#include "child.h"

#include <gtest/gtest.h>

#include "process.h"
#include "testfiles.h"
#include "velx32.h"

#include <cstring>
#include <sstream>

namespace childtest {

namespace {

constexpr wchar_t OutVar[] = L"VELX32_TEST_OUT";
constexpr wchar_t InitVar[] = L"VELX32_TEST_INIT";
constexpr wchar_t ModeVar[] = L"VELX32_TEST_MODE";
constexpr wchar_t UnitsVar[] = L"VELX32_TEST_UNITS";

std::wstring EnvValue(const wchar_t *name)
{
    wchar_t value[1024];
    const DWORD n = GetEnvironmentVariableW(name, value, 1024);
    return n > 0 && n < 1024 ? std::wstring(value, n) : std::wstring();
}

void WriteFault(std::wostringstream &out)
{
    UnitLoadFault fault;
    FillMemory(&fault, sizeof fault, 0xCC);
    const int16_t ret = UnitGetLoadFault(&fault);
    // Unterminated fields show as such rather than as whatever follows.
    const bool fileEnds = wmemchr(fault.File, L'\0', UNIT_FAULT_FILE_CHARS) != nullptr;
    const bool detailEnds = wmemchr(fault.Detail, L'\0', UNIT_FAULT_DETAIL_CHARS) != nullptr;
    out << L"fault\t" << ret << L'\t' << fault.Code << L'\t' << fault.Line << L'\t' << fault.SystemError << L'\t'
        << (fileEnds ? fault.File : L"<unterminated>") << L'\t'
        << (detailEnds ? fault.Detail : L"<unterminated>") << L'\n';
}

// Asks for everything the editor asks for at start, and only counts it.
void WriteSummary(std::wostringstream &out)
{
    LARGE_INTEGER frequency, start, stop;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    KxStatus status = -1;
    UnitList dims = UnitGetDimList(&status);
    size_t dimCount = 0, symCount = 0, failed = 0;
    UnitsHash hash;
    for (wchar_t **dim = dims; dim && *dim; ++dim) {
        ++dimCount;
        hash.Add(*dim, L'\n');
        KxStatus symStatus = -1;
        UnitList syms = UnitGetSymList(*dim, &symStatus);
        if (symStatus != 0 || !syms)
            ++failed;
        for (wchar_t **sym = syms; sym && *sym; ++sym) {
            ++symCount;
            hash.Add(*sym, L'\t');
        }
        UnitDestroyList(syms);
    }
    UnitDestroyList(dims);
    QueryPerformanceCounter(&stop);
    const double seconds =
        static_cast<double>(stop.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
    out << L"dims\t" << status << L'\t' << (dims ? 0 : 1) << L'\n';
    out << L"summary\t" << dimCount << L'\t' << symCount << L'\t' << failed << L'\t' << hash.Value() << L'\t'
        << seconds << L'\n';
}

// Changes what a second reading would find: another units file under the
// same name, and no profile at all.
void SpoilSources()
{
    KxStatus status = -1;
    UnitDestroyList(UnitGetDimList(&status));
    const std::wstring units = EnvValue(UnitsVar);
    HANDLE file = CreateFileW(units.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        const char other[] = "Other x y\n";
        DWORD written = 0;
        WriteFile(file, other, sizeof other - 1, &written, nullptr);
        CloseHandle(file);
    }
    DeleteFileW(EnvValue(L"KALVEX_PROFILE").c_str());
}

void WriteFull(std::wostringstream &out)
{
    KxStatus status = -1;
    UnitList dims = UnitGetDimList(&status);
    out << L"dims\t" << status << L'\t' << (dims ? 0 : 1) << L'\n';
    for (wchar_t **dim = dims; dim && *dim; ++dim) {
        KxStatus symStatus = -1;
        UnitList syms = UnitGetSymList(*dim, &symStatus);
        out << L"dim\t" << *dim << L'\t' << symStatus;
        for (wchar_t **sym = syms; sym && *sym; ++sym)
            out << L'\t' << *sym;
        out << L'\n';
        UnitDestroyList(syms);
    }
    UnitDestroyList(dims);
    status = -1;
    UnitList probe = UnitGetSymList(L"Temperature", &status);
    out << L"probe\t" << status << L'\t' << (probe ? 0 : 1) << L'\n';
    UnitDestroyList(probe);
}

// Fields are separated by tabs: names and symbols hold no white space.
int ChildMain(const std::wstring &outPath)
{
    std::wostringstream out;
    const std::wstring mode = EnvValue(ModeVar);
    if (mode == L"reread")
        SpoilSources();
    if (EnvValue(InitVar) == L"1") {
        int32_t result = -1;
        const int16_t ret = UnitInitialize(&result);
        out << L"init\t" << result << L'\t' << ret << L'\n';
    }
    if (mode == L"summary")
        WriteSummary(out);
    else
        WriteFull(out);
    WriteFault(out);
    wchar_t global[UNIT_GLOBAL_PATH_CHARS];
    UserGetGlobalUnitSet(global);
    out << L"global\t" << global << L"\nend\n";

    const std::wstring text = out.str();
    HANDLE file = CreateFileW(outPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 3;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &written,
                              nullptr);
    CloseHandle(file);
    return ok ? 0 : 3;
}

std::vector<std::wstring> Fields(const std::wstring &line)
{
    std::vector<std::wstring> fields;
    size_t pos = 0;
    for (;;) {
        const size_t tab = line.find(L'\t', pos);
        fields.push_back(line.substr(pos, tab == std::wstring::npos ? std::wstring::npos : tab - pos));
        if (tab == std::wstring::npos)
            return fields;
        pos = tab + 1;
    }
}

void ParseReport(const std::wstring &text, ChildReport &report)
{
    std::wistringstream in(text);
    std::wstring line;
    while (std::getline(in, line)) {
        const std::vector<std::wstring> f = Fields(line);
        if (f[0] == L"init" && f.size() == 3) {
            report.CalledInitialize = true;
            report.InitResult = std::stoi(f[1]);
            report.InitReturn = std::stoi(f[2]);
        } else if (f[0] == L"dims" && f.size() == 3) {
            report.DimStatus = std::stoi(f[1]);
            report.DimListNull = f[2] == L"1";
        } else if (f[0] == L"dim" && f.size() >= 3) {
            ReportedDimension dim;
            dim.Name = f[1];
            dim.Status = std::stoi(f[2]);
            dim.Symbols.assign(f.begin() + 3, f.end());
            report.Dims.push_back(dim);
        } else if (f[0] == L"probe" && f.size() == 3) {
            report.ProbeStatus = std::stoi(f[1]);
            report.ProbeNull = f[2] == L"1";
        } else if (f[0] == L"fault" && f.size() == 7) {
            report.Fault.Return = std::stoi(f[1]);
            report.Fault.Code = std::stoi(f[2]);
            report.Fault.Line = std::stoi(f[3]);
            report.Fault.SystemError = std::stoul(f[4]);
            report.Fault.File = f[5];
            report.Fault.Detail = f[6];
        } else if (f[0] == L"summary" && f.size() == 6) {
            report.Summary.Present = true;
            report.Summary.Dims = std::stoul(f[1]);
            report.Summary.Symbols = std::stoul(f[2]);
            report.Summary.FailedSymLists = std::stoul(f[3]);
            report.Summary.Hash = std::stoull(f[4]);
            report.Summary.Seconds = std::stod(f[5]);
        } else if (f[0] == L"global" && f.size() == 2) {
            report.GlobalSet = f[1];
        } else if (f[0] == L"end") {
            report.Finished = true;
        }
    }
}

} // namespace

ChildReport RunChild(const wchar_t *profile, bool initialize, ChildMode mode, const wchar_t *unitsFile)
{
    ChildReport report;
    testfiles::TempDir dir;
    const std::wstring outPath = dir.Write(L"report.txt", std::string());
    testprocess::Outcome outcome;
    {
        testfiles::ScopedEnv profileVar(L"KALVEX_PROFILE", profile);
        testfiles::ScopedEnv outVar(OutVar, outPath.c_str());
        testfiles::ScopedEnv initVar(InitVar, initialize ? L"1" : L"0");
        testfiles::ScopedEnv modeVar(ModeVar, mode == ChildMode::Summary  ? L"summary"
                                              : mode == ChildMode::Reread ? L"reread"
                                                                          : nullptr);
        testfiles::ScopedEnv unitsVar(UnitsVar, unitsFile);
        testprocess::Options options;
        options.LimitMs = 60000;
        options.CheckExit = false; // the report says more than the exit code
        outcome = testprocess::Run(testprocess::Self(), options);
    }
    report.ExitCode = outcome.ExitCode;
    std::string bytes;
    if (outcome.Ok() && testprocess::ReadReport(outPath, bytes, outcome, sizeof(wchar_t))) {
        std::wstring text(bytes.size() / sizeof(wchar_t), L'\0');
        memcpy(&text[0], bytes.data(), text.size() * sizeof(wchar_t));
        ParseReport(text, report);
        if (!report.Finished)
            testprocess::ReportFailed(outcome, "short: no end line (" + std::to_string(bytes.size()) + " bytes)");
    }
    report.Why = outcome.Why();
    // A start or a wait that failed is the harness's failure, whatever the
    // test expected of the child.
    if (outcome.Failed == testprocess::Step::Start || outcome.Failed == testprocess::Step::Timeout)
        ADD_FAILURE() << "the units child: " << report.Why;
    return report;
}

} // namespace childtest

int main(int argc, char **argv)
{
    const std::wstring outPath = childtest::EnvValue(childtest::OutVar);
    if (!outPath.empty())
        return childtest::ChildMain(outPath);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
