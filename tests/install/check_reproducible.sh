#!/usr/bin/env bash
# The source release and reproducible packages: `make dist`'s tarball, unpacked in an empty
# folder, builds the game and its package there without git (no tests, no compiler cache, its
# own folders, minutes after the first build), and that package has the same bytes as the one
# packed from the test build folder. Neither holds the path of a folder it was built in.
#
#   check_reproducible.sh SOURCE_DIR BUILD_DIR VERSION
#
# Exit 0 = passed, 77 = skipped (a tool is missing, or the source is not a git checkout),
# anything else = failed.
set -u
[ $# -eq 3 ] || { echo "usage: $0 SOURCE_DIR BUILD_DIR VERSION" >&2; exit 2; }
SRC=$(cd "$1" && pwd); BUILD=$(cd "$2" && pwd); VERSION=$3
FAILED=0
log()  { printf '[reproducible] %s\n' "$*"; }
fail() { log "FAIL: $*"; FAILED=1; }
ok()   { log "ok   $*"; }

for t in git cpack dpkg-deb dpkg-shlibdeps tar gzip; do
    command -v "$t" >/dev/null 2>&1 || { log "SKIP: '$t' is not installed"; exit 77; }
done
git -C "$SRC" rev-parse --git-dir >/dev/null 2>&1 || { log "SKIP: $SRC is not a git checkout (no tarball to make)"; exit 77; }
TMP=$(mktemp -d "${TMPDIR:-/tmp}/sb-repro.XXXXXX") || exit 1
trap 'rm -rf "$TMP"' EXIT
arch=$(dpkg --print-architecture)
deb=starbreaker_${VERSION}_${arch}.deb

# The first package: the test build folder's.
cpack --config "$BUILD/CPackConfig.cmake" -B "$TMP/first" >"$TMP/first.log" 2>&1 \
    || { cat "$TMP/first.log"; fail "cpack in $BUILD failed"; exit 1; }

# The source release, unpacked where there is no git repository above it.
tarball=$("$SRC/dist/make_dist.sh" "$SRC" "$TMP/dist" 2>"$TMP/dist.log") \
    || { cat "$TMP/dist.log"; fail "make_dist.sh failed"; exit 1; }
[ "$(basename "$tarball")" = "starbreaker-$VERSION.tar.gz" ] || fail "the tarball is named $(basename "$tarball")"
mkdir "$TMP/unpacked" && tar -C "$TMP/unpacked" -xzf "$tarball" || { fail "the tarball does not unpack"; exit 1; }
tree=$TMP/unpacked/starbreaker-$VERSION
[ -f "$tree/CMakeLists.txt" ] && [ -f "$tree/source-date-epoch" ] || { fail "the tarball lacks CMakeLists.txt or source-date-epoch"; exit 1; }
[ -z "$(find "$TMP/unpacked" -name .git)" ] || fail "the tarball holds .git"
[ "$(cat "$tree/source-date-epoch")" = "$(git -C "$SRC" log -1 --format=%ct)" ] || fail "source-date-epoch is not the last commit's time"
ok "$(basename "$tarball"): $(tar -tzf "$tarball" | wc -l) entries, $(stat -c %s "$tarball") bytes"

# The second build: git unreachable, no compiler cache, only what goes in the package.
export GIT_DIR=$TMP/no-git GIT_CEILING_DIRECTORIES=$TMP CCACHE_DISABLE=1
unset SOURCE_DATE_EPOCH
start=$(date +%s)
{ cmake -S "$tree" -B "$TMP/second-build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DSB_CCACHE=OFF \
    && cmake --build "$TMP/second-build" -j"$(nproc)" \
    && (cd "$TMP/second-build" && cpack -B "$TMP/second"); } >"$TMP/second.log" 2>&1 \
    || { tail -n 40 "$TMP/second.log"; fail "the tarball does not build without git"; exit 1; }
ok "the tarball built its package without git in $(( $(date +%s) - start )) s"
grep -q "no source-date-epoch" "$TMP/second.log" && fail "cpack found no source-date-epoch in the unpacked tarball"

a=$TMP/first/$deb b=$TMP/second/$deb
[ -f "$a" ] && [ -f "$b" ] || { fail "no $deb in both builds"; exit 1; }
if cmp -s "$a" "$b"; then
    ok "both packages are $(stat -c %s "$a") identical bytes ($(sha256sum "$a" | cut -c1-16)...)"
else
    fail "the two packages differ"
    for side in a b; do
        mkdir -p "$TMP/x$side" && dpkg-deb -R "${!side}" "$TMP/x$side"
        (cd "$TMP/x$side" && find . -type f -print0 | sort -z | xargs -0 sha256sum) >"$TMP/sums.$side"
        dpkg-deb -c "${!side}" >"$TMP/list.$side"
    done
    diff "$TMP/sums.a" "$TMP/sums.b" | sed 's/^/    /' | head -n 20
    diff "$TMP/list.a" "$TMP/list.b" | sed 's/^/    /' | head -n 10
fi

# No folder the packages were built in is named inside them.
for side in a b; do
    mkdir -p "$TMP/root.$side" && dpkg-deb -x "${!side}" "$TMP/root.$side"
done
for path in "$SRC" "$BUILD" "$TMP"; do
    found=$(grep -rlF -- "$path" "$TMP/root.a" "$TMP/root.b" 2>/dev/null | head -n 3)
    [ -z "$found" ] || fail "$path is named in $found"
done
[ $FAILED -eq 0 ] && { log "PASS"; exit 0; }
log "FAIL"; exit 1
