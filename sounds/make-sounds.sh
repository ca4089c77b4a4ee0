#!/usr/bin/env bash
# Makes the alarm sounds with sox's synthesizer: sounds/make-sounds.sh OUTPUT_FOLDER
# Each is a few seconds of 16-bit PCM mono at 22050 Hz that loops without a click
# (short fades at both ends, or a texture that starts and ends alike).
set -euo pipefail
out=${1:?usage: make-sounds.sh OUTPUT_FOLDER}
mkdir -p "$out"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

fmt=(-r 22050 -c 1 -b 16 -e signed-integer)
# Repeatable: the noise generators start from a fixed seed, so every build makes the
# same files and their loudness never depends on the draw.
sox() { command sox -R "$@"; }
# Synthesised in the file's own format. Left at sox's defaults (48 kHz, two channels), a
# "synth pinknoise sine amod" put the sine on a channel of its own, and the mix down to
# mono after "norm" halved the loudness by chance of the draw.
make() { sox "${fmt[@]}" -n "${fmt[@]}" "$@"; }
# sox plucks strings only at 44.1 kHz or more; a note has no "norm" to undo.
make_plucked() { sox -r 44100 -c 1 -n "${fmt[@]}" "$@"; }
# The filters run at a quarter of full scale so that nothing clips; "norm" then brings
# every sound to a like loudness.

# --- bed-time ambiences ---------------------------------------------------------
# Wind: pink noise in a wandering band, gusting slowly.
make "$tmp/Wind.wav" synth 6 pinknoise sine amod 0.17 60 vol 0.25 \
  bandpass 500 2o phaser 0.8 0.74 3 0.4 0.3 -t tremolo 0.33 50 norm -4 fade q 0.4 6 0.4
# Rain: hiss of many drops, with a patter from fast random-looking flutter.
make "$tmp/rain-hiss.wav" synth 5 whitenoise vol 0.25 highpass 1800 lowpass 9000 tremolo 17 35 norm -8
make "$tmp/rain-drops.wav" synth 5 brownnoise vol 0.25 highpass 400 tremolo 23 90 tremolo 9 80 norm -10
sox -m "$tmp/rain-hiss.wav" "$tmp/rain-drops.wav" "${fmt[@]}" "$tmp/Rain.wav" norm -4 \
  fade q 0.2 5 0.2
# Thunder: a crack, then a long low rumble rolling away.
make "$tmp/crack.wav" synth 0.25 whitenoise vol 0.25 lowpass 3000 fade q 0.005 0.25 0.2 pad 0.4 4.35
make "$tmp/rumble.wav" synth 4.6 brownnoise vol 0.25 lowpass 180 tremolo 2.3 60 \
  fade q 0.3 4.6 2.8 pad 0.4 0 norm -2
make "$tmp/roll.wav" synth 4.2 pinknoise vol 0.25 lowpass 700 tremolo 3.1 70 \
  fade q 0.2 4.2 3 pad 0.5 0.3 norm -6
sox -m -v 0.5 "$tmp/crack.wav" -v 0.8 "$tmp/rumble.wav" -v 0.8 "$tmp/roll.wav" \
  "${fmt[@]}" "$tmp/Thunder.wav" trim 0 5 norm -3 fade q 0.1 5 0.3
# Music: a slow plucked lullaby (Twinkle, Twinkle) with a soft fifth below.
notes=(C4 C4 G4 G4 A4 A4 G4 - F4 F4 E4 E4 D4 D4 C4 -)
parts=()
i=0
for n in "${notes[@]}"; do
  f="$tmp/note$i.wav"
  if [ "$n" = "-" ]; then
    make "$f" trim 0 0.42
  else
    make_plucked "$f" synth 0.42 pluck "$n" synth 0.42 sine mix "$n" vol 0.7 fade q 0.005 0.42 0.08
  fi
  parts+=("$f")
  i=$((i + 1))
done
sox "${parts[@]}" "$tmp/melody.wav"
make "$tmp/drone.wav" synth 6.72 sine C3 sine mix G3 vol 0.15 fade q 0.3 6.72 0.3
sox -m "$tmp/melody.wav" "$tmp/drone.wav" "${fmt[@]}" "$tmp/Music.wav" norm -3 fade q 0.01 0 0.05
# Calm sea waves: low surf swelling in and out, one wave every five seconds.
make "$tmp/CalmSeaWaves.wav" synth 10 brownnoise pinknoise mix vol 0.25 lowpass 1400 \
  tremolo 0.2 92 norm -3
