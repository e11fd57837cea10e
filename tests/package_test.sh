#!/bin/sh
# Builds the Debian package, unpacks it into a scratch root and checks what a
# user gets: the layout, working programs, valid desktop and AppStream files,
# manual pages without warnings that cover every option and variable, and a
# bash completion that knows every command, option and settings key.
# Usage: package_test.sh CPACK BUILD_DIR
set -eu
LC_ALL=C
export LC_ALL
cpack=$1
build=$(cd "$2" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

failed=0
fail() {
    echo "package: $*" >&2
    failed=1
}

(cd "$build" && "$cpack" -G DEB -B "$scratch/out" >"$scratch/cpack.log" 2>&1) || {
    cat "$scratch/cpack.log" >&2
    fail "cpack -G DEB failed"
    exit 1
}

version=$("$build/bin/quorvan-cli" --version | sed 's/^quorvan-cli //')
deb=$scratch/out/quorvan_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || {
    fail "no $(basename "$deb") among: $(ls "$scratch/out")"
    exit 1
}

# What apt reads: the libraries found by dpkg-shlibdeps, and attr for the undo
# script's setfattr.
depends=$(dpkg-deb -f "$deb" Depends)
for needed in attr libc6 libstdc++6 libqt6widgets6 libqt6multimedia6; do
    case ", $depends," in
        *", $needed "* | *", $needed,"*) ;;
        *) fail "Depends lacks $needed: $depends" ;;
    esac
done
[ "$(dpkg-deb -f "$deb" Package)" = quorvan ] || fail "the package is not called quorvan"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "the package version is not $version"
[ -n "$(dpkg-deb -f "$deb" Maintainer)" ] || fail "the package names no maintainer"
owners=$(dpkg-deb -c "$deb" | awk '{ print $2 }' | sort -u)
[ "$owners" = root/root ] || fail "files owned by $owners"
outside=$(dpkg-deb -c "$deb" | awk '{ print $6 }' | grep -v -e '^\./$' -e '^\./usr/' || true)
[ -z "$outside" ] && [ -z "$(dpkg-deb -c "$deb" | grep '/usr/local/')" ] ||
    fail "files outside /usr or in /usr/local: $outside"

root=$scratch/root
dpkg -x "$deb" "$root"
usr=$root/usr
for file in bin/quorvan bin/quorvan-cli \
    share/applications/quorvan.desktop \
    share/kio/servicemenus/quorvan.desktop \
    share/nemo/actions/quorvan.nemo_action \
    share/quorvan/translations/quorvan_de.qm share/quorvan/translations/quorvan_fr.qm \
    share/metainfo/com.example.quorvan.metainfo.xml \
    share/icons/hicolor/scalable/apps/quorvan.svg \
    share/icons/hicolor/48x48/apps/quorvan.png \
    share/icons/hicolor/256x256/apps/quorvan.png \
    share/doc/quorvan/manual/index.html \
    share/man/man1/quorvan.1.gz share/man/man1/quorvan-cli.1.gz \
    share/bash-completion/completions/quorvan-cli; do
    [ -f "$usr/$file" ] || fail "missing /usr/$file"
done
for program in quorvan quorvan-cli; do
    [ -x "$usr/bin/$program" ] || fail "/usr/bin/$program cannot be run"
done

cli=$usr/bin/quorvan-cli
[ "$("$cli" --version)" = "quorvan-cli $version" ] || fail "the unpacked quorvan-cli does not run"

# Installing must not make Quorvan the program that opens folders: with no
# default set, the desktop takes the first program that claims the type.
# The desktop database is brought up to date as Debian's trigger does after an
# install, and gio sees only the package (and its programs on PATH).
home=$scratch/home
mkdir -p "$home/data" "$home/config" "$home/etc"
update-desktop-database "$usr/share/applications"
env -i HOME="$home" PATH="$usr/bin:/usr/bin:/bin" XDG_DATA_HOME="$home/data" \
    XDG_CONFIG_HOME="$home/config" XDG_CONFIG_DIRS="$home/etc" XDG_DATA_DIRS="$usr/share" \
    gio mime inode/directory >"$scratch/gio.log" 2>&1 || true
