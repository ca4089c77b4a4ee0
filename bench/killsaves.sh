#!/usr/bin/env bash
# Kills saving programs with SIGKILL at random moments and checks after every kill that
# each file they wrote is whole (the old version or the new one, never a cut or mixed
# file), and that start-up clears the temporary files a killed save left.
# Half the rounds kill the core saves (grid, text, ini and binary files of 0.3 to 400 KB),
# half the running window (weights, notes, list items, footer settings).
# Usage: bench/killsaves.sh [rounds] [path/to/killsaves]
set -euo pipefail
rounds=${1:-200}
exe=${2:-build/bin/killsaves}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME=$work XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config \
       XDG_RUNTIME_DIR=$work/run QT_QPA_PLATFORM=offscreen
mkdir -p "$work/run" && chmod 700 "$work/run"
kills=0 corrupt=0 removed=0 files=0
for ((i = 0; i < rounds; i++)); do
  if ((i % 2 == 0)); then
    "$exe" core "$work/data/core" >/dev/null 2>&1 &
  else
    "$exe" window >/dev/null 2>&1 &
  fi
  pid=$!
  # The window needs a moment to start before it saves; then any moment will do.
  sleep "$(awk -v s=$RANDOM 'BEGIN { srand(s); printf "%.3f", 0.05 + rand() * 0.6 }')"
  kill -9 "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  kills=$((kills + 1))
  out=$("$exe" check "$work/data" 2>/dev/null || true)
  case "$out" in
    ok*)
      removed=$((removed + $(sed 's/.*removed=//' <<<"$out")))
      files=$(sed 's/ok files=\([0-9]*\).*/\1/' <<<"$out")
      ;;
    *) corrupt=$((corrupt + 1)); echo "round $i: $out" ;;
  esac
done
echo "kills $kills corrupt $corrupt (files checked after the last: $files;" \
     "stale temporary files removed at start: $removed)"
