#!/usr/bin/env bash
# Takes the README's screenshots of the editor into docs/: the main window
# with a unit chosen and a description typed, the Save As dialog, the
# main window in German, French and Japanese, the German help window on its
# table of keys, a received set file with a long name (the label shortened,
# its tooltip whole), the German File menu with its shortcut keys, and the
# main window, the Save As dialog and the help at display scales of 100, 150
# and 200 %.
#
#   scripts/screenshots.sh [BUILD_FOLDER] [file-menu|scales]
#
# With file-menu, only the German File menu is taken; with scales, only the
# pictures at the three scales (their layouts are printed as well).
# Builds nothing. The build folder (default: build/x86_64 or build/demo,
# whichever holds uasedit.exe and the test probe uasprobe.exe) must be a
# 64-bit build with tests (scripts/test.sh makes one). The editor runs on a
# temporary copy of the demo installation under a virtual display of its
# own and a Wine prefix of its own (BUILD_FOLDER/screenshots-wineprefix),
# with Wine's own fonts.
set -euo pipefail
. "$(dirname "$0")/lib.sh"

usable() { [ -f "$1/bin/uasedit.exe" ] && [ -f "$1/bin/uasprobe.exe" ]; }

only=""
if [ "${*: -1}" = file-menu ] 2>/dev/null || [ "${*: -1}" = scales ] 2>/dev/null; then
    only=${*: -1}
    set -- "${@:1:$(($# - 1))}"
