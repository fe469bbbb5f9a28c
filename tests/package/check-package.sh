#!/usr/bin/env bash
# Packages an already built tree with its CPack configuration into a scratch directory and checks
# the Debian package as a user would meet it: the files it installs, its control fields, the
# validators' verdict on the desktop entry, MIME package and manual pages, and the installed programs
# started from an unpacked root, where they must find their companions.
#
#   tests/package/check-package.sh BUILD-DIRECTORY
set -euo pipefail
build=$(cd "${1:?usage: check-package.sh BUILD-DIRECTORY}" && pwd)
scratch=$(mktemp -d "${TMPDIR:-/tmp}/quarvo-package.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
failures=0

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# Stripped in the staging copy: a sanitizer build's debugging information would make dpkg-shlibdeps
# and the compression take minutes.
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$scratch/out" -D CPACK_STRIP_FILES=ON \
    >"$scratch/cpack.log" 2>&1 ||
    { cat "$scratch/cpack.log" >&2; exit 1; }
deb=$(ls "$scratch"/out/quarvo_*.deb)
echo "package: $(basename "$deb")"

# Exactly these files, and nothing of the tests, the benchmarks or the build tools.
expected_files=$(sort <<'LIST'
./usr/bin/quarvo
./usr/bin/quarvo-cli
./usr/bin/quarvo-viewer
./usr/libexec/quarvo/quarvo-sfx
./usr/share/applications/quarvo.desktop
./usr/share/doc/quarvo/MANUAL.md
./usr/share/icons/hicolor/scalable/apps/quarvo.svg
./usr/share/icons/hicolor/scalable/mimetypes/application-gzip.svg
./usr/share/icons/hicolor/scalable/mimetypes/application-x-compress.svg
./usr/share/icons/hicolor/scalable/mimetypes/application-x-compressed-tar.svg
./usr/share/icons/hicolor/scalable/mimetypes/application-x-quarvo-unzip-job.svg
./usr/share/icons/hicolor/scalable/mimetypes/application-x-quarvo-zip-job.svg
./usr/share/icons/hicolor/scalable/mimetypes/application-x-tar.svg
./usr/share/icons/hicolor/scalable/mimetypes/application-x-tarz.svg
./usr/share/icons/hicolor/scalable/mimetypes/application-zip.svg
./usr/share/man/man1/quarvo-cli.1.gz
./usr/share/man/man1/quarvo.1.gz
./usr/share/mime/packages/quarvo.xml
LIST
)
listed_files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | sort)
if [ "$listed_files" != "$expected_files" ]; then
    fail "the package's files differ from the expected ones:"
    diff <(echo "$expected_files") <(echo "$listed_files") >&2 || true
fi

control=$(dpkg-deb -f "$deb")
for field in "Section: utils" "Priority: optional" "Architecture: $(dpkg --print-architecture)"; do
    grep -qx "$field" <<<"$control" || fail "control field missing: $field"
done
depends=$(dpkg-deb -f "$deb" Depends)
# The Qt libraries come from dpkg-shlibdeps, the platform plugins from our own list.
for package in libqt6widgets6 libarchive13 libdeflate0 qt6-qpa-plugins; do
    [[ "$depends" == *"$package"* ]] || fail "Depends lacks $package: $depends"
done
[ -n "$(dpkg-deb -f "$deb" Description | sed -n 2p)" ] || fail "the Description has no long text"

root="$scratch/root"
dpkg-deb -x "$deb" "$root"
share="$root/usr/share"

validation=$(desktop-file-validate "$share/applications/quarvo.desktop" 2>&1) ||
    fail "desktop-file-validate: $validation"
[ -z "$validation" ] || fail "desktop-file-validate: $validation"
grep -qx 'Exec=quarvo %f' "$share/applications/quarvo.desktop" ||
    fail "the installed desktop entry does not start the installed program by name"
xmllint --noout "$share/mime/packages/quarvo.xml" || fail "xmllint rejects the MIME package"
for page in quarvo quarvo-cli; do
    warnings=$(zcat "$share/man/man1/$page.1.gz" | LC_ALL=C.UTF-8 groff -ww -b -z -man 2>&1) ||
        fail "groff fails on $page.1"
    [ -z "$warnings" ] || fail "groff warns on $page.1: $warnings"
done

# The installed programs, run from the unpacked root with a user of their own.
export HOME="$scratch/home" XDG_CONFIG_HOME="$scratch/home/.config" XDG_DATA_HOME="$scratch/home/.local/share"
export XDG_CACHE_HOME="$scratch/home/.cache" XDG_RUNTIME_DIR="$scratch/runtime"
export QT_QPA_PLATFORM=offscreen
unset QUARVO_REGISTER
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
work="$scratch/work"
mkdir -p "$work/data" && echo "some text to keep" >"$work/data/notes.txt"
cd "$work"

cli="$root/usr/bin/quarvo-cli"
help=$("$cli" --help) || fail "quarvo-cli --help exits with $?"
[[ "$help" == "Usage: quarvo-cli "* ]] || fail "quarvo-cli --help: $help"
"$cli" add -r backup.zip data >/dev/null 2>&1 || fail "quarvo-cli add"
# The self-extractor's program lies in libexec/quarvo, not beside quarvo-cli.
if "$cli" convert --to linux backup.zip backup.run >/dev/null 2>"$scratch/convert.err"; then
    ./backup.run -t >/dev/null 2>&1 || fail "the self-extractor made by the installed quarvo-cli does not test"
else
    fail "quarvo-cli convert --to linux: $(cat "$scratch/convert.err")"
fi

# quarvo runs a test job and exits with its result; a missing viewer would be told on stderr.
printf '[Options]\nAction=3\nZIPFile=%s\n' "$work/backup.zip" >check.cfu
start_quarvo() {
    timeout 120 "$root/usr/bin/quarvo" "-e$work/check.cfu" >"$scratch/quarvo.out" 2>"$scratch/quarvo.err"
}
if ! start_quarvo; then
    fail "the installed quarvo did not run its job: $(cat "$scratch/quarvo.err")"
elif grep -q "not found" "$scratch/quarvo.err"; then
    fail "the installed quarvo misses a companion: $(cat "$scratch/quarvo.err")"
fi
# Unpacked where the desktop does not look, it registers itself completely, naming where it lies.
user_entry="$XDG_DATA_HOME/applications/quarvo.desktop"
grep -qF "Exec=\"$root/usr/bin/quarvo\" %f" "$user_entry" 2>/dev/null ||
    fail "the unpacked quarvo did not register its own path"
# Where the desktop reads the package's files, its user gets only the associations: the earlier
# entry gives way to the system's one.
XDG_DATA_DIRS="$share" start_quarvo || fail "the installed quarvo did not run its job a second time"
[ ! -e "$user_entry" ] || fail "a user's quarvo.desktop shadows the installed one"
grep -q '^application/zip=quarvo.desktop' "$XDG_CONFIG_HOME/mimeapps.list" ||
    fail "the installed quarvo did not add its associations"

if [ "$failures" -ne 0 ]; then
    echo "$failures package check(s) failed" >&2
    exit 1
fi
echo "package checks passed"