! grep -q quorvan "$scratch/gio.log" || fail "installed, Quorvan opens folders: $(cat "$scratch/gio.log")"

# Debian's own check of the package, errors and warnings alike.
lintian --tag-display-limit 0 "$deb" >"$scratch/lintian.log" 2>&1 || true
! grep -q '^[EW]:' "$scratch/lintian.log" || fail "lintian: $(cat "$scratch/lintian.log")"
for file in copyright changelog.gz; do
    [ -f "$usr/share/doc/quorvan/$file" ] || fail "missing /usr/share/doc/quorvan/$file"
done

desktop-file-validate "$usr/share/applications/quorvan.desktop" >"$scratch/desktop.log" 2>&1 ||
    fail "desktop entry: $(cat "$scratch/desktop.log")"
[ ! -s "$scratch/desktop.log" ] || fail "desktop entry: $(cat "$scratch/desktop.log")"

# Every desktop file shipped is valid, and each file manager's entry hands the
# whole selection, files and folders, to "Rename with Quorvan".
find "$usr" -name '*.desktop' >"$scratch/desktop-files"
[ "$(wc -l <"$scratch/desktop-files")" -ge 2 ] || fail "desktop files: $(cat "$scratch/desktop-files")"
while read -r file; do
    desktop-file-validate "$file" >"$scratch/valid.log" 2>&1 && [ ! -s "$scratch/valid.log" ] ||
        fail "${file#"$root"}: $(cat "$scratch/valid.log")"
done <"$scratch/desktop-files"
servicemenu=$usr/share/kio/servicemenus/quorvan.desktop
nemo=$usr/share/nemo/actions/quorvan.nemo_action
for file in "$usr/share/applications/quorvan.desktop" "$servicemenu" "$nemo"; do
    grep -qx 'Name=Rename with Quorvan' "$file" || fail "${file#"$root"} offers no Rename with Quorvan"
    grep -qx 'Exec=quorvan %F' "$file" || fail "${file#"$root"} does not hand over every file"
done
grep -q '^MimeType=.*application/octet-stream;' "$servicemenu" &&
    grep -q '^MimeType=.*inode/directory;' "$servicemenu" ||
    fail "the service menu is not for files and folders"
grep -q '^Actions=.*;' "$servicemenu" || fail "the service menu has no action"
[ "$(head -n 1 "$nemo")" = '[Nemo Action]' ] || fail "the Nemo action has no [Nemo Action] group"
for line in 'Selection=notnone' 'Extensions=any;' 'Quote=double'; do
    grep -qx "$line" "$nemo" || fail "the Nemo action lacks $line"
done
appstreamcli validate --no-net "$usr/share/metainfo/com.example.quorvan.metainfo.xml" \
    >"$scratch/appstream.log" 2>&1 || fail "metainfo: $(cat "$scratch/appstream.log")"
! grep -q '^[EW]:' "$scratch/appstream.log" || fail "metainfo: $(cat "$scratch/appstream.log")"

# The pages are read wide, so that no option is broken across lines.
for page in quorvan quorvan-cli; do
    LC_ALL=C.UTF-8 MANWIDTH=200 man --warnings -l "$usr/share/man/man1/$page.1.gz" \
        >"$scratch/$page.txt" 2>"$scratch/$page.warnings" || fail "man -l $page.1 failed"
    [ ! -s "$scratch/$page.warnings" ] || fail "$page.1: $(cat "$scratch/$page.warnings")"
done

# Every option and variable that a program's --help names is in its page, and
# every option of quorvan-cli is in the completion. The commands' own options
# are in the page and the completion too.
completion=$usr/share/bash-completion/completions/quorvan-cli
words() {
    grep -o -E -e '(^|[^a-zA-Z0-9-])--?[a-z0-9][a-z0-9-]*' -e 'QUORVAN_[A-Z_]+' -e 'XDG_[A-Z_]+' |
        sed 's/^[^-A-Z]//' | sort -u
}
"$usr/bin/quorvan" --help | words >"$scratch/quorvan.options"
{ "$cli" --help | words; printf '%s\n' --status --dry-run QUORVAN_STATE_DIR XDG_STATE_HOME \
    XDG_DATA_HOME; } | sort -u >"$scratch/quorvan-cli.options"
