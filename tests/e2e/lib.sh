# shellcheck shell=bash
# Shared helpers of the end-to-end checks: a private X server, a private copy of the data,
# the game started from it, windows, keys, screenshots and region colours.
# Sourced by run_e2e.sh; every helper reports through its exit status or stdout.

SKIP=77                     # CTest's SKIP_RETURN_CODE
E2E_SCREEN_W=${E2E_SCREEN_W:-1024}
E2E_SCREEN_H=${E2E_SCREEN_H:-768}
# The game's window is 800 × 600, centred on the screen (at 1× on screens below 1600 × 1200).
WIN_X=$(( (E2E_SCREEN_W - 800) / 2 ))
WIN_Y=$(( (E2E_SCREEN_H - 600) / 2 ))

E2E_TMP=""
E2E_XVFB_PID=""
E2E_WM_PID=""
E2E_GAME_PID=""
E2E_FAILED=0

log()  { printf '[e2e %s] %s\n' "$(date +%T.%N | cut -c1-12)" "$*"; }
fail() { log "FAIL: $*"; E2E_FAILED=1; }
die()  { log "FAIL: $*"; E2E_FAILED=1; exit 1; }

e2e_require_tools() {
    local t
    for t in Xvfb xdotool convert xwininfo timeout; do
        if ! command -v "$t" >/dev/null 2>&1; then
            log "SKIP: '$t' is not installed"
            exit "$SKIP"
        fi
    done
}

# stop_under_timeout PID: ends a program started under `timeout` (PID is timeout's): TERM to
# the program, KILL after a grace time, and timeout itself reaped.
stop_under_timeout() {
    local pid=$1
    kill -0 "$pid" 2>/dev/null || return 0
    pkill -TERM -P "$pid" 2>/dev/null
    for _ in $(seq 1 30); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    if kill -0 "$pid" 2>/dev/null; then
        pkill -KILL -P "$pid" 2>/dev/null
        kill -KILL "$pid" 2>/dev/null
    fi
    wait "$pid" 2>/dev/null
}

e2e_cleanup() {
    local rc=$?
    [ -n "$E2E_GAME_PID" ] && stop_under_timeout "$E2E_GAME_PID"
    [ -n "$E2E_WM_PID" ] && kill "$E2E_WM_PID" 2>/dev/null && wait "$E2E_WM_PID" 2>/dev/null
    # Closing the server also ends any message-box helper the game left behind.
    [ -n "$E2E_XVFB_PID" ] && stop_under_timeout "$E2E_XVFB_PID"
    if [ -n "$E2E_TMP" ] && [ -d "$E2E_TMP" ]; then
        if [ "$rc" -ne 0 ] && [ "$rc" -ne "$SKIP" ] && [ -f "$E2E_TMP/game.err" ]; then
            log "game's stderr:"; sed 's/^/    /' "$E2E_TMP/game.err" | head -40
        fi
        rm -rf "$E2E_TMP"
    fi
    exit "$rc"
}

# e2e_setup DATA_DIR SHOT_DIR: temp folder with a private copy of the data, and a new X server.
e2e_setup() {
    local data=$1
    E2E_SHOTS=$2
    [ -d "$data/all_qrx" ] || die "no data folder at '$data' (build the project first)"
    E2E_TMP=$(mktemp -d "${TMPDIR:-/tmp}/sb-e2e.XXXXXX") || die "mktemp failed"
    trap e2e_cleanup EXIT
    trap 'exit 130' INT TERM
    cp -r "$data" "$E2E_TMP/data" || die "cannot copy the data folder"
    rm -rf "$E2E_SHOTS"; mkdir -p "$E2E_SHOTS"

    # The server picks a free display number itself and writes it once it accepts clients.
    : > "$E2E_TMP/display"
    # The screen's memory is a file (an XWD image): a copy of it is an instant screenshot.
    mkdir -p "$E2E_TMP/fb"
    E2E_FB="$E2E_TMP/fb/Xvfb_screen0"
    # Under timeout too: should this script be killed outright, the server still goes.
    timeout -k 5 "${E2E_SERVER_LIMIT:-900}" Xvfb -displayfd 9 -screen 0 "${E2E_SCREEN_W}x${E2E_SCREEN_H}x24" -nolisten tcp -fbdir "$E2E_TMP/fb" \
        9>"$E2E_TMP/display" >"$E2E_TMP/xvfb.log" 2>&1 &
    E2E_XVFB_PID=$!
    local i
    for i in $(seq 1 100); do
        [ -s "$E2E_TMP/display" ] && break
        kill -0 "$E2E_XVFB_PID" 2>/dev/null || break
        sleep 0.1
    done
    [ -s "$E2E_TMP/display" ] || { cat "$E2E_TMP/xvfb.log"; die "Xvfb did not start"; }
    export DISPLAY=":$(head -n1 "$E2E_TMP/display")"
    export SDL_FRAMEBUFFER_ACCELERATION=0 SDL_AUDIODRIVER=dummy
    # These checks are of X11: a Wayland session around them would be preferred.
    unset SDL_VIDEODRIVER WAYLAND_DISPLAY
    log "X server on $DISPLAY, data copy in $E2E_TMP/data"
}

