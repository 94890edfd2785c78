// The set folder as the set catalogue and the set-selection dialog see it:
// which folder the profile names, and which sets (NAME.uas files) it holds.
// Internal to velw32.dll.
#ifndef VELW32_UASCAT_H
#define VELW32_UASCAT_H

#include <string>
#include <vector>

// One set on disk: its name as the file is spelt, and its file's full path.
struct UasSet {
    std::wstring Name;
    std::wstring Path;
};

enum class UasFolderState {
    Ready,          // the folder exists (it may hold no sets)
    NotConfigured,  // the profile names no usable folder
    Missing         // the named folder does not exist
};

struct UasFolder {
    UasFolderState State = UasFolderState::NotConfigured;
    std::wstring Dir;            // full path of the folder, as far as known
    std::vector<UasSet> Sets;    // sorted by name without regard to case
};

// Reads the profile and lists the folder anew. Files that cannot be
// represented (name over 60 characters, path over 260) are left out, and so
// is the second of two names that differ only in case.
UasFolder UasReadFolder();

// The path of the file of the set named name in folder dir.
std::wstring UasSetPath(const std::wstring &dir, const std::wstring &name);

// The set name of a file name: without a final ".uas" (any case).
std::wstring UasNameOfFile(const std::wstring &fileName);

// Set names (and paths) compare as the file system compares file names.
bool UasSameName(const std::wstring &a, const std::wstring &b);

// The set of that name in the list, or null.
const UasSet *UasFindSet(const std::vector<UasSet> &sets, const std::wstring &name);

#endif
