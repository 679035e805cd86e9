#!/usr/bin/env bash
# Photographs the window looking into a picture (zoomed to 400 % with the readout, the figures
# of a rectangle, the comparison with a reference) in Japanese and English, into
# docs/picture-view-ja.png and docs/picture-view-en.png.
#   scripts/picture-shots.sh [BUILD_DIR]     (default: build)
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$here/build}
cmake --build "$build" --target test_picture_view ${JOBS:+-j "$JOBS"}
for pair in Japanese:ja English:en; do
    QT_QPA_PLATFORM=offscreen KEL_PICTURE_SHOT_LANGUAGE=${pair%%:*} \
        KEL_PICTURE_SHOT=$here/docs/picture-view-${pair##*:}.png \
        "$build/tests/test_picture_view" --gtest_filter=PictureShot.*
done
