# End-to-end scenarios of the shortcut keys and of a set file received from
# elsewhere; sourced by e2e.sh, which provides the installation and helpers.

# A set saved with Ctrl+S only, then the other shortcut keys of the File menu.
scenario_shortcuts() {
    local desc='Saved with Ctrl+S only.'

    start_editor "$work/editor.log"
    step "units chosen and a description typed"
    click dims:1
    click units:2
    expect units.seltext bar
    click ctl:72
    type_text "$desc"
    expect desc "$desc"

    step "Ctrl+S of an unnamed set asks for a name; Enter writes the set"
    keys ctrl+s
    expect modal.title 'Save Unit Assignment Set As'
    expect modal.name '<none>'
    type_text Shortcuts
    keys Return
    dialog_closed
    expect label 'Set Name: Shortcuts'
    expected_set "$work/Shortcuts.1" Shortcuts "$desc" Pressure=bar
    same_bytes "$work/Shortcuts.1" "$work/sets/Shortcuts.uas"

    step "Ctrl+S from the Units list writes the named set in place, without a dialog"
    click dims:2
    click units:2
    expect units.seltext t/h
    keys ctrl+s
    expected_set "$work/Shortcuts.2" Shortcuts "$desc" Pressure=bar MassFlow=t/h
    same_bytes "$work/Shortcuts.2" "$work/sets/Shortcuts.uas"
    dialog_closed

    step "F12 and Ctrl+Shift+S open Save As with the set's name; Escape leaves it"
    keys F12
    expect modal.title 'Save Unit Assignment Set As'
    expect modal.name Shortcuts
    keys Escape
    dialog_closed
    keys ctrl+shift+s
    expect modal.title 'Save Unit Assignment Set As'
    expect modal.name Shortcuts
    keys Escape
    dialog_closed

    step "Ctrl+N after a change asks first; Escape keeps the set"
    click units:0
    expect units.seltext kg/s
    keys ctrl+n
    expect modal.title Alert
    expect modal.text 'Shortcuts has been altered.  Do you want to save Shortcuts prior to NEW?'
    keys Escape
    dialog_closed
    expect label 'Set Name: Shortcuts'
    expect units.seltext kg/s

    step "Ctrl+S saves the change; Ctrl+N then starts a new set without a question"
    keys ctrl+s
    expected_set "$work/Shortcuts.3" Shortcuts "$desc" Pressure=bar
    same_bytes "$work/Shortcuts.3" "$work/sets/Shortcuts.uas"
    keys ctrl+n
    expect label 'Set Name: <none>'
    expect desc ''

    step "Ctrl+O opens the set again"
    keys ctrl+o
    expect modal.title 'Open Unit Assignment Set'
    type_text Shortcuts
    keys Return
    dialog_closed
    expect label 'Set Name: Shortcuts'
    expect desc "$desc"

    step "everything saved: Exit asks nothing"
    keys alt+f x
    exit_code_is 1
    [ "$(ls "$work/sets")" = Shortcuts.uas ] || fail "unexpected files: $(ls "$work/sets")"
}

# A set file received by e-mail, outside the set folder, with blanks and
# letters beyond ASCII in its path: uasedit.exe PATH, as a double-click runs
# it, shows the set unnamed; its first Save asks for a name offering the
# file's and writes into the set folder only.
scenario_received() {
    local folder="$work/Empfangen von Zoë"
    local received="$folder/Prüfstand Süd.uas"
    local desc='Test bench south: air in degF, pressures in psi.'
    mkdir -p "$folder"
    python3 "$here/setfile.py" "$work/units.txt" "$received" 'Prüfstand Süd' 'Prüfstand Süd.uas' \
        "$desc" Temperature=degF Pressure=psi
    cp "$received" "$work/received.orig"

    step "uasedit.exe with the received file's path"
    start_editor "$work/editor.log" "$(winpath "$received")"
    expect label 'Set Name: <none> (read from Prüfstand Süd.uas)'
    expect desc "$desc"
    expect units.seltext degF
    click dims:1
    expect units.seltext psi

    step "Save asks for a name, offering the file's; Enter saves into the set folder"
    keys ctrl+s
    expect modal.title 'Save Unit Assignment Set As'
    expect modal.name 'Prüfstand Süd'
    keys Return
    dialog_closed
    expect label 'Set Name: Prüfstand Süd'
    expected_set "$work/expected.uas" 'Prüfstand Süd' "$desc" Temperature=degF Pressure=psi
    same_bytes "$work/expected.uas" "$work/sets/Prüfstand Süd.uas"
    cmp -s "$work/received.orig" "$received" || fail "the received file was changed"
    [ "$(ls "$folder")" = 'Prüfstand Süd.uas' ] || fail "files beside the received one: $(ls "$folder")"
    keys alt+f x
    exit_code_is 1

    step "a folder given as the set file is told about; the editor stays empty"
    wine "$bin/uasedit.exe" "$(winpath "$folder")" >"$work/editor.log" 2>&1 </dev/null &
    editor_pid=$!
    expect modal.text "This file cannot be opened as a unit assignment set.\\n\\nFile: $(escaped "$(winpath "$folder")")\\nReason: it is a folder, not a file." 20000
    click modal:1
    dialog_closed
    expect label 'Set Name: <none>'
    expect desc ''
    click ctl:70
    keys alt+f x
    exit_code_is 1
}
