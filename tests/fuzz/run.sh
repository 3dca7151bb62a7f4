#!/usr/bin/env bash
# Runs every fuzz target of a QUENOR_FUZZ build for a number of seconds each,
# one after the other, from the seeds the builders make plus the corpus kept
# in the build folder by earlier runs. Any crash or broken property fails
# the run; its input is left under <build>/fuzz-artifacts/ (keep it under
# tests/fuzz/regressions/<target>/ once fixed).
#   tests/fuzz/run.sh BUILD_DIR SECONDS [TARGET...]
set -uo pipefail

build=${1:?build folder}
seconds=${2:?seconds per target}
shift 2
here=$(cd "$(dirname "$0")" && pwd)
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(metasong lzhuff songhead indexreader playlists)

bin="$build/tests/fuzz"
seeds="$build/fuzz-seeds"
artifacts="$build/fuzz-artifacts"
rm -rf "$seeds"
"$bin/fuzz_seeds" "$seeds" || exit 1
mkdir -p "$artifacts"
# The targets lay out song files and memories for every input: in memory
# where there is room, in a folder removed at the end.
tmproot=/tmp
[ -d /dev/shm ] && [ -w /dev/shm ] && tmproot=/dev/shm
TMPDIR=$(mktemp -d "$tmproot/quenor-fuzz.XXXXXX") || exit 1
export TMPDIR
trap 'rm -rf "$TMPDIR"' EXIT

failed=0
for target in "${targets[@]}"; do
    corpus="$build/fuzz-corpus/$target"
    log="$build/fuzz-$target.log"
    mkdir -p "$corpus"
    echo "== fuzz_$target for ${seconds}s"
    "$bin/fuzz_$target" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=3072 \
        -dict="$here/$target.dict" -artifact_prefix="$artifacts/$target-" \
        -print_final_stats=1 "$corpus" "$seeds/$target" >"$log" 2>&1
    status=$?
    grep -E '^#[0-9]+[[:space:]]' "$log" | tail -1
    grep -E 'stat::(number_of_executed_units|average_exec_per_sec)' "$log"
    if [ $status -ne 0 ]; then
        failed=1
        echo "fuzz_$target FAILED (exit $status):"
        grep -E 'ERROR|property broken|SUMMARY|Test unit written' "$log" | head -20
    fi
done
exit $failed
