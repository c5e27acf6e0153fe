#!/usr/bin/env bash
# Installs the Debian package into a throw-away root (dpkg-deb -x), runs the
# programs from there and removes the root again:
#
#   matcalc-cli --version   one line, the package's version
#   matcalc-cli --list      the methods
#   matcalc-cli METHOD      one method, byte for byte
#   matcalc --resources     the manual, the notices, the music and the icon,
#                           found where the window looks: inside the root
#   man, completion         both man pages are found by name and render without
#                           warnings; bash-completion loads the completion, and
#                           it offers the installed program's methods
#
#   bash tests/package/test_install.sh build/package/matcalc_VERSION_ARCH.deb
set -euo pipefail
deb=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
root=$(realpath "$(mktemp -d)")
trap 'rm -rf "$root"' EXIT
failures=0
fail() {
  echo "FAIL $*" >&2
  failures=$((failures + 1))
}

dpkg-deb -x "$deb" "$root"
version=$(dpkg-deb -f "$deb" Version)
bin=$root/usr/bin
share=$root/usr/share
echo "installed $(basename "$deb") into $root"

# The version, one line.
[ "$("$bin/matcalc-cli" --version)" = "matcalc-cli $version" ] ||
  fail "matcalc-cli --version: $("$bin/matcalc-cli" --version)"
[ "$("$bin/matcalc" --version)" = "matcalc $version" ] ||
  fail "matcalc --version: $("$bin/matcalc" --version)"

# The methods.
list=$("$bin/matcalc-cli" --list)
for method in power jacobi vector-norms; do
  grep -q "^$method"$'\t' <<< "$list" || fail "--list has no $method"
done

# One method, byte for byte (UTF-8, CR LF).
expected=$(printf '    3    -4\r\n%s\r\n\r\n%s 7\r\n%s 5\r\n%s 4\r\n_' \
  '以上是所要求解的向量，接下来输出向量的范数' '向量的1范数为：' '向量的2范数为：' \
  '向量的无穷范数为：')
actual=$(printf '3 -4' | "$bin/matcalc-cli" vector-norms; echo _)
[ "$actual" = "$expected" ] || fail "vector-norms printed: $actual"

# The window's files, where the window looks for them: every one found, and
# inside the root (not in the source tree a build falls back on).
resources=$("$bin/matcalc" --resources)
for file in Help/index.html Help/notices.html music/END.MID icons/matcalc.png; do
  grep -qxF "$file"$'\t'"$share/matcalc/$file" <<< "$resources" ||
    fail "matcalc --resources does not find $file in $share/matcalc: $resources"
done

# The man pages: found by name where man looks, rendered without warnings.
for page in matcalc-cli matcalc; do
  [ "$(MANPATH=$share/man man -w "$page")" = "$share/man/man1/$page.1.gz" ] ||
    fail "man -w $page: $(MANPATH=$share/man man -w "$page" 2>&1)"
  file=$share/man/man1/$page.1.gz
  warnings=$(MANWIDTH=80 man --warnings -l "$file" 2>&1 > /dev/null) || fail "man $page"
  [ -z "$warnings" ] || fail "man $page: $warnings"
  MANWIDTH=80 man -l "$file" 2> /dev/null | grep -q "^NAME" || fail "man $page shows no NAME"
done

# The completion: loaded by bash-completion on demand from where it looks
# (when bash-completion is installed), and offering what the installed
# program has, with that program first on the PATH.
loader=/usr/share/bash-completion/bash_completion
if [ -f "$loader" ]; then
  loaded=$(XDG_DATA_DIRS=$share bash -c ". $loader; __load_completion matcalc-cli; complete -p matcalc-cli")
  [ "$loaded" = "complete -F _matcalc_cli matcalc-cli" ] || fail "bash-completion loads: $loaded"
fi
bash "$here/test_completion.sh" "$share/bash-completion/completions/matcalc-cli" "$bin" ||
  fail "completion"

if [ "$failures" -eq 0 ]; then
  echo "install test: all checks passed ($version)"
fi
exit "$failures"
