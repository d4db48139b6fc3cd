#!/usr/bin/env bash
# The Debian package as `scripts/package.sh` makes it, checked the way Debian
# checks packages: lintian without errors, the desktop entry, the AppStream
# data and the man page by their validators, the dependencies resolvable by
# apt (simulated), and the program unpacked into a folder of its own runs.
# usage: package_test.sh BUILD_DIR
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

cpack --config "$build/CPackConfig.cmake" -B "$work" >/dev/null
deb=$(ls "$work"/ledora_*.deb)
lintian --fail-on error "$deb" 2>&1 | grep -v "root privileges" || true
lintian --fail-on error "$deb" >/dev/null 2>&1 || fail "lintian"

dpkg-deb -x "$deb" "$work/root"
usr=$work/root/usr
desktop-file-validate "$usr"/share/applications/*.desktop || fail "desktop entry"
appstreamcli validate --no-net "$usr"/share/metainfo/*.metainfo.xml >/dev/null ||
  fail "AppStream: $(appstreamcli validate --no-net "$usr"/share/metainfo/*.metainfo.xml)"
warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$usr/share/man/man1/ledora.1.gz" 2>&1 >/dev/null)
[ -z "$warnings" ] || fail "man page: $warnings"
# The man page covers every job the program has.
for job in $("$usr/bin/ledora" --help | sed -n 's/^ *\(usage: \)\{0,1\}ledora \[--data DIR\] \([a-z][a-z-]*\).*/\2/p'); do
  LC_ALL=C.UTF-8 MANWIDTH=200 man -l "$usr/share/man/man1/ledora.1.gz" 2>/dev/null | grep -q "^ *$job\b" ||
    fail "the man page does not cover $job"
done

"$usr/bin/ledora" --version | grep -q '^ledora ' || fail "the unpacked program"
apt-get install --simulate "$deb" >"$work/apt" 2>&1 || fail "apt: $(cat "$work/apt")"
grep -q '^Inst ledora ' "$work/apt" || fail "apt would not install ledora: $(cat "$work/apt")"
echo "the package passes"
