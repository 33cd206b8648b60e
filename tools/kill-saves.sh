#!/bin/sh
# Kills saves of every kind (process, data log, plot, response, calibration and settings files,
# and WAV recordings) at random moments and checks every file afterwards: the complete old or
# new version, or a valid recording of the blocks written so far. CI runs a short form through
# ctest; this runs the long one.
#   tools/kill-saves.sh [BUILD_DIR] [KILLS]      (default: build, 200)
set -eu
build=${1:-build}
kills=${2:-200}
AURIVO_KILL_ROUNDS=$kills exec "$build/tests/reliability/reliability_tests" --gtest_filter='KilledSave.*'
