#!/usr/bin/env bash
# Installs the build tree into a temporary DESTDIR under /usr, as the Debian package does, and
# checks what a desktop finds there: exactly the expected files, icons of the size their folder
# names, a desktop entry and metadata that their validators accept and that agree with each
# other and with the program, and a manual page that formats cleanly and names every option.
# Usage: install_test.sh BUILD_TREE VERSION APP_ID
set -uo pipefail
build=$1 version=$2 app_id=$3

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
if ! DESTDIR="$stage" cmake --install "$build" --prefix /usr >"$stage.log" 2>&1; then
  cat "$stage.log"; rm -f "$stage.log"; exit 1
fi
rm -f "$stage.log"
usr=$stage/usr

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Exactly these files, nothing from the tests or the libraries they build.
sizes=(16 22 24 32 48 64 128 256)
expected=(
  bin/quillmark
  lib/udev/rules.d/60-quillmark-pedals.rules
  share/applications/quillmark.desktop
  share/doc/quillmark/changelog.gz
  share/doc/quillmark/copyright
  share/icons/hicolor/scalable/apps/quillmark.svg
  share/man/man1/quillmark.1.gz
  "share/metainfo/$app_id.metainfo.xml"
)
for size in "${sizes[@]}"; do expected+=("share/icons/hicolor/${size}x${size}/apps/quillmark.png"); done
installed=$(cd "$stage" && find . ! -type d | sed 's|^\./||' | sort)
wanted=$(printf 'usr/%s\n' "${expected[@]}" | sort)
if [[ "$installed" != "$wanted" ]]; then
  fail "installed files differ from the expected ones:"
  diff <(echo "$wanted") <(echo "$installed") | sed 's/^/    /'
fi

# The program runs from where it was installed and knows its version.
[[ -x $usr/bin/quillmark ]] || fail "bin/quillmark is not executable"
shown=$(ASAN_OPTIONS=detect_leaks=0 "$usr/bin/quillmark" --version 2>&1)
[[ "$shown" == "quillmark $version" ]] || fail "quillmark --version printed '$shown'"

for size in "${sizes[@]}"; do
  png=$usr/share/icons/hicolor/${size}x${size}/apps/quillmark.png
  [[ -f $png ]] || continue
  got=$(identify -format '%wx%h %[channels]' "$png" 2>&1)
  [[ "$got" == "${size}x${size} srgba" ]] || fail "$png is '$got', wanted ${size}x${size} with alpha"
done

desktop=$usr/share/applications/quillmark.desktop
metainfo=$usr/share/metainfo/$app_id.metainfo.xml
if ! out=$(desktop-file-validate "$desktop" 2>&1) || [[ -n $out ]]; then
  fail "desktop-file-validate: $out"
fi
if ! out=$(appstreamcli validate --no-net --pedantic "$metainfo" 2>&1); then
  fail "appstreamcli validate: $out"
fi
grep -qx 'Exec=quillmark %f' "$desktop" || fail "the desktop entry does not start 'quillmark %f'"
grep -qx 'Icon=quillmark' "$desktop" || fail "the desktop entry's icon is not the installed one"
grep -q '<launchable type="desktop-id">quillmark.desktop</launchable>' "$metainfo" ||
  fail "the metadata does not launch quillmark.desktop"
grep -q "<release version=\"$version\"" "$metainfo" ||
  fail "the metadata has no release $version"

# The manual page: formats without a warning and describes every option the program lists.
man=$usr/share/man/man1/quillmark.1.gz
if ! out=$(zcat "$man" | groff -man -Tutf8 -ww -z 2>&1) || [[ -n $out ]]; then
  fail "the manual page does not format cleanly: $out"
fi
zcat "$man" | grep -q "\"Quillmark $version\"" || fail "the manual page is not of version $version"
options=$(ASAN_OPTIONS=detect_leaks=0 "$usr/bin/quillmark" --help | grep -oE -- '--[a-z][a-z-]*' | sort -u)
for option in $options; do
  zcat "$man" | grep -qF -- "${option//-/\\-}" || fail "the manual page does not describe $option"
done

# Every pedal the udev file names is given to the seat's user, and no device to anyone wider.
rules=$usr/lib/udev/rules.d/60-quillmark-pedals.rules
while IFS= read -r line; do
  [[ -z $line || $line == \#* ]] && continue
  if [[ $line == *idVendor* && $line != *'TAG+="uaccess"'* ]]; then
    fail "udev rule without uaccess: $line"
  fi
  [[ $line == *MODE* || $line == *GROUP* ]] && fail "udev rule opens the device wider: $line"
done <"$rules"
grep -q 'TAG+="uaccess"' "$rules" || fail "the udev file has no rule"

if ((failures)); then echo "$failures failures"; exit 1; fi
echo "installed files, desktop entry, metadata, icons, manual page and udev rules: all good"
