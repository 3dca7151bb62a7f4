#!/usr/bin/env bash
# Takes a picture of the main window on a virtual X display.
# Usage: scripts/screenshot.sh PROGRAM OUTPUT.png [LANGUAGE [ARGUMENT...]]
# (the arguments are passed to the program)
# The program runs with settings and a working folder of its own (language
# "it" unless given), so the real user's settings and log are not touched.
set -euo pipefail

program=$(realpath "$1")
output=$(realpath -m "$2")
language=${3:-it}
shift $(( $# < 3 ? $# : 3 ))

for tool in xvfb-run import; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "screenshot: '$tool' is missing; run scripts/install-deps.sh" >&2
    exit 1
  fi
done

sandbox=$(mktemp -d)
trap 'rm -rf "$sandbox"' EXIT
mkdir -p "$sandbox/config/zevio" "$sandbox/home" "$sandbox/work"
printf '[General]\nlanguage=%s\n' "$language" > "$sandbox/config/zevio/quenor_pc.conf"

export HOME="$sandbox/home" XDG_CONFIG_HOME="$sandbox/config"
cd "$sandbox/work"

# Inside the virtual display: start the program, give it time to draw its
# window, grab the whole screen and cut away the empty black around the
# window (there is no window manager, so no frame).
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  "$0" "${@:2}" & pid=$!
  sleep 4
  timeout 30 import -window root -trim +repage "$1"
  kill "$pid"; wait "$pid" 2>/dev/null || true
' "$program" "$output" "$@"

echo "screenshot: $output"
