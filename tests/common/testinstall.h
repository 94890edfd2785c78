// A temporary installation for tests of the program: a profile, a small
// units file, a set folder and a help file in a folder of their own, found
// through KALVEX_PROFILE. The resource libraries are the build's own.
#ifndef TESTINSTALL_H
#define TESTINSTALL_H

#include <windows.h>

#include <string>
#include <vector>

namespace testinstall {

// The dimensions and symbols of the test units file, in its order.
struct Dimension {
    std::wstring Name;
    std::vector<std::wstring> Symbols;
};
const std::vector<Dimension> &Dimensions();

struct Options {
    std::wstring Language = L"English";
    std::wstring AllowedUsers; // empty: everyone
    bool BrokenUnits = false;  // units file that does not load
    bool NoResourceLibraries = false; // an empty resource folder of its own
    std::wstring ResourceDir;          // Resource_Binary_Dir as given, when not empty
};

// Creates the installation in a new temp folder and points KALVEX_PROFILE
// at it; returns the folder (ends without a backslash).
std::wstring Create(const Options &options);

// Folders of the current installation.
std::wstring Root();
std::wstring SetFolder();
std::wstring SetPath(const std::wstring &name);

// The build's bin folder (where the test program lives) and res folder.
std::wstring BinFolder();
std::wstring ResFolder();

// Whole-file helpers (bytes as stored).
bool WriteBytes(const std::wstring &path, const std::string &bytes);
bool ReadBytes(const std::wstring &path, std::string &bytes);
bool Exists(const std::wstring &path);

} // namespace testinstall

#endif
