#!/bin/sh
# Installs what building, running and testing DanceEntry needs on Debian 12 (run as root).
set -e
export DEBIAN_FRONTEND=noninteractive
apt-get update
apt-get install -y --no-install-recommends \
    cmake make g++ qt6-base-dev libqt6test6 fonts-ipafont-gothic ca-certificates
