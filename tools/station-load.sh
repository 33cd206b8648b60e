#!/usr/bin/env bash
# Load and outage run of the test station: STATIONS station processes test TESTS units each with
# examples/production-pass.json into one private PostgreSQL server, which is stopped for 10 s
# while they run; each station spools what it cannot send and sends it with its next test. At
# the end every record is on the server once: the count must be STATIONS x TESTS.
# Usage: tools/station-load.sh [aurivo-cli] [STATIONS] [TESTS]   (defaults: build, 8, 250)
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
cli=${1:-"$here/build/cli/aurivo-cli"}
stations=${2:-8}
tests=${3:-250}
work=$(mktemp -d /tmp/aurivo-load.XXXXXX)
"$here/.ci/postgres-server" start "$work/pg" >/dev/null
[ "$(cat "$work/pg/status")" = running ] || { cat "$work/pg/status"; exit 2; }
url=$(cat "$work/pg/url")
trap '"$here/.ci/postgres-server" stop "$work/pg"; rm -rf "$work"' EXIT
start=$(date +%s.%N)
for s in $(seq 1 "$stations"); do
  (
    export XDG_DATA_HOME="$work/station-$s" XDG_CONFIG_HOME="$work/station-$s/config"
    for t in $(seq 1 "$tests"); do
      "$cli" test "$here/examples/production-pass.json" --serial "S$s-$t" --station "station-$s" \
        --db "$url" >/dev/null 2>>"$work/station-$s.err" || echo "station $s test $t: exit $?" >&2
    done
    # What is still spooled goes with one more look at the server.
    "$cli" test "$here/examples/production-pass.json" --serial "S$s-final" --station "station-$s" \
      --db "$url" >/dev/null 2>>"$work/station-$s.err"
  ) &
done
sleep "${OUTAGE_AFTER:-20}"
bin=$(cat "$work/pg/bin")
cluster=$(cat "$work/pg/cluster")
as_server() { if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi; }
as_server "$bin/pg_ctl" -D "$cluster/data" -m fast stop >/dev/null
echo "server stopped at $(date +%T)"
sleep 10
port=${url##*:}; port=${port%%/*}
as_server "$bin/pg_ctl" -D "$cluster/data" -l "$cluster/server.log" -w \
  -o "-c listen_addresses=127.0.0.1 -p $port -c unix_socket_directories=$cluster -c fsync=off" start >/dev/null
echo "server started at $(date +%T)"
wait
end=$(date +%s.%N)
records=$(psql -qtA "$url" -c "SELECT COUNT(*), COUNT(DISTINCT uuid), COUNT(DISTINCT serial) FROM test_results")
spooled=$(cat "$work"/station-*.err | grep -c "waits in the spool" || true)
echo "stations $stations x tests $tests (+1 each) = $((stations * (tests + 1))) expected; records|distinct uuids|distinct serials = $records"
echo "tests that spooled during the outage: $spooled; seconds: $(echo "$end - $start" | bc)"
