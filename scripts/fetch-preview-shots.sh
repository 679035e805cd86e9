#!/usr/bin/env bash
# Photographs a fetch half-way (its picture building up, the bytes and the time left) in
# Japanese and English under a virtual X display, into docs/fetch-preview-ja.png and
# docs/fetch-preview-en.png. Needs a build configured with -DKEL_BENCHMARKS=ON and the
# Debian packages xvfb and imagemagick; takes about a minute.
#   scripts/fetch-preview-shots.sh [BUILD_DIR]     (default: build)
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$here/build}
cmake --build "$build" --target bench_fetch_preview ${JOBS:+-j "$JOBS"}

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 780x640x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null || true' EXIT
sleep 1

for pair in Japanese:ja English:en; do
    DISPLAY=$display QT_QPA_PLATFORM=xcb KEL_FETCH_SHOT_LANGUAGE=${pair%%:*} \
        KEL_FETCH_SHOT=$here/docs/fetch-preview-${pair##*:}.png \
        "$build/tests/bench_fetch_preview" --gtest_filter=FetchShot.*
done