# e2e_start_wm: a window manager on the server (skips the check where openbox is missing).
e2e_start_wm() {
    command -v openbox >/dev/null 2>&1 || { log "SKIP: 'openbox' is not installed"; exit "$SKIP"; }
    openbox >"$E2E_TMP/wm.log" 2>&1 &
    E2E_WM_PID=$!
    # Ready once it has claimed the screen's window-manager selection.
    for _ in $(seq 1 50); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
        sleep 0.1
    done
    log "openbox running"
}

# e2e_start_game BIN SECONDS: the game from the temp folder, killed after SECONDS at the latest.
e2e_start_game() {
    local bin=$1 limit=$2
    ( cd "$E2E_TMP" && exec timeout -k 3 "$limit" "$bin" >"$E2E_TMP/game.out" 2>"$E2E_TMP/game.err" ) &
    E2E_GAME_PID=$!
}

game_running() { kill -0 "$E2E_GAME_PID" 2>/dev/null; }

# e2e_wait_game_end SECONDS: waits for the game to end and sets E2E_GAME_RC; fails if it runs on.
e2e_wait_game_end() {
    local limit=$1
    for _ in $(seq 1 $((limit * 10))); do
        game_running || break
        sleep 0.1
    done
    if game_running; then return 1; fi
    wait "$E2E_GAME_PID"
    E2E_GAME_RC=$?
    E2E_GAME_PID=""
    return 0
}

# Mapped windows of the game, one per line: "id x y w h" (id in decimal, as xdotool takes it).
# Places are absolute, so a window manager's frames around them do not matter.
mapped_windows() {
    local id
    for id in $(xdotool search --onlyvisible --class starbreaker 2>/dev/null); do
        echo "$id $(window_geometry "$id")"
    done
}

# wait_window W H [X Y] SECONDS: prints the id of a mapped game window of that size (and place).
wait_window() {
    local ww=$1 wh=$2 wx=${3:-} wy=${4:-} limit=${5:-10} line
    for _ in $(seq 1 $((limit * 20))); do
        while read -r line; do
            set -- $line
            [ "$4" = "$ww" ] && [ "$5" = "$wh" ] || continue
            if [ -n "$wx" ] && { [ "$2" != "$wx" ] || [ "$3" != "$wy" ]; }; then continue; fi
            echo "$1"; return 0
        done < <(mapped_windows)
        game_running || return 1
        sleep 0.05
    done
    return 1
}

# What the X server holds, for the log when a window is not where it should be.
x_diagnostics() {
    if kill -0 "$E2E_XVFB_PID" 2>/dev/null; then log "X server alive"; else log "X server gone"; fi
    if game_running; then log "game running"; else log "game not running"; fi
    log "top-level windows:"; xwininfo -root -children 2>&1 | grep -E '^ +0x|rror' | sed 's/^/    /'
    log "mapped game windows:"; mapped_windows | sed 's/^/    /'
    # Where the program is, when it runs but shows nothing.
    local pid
    if game_running && command -v gdb >/dev/null 2>&1; then
        for pid in $(pgrep -P "$E2E_GAME_PID"); do
            log "stacks of the program ($pid):"
            timeout 30 gdb -p "$pid" -batch -ex 'thread apply all bt 25' 2>/dev/null \
                | grep -E '^#|^Thread' | sed 's/^/    /' | head -150
        done
    fi
    [ -f "$E2E_FB" ] && convert "xwd:$E2E_FB" "$E2E_SHOTS/screen-at-failure.png" 2>/dev/null \
        && log "whole screen: $E2E_SHOTS/screen-at-failure.png"
}

# Keys go to the focused window through the XTEST extension, like a real keyboard.
# A window that never takes the focus must not hang the check: every call is bounded.
focus() { timeout -k 1 5 xdotool windowfocus --sync "$1" 2>/dev/null || timeout -k 1 5 xdotool windowfocus "$1"; }
key()   { timeout -k 1 10 xdotool key --delay 60 "$@"; sleep 0.15; }
hold()  { timeout -k 1 5 xdotool keydown "$1"; sleep "$2"; timeout -k 1 5 xdotool keyup "$1"; }

# screen_shot NAME: the whole screen as NAME.png in the shot folder; prints the path.
screen_shot() {
    local f n
    n=$(find "$E2E_SHOTS" -maxdepth 1 -name '*.png' | wc -l)
    f=$(printf '%s/%02d-%s.png' "$E2E_SHOTS" $((n + 1)) "$1")
    cp "$E2E_FB" "$E2E_TMP/frame.xwd" && convert "xwd:$E2E_TMP/frame.xwd" "$f" 2>/dev/null \
        || { fail "screenshot '$1' failed"; return 1; }
    echo "$f"
}

