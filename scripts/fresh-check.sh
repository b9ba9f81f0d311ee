#!/usr/bin/env bash
# The README's commands on a freshly installed Debian 12, as a new developer would run them.
#
#   scripts/fresh-check.sh [COMMIT]        (default: HEAD; run as root)
#
# A minimal Debian 12 root (debootstrap --variant=minbase bookworm) is copied into a temporary
# folder, a clean clone of COMMIT is made inside it, and chrooted there (with /proc, /sys and /dev
# bound) it runs:
#   1. the README's test command, exactly as the README states it;
#   2. the README's start command, with `--version` given to the program instead of opening its
#      window: the users' build must build, and the program must start.
# Whatever the commands need they must install themselves: nothing installed on this machine
# reaches them. Only what cannot hide a missing package is kept between runs, outside the clone,
# in VT_FRESH_CACHE (default /var/cache/velkintree-ci):
#   base/     the unpacked minimal root, made once and never changed afterwards (besides what
#             debootstrap installs it holds ccache, and dpkg skips syncing every file);
#   apt/      the .deb files apt downloaded (bound at /var/cache/apt/archives);
#   ccache/   the compiler cache (bound at /var/cache/ccache; the builds use it through
#             CMAKE_C_COMPILER_LAUNCHER and CMAKE_CXX_COMPILER_LAUNCHER).
# VT_FRESH_MIRROR names the Debian mirror (default http://deb.debian.org/debian). The temporary
# root is removed at the end, also when a step fails.
set -euo pipefail

src="$(cd "$(dirname "$0")/.." && pwd)"
cache="${VT_FRESH_CACHE:-/var/cache/velkintree-ci}"
mirror="${VT_FRESH_MIRROR:-http://deb.debian.org/debian}"
# Names what the base holds: a base made under another name is made again.
base_version="bookworm minbase + ccache, 2"
start=$SECONDS
say() { printf '\n== fresh-check: %s (%d s)\n' "$1" $((SECONDS - start)); }

if [ "$(id -u)" -ne 0 ]; then
    echo "fresh-check: must run as root (debootstrap, mount, chroot)" >&2
    exit 1
fi
commit="$(git -C "$src" rev-parse --verify "${1:-HEAD}^{commit}")"
if [ -n "$(git -C "$src" status --porcelain --untracked-files=no)" ]; then
    echo "fresh-check: checks the commit $commit; changes not committed are not part of it" >&2
fi

# The tools of this check on the machine that runs it.
for tool in debootstrap chroot mount git; do
    if ! command -v "$tool" >/dev/null; then
        bash "$src/scripts/bootstrap.sh" --fresh-check
        break
    fi
done

mkdir -p "$cache/apt/partial" "$cache/ccache"
base="$cache/base"

