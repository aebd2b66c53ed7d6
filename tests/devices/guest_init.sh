#!/bin/busybox sh
# shellcheck shell=dash
# The first process of the device-test guest, in its initramfs: loads the drivers, mounts the
# host's root read-only under a RAM overlay, and runs the guest's test script there in a chroot.
# The host's script writes the paths into /paths, one a line (they may hold blanks): the test
# script, the folder shared writable for the results, and the build folder.
/bin/busybox --install -s /bin
export PATH=/bin
mount -t proc proc /proc
mount -t sysfs sys /sys
mount -t devtmpfs dev /dev
# Only what the tests print goes to the console, not the kernel's notices.
echo 1 >/proc/sys/kernel/printk

fail() {
  echo "guest: $*"
  echo o >/proc/sysrq-trigger
  sleep 60
  exit 1
}

{
  IFS= read -r m797_run
  IFS= read -r m797_out
  IFS= read -r m797_build
} </paths

for module in $(cat /modules.list); do
  insmod "/lib/modules/$module.ko" || fail "cannot load $module"
done

mkdir -p /host /ram /newroot
mount -t 9p -o trans=virtio,version=9p2000.L,ro,msize=262144 hostroot /host || fail "no host root"
mount -t tmpfs -o size=512m tmpfs /ram
mkdir -p /ram/upper /ram/work
mount -t overlay overlay -o lowerdir=/host,upperdir=/ram/upper,workdir=/ram/work /newroot ||
  fail "no overlay"
# Empty /tmp and /run of the machine's own, unless the checkout or the build lies in one: a tmpfs
# there would hide them.  The host's folder then stays, its writes going to the RAM overlay.
under() { # folder, path
  case "$2/" in "$1"/*) return 0 ;; esac
  return 1
}
for folder in /tmp /run; do
  if under $folder "$m797_run" || under $folder "$m797_out" || under $folder "$m797_build"; then
    echo "guest: $folder is the host's, as it holds the checkout or the build"
  else
    mount -t tmpfs tmpfs "/newroot$folder"
  fi
done
[ -f "/newroot$m797_run" ] || fail "no test script $m797_run in the host's root as the machine sees it"
[ -d "/newroot$m797_build" ] || fail "no build folder $m797_build in the host's root as the machine sees it"
mount -t 9p -o trans=virtio,version=9p2000.L,msize=262144 results "/newroot$m797_out" ||
  fail "no results folder $m797_out"
mount --move /dev /newroot/dev
mount --move /proc /newroot/proc
mount --move /sys /newroot/sys
mkdir -p /newroot/dev/pts && mount -t devpts -o ptmxmode=0666 devpts /newroot/dev/pts
exec chroot /newroot /bin/bash "$m797_run" "$m797_out" "$m797_build"
