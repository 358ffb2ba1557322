#!/usr/bin/env bash
# Checks of the real program on Wayland: a headless sway (one session per check) with an output
# of the given size and scale, no X server at all, keys typed by wtype, screenshots by grim.
#
#   run_wayland.sh GAME DATA_DIR SHOT_DIR CHECK SCREEN SCALE
#
# Checks: menu (shown within 10 s, its size in real pixels, sharp, app id, idle CPU), play
# (Enter starts a game, Escape pauses, Alt+Enter fills the output and comes back), missing (a
# missing picture: its message box is answered and the program ends), stuck (a window that can
# never present: the program rests instead of spinning), slide (on a fast output, e.g.
# 1920x1080@144Hz: the score table slides in at sixty steps a second, and the FPS line reads 60).
# Exit 0 = passed, 77 = skipped (sway cannot run here), anything else = failed.
# For measuring by hand: SB_WL_GAME_ENV="NAME=VALUE ..." is given to the program, SB_WL_KEEP=1
# keeps the private folder (the compositor's log, the program's stderr).
set -u
HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=../e2e/lib.sh
source "$HERE/../e2e/lib.sh"

if [ "${1:-}" = --inner ]; then
    # Inside sway, as the compositor's own client: the settings of the outer run are in env.sh.
    # shellcheck source=/dev/null
    source "$2"
    exec >"$W/inner.log" 2>&1
    INNER=1
else
    INNER=0
fi

# ---------------------------------------------------------------------------------------------
# Outer part: a private folder readable by the compositor's user, sway started, its verdict.

