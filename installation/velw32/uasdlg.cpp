// The set-selection dialog: the user picks a set of the set folder (Open,
// Delete, Global Default) or names a set to save (Save As), by typing its
// name or choosing it in the list. The folder is listed anew each time the
// dialog opens, so sets that other programs added since are offered too.
// The listing is made on a thread of its own and the dialog opens at once,
// its list disabled until the rows are in: a big folder, and more so one on
// a network drive, takes most of the time there. What the user confirms is
// looked up on disk, so a name typed before the list is in works as well.
#include "velw32.h"
#include "texts.h"
#include "velwin.h"
#include "uas_ids.h"
#include "uascat.h"
#include "uasorder.h"
#include "kxtext.h"

#include <strsafe.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <new>
#include <string>
#include <vector>

namespace {

const UINT kTitles[] = {IDS_UAS_TITLE_OPEN, IDS_UAS_TITLE_SAVEAS, IDS_UAS_TITLE_DELETE,
                        IDS_UAS_TITLE_GLOBAL};
const UINT kOkTexts[] = {IDS_UAS_OK_OPEN, IDS_UAS_OK_SAVEAS, IDS_UAS_OK_DELETE, IDS_UAS_OK_GLOBAL};

const size_t kMaxName = UAS_NAME_CHARS - 1;

// Sent to the dialog by the listing thread once the rows are ready.
const UINT WM_UAS_LISTED = WM_APP + 1;

// The folder's sets in the list box's order. Shared by the dialog and the
// thread that makes it: the dialog may end first, and whichever of the two
// lets go last frees it.
struct FolderListing {
    UasFolder Folder;
    LCID Locale = 0; // the locale the order was made for
    std::vector<size_t> Order;
    bool OutOfMemory = false;
    SRWLOCK Lock = SRWLOCK_INIT; // guards the two below
    bool Done = false;
    HWND Dialog = nullptr; // told when done; none before it opens or after it ends
    // The dialog has ended: a listing not yet made is given up, so that
    // dialogs opened and closed quickly on a big folder do not pile up
    // listings in the background.
    std::atomic<bool> Abandoned{false};

    void Make() noexcept;
};

struct SelectionDialog {
    int Mode = 0;
    wchar_t *Path = nullptr;
    size_t PathChars = 0;                   // capacity of the caller's path buffer
    wchar_t *Name = nullptr;                // UAS_NAME_CHARS
    UasFolder Folder;                       // its sets once the listing is in
    std::shared_ptr<FolderListing> Listing; // the sets, as the listing thread finds them
    bool Listed = false;                    // the rows are in
    std::vector<size_t> SetOfRow;           // the set (index in Folder.Sets) each row shows
    std::vector<int> RowOfSet;              // the row of each set, -1 for none
    bool Syncing = false;                   // the program, not the user, is changing a control
};

SelectionDialog *StateOf(HWND dialog)
{
    return reinterpret_cast<SelectionDialog *>(GetWindowLongPtrW(dialog, DWLP_USER));
}

std::wstring ControlText(HWND control)
{
    const int length = GetWindowTextLengthW(control);
    if (length <= 0)
        return std::wstring();
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int got = GetWindowTextW(control, &text[0], length + 1);
    text.resize(static_cast<size_t>(got > 0 ? got : 0));
    return text;
}

// The message that refuses name as the name of a new set file, or 0.
UINT CheckNewName(const std::wstring &name, std::wstring &detail)
{
    if (name.empty())
        return IDS_UAS_ERR_EMPTY;
    if (name.size() > kMaxName) {
        detail = std::to_wstring(kMaxName);
        return IDS_UAS_ERR_TOOLONG;
    }
    for (wchar_t c : name)
        if (c < 32)
            return IDS_UAS_ERR_CONTROLCHAR;
    for (wchar_t c : name) {
        if (wcschr(L"<>:\"/\\|?*", c)) {
            detail.assign(1, c);
            return IDS_UAS_ERR_BADCHAR;
        }
    }
    // A set file stores one byte per character; its header could hold the
    // name only with the character replaced.
    for (size_t i = 0; i < name.size(); ++i) {
        if (name[i] > 0xFF) {
            const bool pair =
                IS_HIGH_SURROGATE(name[i]) && i + 1 < name.size() && IS_LOW_SURROGATE(name[i + 1]);
            detail = name.substr(i, pair ? 2 : 1);
            return IDS_UAS_ERR_UNSTORABLE;
        }
    }
    if (name == L"." || name == L"..")
        return IDS_UAS_ERR_DOTNAME;
    if (name.back() == L'.' || name.back() == L' ')
        return IDS_UAS_ERR_TRAILING;
    if (UasIsDeviceName(name)) {
        detail = name;
        return IDS_UAS_ERR_RESERVED;
    }
    return 0;
}

void Tell(HWND dialog, UINT id, std::initializer_list<std::wstring> values)
{
    const std::wstring text = VelwFormat(id, values);
    const std::wstring title = ControlText(dialog);
    MessageBoxW(dialog, text.c_str(), title.c_str(), MB_OK | MB_ICONEXCLAMATION);
}

// Back to the name field, its text selected, so that the user can retype.
void FocusName(HWND dialog)
{
    HWND field = GetDlgItem(dialog, IDC_UAS_NAME);
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(field), TRUE);
    SendMessageW(field, EM_SETSEL, 0, -1);
}