# Harbour ambient: water lapping at a quay, a distant ship's horn.
make "$tmp/lap.wav" synth 6 brownnoise vol 0.25 lowpass 700 tremolo 0.7 70 norm -8
make "$tmp/horn.wav" synth 1.6 sawtooth 98 sawtooth mix 147 vol 0.25 lowpass 600 \
  fade q 0.25 1.6 0.6 pad 2 2.4 norm -9
sox -m "$tmp/lap.wav" "$tmp/horn.wav" "${fmt[@]}" "$tmp/HarbourAmbient.wav" norm -3 \
  fade q 0.2 6 0.2
# River flow rapids: broad rushing noise with a fast bubbling flutter.
make "$tmp/RiverFlowRapids.wav" synth 5 whitenoise pinknoise mix vol 0.25 bandpass 1200 2.5o \
  tremolo 11 25 tremolo 4.7 20 norm -3 fade q 0.2 5 0.2

# --- wake-up alarms ---------------------------------------------------------------
# Buzz: a harsh low buzzer, on and off.
make "$tmp/buzz1.wav" synth 0.5 square 160 square mix 163 vol 0.25 fade q 0.01 0.5 0.01 pad 0 0.25
sox "$tmp/buzz1.wav" "$tmp/Buzz.wav" repeat 3 norm -3
# Klaxon: the rising "a-OOO-ga" of an old car horn.
make "$tmp/klax1.wav" synth 0.7 sawtooth 260:430 sawtooth mix 262:433 vol 0.25 lowpass 2500 \
  fade q 0.02 0.7 0.08 pad 0 0.3
sox "$tmp/klax1.wav" "$tmp/Klaxon.wav" repeat 2 norm -3
# Pulsing buzz: a bright tone pulsing six times a second.
make "$tmp/PulsingBuzz.wav" synth 3 square 440 sine amod 6 100 vol 0.25 lowpass 4000 norm -3 \
  fade q 0.02 3 0.02

# --- baby sounds ------------------------------------------------------------------
# Drink gulp: three swallows, each a quick falling "glug" with a wet click.
make "$tmp/gulp.wav" synth 0.16 sine 420:110 synth 0.16 brownnoise mix \
  lowpass 900 fade q 0.01 0.16 0.08 pad 0.02 0.5
sox "$tmp/gulp.wav" "$tmp/DrinkGulp.wav" repeat 2 norm -3
# Baby crying: "waaah" cries, a bright falling wail with a quivering voice.
make "$tmp/wa.wav" synth 0.9 sawtooth 560:430 sine fmod 7 vol 0.5 \
  bandpass 1100 1.5o tremolo 7 30 fade q 0.08 0.9 0.25 pad 0 0.35
make "$tmp/wa2.wav" synth 0.7 sawtooth 600:470 sine fmod 8 vol 0.5 \
  bandpass 1200 1.5o tremolo 8 30 fade q 0.06 0.7 0.2 pad 0 0.45
sox "$tmp/wa.wav" "$tmp/wa2.wav" "$tmp/wa.wav" "$tmp/BabyCrying.wav" norm -3
# Kisses: pairs of quick smacking "mwah"s.
make "$tmp/kiss.wav" synth 0.07 sine 700:2600 synth 0.07 whitenoise mix vol 0.5 \
  highpass 500 fade q 0.005 0.07 0.05 pad 0 0.12
make "$tmp/kissgap.wav" trim 0 0.6
sox "$tmp/kiss.wav" "$tmp/kiss.wav" "$tmp/kissgap.wav" "$tmp/kiss.wav" "$tmp/kissgap.wav" \
  "$tmp/Kisses.wav" norm -3
# Chirps: a small bird, three rising chirps and a pause.
make "$tmp/chirp.wav" synth 0.08 sine 2600:4800 fade q 0.005 0.08 0.03 pad 0 0.07
make "$tmp/chirpgap.wav" trim 0 0.5
sox "$tmp/chirp.wav" "$tmp/chirp.wav" "$tmp/chirp.wav" "$tmp/chirpgap.wav" \
  "$tmp/chirp.wav" "$tmp/chirp.wav" "$tmp/chirpgap.wav" "$tmp/Chirps.wav" norm -3

for name in Wind Rain Thunder Music CalmSeaWaves HarbourAmbient RiverFlowRapids \
            Buzz Klaxon PulsingBuzz DrinkGulp BabyCrying Kisses Chirps; do
  # Every file as 16-bit PCM mono at 22050 Hz, whatever the effects left.
  sox "$tmp/$name.wav" "${fmt[@]}" "$out/$name.wav"
done
