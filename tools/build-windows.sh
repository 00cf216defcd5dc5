#!/bin/sh
# Cross-builds DanceEntry for Windows (64-bit) on Debian 12 and packs what a club uses:
#   build/windows/DanceEntry-VERSION-win64.zip    portable: unzip and run (a USB stick)
#   build/windows/DanceEntry-VERSION-setup.exe    per-user installer (NSIS)
# Everything comes from Debian's packages: the mingw-w64 cross compilers, and Qt built statically from Debian's
# own qt6-base source package (apt-get source), with Debian's Qt host tools (moc, rcc, uic) as the host Qt.
# Qt is built once into a cache folder outside the checkout and reused while its version and options stay the same.
#
#   tools/build-windows.sh            install what is missing, build Qt if not cached, build and pack the program
#   tools/build-windows.sh --qt-only  stop after Qt
# DANCEENTRY_QT_CACHE overrides the cache folder (default /var/cache/danceentry-windows-qt).
set -eu
cd "$(dirname "$0")/.."
ROOT=$(pwd)
QT_ONLY=0
[ "${1:-}" = --qt-only ] && QT_ONLY=1
SUDO=
[ "$(id -u)" = 0 ] || SUDO=sudo
export DEBIAN_FRONTEND=noninteractive

# --- What the build needs, installed only when missing -----------------------------------------------------------
NEEDED="cmake ninja-build g++-mingw-w64-x86-64-posix mingw-w64-tools dpkg-dev qt6-base-dev qt6-base-dev-tools
qt6-translations-l10n fonts-ipafont-gothic wine64 nsis librsvg2-bin xauth xvfb poppler-utils"
MISSING=
for package in $NEEDED; do
    dpkg-query -W -f='${Status}\n' "$package" 2>/dev/null | grep -q '^install ok installed$' ||
        MISSING="$MISSING $package"
done
if [ -n "$MISSING" ]; then
    echo "Installing:$MISSING"
    $SUDO apt-get update
    # shellcheck disable=SC2086
    $SUDO apt-get install -y --no-install-recommends $MISSING
fi

# --- Qt for Windows, static, cached -------------------------------------------------------------------------------
QT_VERSION=$(dpkg-query -W -f='${Version}' qt6-base-dev) # the same Qt as the Linux build, e.g. 6.4.2+dfsg-10
# Only the modules the program and its tests use: Core, Gui, Widgets, PrintSupport, Test, with the windows and
# offscreen platform plugins. Wintab's header is not in Debian's source, hence no tablet events.
QT_OPTIONS="-xplatform win32-g++ -release -static -nomake examples -nomake tests -no-opengl -no-dbus -no-icu
-no-feature-tabletevent -no-feature-sql -no-feature-network -no-feature-xml -no-feature-concurrent
-no-feature-direct2d -no-feature-vulkan"
TOOLCHAIN_TEXT='set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)'
QT_KEY=$(printf '%s\n%s\n%s\n' "$QT_VERSION" "$QT_OPTIONS" "$TOOLCHAIN_TEXT" | sha256sum | cut -c1-12)
QT_CACHE_ROOT=${DANCEENTRY_QT_CACHE:-/var/cache/danceentry-windows-qt}
QT_PREFIX=$QT_CACHE_ROOT/$(echo "$QT_VERSION" | tr -c 'A-Za-z0-9.\n' '-')-$QT_KEY
HOST_CMAKE_DIR=$(dirname "$(dirname "$(dpkg -L qt6-base-dev | grep '/cmake/Qt6/Qt6Config.cmake$')")")

if [ -f "$QT_PREFIX/.complete" ]; then
    echo "Qt for Windows: cached in $QT_PREFIX"
