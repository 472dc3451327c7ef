#!/usr/bin/env bash
# Installs everything the build and the tests need on Debian 12. Safe to run again:
# when every package is there already it only checks and returns.
set -euo pipefail

if [ "$(id -u)" -ne 0 ]; then
    exec sudo -- "$0" "$@"
fi
export DEBIAN_FRONTEND=noninteractive

packages=(
    cmake make g++ git ca-certificates
    g++-mingw-w64-i686 mingw-w64-i686-dev binutils-mingw-w64-i686
    # fonts-wine: Wine's own fonts (Marlett draws the caption buttons), only
    # recommended by wine, so --no-install-recommends would leave them out.
    wine wine32:i386 wine64
    xvfb xauth x11-utils imagemagick xdotool
    locales fonts-wqy-microhei fonts-wine
    googletest
    # The static checks, and the fuzzers of the name logic: clang, and
    # libFuzzer's runtime, which clang only recommends.
    clang clang-format clang-tidy libclang-rt-14-dev
    dpkg-dev zip unzip python3
)

# The zlib source package is fetched at build time, so apt needs a deb-src entry
# for the same Debian archive the system already uses.
src_list=/etc/apt/sources.list.d/quandrel-deb-src.sources
need_update=
if [ ! -f "$src_list" ]; then
    system_list=/etc/apt/sources.list.d/debian.sources
    if [ -f "$system_list" ]; then
        # First stanza of the system's own entry, turned into its source twin.
        awk 'BEGIN{RS=""; ORS="\n\n"} NR==1{print; exit}' "$system_list" |
            sed -e 's/^Types:.*/Types: deb-src/' -e 's/^Components:.*/Components: main/' >"$src_list"
    else
        codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
        printf 'Types: deb-src\nURIs: http://deb.debian.org/debian\nSuites: %s\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
            "$codename" >"$src_list"
    fi
    need_update=1
fi

if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
    need_update=1
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ -n "$need_update" ] || [ ${#missing[@]} -gt 0 ]; then
    apt-get update -q
fi
if [ ${#missing[@]} -gt 0 ]; then
    apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# Wine maps GBK file names to UTF-8 on disk only under a UTF-8 Chinese locale.
if ! locale -a 2>/dev/null | grep -qix 'zh_CN.utf8'; then
    sed -i 's/^# *\(zh_CN.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' >>/etc/locale.gen
    locale-gen
fi
# Wine runs 32-bit programs with 32-bit Linux code. Some virtual machines run
# 64-bit user code only (execve of an i386 ELF gives "Exec format error"); there
# the i386 code is emulated by qemu-user through binfmt_misc. Bookworm's qemu 7.2
# ignores MAP_FIXED_NOREPLACE, which makes every Wine start take about a minute
# of failed address-space reservations; the backported qemu honours it.
can_run_i386() { /lib/ld-linux.so.2 --help >/dev/null 2>&1; }
if ! can_run_i386; then
    echo "setup: this machine cannot run 32-bit code natively; emulating it with qemu-user"
    backports=/etc/apt/sources.list.d/quandrel-backports.sources
    if [ ! -f "$backports" ]; then
        codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
        printf 'Types: deb\nURIs: http://deb.debian.org/debian\nSuites: %s-backports\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
            "$codename" >"$backports"
        apt-get update -q
    fi
    if ! dpkg --compare-versions "$(dpkg-query -W -f='${Version}' qemu-user-static 2>/dev/null || echo 0)" ge 1:8; then
        apt-get install -y -q --no-install-recommends -t "$(. /etc/os-release && echo "$VERSION_CODENAME")-backports" \
            qemu-user-static
    fi
    binfmt=/proc/sys/fs/binfmt_misc
    [ -f "$binfmt/register" ] || mount -t binfmt_misc binfmt_misc "$binfmt"
    [ -e "$binfmt/qemu-i386" ] && echo -1 >"$binfmt/qemu-i386"
    # ELF, 32-bit, little-endian, executable or shared object, machine i386.
    printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:OCF' \
        >"$binfmt/register"
    can_run_i386 || { echo "setup: 32-bit programs still cannot run" >&2; exit 1; }
fi
echo "setup: all dependencies present"
