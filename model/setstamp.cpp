// The set file's content record: existence, size and a hash of the bytes.
// The file's times are not part of it: a network share or a FAT disk keeps
// them to two seconds, a copy keeps the old time, and another machine's
// clock may differ, so a time can neither prove that nothing changed nor
// that something did. The bytes can.
#include "setstamp.h"

namespace {

constexpr uint64_t FnvOffset = 14695981039346656037ull;
constexpr uint64_t FnvPrime = 1099511628211ull;
constexpr DWORD ReadBlockBytes = 16384;

uint64_t HashMore(uint64_t hash, const unsigned char *bytes, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        hash ^= bytes[i];
        hash *= FnvPrime;
    }
    return hash;
}

SetFileStamp Unknown()
{
    return SetFileStamp{false, true, 0, 0};
}

} // namespace

SetFileStamp SetFileStampOfBytes(const void *bytes, size_t count)
{
    return SetFileStamp{true, true, count,
                        HashMore(FnvOffset, static_cast<const unsigned char *>(bytes), count)};
}

SetFileStamp SetFileStampOf(const wchar_t *path)
{
    if (!path || !path[0])
        return Unknown();
    // Shared for every kind of access: the check must never be the reason
    // that another program's save fails.
    HANDLE file =
        CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            return SetFileStamp{true, false, 0, 0};
        return Unknown();
    }
    SetFileStamp stamp = {true, true, 0, FnvOffset};
    if (GetFileType(file) != FILE_TYPE_DISK) {
        CloseHandle(file);
        return Unknown();
    }
    unsigned char block[ReadBlockBytes];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file, block, ReadBlockBytes, &got, nullptr)) {
            stamp = Unknown();
            break;
        }
        if (got == 0)
            break;
        stamp.Hash = HashMore(stamp.Hash, block, got);
        stamp.Size += got;
    }
    CloseHandle(file);
    return stamp;
}

bool SetFileStampSame(const SetFileStamp &a, const SetFileStamp &b)
{
    if (!a.Known || !b.Known || a.Exists != b.Exists)
        return false;
    return !a.Exists || (a.Size == b.Size && a.Hash == b.Hash);
}
