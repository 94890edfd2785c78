// Which file a loaded module was mapped from, for modules that the program
// loads as data (resource libraries): such a module has no module file name,
// and GetModuleHandleW does not find it by its path. Link with psapi.
#ifndef MAPPEDMODULE_H
#define MAPPEDMODULE_H

#include <windows.h>

#include <psapi.h>

#include <string>

// Whether module is a mapping of the file at path. The system names the
// mapped file in its own form (a device or a drive that Wine maps), so the
// path is compared from its first separator on. The low bits of a data
// module's handle mark its kind and are not part of the address.
inline bool MappedFrom(HMODULE module, const std::wstring &path)
{
    wchar_t mapped[1024];
    auto *base = reinterpret_cast<void *>(reinterpret_cast<ULONG_PTR>(module) & ~ULONG_PTR(3));
    const DWORD n = GetMappedFileNameW(GetCurrentProcess(), base, mapped, 1024);
    const size_t from = path.find(L'\\');
    if (module == nullptr || n == 0 || from == std::wstring::npos)
        return false;
    const std::wstring tail = path.substr(from);
    const std::wstring name(mapped, n);
    return name.size() >= tail.size() &&
           CompareStringOrdinal(name.c_str() + name.size() - tail.size(), -1, tail.c_str(), -1,
                                TRUE) == CSTR_EQUAL;
}

// Whether any mapping of the process's address space (a module loaded as
// code or as data) was made from the file at path.
inline bool FileIsMapped(const std::wstring &path)
{
    MEMORY_BASIC_INFORMATION region;
    for (const char *at = nullptr;
         VirtualQuery(at, &region, sizeof region) == sizeof region;
         at = static_cast<const char *>(region.BaseAddress) + region.RegionSize) {
        if (region.State == MEM_COMMIT && (region.Type == MEM_IMAGE || region.Type == MEM_MAPPED) &&
            region.AllocationBase == region.BaseAddress &&
            MappedFrom(static_cast<HMODULE>(region.AllocationBase), path))
            return true;
    }
    return false;
}

#endif
