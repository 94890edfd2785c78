#!/usr/bin/env bash
# The benchmark, end to end: builds an optimised x86_64 build with the bench
# programs in its own folder (build/bench unless UAS_BENCH_BUILD says
# otherwise), generates units libraries of 100 to 32 767 dimensions and set
# folders of 100 to 100 000 sets, times the program's operations in-process
# at every size, the set-selection dialog in-process and from outside, times
# start-up and closing against the floor programs, prints the tables and
# writes them to docs/PERFORMANCE.md.
#
# Knobs (environment): UAS_BENCH_RUNS start-up pairs per installation
# (default 20), UAS_BENCH_BUDGET seconds of start-up runs per installation
# (default 60), UAS_BENCH_OP_RUNS runs per operation (default 7),
# UAS_BENCH_OP_BUDGET seconds per operation (default 3), UAS_BENCH_SIZES,
# UAS_BENCH_SET_COUNTS (numbers of sets in the set folder; empty: none),
# UAS_BENCH_STARTUP_REPEATS processes that time the in-process start-up
# alone, per size (default 5; the median is reported).
set -euo pipefail
BENCH_DIR=$(cd "$(dirname "$0")" && pwd)
export UAS_BUILD=${UAS_BENCH_BUILD:-$(cd "$BENCH_DIR/.." && pwd)/build/bench}
. "$BENCH_DIR/../scripts/lib.sh"

RUNS=${UAS_BENCH_RUNS:-20}
BUDGET=${UAS_BENCH_BUDGET:-60}
OP_RUNS=${UAS_BENCH_OP_RUNS:-7}
OP_BUDGET=${UAS_BENCH_OP_BUDGET:-3}
STARTUP_REPEATS=${UAS_BENCH_STARTUP_REPEATS:-5}
SIZES=${UAS_BENCH_SIZES:-100 1000 10000 32767}
SET_COUNTS=${UAS_BENCH_SET_COUNTS-100 1000 10000 100000}
# Start-up is measured on the demo installation and on the bigger libraries.
STARTUP_SIZES=${UAS_BENCH_STARTUP_SIZES:-1000 10000 32767}
FLOOR_CLASS=UasBenchFloor
PROGRAM_CLASS="Unit Assignment Set Builder"

uas_setup
python3 -m unittest discover -s "$BENCH_DIR" -p 'test_*.py' -q
uas_build x86_64 -DUAS_BUILD_TESTS=OFF -DUAS_BUILD_BENCH=ON >/dev/null

BUILD="$UAS_BUILD/x86_64"
RESULTS="$BUILD/bench-results"
rm -rf "$RESULTS"
mkdir -p "$RESULTS"

trap uas_stop EXIT
uas_start_xvfb
uas_wine_prefix "$BUILD/wineprefix"

# shellcheck disable=SC2086
python3 "$BENCH_DIR/prepare.py" "$BUILD/benchdata" "$BUILD" $(printf '%s\n' $SIZES $STARTUP_SIZES | sort -nu) \
    > "$RESULTS/profiles.tsv"
# shellcheck disable=SC2086
[ -n "$SET_COUNTS" ] && python3 "$BENCH_DIR/prepare.py" --sets "$BUILD/benchdata" "$BUILD" $SET_COUNTS \
    > "$RESULTS/set-profiles.tsv"
profile_of() { awk -F'\t' -v n="$1" '$1 == n { print $2 }' "$RESULTS/profiles.tsv"; }
set_profile_of() { awk -F'\t' -v n="$1" '$1 == n { print $2 }' "$RESULTS/set-profiles.tsv"; }

{
    echo "date	$(date -u '+%Y-%m-%d %H:%M UTC')"
    echo "cpu	$(lscpu | sed -n 's/^Model name: *//p' | head -1)"
    echo "cores	$(nproc)"
    echo "wine	$(wine --version 2>/dev/null </dev/null)"
    echo "commit	$(git -C "$BENCH_DIR/.." rev-parse --short HEAD 2>/dev/null || echo unknown)"
    echo "runs	$RUNS"
    echo "budget	$BUDGET"
    echo "opruns	$OP_RUNS"
} > "$RESULTS/machine.tsv"

