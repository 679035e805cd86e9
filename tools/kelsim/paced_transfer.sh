#!/usr/bin/env bash
# Times a full 508 x 432 image fetch from kelsim paced at 38400 baud and compares it with the
# line-rate limit of XMODEM-CRC: every block is 133 bytes and its ACK 1, at 10 bits a byte.
# Takes about a minute, so it is not part of the test suite.
#   tools/kelsim/paced_transfer.sh [BUILD_DIR]     (default: build)
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
bin=${1:-$here/build}/bin
baud=38400
work=$(mktemp -d)
sim_pid=
cleanup() {
    [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null && wait "$sim_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

printf '[COM]\r\nPort=1\r\nSetting=%s,N,8,1\r\nDelimitr=0\r\n' "$baud" >"$work/Setting.ini"
"$bin/kelsim" --baud "$baud" --settings "$work/Setting.ini" --state "$work/state" --quiet \
    >"$work/device" &
sim_pid=$!
for _ in $(seq 100); do [ -s "$work/device" ] && break; sleep 0.1; done

kelctl() { "$bin/kelctl" --settings "$work/Setting.ini" "$@"; }
[ "$(kelctl command "IMGSAVE 0")" = OK ]
start=$(date +%s%N)
kelctl receive "$work/image.bin"
end=$(date +%s%N)

bytes=$((508 * 432 + 2))
blocks=$(((bytes + 127) / 128))
awk -v ns=$((end - start)) -v blocks="$blocks" -v baud="$baud" 'BEGIN {
    measured = ns / 1e9
    limit = blocks * (133 + 1) * 10 / baud
    printf "%d blocks at %d baud: measured %.2f s, line-rate limit %.2f s (%+.1f %%)\n",
           blocks, baud, measured, limit, 100 * (measured - limit) / limit
    exit (measured <= limit * 1.05 && measured >= limit * 0.95) ? 0 : 1
}'
