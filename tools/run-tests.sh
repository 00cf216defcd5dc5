#!/bin/sh
# Builds DanceEntry with AddressSanitizer and UndefinedBehaviorSanitizer and runs every test headless.
set -e
cd "$(dirname "$0")/.."
cmake -S . -B build/test -DCMAKE_BUILD_TYPE=Debug -DDANCEENTRY_SANITIZE=ON
cmake --build build/test -j2
QT_QPA_PLATFORM=offscreen ctest --test-dir build/test --output-on-failure -j2
