// The dimension catalogue: built once from the units library, one DimEntry
// per dimension with its own copies of the name and of the unit symbols, and
// the list of names that fills the Dimensions list.
#include "dimcat.h"

#include "velx32.h"

namespace {

// Status left in the caller's variable when a block cannot be had: the
// libraries report such a failure no other way.
constexpr KxStatus StatusNoMemory = -1;

// Releases every item of a list of KxMalloc blocks, then the list: ListFree
// leaves the items alone.
void FreeStrings(ListHandle list)
{
    ListIterator it;
    void *item = nullptr;
    ListIteratorInit(&it, list);
    while (ListIteratorNext(&it, &item))
        KxFree(item);
    ListFree(list);
}

// Releases one entry with everything it owns.
void EntryFree(DimEntry *entry)
{
    if (!entry)
        return;
    if (entry->UnitSymbols)
        FreeStrings(entry->UnitSymbols);
    if (entry->Name)
        KxFree(entry->Name);
    KxFree(entry);
}

// Appends an item that the list then owns. An item that could not be had
// (null) or appended is released here; *status then says why.
template <typename Item, typename Release>
bool AppendOwned(ListHandle list, Item *item, Release release, KxStatus *status)
{
    if (!item) {
        *status = StatusNoMemory;
        return false;
    }
    ListAddBack(list, item, status);
    if (*status != 0) {
        release(item);
        return false;
    }
    return true;
}

// Appends a copy of every string of a library array to the list. Stops at
// the first failure, with its status in *status; a copy that could not be
// appended is released here.
void AppendCopies(ListHandle list, UnitList strings, KxStatus *status)
{
    *status = 0;
    for (wchar_t **s = strings; s && *s; ++s) {
        if (!AppendOwned(list, KxStrdupW(*s), KxFree, status))
            return;
    }
}

// The symbols of one entry, in the library's order.
void EntryFillSymbols(DimEntry *entry, KxStatus *status)
{
    UnitList symbols = UnitGetSymList(entry->Name, status);
    if (*status == 0) {
        entry->UnitSymbols = ListCreate(status);
        if (*status == 0)
            AppendCopies(entry->UnitSymbols, symbols, status);
    }
    if (symbols)
        UnitDestroyList(symbols);
}

// A new entry for the name, at its first unit; null when a block cannot be
// had.
DimEntry *EntryCreate(const wchar_t *name)
{
    auto *entry = static_cast<DimEntry *>(KxMalloc(sizeof(DimEntry)));
    if (!entry)
        return nullptr;
    entry->Name = KxStrdupW(name);
    entry->SelectedUnit = 0;
    entry->UnitSymbols = nullptr;
    if (!entry->Name) {
        EntryFree(entry);
        return nullptr;
    }
    return entry;
}

// First pass: every entry, in the library's order, before any symbols are
// asked for.
void AppendEntries(ListHandle catalogue, UnitList names, KxStatus *status)
{
    for (wchar_t **name = names; name && *name; ++name) {
        if (!AppendOwned(catalogue, EntryCreate(*name), EntryFree, status))
            return;
    }
}

} // namespace

ListHandle DimCatalogueCreate(KxStatus *status)
{
    UnitList names = UnitGetDimList(status);
    ListHandle catalogue = nullptr;
    if (*status == 0)
        catalogue = ListCreate(status);
    if (*status == 0)
        AppendEntries(catalogue, names, status);
    if (names)
        UnitDestroyList(names);
    if (*status != 0) {
        DimCatalogueFree(catalogue);
        return nullptr;
    }

    // Second pass over the finished list of entries.
    ListIterator it;
    void *item = nullptr;
    ListIteratorInit(&it, catalogue);
    while (ListIteratorNext(&it, &item)) {
        EntryFillSymbols(static_cast<DimEntry *>(item), status);
        if (*status != 0) {
            DimCatalogueFree(catalogue);
            return nullptr;
        }
    }
    return catalogue;
}

ListHandle DimNamesCreate(KxStatus *status)
{
    ListHandle list = ListCreate(status);
    if (*status != 0)
        return list;

    UnitList names = UnitGetDimList(status);
    if (*status == 0)
        AppendCopies(list, names, status);
    if (names)
        UnitDestroyList(names);
    return list;
}

void DimNamesFree(ListHandle names)
{
    if (names)
        FreeStrings(names);
}

void DimCatalogueFree(ListHandle catalogue)
{
    if (!catalogue)
        return;
    ListIterator it;
    void *item = nullptr;
    ListIteratorInit(&it, catalogue);
    while (ListIteratorNext(&it, &item))
        EntryFree(static_cast<DimEntry *>(item));
    ListFree(catalogue);
}