for page in quorvan quorvan-cli; do
    while read -r word; do
        grep -q -F -e "$word" "$scratch/$page.txt" || fail "$page.1 does not mention $word"
        case $page/$word in
            quorvan-cli/-h | quorvan-cli/QUORVAN_* | quorvan-cli/XDG_* | quorvan/*) ;;
            quorvan-cli/*) tr "'\"" '  ' <"$completion" | grep -q -F -e " $word " ||
                fail "the completion does not offer $word" ;;
        esac
    done <"$scratch/$page.options"
done
for command in preview run cd-names history undo; do
    grep -q "^ *$command" "$scratch/quorvan-cli.txt" || fail "quorvan-cli.1 has no $command"
done

# The completion as bash runs it.
complete_line() {
    bash -c '. "$1"; COMP_LINE=$2; COMP_POINT=${#2}; _quorvan_cli; echo "${COMPREPLY[*]}"' \
        _ "$completion" "$1"
}
expect_completion() {
    got=$(complete_line "$1")
    [ "$got" = "$2" ] || fail "completing '$1' gives '$got', not '$2'"
}
expect_completion 'quorvan-cli ' 'preview run cd-names history undo'
expect_completion 'quorvan-cli preview --s' '--settings --set --save-settings --status'
expect_completion 'quorvan-cli run --set AddPre' 'AddPrefix='
expect_completion 'quorvan-cli run --set AddPrefix=' 'Yes No'
expect_completion 'quorvan-cli run --set FilterOnModifiedDateTimeDir=A' 'After'
expect_completion 'quorvan-cli undo --' '--dry-run --help'
# Inside folders whose names hold blanks, typed with a backslash or quotes.
mkdir -p "$scratch/My Photos/Summer 2024"
: >"$scratch/My Photos/a b.jpg"
expect_completion "quorvan-cli preview $scratch/My\\ Pho" "$scratch/My Photos"
expect_completion "quorvan-cli run '$scratch/My Photos/Sum" "$scratch/My Photos/Summer 2024"
expect_completion "quorvan-cli run --settings \"$scratch/My Photos/a" "$scratch/My Photos/a b.jpg"

# The completion's keys are exactly those quorvan-cli accepts: it takes each of
# them, and a settings file saved with every switch on (text mode, then
# sequencing) holds no other.
complete_line 'quorvan-cli run --set ' | tr ' ' '\n' | sed -n 's/=$//p' | sort >"$scratch/keys"
[ "$(wc -l <"$scratch/keys")" -ge 60 ] || fail "the completion offers only $(wc -l <"$scratch/keys") keys"
mkdir "$scratch/empty"
sets=''
while read -r key; do
    value=$(complete_line "quorvan-cli run --set $key=" | cut -d' ' -f1)
    # Keys the completion offers no value for take a date, a time or a number.
    case $key in
    *Date) fallback=01/02/2024 ;;
    *Time) fallback=12:00:00 ;;
    *) fallback=1 ;;
    esac
    sets="$sets --set $key=${value:-$fallback}"
done <"$scratch/keys"
for pass in 'TextSeqModifications=Text --set RenameInPlace=No' 'TextSeqModifications=Seq'; do
    # shellcheck disable=SC2086 # the settings are words on purpose
    "$cli" preview $sets --set $pass --save-settings "$scratch/saved.qvr" "$scratch/empty" \
        >/dev/null 2>"$scratch/cli.log" && status=0 || status=$?
    [ "$status" -ne 2 ] || fail "quorvan-cli refuses a completion key: $(cat "$scratch/cli.log")"
    cat "$scratch/saved.qvr" "$scratch/saved.qvrfltr" >>"$scratch/saved"
done
tr -d '\r' <"$scratch/saved" | sed -n 's/ = .*//p' | sort -u >"$scratch/written"
missing=$(comm -23 "$scratch/written" "$scratch/keys")
[ -z "$missing" ] || fail "the completion lacks keys: $missing"
while read -r key; do
    grep -q -w -F -e "$key" "$scratch/quorvan-cli.txt" || fail "quorvan-cli.1 does not list $key"
done <"$scratch/keys"

exit $failed
