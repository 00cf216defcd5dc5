#!/bin/sh
# Installs what building, running and testing DanceEntry needs on Debian 12 (run as root): the program and its
# tests (g++, Qt 6 and Qt's own Japanese texts), the fuzz targets (clang with libFuzzer), the benchmarks (Google
# Benchmark), and setpriv (util-linux), with which the fault tests run a child process as another user.
set -e
export DEBIAN_FRONTEND=noninteractive
apt-get update
apt-get install -y --no-install-recommends \
    cmake make g++ qt6-base-dev libqt6test6 qt6-translations-l10n fonts-ipafont-gothic ca-certificates \
    clang libclang-rt-14-dev libbenchmark-dev util-linux
