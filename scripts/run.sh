#!/usr/bin/env bash
# Sets up what is missing, builds the editor, lays out the demo installation
# in build/demo and starts the editor on it under Wine.
#
#   scripts/run.sh [--language German|French|Japan]
#
# With DISPLAY set, the window appears there. Without it, a virtual display
# is started, a screenshot of the running editor is saved (its path is
# printed), and the editor keeps running until interrupted (Ctrl+C).
set -euo pipefail
. "$(dirname "$0")/lib.sh"

language=""
while [ $# -gt 0 ]; do
    case "$1" in
        --language) language=${2:?--language needs a value}; shift 2 ;;
        *) echo "usage: $0 [--language German|French|Japan]" >&2; exit 2 ;;
    esac
done

uas_setup
# Japanese texts need a font with the Japanese characters.
uas_install fonts-noto-cjk
demo=$UAS_BUILD/demo
cmake -S "$UAS_ROOT" -B "$demo" -DCMAKE_BUILD_TYPE=Release -DUAS_BUILD_TESTS=OFF \
    -DCMAKE_TOOLCHAIN_FILE="$UAS_ROOT/cmake/toolchain-x86_64.cmake" >/dev/null
cmake --build "$demo" -j "$(nproc)"

# The profile beside the program names the demo installation; another
# language gets a copy of it, found through KALVEX_PROFILE.
if [ -n "$language" ]; then
    sed "s/^Language=.*/Language=$language/" "$demo/bin/kalvex.ini" > "$demo/kalvex-$language.ini"
    export KALVEX_PROFILE
    KALVEX_PROFILE="Z:$(echo "$demo/kalvex-$language.ini" | tr / '\\')"
fi

headless=0
if [ -z "${DISPLAY:-}" ]; then
    headless=1
    trap uas_stop EXIT
    uas_start_xvfb
fi
uas_wine_prefix "$demo/wineprefix"
if [ "$language" = Japan ]; then
    uas_wine_system_font 'Noto Sans CJK JP'
else
    uas_wine_system_font Tahoma
fi

if [ "$headless" = 0 ]; then
    uas_log "starting the editor on $DISPLAY"
    exec wine "$demo/bin/uasedit.exe"
fi

wine "$demo/bin/uasedit.exe" >/dev/null 2>&1 </dev/null &
editor=$!
if ! timeout 60 xdotool search --sync --onlyvisible --name '^Unit Assignment Set Editor$' >/dev/null 2>&1; then
    uas_log "the editor's window did not appear within 60 s; is the build complete?"
    exit 1
fi
# The window is mapped; give it a moment to paint before the screenshot.
sleep 1
shot=$demo/screenshot.png
import -window root "$shot"
uas_log "the editor runs on the virtual display $DISPLAY; screenshot: $shot"
uas_log "press Ctrl+C to stop"
wait "$editor"
