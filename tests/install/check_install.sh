#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a player gets.
#
#   check_install.sh BUILD_DIR SHOT_DIR VERSION
#
# Exit 0 = passed, 77 = skipped (a tool is missing), anything else = failed.
set -u
HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
[ $# -eq 3 ] || { echo "usage: $0 BUILD_DIR SHOT_DIR VERSION" >&2; exit 2; }
BUILD=$1; SHOTS=$2; VERSION=$3
APP=org.starbreaker.Starbreaker
FAILED=0
log()  { printf '[install] %s\n' "$*"; }
fail() { log "FAIL: $*"; FAILED=1; }
ok()   { log "ok   $*"; }

for t in desktop-file-validate appstreamcli identify; do
    command -v "$t" >/dev/null 2>&1 || { log "SKIP: '$t' is not installed"; exit 77; }
done
TMP=$(mktemp -d "${TMPDIR:-/tmp}/sb-install.XXXXXX") || exit 1
trap 'rm -rf "$TMP"' EXIT
P=$TMP/prefix

cmake --install "$BUILD" --prefix "$P" >"$TMP/install.log" 2>&1 || { cat "$TMP/install.log"; fail "cmake --install failed"; exit 1; }
ok "installed into $P"

for f in bin/starbreaker bin/starbreaker-setup share/applications/$APP.desktop share/metainfo/$APP.metainfo.xml \
         share/man/man6/starbreaker.6.gz share/man/man6/starbreaker-setup.6.gz \
         share/starbreaker/data/all_mp3/music.mp3 share/starbreaker/data/all_jpg/intro.jpg \
         share/starbreaker/data/all_qrx/res.qrx share/starbreaker/data/all_qrx/opt.qrx; do
    [ -s "$P/$f" ] || fail "$f is not installed"
done
# Only the fresh default tables are installed: never a played table or a player's settings.
[ "$(ls "$P/share/starbreaker/data/all_qrx")" = "$(printf 'opt.qrx\nres.qrx')" ] \
    || fail "all_qrx holds more than the two default tables: $(ls "$P/share/starbreaker/data/all_qrx" | tr '\n' ' ')"
for s in 16 24 32 48 64 128 256 512; do
    f=$P/share/icons/hicolor/${s}x${s}/apps/$APP.png
    [ "$(identify -format '%m %wx%h' "$f" 2>/dev/null)" = "PNG ${s}x${s}" ] || fail "icon $f is not a ${s}x${s} PNG"
done

# The validators: no errors, no warnings.
out=$(desktop-file-validate "$P/share/applications/$APP.desktop" 2>&1); rc=$?
if [ $rc -eq 0 ] && [ -z "$out" ]; then ok "desktop-file-validate"; else fail "desktop-file-validate ($rc): $out"; fi
out=$(appstreamcli validate --no-net "$P/share/metainfo/$APP.metainfo.xml" 2>&1); rc=$?
if [ $rc -eq 0 ] && ! grep -qE '^[EW]:' <<<"$out"; then ok "appstreamcli validate: $(tail -n1 <<<"$out")"
else fail "appstreamcli validate ($rc): $out"; fi
grep -q "<release version=\"$VERSION\"" "$P/share/metainfo/$APP.metainfo.xml" || fail "the metainfo's release is not $VERSION"
man -l "$P/share/man/man6/starbreaker.6.gz" 2>/dev/null | grep -q -- '--fullscreen' || fail "the manual page does not read"

# The command line, from a folder without data.
mkdir -p "$TMP/elsewhere" && cd "$TMP/elsewhere" || exit 1
out=$("$P/bin/starbreaker" --version)
[ "$(head -n1 <<<"$out")" = "starbreaker $VERSION" ] && grep -q 'GPL-3.0-or-later' <<<"$out" \
    && ok "--version: $(head -n1 <<<"$out"), GPL-3.0-or-later" || fail "--version says '$out'"
"$P/bin/starbreaker" --help | grep -q -- '--data DIR' || fail "--help lacks --data"
"$P/bin/starbreaker" --no-such-thing >"$TMP/out" 2>"$TMP/err"; rc=$?
[ $rc -eq 2 ] && grep -q 'Usage:' "$TMP/err" && [ ! -s "$TMP/out" ] && ok "an unknown argument: usage on stderr, exit 2" \
    || fail "an unknown argument: exit $rc, stderr: $(head -2 "$TMP/err")"
env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER HOME="$TMP/nohome" timeout 10 "$P/bin/starbreaker" >"$TMP/out" 2>"$TMP/err"; rc=$?
if [ $rc -eq 1 ] && [ "$(wc -l <"$TMP/err")" = 1 ] && grep -q 'no display' "$TMP/err"; then ok "no display: $(cat "$TMP/err")"
else fail "no display: exit $rc, stderr: $(head -3 "$TMP/err")"; fi
[ ! -e "$TMP/nohome" ] || fail "without a display the program still made files in the home folder"

# The set-up tool of the installed game finds the player's folder through XDG_DATA_HOME.
out=$(HOME="$TMP/home2" XDG_DATA_HOME="$TMP/xdg" "$P/bin/starbreaker-setup" --set 1=0 --show 2>&1); rc=$?
if [ $rc -eq 0 ] && grep -q "Options in $TMP/xdg/starbreaker/opt.qrx" <<<"$out" && cmp -s "$TMP/xdg/starbreaker/res.qrx" \
    "$P/share/starbreaker/data/all_qrx/res.qrx" && [ "$(head -c1 "$TMP/xdg/starbreaker/opt.qrx")" = 0 ]; then
    ok "set-up tool: seeded and changed $TMP/xdg/starbreaker"
else
    fail "set-up tool under XDG_DATA_HOME ($rc): $out"
fi
cmp -s "$P/share/starbreaker/data/all_qrx/opt.qrx" "$BUILD/defaults/all_qrx/opt.qrx" || fail "the installed options were changed"

# The installed program under Xvfb: menu, the player's tables, a tampered table refused.
bash "$HERE/../e2e/run_e2e.sh" "$P/bin/starbreaker" "$P/share/starbreaker/data" "$SHOTS" installed; rc=$?
[ $rc -eq 77 ] && exit 77
[ $rc -eq 0 ] || fail "the installed program's end-to-end check"

[ $FAILED -eq 0 ] && { log "PASS"; exit 0; }
log "FAIL"; exit 1
