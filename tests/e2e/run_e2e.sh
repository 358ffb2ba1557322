#!/usr/bin/env bash
# End-to-end checks of the real program under a private X server: real key events, screenshots,
# and what a player would see, judged by regions and colours.
#
#   run_e2e.sh GAME DATA_DIR SHOT_DIR CHECK
#
# CHECK: menu | play | tamper | missing | garbage | installed | slide | english (bare X server,
# 1024 × 768) | missing-wm | fullscreen (openbox, 1920 × 1080) | scale (openbox, 2560 × 1440) |
# setup (the set-up window; its program is named by SB_E2E_SETUP).
# GAME is the starbreaker program, DATA_DIR the
# generated data folder (copied, never touched), SHOT_DIR receives the screenshots of the run.
# Exit 0 = passed, 77 = skipped (a tool is missing), anything else = failed.
set -u
HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=lib.sh
source "$HERE/lib.sh"

[ $# -eq 4 ] || { echo "usage: $0 GAME DATA_DIR SHOT_DIR CHECK" >&2; exit 2; }
GAME=$(readlink -f "$1"); DATA=$(readlink -f "$2"); SHOTS=$3; CHECK=$4
[ -x "$GAME" ] || { echo "no program at '$1'" >&2; exit 2; }

# Sanitizer builds are several times slower: every wait scales with this.
SLOW=${SB_E2E_SLOW:-1}
secs() { echo $(( $1 * SLOW )); }
E2E_SERVER_LIMIT=$(secs 300)
# Sanitizer builds: reports go to stderr, where the checks look for them.
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$HERE/lsan.supp:print_suppressions=0}

e2e_require_tools
e2e_setup "$DATA" "$SHOTS"

# ---------------------------------------------------------------------------------------------
# What the screens look like (800 × 600 window coordinates).

# Main menu: entry n's button in the right half; the lit one is bright, the others dark blue.
menu_entry_luma()  { luma "$1" 300 40 450 $((143 + 64 * ($2 - 1))); }
# The big title on the left half of the main menu.
title_luma()       { luma "$1" 340 50 30 85; }
# The ship at its start place: left edge, middle height.
ship_left_frac()   { bright_frac "$1" 130 70 0 275 50; }
# Centre of the ship's solid body in its row: 5 × 5 erosion leaves the ship, not stars or shots,
# and of what is left the largest body is the ship (enemies flying along the same row are
# smaller and must not pull the centre towards them).
ship_x() {
    convert "$1" -crop 800x70+0+275 +repage -colorspace Gray -threshold 50% \
        -morphology Erode Square:2 -define connected-components:verbose=true \
        -connected-components 8 null: | awk '
        /gray\(255\)|white/ { split($3, c, ","); if ($4 > best) { best = $4; x = c[1] } }
        END { if (best > 50) printf "%.0f\n", x; else print -1 }'
}
# Area of the largest solid body (as ship_x sees them) whose centre lies in the start place at
# the left edge: the ship there is about 570, an enemy passing through about 250.
start_body() {
    convert "$1" -crop 130x70+0+275 +repage -colorspace Gray -threshold 50% \
        -morphology Erode Square:2 -define connected-components:verbose=true \
        -connected-components 8 null: | awk '
        /gray\(255\)|white/ { if ($4 > best) best = $4 }
        END { print best + 0 }'
}
# Main-gun shots right of a ship at its start place: horizontal bright runs at gun height.
shot_runs() {
    convert "$1" -crop 680x20+120+276 +repage -colorspace Gray -threshold 40% \
        -morphology Erode Rectangle:7x1 -format '%[fx:mean*w*h]' info:
}


# wait_screen NAME SECONDS PREDICATE ARGS...: screenshots until PREDICATE holds for one of them.
# Sets LAST_SHOT. Fails (returns 1) when time runs out or the game ends.
wait_screen() {
    local name=$1 limit=$2; shift 2
    local end=$(( $(date +%s) + limit ))
    while :; do
        LAST_SHOT=$(shot "$name") || return 1
        if "$@" "$LAST_SHOT"; then return 0; fi
        game_running || { log "the game ended while waiting for '$name'"; return 1; }
        [ "$(date +%s)" -lt "$end" ] || return 1
        rm -f "$LAST_SHOT"
        sleep 0.2
    done
}
# Predicates take the screenshot last.
p_menu()    { menu_shows "$2" "$1"; }
p_pause()   { pause_shows "$2" "$1"; }
p_playing() { playing_shows "$1"; }

