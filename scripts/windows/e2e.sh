# kelctl.exe and keltool.exe against kelsim through a Wine COM port; sourced by windows.sh,
# which sets here, build, jobs and wine_env. kelsim runs from the Linux build in $here/build.

e2e_port=5 # COM5, linked to kelsim's pty
e2e_sim_pid=

e2e_host_build() {
    local host=$here/build
    if [ ! -f "$host/build.ninja" ]; then
        cmake -S "$here" -B "$host" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
    fi
    cmake --build "$host" -j "$jobs" --target kelsim kelctl
    hostbin=$host/bin
}

e2e_stop_sim() {
    if [ -n "$e2e_sim_pid" ]; then
        kill "$e2e_sim_pid" 2>/dev/null || true
        wait "$e2e_sim_pid" 2>/dev/null || true
    fi
    e2e_sim_pid=
}

# kelsim on a fresh pty with the state folder $work/state; COM5 of the prefix points at it.
# Arguments go to kelsim (e.g. --baud 38400 to pace the line).
e2e_start_sim() {
    e2e_stop_sim
    rm -f "$work/device"
    "$hostbin/kelsim" --settings "$work/Setting.ini" --state "$work/state" --quiet "$@" \
        >"$work/device" &
    e2e_sim_pid=$!
    for _ in $(seq 100); do [ -s "$work/device" ] && break; sleep 0.1; done
    device=$(head -n1 "$work/device")
    [ -c "$device" ] || { echo "kelsim gave no device" >&2; return 1; }
    ln -sfn "$device" "$WINEPREFIX/dosdevices/com$e2e_port"
}

winpath() { echo "Z:${1//\//\\}"; }

kelctl_win() { wine "$build/bin/kelctl.exe" --settings "$(winpath "$work/Setting.ini")" "$@"; }
kelctl_linux() { "$hostbin/kelctl" --settings "$work/Setting.ini" --device "$device" "$@"; }

e2e_check() {
    local what=$1
    shift
    if "$@"; then
        echo "  ok: $what"
    else
        echo "  FAILED: $what"
        e2e_failures=$((e2e_failures + 1))
    fi
}

same_files() { cmp -s "$1" "$2"; }

same_folder_files() {
    local a=$1 b=$2 f n=0
    for f in "$a"/*; do
        cmp -s "$f" "$b/$(basename "$f")" || return 1
        n=$((n + 1))
    done
    [ "$n" -eq "$(find "$b" -maxdepth 1 -type f | wc -l)" ]
}

run_e2e() {
    wine_env
    e2e_host_build
    work=$build/e2e
    rm -rf "$work"
    mkdir -p "$work/win" "$work/linux"
    e2e_failures=0
    trap e2e_stop_sim EXIT
    printf '[COM]\r\nPort=%d\r\nSetting=38400,N,8,1\r\nDelimitr=0\r\n' "$e2e_port" \
        >"$work/Setting.ini"

    echo "kelctl.exe against kelsim through COM$e2e_port (unpaced line)"
    e2e_start_sim
    kelctl_win info >"$work/win/info.txt" 2>"$work/win/info.err"
    kelctl_linux info >"$work/linux/info.txt"
    e2e_check "info as on Linux" cmp -s <(tr -d '\r' <"$work/win/info.txt") "$work/linux/info.txt"
    e2e_check "one warning line on stderr (DTR)" \
        test "$(grep -c 'warning' "$work/win/info.err")" -le 1

    kelctl_win fetch "$(winpath "$work/win/image.KEL")" "$(winpath "$work/win/image.bmp")"
    kelctl_linux fetch "$work/linux/image.KEL" "$work/linux/image.bmp"
    e2e_check "fetch: .KEL byte-identical to Linux kelctl's" \
        same_files "$work/win/image.KEL" "$work/linux/image.KEL"
    e2e_check "fetch: .bmp byte-identical to Linux kelctl's" \
        same_files "$work/win/image.bmp" "$work/linux/image.bmp"

    # kelsim keeps its banks as files once they are restored: load the saved ones back first.
    mkdir -p "$work/linux/banks" "$work/win/banks"
    kelctl_linux bank save all "$work/linux/banks"
    for f in "$work/linux/banks"/*; do kelctl_linux bank load "$f" >/dev/null; done
    kelctl_win bank save all "$(winpath "$work/win/banks")"
    e2e_check "bank save all: $(find "$work/win/banks" -type f | wc -l) files" \
        test "$(find "$work/win/banks" -type f | wc -l)" -eq 8
    e2e_check "bank save all: identical to kelsim's banks" same_banks
    e2e_check "bank save all: identical to Linux kelctl's" \
        same_folder_files "$work/win/banks" "$work/linux/banks"

    kelctl_win system save "$(winpath "$work/win/system1.bin")"
    kelctl_win system load "$(winpath "$work/win/system1.bin")"
    kelctl_win system save "$(winpath "$work/win/system2.bin")"
    e2e_check "system save, load, save: identical files" \
        same_files "$work/win/system1.bin" "$work/win/system2.bin"
    e2e_check "system save: identical to kelsim's system block" \
        same_files "$work/win/system1.bin" "$work/state/system.bin"

    e2e_network
    e2e_paced_fetch
    e2e_interrupt
    e2e_unplug
    e2e_stop_sim
    trap - EXIT
    echo "End to end: $e2e_failures failed"
    [ "$e2e_failures" -eq 0 ]
}

same_banks() {
    local f n=0 bank
    for f in "$work/win/banks"/*; do
        bank=$(basename "$f" | sed -n 's/[^0-9]*\([1-8]\)[^0-9]*/\1/p')
        [ -n "$bank" ] && cmp -s "$f" "$work/state/bank$bank.bin" || return 1
        n=$((n + 1))
    done
    [ "$n" -eq 8 ]
}

