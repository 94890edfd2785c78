#!/bin/sh
# Runs a Windows program of the build under Wine: CTest's launcher for the
# test executables. The test script provides WINEPREFIX and DISPLAY; when run
# by hand, the build's own prefix is used.
: "${WINEPREFIX:=$(dirname "$1")/../wineprefix}"
export WINEPREFIX
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
exec wine "$@"
