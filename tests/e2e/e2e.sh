#!/usr/bin/env bash
# End-to-end checks of the real editor: uasedit.exe runs under Wine on an
# installation of its own, gets real keyboard and mouse input through
# xdotool, and is read back from outside by uasprobe.exe. Set files are
# compared byte for byte with what setfile.py builds from the units file.
#
#   e2e.sh SCENARIO BUILD_FOLDER      SCENARIO: open, saveas, new, exit, keyboard,
#                                     or one of scenarios_*.sh
#
# Uses DISPLAY and WINEPREFIX when the caller provides them (scripts/test.sh
# does); otherwise starts a virtual display and uses the build's prefix.
set -euo pipefail

scenario=${1:?usage: e2e.sh SCENARIO BUILD_FOLDER}
build=$(cd "${2:?usage: e2e.sh SCENARIO BUILD_FOLDER}" && pwd)
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
bin=$build/bin
# shellcheck source=../../scripts/lib.sh
. "$here/../../scripts/lib.sh"

for tool in xdotool python3 wine; do
    command -v "$tool" >/dev/null || { echo "e2e: $tool is not installed" >&2; exit 1; }
done
for f in uasedit.exe uasprobe.exe; do
    [ -f "$bin/$f" ] || { echo "e2e: $bin/$f is missing" >&2; exit 1; }
done

work=$(mktemp -d /tmp/uas-e2e.XXXXXX)
drive_context=$scenario
# shellcheck source=drive.sh
. "$here/drive.sh"
trap 'drive_cleanup "the installation"' EXIT

drive_display
if [ -z "${WINEPREFIX:-}" ]; then
    uas_wine_prefix "$build/wineprefix"
    uas_hold_desktop "$bin/deskhold.exe"
    own_server=1
fi
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

# The units library of this installation, in its order.
write_installation() {
    mkdir -p "$work/sets" "$work/help"
    cat >"$work/units.txt" <<'EOF'
# units of the end-to-end tests
Temperature K degC degF degR
Pressure Pa kPa bar psi bar(g) atm
MassFlow kg/s kg/h t/h lb/h
Length m mm ft in
OverallHeatTransferCoefficientU W/(m2*K) kW/(m2*K) Btu/(h*ft2*degF)
Fraction - %
EOF
    printf 'Help of the end-to-end tests.\r\n' >"$work/help/VOLPRA.txt"
    {
        printf '[Kalvex_Section]\r\n'
        printf 'Root_Dir=%s\r\n' "$(winpath "$work")"
        printf 'Resource_Binary_Dir=%s\r\n' "$(winpath "$build/res")"
        printf 'Units_File=%s\r\n' "$(winpath "$work/units.txt")"
        printf 'Set_Dir=%s\r\n' "$(winpath "$work/sets")"
        printf 'Help_Dir=%s\r\n' "$(winpath "$work/help")"
        printf 'Allowed_Users=\r\n'
        printf '[VelWin_Section]\r\n'
        printf 'Language=English\r\n'
    } >"$work/kalvex.ini"
    export KALVEX_PROFILE
    KALVEX_PROFILE=$(winpath "$work/kalvex.ini")
}

DIMS='Temperature|Pressure|MassFlow|Length|OverallHeatTransferCoefficientU|Fraction'
TEMPERATURES='K|degC|degF|degR'
PRESSURES='Pa|kPa|bar|psi|bar(g)|atm'

# expected_set OUT NAME DESCRIPTION [DIMENSION=SYMBOL ...]
expected_set() {
    local out=$1 name=$2
    shift 2
    python3 "$here/setfile.py" "$work/units.txt" "$out" "$name" "$name.uas" "$@"
}

# same_bytes EXPECTED ACTUAL [SECONDS]: waits until the file holds exactly
# the expected bytes.
same_bytes() {
    local deadline=$((SECONDS + ${3:-10}))
    while ! cmp -s "$1" "$2"; do
        if [ "$SECONDS" -ge "$deadline" ]; then
            echo "expected:" >&2
            cat -A "$1" >&2
            echo "written:" >&2
            if [ -f "$2" ]; then cat -A "$2" >&2; else echo "(no file $2)" >&2; fi
            fail "$2 does not hold the expected bytes"
        fi
        sleep 0.1
    done
}

# The Open dialog through the keyboard: Alt+F, O, type the name, Enter.
open_by_keyboard() {
    keys alt+f o
    expect modal.title 'Open Unit Assignment Set'
    type_text "$1"
    expect modal.name "$1"
    keys Return
    dialog_closed
}

PLANT_A_DESC='Crude unit design case: feed at 45 degC, column top pressure in bar(g), flows in metric tonnes per hour.'
PLANT_A_UNITS=(Temperature=degC 'Pressure=bar(g)' MassFlow=t/h Fraction=%)

