// uaslnk: reads a shell link (.lnk) the way Explorer does, for the install
// test, which must start the program from what the Start-menu entry names.
//
//   uaslnk FILE.lnk     prints "target=PATH", "dir=FOLDER", "args=ARGS" and
//                       "desc=DESCRIPTION" as UTF-8 lines; exit 1 when the
//                       link cannot be read
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <string>

namespace {

constexpr int PathCapacity = MAX_PATH + 1;
// INFOTIPSIZE: the longest description a link holds.
constexpr int InfoTipCapacity = 1024;

void EmitLine(const char *key, const wchar_t *value)
{
    const int n = WideCharToMultiByte(CP_UTF8, 0, value, -1, nullptr, 0, nullptr, nullptr);
    std::string text(n > 0 ? static_cast<size_t>(n) : 1, '\0');
    WideCharToMultiByte(CP_UTF8, 0, value, -1, &text[0], n, nullptr, nullptr);
    text.resize(text.find('\0'));
    const std::string line = std::string(key) + "=" + text + "\n";
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), line.data(), static_cast<DWORD>(line.size()), &written,
              nullptr);
}

int ReadLink(const wchar_t *file)
{
    IShellLinkW *link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void **>(&link))))
        return 1;
    int result = 1;
    IPersistFile *persist = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void **>(&persist)))) {
        wchar_t target[PathCapacity] = L"";
        wchar_t dir[PathCapacity] = L"";
        wchar_t args[PathCapacity] = L"";
        wchar_t description[InfoTipCapacity] = L"";
        // The raw path: the test wants what the link stores, not a guess
        // that the shell might make when the target has gone.
        if (SUCCEEDED(persist->Load(file, STGM_READ)) &&
            SUCCEEDED(link->GetPath(target, PathCapacity, nullptr, SLGP_RAWPATH)) &&
            SUCCEEDED(link->GetWorkingDirectory(dir, PathCapacity)) &&
            SUCCEEDED(link->GetArguments(args, PathCapacity)) &&
            SUCCEEDED(link->GetDescription(description, InfoTipCapacity))) {
            EmitLine("target", target);
            EmitLine("dir", dir);
            EmitLine("args", args);
            EmitLine("desc", description);
            result = target[0] ? 0 : 1;
        }
        persist->Release();
    }
    link->Release();
    return result;
}

} // namespace

int wmain(int argc, wchar_t **argv)
{
    if (argc != 2)
        return 2;
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
        return 1;
    const int result = ReadLink(argv[1]);
    CoUninitialize();
    return result;
}
