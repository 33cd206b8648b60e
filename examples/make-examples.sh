#!/bin/sh
# Writes the example processes with aurivo-cli, so they always match the current file format.
# Usage: examples/make-examples.sh [path/to/aurivo-cli]   (default: build/cli/aurivo-cli)
set -eu
here=$(cd "$(dirname "$0")" && pwd)
cli=${1:-"$here/../build/cli/aurivo-cli"}
cli="$(cd "$(dirname "$cli")" && pwd)/$(basename "$cli")"
cd "$here"

# describe FILE.process TEXT: the one line the desktop application shows in the process's
# window title, kept beside the file (the process file has no place for it).
describe() {
    printf '%s\n' "$2" > "${1%.process}.description"
}

# scope.process: channel 1 a 1031.25 Hz sine (11 cycles per 1024-sample block at 96 kHz, so
# successive blocks line up) averaged over 4 blocks and shown at 1 V/div; channel 2 a 468.75 Hz
# square at half level, drawn as a digital trace.
"$cli" new scope.process "Signal Generator" "Oscilloscope"
"$cli" set scope.process "1:ch1.wave=Sine" "1:ch1.freq=1031.25" \
    "1:ch2.wave=AC Square" "1:ch2.freq=468.75" "1:ch2.level=50" \
    "2:ch1.avg=4" "2:ch1.vdivup=" "2:ch2.disp="
describe scope.process "A 1031.25 Hz sine (channel 1) and a 468.75 Hz square at half level (channel 2, digital trace) on the oscilloscope"

# thd-1khz.process: a 1 kHz sine at 50 % on both channels, bin-centred (bin 32 of 1024 at
# 32 kHz) so that window "None" measures it exactly; a second generator step adds a 2 kHz
# harmonic at 1 % on channel 1 and a 3 kHz one at 2 % on channel 2. The analyser shows THDVpk:
# THD 2 % (1/50) on channel 1 and 4 % (2/50) on channel 2.
"$cli" new thd-1khz.process "Signal Generator" "Signal Generator" "Spectrum Analyzer" \
    --fft-size 1024 --rate 32000
"$cli" set thd-1khz.process "1:ch1.wave=Sine" "1:ch1.freq=1000" "1:ch1.level=50" \
    "1:ch2.wave=Sine" "1:ch2.freq=1000" "1:ch2.level=50" \
    "2:ch1.wave=Sine" "2:ch1.freq=2000" "2:ch1.level=1" \
    "2:ch2.wave=Sine" "2:ch2.freq=3000" "2:ch2.level=2" "3:yaxis=THDVpk"
describe thd-1khz.process "THD of a 1 kHz sine with a 2nd harmonic at 1 % (channel 1) and a 3rd at 2 % (channel 2): THD 2 % and 4 %"

# imd.process: tones of 1000 Hz and 1500 Hz at 40 % each, plus one product at 1 %: 500 Hz
# (f2 - f1, also 2f1 - f2) on channel 1 and 2500 Hz (f1 + f2) on channel 2. The analyser shows
# IMDVpk with the two strongest bins as the tones: 1 / sqrt(40^2 + 40^2) = 1.76777 % of second
# order on both channels, and the same of third order on channel 1 only.
"$cli" new imd.process "Signal Generator" "Signal Generator" "Signal Generator" \
    "Spectrum Analyzer" --fft-size 1024 --rate 32000
"$cli" set imd.process "1:ch1.wave=Sine" "1:ch1.freq=1000" "1:ch1.level=40" \
    "1:ch2.wave=Sine" "1:ch2.freq=1000" "1:ch2.level=40" \
    "2:ch1.wave=Sine" "2:ch1.freq=1500" "2:ch1.level=40" \
    "2:ch2.wave=Sine" "2:ch2.freq=1500" "2:ch2.level=40" \
    "3:ch1.wave=Sine" "3:ch1.freq=500" "3:ch1.level=1" \
    "3:ch2.wave=Sine" "3:ch2.freq=2500" "3:ch2.level=1" "4:yaxis=IMDVpk"
describe imd.process "IMD of tones at 1000 Hz and 1500 Hz with one product at 1 %: 1.77 % of second order"

