// A profile of the test's own in a temporary folder, named through
// KALVEX_PROFILE while the object lives; the folder also takes other files
// a test needs (help texts).
#ifndef VELW32_TEMPPROFILE_H
#define VELW32_TEMPPROFILE_H

#include <windows.h>

#include <string>

class TempProfile {
public:
    TempProfile();
    ~TempProfile();
    TempProfile(const TempProfile &) = delete;
    TempProfile &operator=(const TempProfile &) = delete;

    // Writes the profile (UTF-8) with the given text.
    void Write(const std::wstring &text);
    // Writes a file of the folder, bytes as given.
    void WriteFile(const std::wstring &name, const std::string &bytes);
    const std::wstring &Folder() const { return folder_; }

private:
    std::wstring folder_;
    std::wstring previous_;
    bool hadPrevious_ = false;
};

std::string Utf8(const std::wstring &text);

#endif
