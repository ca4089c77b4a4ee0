#!/usr/bin/env bash
# Starts the built program under Xvfb with a throw-away HOME and saves a screenshot of
# the whole screen: scripts/screenshot.sh shot.png [seconds] [home]
# Pass a home folder to look at prepared data (it is used as is, not deleted).
set -euo pipefail
out=${1:-shot.png}
wait=${2:-3}
home=${3:-}
exe=$(cd "$(dirname "$0")/.." && pwd)/build/bin/mavelo
if [ -z "$home" ]; then home=$(mktemp -d); trap 'rm -rf "$home"' EXIT; fi
mkdir -p "$home/run" && chmod 700 "$home/run"
HOME=$home XDG_DATA_HOME=$home/data XDG_CONFIG_HOME=$home/config XDG_RUNTIME_DIR=$home/run \
LC_ALL=en_US.UTF-8 xvfb-run -a -s "-screen 0 1280x800x24" bash -c \
  "\"$exe\" & pid=\$!; sleep $wait; import -window root \"$out\"; kill \$pid"
echo "$out"