# mls-impulse.process: a maximum-length sequence on both channels; the analyser's "FHT/FFT"
# turns each block into the impulse response (the sequence correlated with itself: a single
# peak) and shows its spectrum, flat at about -60 dBVpk, on a 20 dB/div log axis.
"$cli" new mls-impulse.process "Signal Generator" "Spectrum Analyzer" --fft-size 1024 --rate 48000
"$cli" set mls-impulse.process "1:ch1.wave=MLS" "1:ch2.wave=MLS" "2:type=FHT/FFT" \
    "2:xaxis=Log20." "2:yaxis=dBVpk." "2:scaleup=" "2:scaleup=" "2:scaleup=" "2:scaleup="
describe mls-impulse.process "A maximum-length sequence turned into an impulse response: its spectrum is flat, about -60 dBVpk"

# sine-1khz.process: a 1 kHz sine, full scale on channel 1 and half scale on channel 2. At
# 32 kHz a block of 1024 samples holds exactly 32 cycles, so every block starts at phase 0. The
# oscilloscope shows both at 1 V/div and 500 us/div: five cycles, 1 V and 0.5 V peak.
"$cli" new sine-1khz.process "Signal Generator" "Oscilloscope" --fft-size 1024 --rate 32000
"$cli" set sine-1khz.process "1:ch1.wave=Sine" "1:ch1.freq=1000" "1:ch1.level=100" \
    "1:ch2.wave=Sine" "1:ch2.freq=1000" "1:ch2.level=50" \
    "2:ch1.vdivup=" "2:ch2.vdivup=" "2:tdivdown="
describe sine-1khz.process "A 1 kHz sine on the oscilloscope: 1 V peak on channel 1, 0.5 V on channel 2"

# log-sweep.process: a sine sweeping from 20 Hz to 20 kHz once a second, logarithmically on
# channel 1 and linearly on channel 2, at 48 kHz in blocks of 4096 samples (the sweep runs on
# across blocks and starts again after 48000 samples).
# The analyser shows each block's spectrum from 20 Hz on a log axis at 10 dB/div, so the sweep
# is seen moving while it runs: channel 2's peak climbs about 1.7 kHz a block (0.87 kHz in the
# first, 19.6 kHz in the twelfth), channel 1's starts at 14 kHz and closes in on 20 kHz.
"$cli" new log-sweep.process "Signal Generator" "Spectrum Analyzer" --fft-size 4096 --rate 48000
"$cli" set log-sweep.process "1:ch1.wave=Sine" "1:ch1.mode=Log10Up Swp" \
    "1:ch1.sweepstart=20" "1:ch1.sweepstop=20000" "1:ch1.sweeptime=1" \
    "1:ch2.wave=Sine" "1:ch2.mode=Lin Sweep" \
    "1:ch2.sweepstart=20" "1:ch2.sweepstop=20000" "1:ch2.sweeptime=1" \
    "2:xaxis=Log20." "2:yaxis=dBVpk." "2:window=Hanning" "2:scaleup=" "2:scaleup=" "2:scaleup="
describe log-sweep.process "A 20 Hz to 20 kHz sweep once a second on the spectrum analyser: logarithmic on channel 1, linear on channel 2"

# log-sweep.wav: our own generator's "Log10Up Swp" sine sweep from 50 Hz to 7 kHz at half
# scale (its frequency rises with the logarithm of the time: past 4 kHz in the first block),
# written by our own WAV writer: one sweep of 16 blocks of 1024 samples at 16 kHz (1.024 s),
# 16-bit mono. The recording process is made in a scratch folder, so no example writes it.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
"$cli" new "$scratch/record.process" "Signal Generator" "WAV File Save" --fft-size 1024 --rate 16000
"$cli" set "$scratch/record.process" "1:ch1.wave=Sine" "1:ch1.mode=Log10Up Swp" "1:ch1.level=50" \
    "1:ch1.sweepstart=50" "1:ch1.sweepstop=7000" "1:ch1.sweeptime=1.024" \
    "2:file=$here/log-sweep.wav" "2:rate=16000" "2:bits=16" "2:channels=1"
"$cli" run "$scratch/record.process" --passes 16 >/dev/null