# expect_screen NAME SECONDS PREDICATE ARGS...: wait_screen, and a failure in the log if it never shows.
expect_screen() {
    if wait_screen "$@"; then log "ok   screen '$1' ($LAST_SHOT)"
    else fail "screen '$1' did not show within $2 s (last: $LAST_SHOT)"; x_diagnostics; return 1; fi
}

# The program must end by itself, with no crash and no sanitizer report. Message boxes that
# block the program are answered with Return, as a player would.
BOXES=0
# The program's message boxes: windows titled like the program, without its window class (a
# window manager puts them inside its frames, so the whole tree is searched).
message_boxes() {
    local w
    for w in $(xwininfo -root -tree 2>/dev/null | awk '/"Starbreaker": \(\)/ {print $1}'); do
        xwininfo -id "$w" 2>/dev/null | grep -q IsViewable && echo "$w"
    done
}
dismiss_boxes() {
    local w x y bw bh
    for w in $(message_boxes); do
        # Every box lies inside the screen, readable, before it is answered.
        read -r x y bw bh <<<"$(window_geometry "$w")"
        if [ -n "$bh" ] && [ "$x" -ge 0 ] && [ "$y" -ge 0 ] && [ $((x + bw)) -le "$E2E_SCREEN_W" ] \
            && [ $((y + bh)) -le "$E2E_SCREEN_H" ] && [ "$bw" -ge 100 ] && [ "$bh" -ge 40 ]; then
            log "ok   message box $w at ($x, $y) ${bw}x${bh}, inside the screen"
        else
            fail "message box $w at ($x, $y) ${bw}x${bh} is not inside the ${E2E_SCREEN_W}x${E2E_SCREEN_H} screen"
            screen_shot box-outside >/dev/null
        fi
        # Enter answers it; the focus is given as a player's click would.
        focus "$w"; key Return; BOXES=$((BOXES + 1))
        log "answered a message box ($w)"
    done
}
expect_game_ends() {
    local limit=$1 what=$2 end=$(( $(date +%s) + $1 ))
    while game_running && [ "$(date +%s)" -lt "$end" ]; do
        dismiss_boxes
        sleep 0.2
    done
    if ! e2e_wait_game_end 1; then
        fail "$what: the program is still running after $limit s"; return 1
    fi
    log "the program ended with exit code $E2E_GAME_RC"
    if [ "$E2E_GAME_RC" -ge 124 ]; then
        fail "$what: the program was killed or died by a signal (exit code $E2E_GAME_RC)"
    fi
    if grep -qE 'AddressSanitizer|LeakSanitizer|UndefinedBehaviorSanitizer|runtime error:' "$E2E_TMP/game.err"; then
        fail "$what: sanitizer report on stderr"
    fi
}
expect_stderr() {
    if grep -qF -- "$1" "$E2E_TMP/game.err"; then log "ok   stderr has: $1"
    else fail "stderr lacks: $1"; fi
}

# The loading screen: a 637 × 477 window centred on the screen, its picture with a red progress
# bar near the bottom (16, 448, 609 × 17 inside the window).
LOAD_W=637; LOAD_H=477
LOAD_X=$(( (E2E_SCREEN_W - LOAD_W) / 2 )); LOAD_Y=$(( (E2E_SCREEN_H - LOAD_H) / 2 ))

