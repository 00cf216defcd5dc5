#!/bin/sh
# Installs what building, running and testing DanceEntry needs on Debian 12 (run as root): the program and its
# tests (g++, Qt 6, Qt's Japanese translations), the fuzz targets (clang with libFuzzer), the benchmarks (Google
# Benchmark), setpriv (util-linux), with which the fault tests run a child process as another user, poppler-utils
# (pdftotext, pdfinfo, pdffonts), with which the print tests read the printed pages back, and what builds and
# checks the package: rsvg-convert draws the 256 px icon, desktop-file-validate, appstreamcli, xmllint,
# update-mime-database and man check the installed files, dpkg-dev and file let CPack compute the package's
# dependencies, lintian checks it.
set -e
export DEBIAN_FRONTEND=noninteractive
apt-get update
apt-get install -y --no-install-recommends \
    cmake make g++ qt6-base-dev libqt6test6 qt6-translations-l10n fonts-ipafont-gothic ca-certificates \
    clang libclang-rt-14-dev libbenchmark-dev util-linux poppler-utils \
    librsvg2-bin desktop-file-utils appstream libxml2-utils shared-mime-info man-db gzip dpkg-dev file lintian