# wav-spectrum.process: the sweep above played from its file into the spectrum analyser, one
# block per pass; the run ends after the 16th block. The file is named relative to the process,
# so both move together.
"$cli" new wav-spectrum.process "WAV File Open" "Spectrum Analyzer" --fft-size 1024 --rate 16000
"$cli" set wav-spectrum.process "1:file=log-sweep.wav"
describe wav-spectrum.process "A 50 Hz to 7 kHz sweep played from log-sweep.wav into the spectrum analyser, one block per pass"

# arbfilter-lowpass.process: the envelope of lowpass.flt (flat to 1 kHz, then 12 dB per octave
# down, drawn as straight lines between its points) filters an impulse on channel 1 and a 3 kHz
# sine (bin 64 of 1024 at 48 kHz) on channel 2, by "FFT". The analyser shows channel 1's spectrum
# as the envelope itself (0 dB to 1 kHz, -12 dB at 2 kHz, -24 dB at 4 kHz ... -54 dB at 24 kHz)
# and the tone at -18 dBVpk, halfway between the 2 kHz and 4 kHz points.
"$cli" new arbfilter-lowpass.process "Signal Generator" "Arbitrary Filter" "Spectrum Analyzer" \
    --fft-size 1024 --rate 48000
"$cli" set arbfilter-lowpass.process "1:ch1.wave=Impulse" "1:ch2.wave=Sine" "1:ch2.freq=3000" \
    "1:ch2.level=100" "2:file=lowpass.flt" "2:update=" "3:xaxis=Log20." "3:yaxis=dBVpk."
describe arbfilter-lowpass.process "An impulse and a 3 kHz sine through the low pass of lowpass.flt: the spectrum shows the envelope, the tone at -18 dB"

# mls.process: a maximum-length sequence of 1023 samples (plus one filler sample) in every block
# of 1024 on channel 1 and its complement on channel 2: the excitation for impulse responses.
# The analyser shows why: its spectrum is white, the bins scattered below about -25 dBVpk with
# the same mean power, -30 dBVpk, in every part of the band (the sequence's 0.5 V swing spread
# over 512 bins), on a log axis at 10 dB/div.
"$cli" new mls.process "Signal Generator" "Spectrum Analyzer" --fft-size 1024 --rate 48000
"$cli" set mls.process "1:ch1.wave=MLS" "1:ch2.wave=MLS180" \
    "2:xaxis=Log20." "2:yaxis=dBVpk." "2:scaleup=" "2:scaleup=" "2:scaleup="
describe mls.process "A maximum-length sequence and its complement: white noise with a flat spectrum, the excitation for impulse responses"

# The virtual loopback card: what SoundIO plays comes back through the device-under-test model
# of the settings file (section "Virtual Card"; by default 240 samples of latency, gain 0.5, the
# filter 0.6 0.3 0.1, harmonic coefficients 0.01 and 0.005 of x^2 and x^3, noise 1e-5 RMS).

# loopback-thd.process: a 1 kHz cosine at 80 % (bin 128 of 4096 at 32 kHz) played and recorded
# through the model. Its first sample is its peak, so the "Auto" trigger (half the recorded peak)
# with offset 0 finds the block's start exactly; the Hanning window hides the filter's start-up.
# Channel 1 shows THD 0.396 % against 0.39584 % of the model's closed form: harmonics 0.01 * 0.8^2 / 2 and
# 0.005 * 0.8^3 / 4 over the fundamental 0.8 + 0.75 * 0.005 * 0.8^3, each through the filter.
"$cli" new loopback-thd.process "Signal Generator" "SoundIO" "Spectrum Analyzer" \
    --fft-size 4096 --rate 32000
"$cli" set loopback-thd.process "1:ch1.wave=Cosine" "1:ch1.freq=1000" "1:ch1.level=80" \
    "1:ch2.wave=Cosine" "1:ch2.freq=1000" "1:ch2.level=80" \
    "2:mode=Rec./Play" "2:rate=32000" "2:trigger=Auto" "2:offset=0" \
    "3:yaxis=THDVpk" "3:window=Hanning"
describe loopback-thd.process "THD of a 1 kHz tone played and recorded through the virtual loopback card: 0.396 % on channel 1"