void Refuse(HWND dialog, UINT id, std::initializer_list<std::wstring> values)
{
    Tell(dialog, id, values);
    FocusName(dialog);
}

const UasSet *SetOfRow(HWND dialog, int row)
{
    SelectionDialog *state = StateOf(dialog);
    if (row < 0 || static_cast<size_t>(row) >= state->SetOfRow.size())
        return nullptr;
    return &state->Folder.Sets[state->SetOfRow[static_cast<size_t>(row)]];
}

// Selects the row of the set named in the field, or no row. The sets are
// sorted by name, so a look-up is a search in halves at every key stroke,
// however many sets the folder holds.
void SelectTypedSet(HWND dialog)
{
    SelectionDialog *state = StateOf(dialog);
    const std::wstring typed = kx::Trim(ControlText(GetDlgItem(dialog, IDC_UAS_NAME)));
    HWND list = GetDlgItem(dialog, IDC_UAS_LIST);
    const UasSet *set = typed.empty() ? nullptr : UasFindSet(state->Folder.Sets, typed);
    const int match =
        set ? state->RowOfSet[static_cast<size_t>(set - state->Folder.Sets.data())] : -1;
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(match), 0);
    if (match >= 0)
        SendMessageW(list, LB_SETTOPINDEX, static_cast<WPARAM>(match), 0);
}

void ShowChosenSet(HWND dialog)
{
    const LRESULT row = SendDlgItemMessageW(dialog, IDC_UAS_LIST, LB_GETCURSEL, 0, 0);
    const UasSet *set = row == LB_ERR ? nullptr : SetOfRow(dialog, static_cast<int>(row));
    if (!set)
        return;
    SelectionDialog *state = StateOf(dialog);
    state->Syncing = true;
    SetDlgItemTextW(dialog, IDC_UAS_NAME, set->Name.c_str());
    state->Syncing = false;
}

void CentreOnOwner(HWND dialog)
{
    HWND owner = GetWindow(dialog, GW_OWNER);
    VelwCentre(dialog, owner, owner && IsWindowVisible(owner) && !IsIconic(owner));
}

std::wstring BoundedText(const wchar_t *buffer, size_t capacity)
{
    if (!buffer)
        return std::wstring();
    size_t length = 0;
    while (length + 1 < capacity && buffer[length])
        ++length;
    return std::wstring(buffer, length);
}

void FolderListing::Make() noexcept
{
    try {
        UasListSets(Folder, &Abandoned);
        if (!Abandoned)
            Order = UasListBoxOrder(Locale, Folder.Sets);
    } catch (const std::bad_alloc &) {
        OutOfMemory = true;
    }
}

// Marks the listing done and tells the dialog, if one waits for it.
void Publish(FolderListing &listing)
{
    AcquireSRWLockExclusive(&listing.Lock);
    listing.Done = true;
    if (listing.Dialog)
        PostMessageW(listing.Dialog, WM_UAS_LISTED, 0, 0);
    ReleaseSRWLockExclusive(&listing.Lock);
}

// Who is to be told when the listing is done; true if it is done already.
bool Subscribe(FolderListing &listing, HWND dialog)
{
    AcquireSRWLockExclusive(&listing.Lock);
    listing.Dialog = dialog;
    const bool done = listing.Done;
    ReleaseSRWLockExclusive(&listing.Lock);
    return done;
}

