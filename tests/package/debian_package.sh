#!/usr/bin/env bash
# The Debian package of this build: lintian reports no error, and it holds the
# programs' manual pages and completion, the Python module, the library, the
# copyright file and the changelog.
#   debian_package.sh BUILD_DIR WORK_DIR
set -euo pipefail
build=$1
work=$2
rm -rf "$work"
mkdir -p "$work"
if ! cpack --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log"
  exit 1
fi
deb=$(ls "$work"/*.deb)
lintian "$deb" >"$work/lintian.log" 2>&1 || true
if grep '^E:' "$work/lintian.log"; then
  exit 1
fi
contents=$(dpkg-deb -c "$deb")
status=0
for path in usr/bin/tarvelo-fit usr/share/man/man1/tarvelo-fit.1.gz usr/share/man/man1/tarvelo-import.1.gz \
            usr/share/bash-completion/completions/tarvelo-fit \
            usr/bin/tarvelo-naca usr/share/man/man1/tarvelo-naca.1.gz \
            usr/share/bash-completion/completions/tarvelo-naca usr/share/doc/tarvelo/examples/naca2412.dat \
            usr/bin/tarvelo-blade usr/share/man/man1/tarvelo-blade.1.gz usr/share/bash-completion/completions/tarvelo-blade \
            usr/lib/tarvelo/tarvelo-cad.so usr/share/doc/tarvelo/examples/blade/propeller.txt \
            usr/lib/python3/dist-packages/tarvelo.cpython- \
            usr/include/tarvelo/tarvelo.h usr/lib/cmake/tarvelo/tarveloConfig.cmake \
            usr/share/doc/tarvelo/copyright usr/share/doc/tarvelo/changelog.gz; do
  if ! grep -q " \./$path" <<<"$contents"; then
    echo "missing from the package: $path"
    status=1
  fi
done
rm -rf "$work"
exit $status