scenario_open() {
    expected_set "$work/sets/PlantA.uas" PlantA "$PLANT_A_DESC" "${PLANT_A_UNITS[@]}"
    expected_set "$work/sets/PlantB.uas" PlantB 'Other plant.' Length=ft
    cp "$work/sets/PlantA.uas" "$work/PlantA.orig"

    step "a new window shows the empty set"
    start_editor "$work/editor.log"
    expect dims.items "$DIMS"
    expect dims.sel 0
    expect units.items "$TEMPERATURES"
    expect units.sel 0
    expect desc ''

    step "File > Open with the keyboard offers <none> and lists the sets"
    keys alt+f o
    expect modal.title 'Open Unit Assignment Set'
    expect modal.name '<none>'
    expect sets.items 'PlantA|PlantB'
    step "typing the name and Enter opens the set"
    type_text PlantA
    expect modal.name PlantA
    keys Return
    dialog_closed
    expect label 'Set Name: PlantA'
    expect desc "$PLANT_A_DESC"
    expect dims.items "$DIMS"
    expect dims.sel 0
    expect units.items "$TEMPERATURES"
    expect units.seltext degC

    step "the other dimensions show the units the file names"
    click dims:1
    expect units.items "$PRESSURES"
    expect units.seltext 'bar(g)'
    keys Down
    expect dims.seltext MassFlow
    expect units.seltext t/h
    step "a dimension the file leaves out keeps its first unit"
    click dims:3
    expect units.seltext m
    click dims:5
    expect units.seltext %

    step "looking around is no change: Exit asks nothing and the file stays"
    keys alt+f x
    exit_code_is 1
    cmp -s "$work/PlantA.orig" "$work/sets/PlantA.uas" || fail "PlantA.uas changed"
}

scenario_saveas() {
    # Cut after exactly 70 characters before " Source:", then hard inside
    # the long path; the empty line between the paragraphs becomes two spaces.
    local desc='Heat exchanger rating for the revamp study: the duty is checked against data sheet E-101 at design flow, fouling margin 15 %. Source: Z:\projects\revamp-2024\exchangers\E-101\vendor-data-sheet-rev-C-final.pdf

Second paragraph.'
    local shown
    shown=$(escaped "$desc")

    start_editor "$work/editor.log"
    step "units chosen with the mouse and the keyboard"
    click dims:1
    expect units.items "$PRESSURES"
    click units:2
    expect units.seltext bar
    keys Down
    expect units.seltext psi
    click dims:4
    click units:1
    expect units.seltext 'kW/(m2*K)'

    step "a description of two paragraphs typed into the field"
    click ctl:72
    type_text "$desc"
    # Some 240 keys: a loaded machine may still be working through them.
    expect desc "$shown" 30000

    step "File > Save As offers <none>; a new name and Enter write the set"
    keys alt+f a
    expect modal.title 'Save Unit Assignment Set As'
    expect modal.name '<none>'
    type_text Revamp
    keys Return
    dialog_closed
    expect label 'Set Name: Revamp'
    expected_set "$work/Revamp.1" Revamp "$desc" Pressure=psi 'OverallHeatTransferCoefficientU=kW/(m2*K)'
    same_bytes "$work/Revamp.1" "$work/sets/Revamp.uas"

    step "Save As under the same name asks before replacing; Yes writes"
    click dims:0
    click units:3
    expect units.seltext degR
    keys alt+f a
    expect modal.title 'Save Unit Assignment Set As'
    expect modal.name Revamp
    keys Return
    expect modal.text "The unit assignment set 'Revamp' already exists.\\nDo you want to replace it?"
    click modal:6
    dialog_closed
    expected_set "$work/Revamp.2" Revamp "$desc" Temperature=degR Pressure=psi \
        'OverallHeatTransferCoefficientU=kW/(m2*K)'
    same_bytes "$work/Revamp.2" "$work/sets/Revamp.uas"

    step "File > Save writes the named set in place"
    click dims:5
    click units:1
    expect units.seltext %
    keys alt+f s
    expected_set "$work/Revamp.3" Revamp "$desc" Temperature=degR Pressure=psi \
        'OverallHeatTransferCoefficientU=kW/(m2*K)' Fraction=%
    same_bytes "$work/Revamp.3" "$work/sets/Revamp.uas"
    [ "$(ls "$work/sets")" = Revamp.uas ] || fail "unexpected files: $(ls "$work/sets")"

    step "everything saved: Exit asks nothing"
    keys alt+f x
    exit_code_is 1
}

scenario_new() {
    expected_set "$work/sets/PlantA.uas" PlantA "$PLANT_A_DESC" "${PLANT_A_UNITS[@]}"
    cp "$work/sets/PlantA.uas" "$work/PlantA.orig"

    start_editor "$work/editor.log"
    step "File > Open, the set chosen with the mouse and confirmed with OK"
    keys alt+f o
    expect modal.title 'Open Unit Assignment Set'
    click sets:0
    expect modal.name PlantA
    click modal:1
    dialog_closed
    expect label 'Set Name: PlantA'
    expect units.seltext degC

    step "changes: a unit and the description"
    click dims:1
    click units:0
    expect units.seltext Pa
    click ctl:72
    keys ctrl+End
    type_text ' Extra.'
    expect desc "$PLANT_A_DESC Extra."

    step "File > New asks about the named set; No resets everything"
    keys alt+f n
    expect modal.title Alert
    expect modal.text 'PlantA has been altered.  Do you want to save PlantA prior to NEW?'
    click modal:7
    dialog_closed
    expect label 'Set Name: <none>'
    expect desc ''
    expect dims.sel 0
    expect units.items "$TEMPERATURES"
    expect units.sel 0
    click dims:1
    expect units.items "$PRESSURES"
    expect units.sel 0
    click dims:2
    expect units.sel 0
    cmp -s "$work/PlantA.orig" "$work/sets/PlantA.uas" || fail "PlantA.uas changed"

    step "the new set is unchanged: Exit asks nothing"
    keys alt+f x
    exit_code_is 1
}