struct ListingThread {
    std::shared_ptr<FolderListing> Listing;
    HMODULE Module; // held, so that the library stays while the thread runs
};

DWORD WINAPI RunListing(void *parameter)
{
    HMODULE module = nullptr;
    {
        std::unique_ptr<ListingThread> thread(static_cast<ListingThread *>(parameter));
        module = thread->Module;
        thread->Listing->Make();
        Publish(*thread->Listing);
    }
    FreeLibraryAndExitThread(module, 0);
}

// Starts the listing on a thread of its own or, failing that, makes it here.
void StartListing(const std::shared_ptr<FolderListing> &listing)
{
    HMODULE module = nullptr;
    if (GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                           reinterpret_cast<const wchar_t *>(&RunListing), &module)) {
        ListingThread *thread = new (std::nothrow) ListingThread{listing, module};
        HANDLE handle = thread ? CreateThread(nullptr, 0, RunListing, thread, 0, nullptr) : nullptr;
        if (handle) {
            // The rows are work in the background: what the user does in
            // the meantime (types, confirms, saves) goes first.
            SetThreadPriority(handle, THREAD_PRIORITY_BELOW_NORMAL);
            // Nothing waits for the thread: it tells the dialog by a message.
            CloseHandle(handle);
            return;
        }
        delete thread;
        FreeLibrary(module);
    }
    listing->Make();
    Publish(*listing);
}

// The rows, once the listing is in: added at the end in the sorting list
// box's own order, with its drawing off, one fill however many sets.
void TakeListing(HWND dialog)
{
    SelectionDialog *state = StateOf(dialog);
    if (state->Listed)
        return;
    state->Listed = true;
    FolderListing &listing = *state->Listing;
    AcquireSRWLockExclusive(&listing.Lock);
    const bool outOfMemory = listing.OutOfMemory;
    state->Folder.Sets = std::move(listing.Folder.Sets);
    std::vector<size_t> order = std::move(listing.Order);
    ReleaseSRWLockExclusive(&listing.Lock);
    if (outOfMemory)
        throw std::bad_alloc();

    HWND list = GetDlgItem(dialog, IDC_UAS_LIST);
    const std::vector<UasSet> &sets = state->Folder.Sets;
    const LCID locale = static_cast<LCID>(SendMessageW(list, LB_GETLOCALE, 0, 0));
    if (locale != listing.Locale)
        order = UasListBoxOrder(locale, sets);
    state->RowOfSet.assign(sets.size(), -1);
    state->SetOfRow.reserve(sets.size());
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LB_INITSTORAGE, sets.size(), sets.size() * 16 * sizeof(wchar_t));
    for (size_t i : order) {
        const LRESULT row = SendMessageW(list, LB_INSERTSTRING, static_cast<WPARAM>(-1),
                                         reinterpret_cast<LPARAM>(sets[i].Name.c_str()));
        if (row < 0)
            continue;
        state->RowOfSet[i] = static_cast<int>(row);
        state->SetOfRow.push_back(i);
    }
    // The row of the name typed so far, chosen while the drawing is still
    // off: the list is on screen by now, and drawn once.
    SelectTypedSet(dialog);
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    EnableWindow(list, TRUE);
}

