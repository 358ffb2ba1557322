#!/usr/bin/env bash
# Runs every fuzz target of a build for the given seconds, then replays the kept crash inputs.
#   run_fuzz.sh <build dir> <seconds per target>     (0 seconds: replay only)
# New inputs go to a scratch folder: the committed corpus under tests/fuzz/corpus is read,
# never grown; set SB_FUZZ_WORK to a folder to keep what a run learns for the next one.
# Crash inputs found are copied to <build dir>/fuzz-artifacts/<target>/.
set -u
build=${1:?usage: run_fuzz.sh <build dir> <seconds per target>}
seconds=${2:?usage: run_fuzz.sh <build dir> <seconds per target>}
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
bin="$build/fuzz"
targets=(wave bmp jpeg score options effects keys settings keynames)
# SB_FUZZ_TARGETS="settings keynames" runs only those.
[ -n "${SB_FUZZ_TARGETS:-}" ] && read -r -a targets <<<"$SB_FUZZ_TARGETS"
export SDL_VIDEODRIVER=${SDL_VIDEODRIVER:-dummy} SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
# A hang or a runaway allocation is a failure too; leaks are reported at the end of a run.
common=(-timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=1024 -print_final_stats=0)
failed=()

for t in "${targets[@]}"; do
  [ -x "$bin/fuzz_$t" ] || { echo "missing $bin/fuzz_$t (build the target fuzz_targets)"; exit 2; }
done

if [ "$seconds" -gt 0 ]; then
  if [ -n "${SB_FUZZ_WORK:-}" ]; then
    scratch=$SB_FUZZ_WORK
    rm -rf "$scratch"/*/artifacts
  else
    scratch=$(mktemp -d)
    trap 'rm -rf "$scratch"' EXIT
  fi
  for t in "${targets[@]}"; do
    echo "== fuzz_$t for ${seconds}s"
    mkdir -p "$scratch/$t/corpus" "$scratch/$t/artifacts"
    corpus=()
    [ -d "$here/corpus/$t" ] && corpus=("$here/corpus/$t")
    if ! "$bin/fuzz_$t" "${common[@]}" -max_total_time="$seconds" \
         -artifact_prefix="$scratch/$t/artifacts/" "$scratch/$t/corpus" "${corpus[@]}" \
         >"$scratch/$t/log" 2>&1; then
      tail -n 60 "$scratch/$t/log"
      mkdir -p "$build/fuzz-artifacts/$t"
      cp "$scratch/$t/artifacts/"* "$build/fuzz-artifacts/$t/" 2>/dev/null
      echo "fuzz_$t FAILED; inputs kept in $build/fuzz-artifacts/$t/"
      failed+=("fuzz_$t")
    else
      grep -E "^(Done|#[0-9]+ *DONE)" "$scratch/$t/log" | tail -n 1
    fi
  done
fi

# Every kept input once more, one run each so the log names every one that still fails; each
# must be refused or read cleanly.
for t in "${targets[@]}"; do
  dir="$root/tests/fixtures/fuzz/$t"
  [ -d "$dir" ] || continue
  mapfile -t inputs < <(find "$dir" -type f | sort)
  [ "${#inputs[@]}" -gt 0 ] || continue
  echo "== fuzz_$t: replaying ${#inputs[@]} regression inputs"
  for f in "${inputs[@]}"; do
    if ! out=$("$bin/fuzz_$t" "${common[@]}" "$f" 2>&1); then
      { echo "$out" | grep -E "what\(\)|SUMMARY|ERROR"; echo "$out" | grep -F "$root/"; } | head -n 12
      echo "FAIL ${f#$root/}"
      failed+=("fuzz_$t:${f##*/}")
    fi
  done
done

if [ "${#failed[@]}" -gt 0 ]; then
  echo "FAILED: ${failed[*]}"
  exit 1
fi
echo "all fuzz targets clean"