# While the loading screen is mapped, copy the screen as often as possible (it may last only a
# few frames), then judge the copies: the picture shows, and the bar fills with red.
watch_loading() {
    local dir="$E2E_TMP/loading" n=0 seen=0 f best="" bestl=0 l bar r g b firstred="" lastred=""
    local end=$(( $(date +%s) + $(secs 15) ))
    mkdir -p "$dir"
    while [ "$(date +%s)" -lt "$end" ]; do
        if xdotool search --onlyvisible --name '^Loading' >/dev/null 2>&1; then
            seen=1
            cp "$E2E_FB" "$dir/$(printf '%03d' $((n % 40))).xwd"; n=$((n + 1))
        elif [ "$seen" = 1 ]; then
            break
        fi
        game_running || break
        sleep 0.02
    done
    if [ "$n" = 0 ]; then log "loading screen not caught (it was quick)"; return 0; fi
    # Oldest copy first (the copies are a ring of 40).
    # shellcheck disable=SC2012,SC2045
    for f in $(ls -1tr "$dir"/*.xwd); do
        read -r l r g b <<<"$(convert "xwd:$f" -write mpr:s +delete \
            '(' mpr:s -crop "${LOAD_W}x${LOAD_H}+${LOAD_X}+${LOAD_Y}" +repage -colorspace Gray -format '%[fx:mean] ' -write info: ')' \
            '(' mpr:s -crop "609x17+$((LOAD_X + 16))+$((LOAD_Y + 448))" +repage -format '%[fx:mean.r] %[fx:mean.g] %[fx:mean.b]' -write info: ')' \
            null:)"
        # The red share of the bar: mean red above the other channels.
        bar=$(awk -v r="$r" -v g="$g" -v b="$b" 'BEGIN { printf "%.3f", r - (g > b ? g : b) }')
        [ -z "$firstred" ] && firstred=$bar
        lastred=$bar
        if cmp_gt "$l" "$bestl"; then bestl=$l; best=$f; fi
    done
    log "loading screen caught in $n copies; brightest $bestl; red of the bar $firstred .. $lastred"
    if [ -n "$best" ]; then
        convert "xwd:$best" -crop "${LOAD_W}x${LOAD_H}+${LOAD_X}+${LOAD_Y}" +repage "$E2E_SHOTS/01-loading.png"
    fi
    # A loading screen that lasted only a copy or two may have been caught between being
    # mapped and its first paint: too quick to judge, like one not caught at all.
    if [ "$n" -le 2 ] && ! cmp_gt "$bestl" 0.05; then
        log "loading screen caught only before its first paint ($n copies)"
        rm -rf "$dir"; return 0
    fi
    expect_gt "loading picture brightness" "$bestl" 0.05
    if cmp_gt "$lastred" 0.02; then
        log "ok   the progress bar shows red ($lastred)"
        cmp_lt "$lastred" "$firstred" && fail "the progress bar went back ($firstred -> $lastred)"
    else
        log "the progress bar was not caught with red in it (loading too quick)"
    fi
    rm -rf "$dir"
}

# Starts the game and waits for the main menu (entry 1 lit); sets MAIN_WIN.
start_to_menu() {
    e2e_start_game "$GAME" "$1"
    watch_loading
    MAIN_WIN=$(wait_window 800 600 "$WIN_X" "$WIN_Y" "$(secs 20)") \
        || { x_diagnostics; die "no 800 × 600 window at ($WIN_X, $WIN_Y)"; }
    log "main window $MAIN_WIN at ($WIN_X, $WIN_Y)"
    expect_screen menu-1 "$(secs 10)" p_menu 1 || die "the main menu never showed"
    focus "$MAIN_WIN"
}

# ---------------------------------------------------------------------------------------------
check_menu() {
    start_to_menu "$(secs 60)"
    log "title brightness $(title_luma "$LAST_SHOT"), lit entry $(menu_entry_luma "$LAST_SHOT" 1)"
    key Down
    expect_screen menu-2 "$(secs 4)" p_menu 2
    key Up
    expect_screen menu-back-1 "$(secs 4)" p_menu 1
    key Up      # wraps from the first entry to the last: quit
    expect_screen menu-6 "$(secs 4)" p_menu 6
    key Return
    expect_game_ends "$(secs 5)" "quit from the main menu"
    [ "${E2E_GAME_RC:-1}" = 0 ] || fail "quit from the main menu: exit code $E2E_GAME_RC, not 0"
}

check_play() {
    start_to_menu "$(secs 90)"
    key Return
    # The panel climbs one pixel per frame from below the screen.
    expect_screen playing "$(secs 10)" p_playing || die "the game did not start"

    local f before after x0 x1 i
    f=$LAST_SHOT
    expect_gt "ship at its start place (bright share of the left edge)" "$(ship_left_frac "$f")" 0.08
    x0=$(ship_x "$f")
    expect_lt "ship centre x at the start" "$x0" 130

    # Fire: shots fly right from the gun, at the ship's height.
    before=$(shot_runs "$f")
    timeout -k 1 5 xdotool keydown space
    after=$before
    for _ in 1 2 3 4 5 6; do
        sleep 0.15
        f=$(shot firing) || break
        after=$(shot_runs "$f")
        cmp_gt "$after" "$((${before%.*} + 60))" && break
    done
    timeout -k 1 5 xdotool keyup space
    expect_gt "shot pixels right of the ship while firing (before: $before) in $f" "$after" "$((${before%.*} + 60))"

    # Fly right.
    hold Right 0.8
    f=$(shot moved-right)
    x1=$(ship_x "$f")
    expect_gt "ship centre x after holding Right ($f; before: $x0)" "$x1" "$((x0 + 100))"
    expect_lt "largest body left in the start place after moving" "$(start_body "$f")" 400

    # Pause menu, back to the main menu (entry 2 stays selected there), a new game, quit from pause.
    key Escape
    expect_screen pause-1 "$(secs 4)" p_pause 1 || die "no pause menu"
    key Down
    expect_screen pause-2 "$(secs 4)" p_pause 2
    key Return
    expect_screen menu-after-pause "$(secs 6)" p_menu 2 || die "no return to the main menu"
    key Up
    expect_screen menu-1-again "$(secs 4)" p_menu 1
    key Return
    expect_screen playing-again "$(secs 10)" p_playing || die "the second game did not start"
    key Escape
    expect_screen pause-again "$(secs 4)" p_pause 1 || die "no pause menu in the second game"
    key Down Down
    expect_screen pause-3 "$(secs 4)" p_pause 3
    key Return
    expect_game_ends "$(secs 5)" "quit from the pause menu"
    [ "${E2E_GAME_RC:-1}" = 0 ] || fail "quit from the pause menu: exit code $E2E_GAME_RC, not 0"
}

check_tamper() {
    local res="$E2E_TMP/data/all_qrx/res.qrx"
    # One score changes, the check value (line 21) stays.
    awk 'BEGIN{RS="\n"; ORS="\n"} NR==2 { sub(/[0-9]+/, "") ; $0 = "777" $0 } {print}' "$res" > "$res.new"
    mv "$res.new" "$res"
    [ "$(sed -n 2p "$res" | tr -d '\r')" = 777 ] || die "could not tamper with the score table"
    log "score table: line 2 now '$(sed -n 2p "$res" | tr -d '\r')', line 21 '$(sed -n 21p "$res" | tr -d '\r')'"
    local sum; sum=$(cksum < "$res")
    e2e_start_game "$GAME" "$(secs 30)"
    expect_game_ends "$(secs 10)" "tampered score table"
    expect_stderr "Кто-то взломал очки.Обнулите результаты через Setup и перезапустите игру"
    # The program refuses; it does not repair or rewrite the table itself.
    [ "$(cksum < "$res")" = "$sum" ] || fail "the score table was changed by the program"
}

check_missing() {
    rm -f "$E2E_TMP/data/all_bmp/x/bug2.bmp"
    e2e_start_game "$GAME" "$(secs 30)"
    expect_game_ends "$(secs 10)" "missing picture"
    expect_stderr 'Файл не найден: data\all_bmp\x\bug2.bmp . Не могу запустиься без него.'
    local n
    n=$(grep -c 'Файл не найден' "$E2E_TMP/game.err")
    [ "$n" = 1 ] || fail "expected one missing-file message, got $n"
}

# Two missing pictures under a window manager: each message box on the screen, answered by Enter.
check_missing_wm() {
    e2e_start_wm
    rm -f "$E2E_TMP/data/all_bmp/x/bug2.bmp" "$E2E_TMP/data/all_jpg/rm3x.jpg"
    e2e_start_game "$GAME" "$(secs 30)"
    expect_game_ends "$(secs 15)" "two missing pictures"
    [ "$BOXES" -ge 2 ] || fail "expected a message box per missing picture, answered $BOXES"
    local n
    n=$(grep -c 'Файл не найден' "$E2E_TMP/game.err")
    [ "$n" = 2 ] || fail "expected two missing-file messages, got $n"
}

# luma_of FILE GEOMETRY: mean brightness of a region given as WxH+X+Y.
luma_of() { convert "$1" -crop "$2" +repage -colorspace Gray -format '%[fx:mean]' info:; }
opt_line5() { sed -n 5p "$E2E_TMP/data/all_qrx/opt.qrx" | tr -d '\r'; }

# Full screen picture at 1920 × 1080: the height filled by the 4:3 picture (1440 wide) centred
# between black bars; judged also as the 800 × 600 menu once scaled back.
FS_X=$(( (E2E_SCREEN_W - E2E_SCREEN_H * 4 / 3) / 2 )); FS_W=$(( E2E_SCREEN_H * 4 / 3 ))
full_screen_menu_shows() {
    local f=$1 small="$E2E_TMP/fs-small.png" left right pic top bottom
    read -r left right pic top bottom <<<"$(lumas "$f" "${FS_X}x${E2E_SCREEN_H}+0+0" \
        "${FS_X}x${E2E_SCREEN_H}+$((FS_X + FS_W))+0" "${FS_W}x${E2E_SCREEN_H}+${FS_X}+0" \
        "${FS_W}x4+${FS_X}+0" "${FS_W}x4+${FS_X}+$((E2E_SCREEN_H - 4))")"
    cmp_lt "$left" 0.005 && cmp_lt "$right" 0.005 || return 1
    cmp_gt "$pic" 0.08 && cmp_gt "$top" 0.01 && cmp_gt "$bottom" 0.01 || return 1
    convert "$f" -crop "${FS_W}x${E2E_SCREEN_H}+${FS_X}+0" +repage -resize '800x600!' "$small"
    menu_shows "$small" 1
}
wait_full_screen_menu() {
    local end=$(( $(date +%s) + $1 ))
    while :; do
        LAST_SHOT=$(screen_shot full-screen) || return 1
        full_screen_menu_shows "$LAST_SHOT" && return 0
        game_running && [ "$(date +%s)" -lt "$end" ] || return 1
        rm -f "$LAST_SHOT"; sleep 0.3
    done
}

# Alt+Enter and F11 switch during play without a restart, both ways; the next start remembers.
check_fullscreen() {
    e2e_start_wm
    start_to_menu "$(secs 90)"
    key alt+Return
    FULL_WIN=$(wait_window "$E2E_SCREEN_W" "$E2E_SCREEN_H" 0 0 "$(secs 5)") || { x_diagnostics; die "Alt+Enter: no full-screen window"; }
    if wait_full_screen_menu "$(secs 5)"; then log "ok   full screen: 4:3 picture between black bars ($LAST_SHOT)"
    else fail "full screen does not show the menu between black bars ($LAST_SHOT)"; fi
    [ "$(opt_line5)" = 1 ] && log "ok   options line 5 is 1" || fail "options line 5 is '$(opt_line5)' after Alt+Enter, not 1"

    key alt+Return
    wait_window 800 600 "$WIN_X" "$WIN_Y" "$(secs 5)" >/dev/null || { x_diagnostics; fail "Alt+Enter: no window back at ($WIN_X, $WIN_Y)"; }
    expect_screen menu-windowed-again "$(secs 4)" p_menu 1
    [ "$(opt_line5)" = 0 ] && log "ok   options line 5 is 0" || fail "options line 5 is '$(opt_line5)' after going back, not 0"
    # The switching keys never reach the game: Enter would have started a game from this menu.
    key F11
    wait_window "$E2E_SCREEN_W" "$E2E_SCREEN_H" 0 0 "$(secs 5)" >/dev/null || fail "F11: no full-screen window"
    wait_full_screen_menu "$(secs 5)" || fail "F11: the menu (entry 1) is not what full screen shows"
    key Up Return
    expect_game_ends "$(secs 5)" "quit in full screen"

    log "--- the next start"
    e2e_start_game "$GAME" "$(secs 60)"
    wait_window "$E2E_SCREEN_W" "$E2E_SCREEN_H" 0 0 "$(secs 20)" >/dev/null || { x_diagnostics; die "the next start is not in full screen"; }
    if wait_full_screen_menu "$(secs 10)"; then log "ok   the next start is in full screen ($LAST_SHOT)"
    else fail "the next start does not show the full-screen menu"; fi
    focus "$(wait_window "$E2E_SCREEN_W" "$E2E_SCREEN_H" 0 0 1)"
    key Up Return
    expect_game_ends "$(secs 5)" "quit from the remembered full screen"
}

# A 1440p desktop: the window is 1600 × 1200, centred, every game pixel a uniform 2 × 2 block.
check_scale() {
    e2e_start_wm
    local wx=$(( (E2E_SCREEN_W - 1600) / 2 )) wy=$(( (E2E_SCREEN_H - 1200) / 2 )) f blocks diff
    e2e_start_game "$GAME" "$(secs 60)"
    MAIN_WIN=$(wait_window 1600 1200 "$wx" "$wy" "$(secs 20)") || { x_diagnostics; die "no 1600 × 1200 window at ($wx, $wy)"; }
    log "ok   window 1600 × 1200 at ($wx, $wy)"
    sleep 2
    # Each 2 × 2 block reduced to one pixel and grown back must give the same picture. A copy of
    # the screen taken while a frame is being written can tear along a row: up to five tries.
    for _ in 1 2 3 4 5; do
        f=$(screen_shot scaled)
        convert "$f" -crop "1600x1200+${wx}+${wy}" +repage "$E2E_TMP/win.png"
        convert "$E2E_TMP/win.png" -sample 50% -sample 200% "$E2E_TMP/blocks.png"
        diff=$(compare -metric AE "$E2E_TMP/win.png" "$E2E_TMP/blocks.png" null: 2>&1)
        [ "$diff" = 0 ] && break
        log "copy $f: $diff pixels differ from their block (a frame caught half-written?)"
        sleep 0.3
    done
    [ "$diff" = 0 ] && log "ok   every game pixel is a uniform 2 × 2 block ($f)" \
        || fail "$diff screen pixels differ from their 2 × 2 block"
    convert "$E2E_TMP/win.png" -sample 50% "$E2E_TMP/small.png"
    menu_shows "$E2E_TMP/small.png" 1 && log "ok   the menu, at 2×" || fail "the 2× window does not show the menu"
    focus "$MAIN_WIN"
    key Up Return
    expect_game_ends "$(secs 5)" "quit at 2×"
}

# The score table slides in over 80 frames: ~0.3 s after Enter it is part-way, ~2.5 s after it
# has arrived (at thousands of frames a second it would be there at once).
check_slide() {
    start_to_menu "$(secs 60)"
    key Down
    expect_screen menu-2 "$(secs 4)" p_menu 2 || die "no menu entry 2"
    timeout -k 1 5 xdotool key Return
    sleep 0.3
    local early late later d_moving d_still
    early=$(shot slide-0.3s)
    sleep 2.2
    late=$(shot slide-2.5s)
    sleep 0.5
    later=$(shot slide-3s)
    d_moving=$(compare -metric RMSE "$early" "$late" null: 2>&1 | sed 's/.*(\(.*\))/\1/')
    d_still=$(compare -metric RMSE "$late" "$later" null: 2>&1 | sed 's/.*(\(.*\))/\1/')
    expect_gt "change between 0.3 s and 2.5 s (panel part-way, then arrived)" "$d_moving" 0.08
    expect_lt "change between 2.5 s and 3 s (arrived)" "$d_still" 0.05
    key Escape
}

# Garbage pictures: random bytes; random bytes behind a BMP signature; a BMP cut short after its
# header; random bytes behind a JPEG start marker in a menu picture.
garbage_bytes() {
    LC_ALL=C awk -v s="$1" -v n="$2" 'BEGIN { srand(s); for (i = 0; i < n; i++) printf "%c", int(rand() * 256) }'
}
check_garbage() {
    local variant file orig="$DATA/all_bmp/star.bmp"
    for variant in random signed truncated jpeg; do
        log "--- $variant garbage"
        cp "$orig" "$E2E_TMP/data/all_bmp/star.bmp"
        case $variant in
            random)    file=all_bmp/star.bmp; garbage_bytes 7 4000 > "$E2E_TMP/data/$file" ;;
            signed)    file=all_bmp/star.bmp; { printf 'BM'; garbage_bytes 9 4000; } > "$E2E_TMP/data/$file" ;;
            truncated) file=all_bmp/star.bmp; head -c 60 "$orig" > "$E2E_TMP/data/$file" ;;
            jpeg)      file=all_jpg/rm3x.jpg
                       cp "$DATA/$file" "$E2E_TMP/$variant.keep"
                       { printf '\xff\xd8\xff\xe0'; garbage_bytes 11 6000; } > "$E2E_TMP/data/$file" ;;
        esac
        e2e_start_game "$GAME" "$(secs 30)"
        expect_game_ends "$(secs 10)" "$variant garbage in $file"
        local base=${file##*/}
        if grep -q "$base" "$E2E_TMP/game.err"; then
            log "ok   error names the file: $(grep "$base" "$E2E_TMP/game.err" | head -1)"
        else
            fail "$variant garbage: no error naming $base on stderr"
        fi
        cp "$E2E_TMP/game.err" "$SHOTS/stderr-$variant.txt"
        [ -f "$E2E_TMP/$variant.keep" ] && cp "$E2E_TMP/$variant.keep" "$E2E_TMP/data/$file"
    done
}

