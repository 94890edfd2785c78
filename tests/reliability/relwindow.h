// The reliability tests drive the real main window through the shared
// window harness (windowtest.h), under the names they use.
#ifndef RELWINDOW_H
#define RELWINDOW_H

#include "testfiles.h"
#include "windowtest.h"

namespace relwindow {

using namespace windowtest;
using WindowTest = windowtest::MainWindowTest;
using testfiles::Utf8;

} // namespace relwindow

#endif // RELWINDOW_H
