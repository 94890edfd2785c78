// What a path names, before it is read as a set file: a set file, or
// something that must not be read as one (nothing, a folder, a device, a
// file of another format, a file that may not be read).
#ifndef SETPROBE_H
#define SETPROBE_H

#include <windows.h>

#include <cstdint>

enum class SetFileKind : int16_t {
    SetFile,     // a file on disk that begins with a set file's header
    Missing,     // nothing of that name
    Folder,      // a folder
    Device,      // a device (CON, NUL, COM1...), never to be read
    OtherFormat, // a file that does not begin with a set file's header
    Unreadable,  // a file that cannot be opened for reading (SystemError)
};

struct SetFileProbeResult {
    SetFileKind Kind;
    DWORD SystemError; // for Unreadable, else 0
};

// Looks at what path names and at the first lines of a file: the opening
// rule ("* " and hyphens) and three more lines that begin with "*". Never
// reads from anything but a file on disk.
SetFileProbeResult SetFileProbe(const wchar_t *path);

#endif // SETPROBE_H
