// The real main window in the test's own process, shared by the editor and
// reliability tests: an installation of its own, the window made anew for
// each test, and a script that answers the dialogs and message boxes the
// commands open, in order, recording what each showed.
#ifndef WINDOWTEST_H
#define WINDOWTEST_H

#include <gtest/gtest.h>

#include <windows.h>

#include "dimcat.h"
#include "editstate.h"
#include "uitest.h"

#include <string>
#include <vector>

namespace windowtest {

// One answer: a name typed into the selection dialog's field (when Fill),
// then a button.
struct Step {
    int Button;
    bool Fill = false;
    std::wstring Name;
};
Step Press(int button);
Step Choose(const std::wstring &name, int button = IDOK);

// What a dialog or box showed when it opened.
struct Shown {
    std::wstring Caption;
    std::wstring Text;        // a message box's text
    bool IsSelection = false; // the set-selection dialog (it has a name field)
    std::wstring Field;       // the name field's text on entry
};

// Answers dialogs in order with the steps; one beyond them is cancelled
// with whatever button it has, so that a test never hangs on it. A step
// that does not fit the dialog shown (a name for a message box, a button
// the dialog lacks) fails the test at once, naming the dialog it got, and
// the dialog is cancelled: the test goes on and says which box it
// expected. (A dialog that ignores its answer is ended by the responder.)
class Script {
public:
    explicit Script(std::vector<Step> steps);
    const std::vector<Shown> &Seen() const { return seen_; }
    // The texts of the message boxes only.
    std::vector<std::wstring> Boxes() const;

private:
    void Answer(HWND dialog);
    std::vector<Step> steps_;
    std::vector<Shown> seen_;
    uitest::DialogResponder responder_;
};

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    void Command(int id, int code = 0, HWND control = nullptr);
    void Close();
    // The user types text into the description and leaves the field.
    void TypeDescription(const std::wstring &text);
    // The user clicks a row of a list.
    void Click(HWND list, int id, int row);
    void PickUnit(int dimension, int unit);
    // Save As under a name, replacing a set of that name.
    void SaveAs(const std::wstring &name);
    // Takes the quit message off the queue, so that it cannot end a later
    // modal loop of the test; true when there was one.
    static bool TakeQuit();
    static void EmptySetFolder();
    // Another window in place of the test's (after the profile changed).
    void RecreateWindow();

    HWND window_ = nullptr;
};

// The editor's dimension catalogue, and one entry of it.
std::vector<DimEntry *> Entries();
DimEntry *Entry(int i);
// The selected row of a list box.
int Selection(HWND list);
// The uas*.tmp files left in a folder.
std::vector<std::wstring> TempFilesIn(const std::wstring &folder);
// The number of records in the editor's set catalogue.
int CatalogueRecords();

} // namespace windowtest

#endif // WINDOWTEST_H
