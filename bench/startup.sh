#!/usr/bin/env bash
# Start-up benchmark: launch -> window shown with today selected, over N runs, each with
# a fresh HOME (first run of a new user) or, with WARM=1, the same one (a daily start).
# Usage: bench/startup.sh [path/to/mavelo] [runs]
set -euo pipefail
exe=${1:-build/bin/mavelo}
runs=${2:-21}
platform=${QT_QPA_PLATFORM:-offscreen}
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
times=()
for ((i = 0; i < runs; i++)); do
  [ "${WARM:-0}" = 1 ] || { rm -rf "$home"; mkdir -p "$home"; }
  out=$(HOME=$home XDG_DATA_HOME=$home/data XDG_CONFIG_HOME=$home/config \
        XDG_RUNTIME_DIR=$home/run QT_QPA_PLATFORM=$platform LC_ALL=en_US.UTF-8 \
        MAVELO_STARTUP_BENCH=1 "$exe" 2>/dev/null)
  mkdir -p "$home/run" && chmod 700 "$home/run"
  times+=("$(echo "$out" | awk '/^startup_ms/ {print $2}')")
  rss=$(echo "$out" | awk '/^VmRSS/ {print $2, $3}')
done
sorted=$(printf '%s\n' "${times[@]}" | sort -n)
median=$(echo "$sorted" | awk -v n="$runs" 'NR == int((n + 1) / 2)')
echo "startup_ms median $median min $(echo "$sorted" | head -1) max $(echo "$sorted" | tail -1) over $runs runs ($platform); last VmRSS $rss"