# The FPS line's place at the top left of the window: the share of bright pixels there.
fps_frac() { bright_frac "$1" 60 14 0 1 60; }

# The set-up window, driven with keys as a player would: it changes an option, a volume and a
# key binding; the files hold them and the game's next start shows them.
check_setup() {
    local setup=${SB_E2E_SETUP:-} opt="$E2E_TMP/data/all_qrx/opt.qrx" ini="$E2E_TMP/data/all_qrx/settings.ini"
    [ -x "$setup" ] || die "no set-up program (SB_E2E_SETUP='$setup')"
    printf '1\r\n0\r\n0\r\n32\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n' > "$opt"  # the FPS line hidden

    # The game as it was: no FPS line.
    start_to_menu "$(secs 60)"
    local before after
    before=$(fps_frac "$LAST_SHOT")
    key Up Return   # the last entry: quit
    expect_game_ends "$(secs 5)" "quit before the set-up"

    ( cd "$E2E_TMP" && exec timeout -k 3 "$(secs 60)" "$setup" >"$E2E_TMP/setup.out" 2>"$E2E_TMP/setup.err" ) &
    E2E_GAME_PID=$!
    local win="" _
    for _ in $(seq 1 $(( $(secs 10) * 10 ))); do
        win=$(xdotool search --onlyvisible --class '^starbreaker-setup$' 2>/dev/null | head -1)
        [ -n "$win" ] && break
        game_running || break
        sleep 0.1
    done
    [ -n "$win" ] || { cat "$E2E_TMP/setup.err"; x_diagnostics; die "no set-up window"; }
    log "set-up window $win: $(xwininfo -id "$win" | awk '/Width|Height/ {printf "%s ", $2}')"
    focus "$win"
    sleep 0.3
    import -window "$win" "$E2E_SHOTS/01-setup.png" 2>/dev/null
    # Row 8 is the FPS line, row 11 the music volume, row 19 the main gun's keys.
    key Down Down Down Down Down Down Down Right
    key Down Down Down Left
    key Down Down Down Down Down Down Down Down Return q Return
    import -window "$win" "$E2E_SHOTS/02-setup-changed.png" 2>/dev/null
    key Escape
    if ! e2e_wait_game_end "$(secs 5)"; then fail "the set-up window did not close on Escape"; return 1; fi
    [ "$E2E_GAME_RC" = 0 ] || fail "the set-up tool ended with exit code $E2E_GAME_RC"
    cp "$E2E_TMP/setup.err" "$E2E_SHOTS/setup-stderr.txt"

    if [ "$(head -n1 "$opt" | tr -d '\r')" = 0 ]; then log "ok   opt.qrx: the FPS line is shown"
    else fail "opt.qrx line 1 is '$(head -n1 "$opt" | tr -d '\r')', not 0"; fi
    for line in 'music_volume = 95' 'keys_fire = Q'; do
        if grep -qx "$line" "$ini" 2>/dev/null; then log "ok   settings.ini: $line"
        else fail "settings.ini lacks '$line'"; fi
    done

    # The next start: the FPS line shows, and Q fires.
    start_to_menu "$(secs 60)"
    after=$(fps_frac "$LAST_SHOT")
    expect_gt "FPS line's bright share at the top left (before the set-up: $before)" "$after" "$(awk -v b="$before" 'BEGIN { print b + 0.08 }')"
    key Return
    expect_screen playing "$(secs 10)" p_playing || die "the game did not start"
    local f=$LAST_SHOT
    before=$(shot_runs "$f")
    timeout -k 1 5 xdotool keydown q
    after=$before
    for _ in 1 2 3 4 5 6; do
        sleep 0.15
        f=$(shot firing-with-q) || break
        after=$(shot_runs "$f")
        cmp_gt "$after" "$((${before%.*} + 60))" && break
    done
    timeout -k 1 5 xdotool keyup q
    expect_gt "shot pixels while Q is held (before: $before) in $f" "$after" "$((${before%.*} + 60))"
    key Escape
    expect_screen pause "$(secs 4)" p_pause 1 || die "no pause menu"
    key Down Down Return
    expect_game_ends "$(secs 5)" "quit after the set-up"
}

