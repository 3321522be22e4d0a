#!/usr/bin/env bash
# Runs the README's test command as a newcomer on another Debian release meets it: in a fresh,
# minimal root of that release (Debian 13, trixie, unless another code name is given), made by
# debootstrap from the package source this machine's apt is set up with. The root holds nothing
# but the checkout's files (those git tracks, and the untracked ones it does not ignore);
# ./test.sh itself installs every tool it needs there, builds and runs every test.
#
#   tests/fresh-debian.sh [CODENAME]    as root; ends with test.sh's own closing lines
#
# It needs git, and 6 GiB free under /var/tmp. A proxy that this machine's apt is told to
# use (Acquire::http::Proxy, Acquire::https::Proxy), or else the http_proxy and https_proxy
# variables, carries debootstrap's downloads and the root's apt alike.
#
# The run lives in a mount and PID namespace of its own: the root's /proc, /sys and /dev are
# mounted only there, and when the namespace's first process ends, the kernel ends every other
# process in it and drops its mounts. A run that is interrupted or fails while the namespace
# still runs ends it by killing its job (never a bare process id, which may by then belong to
# another process). However the run ended, the root is removed only once no process has its
# root or working folder inside it; should one still have after a minute, the root is left in
# place, and the script says so.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd -P)
checkout=$(cd "$here/.." && pwd -P)

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
  tar -C "$root/src" --no-same-owner -xf "$work/checkout.tar"

  echo "fresh-debian: ./test.sh in a fresh Debian $target root" >&2
  local proxies=() name
  for name in http_proxy https_proxy no_proxy; do [ -z "${!name:-}" ] || proxies+=("$name=${!name}"); done
  chroot "$root" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM=dumb CI="${CI:-}" "${proxies[@]}" \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    bash -c 'cd /src && ./test.sh'
}

if [ "${1:-}" = --inside ]; then
  shift
  inside "$@"
  exit
fi

# --------------------------------------------------------------------------------------------
# Outside: the checks, the package source, the namespace, and the clean-up however the run ends.
# --------------------------------------------------------------------------------------------
target=${1:-trixie}
need_gib=6  # a whole run's root peaked at 4.9 GiB, and a margin
say() { echo "fresh-debian: $*" >&2; }
[ "$(id -u)" -eq 0 ] || { say "run it as root (debootstrap, chroot and mounts)"; exit 2; }
command -v git >/dev/null || { say "needs git, to copy the checkout's files"; exit 2; }
available_kib=$(df --output=avail -k /var/tmp | tail -n 1)
[ "$available_kib" -ge $((need_gib * 1024 * 1024)) ] || {
  say "needs $need_gib GiB free under /var/tmp for the root, its packages and builds; it has" \
    "$(awk -v k="$available_kib" 'BEGIN { printf "%.1f", k / 1048576 }') GiB"
  exit 2
}

# The releases this machine's apt is set up to read (its main suite, -updates, -security), each
# turned into the same suite of the target release at the same address. From the sources
# themselves, so that a machine whose package lists were removed (as container images do) is
# no different.
# shellcheck source=/dev/null
host=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
[ -n "$host" ] || { say "/etc/os-release names no Debian release"; exit 2; }
mirror=
sources=()
while read -r uri suite; do
  case "$suite" in
    "$host") mirror=$uri; sources+=("deb $uri $target main") ;;
    "$host"-updates | "$host"-security) sources+=("deb $uri $target-${suite#"$host"-} main") ;;
  esac
done < <(apt-get indextargets --no-release-info --format '$(REPO_URI) $(RELEASE)' 'Identifier: Packages' | sort -u)
[ -n "$mirror" ] || { say "this machine's apt sources name no Debian '$host' suite to take the mirror from"; exit 2; }

# debootstrap reads none of apt's settings, and the root's tests run with a clean environment:
# the proxy apt uses is handed to both ("DIRECT" or "false" in apt's setting mean none).
eval "$(apt-config shell apt_http_proxy Acquire::http::Proxy apt_https_proxy Acquire::https::Proxy)"
for scheme in http https; do
  setting=apt_${scheme}_proxy
  case "${!setting:-}" in
    "") ;;
    *://*) export "${scheme}_proxy=${!setting}" ;;
    *) unset "${scheme}_proxy" ;;
  esac
done

if ! command -v debootstrap >/dev/null; then
  say "installing debootstrap"
  apt-get update -q && DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends debootstrap
fi

[ -e "/usr/share/debootstrap/scripts/$target" ] ||
  { say "debootstrap knows no release named '$target' (/usr/share/debootstrap/scripts)"; exit 2; }

work=$(mktemp -d /var/tmp/varnok-fresh-debian.XXXXXX)
namespace_running=no
# Processes whose root or working folder is inside the work folder, as "/proc/PID".
inside_work() {
  find /proc -mindepth 2 -maxdepth 2 \( -name root -o -name cwd \) \( -lname "$work" -o -lname "$work/*" \) \
    -printf '%h\n' 2>/dev/null | sort -u
}
finish() {
  local status=$?
  trap '' INT TERM  # the clean-up is bounded; a second Ctrl-C does not leave it half done
  if [ "$namespace_running" = yes ]; then
    say "ending the run in the root"
    # unshare ignores SIGTERM. Killed, it takes the namespace's first process with it
    # (--kill-child), and the kernel the rest. Through the job: bash signals a job's process
    # only while it has not reaped it, never a process that took its number later.
    kill -KILL %unshare 2>/dev/null || true
    wait 2>/dev/null || true
  fi
  # A killed namespace's processes end on their own time.
  local waited=0 left
  while left=$(inside_work) && [ -n "$left" ] && [ "$waited" -lt 300 ]; do sleep 0.2; waited=$((waited + 1)); done
  if [ -n "$left" ]; then
    say "processes still run inside $work after a minute; left in place:" $left
    exit 1
  fi
  [ "$waited" -eq 0 ] || say "the root's last processes ended within $(awk -v n="$waited" 'BEGIN { print n / 5 }') s"
  if ! rm -rf --one-file-system "$work"; then
    say "$work could not be removed whole"
    exit 1
  fi
  exit "$status"
}
trap finish EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

printf '%s\n' "${sources[@]}" >"$work/sources.list"
# How this machine's apt reaches that source (its proxy, Release files older than their
# validity), so that the root's apt reaches it alike.
apt-config dump | grep -E '^Acquire::(Check-Valid-Until|Check-Date|https?::Proxy) ' >"$work/apt.conf" || true
# The checkout's files, taken now so that a checkout git refuses stops the run before it starts.
# Run as root on a checkout another user owns, git would refuse it as of dubious ownership:
# this run reads it, and trusts it for this one command only.
checkout_files() {
  git -c safe.directory="$checkout" -C "$checkout" ls-files -z --cached --others --exclude-standard
}
checkout_files >/dev/null || { say "git cannot list the checkout's files (above)"; exit 2; }
# (A tracked file deleted from the work tree is left out, with a warning.)
(cd "$checkout" && checkout_files | tar --null -T - --ignore-failed-read -cf "$work/checkout.tar")

namespace_running=yes
unshare --mount --pid --fork --kill-child "$here/fresh-debian.sh" --inside "$work" "$target" "$mirror" &
status=0
wait $! || status=$?
namespace_running=no
exit "$status"
