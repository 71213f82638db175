#!/usr/bin/env bash
# A developer's check, not part of the test command: the README's test command as a new
# user runs it, as root in a minimal Debian 12 root, with the clone in /root/moravik.
#
# Usage: scripts/check_fresh_root.sh [COMMAND]   (COMMAND defaults to ./scripts/test.sh)
#
# The root is made once with debootstrap and kept as a tarball in the cache folder
# (MORAVIK_FRESH_ROOT_CACHE, ~/.cache/moravik-fresh-root); each check unpacks a new copy,
# clones HEAD into it and runs the command there with CI=true, as CI runs it. Set
# MORAVIK_BUSY=1 to keep both cores busy with `yes` during the run, as a loaded machine would.
set -euo pipefail
cd "$(dirname "$0")/.."

command=${1:-./scripts/test.sh}
cache=${MORAVIK_FRESH_ROOT_CACHE:-${HOME}/.cache/moravik-fresh-root}
mirror=${MORAVIK_DEBIAN_MIRROR:-http://deb.debian.org/debian}
tarball="${cache}/bookworm-minbase.tar"

if [ "$(id -u)" -ne 0 ]; then
  echo "check_fresh_root: run as root (debootstrap and chroot need it)" >&2
  exit 2
fi
if ! command -v debootstrap >/dev/null; then
  apt-get update -q && apt-get install -y -q --no-install-recommends debootstrap
fi

mkdir -p "${cache}"
if [ ! -f "${tarball}" ]; then
  echo "check_fresh_root: making a minimal Debian 12 root (once)"
  debootstrap --variant=minbase --make-tarball="${tarball}.part" bookworm \
    "$(mktemp -d)" "${mirror}"
  mv "${tarball}.part" "${tarball}"
fi

root=$(mktemp -d /var/tmp/moravik-fresh-root.XXXXXX)
busy=()
cleanup() {
  for pid in "${busy[@]}"; do kill "${pid}" 2>/dev/null || true; done
  for mount in dev/pts dev proc sys; do umount -l "${root}/${mount}" 2>/dev/null || true; done
  rm -rf --one-file-system "${root}"
}
trap cleanup EXIT

debootstrap --variant=minbase --unpack-tarball="${tarball}" bookworm "${root}" "${mirror}"
cp /etc/resolv.conf "${root}/etc/resolv.conf"
# The root has no certificate authorities of its own, so npm's HTTPS fails on a
# network that re-signs TLS. It gets the host's bundle as the host uses it, as
# NODE_EXTRA_CA_CERTS; apt fetches over plain HTTP and needs none.
host_bundle=${NODE_EXTRA_CA_CERTS:-/etc/ssl/certs/ca-certificates.crt}
root_bundle=/etc/ssl/host-ca-certificates.crt
ca_environment=()
if [ -f "${host_bundle}" ]; then
  mkdir -p "${root}/etc/ssl"
  cp "${host_bundle}" "${root}${root_bundle}"
  ca_environment=(NODE_EXTRA_CA_CERTS="${root_bundle}")
fi
mount -t proc proc "${root}/proc"
mount -t sysfs sys "${root}/sys"
mount --bind /dev "${root}/dev"
mount --bind /dev/pts "${root}/dev/pts"

# What a new user has after cloning: the committed tree, nothing else.
git clone -q --no-local . "${root}/root/moravik"
chmod 700 "${root}/root"

if [ "${MORAVIK_BUSY:-0}" = 1 ]; then
  for _ in $(seq "$(nproc)"); do yes >/dev/null & busy+=($!); done
fi
echo "check_fresh_root: running ${command} in /root/moravik of a fresh Debian 12 root"
chroot "${root}" env -i HOME=/root PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
  LANG=C.UTF-8 CI=true "${ca_environment[@]}" bash -c "cd /root/moravik && ${command}"
echo "check_fresh_root: passed"
