#!/usr/bin/env bash
# Writes the source release OUT_DIR/starbreaker-<version>.tar.gz: the files git tracks, as
# they are in the working tree, under starbreaker-<version>/, with no .git. The same source
# gives the same bytes: names sorted, every file owned by root and dated SOURCE_DATE_EPOCH
# (the last commit unless set), gzip without a name or time. The tarball carries that time
# in source-date-epoch, so a package built from it without git is dated the same.
#
#   make_dist.sh SOURCE_DIR OUT_DIR      prints the tarball's path
set -euo pipefail
[ $# -eq 2 ] || { echo "usage: $0 SOURCE_DIR OUT_DIR" >&2; exit 2; }
src=$(cd "$1" && pwd)
mkdir -p "$2"
out=$(cd "$2" && pwd)
git -C "$src" rev-parse --git-dir >/dev/null 2>&1 || { echo "$src is not a git checkout" >&2; exit 1; }

version=$(sed -n 's/^project(Starbreaker VERSION \([0-9][0-9.]*\).*/\1/p' "$src/CMakeLists.txt")
[ -n "$version" ] || { echo "no project version in $src/CMakeLists.txt" >&2; exit 1; }
epoch=${SOURCE_DATE_EPOCH:-$(git -C "$src" log -1 --format=%ct)}
[[ $epoch =~ ^[0-9]+$ ]] || { echo "SOURCE_DATE_EPOCH '$epoch' is not a number" >&2; exit 1; }
if [ -n "$(git -C "$src" status --porcelain --untracked-files=no)" ]; then
    echo "warning: $src has uncommitted changes; the tarball holds them as they are" >&2
fi

name=starbreaker-$version
stage=$(mktemp -d "${TMPDIR:-/tmp}/sb-dist.XXXXXX")
trap 'rm -rf "$stage"' EXIT
mkdir "$stage/$name"
# Tracked files deleted in the working tree are left out, as a commit of the tree would.
git -C "$src" ls-files -z | (cd "$src" && while IFS= read -r -d '' f; do
    [ -e "$f" ] || [ -L "$f" ] && printf '%s\0' "$f"
done) | (cd "$src" && xargs -0 -r cp -P --parents -t "$stage/$name")
echo "$epoch" >"$stage/$name/source-date-epoch"

tar -C "$stage" --sort=name --format=gnu --mtime="@$epoch" --owner=0 --group=0 --numeric-owner \
    --mode='u=rwX,go=rX' -cf - "$name" | gzip -9 -n >"$out/$name.tar.gz"
echo "$out/$name.tar.gz"