# loopback-latency.process: an impulse played through the model and shown by the oscilloscope.
# SoundIO's trigger "Manual" at 10 % with offset -20 puts the pulse at sample 20 of the block;
# the readouts "Ch1 Lev" give the peak level and its frame, 64 + 240 + 1 = 305 (1-based): the
# lead-in and the model's latency.
"$cli" new loopback-latency.process "Signal Generator" "SoundIO" "Oscilloscope" \
    --fft-size 1024 --rate 48000
"$cli" set loopback-latency.process "1:ch1.wave=Impulse" "1:ch2.wave=Impulse" \
    "2:mode=Rec./Play" "2:rate=48000" "2:trigger=Manual" "2:trglev=10" "2:offset=-20"
describe loopback-latency.process "The virtual loopback card's latency: the recorded impulse peaks at frame 305 (64 lead-in + 240)"

# loopback-response.process: the model's frequency response from an impulse. SoundIO's trigger
# "Manual" at 10 % with offset -20 puts the recorded pulse at sample 20 of the block, so the
# analyser's spectrum (window None) is the filter 0.6 0.3 0.1 times the gain 0.5: flat at low
# frequencies and 8 dB down at 24 kHz. The production-line examples check it against a mask.
"$cli" new loopback-response.process "Signal Generator" "SoundIO" "Spectrum Analyzer" \
    --fft-size 1024 --rate 48000
"$cli" set loopback-response.process "1:ch1.wave=Impulse" "1:ch2.wave=Impulse" \
    "2:mode=Rec./Play" "2:rate=48000" "2:trigger=Manual" "2:trglev=10" "2:offset=-20" \
    "3:window=None" "3:xaxis=Log20." "3:yaxis=dBVpk."
describe loopback-response.process "The virtual loopback card's frequency response from an impulse: flat, falling 8 dB towards 24 kHz"

# loopback-mls.process: the impulse response of the model by a maximum-length sequence: MLS on
# both channels through the card, turned into the response by the analyser's "FHT/FFT". Without
# a latency calibration the "Latency" trigger reads the second repetition from its lead-in, so
# the response stands 304 samples late (lead-in and latency): the filter's taps 0.6, 0.3, 0.1
# appear there as 0.11, 0.06, 0.02 (the gain 0.5, the MLS's scale and the gap's loss).
"$cli" new loopback-mls.process "Signal Generator" "SoundIO" "Spectrum Analyzer" \
    --fft-size 1024 --rate 48000
"$cli" set loopback-mls.process "1:ch1.wave=MLS" "1:ch2.wave=MLS" \
    "2:mode=Rec./Play" "2:rate=48000" "2:trigger=Latency" "2:offset=0" "2:repeat=1" \
    "3:type=FHT/FFT" "3:xaxis=Log20." "3:yaxis=dBVpk."
describe loopback-mls.process "The virtual loopback card's impulse response, measured with a maximum-length sequence"

# transfer-function.process: the virtual card's response measured with the signal it plays. White
# noise at half scale goes out through SoundIO and the card; the transfer function compares what
# came back (channel 1) with the generator's own block, averaging 16 passes of blocks of 4096 at
# 48 kHz in segments of 2048. It finds the delay, 304 samples (SoundIO's 64 lead-in and the card's
# 240), takes it out, and shows the model's gain of 0.5 (-6 dB) through its filter 0.6 0.3 0.1
# (-12.7 dB at 15 kHz), coherence 1.000.
"$cli" new transfer-function.process "Signal Generator" "SoundIO" "Transfer Function" \
    --fft-size 4096 --rate 48000
"$cli" set transfer-function.process "1:ch1.wave=White" "1:ch1.level=50" \
    "1:ch2.wave=White" "1:ch2.level=50" \
    "2:mode=Rec./Play" "2:rate=48000" "2:trigger=Latency" "2:offset=0" \
    "3:meas=Ch1" "3:fft=2048"
describe transfer-function.process "The virtual card's response measured with white noise: delay 304 samples, -6 dB through its filter, coherence 1.000"

# transfer-pink-noise.process: the same measurement with the excitation a sound engineer plays,
# the generator's pink noise (equal power in every octave, peaking at half scale), in blocks of
# 16384 with segments of 4096: delay 304 samples, -6 dB through the filter, coherence 1.000.
"$cli" new transfer-pink-noise.process "Signal Generator" "SoundIO" "Transfer Function" \
    --fft-size 16384 --rate 48000
