#!/bin/bash
# Runs every example for many passes through the virtual card (without its noise) with aurivo-cli: the peak resident
# memory and the most open file handles of a run of FIRST passes against those of a run of LAST
# passes (a leak of a few bytes a pass shows as growth), and the readouts after LAST passes
# against those after FIRST. One line per example; the exit status is 1 when memory grew by 1 %
# or more, a handle was left open, or the readouts changed.
#   tools/soak.sh [BUILD_DIR] [FIRST] [LAST] [EXAMPLE.process...]
#   (default: build 1000 10000 and every example; CI runs a short form)
set -u
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$here/build"}
first=${2:-1000}
last=${3:-10000}
shift $(($# < 3 ? $# : 3))
examples=("$@")
[ ${#examples[@]} -gt 0 ] || examples=("$here"/examples/*.process)
cli=$(realpath "$build/cli/aurivo-cli")
for i in "${!examples[@]}"; do examples[$i]=$(realpath "${examples[$i]}"); done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config"
# The card without its noise: every pass then measures the same signal, so a readout of one pass
# (a peak's frame, a THD) is the same at any pass unless something drifts. With noise each pass
# hears a new stretch of it, and such readouts differ in their last digits from pass to pass.
mkdir -p "$XDG_CONFIG_HOME/aurivo"
printf '[Virtual Card]\nNoise=0\n' >"$XDG_CONFIG_HOME/aurivo/aurivo.ini"

# The readout lines of a run's text, without the counts of passes made ("Ran N passes", an
# analyser's "Passes: N").
readouts() { grep -v -e '^Ran ' -e '^ *Passes: ' "$1"; }

# Runs aurivo-cli with the arguments, its text in $out; sets hwm (peak resident KiB) and fds (most
# open handles), sampled every 20 ms while it runs.
measure() {
    "$cli" "$@" >"$out" 2>&1 &
    local pid=$! h f
    hwm=0 fds=0
    while [ -d "/proc/$pid" ]; do
        h=$(awk '/^VmHWM/ {print $2}' "/proc/$pid/status" 2>/dev/null)
        f=$(ls "/proc/$pid/fd" 2>/dev/null | wc -l)
        [ -n "$h" ] && [ "$h" -gt "$hwm" ] && hwm=$h
        [ "$f" -gt "$fds" ] && fds=$f
        sleep 0.02
    done
    wait $pid
}

status=0
printf '%-28s %10s %10s %7s %5s %5s %s\n' example "KiB@$first" "KiB@$last" growth fds1 fds2 readouts
for example in "${examples[@]}"; do
    name=$(basename "$example" .process)
    cd "$(dirname "$example")"
    out="$work/first.txt" measure run "$example" --passes "$first"
    rss1=$hwm fds1=$fds
    out="$work/last.txt" measure run "$example" --passes "$last"
    rss2=$hwm fds2=$fds
    growth=$(echo "scale=2; 100 * ($rss2 - $rss1) / $rss1" | bc)
    same=same
    readouts "$work/first.txt" >"$work/a"
    readouts "$work/last.txt" >"$work/b"
    cmp -s "$work/a" "$work/b" || same=differ
    printf '%-28s %10s %10s %6s%% %5s %5s %s\n' "$name" "$rss1" "$rss2" "$growth" "$fds1" "$fds2" "$same"
    # A handle or two more is the moment of sampling (sound system start-up); a leak is one a pass.
    if [ "$(echo "$growth >= 1" | bc)" = 1 ] || [ "$fds2" -gt $((fds1 + 3)) ] || [ $same = differ ]; then
        status=1
    fi
done
exit $status