fi
if [ $# -gt 0 ]; then
    build=$(cd "$1" && pwd)
else
    build=""
    for candidate in "$UAS_BUILD/x86_64" "$UAS_BUILD/demo"; do
        usable "$candidate" && { build=$candidate; break; }
    done
    [ -n "$build" ] || { uas_log "no build with tests found; run scripts/test.sh first"; exit 1; }
fi
usable "$build" || { uas_log "$build lacks bin/uasedit.exe or bin/uasprobe.exe (build with tests)"; exit 1; }
bin=$build/bin
docs=$UAS_ROOT/docs
mkdir -p "$docs"

# Wine's own fonts (Tahoma for the texts, Marlett for the title-bar buttons)
# and a font with the Japanese characters.
uas_install xvfb xauth xdotool imagemagick x11-utils fonts-wine fonts-noto-cjk

editor_pid=""
work=$(mktemp -d /tmp/uas-shots.XXXXXX)
cleanup() {
    [ -n "$editor_pid" ] && kill "$editor_pid" 2>/dev/null || true
    [ -n "${WINEPREFIX:-}" ] && use_scale 100
    uas_stop
    rm -rf "$work"
}
trap cleanup EXIT

uas_start_xvfb
prefix=$build/screenshots-wineprefix
uas_wine_prefix "$prefix"

uas_wine_system_font Tahoma

# use_scale PERCENT: the display scale of the programs started from now on.
# Wine gives every program the DPI of the prefix's LogPixels, read when the
# program starts.
use_scale() {
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d $(($1 * 96 / 100)) /f \
        >/dev/null 2>&1 </dev/null
}
use_scale 100

drive_context=screenshots
# shellcheck source=../tests/e2e/drive.sh
. "$UAS_ROOT/tests/e2e/drive.sh"

# The temporary installation: the demo's units, help and sample sets; the
# demo's profile with its folders moved there and the language set.
mkdir -p "$work/sets"
cp -r "$build/data" "$work/data"
cp "$build/sets/"* "$work/sets/" 2>/dev/null || true

use_language() {
    local profile=$work/kalvex-$1.ini
    W_ROOT=$(winpath "$work") W_DATA=$(winpath "$work/data") W_SETS=$(winpath "$work/sets") LANGUAGE_NAME=$1 \
        awk '
            /^Root_Dir=/   { print "Root_Dir=" ENVIRON["W_ROOT"]; next }
            /^Units_File=/ { print "Units_File=" ENVIRON["W_DATA"] "\\units.txt"; next }
            /^Set_Dir=/    { print "Set_Dir=" ENVIRON["W_SETS"]; next }
            /^Help_Dir=/   { print "Help_Dir=" ENVIRON["W_DATA"] "\\help"; next }
            /^Language=/   { print "Language=" ENVIRON["LANGUAGE_NAME"]; next }
            { print }
        ' "$bin/kalvex.ini" >"$profile"
    export KALVEX_PROFILE
    KALVEX_PROFILE=$(winpath "$profile")
}

# shoot main|modal FILE: saves the window, frame included, once two
# captures in a row agree (the window has finished painting).
shoot() {
    local rect
    rect=$(probe rect "$1") || fail "no $1 window to take"
    shoot_rect "$rect" "$2"
}

# settled_capture OUT [IMPORT-OPTIONS...]: captures the screen into OUT,
# again and again (at most 30 times) until two captures in a row agree, so
# that the window has finished painting.
settled_capture() {
    local out=$1 previous=$work/previous.png
    shift
    rm -f "$previous"
    for _ in $(seq 1 30); do
        import -window root "$@" "$out"
        [ -f "$previous" ] && cmp -s "$previous" "$out" && return 0
        mv "$out" "$previous"
        sleep 0.2
    done
    fail "the screen did not settle: 30 captures in a row, 0.2 s apart, each differed from the one before"
}

# shoot_rect "X Y W H" FILE: the same for a part of the screen.
shoot_rect() {
    local x y w h current=$work/current.png
    read -r x y w h <<<"$1"
    xdotool mousemove 1 1
    settled_capture "$current" -crop "${w}x${h}+${x}+${y}" +repage
    convert "$current" -strip -define png:compression-level=9 "$2"
    uas_log "saved $2 (${w}x${h})"
}

# shoot_help TITLE FILE [KEY...]: presses F1 in the editor, then the keys
# (in the help's list of topics), and saves the main window together with
# the help window titled TITLE.
shoot_help() {
    local help="" main x y w h X Y WIDTH HEIGHT title=$1 file=$2
    shift 2
    keys F1
    for _ in $(seq 1 50); do
        help=$(xdotool search --onlyvisible --name "^$title\$" 2>/dev/null | head -1) || true
        [ -n "$help" ] && break
        sleep 0.2
    done
    [ -n "$help" ] || fail "F1 opened no window titled '$title'"
    [ $# -gt 0 ] && keys "$@"
    main=$(probe rect main) || fail "no main window to take"
    read -r x y w h <<<"$main"
    eval "$(xdotool getwindowgeometry --shell "$help")"
    local left=$((x < X ? x : X)) top=$((y < Y ? y : Y))
    local right=$((x + w > X + WIDTH ? x + w : X + WIDTH)) bottom=$((y + h > Y + HEIGHT ? y + h : Y + HEIGHT))
    shoot_rect "$left $top $((right - left)) $((bottom - top))" "$file"
}

# choose DIMENSION UNIT: clicks both in the lists.
choose() {
    local row
    row=$(row_of dims "$1")
    click "dims:$row"
    expect dims.seltext "$1"
    row=$(row_of units "$2")
    click "units:$row"
    expect units.seltext "$2"
}

describe() {
    click ctl:72
    if LC_ALL=C grep -q '[^ -~]' <<<"$1"; then
        # Characters outside the keyboard map are typed through a key that
        # xdotool maps anew each time. Wine loses the first such key, and
        # later ones when they come quickly: one key to warm up, then slowly.
        xdotool type -- "${1:0:1}"
        sleep 0.5
        [ -n "$(state_of desc)" ] && keys BackSpace
        expect desc ''
        xdotool type --delay 150 -- "$1"
    else
        type_text "$1"
    fi
    expect desc "$(escaped "$1")"
}

# Ends the editor, answering No should it ask about unsaved changes.
close_editor() {
    probe post COMMAND 19 || true
    local deadline=$((SECONDS + 15))
    while kill -0 "$editor_pid" 2>/dev/null; do
        [ "$(state_of modal.count)" = 1 ] && click modal:7
        [ "$SECONDS" -ge "$deadline" ] && fail "the editor did not end"
        sleep 0.2
    done
    wait "$editor_pid" || true
    editor_pid=""
}

# shoot_screen FILE: the whole screen, once two captures in a row agree,
# cut to what is drawn on it (the main window and an open menu).
shoot_screen() {
    local current=$work/current.png
    settled_capture "$current"
    convert "$current" -trim +repage -strip -define png:compression-level=9 "$1"
    uas_log "saved $1"
}

# The German File menu, opened from the keyboard, with its shortcut keys.
shot_file_menu() {
    step "German: the File menu"
    use_language German
    start_editor
    expect label 'Einheitensatz: <keiner>'
    xdotool mousemove 1 1
    keys alt+d
    shoot_screen "$docs/file-menu-german.png"
    keys Escape Escape
    close_editor
}

# The main window, the Save As dialog and the help at a display scale, and
# the eight controls' places (ID x y width height) once the client area is
# 900 by 700 pixels.
shot_scale() {
    local percent=$1
    step "English at $percent %: main window, Save As dialog, help"
    use_scale "$percent"
    use_language English
    start_editor
    choose Pressure 'bar(g)'
    choose Temperature degC
    describe 'Crude distillation unit, design case: temperatures in degC, column pressures in bar(g), flows in t/h.'
    shoot main "$docs/scale-$percent-main-window.png"
    keys alt+f a
    expect modal.title 'Save Unit Assignment Set As'
    type_text 'Crude unit'
    expect modal.name 'Crude unit'
    shoot modal "$docs/scale-$percent-save-as-dialog.png"
    keys Escape
    expect modal.count 0
    shoot_help 'Unit Assignment Set Editor - Help' "$docs/scale-$percent-help.png"
    probe client 900 700
    uas_log "layout at $percent % ($(($percent * 96 / 100)) DPI):"
    probe layout >&2
    close_editor
    use_scale 100
}
shot_scales() {
    local percent
    for percent in 100 150 200; do
        shot_scale "$percent"
    done
}

if [ "$only" = file-menu ]; then
    shot_file_menu
    exit 0
fi
if [ "$only" = scales ]; then
    shot_scales
    exit 0
fi

step "English: main window and the Save As dialog"
use_language English
start_editor
choose Pressure 'bar(g)'
choose Temperature degC
describe 'Crude distillation unit, design case: temperatures in degC, column pressures in bar(g), flows in t/h.'
keys alt+f a
expect modal.title 'Save Unit Assignment Set As'
type_text 'Crude unit'
keys Return
expect label 'Set Name: Crude unit'
shoot main "$docs/main-window.png"
keys alt+f a
expect modal.name 'Crude unit'
type_text 'Crude unit revamp'
expect modal.name 'Crude unit revamp'
shoot modal "$docs/save-as-dialog.png"
keys Escape
expect modal.count 0
close_editor

shot_language() {
    local language=$1 file=$2 description=$3
    step "$language: main window"
    use_language "$language"
    start_editor
    choose Pressure 'bar(g)'
    choose Temperature degC
    describe "$description"
    shoot main "$docs/$file"
    close_editor
}
shot_language German main-window-german.png 'Rohöldestillation, Auslegungsfall: Drücke in bar(g).'
step "German: the help window"
use_language German
start_editor
# End: the last topic, the keys, with its tables.
shoot_help 'Einheitensatz-Editor - Hilfe' "$docs/help-german.png" End
close_editor

step "German: a received set file with a long name, and the label's tooltip"
mkdir -p "$work/Empfangen"
received="$work/Empfangen/Prüfstand Süd, Messreihe Juni 2024 B.uas"
sample=$(find "$work/sets" -name '*.uas' | head -1)
[ -n "$sample" ] || fail "the demo installation has no sample set to receive"
cp "$sample" "$received"
start_editor /dev/null "$(winpath "$received")"
for _ in $(seq 1 50); do
    case "$(state_of label)" in *"gelesen aus"*) break ;; esac
    sleep 0.2
done
case "$(state_of label)" in *"gelesen aus"*) ;; *) fail "the received file was not read: $(state_of label)" ;; esac
read -r x y <<<"$(probe point ctl:70 3000)" || fail "no set-name label"
# The mouse rests on the label until its tooltip shows.
xdotool mousemove "$((x - 5))" "$y"
sleep 0.2
xdotool mousemove "$x" "$y"
sleep 1.5
settled_capture "$work/current.png"
convert "$work/current.png" -trim +repage -strip -define png:compression-level=9 \
    "$docs/received-file-german.png"
uas_log "saved $docs/received-file-german.png"
close_editor
shot_language French main-window-french.png 'Distillation du brut, cas de conception : pressions en bar(g).'
uas_wine_system_font 'Noto Sans CJK JP'
shot_language Japan main-window-japanese.png '原油蒸留装置の設計ケース：圧力は bar(g)。'
uas_wine_system_font Tahoma
shot_file_menu
shot_scales