"$cli" set transfer-pink-noise.process "1:ch1.wave=Pink" "1:ch1.level=50" \
    "1:ch2.wave=Pink" "1:ch2.level=50" \
    "2:mode=Rec./Play" "2:rate=48000" "2:trigger=Latency" "2:offset=0" \
    "3:meas=Ch1" "3:fft=4096"
describe transfer-pink-noise.process "The virtual card's response measured with pink noise: delay 304 samples, -6 dB through its filter, coherence 1.000"

# music-like.wav: 2.7 s of something like music, made by sox (repeatable, undithered): plucked
# notes of four chords over a hi-hat of pink-noise bursts, 16-bit mono at 48 kHz.
# transfer-music.process: the same measurement as above with that file as the excitation, as a
# live-sound engineer measures with the programme, averaging every pass (32, the file's length);
# where the music leaves a band empty the coherence drops and the magnitude is blanked there.
sox -R -D -n -r 48000 -c 1 -e floating-point -b 32 "$scratch/notes.wav" \
    synth 0.17 pluck C3 : synth 0.17 pluck E3 : synth 0.17 pluck G3 : synth 0.17 pluck C4 : \
    synth 0.17 pluck A2 : synth 0.17 pluck E3 : synth 0.17 pluck A3 : synth 0.17 pluck C4 : \
    synth 0.17 pluck F2 : synth 0.17 pluck C3 : synth 0.17 pluck F3 : synth 0.17 pluck A3 : \
    synth 0.17 pluck G2 : synth 0.17 pluck D3 : synth 0.17 pluck G3 : synth 0.17 pluck B3
sox -R -D -n -r 48000 -c 1 -b 16 "$scratch/hat.wav" \
    synth 0.085 pinknoise fade q 0.002 0.085 0.08 repeat 31
sox -R -D -m -v 0.6 "$scratch/notes.wav" -v 0.4 "$scratch/hat.wav" -b 16 music-like.wav
"$cli" new transfer-music.process "WAV File Open" "SoundIO" "Transfer Function" \
    --fft-size 4096 --rate 48000
"$cli" set transfer-music.process "1:file=music-like.wav" \
    "2:mode=Rec./Play" "2:rate=48000" "2:trigger=Latency" "2:offset=0" \
    "3:meas=Ch1" "3:fft=2048" "3:avg=Infinite"
describe transfer-music.process "The virtual card's response measured with music (music-like.wav): the same response and delay as with noise"

# loopback-sweep.process: the card's model measured as a loudspeaker is, by a synchronized log
# sweep: 20 Hz to 20 kHz in 1 s at 80 % on both channels, in blocks of 65536 samples at 48 kHz
# (the rest of the block is silence for the decay). The "Latency" trigger reads the recording
# from the played block's start, so the delay is the 64 lead-in frames plus the model's 240: 304
# samples. The analyser shows the response, the filter's low-pass (-6.0 dB at 1 kHz: the gain
# 0.5; -9.5 dB at 10 kHz), and reads out the delay, level, phase and distortion at 1 kHz.
"$cli" new loopback-sweep.process "Signal Generator" "SoundIO" "Sweep Analyzer" \
    --fft-size 65536 --rate 48000
for ch in ch1 ch2; do
    "$cli" set loopback-sweep.process "1:$ch.wave=Sync Log Sweep" "1:$ch.level=80" \
        "1:$ch.sweepstart=20" "1:$ch.sweepstop=20000" "1:$ch.sweeptime=1"
done
"$cli" set loopback-sweep.process "2:mode=Rec./Play" "2:rate=48000" "2:trigger=Latency" \
    "2:offset=0" "3:start=20" "3:stop=20000" "3:time=1" "3:display=Response"
describe loopback-sweep.process "The virtual loopback card's response by a synchronized log sweep: delay 304 samples, -6.0 dB at 1 kHz"

# loopback-sweep-thd.process: the same sweep as an amplifier's distortion against frequency: HD2
# to HD5 and THD in dB below the fundamental, averaged over 4 passes. The model's x^2 and x^3
# coefficients 0.01 and 0.005 at 80 % give HD2 0.40 % (-48.1 dB) and HD3 0.08 % (-62.2 dB) at
# 1 kHz, through the filter at 2 and 3 kHz.
"$cli" new loopback-sweep-thd.process "Signal Generator" "SoundIO" "Sweep Analyzer" \
    --fft-size 65536 --rate 48000
