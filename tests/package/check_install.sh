#!/bin/sh
# Installs the build tree into DESTDIR with the prefix /usr, as the Debian package does, and checks the result:
# exactly the expected files, the programs executable, the menu entry pointing at an installed program and icon,
# the desktop entry and AppStream metadata valid, the 256 px icon really 256 px, the type of entry files valid and
# known to the menu entry, the manual pages (English, and Japanese where `man -L ja` finds them) clean, and the
# user guide installed with every picture it shows.
# Usage: check_install.sh CMAKE BUILD_DIR DESTDIR
set -eu
cmake=$1
build=$2
root=$3
app_id=io.github.danceentry.DanceEntry
desktop=usr/share/applications/$app_id.desktop
metainfo=usr/share/metainfo/$app_id.metainfo.xml
png=usr/share/icons/hicolor/256x256/apps/$app_id.png
mime=usr/share/mime/packages/$app_id.xml

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

rm -rf "$root"
# The guide's pictures: every one the guide shows, as the source tree holds them.
source_dir=$(sed -n 's/^CMAKE_HOME_DIRECTORY:INTERNAL=//p' "$build/CMakeCache.txt")
guide_pictures=$(cd "$source_dir/docs" && ls guide/*.png | sed 's|^|usr/share/danceentry/|')
DESTDIR=$root "$cmake" --install "$build" --prefix /usr >/dev/null

# Every file of the package, and nothing else: a forgotten install rule and a stray file are both faults.
expected="usr/bin/danceentry
usr/bin/danceentry-tool
$desktop
$metainfo
usr/share/icons/hicolor/scalable/apps/$app_id.svg
$png
$mime
usr/share/man/man1/danceentry.1.gz
usr/share/man/man1/danceentry-tool.1.gz
usr/share/man/ja/man1/danceentry.1.gz
usr/share/man/ja/man1/danceentry-tool.1.gz
usr/share/danceentry/guide-ja.md
$guide_pictures
usr/share/doc/danceentry/LICENSE
usr/share/doc/danceentry/README.md
usr/share/doc/danceentry/user-reference.md
usr/share/doc/danceentry/copyright
usr/share/doc/danceentry/changelog.gz"
lists=$(mktemp -d)
trap 'rm -rf "$lists"' EXIT
printf '%s\n' "$expected" | LC_ALL=C sort >"$lists/expected"
(cd "$root" && find . ! -type d | sed 's|^\./||' | LC_ALL=C sort) >"$lists/found"
missing=$(LC_ALL=C comm -23 "$lists/expected" "$lists/found")
extra=$(LC_ALL=C comm -13 "$lists/expected" "$lists/found")
[ -z "$missing" ] || fail "not installed: $missing"
[ -z "$extra" ] || fail "installed but not expected: $extra"
for file in $expected; do
    [ ! -f "$root/$file" ] || [ -s "$root/$file" ] || fail "$file is empty"
done
for program in danceentry danceentry-tool; do
    [ -x "$root/usr/bin/$program" ] || fail "usr/bin/$program is not executable"
done

desktop-file-validate "$root/$desktop" || fail "desktop-file-validate rejects $desktop"
appstreamcli validate --no-net "$root/$metainfo" || fail "appstreamcli rejects $metainfo"

# The menu entry starts an installed program and shows an installed icon; the metadata names both programs.
program=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$root/$desktop")
[ -n "$program" ] && [ -x "$root/usr/bin/$program" ] || fail "Exec=$program is not an installed program"
icon=$(sed -n 's/^Icon=//p' "$root/$desktop")
[ -f "$root/usr/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "Icon=$icon has no installed SVG icon"
[ -f "$root/usr/share/icons/hicolor/256x256/apps/$icon.png" ] || fail "Icon=$icon has no installed 256 px icon"
grep -q "<launchable type=\"desktop-id\">$(basename "$desktop")</launchable>" "$root/$metainfo" ||
    fail "the metadata does not launch $(basename "$desktop")"
for binary in $(sed -n 's|.*<binary>\(.*\)</binary>.*|\1|p' "$root/$metainfo"); do
    [ -x "$root/usr/bin/$binary" ] || fail "the metadata provides $binary, which is not installed"
done

file -b "$root/$png" | grep -q '^PNG image data, 256 x 256,' || fail "$png is not a 256 x 256 PNG"

# The type of entry files: well-formed, taken by update-mime-database (which builds a database beside the installed
# tree, not the system's) with *.ent above the XML entity type that also claims it, its comments in English and
# Japanese, an installed icon, and named by the menu entry.
mimetype=application/x-danceentry-entry
xmllint --noout "$root/$mime" || fail "xmllint rejects $mime"
mimedb="$lists/mime"
mkdir -p "$mimedb/packages"
cp "$root/$mime" "$mimedb/packages/"
if ! messages=$(XDG_DATA_HOME=$lists update-mime-database "$mimedb" 2>&1) || [ -n "$messages" ]; then
    fail "update-mime-database rejects $mime: $messages"
fi
[ -f "$mimedb/$mimetype.xml" ] || fail "update-mime-database made no $mimetype from $mime"
grep -q "^60:$mimetype:\*\.ent\$" "$mimedb/globs2" 2>/dev/null || fail "*.ent is not $mimetype with weight 60"
grep -q '<comment>DanceEntry entry file</comment>' "$root/$mime" || fail "$mime has no English comment"
grep -q '<comment xml:lang="ja">DanceEntry エントリーファイル</comment>' "$root/$mime" ||
    fail "$mime has no Japanese comment"
mimeicon=$(sed -n 's/.*<icon name="\([^"]*\)".*/\1/p' "$root/$mime")
[ "$mimeicon" = "$icon" ] || fail "$mime shows the icon '$mimeicon', not the program's '$icon'"
grep -q "^MimeType=.*$mimetype;" "$root/$desktop" || fail "$desktop does not name $mimetype in MimeType="

# The guide shows pictures that are installed beside it.
for picture in $(sed -n 's/.*](\(guide\/[^)]*\.png\)).*/\1/p' "$root/usr/share/danceentry/guide-ja.md"); do
    [ -f "$root/usr/share/danceentry/$picture" ] || fail "the guide shows $picture, which is not installed"
done

# The manual pages are read as man-db reads them; groff's warnings mean a page that renders wrongly. The Japanese
# ones are those `man -L ja` finds.
for page in danceentry danceentry-tool; do
    found=$(MANPATH=$root/usr/share/man man -L ja -w "$page" 2>/dev/null)
    [ "$found" = "$root/usr/share/man/ja/man1/$page.1.gz" ] || fail "man -L ja $page finds '$found'"
done
for page in "$root"/usr/share/man/man1/*.1.gz "$root"/usr/share/man/ja/man1/*.1.gz; do
    gzip -t "$page" || fail "$page is not a valid gzip file"
    warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "$page: $warnings"
done

if [ "$failures" -ne 0 ]; then
    echo "$failures packaging check(s) failed" >&2
    exit 1
fi
echo "installed tree in $root passes every packaging check"
