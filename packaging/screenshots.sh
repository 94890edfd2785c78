#!/usr/bin/env bash
# Screenshots of the 64-bit installer's pages for the README: welcome,
# folder, language (German chosen) and finish, saved as
# docs/installer-*.png. Runs the installer in a throw-away Wine prefix under
# a virtual display (its own when DISPLAY is not set).
#
#   packaging/screenshots.sh [X86_64_BUILD]     default: build/x86_64
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(cd "${1:-$root/build/x86_64}" && pwd)
# shellcheck source=../scripts/lib.sh
. "$root/scripts/lib.sh"

setup=$(ls "$build"/packages/uasedit-*-win64-setup.exe)
work=$(mktemp -d /tmp/uas-installer-shots.XXXXXX)
own_display=0
cleanup() {
    wineserver -k >/dev/null 2>&1 || true
    [ "$own_display" = 1 ] && kill "$UAS_XVFB_PID" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ]; then
    uas_start_xvfb
    own_display=1
fi

# A copy of the install test's unused prefix when there is one: creating a
# prefix takes longer than everything else here.
if [ -f "$build/install-prefix-template/system.reg" ]; then
    cp -a "$build/install-prefix-template" "$work/prefix"
fi
uas_wine_prefix "$work/prefix"
export WINEDLLOVERRIDES="mscoree,mshtml=,winemenubuilder.exe=d"

wine "$setup" </dev/null >/dev/null 2>&1 &
window=""
for _ in $(seq 1 100); do
    window=$(xdotool search --name 'Setup$' 2>/dev/null | head -1) && [ -n "$window" ] && break
    sleep 0.2
done
[ -n "$window" ] || { echo "screenshots: the installer's window did not appear" >&2; exit 1; }

shot() {
    sleep 1.5
    import -window "$window" "$root/docs/installer-$1.png"
    echo "docs/installer-$1.png"
}
next() { xdotool key --window "$window" Return; }

shot welcome
next
shot folder
next
# The second choice of the language page: German.
eval "$(xdotool getwindowgeometry --shell "$window")"
xdotool mousemove --sync $((X + 52)) $((Y + 196)) click 1
shot language
next
sleep 3
shot finish
next
