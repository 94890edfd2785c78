// The set folder as the set catalogue and the set-selection dialog see it:
// which folder the profile names, and which sets (NAME.uas files) it holds.
// Internal to velw32.dll.
#ifndef VELW32_UASCAT_H
#define VELW32_UASCAT_H

#include <atomic>
#include <string>
#include <vector>

// One set on disk: its name as the file is spelt, and its file's full path.
struct UasSet {
    std::wstring Name;
    std::wstring Path;
};

enum class UasFolderState {
    Ready,         // the folder exists (it may hold no sets)
    NotConfigured, // the profile names no usable folder
    Unreadable,    // the key cannot be read: an unset variable, a profile not to be read
    Missing        // the named folder does not exist and cannot be made
};

struct UasFolder {
    UasFolderState State = UasFolderState::NotConfigured;
    std::wstring Dir;         // full path of the folder, as far as known
    std::vector<UasSet> Sets; // sorted by name without regard to case
};

// Reads the profile and lists the folder anew; a folder that does not exist
// yet (a per-user folder on first use) is made, with its parents. Files whose
// names are over 60 characters are left out, and so are device names and the
// second of two names that differ only in case. A path too long for a
// catalogue record (over 260) is listed; the catalogue leaves it out.
UasFolder UasReadFolder();

// The same in two steps: the folder without its sets (the profile read, the
// folder made), then its sets listed, one listing of the folder that opens
// no file; the second step may run on another thread, and stops early,
// its sets then incomplete, once *stop is true.
UasFolder UasOpenFolder();
void UasListSets(UasFolder &folder, const std::atomic<bool> *stop = nullptr);

// What the folder holds now under the file name of the set named name, by
// one look-up of the disk: that set (set then filled in, under the listing's
// rules and spelt as the listing spells it), nothing, or something that is
// no set of that name (a folder, a file the name reaches by another way).
enum class UasOnDisk { Nothing, Set, Other };
UasOnDisk UasLookUpSet(const UasFolder &folder, const std::wstring &name, UasSet &set);

// True when Windows takes name, as a file name in any folder, for a device
// (CON, PRN, AUX, NUL, COM1-9, LPT1-9 with the superscript digits 1-3 too,
// CONIN$, CONOUT$): in any letter case, with any extension, with trailing
// dots or spaces. Opening such a file opens the device.
bool UasIsDeviceName(const std::wstring &name);

// Whether the two paths name the same file, compared as full paths without
// regard to case.
bool UasSamePath(const std::wstring &a, const std::wstring &b);

// The path of the file of the set named name in folder dir.
std::wstring UasSetPath(const std::wstring &dir, const std::wstring &name);

// The set name of a file name: without a final ".uas" (any case).
std::wstring UasNameOfFile(const std::wstring &fileName);

// Set names (and paths) compare as the file system compares file names.
bool UasSameName(const std::wstring &a, const std::wstring &b);

// The set of that name in sets (sorted as UasFolder's), or null.
const UasSet *UasFindSet(const std::vector<UasSet> &sets, const std::wstring &name);

#endif
