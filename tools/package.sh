#!/usr/bin/env bash
# Builds a release and checks it:
#
#   build/package/matcalc_VERSION_ARCH.deb        the Debian package (CPack, from the
#                                                 release preset's build)
#   build/package/matcalc-site-VERSION.tar.gz     the page as built by tools/web.sh
#   build/package/matcalc-site-VERSION.zip        --build-only, ready for a static host
#
# then prints the verdicts of lintian, desktop-file-validate and appstreamcli
# validate on the package's files, and of the install test
# (tests/package/test_install.sh). The exit status is 1 when any of them
# finds an error. With --deb-only the site is left out.
# Missing Debian packages are installed first; ccache is used when installed.
set -euo pipefail
cd "$(dirname "$0")/.."
deb_only=0
[ "${1:-}" = "--deb-only" ] && deb_only=1
. tools/packages.sh
matcalc_install_missing $MATCALC_BUILD_PACKAGES $MATCALC_GUI_PACKAGES $MATCALC_PACKAGE_PACKAGES

export QT_QPA_PLATFORM=offscreen
if command -v ccache > /dev/null && [ -z "${CMAKE_CXX_COMPILER_LAUNCHER:-}" ]; then
  export CMAKE_CXX_COMPILER_LAUNCHER=ccache CMAKE_C_COMPILER_LAUNCHER=ccache
fi

stage() { printf '\n== %s (%s)\n' "$1" "$(date +%T)"; }
verdicts=()
failed=0
verdict() {  # NAME OK|FAILED TEXT
  verdicts+=("$(printf '%-24s %s' "$1" "$3")")
  [ "$2" = OK ] || failed=1
}

stage "the programs (release preset)"
cmake --preset release > /dev/null
# What the package installs: the programs, the man pages, the Debian changelog.
cmake --build --preset release -j "$(nproc)" \
  --target matcalc matcalc-cli matcalc_man_pages matcalc_changelog
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/release/CMakeCache.txt)
out=build/package
deb=$out/matcalc_${version}_$(dpkg --print-architecture).deb

stage "the Debian package"
mkdir -p "$out"
rm -f "$deb"
cpack --config build/release/CPackConfig.cmake > "$out/cpack.log" 2>&1 || {
  cat "$out/cpack.log"
  exit 1
}
rm -rf "$out/_CPack_Packages"
dpkg-deb -I "$deb" | sed -n '/Package:/,/Installed-Size:/p' | grep -v '^  '
echo "$deb ($(du -k "$deb" | cut -f 1) KiB)"

stage "lintian"
if lintian --fail-on error --display-info "$deb" > "$out/lintian.log" 2>&1; then
  status=OK
else
  status=FAILED
fi
cat "$out/lintian.log"
count() { grep -c "^$1: " "$out/lintian.log" || true; }
verdict lintian $status "$([ $status = OK ] && echo "no errors" || echo "$(count E) errors"),\
 $(count W) warnings, $(count I) info"

# The validators read the files as the package holds them.
files=$(mktemp -d)
trap 'rm -rf "$files"' EXIT
dpkg-deb -x "$deb" "$files"

stage "desktop-file-validate"
desktop=$(find "$files/usr/share/applications" -name '*.desktop')
if desktop-file-validate "$desktop"; then
  verdict desktop-file-validate OK "no errors ($(basename "$desktop"))"
else
  verdict desktop-file-validate FAILED "errors ($(basename "$desktop"))"
fi

stage "appstreamcli validate"
metainfo=$(find "$files/usr/share/metainfo" -name '*.xml')
if appstreamcli validate --no-net --pedantic "$metainfo"; then
  verdict "appstreamcli validate" OK "no errors, no warnings ($(basename "$metainfo"))"
elif appstreamcli validate --no-net "$metainfo" > /dev/null 2>&1; then
  verdict "appstreamcli validate" OK "no errors; pedantic notes above"
else
  verdict "appstreamcli validate" FAILED "errors ($(basename "$metainfo"))"
fi

stage "install test"
if bash tests/package/test_install.sh "$deb"; then
  verdict "install test" OK "passed"
else
  verdict "install test" FAILED "failed"
fi

if [ "$deb_only" -eq 0 ]; then
  stage "the site"
  bash tools/web.sh --build-only
  name=matcalc-site-$version
  staging=$(mktemp -d)
  cp -a build/web/site "$staging/$name"
  # The same bytes from the same site: sorted names, no owners, one time.
  epoch=$(git log -1 --format=%ct 2> /dev/null || date +%s)
  find "$staging/$name" -exec touch -h -d "@$epoch" {} +
  rm -f "$out/$name.tar.gz" "$out/$name.zip"
  tar --sort=name --owner=0 --group=0 --numeric-owner --mtime="@$epoch" -C "$staging" \
    -cf - "$name" | gzip -9n > "$out/$name.tar.gz"
  (cd "$staging" && TZ=UTC zip -qrX "$OLDPWD/$out/$name.zip" "$name")
  rm -rf "$staging"
  entries=$(tar -tzf "$out/$name.tar.gz" | grep -vc '/$')
  # The page's files live under v/<hash of their content>/, so the about
  # page is found by its name wherever the build put it.
  about=$(tar -tzf "$out/$name.tar.gz" | grep -m1 '/about\.html$' || true)
  if [ "$(unzip -Z1 "$out/$name.zip" | grep -vc '/$')" = "$entries" ] && [ -n "$about" ] &&
    tar -xzOf "$out/$name.tar.gz" "$about" | grep -q "版本 $version"; then
    verdict "site archive" OK "$out/$name.tar.gz and .zip ($entries files)"
  else
    verdict "site archive" FAILED "the archives differ or lack the version"
  fi
fi

stage "verdicts"
printf '%s\n' "${verdicts[@]}"
exit "$failed"
