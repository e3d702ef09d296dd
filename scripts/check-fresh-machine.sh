#!/usr/bin/env bash
# Runs one of the README's commands as a newcomer would: as root, from a fresh
# clone of this repository, inside a clean Debian 12 (a debootstrap minbase
# root, nothing else installed). Exits with that command's status.
#   check-fresh-machine.sh [COMMAND]     default: scripts/run-tests.sh
# Files named in ORVANE_FRESH_FILES (blank-separated) are copied into the
# root's /root/packages first.
#
# The root is made once and kept as a tarball (ORVANE_FRESH_ROOT_CACHE,
# default /var/cache/orvane/bookworm-minbase.tar), so later runs start in
# seconds. The Debian mirror is the one this machine's apt sources name.
# Everything is mounted in a private mount namespace and unmounted at the end,
# whatever happens; the root itself is made in a scratch folder and removed.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
command=${1:-scripts/run-tests.sh}
cache=${ORVANE_FRESH_ROOT_CACHE:-/var/cache/orvane/bookworm-minbase.tar}

if [ "$(id -u)" -ne 0 ]; then
  echo "check-fresh-machine.sh: must run as root (debootstrap, chroot, mount)" >&2
  exit 2
fi

# Mounts made below vanish with this private namespace even if we are killed.
if [ -z "${ORVANE_IN_PRIVATE_MOUNTS:-}" ]; then
  ORVANE_IN_PRIVATE_MOUNTS=1 exec unshare --mount --propagation private "$0" "$@"
fi

# The first Debian mirror among this machine's apt sources, deb822 or one-line.
debian_mirror() {
  local uri
  uri=$(awk '/^URIs:/ { for (i = 2; i <= NF; i++) if ($i !~ /security/) { print $i; exit } }' \
          /etc/apt/sources.list.d/*.sources 2>/dev/null || true)
  if [ -z "$uri" ]; then
    uri=$(awk '$1 == "deb" && $0 !~ /security/ { for (i = 2; i <= NF; i++) if ($i ~ /^[a-z]+:\/\//) { print $i; exit } }' \
            /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null || true)
  fi
  echo "${uri:-}"
}

if [ ! -s "$cache" ]; then
  command -v debootstrap >/dev/null || {
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends debootstrap
  }
  mirror=$(debian_mirror)
  if [ -z "$mirror" ]; then
    echo "check-fresh-machine.sh: no Debian mirror in this machine's apt sources" >&2
    exit 2
  fi
  echo "Making a Debian 12 minbase root from $mirror (once; kept in $cache)"
  fresh=$(mktemp -d /var/tmp/orvane-debootstrap.XXXXXX)
  chmod 755 "$fresh"  # a machine's / is searchable by every user
  if ! debootstrap --variant=minbase bookworm "$fresh" "$mirror" >"$fresh.log" 2>&1; then
    tail -n 30 "$fresh.log" >&2
    rm -rf --one-file-system "$fresh" "$fresh.log"
    exit 2
  fi
  mkdir -p "$(dirname "$cache")"
  tar -C "$fresh" --numeric-owner -cf "$cache.part" .
  mv "$cache.part" "$cache"
  rm -rf --one-file-system "$fresh" "$fresh.log"
fi

root=$(mktemp -d /var/tmp/orvane-fresh.XXXXXX)
cleanup() {
  for m in dev sys proc; do
    if mountpoint -q "$root/$m"; then umount -R "$root/$m" || umount -R -l "$root/$m"; fi
  done
  # Never remove through a mount that is still there.
  if ! grep -q " $root/" /proc/self/mounts; then rm -rf --one-file-system "$root"; fi
}
trap cleanup EXIT
tar -C "$root" --numeric-owner -xf "$cache"
chmod 755 "$root"  # mktemp made it private; a machine's / is searchable by every user
cp /etc/resolv.conf "$root/etc/resolv.conf"
git clone -q --no-hardlinks "$repo" "$root/root/orvane"
mkdir -p "$root/root/packages"
for f in ${ORVANE_FRESH_FILES:-}; do cp "$f" "$root/root/packages/"; done

mount -t proc proc "$root/proc"
mount -t sysfs sysfs "$root/sys"
mount --rbind /dev "$root/dev"
mount --make-rslave "$root/dev"

echo "In a clean Debian 12 root, from a fresh clone: $command"
status=0
chroot "$root" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM="${TERM:-dumb}" CI="${CI:-}" \
  PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
  /bin/bash -c "cd /root/orvane && $command" || status=$?
echo "check-fresh-machine.sh: '$command' exited with $status"
exit "$status"
