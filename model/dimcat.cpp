/*
 * dimcat.cpp - the dimension catalogue: built once from the units library,
 * one DimEntry per dimension with its own copies of the name and of the
 * unit symbols, and the list of names that fills the Dimensions list box.
 */
#include "dimcat.h"

#include "velw32.h"
#include "velx32.h"

/* Status left in the caller's variable when a block cannot be had: the
 * libraries report such a failure no other way. */
#define DIM_STATUS_NO_MEMORY ((KxStatus)-1)

/* Releases one entry with everything it owns. Symbol lists are released
 * item by item because ListFree leaves the items alone. */
static void DimEntryFree(DimEntry *entry)
{
    if (!entry)
        return;
    if (entry->UnitSymbols) {
        ListIterator it;
        void *item = NULL;
        ListIteratorInit(&it, entry->UnitSymbols);
        while (ListIteratorNext(&it, &item))
            KxFree(item);
        ListFree(entry->UnitSymbols);
    }
    if (entry->Name)
        KxFree(entry->Name);
    KxFree(entry);
}

/* Takes back a catalogue that could not be finished. */
static void DimCatalogueFree(ListHandle catalogue)
{
    ListIterator it;
    void *item = NULL;
    ListIteratorInit(&it, catalogue);
    while (ListIteratorNext(&it, &item))
        DimEntryFree((DimEntry *)item);
    ListFree(catalogue);
}

/* Appends a copy of every string of a library array to the list. Stops at
 * the first failure, with its status in *status; a copy that could not be
 * appended is released here. */
static void DimAppendCopies(ListHandle list, UnitList strings, KxStatus *status)
{
    *status = 0;
    if (!strings)
        return;
    for (wchar_t **s = strings; *s; ++s) {
        wchar_t *copy = KxStrdupW(*s);
        if (!copy) {
            *status = DIM_STATUS_NO_MEMORY;
            return;
        }
        ListAddBack(list, copy, status);
        if (*status != 0) {
            KxFree(copy);
            return;
        }
    }
}

/* The symbols of one entry, in the library's order. */
static void DimEntryFillSymbols(DimEntry *entry, KxStatus *status)
{
    UnitList symbols = UnitGetSymList(entry->Name, status);
    if (*status != 0) {
        if (symbols)
            UnitDestroyList(symbols);
        return;
    }
    entry->UnitSymbols = ListCreate(status);
    if (*status == 0)
        DimAppendCopies(entry->UnitSymbols, symbols, status);
    if (symbols)
        UnitDestroyList(symbols);
}

ListHandle DimCatalogueCreate(KxStatus *status)
{
    UnitList names = UnitGetDimList(status);
    if (*status != 0) {
        if (names)
            UnitDestroyList(names);
        return NULL;
    }

    ListHandle catalogue = ListCreate(status);
    if (*status != 0) {
        if (names)
            UnitDestroyList(names);
        return NULL;
    }

    /* First pass: every entry, in the library's order, before any symbols
     * are asked for. */
    for (wchar_t **name = names; name && *name; ++name) {
        DimEntry *entry = (DimEntry *)KxMalloc(sizeof(DimEntry));
        if (!entry) {
            *status = DIM_STATUS_NO_MEMORY;
            break;
        }
        entry->Name = KxStrdupW(*name);
        entry->SelectedUnit = 0;
        entry->UnitSymbols = NULL;
        if (!entry->Name) {
            DimEntryFree(entry);
            *status = DIM_STATUS_NO_MEMORY;
            break;
        }
        ListAddBack(catalogue, entry, status);
        if (*status != 0) {
            DimEntryFree(entry);
            break;
        }
    }
    if (names)
        UnitDestroyList(names);
    if (*status != 0) {
        DimCatalogueFree(catalogue);
        return NULL;
    }

    /* Second pass over the finished list of entries. */
    ListIterator it;
    void *item = NULL;
    ListIteratorInit(&it, catalogue);
    while (ListIteratorNext(&it, &item)) {
        DimEntryFillSymbols((DimEntry *)item, status);
        if (*status != 0) {
            DimCatalogueFree(catalogue);
            return NULL;
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
        DimAppendCopies(list, names, status);
    if (names)
        UnitDestroyList(names);
    return list;
}

void DimListShow(HWND listBox)
{
    KxStatus status = 0;
    ListHandle names = DimNamesCreate(&status);
    if (!names)
        return;
    /* Whatever the list holds is shown; a failed library call leaves it
     * short or empty. */
    LBoxFromList(listBox, names, 0);

    /* The list box keeps its own copies; ListFree would leave ours behind. */
    ListIterator it;
    void *item = NULL;
    ListIteratorInit(&it, names);
    while (ListIteratorNext(&it, &item))
        KxFree(item);
    ListFree(names);
}
