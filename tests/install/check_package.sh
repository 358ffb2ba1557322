#!/usr/bin/env bash
# Builds the Debian package from the build folder and checks it: contents, dependencies found
# by shlibdeps, lintian without errors, and the unpacked program finding its data.
#
#   check_package.sh BUILD_DIR VERSION
#
# Exit 0 = passed, 77 = skipped (a tool is missing), anything else = failed.
set -u
[ $# -eq 2 ] || { echo "usage: $0 BUILD_DIR VERSION" >&2; exit 2; }
BUILD=$1; VERSION=$2
FAILED=0
log()  { printf '[package] %s\n' "$*"; }
fail() { log "FAIL: $*"; FAILED=1; }
ok()   { log "ok   $*"; }

for t in cpack dpkg-deb dpkg-shlibdeps lintian; do
    command -v "$t" >/dev/null 2>&1 || { log "SKIP: '$t' is not installed"; exit 77; }
done
TMP=$(mktemp -d "${TMPDIR:-/tmp}/sb-package.XXXXXX") || exit 1
trap 'rm -rf "$TMP"' EXIT

cpack --config "$BUILD/CPackConfig.cmake" -B "$TMP/out" >"$TMP/cpack.log" 2>&1 || { cat "$TMP/cpack.log"; fail "cpack failed"; exit 1; }
deb=$TMP/out/starbreaker_${VERSION}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || { ls -R "$TMP/out" | head; fail "no $deb"; exit 1; }
ok "built $(basename "$deb") ($(stat -c %s "$deb") bytes)"

dpkg-deb -c "$deb" | awk '{print $6}' >"$TMP/contents"
for f in ./usr/bin/starbreaker ./usr/bin/starbreaker-setup ./usr/share/starbreaker/data/all_mp3/music.mp3 \
         ./usr/share/starbreaker/data/all_qrx/res.qrx ./usr/share/applications/org.starbreaker.Starbreaker.desktop \
         ./usr/share/metainfo/org.starbreaker.Starbreaker.metainfo.xml ./usr/share/doc/starbreaker/copyright; do
    grep -qxF -- "$f" "$TMP/contents" || fail "the package lacks $f"
done
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libsdl2-2.0-0 libsdl2-mixer-2.0-0 libsdl2-ttf-2.0-0 libjpeg62-turbo libc6; do
    grep -q "$lib" <<<"$depends" || fail "Depends lacks $lib (shlibdeps): $depends"
done
ok "Depends: $depends"

args=()
[ "$(id -u)" = 0 ] && args+=(--allow-root)
lintian "${args[@]}" "$deb" >"$TMP/lintian.log" 2>&1
sed 's/^/    /' "$TMP/lintian.log"
if grep -q '^E:' "$TMP/lintian.log"; then fail "lintian reports errors"; else ok "lintian: no errors"; fi
# /usr/bin keeps links to the programs in /usr/games (see dist/DebianLayout.cmake).
if grep '^W:' "$TMP/lintian.log" | grep -qv 'package-section-games-but-has-usr-bin'; then fail "lintian warns"
else ok "lintian: no warnings but package-section-games-but-has-usr-bin"; fi
if grep -q 'hardening-' "$TMP/lintian.log"; then fail "lintian reports hardening tags"; else ok "lintian: no hardening tags"; fi

# Unpacked anywhere, the program finds the package's data beside itself (through the link in
# usr/bin) and keeps the player's files in the home folder.
dpkg-deb -x "$deb" "$TMP/root" || fail "dpkg-deb -x failed"
# Control-flow protection is compiled in (-fcf-protection), but the linker marks a program only
# when every object in it is marked, and Debian 12's C library start files are not: no program
# linked on Debian 12 passes that line (/usr/bin/ls does not); it is asked for where they are.
if command -v hardening-check >/dev/null 2>&1; then
    cf=--nocfprotection
    readelf -n "$(gcc -print-file-name=Scrt1.o)" 2>/dev/null | grep -q 'x86 feature: IBT' && cf=
    for p in starbreaker starbreaker-setup; do
        hardening-check $cf "$TMP/root/usr/games/$p" >"$TMP/hardening.log" 2>&1 && ok "hardening-check $cf $p" \
            || { sed 's/^/    /' "$TMP/hardening.log"; fail "hardening-check $p"; }
    done
else
    log "hardening-check (devscripts) is not installed: not checked"
fi
mkdir -p "$TMP/elsewhere" && cd "$TMP/elsewhere" || exit 1
out=$("$TMP/root/usr/bin/starbreaker" --version | head -n1); [ "$out" = "starbreaker $VERSION" ] || fail "--version says '$out'"
out=$(env -u XDG_DATA_HOME HOME="$TMP/home" "$TMP/root/usr/bin/starbreaker-setup" --show 2>&1) \
    && cmp -s "$TMP/home/.local/share/starbreaker/res.qrx" "$TMP/root/usr/share/starbreaker/data/all_qrx/res.qrx" \
    && ok "the unpacked set-up tool seeded $TMP/home/.local/share/starbreaker" \
    || fail "the unpacked set-up tool: $out"

[ $FAILED -eq 0 ] && { log "PASS"; exit 0; }
log "FAIL"; exit 1