cd "$BUILD/bin"
status=0
for n in $SIZES; do
    uas_log "operations, $n dimensions"
    KALVEX_PROFILE=$(profile_of "$n") wine uasbench.exe --size "$n" --runs "$OP_RUNS" --budget "$OP_BUDGET" \
        > "$RESULTS/ops-$n.tsv" </dev/null || { uas_log "uasbench failed at $n dimensions"; status=1; }
    # The in-process start-up happens once per process: more processes make
    # its figure a median rather than one sample.
    for k in $(seq 1 "$STARTUP_REPEATS"); do
        KALVEX_PROFILE=$(profile_of "$n") wine uasbench.exe --size "$n" --startup-only \
            > "$RESULTS/inproc-$n-$k.tsv" </dev/null || { uas_log "uasbench --startup-only failed at $n"; status=1; }
    done
done

# Two sets of the folder to open in turn, from its first and second third,
# with plain ASCII names (the first two prefixes of prepare.py).
set_name() { python3 -c "import sys; sys.path.insert(0, '$BENCH_DIR'); import prepare; print(prepare.set_name($1))"; }
for n in $SET_COUNTS; do
    uas_log "the set-selection dialog, $n sets"
    KALVEX_PROFILE=$(set_profile_of "$n") wine uasbench.exe --sets "$n" --runs "$OP_RUNS" --budget "$OP_BUDGET" \
        > "$RESULTS/sets-$n.tsv" </dev/null || { uas_log "uasbench failed at $n sets"; status=1; }
    uas_log "the set-selection dialog from outside, $n sets"
    wine uasdrive.exe --runs "$OP_RUNS" --profile "$(set_profile_of "$n")" uasedit.exe "$PROGRAM_CLASS" \
        "$(set_name $((n / 3 / 16 * 16)))" "$(set_name $((2 * n / 3 / 16 * 16 + 1)))" \
        > "$RESULTS/drive-$n.tsv" </dev/null || { uas_log "uasdrive failed at $n sets"; status=1; }
done

# The demo installation against the bare floor; the generated libraries
# against the floor that loads the editor's libraries and closes as it does.
warmup=1
for label in demo $STARTUP_SIZES; do
    uas_log "start-up against the floor, $label"
    profile=-
    floor=uasfloor.exe
    if [ "$label" != demo ]; then
        profile=$(profile_of "$label")
        floor=uasfloorlib.exe
    fi
    wine uaslaunch.exe --label "$label" --runs "$RUNS" --budget "$BUDGET" --profile "$profile" \
        --warmup "$warmup" "$floor" "$FLOOR_CLASS" uasedit.exe "$PROGRAM_CLASS" \
        > "$RESULTS/startup-$label.tsv" </dev/null || { uas_log "start-up runs failed for $label"; status=1; }
    warmup=0
done
uas_log "start-up and closing against the floor with the editor's libraries, demo"
wine uaslaunch.exe --label demo-lib --runs "$RUNS" --budget "$BUDGET" --profile - \
    --warmup 1 uasfloorlib.exe "$FLOOR_CLASS" uasedit.exe "$PROGRAM_CLASS" \
    > "$RESULTS/startup-demo-lib.tsv" </dev/null || { uas_log "start-up runs failed for demo-lib"; status=1; }
# The demo installation once more, against the floor with the editor's
# manifest.
uas_log "start-up against the floor with the manifest, demo"
wine uaslaunch.exe --label demo-cc6 --runs "$RUNS" --budget "$BUDGET" --profile - \
    --warmup 1 uasfloor6.exe "$FLOOR_CLASS" uasedit.exe "$PROGRAM_CLASS" \
    > "$RESULTS/startup-demo-cc6.tsv" </dev/null || { uas_log "start-up runs failed for demo-cc6"; status=1; }

python3 "$BENCH_DIR/report.py" "$RESULTS" "$BENCH_DIR/../docs/PERFORMANCE.md"
exit $status
