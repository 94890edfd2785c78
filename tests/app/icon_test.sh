#!/usr/bin/env bash
# The main window's icons as a real window manager sees them: the editor
# runs on a display of its own under openbox, with Wine's window management
# left on for it, and the window's _NET_WM_ICON must hold the program's own
# 32x32 and 16x16 images (icon_check.py), not the platform's default icon.
#
#   icon_test.sh BUILD_FOLDER
set -euo pipefail

build=$(cd "${1:?usage: icon_test.sh BUILD_FOLDER}" && pwd)
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
bin=$build/bin
# shellcheck source=../../scripts/lib.sh
. "$here/../../scripts/lib.sh"

if ! command -v openbox >/dev/null; then
    echo "SKIPPED: openbox is not installed (scripts/test.sh installs it); the icon cannot be checked under a window manager"
    exit 0
fi
for tool in xprop xdotool python3 wine Xvfb; do
    command -v "$tool" >/dev/null || { echo "icon test: $tool is not installed" >&2; exit 1; }
done

work=$(mktemp -d /tmp/uas-icon.XXXXXX)
# A copy of the program under a name of its own: the setting that lets the
# window manager manage Wine's windows applies to this name only, so other
# tests in the same prefix keep their unmanaged windows.
program=uasicon.exe
editor_pid="" wm_pid="" own_server=0
cleanup() {
    [ -n "$editor_pid" ] && kill "$editor_pid" 2>/dev/null || true
    [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null || true
    if [ -n "${UAS_XVFB_PID:-}" ]; then
        # Gone before the next test looks for a free display.
        kill "$UAS_XVFB_PID" 2>/dev/null && wait "$UAS_XVFB_PID" 2>/dev/null || true
        rm -f "$UAS_XVFB_LOG"
    fi
    [ "$own_server" = 1 ] && wineserver -k >/dev/null 2>&1 || true
    rm -f "$bin/$program"
    [ -n "${UAS_KEEP:-}" ] || rm -rf "$work"
}
trap cleanup EXIT

if [ -z "${WINEPREFIX:-}" ]; then
    uas_wine_prefix "$build/wineprefix"
    uas_hold_desktop "$bin/deskhold.exe"
    own_server=1
fi
export WINEDEBUG=-all

# Its own display with a window manager; the caller's display stays as it was.
uas_start_xvfb
openbox --sm-disable >"$work/openbox.log" 2>&1 &
wm_pid=$!
deadline=$((SECONDS + 20))
until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; do
    if [ "$SECONDS" -ge "$deadline" ]; then
        echo "FAIL: within 20 s openbox did not manage $DISPLAY; openbox said: $(cat "$work/openbox.log")" >&2
        kill -0 "$UAS_XVFB_PID" 2>/dev/null || echo "Xvfb of $DISPLAY has ended; it said: $(cat "$UAS_XVFB_LOG")" >&2
        exit 1
    fi
    sleep 0.1
done

mkdir -p "$work/sets" "$work/help"
printf 'Temperature K degC\r\n' >"$work/units.txt"
winpath() { printf 'Z:%s' "$(printf '%s' "$1" | tr / '\\')"; }
{
    printf '[Kalvex_Section]\r\nRoot_Dir=%s\r\n' "$(winpath "$work")"
    printf 'Resource_Binary_Dir=%s\r\n' "$(winpath "$build/res")"
    printf 'Units_File=%s\r\nSet_Dir=%s\r\nHelp_Dir=%s\r\n' "$(winpath "$work/units.txt")" \
        "$(winpath "$work/sets")" "$(winpath "$work/help")"
    printf '[VelWin_Section]\r\nLanguage=English\r\n'
} >"$work/kalvex.ini"
export KALVEX_PROFILE
KALVEX_PROFILE=$(winpath "$work/kalvex.ini")

cp "$bin/uasedit.exe" "$bin/$program"
wine reg add "HKCU\\Software\\Wine\\AppDefaults\\$program\\X11 Driver" /v Managed /d Y /f \
    >/dev/null 2>&1 </dev/null
wine "$bin/$program" >"$work/editor.log" 2>&1 </dev/null &
editor_pid=$!

# The window is mapped, and Wine has given it the icons it knows of by then.
window="" last=""
deadline=$((SECONDS + 30))
while :; do
    window=$(xdotool search --onlyvisible --name '^Unit Assignment Set Editor$' 2>/dev/null | head -1 || true)
    if [ -n "$window" ]; then
        xprop -id "$window" -notype -f _NET_WM_ICON 32c ' = $0+' _NET_WM_ICON >"$work/icon.txt" 2>&1 || true
        python3 "$here/icon_check.py" "$build/resources/icon/uasedit.ico" "$work/icon.txt" \
            >"$work/check.txt" 2>&1 && break
        last=$(cat "$work/check.txt")
    fi
    if [ "$SECONDS" -ge "$deadline" ]; then
        echo "FAIL: within 30 s the editor's window did not carry the program's icons" >&2
        echo "window: ${window:-none}; last check: ${last:-none}" >&2
        exit 1
    fi
    sleep 0.2
done
cat "$work/check.txt"
echo "PASS: the window manager shows the program's icon (window $window)"
