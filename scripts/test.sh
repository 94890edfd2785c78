#!/usr/bin/env bash
# Sets up what is missing, builds both targets and runs every test under Wine
# in a private prefix with its own virtual display. Ends with CTest's summary.
# A full run (no arguments; or UAS_INSTALL_TEST=1) then makes the zips and
# installers of both targets and runs the install test on them; the exit
# code is non-zero when any of it fails.
set -euo pipefail
. "$(dirname "$0")/lib.sh"

uas_setup
uas_build i686 -DUAS_BUILD_TESTS=OFF
uas_build x86_64 -DUAS_BUILD_TESTS=ON

trap uas_stop EXIT
uas_start_xvfb
uas_wine_prefix "$UAS_BUILD/x86_64/wineprefix"
uas_hold_desktop "$UAS_BUILD/x86_64/bin/deskhold.exe"
cd "$UAS_BUILD/x86_64"
# Each test program has its own time limit (tests/CMakeLists.txt); this
# one is for tests that name none.
status=0
ctest --output-on-failure --timeout 120 "$@" || status=$?
"$UAS_ROOT/scripts/reliability.sh" --table "$UAS_BUILD/x86_64/reliability/quick.tsv" || true

if [ $# = 0 ] || [ "${UAS_INSTALL_TEST:-0}" = 1 ]; then
    if uas_package i686 && uas_package x86_64 &&
        bash "$UAS_ROOT/tests/install/install_test.sh" "$UAS_BUILD/x86_64" "$UAS_BUILD/i686"; then
        uas_log "packages and install test: passed"
    else
        uas_log "packages and install test: FAILED"
        status=1
    fi
fi
exit $status
