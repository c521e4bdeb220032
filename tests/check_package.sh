#!/usr/bin/env bash
# Builds the Debian package of the build folder given as the argument with CPack and checks what
# a Debian user relies on: computed dependencies (libc among them), a stripped program, the
# manual page, the copyright file and the changelog. Runs lintian when it is installed: no errors
# and no warnings (info and pedantic notes are allowed).
set -euo pipefail

build=${1:?usage: check_package.sh <build folder>}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

cpack --config "$build/CPackConfig.cmake" -B "$work" >/dev/null
deb=$(find "$work" -maxdepth 1 -name 'tourwise_*.deb' | head -n 1)
[ -n "$deb" ] || { echo "FAIL: cpack made no .deb"; exit 1; }

depends=$(dpkg-deb --field "$deb" Depends)
[[ "$depends" == *"libc6"* ]] || fail "Depends has no libc6: $depends"
[[ "$depends" == *"libqt6widgets6"* ]] || fail "Depends has no libqt6widgets6: $depends"
[[ "$depends" == *"libsqlite3-0"* ]] || fail "Depends has no libsqlite3-0: $depends"

contents=$(dpkg-deb --contents "$deb")
for path in ./usr/bin/tourwise ./usr/share/man/man1/tourwise.1.gz \
    ./usr/share/doc/tourwise/copyright ./usr/share/doc/tourwise/changelog.gz; do
    grep -q " $path\$" <<<"$contents" || fail "no $path in the package"
done

tree="$work/tree"
dpkg-deb --extract "$deb" "$tree"
# A stripped program has no symbol table left.
! readelf --section-headers "$tree/usr/bin/tourwise" | grep -q '\.symtab' ||
    fail "usr/bin/tourwise is not stripped"
head -n 1 "$tree/usr/share/doc/tourwise/copyright" |
    grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
    fail "the copyright file is not machine-readable"
changelog_version=$(zcat "$tree/usr/share/doc/tourwise/changelog.gz" | sed -n '1s/^tourwise (\([^)]*\)).*/\1/p')
[ "$changelog_version" = "$(dpkg-deb --field "$deb" Version)" ] ||
    fail "the changelog's newest entry ($changelog_version) is not the package version"
# The manual page names every option of --help.
manual=$(zcat "$tree/usr/share/man/man1/tourwise.1.gz" | sed 's/\\-/-/g')
for option in export-ics print-pdf from to year month assignment help version; do
    grep -q -- "--$option" <<<"$manual" || fail "the manual page does not name --$option"
done

if command -v lintian >/dev/null; then
    status=0
    output=$(lintian --fail-on error,warning --display-info "$deb" 2>&1) || status=$?
    # Its note about running as root (as tests do here) is no finding about the package.
    grep -v '^running with root privileges' <<<"$output" || true
    [ "$status" -eq 0 ] || fail "lintian reports errors or warnings"
else
    echo "lintian not run"
fi

[ "$failures" -eq 0 ] || exit 1
echo "package complete"
