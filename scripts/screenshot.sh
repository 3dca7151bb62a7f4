#!/usr/bin/env bash
# Takes a picture of the main window on a virtual X display.
# Usage: scripts/screenshot.sh PROGRAM OUTPUT.png [LANGUAGE]
# The program runs with settings and a working folder of its own (language
# "it" unless given), so the real user's settings and log are not touched.
#
# Or: scripts/screenshot.sh --edit-dialog SHOT_PROGRAM OUTPUT.png
# Takes a picture of the song edit dialog, in Italian, filled from an MP3
# made here with mutagen; SHOT_PROGRAM is the built tests/app/editdialogshot.
set -euo pipefail

if [ "${1:-}" = "--edit-dialog" ]; then
  program=$(realpath "$2")
  output=$(realpath -m "$3")
  sandbox=$(mktemp -d)
  trap 'rm -rf "$sandbox"' EXIT
  mkdir -p "$sandbox/config" "$sandbox/home" "$sandbox/work"
  song="$sandbox/work/Tanti Auguri a Te.mp3"
  /usr/bin/python3 - "$song" <<'PY'
import sys
from mutagen.id3 import ID3, TIT2, TPE1, TCON, TCOM, TLEN, TBPM, TKEY
path = sys.argv[1]
# A few silent MPEG-1 layer III frames stand for the audio.
with open(path, "wb") as f:
    f.write((b"\xff\xfb\x90\x00" + bytes(413)) * 4)
tag = ID3()
for frame in (TIT2(encoding=0, text="Tanti Auguri a Te"), TPE1(encoding=0, text="Coro Alpino"),
              TCON(encoding=0, text="POP"), TCOM(encoding=0, text="Mildred Hill"),
              TLEN(encoding=0, text="125000"), TBPM(encoding=0, text="96"),
              TKEY(encoding=0, text="F#-")):
    tag.add(frame)
tag.save(path, v2_version=3)
PY
  export HOME="$sandbox/home" XDG_CONFIG_HOME="$sandbox/config" QT_QPA_PLATFORM=xcb
  cd "$sandbox/work"
  xvfb-run -a -s "-screen 0 1280x1024x24" "$program" "$song" "$output"
  echo "screenshot: $output"
  exit 0
fi

program=$(realpath "$1")
output=$(realpath -m "$2")
language=${3:-it}

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
  "$0" & pid=$!
  sleep 4
  timeout 30 import -window root -trim +repage "$1"
  kill "$pid"; wait "$pid" 2>/dev/null || true
' "$program" "$output"

echo "screenshot: $output"
