// A profile of the test's own in a temporary folder, named through
// KALVEX_PROFILE while the object lives; the folder also takes other files
// a test needs (help texts).
#ifndef VELW32_TEMPPROFILE_H
#define VELW32_TEMPPROFILE_H

#include "testfiles.h"

#include <string>

class TempProfile {
public:
    TempProfile() : env_(L"KALVEX_PROFILE", (dir_.Path() + L"\\kalvex.ini").c_str()) {}

    // Writes the profile (UTF-8) with the given text.
    void Write(const std::wstring &text) { dir_.Write(L"kalvex.ini", testfiles::Utf8(text)); }
    // Writes a file of the folder, bytes as given.
    void WriteFile(const std::wstring &name, const std::string &bytes) { dir_.Write(name, bytes); }
    const std::wstring &Folder() const { return dir_.Path(); }

private:
    testfiles::TempDir dir_;
    testfiles::ScopedEnv env_;
};

#endif
