#!/bin/sh
# Peak memory and time of `sw40610 discover` under a flood of distinct DCP
# answers from the hostile responder (tools/dcp_responder), on a veth pair in
# a network namespace of the script's own: nothing is sent on a real
# interface. Measured with /usr/bin/time -v, never asserted.
#   bench/dcp_flood_memory.sh [BUILD_DIR] [ANSWERS] [NAME_BYTES] [FRAME_BYTES] [TIMEOUT_MS]
# Defaults: build/test, 100000 answers with station names of 1400 bytes (each
# refused as malformed), no filler, a 12 s answer window. With NAME_BYTES 240
# and FRAME_BYTES 1400 the answers are 1400-byte frames of valid devices,
# past the bound of devices a search keeps.
set -eu
if [ -z "${SW_FLOOD_NAMESPACE:-}" ]; then
    exec unshare --net env SW_FLOOD_NAMESPACE=1 sh "$0" "$@"
fi
BUILD=$(cd "${1:-build/test}" && pwd)
ANSWERS=${2:-100000}
NAME_BYTES=${3:-1400}
FRAME_BYTES=${4:-0}
TIMEOUT_MS=${5:-12000}
WORK=$(mktemp -d)
RESPONDER_PID=
finish() {
    [ -n "$RESPONDER_PID" ] && kill "$RESPONDER_PID" 2>/dev/null || true
    rm -rf "$WORK"
}
trap finish EXIT

ip link set lo up
ip link add name dcp0 type veth peer name dcp1
ip link set dcp0 up
ip link set dcp1 up
for _ in $(seq 50); do ip -o link show dev dcp0 | grep -q LOWER_UP && break; sleep 0.05; done

"$BUILD/tools/dcp_responder" --interface dcp1 --flood "$ANSWERS" --name-bytes "$NAME_BYTES" \
    --frame-bytes "$FRAME_BYTES" --idle-ms 60000 >"$WORK/responder.log" &
RESPONDER_PID=$!
for _ in $(seq 200); do grep -q READY "$WORK/responder.log" && break; sleep 0.05; done

/usr/bin/time -v "$BUILD/src/sw40610" discover --interface dcp0 --timeout "$TIMEOUT_MS" --json \
    >"$WORK/found.json" 2>"$WORK/time.log"

echo "answers sent per search: $ANSWERS (station names of $NAME_BYTES bytes, frames of ${FRAME_BYTES:-0} bytes at least)"
python3 - "$WORK/found.json" <<'PY'
import json, sys
d = json.load(open(sys.argv[1]))
print(f"devices kept: {len(d['devices'])}, answers dropped past the bound: {d['dropped']}, malformed: {d['malformed']}")
PY
grep -E "Maximum resident set size|Elapsed \(wall clock\)" "$WORK/time.log"
grep -E "malformed answer" "$WORK/time.log" || true