void Initialize(HWND dialog, SelectionDialog *state)
{
    SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(state));
    SetWindowTextW(dialog, VelwText(kTitles[state->Mode]).c_str());
    SetDlgItemTextW(dialog, IDOK, VelwText(kOkTexts[state->Mode]).c_str());
    SetDlgItemTextW(dialog, IDCANCEL, VelwText(IDS_UAS_CANCEL).c_str());
    SetDlgItemTextW(dialog, IDC_UAS_LISTLABEL, VelwText(IDS_UAS_LISTLABEL).c_str());
    SetDlgItemTextW(dialog, IDC_UAS_NAMELABEL, VelwText(IDS_UAS_NAMELABEL).c_str());

    std::wstring initial = BoundedText(state->Name, UAS_NAME_CHARS);
    if (state->Mode == UAS_MODE_GLOBAL) {
        // The global set is known by its path; its name may have been cut,
        // and a set of the same name in this folder is another file. Only
        // the set whose file the stored path is gets chosen: the one named
        // as that file, if the path is its path.
        const std::wstring current = BoundedText(state->Path, state->PathChars);
        initial.clear();
        wchar_t name[UAS_NAME_CHARS] = L"";
        std::wstring full;
        UasGetUasName(kx::FullPath(current, full) ? full.c_str() : current.c_str(), name);
        UasSet set;
        if (UasLookUpSet(state->Folder, name, set) == UasOnDisk::Set &&
            UasSamePath(set.Path, current))
            initial = set.Name;
    }
    state->Syncing = true;
    HWND field = GetDlgItem(dialog, IDC_UAS_NAME);
    SetWindowTextW(field, initial.c_str());
    state->Syncing = false;
    // The rows always come through the queue, also when the listing is in
    // already: before the dialog is first drawn, and after whatever the
    // opening of the dialog does, whichever thread is faster.
    EnableWindow(GetDlgItem(dialog, IDC_UAS_LIST), FALSE);
    // Started once the dialog's controls are made: what the dialog itself
    // needs comes first on a busy machine, and the rows follow.
    StartListing(state->Listing);
    if (Subscribe(*state->Listing, dialog))
        PostMessageW(dialog, WM_UAS_LISTED, 0, 0);

    CentreOnOwner(dialog);
    SetFocus(field);
    SendMessageW(field, EM_SETSEL, 0, -1);
}

void Finish(HWND dialog, const std::wstring &name, const std::wstring &path)
{
    SelectionDialog *state = StateOf(dialog);
    StringCchCopyW(state->Path, state->PathChars, path.c_str());
    StringCchCopyW(state->Name, UAS_NAME_CHARS, name.c_str());
    EndDialog(dialog, 1);
}

bool FolderUsable(HWND dialog, const SelectionDialog &state)
{
    switch (state.Folder.State) {
    case UasFolderState::Ready: return true;
    case UasFolderState::NotConfigured: Refuse(dialog, IDS_UAS_ERR_NOFOLDERKEY, {}); return false;
    case UasFolderState::Unreadable:
        Refuse(dialog, IDS_UAS_ERR_FOLDERKEYUNREADABLE, {});
        return false;
    case UasFolderState::Missing:
        Refuse(dialog, IDS_UAS_ERR_NOFOLDER, {state.Folder.Dir});
        return false;
    }
    return false;
}

bool Fits(const SelectionDialog &state, const UasSet &set)
{
    return set.Name.size() <= kMaxName && set.Path.size() < state.PathChars;
}

