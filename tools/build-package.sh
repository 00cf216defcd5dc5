#!/bin/sh
# Builds the Debian package of DanceEntry: installs what is needed (skip with --no-deps), builds a Release tree
# without tests in build/package with Debian's hardening flags, and packs it with CPack. The package's path is
# the last line of the output.
set -e
cd "$(dirname "$0")/.."
if [ "${1:-}" != "--no-deps" ]; then
    ./tools/install-deps.sh
fi

# Debian's compiler and linker flags: fortified functions, stack protector, read-only relocations, bind now.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
ldflags=$(dpkg-buildflags --get LDFLAGS)

cmake -S . -B build/package -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DDANCEENTRY_SANITIZE=OFF \
    -DCMAKE_INSTALL_PREFIX=/usr -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags"
cmake --build build/package -j2
(cd build/package && cpack -G DEB) | tee build/package/cpack.log
package=$(sed -n 's/^CPack: - package: \(.*\) generated\.$/\1/p' build/package/cpack.log)
if [ ! -f "$package" ]; then
    echo "CPack did not report the package it made; see build/package/cpack.log" >&2
    exit 1
fi
echo "$package"
