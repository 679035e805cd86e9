#!/bin/sh
# Runs one fuzz target: tests/fuzz/run.sh TARGET SECONDS [libFuzzer options...]
#   TARGET   kel_file, raw_file, bitmap_file, profile_file, settings_file, message_lines,
#            label_lines, command_reply, xmodem_receive or xmodem_send
#   SECONDS  how long to run (0: no limit, e.g. with -runs=1000000)
# Builds the targets first in build-fuzz (clang, ASan, UBSan). New inputs go to a working corpus
# in the build folder; the seeds in corpus/TARGET stay as they are.
set -eu

if [ $# -lt 2 ]; then
    echo "usage: $0 TARGET SECONDS [libFuzzer options...]" >&2
    exit 2
fi
target=$1
seconds=$2
shift 2

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${KEL_FUZZ_BUILD:-$root/build-fuzz}

if [ ! -d "$here/corpus/$target" ]; then
    echo "$0: no target '$target'; targets: $(ls "$here/corpus" | tr '\n' ' ')" >&2
    exit 2
fi
if [ ! -f "$build/build.ninja" ]; then
    CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DKEL_FUZZ=ON \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$build" --target "fuzz_$target"

work="$build/corpus/$target"
mkdir -p "$work"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
# What the system's libraries keep for the whole process (font caches) is not ours to free.
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$root/tests/sanitizers/lsan.supp:print_suppressions=0}
exec "$build/bin/fuzz_$target" -max_total_time="$seconds" -rss_limit_mb=2048 -malloc_limit_mb=64 \
    -artifact_prefix="$build/" "$@" "$work" "$here/corpus/$target"
