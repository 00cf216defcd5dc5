#!/bin/sh
# Builds DanceEntry with AddressSanitizer and UndefinedBehaviorSanitizer and runs every test headless; then
# builds the readers' libFuzzer targets with clang and gives each a short bounded run.
set -e
cd "$(dirname "$0")/.."
# Line tables are enough for the sanitizers' stack traces and build faster than full debug information.
cmake -S . -B build/test -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-g1 -DDANCEENTRY_SANITIZE=ON
cmake --build build/test -j2
QT_QPA_PLATFORM=offscreen ctest --test-dir build/test --output-on-failure -j2

cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDANCEENTRY_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++
cmake --build build/fuzz -j2
ctest --test-dir build/fuzz --output-on-failure -j2
