#!/usr/bin/env bash
# One entry point for a fresh Debian machine:
#   scripts/quickstart.sh run    install what is needed, build, start the GUI against the
#                                simulated sensor kelsim
#   scripts/quickstart.sh test   install what is needed, build, run every test; then build again
#                                with AddressSanitizer and UndefinedBehaviorSanitizer and run
#                                every test once more there
# BUILD_DIR (default: build) chooses the build folder, SANITIZE_BUILD_DIR (default: build-asan)
# the sanitizer build's; SANITIZE=0 leaves the sanitizer run out; JOBS the parallel build jobs.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${BUILD_DIR:-$here/build}
sanitize_build=${SANITIZE_BUILD_DIR:-$here/build-asan}
mode=${1:-}

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-serialport-dev qt6-translations-l10n
    libgtest-dev
    libbenchmark-dev        # the benchmarks are compiled with the tests, so they keep building
    fonts-noto-cjk          # Japanese captions
    python3-pil imagemagick # independent bitmap readers for the interoperability tests
    python3-numpy           # independent figures for kelctl stats and compare
    lrzsz socat             # independent XMODEM peer and pseudo-terminal pairs
    ser2net                 # a serial device server in front of kelsim for the network tests
    xvfb xauth              # a display for the GUI where there is none
)

install_packages() {
    local missing=()
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
}

build_all() {
    cmake -S "$here" -B "$build" -G Ninja "$@"
    cmake --build "$build" ${JOBS:+-j "$JOBS"}
}

run_tests() {
    (cd "$1" && ctest --output-on-failure -j "$(nproc)" --timeout "$2" -LE bench)
}

# The whole suite again with every program, library and test instrumented; a report of either
# sanitizer fails its test. Leaks count too, except those of the system's libraries listed in
# the suppressions file.
sanitizer_run() {
    cmake -S "$here" -B "$sanitize_build" -G Ninja -DKEL_SANITIZE=ON
    cmake --build "$sanitize_build" ${JOBS:+-j "$JOBS"}
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=1 \
        UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        LSAN_OPTIONS=suppressions=$here/tests/sanitizers/lsan.supp:print_suppressions=0 \
        run_tests "$sanitize_build" 600
}

case "$mode" in
run)
    install_packages
    build_all
    cd "$build/bin"
    # The simulated sensor, on a pseudo-terminal reached through a link that stays the same
    # from run to run; it points the "Device" key of Setting.ini at that link and keeps its
    # banks in the build folder.
    sim_link="$build/kelsim.pty"
    if [ -L "$sim_link" ]; then rm -f "$sim_link"; fi # left by a kelsim that was killed
    ./kelsim --link "$sim_link" --settings "$build/bin/Setting.ini" \
        --state "$build/kelsim-state" >/dev/null 2>"$build/kelsim.log" &
    sim_pid=$!
    trap 'kill "$sim_pid" 2>/dev/null; wait "$sim_pid" 2>/dev/null || true' EXIT
    trap 'exit 130' INT TERM HUP
    for _ in $(seq 100); do
        [ -L "$sim_link" ] && break
        if ! kill -0 "$sim_pid" 2>/dev/null; then
            cat "$build/kelsim.log" >&2
            exit 1
        fi
        sleep 0.1
    done
    echo "Simulated sensor kelsim on $sim_link (log: $build/kelsim.log)"
    if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
        echo "No display: starting the GUI under Xvfb (nothing will be visible)."
        xvfb-run -a ./keltool
    else
        ./keltool
    fi
    ;;
test)
    install_packages
    build_all -DKEL_BENCHMARKS=ON # compiled, never run here: they take minutes and a quiet machine
    run_tests "$build" 300
    if [ "${SANITIZE:-1}" != 0 ]; then
        sanitizer_run
    fi
    ;;
*)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac
