// The dialog responder of the tests: a dialog that ignores its answer fails
// the test within seconds, naming the dialog, instead of holding it in its
// modal loop until the program's time limit.
#include <gtest/gtest.h>
#include <gtest/gtest-spi.h>

#include <windows.h>

#include "uitest.h"

namespace {

int boxResult = 0;
DWORD boxMs = 0;

// A box answered with a button no box has.
void ShowBoxAnsweredWithNoButton()
{
    uitest::DialogResponder responder([](HWND box) { uitest::Press(box, 999); });
    const DWORD start = GetTickCount();
    boxResult = MessageBoxW(nullptr, L"Only OK here.", L"Ignored answer", MB_OK);
    boxMs = GetTickCount() - start;
}

TEST(DialogResponderTest, ADialogThatIgnoresItsAnswerFailsNamingIt)
{
    EXPECT_NONFATAL_FAILURE(ShowBoxAnsweredWithNoButton(), "the dialog \"Ignored answer\" (\"Only OK here.\") to close");
    EXPECT_EQ(boxResult, IDCANCEL) << "ended by the responder";
    EXPECT_LT(boxMs, uitest::DialogResponder::AnswerLimitMs + 3000);
}

TEST(DialogResponderTest, AnAnsweredDialogIsNoFailure)
{
    uitest::DialogResponder responder([](HWND box) { uitest::Press(box, IDOK); });
    EXPECT_EQ(MessageBoxW(nullptr, L"Fine.", L"Answered", MB_OK), IDOK);
    EXPECT_EQ(responder.Count(), 1);
}

} // namespace
