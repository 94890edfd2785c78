// Telling a set file from whatever else a path may name, before the reader
// is let at it: a received file may be anything that was given a .uas name.
#include "setprobe.h"

#include <string>

namespace {

constexpr DWORD ProbeBytes = 4096; // enough for the first four header lines
constexpr int HeaderLinesChecked = 4;

bool IsMissing(DWORD error)
{
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
           error == ERROR_INVALID_NAME || error == ERROR_BAD_NETPATH ||
           error == ERROR_BAD_NET_NAME || error == ERROR_INVALID_DRIVE;
}

// Whether the system takes the path for a device: its full form is then a
// name of the device namespace, "\\.\NAME", with no folder. So it is for
// CON, CONIN$, PRN, LPT1 and such names with any extension in any folder
// (C:\x\con.uas), whether or not that device exists here: none of them is
// a file on disk, and some cannot even be opened to find that out.
bool NamesDevice(const wchar_t *path)
{
    constexpr wchar_t DevicePrefix[] = L"\\\\.\\";
    constexpr size_t DevicePrefixChars = 4;
    const DWORD needed = GetFullPathNameW(path, 0, nullptr, nullptr);
    if (needed == 0)
        return false;
    std::wstring full(needed, L'\0');
    const DWORD got = GetFullPathNameW(path, needed, &full[0], nullptr);
    if (got == 0 || got >= needed)
        return false;
    full.resize(got);
    return full.size() > DevicePrefixChars &&
           full.compare(0, DevicePrefixChars, DevicePrefix) == 0 &&
           full.find_first_of(L"\\/", DevicePrefixChars) == std::wstring::npos;
}

// The opening rule: "* " and hyphens, blanks allowed at the end.
bool IsOpeningRule(const std::string &line)
{
    if (line.size() < 3 || line.compare(0, 3, "* -") != 0)
        return false;
    size_t i = 2;
    while (i < line.size() && line[i] == '-')
        ++i;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
        ++i;
    return i == line.size();
}

// Whether the bytes begin as a set file does. A NUL byte means binary data:
// the writer never puts one into a file.
bool HasSetHeader(const std::string &bytes)
{
    if (bytes.find('\0') != std::string::npos)
        return false;
    size_t start = 0;
    for (int line = 0; line < HeaderLinesChecked; ++line) {
        const size_t end = bytes.find('\n', start);
        if (end == std::string::npos)
            return false;
        std::string text = bytes.substr(start, end - start);
        if (!text.empty() && text.back() == '\r')
            text.pop_back();
        if (line == 0 ? !IsOpeningRule(text) : (text.empty() || text[0] != '*'))
            return false;
        start = end + 1;
    }
    return true;
}

} // namespace

SetFileProbeResult SetFileProbe(const wchar_t *path)
{
    if (!path || !*path)
        return {SetFileKind::Missing, 0};
    if (NamesDevice(path))
        return {SetFileKind::Device, 0};
    const DWORD attributes = GetFileAttributesW(path);
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if (attributes & FILE_ATTRIBUTE_DIRECTORY)
            return {SetFileKind::Folder, 0};
        if (attributes & FILE_ATTRIBUTE_DEVICE)
            return {SetFileKind::Device, 0};
    }
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (IsMissing(error))
            return {SetFileKind::Missing, 0};
        return {SetFileKind::Unreadable, error};
    }
    if (GetFileType(file) != FILE_TYPE_DISK) {
        CloseHandle(file);
        return {SetFileKind::Device, 0};
    }
    std::string bytes(ProbeBytes, '\0');
    DWORD got = 0;
    const BOOL read = ReadFile(file, &bytes[0], ProbeBytes, &got, nullptr);
    const DWORD error = read ? 0 : GetLastError();
    CloseHandle(file);
    if (!read)
        return {SetFileKind::Unreadable, error};
    bytes.resize(got);
    return {HasSetHeader(bytes) ? SetFileKind::SetFile : SetFileKind::OtherFormat, 0};
}
