#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Mavelo need.
# Checks first, so a second run costs a dpkg query; apt-get update runs only when
# something is missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ make pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev
  qt6-charts-dev libqt6sql6-sqlite qt6-multimedia-dev
  libgl-dev fontconfig fonts-liberation2
  libbenchmark-dev
  # faster builds: the compiler cache and the LLVM linker (used when present)
  ccache lld
  # backups are zip archives (libarchive), the calendar export an .ics file (libical);
  # the calendar test also reads it back with Python's icalendar
  libarchive-dev libical-dev python3-icalendar
  poppler-utils
  desktop-file-utils appstream dpkg-dev file
  # the alarm sounds are made by sox at build time; the sound test plays them into its
  # own PulseAudio daemon and records them with parec
  sox libsox-fmt-base
  pulseaudio pulseaudio-utils
)
# Extra tools for looking at the program and its reports by hand (screenshots,
# headless browser), asked for with: install-deps.sh --look
if [ "${1:-}" = "--look" ]; then
  packages+=(xvfb xauth imagemagick chromium)
fi

# The libFuzzer targets of `make fuzz` are built with clang and its fuzzer runtime.
if [ "${1:-}" = "--fuzz" ]; then
  packages+=(clang libclang-rt-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
