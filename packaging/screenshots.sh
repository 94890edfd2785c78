#!/usr/bin/env bash
# Screenshots of every page of the 64-bit installer and its uninstaller, in
# German and in Japanese, for the README and docs/: the language question,
# welcome, installation type, folder, progress, finish, and the
# uninstaller's confirmation and end, saved as
# docs/installer-LANG-PAGE.png (LANG "de" or "ja"). Runs the installer in a
# throw-away Wine prefix under a virtual display (its own when DISPLAY is
# not set), with a Japanese system font for the Japanese pages.
#
#   packaging/screenshots.sh [X86_64_BUILD]     default: build/x86_64
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(cd "${1:-$root/build/x86_64}" && pwd)
# shellcheck source=../scripts/lib.sh
. "$root/scripts/lib.sh"
uas_install xvfb xauth xdotool imagemagick x11-utils fonts-wine fonts-noto-cjk

setup=$(ls "$build"/packages/uasedit-*-win64-setup.exe)
product="Unit Assignment Set Editor"
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
export WINEDLLOVERRIDES="mscoree,mshtml=,winemenubuilder.exe=d"

# window_named REGEX [NOT]: the visible window whose title matches, other
# than the window NOT; waits up to 20 s.
window_named() {
    local found
    for _ in $(seq 1 100); do
        found=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | grep -v -x "${2:-none}" | tail -1) || true
        [ -n "$found" ] && { echo "$found"; return 0; }
        sleep 0.2
    done
    echo "screenshots: no window named $1" >&2
    return 1
}

# shot WINDOW NAME: the window, once it has stopped changing.
shot() {
    local file="$root/docs/installer-$lang-$2.png" last="" now
    for _ in $(seq 1 20); do
        sleep 0.4
        import -window "$1" "$work/shot.png"
        now=$(md5sum <"$work/shot.png")
        [ "$now" = "$last" ] && break
        last=$now
    done
    cp "$work/shot.png" "$file"
    echo "docs/installer-$lang-$2.png"
}

next() { xdotool key --window "$1" Return; }

# pages LANG KEYS FONT: one run through every page; KEYS choose the
# language in the question's list.
pages() {
    lang=$1
    rm -rf "$work/prefix"
    # A copy of the install test's unused prefix when there is one: creating
    # a prefix takes longer than everything else here.
    if [ -f "$build/install-prefix-template/system.reg" ]; then
        cp -a "$build/install-prefix-template" "$work/prefix"
    fi
    uas_wine_prefix "$work/prefix"
    uas_wine_system_font "$3"
    # The language question names every language in its own script, as a
    # Windows desktop shows it: the system font links to a font with the
    # Japanese characters.
    local link='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink'
    wine reg add "$link" /v Tahoma /t REG_MULTI_SZ /d 'NotoSansCJK-Regular.ttc,Noto Sans CJK JP' /f \
        >/dev/null 2>&1 </dev/null
    # NSIS's Japanese pages ask for the Japanese desktop's own font
    # (MS PGothic, spelt in full-width letters), which this prefix lacks.
    LC_ALL=C.UTF-8 wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
        /v 'ＭＳ Ｐゴシック' /d "$3" /f >/dev/null 2>&1 </dev/null

    wine "$setup" </dev/null >/dev/null 2>&1 &
    local question setup_window
    question=$(window_named "^$product\$")
    # shellcheck disable=SC2086
    xdotool key --window "$question" $2
    shot "$question" language
    # OK by mouse: a Return would close the window before its key is let
    # go, and Wine would take the key as held down on the next pages.
    eval "$(xdotool getwindowgeometry --shell "$question")"
    xdotool mousemove --sync $((X + 152)) $((Y + HEIGHT - 24)) click 1
    setup_window=$(window_named "$product [0-9]" "$question")
    shot "$setup_window" welcome
    next "$setup_window"
    shot "$setup_window" type
    next "$setup_window"
    shot "$setup_window" folder
    next "$setup_window"
    shot "$setup_window" progress
    next "$setup_window"
    shot "$setup_window" finish
    # The installation is complete: the installer goes without starting
    # the editor.
    xdotool windowkill "$setup_window"

    wine "$work/prefix/drive_c/Program Files/$product/uninstall.exe" </dev/null >/dev/null 2>&1 &
    local uninstaller
    uninstaller=$(window_named "$product [0-9]")
    shot "$uninstaller" uninstall-confirm
    next "$uninstaller"
    shot "$uninstaller" uninstall-done
    wineserver -k >/dev/null 2>&1 || true
}

pages de "D" Tahoma
pages ja "End" 'Noto Sans CJK JP'