void Confirm(HWND dialog)
{
    SelectionDialog &state = *StateOf(dialog);
    const std::wstring field = ControlText(GetDlgItem(dialog, IDC_UAS_NAME));
    const std::wstring typed = kx::Trim(field);
    if (!FolderUsable(dialog, state))
        return;

    if (state.Mode != UAS_MODE_SAVEAS) {
        if (typed.empty()) {
            Refuse(dialog, IDS_UAS_ERR_NONAME, {});
            return;
        }
        if (UasIsDeviceName(typed)) {
            Refuse(dialog, IDS_UAS_ERR_RESERVED, {typed});
            return;
        }
        // The disk, not the listing, which may be older or not in yet: a
        // set's file that has since gone, or become a folder, is no set to
        // open or delete. A set that another program named with blanks at
        // its end ("sp ") is listed as it is, and chosen from the list it
        // is taken as it is.
        UasSet set;
        if (UasLookUpSet(state.Folder, field, set) != UasOnDisk::Set &&
            (field == typed || UasLookUpSet(state.Folder, typed, set) != UasOnDisk::Set)) {
            Refuse(dialog, IDS_UAS_ERR_NOSUCHSET, {typed});
            return;
        }
        if (!Fits(state, set)) {
            Refuse(dialog, IDS_UAS_ERR_PATHTOOLONG, {set.Name});
            return;
        }
        Finish(dialog, set.Name, set.Path);
        return;
    }

    std::wstring detail;
    if (const UINT problem = CheckNewName(typed, detail)) {
        Refuse(dialog, problem, {detail});
        return;
    }
    UasSet existing;
    const UasOnDisk onDisk = UasLookUpSet(state.Folder, typed, existing);
    if (onDisk == UasOnDisk::Set) {
        if (!Fits(state, existing)) {
            Refuse(dialog, IDS_UAS_ERR_PATHTOOLONG, {existing.Name});
            return;
        }
        const std::wstring question = VelwFormat(IDS_UAS_ASK_REPLACE, {existing.Name});
        const std::wstring title = ControlText(dialog);
        if (MessageBoxW(dialog, question.c_str(), title.c_str(),
                        MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES) {
            FocusName(dialog);
            return;
        }
        Finish(dialog, existing.Name, existing.Path);
        return;
    }
    UasSet fresh{typed, UasSetPath(state.Folder.Dir, typed)};
    if (onDisk == UasOnDisk::Other) {
        // Not a set file, yet something is there (a folder of that name):
        // saving would fail later with a less helpful message.
        Refuse(dialog, IDS_UAS_ERR_ISFOLDER, {typed, fresh.Path});
        return;
    }
    if (!Fits(state, fresh)) {
        Refuse(dialog, IDS_UAS_ERR_PATHTOOLONG, {typed});
        return;
    }
    Finish(dialog, fresh.Name, fresh.Path);
}

INT_PTR CALLBACK SelectionProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    try {
        switch (message) {
        case WM_INITDIALOG:
            Initialize(dialog, reinterpret_cast<SelectionDialog *>(lParam));
            return FALSE; // the focus is set
        case WM_UAS_LISTED:
            if (StateOf(dialog))
                TakeListing(dialog);
            return TRUE;
        case WM_SETCURSOR:
            // Working in the background while the list is not in.
            if (StateOf(dialog) && !StateOf(dialog)->Listed) {
                SetCursor(LoadCursorW(nullptr, IDC_APPSTARTING));
                SetWindowLongPtrW(dialog, DWLP_MSGRESULT, TRUE);
                return TRUE;
            }
            return FALSE;
        case WM_COMMAND: {
            SelectionDialog *state = StateOf(dialog);
            if (!state)
                return FALSE;
            const WORD id = LOWORD(wParam);
            const WORD code = HIWORD(wParam);
            if (id == IDOK) {
                Confirm(dialog);
                return TRUE;
            }
            if (id == IDCANCEL) {
                EndDialog(dialog, 0);
                return TRUE;
            }
            if (id == IDC_UAS_NAME && code == EN_CHANGE && !state->Syncing) {
                SelectTypedSet(dialog);
                return TRUE;
            }
            if (id == IDC_UAS_LIST && code == LBN_SELCHANGE) {
                ShowChosenSet(dialog);
                return TRUE;
            }
            if (id == IDC_UAS_LIST && code == LBN_DBLCLK) {
                if (SendDlgItemMessageW(dialog, IDC_UAS_LIST, LB_GETCURSEL, 0, 0) != LB_ERR) {
                    ShowChosenSet(dialog);
                    Confirm(dialog);
                }
                return TRUE;
            }
            return FALSE;
        }
        default: return FALSE;
        }
    } catch (const std::bad_alloc &) {
        // Out of memory inside a message: give up the dialog rather than
        // let the exception cross the window system.
        EndDialog(dialog, 0);
        return TRUE;
    }
}

} // namespace

extern "C" {

int16_t WINAPI UasMapSelDlg(HWND owner, int16_t mode, wchar_t *path, wchar_t *name)
{
    if (mode < UAS_MODE_OPEN || mode > UAS_MODE_GLOBAL || !path || !name)
        return 0;
    try {
        SelectionDialog state;
        state.Mode = mode;
        state.Path = path;
        state.PathChars = mode == UAS_MODE_GLOBAL ? UAS_GLOBAL_PATH_CHARS : UAS_SEL_PATH_CHARS;
        state.Name = name;
        state.Listing = std::make_shared<FolderListing>();
        FolderListing &listing = *state.Listing;
        listing.Folder = UasOpenFolder();
        state.Folder = listing.Folder;
        // A list box takes the user's locale when it is made.
        listing.Locale = GetUserDefaultLCID();
        const INT_PTR result =
            DialogBoxParamW(VelwModule(), MAKEINTRESOURCEW(IDD_UAS_SELECT), owner, SelectionProc,
                            reinterpret_cast<LPARAM>(&state));
        // A listing still being made is no longer waited for.
        Subscribe(listing, nullptr);
        listing.Abandoned = true;
        return result == 1 ? 1 : 0;
    } catch (const std::bad_alloc &) {
        return 0;
    }
}

} // extern "C"