if [ "$INNER" = 0 ]; then
    [ $# -eq 6 ] || { echo "usage: $0 GAME DATA_DIR SHOT_DIR CHECK SCREEN SCALE" >&2; exit 2; }
    GAME=$(readlink -f "$1"); DATA=$(readlink -f "$2"); SHOTS=$3; CHECK=$4; SCREEN=$5; SCALE=$6
    for t in sway swaymsg grim wtype jq convert setpriv timeout tesseract md5sum; do
        command -v "$t" >/dev/null 2>&1 || { log "SKIP: '$t' is not installed"; exit "$SKIP"; }
    done
    [ -d "$DATA/all_qrx" ] || { log "FAIL: no data folder at '$DATA'"; exit 1; }
    W=$(mktemp -d "${TMPDIR:-/tmp}/sb-wl.XXXXXX") || exit 1
    [ -n "${SB_WL_KEEP:-}" ] || trap 'rm -rf "$W"' EXIT
    chmod 755 "$W"
    rm -rf "$SHOTS"; mkdir -p "$SHOTS"
    # The program and its data are copied: the compositor's user must read them all.
    cp "$GAME" "$W/starbreaker" && cp -r "$DATA" "$W/data" && mkdir -p "$W/run" "$W/shots" || exit 1
    cat >"$W/env.sh" <<EOF
W=$W; CHECK=$CHECK; SCREEN=$SCREEN; SCALE=$SCALE; SB_E2E_SLOW=${SB_E2E_SLOW:-1}
GAME_ENV=(${SB_WL_GAME_ENV:-})
EOF
    cat >"$W/sway.conf" <<EOF
output HEADLESS-1 mode $SCREEN scale $SCALE
xwayland disable
default_border none
default_floating_border none
for_window [app_id=".*"] floating enable
for_window [title=".*"] floating enable
exec bash $HERE/run_wayland.sh --inner $W/env.sh
EOF
    chmod 700 "$W/run"
    # sway refuses to run as root: there it runs as nobody.
    AS=()
    if [ "$(id -u)" = 0 ]; then
        chown -R 65534:65534 "$W"
        AS=(setpriv --reuid=65534 --regid=65534 --clear-groups)
    fi
    limit=$(( 60 * ${SB_E2E_SLOW:-1} ))
    env -i PATH=/usr/bin:/bin HOME="$W" XDG_RUNTIME_DIR="$W/run" WLR_BACKENDS=headless WLR_RENDERER=pixman \
        WLR_HEADLESS_OUTPUTS=1 WLR_LIBINPUT_NO_DEVICES=1 LIBGL_ALWAYS_SOFTWARE=1 \
        "${AS[@]}" timeout -k 5 "$limit" sway -c "$W/sway.conf" >"$W/sway.log" 2>&1
    cp "$W"/shots/*.png "$SHOTS"/ 2>/dev/null
    [ -f "$W/game.err" ] && cp "$W/game.err" "$SHOTS/stderr.txt"
    if [ ! -f "$W/inner.rc" ]; then
        if [ ! -f "$W/inner.log" ]; then
            log "SKIP: sway did not start here"; sed 's/^/    /' "$W/sway.log" | tail -15
            exit "$SKIP"
        fi
        cat "$W/inner.log"; log "FAIL $CHECK: the check did not finish"; exit 1
    fi
    cat "$W/inner.log"
    exit "$(cat "$W/inner.rc")"
fi

# ---------------------------------------------------------------------------------------------
# Inner part: the program on the compositor.

E2E_SHOTS=$W/shots
secs() { echo $(( $1 * SB_E2E_SLOW )); }
OUT_W=${SCREEN%%x*}; OUT_H=${SCREEN##*x}; OUT_H=${OUT_H%%@*}
APP_ID=org.starbreaker.Starbreaker
GAME_PID=""
E2E_SKIPPED=0
POKE=1   # while waiting for a screen, the keyboard is brought back now and then

finish() {
    [ -n "$GAME_PID" ] && kill -TERM "$GAME_PID" 2>/dev/null && sleep 0.5 && kill -KILL "$GAME_PID" 2>/dev/null
    if [ "$E2E_FAILED" = 0 ] && [ "$E2E_SKIPPED" = 1 ]; then echo "$SKIP" >"$W/inner.rc"
    elif [ "$E2E_FAILED" = 0 ]; then log "PASS $CHECK (scale $SCALE)"; echo 0 >"$W/inner.rc"
    else log "FAIL $CHECK (scale $SCALE)"; echo 1 >"$W/inner.rc"; fi
    swaymsg exit >/dev/null 2>&1
    exit 0
}
trap finish EXIT

# A headless compositor has no keyboard, and a window gets the keyboard focus (the game's
# activation) only from one: wtype's virtual keyboard gives it while it lives. (A keyboard kept
# for the whole check crashes sway 1.7 as the focused loading screen goes.)
poke_keyboard() { wtype -s 300 -k Shift_L 2>/dev/null; }

start_game() {
    ( cd "$W" && exec env -u DISPLAY SDL_AUDIODRIVER=dummy "${GAME_ENV[@]}" "$@" timeout -k 3 "$(secs 40)" ./starbreaker \
        >"$W/game.out" 2>"$W/game.err" ) &
    local t=$!
    for _ in $(seq 1 50); do GAME_PID=$(pgrep -P "$t" | head -n1); [ -n "$GAME_PID" ] && break; sleep 0.05; done
}
running() { [ -n "$GAME_PID" ] && kill -0 "$GAME_PID" 2>/dev/null; }

# Windows of the program: "app_id visible x y w h fullscreen id title" (logical sizes), one a line.
windows() {
    swaymsg -t get_tree -r 2>/dev/null | jq -r '.. | objects | select(.pid? != null and .type? != "workspace")
        | "\(.app_id) \(.visible) \(.rect.x) \(.rect.y) \(.rect.width) \(.rect.height) \(.fullscreen_mode) \(.id) \(.name)"'
}
# wait_main W H SECONDS: the main window visible at that logical size; sets MAIN (x y w h).
wait_main() {
    local end=$(( $(date +%s) + $3 )) id vis x y w h fs con name
    while [ "$(date +%s)" -le "$end" ]; do
        while read -r id vis x y w h fs con name; do
            if [ "$id" = "$APP_ID" ] && [ "$vis" = true ] && [ "$w" = "$1" ] && [ "$h" = "$2" ]; then
                MAIN="$x $y $w $h"; return 0
            fi
        done < <(windows)
        running || return 1
        sleep 0.1
    done
    return 1
}

# grab NAME: the output in real pixels; prints the path.
grab() {
    local f n
    n=$(find "$E2E_SHOTS" -maxdepth 1 -name '*.png' | wc -l)
    f=$(printf '%s/%02d-%s.png' "$E2E_SHOTS" $((n + 1)) "$1")
    grim -o HEADLESS-1 "$f" 2>/dev/null || { fail "grim failed"; return 1; }
    echo "$f"
}
# window_shot NAME: the main window's picture in real pixels, and ($2) the same at 800 × 600.
window_shot() {
    local full x y w h
    full=$(grab "$1") || return 1
    read -r x y w h <<<"$MAIN"
    convert "$full" -crop "$((w * SCALE))x$((h * SCALE))+$((x * SCALE))+$((y * SCALE))" +repage "$W/win.png"
    convert "$W/win.png" -sample '800x600!' "$W/win800.png"
}
# wait_picture NAME SECONDS PREDICATE ARGS...: until the window's picture satisfies it.
wait_picture() {
    local name=$1 end=$(( $(date +%s) + $2 )); shift 2
    while :; do
        window_shot "$name" || return 1
        "$@" "$W/win800.png" && return 0
        running || return 1
        [ "$POKE" = 1 ] && poke_keyboard
        [ "$(date +%s)" -lt "$end" ] || return 1
        sleep 0.2
    done
}
p_menu()    { menu_shows "$2" "$1"; }
p_pause()   { pause_shows "$2" "$1"; }
expect_picture() {
    if wait_picture "$@"; then log "ok   screen '$1'"; else fail "screen '$1' did not show within $2 s"; return 1; fi
}
# Each wtype brings a new keyboard: keys sent before the compositor has given it the focus are
# lost, so a pause comes first.
type_key() { wtype -s 500 "$@"; sleep 0.3; }

# cpu_share SECONDS: the program's processor time over that long, as a share of one core.
cpu_share() {
    local a b hz
    hz=$(getconf CLK_TCK)
    a=$(awk '{print $14 + $15}' "/proc/$GAME_PID/stat")
    sleep "$1"
    b=$(awk '{print $14 + $15}' "/proc/$GAME_PID/stat")
    awk -v a="$a" -v b="$b" -v s="$1" -v hz="$hz" 'BEGIN{printf "%.3f", (b - a) / hz / s}'
}

# The menu shown within 10 s at 800 × 600 logical, that is 800·k × 600·k real pixels, every
# game pixel a uniform k × k block; the window known by its app id; quiet in the menu.
check_menu() {
    start_game
    wait_main 800 600 10 || { windows | sed 's/^/    /'; fail "no 800x600 window with app id $APP_ID within 10 s"; return; }
    log "ok   window $APP_ID at $MAIN (logical), scale $SCALE"
    expect_picture menu 10 p_menu 1 || return
    local size
    size=$(identify -format '%wx%h' "$W/win.png")
    [ "$size" = "$((800 * SCALE))x$((600 * SCALE))" ] && log "ok   window is $size real pixels" \
        || fail "window is $size real pixels, not $((800 * SCALE))x$((600 * SCALE))"
    if [ "$SCALE" -gt 1 ]; then
        # Blocks: sampling every k-th pixel and enlarging again gives the picture back exactly.
        local diff
        diff=$(convert "$W/win.png" -sample "$((100 / SCALE))%" -sample "$((100 * SCALE))%" "$W/win.png" \
            -metric AE -compare -format '%[distortion]' info: 2>/dev/null)
        [ "$diff" = 0 ] && log "ok   every game pixel is a ${SCALE}x${SCALE} block" \
            || fail "$diff real pixels differ from ${SCALE}x${SCALE} blocks"
    fi
    local cpu
    cpu=$(cpu_share 5)
    log "menu CPU: $cpu of a core"
    # Headless, OpenGL is drawn by the processor (llvmpipe): each frame drawn costs much, and a
    # still menu must not be drawn again every frame.
    cmp_lt "$cpu" 0.10 || fail "menu CPU $cpu is not below 0.10 of a core"
}

# Enter starts a game, Escape pauses it, Alt+Enter fills the output with the picture between
# black bars and comes back.
check_play() {
    start_game
    wait_main 800 600 10 || { fail "no main window"; return; }
    expect_picture menu 10 p_menu 1 || return
    type_key -k Return
    expect_picture playing 15 playing_shows || return
    type_key -k Escape
    expect_picture pause 5 p_pause 1 || return
    local lw=$((OUT_W / SCALE)) lh=$((OUT_H / SCALE))
    type_key -M alt -k Return -m alt
    if wait_main "$lw" "$lh" 5; then
        log "ok   full screen covers the output ($MAIN)"
        local f bar pic fw=$((OUT_H * 4 / 3))
        sleep 0.5
        f=$(grab fullscreen)
        read -r bar pic <<<"$(lumas "$f" "$(( (OUT_W - fw) / 2 ))x${OUT_H}+0+0" "${fw}x${OUT_H}+$(( (OUT_W - fw) / 2 ))+0")"
        cmp_lt "$bar" 0.005 && cmp_gt "$pic" 0.05 && log "ok   4:3 picture between black bars ($bar, $pic)" \
            || fail "full screen: bar brightness $bar, picture $pic"
    else
        fail "Alt+Enter did not fill the ${lw}x${lh} output"; windows | sed 's/^/    /'
    fi
    type_key -M alt -k Return -m alt
    wait_main 800 600 5 && log "ok   back to the 800x600 window" || fail "Alt+Enter did not come back to the window"
}

# A missing picture: a message box per missing file (SDL's needs a dialog helper on Wayland;
# the program's own otherwise), each answered by Enter; then the program ends.
check_missing() {
    rm -f "$W/data/all_bmp/x/bug2.bmp"
    start_game
    local end=$(( $(date +%s) + $(secs 15) )) boxes=0 seen=""
    while running && [ "$(date +%s)" -lt "$end" ]; do
        local line
        # A box: a window titled as the program that is not the 800 x 600 main window.
        line=$(windows | awk '$2 == "true" && $9 == "Starbreaker" && !($5 == 800 && $6 == 600)' | head -n1)
        if [ -n "$line" ] && [ "$line" != "$seen" ]; then
            log "message box: $line"
            grab message-box >/dev/null
            type_key -k Return
            boxes=$((boxes + 1)); seen=$line
        else
            # Until the main window is activated the program does not start up (nor look for
            # its files): a keyboard lets the compositor give that window the focus.
            poke_keyboard
        fi
        sleep 0.2
    done
    running && { fail "the program is still running after the message box"; return; }
    [ "$boxes" -ge 1 ] && log "ok   $boxes message box(es) answered" || fail "no message box was seen"
    grep -qF 'Файл не найден: data\all_bmp\x\bug2.bmp' "$W/game.err" && log "ok   stderr names the file" \
        || fail "stderr lacks the missing file"
}

# A window whose every present fails (the software renderer without SDL's framebuffer emulation,
# which cannot exist on Wayland): nothing is shown, and the program rests instead of rebuilding
# its pictures each frame. SDL 2 falls back to another renderer there (the window then shows and
# nothing fails): skipped; SDL 3 keeps to the renderer asked for.
check_stuck() {
    start_game SDL_RENDER_DRIVER=software SDL_FRAMEBUFFER_ACCELERATION=0
    local end=$(( $(date +%s) + $(secs 6) ))
    while [ "$(date +%s)" -lt "$end" ]; do
        running || { fail "the program ended"; return; }
        if windows | awk -v id="$APP_ID" '$1 == id && $2 == "true" && $5 == 800 && $6 == 600' | grep -q .; then
            log "SKIP: this SDL found another renderer: the window shows, no present fails"
            E2E_SKIPPED=1; return
        fi
        poke_keyboard
        sleep 0.5
    done
    local cpu
    cpu=$(cpu_share 5)
    log "CPU with a failing present: $cpu of a core"
    cmp_lt "$cpu" 0.05 || fail "CPU $cpu with a failing present is not below 0.05 of a core"
}

# Seconds since the epoch, to the millisecond.
now() { date +%s.%N | cut -c1-14; }
# main_shot NAME: the main window's picture (real pixels), kept under that name; prints the path.
main_shot() {
    local full x y w h
    full=$(grab "$1") || return 1
    read -r x y w h <<<"$MAIN"
    convert "$full" -crop "$((w * SCALE))x$((h * SCALE))+$((x * SCALE))+$((y * SCALE))" +repage "$W/$1.png"
    echo "$W/$1.png"
}

# The score table slides in over 80 frame steps: at sixty steps a second it takes 1.33 s
# whatever the output's refresh (at one step per refresh of a 144 Hz output it would take
# 0.56 s): still part-way 0.9 s after it began, arrived within 3 s. The FPS line reads 60.
# (On Wayland the program paces itself by its timed wait, not the compositor's refresh.)
check_slide() {
    local refresh
    refresh=$(swaymsg -t get_outputs -r 2>/dev/null | jq -r '.[0].current_mode.refresh')
    log "output refresh: $refresh mHz"
    printf '0\r\n1\r\n0\r\n32\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n' >"$W/data/all_qrx/opt.qrx"  # the FPS line shown
    start_game
    wait_main 800 600 10 || { fail "no main window"; return; }
    expect_picture menu 10 p_menu 1 || return
    sleep 2  # a whole second counted by the FPS line
    local shot fps
    shot=$(main_shot fps) || return
    # White text over blue and cyan: the red channel keeps the text alone.
    fps=$(convert "$shot" -crop "$((110 * SCALE))x$((22 * SCALE))+0+0" +repage -channel R -separate +channel \
        -resize 400% -threshold 50% -negate -bordercolor white -border 20 png:- |
        tesseract stdin stdout --psm 7 2>/dev/null | tr -d '\n')
    log "FPS line: '$fps'"
    local n
    n=$(sed -n 's/.*[^0-9]\([0-9][0-9]*\)[^0-9]*$/\1/p' <<<"$fps")
    if [ -n "$n" ] && [ "$n" -ge 57 ] && [ "$n" -le 61 ]; then log "ok   the FPS line reads $n"
    else fail "the FPS line reads '$fps', not 60"; fi
    # A new virtual keyboard gives the window the focus first: the key comes 0.3 s later.
    type_key -s 300 -k Down
    expect_picture menu-2 5 p_menu 2 || return
    # Shots of the window as fast as they come (below the FPS line), each with its moment;
    # the slide is timed from them, however late the key reaches the program.
    local x y w h i=0 end
    read -r x y w h <<<"$MAIN"
    wtype -s 300 -k Return &
    local typing=$!
    end=$(awk -v t="$(now)" 'BEGIN { printf "%.3f", t + 6 }')
    while cmp_lt "$(now)" "$end"; do
        i=$((i + 1))
        now >"$W/slide-$i.t"
        grim -g "$x,$((y + 30)) ${w}x$((h - 30))" -t ppm "$W/slide-$i.ppm" 2>/dev/null || { fail "grim failed"; return; }
    done
    wait "$typing"
    # Each shot: unmoved (the menu as before Enter), arrived (as the last shot), or part-way.
    # Nothing else on the window moves, so equal pictures are equal files.
    local n=$i first_move="" last_still="" first_there="" last_moving="" t sum before after
    before=$(md5sum <"$W/slide-1.ppm"); after=$(md5sum <"$W/slide-$n.ppm")
    for i in $(seq 1 "$n"); do
        t=$(cat "$W/slide-$i.t"); sum=$(md5sum <"$W/slide-$i.ppm")
        if [ "$sum" = "$before" ]; then last_still=$t
        elif [ "$sum" = "$after" ]; then [ -n "$first_there" ] || first_there=$t
        else [ -n "$first_move" ] || first_move=$t; last_moving=$t; fi
    done
    convert "$W/slide-$((n / 2)).ppm" "$E2E_SHOTS/slide-middle.png"
    convert "$W/slide-$n.ppm" "$E2E_SHOTS/slide-end.png"
    log "$n shots: unmoved until $last_still, part-way from $first_move to $last_moving, arrived at $first_there"
    if [ -z "$first_move" ] || [ -z "$first_there" ] || [ -z "$last_still" ]; then
        fail "no slide seen (key not taken, or no shot while it moved)"; return
    fi
    local least most
    least=$(awk -v a="$first_move" -v b="$last_moving" 'BEGIN { printf "%.2f", b - a }')
    most=$(awk -v a="$last_still" -v b="$first_there" 'BEGIN { printf "%.2f", b - a }')
    log "the slide took between $least s and $most s (80 steps at 60 a second: 1.33 s)"
    cmp_gt "$least" 0.9 && log "ok   still part-way 0.9 s after it began" || fail "the slide took under 0.9 s ($least s)"
    cmp_lt "$most" 3 && log "ok   arrived within 3 s" || fail "the slide took over 3 s ($most s)"
}

case "$CHECK" in
    menu) check_menu ;;
    slide) check_slide ;;
    play) check_play ;;
    missing) check_missing ;;
    stuck) check_stuck ;;
    *) fail "unknown check '$CHECK'" ;;
esac
