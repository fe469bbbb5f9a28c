# Installs the Debian packages a step needs, only when one is missing, without questions.
# Sourced by ./run and ./test; the lists below are the whole of what the project needs.

QUARVO_BUILD_PACKAGES=(cmake ninja-build g++ pkg-config qt6-base-dev zlib1g-dev libdeflate-dev
    libarchive-dev libgtest-dev libgmock-dev libglib2.0-dev libxcb1-dev
    libbz2-dev liblzma-dev libzstd-dev libssl-dev)
# mold links the many sanitizer-instrumented test executables in a fraction of ld.bfd's time; the
# build falls back to the default linker where it is missing (cmake/QuarvoLinker.cmake).
QUARVO_BUILD_PACKAGES+=(mold)
# Real peers for the interoperability tests and the benchmark: GNU tar, bsdtar and the compressors
# whose streams the TAR engine reads (ncompress is the compress program, lzip the LZIP one); and a
# virtual X display (with xauth, which xvfb-run needs) for the program's unattended "-e" runs.
QUARVO_TEST_PACKAGES=(zip unzip p7zip-full libarchive-tools python3 tar gzip ncompress bzip2 xz-utils zstd
    lzip xvfb xauth)
# pigz is the benchmark's peer for one large stream deflated on all cores.
QUARVO_TEST_PACKAGES+=(pigz)
# pdftotext and pdfinfo read back the listings the printing tests print to PDF files.
QUARVO_TEST_PACKAGES+=(poppler-utils)
# The desktop registration's tests validate the files it writes with the freedesktop tools.
QUARVO_TEST_PACKAGES+=(desktop-file-utils libxml2-utils shared-mime-info)

# Making and checking the Debian package (scripts/build-deb, and ./test's package check): dpkg-shlibdeps
# and file for CPack's dependency scan, groff to check the manual pages.
QUARVO_PACKAGE_PACKAGES=(dpkg-dev file groff-base)
QUARVO_TEST_PACKAGES+=("${QUARVO_PACKAGE_PACKAGES[@]}")

quarvo_missing_packages() {
    local package
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
            printf '%s\n' "$package"
        fi
    done
}

quarvo_ensure_packages() {
    local missing
    missing=$(quarvo_missing_packages "$@")
    [ -z "$missing" ] && return 0
    echo "Installing missing packages:" $missing
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    # shellcheck disable=SC2086
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends $missing
}