# ocr_words FILE WxH+X+Y: the words of a region of a screenshot as OCR reads them in English
# (grey, enlarged 200 %, black on white, sparse text), stray marks left out, on one line.
ocr_words() {
    convert "$1" -crop "$2" +repage -colorspace Gray -resize 200% -threshold 50% -negate "$E2E_TMP/ocr.png" \
        && tesseract "$E2E_TMP/ocr.png" - -l eng --psm 11 2>/dev/null | sed 's/[^[:alnum:] ]/ /g' | tr '\n' ' ' | tr -s ' '
}
# expect_words WHAT TEXT WORDS...: each of WORDS is in TEXT (letter case ignored).
expect_words() {
    local what=$1 text=$2 w; shift 2
    for w in "$@"; do
        if grep -qiF -- "$w" <<<"$text"; then log "ok   $what: '$w' read"
        else fail "$what: '$w' not read in: $text"; fi
    done
}

# The game with language = en in its settings: the main menu, the rules and the pause menu
# read in English.
check_english() {
    command -v tesseract >/dev/null 2>&1 && tesseract --list-langs 2>/dev/null | grep -qx eng \
        || { log "SKIP: tesseract with English is not installed"; exit "$SKIP"; }
    printf 'language = en\n' > "$E2E_TMP/data/all_qrx/settings.ini"
    start_to_menu "$(secs 60)"
    local menu=400x600+400+0 text
    text=$(ocr_words "$LAST_SHOT" "$menu")
    key Down
    expect_screen menu-2 "$(secs 4)" p_menu 2
    # The lit entry may be missed on its gradient: the first is read unlit here.
    text="$text $(ocr_words "$LAST_SHOT" "$menu")"
    expect_words "main menu" "$text" "MAIN MENU" "New game" "High scores" "Controls" "About" "How to play" "Quit"
    key Down Down Down
    expect_screen menu-5 "$(secs 4)" p_menu 5
    key Return
    # The rules slide in from the right in 80 frames.
    sleep "$(secs 3)"
    LAST_SHOT=$(shot rules) || die "no screenshot of the rules"
    expect_words "rules" "$(ocr_words "$LAST_SHOT" "$menu")" "HOW TO PLAY" "Enemies and their points" "Weapons"
    key Return
    expect_screen menu-after-rules "$(secs 6)" p_menu 5 || die "no return from the rules"
    key Up Up Up Up Return
    expect_screen playing "$(secs 10)" p_playing || die "the game did not start"
    key Escape
    expect_screen pause-1 "$(secs 4)" p_pause 1 || die "no pause menu"
    expect_words "pause menu" "$(ocr_words "$LAST_SHOT" "$menu")" "PAUSED" "Main menu" "Quit"
    key Down Down Return
    expect_game_ends "$(secs 5)" "quit from the English pause menu"
    [ "${E2E_GAME_RC:-1}" = 0 ] || fail "quit from the English pause menu: exit code $E2E_GAME_RC, not 0"
}

