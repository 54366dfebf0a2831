#!/usr/bin/env bash
# An installation works on its own: the build is installed into a temporary prefix, the tree is moved elsewhere
# (nothing may point back at the prefix or the build folder) and the installed corvatin-batch runs on the
# installed sample from an unrelated folder. Its result files must equal those of the build's own program run
# on the source tree's data, as `make run` runs it. ctest runs this on the developer build, `make package` on
# the package build. Usage: check-install.sh BUILD_FOLDER
set -euo pipefail
build=$(cd "$1" && pwd)
# shellcheck source=/dev/null
. "$build/install-check.env"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "check-install: $*" >&2; exit 1; }

"$cmake" --install "$build" --prefix "$tmp/prefix" --strip >/dev/null
mv "$tmp/prefix" "$tmp/moved"
root=$tmp/moved
batch=$root/bin/corvatin-batch
unset CORVATIN_DATA_DIR
export CORVATIN_SETTINGS=$tmp/settings.ini # no result folder of the user's own settings

if hits=$(grep -rlF "$build/" "$root" --exclude-dir=bin) || readelf -d "$root"/bin/* | grep -F "$build/"; then
  fail "installed files refer to the build folder: $hits"
fi
if [ "$source_tree_data" = OFF ] && grep -qF "$source_data" "$batch"; then
  fail "an install build still carries the source tree's data folder"
fi

# Nothing beyond the C and C++ runtimes (and a sanitizer's runtime in sanitizer builds).
extra=$(readelf -d "$batch" | sed -n 's/.*Shared library: \[\(.*\)\]/\1/p' |
  grep -Ev '^(libstdc\+\+|libm|libgcc_s|libc|libpthread|ld-linux.*|lib(a|ub|t|l)san)\.so' || true)
[ -z "$extra" ] || fail "corvatin-batch needs more than the C++ runtime: $extra"
[ "$("$batch" --version)" = "$version" ] || fail "--version says $("$batch" --version), the project is $version"

mkdir "$tmp/work"
cd "$tmp/work"
sample=$root/share/corvatin/samples/drugs.sml2
"$batch" --procedure "TOPS-MODE" --weights all --quiet --results-dir installed "$sample"
CORVATIN_DATA_DIR=$source_data "$built_batch" --procedure "TOPS-MODE" --weights all --quiet --results-dir built "$sample"
[ -s installed/TOPS-MODE.txt ] || fail "the installed program wrote no TOPS-MODE.txt"
diff -r built installed >/dev/null || fail "the installed program's result files differ from the build's"

# An install build finds no data once share/corvatin is gone, though the source tree is still on this machine.
if [ "$source_tree_data" = OFF ]; then
  mv "$root/share/corvatin" "$root/share/hidden"
  if "$batch" --procedure "TOPS-MODE" --weights all --quiet --results-dir hidden "$root/share/hidden/samples/drugs.sml2" \
    2>/dev/null && diff -r built hidden >/dev/null; then
    fail "without share/corvatin the installed program still found its data"
  fi
  mv "$root/share/hidden" "$root/share/corvatin"
fi

if [ "$man" = ON ]; then
  page=$(zcat "$root/share/man/man1/corvatin-batch.1.gz" | sed 's/\\-/-/g; s/\\f[BIRP]//g')
  for option in $("$batch" --help | grep -oE -- '--[a-z][a-z-]*' | sort -u); do
    grep -qF -- "$option" <<<"$page" || fail "the manual page lacks $option"
  done
  grep -qi '^\.SH.*EXIT STATUS\|^Exit status' <<<"$page" || fail "the manual page lacks the exit statuses"
fi
if [ "$gui" = ON ]; then
  for f in bin/corvatin share/applications/corvatin.desktop share/icons/hicolor/scalable/apps/corvatin.svg \
    share/man/man1/corvatin.1.gz; do
    [ -e "$root/$f" ] || fail "$f is not installed"
  done
fi
echo "check-install: the installed tree runs on its own ($(find "$root" -type f | wc -l) files)"
