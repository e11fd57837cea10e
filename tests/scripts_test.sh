#!/bin/sh
# The set-up and start scripts as a newcomer meets them, with apt-get, sudo,
# id and the build replaced by stubs that note how they were called: root
# installs without sudo, a user through sudo, each says what it installs, and
# ./run.sh asks only for what building and running need and hands its options
# and folder to the program.
# Usage: scripts_test.sh SOURCE_DIR
set -eu
source_dir=$(cd "$1" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failed=0
fail() {
    echo "scripts: $*" >&2
    failed=1
}

stubs=$scratch/stubs
mkdir "$stubs"
log=$scratch/calls
# Every package is missing; the calls are noted with the environment they see.
cat >"$stubs/dpkg-query" <<'STUB'
#!/bin/sh
exit 1
STUB
cat >"$stubs/apt-get" <<'STUB'
#!/bin/sh
echo "apt-get $* frontend=${DEBIAN_FRONTEND:-} as=${STUB_AS:-self}" >>"$STUB_LOG"
STUB
cat >"$stubs/id" <<'STUB'
#!/bin/sh
echo "$STUB_UID"
STUB
cat >"$stubs/sudo" <<'STUB'
#!/bin/sh
# sudo resets the environment: only what env passes on reaches the command.
exec /usr/bin/env -u DEBIAN_FRONTEND STUB_AS=sudo "$@"
STUB
chmod +x "$stubs"/*

setup() {  # UID, then setup.sh's arguments
    uid=$1
    shift
    : >"$log"
    PATH="$stubs:$PATH" STUB_UID=$uid STUB_LOG=$log \
        bash "$source_dir/scripts/setup.sh" "$@" >"$scratch/out" 2>&1
}

setup 0 || fail "setup.sh as root failed: $(cat "$scratch/out")"
grep -q '^Installing: build-essential .*qt6-base-dev' "$scratch/out" ||
    fail "setup.sh does not say what it installs: $(cat "$scratch/out")"
grep -q 'libgtest-dev\|clang\|lintian' "$scratch/out" &&
    fail "setup.sh without --tests installs the test toolchain: $(cat "$scratch/out")"
grep -q '^apt-get install .* qt6-base-dev.* frontend=noninteractive as=self$' "$log" ||
    fail "as root, apt-get is not run directly: $(cat "$log")"

setup 1000 --tests || fail "setup.sh --tests as a user failed: $(cat "$scratch/out")"
grep -q '^apt-get update .*frontend=noninteractive as=sudo$' "$log" &&
    grep -q '^apt-get install .*libgtest-dev.*lintian.* frontend=noninteractive as=sudo$' "$log" ||
    fail "as a user, apt-get does not run through sudo with its settings: $(cat "$log")"

setup 0 --bogus && fail "setup.sh takes an unknown option"

# Without sudo a user is told what is missing and why nothing is installed.
if ! command -v sudo >/dev/null 2>&1; then
    rm "$stubs/sudo"
    setup 1000 && fail "setup.sh without sudo says it succeeded"
    grep -q 'needs root' "$scratch/out" || fail "setup.sh without sudo says: $(cat "$scratch/out")"
    [ ! -s "$log" ] || fail "setup.sh without sudo ran: $(cat "$log")"
fi

# ./run.sh in a copy whose set-up, build and program are stubs.
copy=$scratch/copy
mkdir -p "$copy/scripts" "$copy/build/bin" "$scratch/My Folder"
cp "$source_dir/run.sh" "$copy/"
printf '#!/bin/sh\necho "setup $*" >>"%s"\n' "$log" >"$copy/scripts/setup.sh"
printf '#!/bin/sh\n' >"$copy/scripts/build.sh"
cat >"$copy/build/bin/quorvan" <<STUB
#!/bin/sh
for arg in "\$@"; do echo "arg \$arg"; done >>"$log"
STUB
chmod +x "$copy/run.sh" "$copy/scripts/"*.sh "$copy/build/bin/quorvan"
run() {
    : >"$log"
    (cd "$scratch" && bash "$copy/run.sh" "$@") || fail "run.sh $* failed"
}
expect_program() {
    got=$(grep '^arg ' "$log" | sed 's/^arg //' | tr '\n' '|')
    [ "$got" = "$1" ] || fail "run.sh $2 starts the program with '$got', not '$1'"
}
run --no-splash "My Folder"
grep -qx 'setup ' "$log" || fail "run.sh asks set-up for more than building and running: $(cat "$log")"
expect_program "--no-splash|--|$scratch/My Folder|" "--no-splash 'My Folder'"
run -- "My Folder"
expect_program "--|$scratch/My Folder|" "-- 'My Folder'"
run
expect_program "--|" "alone"

exit $failed