# An installed copy (GAME and DATA_DIR inside an install prefix): started from a folder without
# data, with a home of its own, it shows the menu, keeps its tables in the home's XDG data
# folder, reports a tampered table there, and never writes to the installed data.
check_installed() {
    rm -rf "$E2E_TMP/data"
    export HOME="$E2E_TMP/home"
    unset XDG_DATA_HOME
    mkdir -p "$HOME"
    local user="$HOME/.local/share/starbreaker" f installed_sum
    installed_sum=$(cd "$DATA" && find . -type f -exec md5sum {} + | sort | md5sum)

    # The loading screen is the menu check's business; here only the menu counts.
    e2e_start_game "$GAME" "$(secs 60)"
    MAIN_WIN=$(wait_window 800 600 "$WIN_X" "$WIN_Y" "$(secs 20)") \
        || { x_diagnostics; die "no 800 × 600 window at ($WIN_X, $WIN_Y)"; }
    expect_screen menu-1 "$(secs 10)" p_menu 1 || die "the main menu never showed"
    focus "$MAIN_WIN"
    for f in res.qrx opt.qrx; do
        if cmp -s "$user/$f" "$DATA/all_qrx/$f"; then log "ok   $user/$f is the installed default"
        else fail "$user/$f is missing or differs from the installed default"; fi
    done
    [ -f "$user/settings.ini" ] && log "ok   settings file created in $user" || fail "no $user/settings.ini"
    key Up      # wraps to the last entry: quit
    expect_screen menu-6 "$(secs 4)" p_menu 6
    key Return
    expect_game_ends "$(secs 5)" "quit from the installed program's menu"
    [ "${E2E_GAME_RC:-1}" = 0 ] || fail "installed program: exit code $E2E_GAME_RC, not 0"

    # The player's copy is the table in use: tampered there, it is refused, and left as it is.
    local res="$user/res.qrx" sum
    awk 'NR==2 { sub(/[0-9]+/, ""); $0 = "777" $0 } {print}' "$res" > "$res.new" && mv "$res.new" "$res"
    sum=$(cksum < "$res")
    e2e_start_game "$GAME" "$(secs 30)"
    expect_game_ends "$(secs 20)" "tampered score table in $user"
    expect_stderr "Кто-то взломал очки.Обнулите результаты через Setup и перезапустите игру"
    [ "$(cksum < "$res")" = "$sum" ] || fail "the player's score table was changed by the program"

    [ "$(cd "$DATA" && find . -type f -exec md5sum {} + | sort | md5sum)" = "$installed_sum" ] \
        && log "ok   the installed data is unchanged" || fail "the installed data was written to"
    [ ! -e "$E2E_TMP/data" ] || fail "a data folder appeared in the working directory"
}

case "$CHECK" in
    menu|play|tamper|missing|garbage|installed|slide|setup|english) "check_$CHECK" ;;
    missing-wm) check_missing_wm ;;
    fullscreen) check_fullscreen ;;
    scale) check_scale ;;
    *) die "unknown check '$CHECK'" ;;
esac
[ -f "$E2E_TMP/game.err" ] && cp "$E2E_TMP/game.err" "$SHOTS/stderr.txt"
if [ "$E2E_FAILED" = 0 ]; then log "PASS $CHECK"; exit 0; fi
log "FAIL $CHECK (screenshots in $SHOTS)"
exit 1
