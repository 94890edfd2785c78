// What a set file held when the editor last read or wrote it, as a short
// record: whether it existed, its size and a hash of all its bytes. Two
// records are compared before Save writes over a file that another editor
// may have changed in the meantime.
#ifndef SETSTAMP_H
#define SETSTAMP_H

#include <windows.h>

#include <cstddef>
#include <cstdint>

struct SetFileStamp {
    bool Known;    // false: the file exists but could not be read, nothing is known
    bool Exists;   // an ordinary file stood at the path
    uint64_t Size; // bytes
    uint64_t Hash; // 64-bit FNV-1a of every byte
};

// The record of bytes that are about to be, or were, the file's content.
SetFileStamp SetFileStampOfBytes(const void *bytes, size_t count);

// The record of the file at path as it is now. A path where nothing stands
// gives Exists false; a folder, a device or a file that cannot be read gives
// Known false.
SetFileStamp SetFileStampOf(const wchar_t *path);

// True when both records are known and describe the same content (both
// missing counts as the same).
bool SetFileStampSame(const SetFileStamp &a, const SetFileStamp &b);

#endif // SETSTAMP_H
