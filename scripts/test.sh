#!/usr/bin/env bash
# Builds everything and runs every test; then builds again with AddressSanitizer and
# UndefinedBehaviorSanitizer and runs the unit tests there.
set -euo pipefail
cd "$(dirname "$0")/.."

BUILD_DIR=build scripts/setup.sh
ctest --test-dir build --output-on-failure -j "$(nproc)"

BUILD_DIR=build-asan BUILD_TYPE=Debug scripts/setup.sh -DVANTOR_SANITIZE=ON -DVANTOR_WITH_QT=OFF
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan -L unit --output-on-failure -j "$(nproc)"
