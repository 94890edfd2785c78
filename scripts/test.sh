#!/usr/bin/env bash
# Sets up what is missing, builds both targets and runs every test under Wine
# in a private prefix with its own virtual display. Ends with CTest's summary.
set -euo pipefail
. "$(dirname "$0")/lib.sh"

uas_setup
uas_build i686 -DUAS_BUILD_TESTS=OFF
uas_build x86_64 -DUAS_BUILD_TESTS=ON

trap uas_stop EXIT
uas_start_xvfb
uas_wine_prefix "$UAS_BUILD/x86_64/wineprefix"
cd "$UAS_BUILD/x86_64"
ctest --output-on-failure --timeout 300 "$@"
"$UAS_ROOT/scripts/reliability.sh" --table "$UAS_BUILD/x86_64/reliability/quick.tsv"
