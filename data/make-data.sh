#!/bin/sh
# Writes the data files the program ships, with aurivo-cli, so they match the current format.
# Usage: data/make-data.sh [path/to/aurivo-cli]   (default: build/cli/aurivo-cli)
set -eu
here=$(cd "$(dirname "$0")" && pwd)
cli=${1:-"$here/../build/cli/aurivo-cli"}
cli="$(cd "$(dirname "$cli")" && pwd)/$(basename "$cli")"
cd "$here"

# calibration.process: the process the calibration procedures configure and run, in the four
# steps they expect. Each procedure sets what it needs; the analyser's window stays "None", so
# a recorded impulse is measured unweighted wherever the trigger puts it in the block.
"$cli" new calibration.process "Signal Generator" "SoundIO" "Oscilloscope" "Spectrum Analyzer" \
    --fft-size 1024 --rate 48000
"$cli" set calibration.process "2:rate=48000" "2:mode=Rec./Play" "4:window=None" "4:type=FFT"