scenario_exit() {
    expected_set "$work/sets/PlantA.uas" PlantA "$PLANT_A_DESC" "${PLANT_A_UNITS[@]}"

    start_editor "$work/editor.log"
    open_by_keyboard PlantA
    expect label 'Set Name: PlantA'
    click dims:3
    click units:2
    expect units.seltext ft

    step "Exit asks about the named set; Escape cancels and the editor stays"
    keys alt+f x
    expect modal.title Alert
    expect modal.text 'PlantA has been altered.  Do you want to save PlantA prior to EXIT?'
    keys Escape
    dialog_closed
    expect label 'Set Name: PlantA'
    expect units.seltext ft
    kill -0 "$editor_pid" || fail "the editor ended after Cancel"

    step "Exit again, Yes: the set is written and the editor ends with 1"
    keys alt+f x
    expect modal.title Alert
    click modal:6
    exit_code_is 1
    expected_set "$work/PlantA.saved" PlantA "$PLANT_A_DESC" "${PLANT_A_UNITS[@]}" Length=ft
    same_bytes "$work/PlantA.saved" "$work/sets/PlantA.uas"

    step "closing an unnamed changed set asks; No ends without writing"
    start_editor "$work/editor.log"
    click ctl:72
    type_text 'Scratch notes'
    expect desc 'Scratch notes'
    keys alt+F4
    expect modal.title Alert
    expect modal.text 'The current set has been altered.  Do you want to save it prior to CLOSE?'
    click modal:7
    exit_code_is 1
    [ "$(ls "$work/sets")" = PlantA.uas ] || fail "unexpected files: $(ls "$work/sets")"
    same_bytes "$work/PlantA.saved" "$work/sets/PlantA.uas" 0
}

# The main window worked with the keyboard alone, from the first focus to a
# saved set; the focus is read as the control ID that has it.
scenario_keyboard() {
    local desc='Keyboard only.
Second line.'
    local shown
    shown=$(escaped "$desc")

    start_editor "$work/editor.log"
    step "the window starts with the focus on the Dimensions list"
    expect focus 75
    keys Down
    expect dims.seltext Pressure
    expect units.items "$PRESSURES"
    expect units.sel 0

    step "Tab goes to the Units list; the arrows pick a unit there"
    keys Tab
    expect focus 77
    keys Down Down
    expect units.seltext bar
    expect dims.seltext Pressure

    step "Shift+Tab back to the dimensions; End and Home move there"
    keys shift+Tab
    expect focus 75
    keys End
    expect dims.seltext Fraction
    keys Tab End
    expect units.seltext %
    keys shift+Tab Home
    expect dims.seltext Temperature
    expect units.items "$TEMPERATURES"
    keys Down
    expect units.seltext bar

    step "Tab goes on around the end to the description; Enter makes a line there"
    keys Tab Tab
    expect focus 72
    type_text "$desc"
    expect desc "$shown"
    keys Tab
    expect focus 73
    expect desc "$shown"
    keys Tab
    expect focus 75
    keys shift+Tab shift+Tab
    expect focus 72
    keys shift+Tab
    expect focus 77

    step "File > Save As from the keyboard: Alt+F, A, a name, Enter"
    keys alt+f a
    expect modal.title 'Save Unit Assignment Set As'
    expect modal.name '<none>'
    type_text Keys
    keys Return
    dialog_closed
    expect label 'Set Name: Keys'
    expected_set "$work/Keys.1" Keys "$desc" Pressure=bar Fraction=%
    same_bytes "$work/Keys.1" "$work/sets/Keys.uas"
    step "the Units list has the focus again after the dialog"
    expect focus 77

    step "F1 from the list opens the help; closing it gives the focus back"
    keys F1
    expect active other
    keys alt+F4
    expect active main
    expect focus 77

    step "everything saved: Exit asks nothing"
    keys alt+f x
    exit_code_is 1
    [ "$(ls "$work/sets")" = Keys.uas ] || fail "unexpected files: $(ls "$work/sets")"
}

# More scenarios, in files of their own beside this one.
for more in "$here"/scenarios_*.sh; do
    # shellcheck source=/dev/null
    [ -f "$more" ] && . "$more"
done

write_installation
if declare -F "scenario_$scenario" >/dev/null; then
    "scenario_$scenario"
else
    fail "no scenario $scenario"
fi
failed=0
echo "PASS ($scenario)"
