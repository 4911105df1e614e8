#!/usr/bin/env bash
# Packs the build tree with CPack, as scripts/package packs build/release, and puts the package
# through the check scripts/package applies: lintian must pass it with no error and no warning
# (the copyright file, the changelog, the description and everything the install rules add).
# A copy altered to raise one warning must be refused, because lintian by itself passes a
# package with warnings.
# This tree's program is the sanitizer build, so the hardening of the program is checked by
# scripts/package on build/release and not here.
# Usage: package_test.sh BUILD_TREE
set -uo pipefail
build=$1
source "$(dirname "$0")/../../scripts/lib.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if ! (cd "$build" && cpack -G DEB -B "$work/package" >"$work/cpack.log" 2>&1); then
  cat "$work/cpack.log"; exit 1
fi
deb=$(echo "$work"/package/quillmark_*.deb)
[[ -f $deb ]] || { echo "FAIL: CPack made no package"; exit 1; }

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

if ! out=$(lint_package "$deb" 2>&1); then
  fail "the check refuses the package:"; echo "$out"
elif grep -E '^[EW]: ' <<<"$out"; then
  fail "the check passes a package with the errors or warnings above"
fi

# A copy whose only fault is a warning: the changelog compressed with a time stamp later than its
# newest entry, as gzip without -n leaves it. lintian alone would pass it.
altered=$work/altered
dpkg-deb -R "$deb" "$altered"
(
  cd "$altered" || exit 1
  changelog=usr/share/doc/quillmark/changelog.gz
  zcat "$changelog" >"$work/changelog" && touch -d 2099-01-01 "$work/changelog" &&
    gzip -9 -c "$work/changelog" >"$changelog" &&
    find usr -type f -print0 | sort -z | xargs -0 md5sum >DEBIAN/md5sums
) || fail "could not alter the package"
dpkg-deb --root-owner-group -b "$altered" "$work/altered.deb" >/dev/null
if out=$(lint_package "$work/altered.deb" 2>&1); then
  fail "the check passes a package with a warning:"; echo "$out"
elif [[ $(grep -E '^[EW]: ' <<<"$out") != "W: quillmark: package-contains-timestamped-gzip "* ]]
then
  fail "the altered package is refused for something else:"; echo "$out"
fi

if ((failures)); then echo "$failures failures"; exit 1; fi
echo "the package passes lintian without errors or warnings, and a warning is refused"
