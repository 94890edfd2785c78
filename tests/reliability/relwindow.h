// The real main window in the test's own process for the reliability
// tests: an installation of its own, the window made anew for each test,
// and a script that answers the dialogs and message boxes the commands
// open, in order, recording what each showed.
#ifndef RELWINDOW_H
#define RELWINDOW_H

#include <gtest/gtest.h>

#include <windows.h>

#include "dimcat.h"
#include "editstate.h"
#include "uitest.h"

#include <string>
#include <vector>

namespace relwindow {

// One answer: a name typed into the selection dialog's field (when Fill),
// then a button.
struct Step {
    int Button;
    bool Fill = false;
    std::wstring Name;
};
inline Step Press(int button) { return Step{button, false, std::wstring()}; }
inline Step Choose(const std::wstring &name) { return Step{IDOK, true, name}; }

struct Shown {
    std::wstring Caption;
    std::wstring Text;        // a message box's text
    bool IsSelection = false; // the set-selection dialog
};

// Answers dialogs in order with the steps; one beyond them is cancelled.
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

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    void Command(int id, int code = 0, HWND control = nullptr);
    void TypeDescription(const std::wstring &text);
    void PickUnit(int dimension, int unit);
    // Save As under a name, replacing a set of that name.
    void SaveAs(const std::wstring &name);
    // Takes the quit message off the queue; true when there was one.
    static bool TakeQuit();
    static void EmptySetFolder();
    // Another window in place of the test's (after the profile changed).
    void RecreateWindow();

    HWND window_ = nullptr;
};

std::vector<DimEntry *> Entries();
// The uas*.tmp files left in a folder.
std::vector<std::wstring> TempFilesIn(const std::wstring &folder);
// The number of records in the editor's set catalogue.
int CatalogueRecords();
std::string Narrow(const std::wstring &text);

} // namespace relwindow

#endif // RELWINDOW_H