# ---- the cached base root ---------------------------------------------------------------------
bind_system() { # ROOT: binds /proc, /sys and /dev of this machine into ROOT
    local dir
    for dir in proc sys dev; do
        mkdir -p "$1/$dir"
        mount --rbind "/$dir" "$1/$dir"
        mount --make-rslave "$1/$dir"
    done
}
unbind_all() { # ROOT: unmounts everything below ROOT; false when something stays mounted
    local point
    for point in $(findmnt -rn -o TARGET | grep -F "$1/" | sort -r); do
        umount -R "$point" 2>/dev/null || umount -l "$point" 2>/dev/null || true
    done
    ! findmnt -rn -o TARGET | grep -qF "$1/"
}
processes_in() { # ROOT: the ids of the processes whose root is ROOT
    local link
    for link in /proc/[0-9]*/root; do
        case "$(readlink "$link" 2>/dev/null)" in
        "$1" | "$1"/*) link="${link#/proc/}" && echo "${link%/root}" ;;
        esac
    done
}
stop_processes() { # ROOT: ends what still runs inside ROOT (a step that failed may leave some)
    local pids signal=TERM tries=0
    while pids="$(processes_in "$1")" && [ -n "$pids" ] && [ $tries -lt 20 ]; do
        # shellcheck disable=SC2086
        kill -s "$signal" $pids 2>/dev/null || true
        sleep 0.5
        tries=$((tries + 1))
        [ $tries -ge 10 ] && signal=KILL
    done
}
remove_root() { # DIR: removes DIR once nothing below it runs or is mounted any more
    stop_processes "$1"
    if unbind_all "$1"; then
        rm -rf --one-file-system "$1"
    else
        echo "fresh-check: $1 still has mounts; left in place" >&2
    fi
}

if [ "$(cat "$base/.velkintree-base" 2>/dev/null)" != "$base_version" ]; then
    say "making the base root in $base (debootstrap --variant=minbase bookworm)"
    fresh="$cache/base.new"
    remove_root "$fresh"
    rm -rf --one-file-system "$base"
    trap 'remove_root "$fresh"' EXIT
    debootstrap --variant=minbase bookworm "$fresh" "$mirror" >"$cache/debootstrap.log" 2>&1 ||
        { tail -n 40 "$cache/debootstrap.log"; exit 1; }
    # As an installed system has them: the release, its updates and its security updates.
    cat >"$fresh/etc/apt/sources.list" <<EOF
deb $mirror bookworm main
deb $mirror bookworm-updates main
deb http://deb.debian.org/debian-security bookworm-security main
EOF
    cp -L /etc/resolv.conf "$fresh/etc/resolv.conf"
    # dpkg without a sync after every file: the root lives for one run.
    echo force-unsafe-io >"$fresh/etc/dpkg/dpkg.cfg.d/velkintree-unsafe-io"
    bind_system "$fresh"
    mkdir -p "$fresh/var/cache/apt/archives"
    mount --bind "$cache/apt" "$fresh/var/cache/apt/archives"
    chroot "$fresh" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin DEBIAN_FRONTEND=noninteractive \
        /bin/sh -c 'apt-get update -qq && apt-get install -y -qq --no-install-recommends ccache' \
        </dev/null >>"$cache/debootstrap.log" 2>&1 || { tail -n 40 "$cache/debootstrap.log"; exit 1; }
    unbind_all "$fresh"
    rm -rf "$fresh/var/lib/apt/lists/"*
    echo "$base_version" >"$fresh/.velkintree-base"
    mv "$fresh" "$base"
    trap - EXIT
fi

# ---- the temporary root -----------------------------------------------------------------------
work="$(mktemp -d /var/tmp/velkintree-fresh.XXXXXX)"
root="$work/root"
trap 'remove_root "$work"' EXIT
say "copying the base root into $root"
cp -a "$base" "$root"
rm -f "$root/.velkintree-base"
cp -L /etc/resolv.conf "$root/etc/resolv.conf"
bind_system "$root"
mount --bind "$cache/apt" "$root/var/cache/apt/archives"
mkdir -p "$root/var/cache/ccache"
mount --bind "$cache/ccache" "$root/var/cache/ccache"

say "cloning $commit"
clone=/root/velkintree
git clone --quiet --no-checkout "$src" "$root$clone"
git -C "$root$clone" checkout --quiet --detach "$commit"

# The commands as the README states them (an indented line after each heading line).
readme_command() {
    awk -v heading="$1" 'index($0, heading) == 1 { found = 1; next }
        found && /^    [^ ]/ { sub(/^    /, ""); print; exit }' "$root$clone/README.md"
}
test_command="$(readme_command "Build and run every test")"
start_command="$(readme_command "Build and start the program")"
program=" && ./build/bin/VelkinTree"
if [ -z "$test_command" ] || [ "${start_command%"$program"}" = "$start_command" ]; then
    echo "fresh-check: the README's test or start command was not found" >&2
    exit 1
fi
start_command="${start_command%"$program"}$program --version"
# VT_FRESH_START=program (CI) builds only the program in the start command's build, not the
# benchmarks beside it: the program must build and start without assertions, and the time of a
# second whole build is better spent elsewhere.
if [ "${VT_FRESH_START:-all}" = "program" ]; then
    start_command="${start_command/cmake --build build -j2/cmake --build build -j2 --target VelkinTree}"
fi

# VT_REQUIRE_POSTGRES=1: the tests of shared databases fail, rather than skip, when the database
# server they start is missing or cannot start there.
in_root() { # COMMAND: runs the shell command in the clone inside the root, as a fresh login would
    chroot "$root" /usr/bin/env -i HOME=/root USER=root LOGNAME=root SHELL=/bin/bash \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 \
        VT_REQUIRE_POSTGRES=1 \
        CCACHE_DIR=/var/cache/ccache CCACHE_MAXSIZE=8G \
        CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache \
        /bin/bash -c "cd $clone && $1" </dev/null
}

say "the test command: $test_command"
in_root "$test_command"
say "the start command: $start_command"
in_root "$start_command"
say "passed"
