#!/usr/bin/env bash
# Builds the Debian package from a build folder and checks it with lintian:
# no error, and no warning that the package does not override with a reason.
#   package_test.sh BUILD_DIR
set -euo pipefail

build=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
(cd "$build" && cpack -G DEB -B "$tmp" >/dev/null)
lintian --fail-on error,warning "$tmp"/linecast_*.deb
