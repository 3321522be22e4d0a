#!/usr/bin/env bash
# Runs the README's test command as a newcomer on another Debian release meets it: in a fresh,
# minimal root of that release (Debian 13, trixie, unless another code name is given), made by
# debootstrap from the package source this machine's apt already uses. The root holds nothing
# but the checkout's files (those git tracks, and the untracked ones it does not ignore);
# ./test.sh itself installs every tool it needs there, builds and runs every test.
#
#   tests/fresh-debian.sh [CODENAME]    as root; ends with test.sh's own closing lines
#
# The run lives in a mount and PID namespace of its own: the root's /proc, /sys and /dev are
# mounted only there, and when the run ends, fails or is interrupted, the kernel ends every
# process still in the namespace and drops its mounts with it. The root, under /var/tmp and
# outside the checkout, is removed only once the host sees no mount inside it.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
checkout=$(cd "$here/.." && pwd)

# --------------------------------------------------------------------------------------------
# Inside the namespace: make the root, fill it, run the tests in it.
# --------------------------------------------------------------------------------------------
inside() {
  local work=$1 target=$2 mirror=$3
  local root="$work/root"
  mount --make-rprivate /
  echo "fresh-debian: debootstrap --variant=minbase $target from $mirror" >&2
  if ! debootstrap --variant=minbase "$target" "$root" "$mirror" >"$work/debootstrap.log" 2>&1; then
    tail -n 20 "$work/debootstrap.log" >&2
    echo "fresh-debian: debootstrap failed" >&2
    return 1
  fi
  cp "$work/sources.list" "$root/etc/apt/sources.list"
  cp "$work/apt.conf" "$root/etc/apt/apt.conf.d/00host-package-source"
  cp -L /etc/resolv.conf "$root/etc/resolv.conf"
  mount -t proc proc "$root/proc"
  mount --rbind /sys "$root/sys"
  mount --rbind /dev "$root/dev"
  mount -t tmpfs -o mode=1777,nosuid,nodev shm "$root/dev/shm"  # not the host's

  mkdir "$root/src"
  # (A tracked file deleted from the work tree is left out, with a warning.)
  (cd "$checkout" && git ls-files -z --cached --others --exclude-standard |
    tar --null -T - --ignore-failed-read -cf -) | tar -C "$root/src" -xf -

  echo "fresh-debian: ./test.sh in a fresh Debian $target root" >&2
  chroot "$root" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM=dumb CI="${CI:-}" \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    bash -c 'cd /src && ./test.sh'
}

if [ "${1:-}" = --inside ]; then
  shift
  inside "$@"
  exit
fi

# --------------------------------------------------------------------------------------------
# Outside: the package source, the namespace, and the clean-up however the run ends.
# --------------------------------------------------------------------------------------------
target=${1:-trixie}
[ "$(id -u)" -eq 0 ] || { echo "fresh-debian: run it as root (debootstrap, chroot and mounts)" >&2; exit 2; }
command -v git >/dev/null || { echo "fresh-debian: needs git, to copy the checkout's files" >&2; exit 2; }
if ! command -v debootstrap >/dev/null; then
  apt-get update -q && DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends debootstrap
fi

# The releases this machine's apt reads (its main suite, -updates, -security), each turned
# into the same suite of the target release at the same address.
# shellcheck source=/dev/null
host=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
[ -n "$host" ] || { echo "fresh-debian: /etc/os-release names no Debian release" >&2; exit 2; }
mirror=
sources=()
while read -r uri suite; do
  case "$suite" in
    "$host") mirror=$uri; sources+=("deb $uri $target main") ;;
    "$host"-updates | "$host"-security) sources+=("deb $uri $target-${suite#"$host"-} main") ;;
  esac
done < <(apt-get indextargets --format '$(REPO_URI) $(RELEASE)' 'Identifier: Packages' | sort -u)
[ -n "$mirror" ] || { echo "fresh-debian: this machine's apt reads no $host suite to take the mirror from" >&2; exit 2; }

work=$(mktemp -d /var/tmp/varnok-fresh-debian.XXXXXX)
printf '%s\n' "${sources[@]}" >"$work/sources.list"
# How this machine's apt reaches that source (a proxy, a mirror whose Release files are older
# than their validity), so that the root's apt reaches it alike.
apt-config dump | grep -E '^Acquire::(Check-Valid-Until|Check-Date|https?::Proxy) ' >"$work/apt.conf" || true

namespace=
finish() {
  local status=$?
  trap - INT TERM
  if [ -n "$namespace" ]; then
    kill -KILL "$namespace" 2>/dev/null || true  # its init, and with it every process inside, ends
    wait "$namespace" 2>/dev/null || true
  fi
  if awk -v top="$work/" 'index($5 "/", top) == 1 { found = 1 } END { exit !found }' /proc/self/mountinfo; then
    echo "fresh-debian: something is still mounted inside $work; left in place" >&2
    exit 1
  fi
  rm -rf --one-file-system "$work"
  exit "$status"
}
trap finish EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

unshare --mount --pid --fork --kill-child "$here/fresh-debian.sh" --inside "$work" "$target" "$mirror" &
namespace=$!
wait "$namespace"
