#!/usr/bin/env bash
# The reliability suite's long mode: builds what is missing, then runs the
# suite's programs under Wine with the long counts (each can be changed
# through its environment variable), prints the table of what was tried,
# how often and what failed, and rewrites docs/RELIABILITY.md with it.
#   scripts/reliability.sh            the long run
#   scripts/reliability.sh --table F  only prints the table of a table file
set -euo pipefail
. "$(dirname "$0")/lib.sh"

# Prints the rows of a table file (area, what, tried, failed, figures) as a
# Markdown table.
rel_table() {
    printf '| Area | What was tried | Tried | Failed | Figures |\n'
    printf '|---|---|---:|---:|---|\n'
    awk -F '\t' '{ printf "| %s | %s | %s | %s | %s |\n", $1, $2, $3, $4, $5 }' "$1"
}

if [ "${1:-}" = --table ]; then
    [ -s "${2:-}" ] && { echo; echo "Reliability suite (quick counts):"; rel_table "$2"; }
    exit 0
fi

export UAS_REL_SETFILES=${UAS_REL_SETFILES:-1000000}
export UAS_REL_UNITSTEXTS=${UAS_REL_UNITSTEXTS:-100000}
export UAS_REL_PROFILES=${UAS_REL_PROFILES:-5000}
export UAS_REL_UNITSCHILDREN=${UAS_REL_UNITSCHILDREN:-100}
export UAS_REL_CYCLES=${UAS_REL_CYCLES:-2000}
export UAS_REL_SEED=${UAS_REL_SEED:-20240917}

uas_setup
uas_build x86_64 -DUAS_BUILD_TESTS=ON >/dev/null
BUILD=$UAS_BUILD/x86_64
OUT=$BUILD/reliability
mkdir -p "$OUT"
export UAS_REL_TABLE=$OUT/long.tsv
rm -f "$UAS_REL_TABLE"
export UAS_REL_FULLDISK=/tmp/uasrel-fulldisk-long
FULLDISK="$UAS_ROOT/tests/reliability/fulldisk.sh"

trap 'sh "$FULLDISK" unmount "$UAS_REL_FULLDISK"; uas_stop' EXIT
uas_start_xvfb
uas_wine_prefix "$BUILD/wineprefix"
sh "$FULLDISK" mount "$UAS_REL_FULLDISK"

status=0
runs=""
# rel_run NAME PROGRAM [ARGS...]: one program of the suite, its output kept
# in the output folder, its time and exit code noted.
rel_run() {
    local name=$1; shift
    local began=$SECONDS rc=0
    uas_log "running $name"
    "$UAS_ROOT/cmake/wine-run.sh" "$@" >"$OUT/$name.log" 2>&1 </dev/null || rc=$?
    local took=$((SECONDS - began))
    runs="$runs| $name | $took s | $rc |"$'\n'
    [ "$rc" = 0 ] || { status=1; uas_log "$name failed (exit $rc), see $OUT/$name.log"; tail -n 30 "$OUT/$name.log" >&2; }
}
began_all=$SECONDS
# The file readers and the window run side by side, one core each.
(
    rel_run setfiles "$BUILD/bin/rel_setfiles.exe"
    rel_run unitsdata "$BUILD/bin/rel_unitsdata.exe"
    printf '%s' "$runs" >"$OUT/runs.readers"
    exit $status
) &
readers=$!
rel_run window "$BUILD/bin/rel_window.exe"
# Short ones, after the window: two editors in two processes, and start-up's
# message for every damaged resource library and unusable profile place.
rel_run twoeditors "$BUILD/bin/rel_twoeditors.exe"
rel_run libraries "$BUILD/bin/uasedit_startcheck_tests.exe"
wait "$readers" || status=1
runs="$(cat "$OUT/runs.readers")"$'\n'"$runs"
total=$((SECONDS - began_all))

table=$(rel_table "$UAS_REL_TABLE")
echo
echo "Reliability suite, long mode ($total s):"
echo "$table"

doc="$UAS_ROOT/docs/RELIABILITY.md"
{
    sed -n '1,/^<!-- figures -->$/p' "$doc"
    echo
    echo "Last long run: $(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) cores shared with other work,"
    echo "seed $UAS_REL_SEED, $total s in all. Command:"
    echo
    echo '```'
    echo "scripts/reliability.sh"
    echo '```'
    echo
    echo "with UAS_REL_SETFILES=$UAS_REL_SETFILES UAS_REL_UNITSTEXTS=$UAS_REL_UNITSTEXTS"
    echo "UAS_REL_PROFILES=$UAS_REL_PROFILES UAS_REL_UNITSCHILDREN=$UAS_REL_UNITSCHILDREN"
    echo "UAS_REL_CYCLES=$UAS_REL_CYCLES."
    echo
    echo "$table"
    echo
    echo '| Program | Time | Exit code |'
    echo '|---|---:|---:|'
    printf '%s' "$runs"
    echo
    sed -n '/^<!-- end of figures -->$/,$p' "$doc"
} >"$doc.new"
mv "$doc.new" "$doc"
uas_log "rewrote $doc"
exit $status