# window_geometry ID: "x y w h" of a window on the screen (frames of a window manager left out).
window_geometry() {
    xwininfo -id "$1" 2>/dev/null | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
        /^ *Width:/ {w=$2} /^ *Height:/ {h=$2} END {print x, y, w, h}'
}

# shot NAME: the game's 800 × 600 window area as NAME.png in the shot folder; prints the path.
# Files are numbered in the order taken (callers run this in a subshell, so count the files).
shot() {
    local f n
    n=$(find "$E2E_SHOTS" -maxdepth 1 -name '*.png' | wc -l)
    f=$(printf '%s/%02d-%s.png' "$E2E_SHOTS" $((n + 1)) "$1")
    cp "$E2E_FB" "$E2E_TMP/frame.xwd" \
        && convert "xwd:$E2E_TMP/frame.xwd" -crop "800x600+${WIN_X}+${WIN_Y}" +repage "$f" 2>/dev/null \
        || { fail "screenshot '$1' failed"; return 1; }
    echo "$f"
}

# mean FILE W H X Y: "r g b" means (0..1) of a region.
mean() {
    convert "$1" -crop "${2}x${3}+${4}+${5}" +repage -format '%[fx:mean.r] %[fx:mean.g] %[fx:mean.b]' info:
}
# lumas FILE WxH+X+Y...: mean brightness (0..1) of several regions, one line, in one pass.
lumas() {
    local f=$1 g args=()
    shift
    for g in "$@"; do
        args+=( '(' mpr:g -crop "$g" +repage -format '%[fx:mean] ' -write info: ')' )
    done
    convert "$f" -colorspace Gray -write mpr:g +delete "${args[@]}" null:
    echo
}
# luma FILE W H X Y: mean brightness (0..1) of a region.
luma() {
    convert "$1" -crop "${2}x${3}+${4}+${5}" +repage -colorspace Gray -format '%[fx:mean]' info:
}
# bright_frac FILE W H X Y LEVEL: share of a region's pixels brighter than LEVEL percent.
bright_frac() {
    convert "$1" -crop "${2}x${3}+${4}+${5}" +repage -colorspace Gray -threshold "${6}%" \
        -format '%[fx:mean]' info:
}
# cmp_gt A B / cmp_lt A B: floating comparisons.
cmp_gt() { awk -v a="$1" -v b="$2" 'BEGIN{exit !(a > b)}'; }
cmp_lt() { awk -v a="$1" -v b="$2" 'BEGIN{exit !(a < b)}'; }

# What the game's screens look like (800 × 600 window coordinates), for the X11 and the
# Wayland checks alike.
# The top edge of the head-up display panel once it has arrived (a bright line at y 520).
hud_line_luma()    { luma "$1" 800 3 0 520; }
# The play field above the panel: mostly black space.
field_luma()       { luma "$1" 800 500 0 10; }

is_lit()  { cmp_gt "$1" 0.30; }
is_dark() { cmp_lt "$1" 0.22; }

# The main menu with entry n lit and every other entry dark, and the title on the left.
menu_shows() {
    local f=$1 n=$2 e=0 v title
    read -r title v <<<"$(lumas "$f" 340x50+30+85 \
        300x40+450+143 300x40+450+207 300x40+450+271 300x40+450+335 300x40+450+399 300x40+450+463)"
    is_lit "$title" || return 1
    for v in $v; do
        e=$((e + 1))
        if [ "$e" = "$n" ]; then is_lit "$v" || return 1; else is_dark "$v" || return 1; fi
    done
}
pause_shows() {
    local f=$1 n=$2 e=0 v r g b
    for v in $(lumas "$f" 300x40+450+213 300x40+450+287 300x40+450+361); do
        e=$((e + 1))
        if [ "$e" = "$n" ]; then is_lit "$v" || return 1; else is_dark "$v" || return 1; fi
    done
    # The lit pause entry is magenta, unlike the main menu's blue-to-purple one.
    read -r r g b <<<"$(mean "$f" 300 40 450 $((213 + 74 * (n - 1))))"
    cmp_gt "$r" "$g" && cmp_gt "$b" "$g"
}
playing_shows() {
    cmp_gt "$(hud_line_luma "$1")" 0.5 && cmp_lt "$(field_luma "$1")" 0.08
}

# expect_gt WHAT VALUE LIMIT / expect_lt: a check with its measured value in the log.
expect_gt() { if cmp_gt "$2" "$3"; then log "ok   $1: $2 > $3"; else fail "$1: $2 is not > $3"; fi; }
expect_lt() { if cmp_lt "$2" "$3"; then log "ok   $1: $2 < $3"; else fail "$1: $2 is not < $3"; fi; }