for ch in ch1 ch2; do
    "$cli" set loopback-sweep-thd.process "1:$ch.wave=Sync Log Sweep" "1:$ch.level=80" \
        "1:$ch.sweepstart=20" "1:$ch.sweepstop=20000" "1:$ch.sweeptime=1"
done
"$cli" set loopback-sweep-thd.process "2:mode=Rec./Play" "2:rate=48000" "2:trigger=Latency" \
    "2:offset=0" "3:start=20" "3:stop=20000" "3:time=1" "3:display=Distortion" "3:avg=4"
describe loopback-sweep-thd.process "Harmonic distortion against frequency through the virtual loopback card: HD2 -48 dB and HD3 -62 dB at 1 kHz"

# ../plugins/splmeter/spl-1khz.process: the "SPL Meter" plug-in (aurivo-cli must find it, as
# the build's does) on a generator's 1 kHz sine of 1 V peak on channel 1 and 0.1 V on channel 2.
# With a microphone sensitivity of 707.10678 mV/Pa (1 V peak = 1 Pa RMS) the meter reads 94.0 dB
# and 74.0 dB in LAF, LAeq, LAFmax and LAFmin.
"$cli" new ../plugins/splmeter/spl-1khz.process "Signal Generator" "SPL Meter" \
    --fft-size 1024 --rate 48000
"$cli" set ../plugins/splmeter/spl-1khz.process "1:ch1.wave=Sine" "1:ch1.freq=1000" \
    "1:ch1.level=100" "1:ch2.wave=Sine" "1:ch2.freq=1000" "1:ch2.level=10" \
    "2:sensitivity=707.10678"
describe ../plugins/splmeter/spl-1khz.process "The SPL Meter plug-in on a 1 kHz tone: 94.0 dB on channel 1 (1 Pa), 74.0 dB on channel 2"

# logger-merge.process: a frequency response logged pass by pass and put together from two
# plots. A sine sweeps linearly from 20 Hz to 20 kHz over two blocks of 4096 at 48 kHz, so the
# first block's spectrum covers the band up to 10 kHz and the second the band above. Three data
# loggers show the log after two passes on a 20 dB/div log axis: step 3 both plots (yellow and
# green), step 4 their merge at 10 kHz, step 5 their complex sum; both give one flat response
# at about -35 dBVpk from 20 Hz to 20 kHz.
"$cli" new logger-merge.process "Signal Generator" "Spectrum Analyzer" "DataLogger" \
    "DataLogger" "DataLogger" --fft-size 4096 --rate 48000
"$cli" set logger-merge.process "1:ch1.wave=Sine" "1:ch1.mode=Lin Sweep" "1:ch1.level=50" \
    "1:ch1.sweepstart=20" "1:ch1.sweepstop=20000" "1:ch1.sweeptime=0.17066667" \
    "1:ch2.wave=Sine" "1:ch2.mode=Lin Sweep" "1:ch2.level=50" \
    "1:ch2.sweepstart=20" "1:ch2.sweepstop=20000" "1:ch2.sweeptime=0.17066667"
for step in 3 4 5; do
    "$cli" set logger-merge.process "$step:xaxis=F1Log20" "$step:y1axis=dBVpk." \
        "$step:y1scaleup=" "$step:y1scaleup=" "$step:y1scaleup=" "$step:y1scaleup=" \
        "$step:y2axis=None"
done
"$cli" set logger-merge.process "4:displaymode=Merge" "4:mergefreq=10000" "5:displaymode=Sum"
describe logger-merge.process "A 20 Hz to 20 kHz sweep over two blocks logged as two plots (step 3), merged at 10 kHz (step 4) and summed (step 5): one flat response"

# logger-zma.process: an impedance from the generator alone. Channel 1 is an impulse (the drive
# of a divider), channel 2 a pulse from 0 to 62.5 us at 20 % (the voltage across the unknown),
# so their ratio G is 0.8 at low frequencies and falls to a null at 12 kHz. With a reference
# resistance of 8 ohms the logger draws |Z| = 8 G / (1 - G): 32 ohms at low frequencies, falling
# to 0 at 12 kHz, with channel 2's phase on Y2. "Copy ZMA" and "Save Plt" as ZMA take it.
"$cli" new logger-zma.process "Signal Generator" "Spectrum Analyzer" "DataLogger" \
    --fft-size 4096 --rate 48000
