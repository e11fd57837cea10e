#!/bin/sh
# Installs a build into a temporary prefix and checks that a Linux desktop finds
# the programs, the desktop entry, the icons and a manual without broken links.
# Usage: install_test.sh CMAKE BUILD_DIR
set -eu
cmake=$1
build=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

"$cmake" --install "$build" --prefix "$prefix" >/dev/null

failed=0
fail() {
    echo "install: $*" >&2
    failed=1
}
need() {
    [ -f "$prefix/$1" ] || fail "missing $1"
}

need bin/quorvan-cli
version=$("$prefix/bin/quorvan-cli" --version) || fail "installed quorvan-cli does not run"
[ "$version" = "quorvan-cli 1.00" ] || fail "installed quorvan-cli says '$version'"
if [ -f "$build/bin/quorvan" ]; then
    need bin/quorvan
fi

entry=share/applications/quorvan.desktop
need $entry
grep -qx 'Exec=quorvan %F' "$prefix/$entry" || fail "$entry does not start quorvan"
grep -qx 'Icon=quorvan' "$prefix/$entry" || fail "$entry does not name the quorvan icon"
if command -v desktop-file-validate >/dev/null 2>&1; then
    desktop-file-validate "$prefix/$entry" || fail "$entry is not a valid desktop entry"
fi

need share/metainfo/com.example.quorvan.metainfo.xml
need share/bash-completion/completions/quorvan-cli
for page in quorvan quorvan-cli; do
    need share/man/man1/$page.1.gz
done

# A PNG's width and height are the big-endian words at bytes 16 and 20.
png_size() {
    od -An -tu1 -j16 -N8 "$1" | awk '{ print $3 * 256 + $4 "x" $7 * 256 + $8 }'
}
icons=share/icons/hicolor
need $icons/scalable/apps/quorvan.svg
for size in 256 48; do
    icon=$icons/${size}x$size/apps/quorvan.png
    need $icon
    if [ -f "$prefix/$icon" ]; then
        actual=$(png_size "$prefix/$icon")
        [ "$actual" = "${size}x$size" ] || fail "$icon is $actual"
    fi
done

# Every page, picture and stylesheet the manual refers to is installed with it.
manual=$prefix/share/doc/quorvan/manual
need share/doc/quorvan/manual/index.html
pages=0
for page in "$manual"/*.html; do
    [ -f "$page" ] || continue
    pages=$((pages + 1))
    for target in $(grep -o -E '(href|src)="[^"#:]*' "$page" | sed 's/^[a-z]*="//'); do
        [ -z "$target" ] || [ -f "$manual/$target" ] ||
            fail "$(basename "$page") refers to missing $target"
    done
done
[ "$pages" -ge 10 ] || fail "only $pages manual pages installed"

exit $failed
