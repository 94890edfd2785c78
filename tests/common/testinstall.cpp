// A temporary installation for tests of the program.
#include "testinstall.h"

#include "tempinstall.h"
#include "testfiles.h"

#include <cstdio>
#include <memory>

namespace testinstall {

namespace {
// One installation at a time: a new one takes the place of the last.
std::unique_ptr<TempInstall> install;
std::wstring root;

std::wstring Parent(const std::wstring &path)
{
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}
} // namespace

const std::vector<Dimension> &Dimensions()
{
    static const std::vector<Dimension> dims = {
        {L"Temperature", {L"K", L"degC", L"degF", L"degR"}},
        {L"Pressure", {L"Pa", L"kPa", L"bar", L"psi", L"atm"}},
        {L"MassFlow", {L"kg/s", L"kg/h", L"t/h", L"lb/h"}},
        {L"Length", {L"m", L"mm", L"ft", L"in"}},
        {L"Density", {L"kg/m3", L"g/cm3", L"lb/ft3"}},
        {L"Fraction", {L"-", L"%"}},
    };
    return dims;
}

std::wstring BinFolder()
{
    wchar_t module[MAX_PATH];
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    return Parent(module);
}

std::wstring ResFolder()
{
    return Parent(BinFolder()) + L"\\res";
}

std::wstring Root()
{
    return root;
}
std::wstring SetFolder()
{
    return root + L"\\sets";
}
std::wstring SetPath(const std::wstring &name)
{
    return SetFolder() + L"\\" + name + L".uas";
}

bool WriteBytes(const std::wstring &path, const std::string &bytes)
{
    FILE *f = _wfopen(path.c_str(), L"wb");
    if (!f)
        return false;
    const bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return fclose(f) == 0 && ok;
}

bool ReadBytes(const std::wstring &path, std::string &bytes)
{
    FILE *f = _wfopen(path.c_str(), L"rb");
    if (!f)
        return false;
    bytes.clear();
    char chunk[4096];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, f)) > 0)
        bytes.append(chunk, n);
    fclose(f);
    return true;
}

bool Exists(const std::wstring &path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring Create(const Options &options)
{
    std::wstring units = L"# test units\r\n";
    for (const auto &d : Dimensions()) {
        units += d.Name;
        for (const auto &symbol : d.Symbols)
            units += L" " + symbol;
        units += L"\r\n";
    }
    if (options.BrokenUnits)
        units = L"NameThatIsFarTooLongToBeADimensionName K\r\n";

    install.reset();
    TempInstall::Options made;
    made.UnitsText = units;
    install = std::make_unique<TempInstall>(made);
    root = install->Root();
    CreateDirectoryW((root + L"\\help").c_str(), nullptr);
    install->WriteFile(L"help\\VOLPRA.txt", "Test help.\r\n");

    std::wstring resources = ResFolder();
    if (!options.ResourceDir.empty())
        resources = options.ResourceDir;
    if (options.NoResourceLibraries) {
        resources = root + L"\\res";
        CreateDirectoryW(resources.c_str(), nullptr);
    }
    install->WriteProfile({{L"Kalvex_Section", L"Root_Dir", root},
                           {L"Kalvex_Section", L"Resource_Binary_Dir", resources},
                           {L"Kalvex_Section", L"Help_Dir", root + L"\\help"},
                           {L"Kalvex_Section", L"Allowed_Users", options.AllowedUsers},
                           {L"VelWin_Section", L"Language", options.Language}});
    return root;
}

} // namespace testinstall