"$cli" set logger-zma.process "1:ch1.wave=Impulse" "1:ch1.level=100" \
    "1:ch2.wave=DC+ Pulse" "1:ch2.level=20" "1:ch2.pulsestart=0" "1:ch2.pulsestop=0.0000625" \
    "1:ch2.pulseperiod=0.085333333" \
    "3:xaxis=F1Log20" "3:y1axis=| Z |" "3:y1ref=8" "3:y2axis=Degrees"
describe logger-zma.process "An impedance from an impulse and a pulse through an 8 ohm reference: 32 ohms at low frequencies falling to 0 at 12 kHz, ready for Copy ZMA"

# rta-white-noise.process: white noise at 50 % played and recorded through the virtual card and
# read by the RTA in third octaves as Leq over the run, drawn as a line. Uniform noise of peak 0.5 has a mean
# square of 0.5^2 / 3; a third-octave band passes 1.0472 times its width of it over the 24 kHz
# of the spectrum, so the 1 kHz band reads -33.7 dBFS and every band 1 dB more per third of an
# octave (3 dB per octave), the card's response aside. Bands below 31.5 Hz are narrower than the
# 65536-sample block resolves and are shown as unresolved. The CLI's --json gives each band's
# level as a number.
"$cli" new rta-white-noise.process "Signal Generator" "SoundIO" "RTA" --fft-size 65536 --rate 48000
"$cli" set rta-white-noise.process "1:ch1.wave=White" "1:ch1.level=50" \
    "1:ch2.wave=White" "1:ch2.level=50" "2:mode=Rec./Play" "2:rate=48000" \
    "3:bands=1/3" "3:avg=Leq" "3:display=Line" "3:top=-20"
describe rta-white-noise.process "White noise through the virtual card in third-octave bands: -33.7 dBFS at 1 kHz, rising 3 dB per octave"

# rta-pink-noise.process: pink noise at 50 % peak through the virtual card, read by the RTA in
# third octaves as Leq over the run: pink noise has equal power in every fractional-octave band,
# so the bands read level (-38 dBFS at 1 kHz over 16 passes) up to about 2 kHz, and above that
# fall as the card's filter does (0.6, 0.3, 0.1 taps: -3.3 dB at 10 kHz).
"$cli" new rta-pink-noise.process "Signal Generator" "SoundIO" "RTA" --fft-size 65536 --rate 48000
"$cli" set rta-pink-noise.process "1:ch1.wave=Pink" "1:ch1.level=50" \
    "1:ch2.wave=Pink" "1:ch2.level=50" "2:mode=Rec./Play" "2:rate=48000" \
    "3:bands=1/3" "3:avg=Leq" "3:display=Line" "3:top=-20"
describe rta-pink-noise.process "Pink noise through the virtual card in third-octave bands: level at -38 dBFS up to 2 kHz, then the card's filter"

# rta-miccal.process: the same noise, A-weighted, read in dB SPL through a 12.5 mV/Pa microphone
# whose calibration file (mic-calibration.txt: flat at 1 kHz, +3 dB at 10 kHz, sensitivity
# factor -1 dB) corrects channel 1: at 10 kHz channel 1 reads 3 dB below channel 2, and every
# band of channel 1 1 dB above it from the sensitivity line.
"$cli" new rta-miccal.process "Signal Generator" "SoundIO" "RTA" --fft-size 65536 --rate 48000
"$cli" set rta-miccal.process "1:ch1.wave=White" "1:ch1.level=50" \
    "1:ch2.wave=White" "1:ch2.level=50" "2:mode=Rec./Play" "2:rate=48000" \
    "3:bands=1/3" "3:avg=Leq" "3:weighting=A" "3:unit=dB SPL" "3:sens=12.5" \
    "3:miccal=mic-calibration.txt" "3:calch=Ch1" "3:display=Line" "3:top=110"
describe rta-miccal.process "A microphone calibration file applied in the RTA: A-weighted dB SPL, channel 1 corrected"
