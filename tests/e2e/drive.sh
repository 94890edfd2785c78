# Driving the editor from outside, shared by the end-to-end tests and the
# screenshot script: real input through xdotool, state and screen places
# through uasprobe.exe. Source it after scripts/lib.sh; set bin (the build's
# bin folder), DISPLAY and WINEPREFIX before driving. fail() ends the caller.

drive_context=${drive_context:-editor}

fail() {
    echo "FAIL ($drive_context): $*" >&2
    exit 1
}

step() { echo "-- $*"; }

# The run's own resources, for drive_display and drive_cleanup: own_display
# and own_server are 1 when the script started the display or the Wine
# server, editor_pid is the running editor, work the run's folder, and
# failed stays 1 until the script has passed.
own_display=0
own_server=0
editor_pid=""
failed=1

# drive_display: a virtual display of the run's own unless the caller gave
# one.
drive_display() {
    if [ -z "${DISPLAY:-}" ]; then
        uas_start_xvfb
        own_display=1
    fi
}

# drive_cleanup WHAT: the end of a run. A running editor ends (screenshot
# first when the run failed), what the run started stops, and the work
# folder goes, or stays after a failure; WHAT says what it holds.
drive_cleanup() {
    if [ -n "$editor_pid" ] && kill -0 "$editor_pid" 2>/dev/null; then
        [ "$failed" = 1 ] && import -window root "$work/failure.png" 2>/dev/null || true
        kill "$editor_pid" 2>/dev/null || true
    fi
    [ "$own_server" = 1 ] && wineserver -k >/dev/null 2>&1 || true
    [ "$own_display" = 1 ] && kill "$UAS_XVFB_PID" 2>/dev/null || true
    if [ "$failed" = 0 ]; then
        rm -rf "$work"
    else
        echo "$drive_context: $1 and any screenshot are kept in $work" >&2
    fi
}

# The Windows path of a Unix path (Wine maps the root to drive Z:).
winpath() { printf 'Z:%s' "$(printf '%s' "$1" | tr / '\\')"; }

# The text as the probe prints it: backslash doubled, line breaks as \r\n.
escaped() {
    local text=${1//\\/\\\\}
    printf '%s' "${text//$'\n'/\\r\\n}"
}

probe() { wine "$bin/uasprobe.exe" "$@" </dev/null; }

# expect KEY VALUE [MS]: waits until the probe reports VALUE for KEY.
# Values are escaped as the probe prints them (\r, \n, \\).
expect() {
    local out
    if ! out=$(probe expect "$1" "$2" "${3:-10000}"); then
        printf '%s\n' "$out" >&2
        fail "$1 is not \"$2\""
    fi
}

# state_of KEY: the current value of one line of the probe's state.
state_of() {
    probe state | sed -n "s/^$1=//p"
}

# row_of LIST NAME: the row of NAME in the main window's list "dims" or
# "units", as the probe lists them.
row_of() {
    local items row=0 item
    items=$(state_of "$1.items")
    IFS='|' read -r -a item <<<"$items"
    for row in "${!item[@]}"; do
        [ "${item[$row]}" = "$2" ] && { echo "$row"; return 0; }
    done
    fail "$2 is not in the $1 list: $items"
}

# click WHAT: a real mouse click at a place the probe names (see probe.cpp),
# waiting up to 3 s for the window to show it.
click() {
    local where x y
    if ! where=$(probe point "$1" 3000); then
        printf '%s\n' "$where" >&2
        fail "no place to click at $1; the state seen last is above"
    fi
    read -r x y <<<"$where"
    xdotool mousemove --sync "$x" "$y" click 1
}

keys() { xdotool key --delay 40 "$@"; }
type_text() { xdotool type --delay 15 -- "$1"; }

# dialog_closed: the box or dialog is gone and the main window is active
# again, as the keys that follow need it to be.
dialog_closed() {
    expect modal.count 0
    expect active main
}

# start_editor [LOG [ARGUMENT...]]: starts the editor with the arguments,
# waits for its window and gives it the keyboard focus. Sets editor_pid.
start_editor() {
    local log=${1:-/dev/null}
    [ $# -gt 0 ] && shift
    wine "$bin/uasedit.exe" "$@" >"$log" 2>&1 </dev/null &
    editor_pid=$!
    activate_main
}

# activate_main: waits for the editor's window and gives it the keyboard
# with a click on the set-name label. Start-up may still move the window
# when the first click comes, so a click that did not activate it is
# repeated, up to five times.
activate_main() {
    local tries
    expect main yes 20000
    for tries in 1 2 3 4 5; do
        click ctl:70
        probe expect active main 2000 >/dev/null && return 0
    done
    expect active main
}

# exit_code_is CODE: waits up to 20 s for the editor to end and checks its
# exit code.
exit_code_is() {
    local code=0
    if ! timeout 20 tail --pid="$editor_pid" -s 0.1 -f /dev/null; then
        probe state >&2 || true
        fail "the editor did not end within 20 s; its state is above"
    fi
    wait "$editor_pid" || code=$?
    editor_pid=""
    [ "$code" = "$1" ] || fail "exit code $code, expected $1"
}