# kelctl.exe through Debian's ser2net in front of kelsim's pty, with the server's default
# options, in both modes: the fetch is byte-identical to the Linux kelctl's on the direct line.
e2e_network() {
    if ! command -v ser2net >/dev/null; then
        echo "  FAILED: ser2net is not installed"
        e2e_failures=$((e2e_failures + 1))
        return
    fi
    local mode accepter port conf pid
    for mode in rfc2217 tcp; do
        echo "kelctl.exe through ser2net ($mode)"
        e2e_start_sim
        port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
        accepter=$([ "$mode" = rfc2217 ] && echo "telnet(rfc2217),tcp" || echo "tcp")
        conf=$work/ser2net-$mode.yaml
        printf 'connection: &sensor\n  accepter: %s,127.0.0.1,%s\n  connector: serialdev,%s,local\n' \
            "$accepter" "$port" "$device" >"$conf"
        # A session of its own: what it signals on its way out never reaches Wine's server.
        setsid ser2net -n -u -c "$conf" -P "$work/ser2net-$mode.pid" >"$work/ser2net-$mode.log" 2>&1 &
        pid=$!
        for _ in $(seq 50); do
            # Listening, looked at without connecting (a connection would open the pty).
            grep -qi ":$(printf '%04X' "$port") 00000000:0000 0A" /proc/net/tcp && break
            sleep 0.1
        done
        kelctl_win --device "$mode://127.0.0.1:$port" fetch "$(winpath "$work/win/net-$mode.KEL")" \
            >/dev/null 2>"$work/win/net-$mode.err"
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
        e2e_check "fetch through ser2net ($mode): .KEL byte-identical to the direct line's" \
            same_files "$work/win/net-$mode.KEL" "$work/linux/image.KEL"
    done
}

# The whole receive of a full image at 38400 baud against the line-rate limit of XMODEM-CRC
# (133 bytes a block and a 1-byte ACK, 10 bits a byte). Wine's start of kelctl.exe is timed
# apart and taken off.
e2e_paced_fetch() {
    echo "Paced line: 38400 baud"
    e2e_start_sim --baud 38400
    local start end start_ns
    start=$(date +%s%N)
    kelctl_win --help >/dev/null 2>&1 || true
    end=$(date +%s%N)
    start_ns=$((end - start))
    kelctl_win command "IMGSAVE 0" >/dev/null
    start=$(date +%s%N)
    kelctl_win receive "$(winpath "$work/win/paced.bin")"
    end=$(date +%s%N)
    local bytes=$((508 * 432 + 2))
    local blocks=$(((bytes + 127) / 128))
    paced_report=$(awk -v ns=$((end - start)) -v st="$start_ns" -v blocks="$blocks" -v baud=38400 'BEGIN {
        measured = ns / 1e9; startup = st / 1e9; limit = blocks * (133 + 1) * 10 / baud
        printf "%d blocks: measured %.2f s (of which %.2f s starting kelctl.exe under Wine), line-rate limit %.2f s, %+.1f %% without the start",
               blocks, measured, startup, limit, 100 * (measured - startup - limit) / limit }')
    echo "  $paced_report"
    e2e_check "paced fetch within 5 % of the line rate" awk -v r="$paced_report" \
        'BEGIN { match(r, /[-+][0-9.]+ %/); v = substr(r, RSTART, RLENGTH - 2) + 0; exit (v < -5 || v > 5) }'
}

# Ctrl-C (SIGINT to the Wine process, which Wine hands to the console handler) stops a
# running fetch with status 9 and leaves the file that was there.
e2e_interrupt() {
    echo "Ctrl-C during a paced fetch"
    printf 'old image' >"$work/win/kept.KEL"
    # Started directly, not through a shell function, so that $! is the program's own process.
    wine "$build/bin/kelctl.exe" --settings "$(winpath "$work/Setting.ini")" \
        fetch "$(winpath "$work/win/kept.KEL")" >/dev/null 2>"$work/win/interrupt.err" &
    local pid=$! status=0
    sleep 4
    kill -INT "$pid"
    wait "$pid" || status=$?
    e2e_check "status 9 after Ctrl-C (got $status)" test "$status" -eq 9
    e2e_check "the old file is intact" cmp -s "$work/win/kept.KEL" <(printf 'old image')
}

# The sensor's line going away in the middle of a transfer is a failure, reported, not a hang.
e2e_unplug() {
    echo "Line gone during a paced fetch"
    e2e_start_sim --baud 38400
    kelctl_win fetch "$(winpath "$work/win/unplugged.KEL")" >/dev/null 2>"$work/win/unplug.err" &
    local pid=$! status=0
    sleep 4
    e2e_stop_sim
    local waited=0
    while kill -0 "$pid" 2>/dev/null && [ $waited -lt 60 ]; do sleep 1; waited=$((waited + 1)); done
    wait "$pid" || status=$?
    e2e_check "a failure status after the line went away (got $status in ${waited} s)" \
        test "$status" -ne 0 -a "$status" -ne 9
    sed 's/^/    /' "$work/win/unplug.err" | tail -n 2
}