else
    echo "Qt for Windows: building into $QT_PREFIX (about 20 minutes on 2 cores)"
    $SUDO mkdir -p "$QT_CACHE_ROOT"
    $SUDO chown "$(id -u):$(id -g)" "$QT_CACHE_ROOT"
    WORK=$QT_CACHE_ROOT/work-$QT_KEY
    rm -rf "$WORK" "$QT_PREFIX"
    mkdir -p "$WORK" "$QT_PREFIX"
    # The toolchain stays with the built Qt: the program is configured with it too.
    printf '%s\n' "$TOOLCHAIN_TEXT" >"$QT_PREFIX/mingw-w64.cmake"
    # A source entry made from the system's own apt sources, so no host name is written here.
    SOURCES=/etc/apt/sources.list.d/debian.sources
    if ! grep -qs '^Types:.*deb-src' /etc/apt/sources.list.d/*.sources; then
        sed 's/^Types: deb$/Types: deb-src/' "$SOURCES" | $SUDO tee /etc/apt/sources.list.d/danceentry-deb-src.sources \
            >/dev/null
        $SUDO apt-get update
    fi
    (cd "$WORK" && apt-get source --only-source "qt6-base=$QT_VERSION")
    SRC=$(find "$WORK" -mindepth 1 -maxdepth 1 -type d -name 'qt6-base-*' | head -n 1)
    mkdir -p "$WORK/build"
    LAUNCHER=
    command -v ccache >/dev/null && LAUNCHER=-DCMAKE_CXX_COMPILER_LAUNCHER=ccache
    # shellcheck disable=SC2086
    (cd "$WORK/build" && "$SRC/configure" -prefix "$QT_PREFIX" -qt-host-path /usr $QT_OPTIONS -- \
        -DQT_HOST_PATH_CMAKE_DIR="$HOST_CMAKE_DIR" -DCMAKE_TOOLCHAIN_FILE="$QT_PREFIX/mingw-w64.cmake" $LAUNCHER)
    cmake --build "$WORK/build" --parallel "$(nproc)"
    cmake --install "$WORK/build"
    touch "$QT_PREFIX/.complete"
    rm -rf "$WORK"
fi
[ "$QT_ONLY" = 1 ] && exit 0

# --- The program, its tests and what a club uses --------------------------------------------------------------------
VERSION=$(sed -n 's/^project(DanceEntry VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
OUT=$ROOT/build/windows
mkdir -p "$OUT"

# The program's icon, drawn from the SVG at the sizes Windows shows, in one .ico (PNG images inside).
ICON=$OUT/danceentry.ico
if [ ! -f "$ICON" ] || [ packaging/io.github.danceentry.DanceEntry.svg -nt "$ICON" ]; then
    SIZES="16 24 32 48 64 256"
    for size in $SIZES; do
        rsvg-convert -w "$size" -h "$size" packaging/io.github.danceentry.DanceEntry.svg -o "$OUT/icon-$size.png"
    done
    le16() { printf "\\$(printf %03o $(($1 & 255)))\\$(printf %03o $(($1 >> 8 & 255)))"; }
    le32() { le16 $(($1 & 65535)); le16 $(($1 >> 16 & 65535)); }
    {
        count=$(echo $SIZES | wc -w)
        le16 0; le16 1; le16 "$count"
        offset=$((6 + 16 * count))
        for size in $SIZES; do
            bytes=$(stat -c %s "$OUT/icon-$size.png")
            # width and height 0 mean 256
            le16 $(( (size & 255) | (size & 255) << 8 )); le16 0; le16 1; le16 32
            le32 "$bytes"; le32 "$offset"
            offset=$((offset + bytes))
        done
        for size in $SIZES; do cat "$OUT/icon-$size.png"; done
    } >"$ICON.part"
    mv "$ICON.part" "$ICON"
    for size in $SIZES; do rm -f "$OUT/icon-$size.png"; done
fi

LAUNCHER=
command -v ccache >/dev/null && LAUNCHER=-DCMAKE_CXX_COMPILER_LAUNCHER=ccache
# shellcheck disable=SC2086
cmake -S . -B "$OUT/build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$QT_PREFIX/mingw-w64.cmake" \
    -DCMAKE_PREFIX_PATH="$QT_PREFIX" -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR="$HOST_CMAKE_DIR" \
    -DDANCEENTRY_PCH=OFF -DDANCEENTRY_WINDOWS_ICON="$ICON" $LAUNCHER
cmake --build "$OUT/build" --parallel "$(nproc)"

# The files a club gets, the same in the zip and the installer.
NAME=DanceEntry-$VERSION-win64
STAGE=$OUT/stage/$NAME
rm -rf "$OUT/stage"
mkdir -p "$STAGE/translations" "$STAGE/fonts" "$STAGE/doc/guide"
x86_64-w64-mingw32-strip -o "$STAGE/danceentry.exe" "$OUT/build/app/danceentry.exe"
x86_64-w64-mingw32-strip -o "$STAGE/danceentry-tool.exe" "$OUT/build/tool/danceentry-tool.exe"
cp /usr/share/qt6/translations/qtbase_ja.qm "$STAGE/translations/"
cp /usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf /usr/share/fonts/opentype/ipafont-gothic/ipag.ttf "$STAGE/fonts/"
sed 's/$/\r/' /usr/share/doc/fonts-ipafont-gothic/copyright >"$STAGE/fonts/IPA_Font_License.txt"
sed 's/$/\r/' LICENSE >"$STAGE/LICENSE.txt"
cp docs/guide-ja.md "$STAGE/doc/"
cp docs/guide/*.png "$STAGE/doc/guide/"
# The test programs find Qt's texts, the fonts and the guide beside themselves, as the installed program does.
cp -r "$STAGE/translations" "$STAGE/fonts" "$STAGE/doc" "$OUT/build/tests/"

rm -f "$OUT/$NAME.zip"
(cd "$OUT/stage" && cmake -E tar cf "$OUT/$NAME.zip" --format=zip "$NAME")
makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$VERSION" -DSTAGE="$STAGE" -DICON="$ICON" \
    -DOUTFILE="$OUT/DanceEntry-$VERSION-setup.exe" packaging/windows/danceentry.nsi
echo "Built: $OUT/$NAME.zip"
echo "Built: $OUT/DanceEntry-$VERSION-setup.exe"
