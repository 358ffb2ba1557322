#!/usr/bin/env bash
# CPU of the real program under a private Xvfb (1024 × 768, window at 1×): 10 s in the main
# menu and 10 s of level-1 play, with the display pacing and with "as fast as the machine
# allows", in one run. Also keeps a screenshot of each span (the FPS line shows in the corner).
#
#   bench/cpu_xvfb.sh GAME DATA_DIR [OUT_DIR]
#
# FULL=1 starts the game in full screen under openbox on a SCREEN (default 1920x1080) desktop;
# PACINGS (default "display unlimited") picks the pacing settings to run.
# Prints one line per span: pacing, screen, CPU of the program and of the X server (% of one core).
set -u
GAME=$(readlink -f "$1"); DATA=$(readlink -f "$2"); OUT=${3:-/tmp/sb-cpu}
SPAN=${SPAN:-10}
mkdir -p "$OUT"
TMP=$(mktemp -d)
trap 'kill $WP $XP 2>/dev/null; rm -rf "$TMP"' EXIT
WP=
: > "$TMP/display"
FULL=${FULL:-0}
SCREEN=${SCREEN:-$([ "$FULL" = 1 ] && echo 1920x1080 || echo 1024x768)}
Xvfb -displayfd 9 -screen 0 "${SCREEN}x24" -nolisten tcp -fbdir "$TMP" 9>"$TMP/display" 2>/dev/null &
XP=$!
for _ in $(seq 50); do [ -s "$TMP/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$TMP/display")" SDL_AUDIODRIVER=dummy
if [ "$FULL" = 1 ]; then openbox >/dev/null 2>&1 & WP=$!; sleep 1; fi
ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
cpu_span() {  # PID... -> percentages of one core over SPAN seconds
    local a b p hz; hz=$(getconf CLK_TCK)
    for p in "$@"; do a[$p]=$(ticks "$p"); done
    sleep "$SPAN"
    for p in "$@"; do b=$(ticks "$p"); printf '%s ' $(( (b - a[$p]) * 100 / (SPAN * hz) )); done
}
for pacing in ${PACINGS:-display unlimited}; do
    rm -rf "$TMP/run"; mkdir -p "$TMP/run"; cp -r "$DATA" "$TMP/run/data"
    printf '0\r\n1\r\n0\r\n32\r\n%d\r\n0\r\n0\r\n0\r\n0\r\n0\r\n' "$FULL" > "$TMP/run/data/all_qrx/opt.qrx"  # FPS line on, music off
    printf 'pacing = %s\n' "$pacing" > "$TMP/run/data/all_qrx/settings.ini"
    ( cd "$TMP/run" && exec timeout -k 2 60 "$GAME" >/dev/null 2>"$TMP/err" ) &
    TP=$!
    sleep 4
    GP=$(pgrep -P $TP | head -1)
    W=$(xdotool search --onlyvisible --class starbreaker | head -1)
    xdotool windowfocus --sync "$W" 2>/dev/null
    read -r g x <<<"$(cpu_span "$GP" "$XP")"
    convert "xwd:$TMP/Xvfb_screen0" "$OUT/menu-$pacing.png"
    echo "pacing=$pacing menu  game ${g}%  X ${x}%"
        # A new game, level 1's wave (the cheat key's level 8 ends at its first kill, and the
    # level-done screen did not take Enter in these runs).
    xdotool key Return; sleep 1.5
    read -r g x <<<"$(cpu_span "$GP" "$XP")"
    convert "xwd:$TMP/Xvfb_screen0" "$OUT/play-$pacing.png"
    echo "pacing=$pacing play  game ${g}%  X ${x}%"
    kill "$GP" 2>/dev/null; wait "$TP" 2>/dev/null
done
