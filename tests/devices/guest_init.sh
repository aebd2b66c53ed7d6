#!/bin/busybox sh
# shellcheck shell=dash disable=SC2154  # m797_* come from the kernel's command line
# The first process of the device-test guest, in its initramfs: loads the drivers, mounts the
# host's root read-only under a RAM overlay, and runs the guest's test script there in a chroot.
# The kernel passes m797_run (the script), m797_out (the folder shared writable for results) and
# m797_build (the build folder).
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
}

for module in $(cat /modules.list); do
  insmod "/lib/modules/$module.ko" || fail "cannot load $module"
done

mkdir -p /host /ram /newroot
mount -t 9p -o trans=virtio,version=9p2000.L,ro,msize=262144 hostroot /host || fail "no host root"
mount -t tmpfs -o size=512m tmpfs /ram
mkdir -p /ram/upper /ram/work
mount -t overlay overlay -o lowerdir=/host,upperdir=/ram/upper,workdir=/ram/work /newroot ||
  fail "no overlay"
mount -t 9p -o trans=virtio,version=9p2000.L,msize=262144 results "/newroot$m797_out" ||
  fail "no results folder"
mount --move /dev /newroot/dev
mount --move /proc /newroot/proc
mount --move /sys /newroot/sys
mkdir -p /newroot/dev/pts && mount -t devpts -o ptmxmode=0666 devpts /newroot/dev/pts
mount -t tmpfs tmpfs /newroot/tmp
mount -t tmpfs tmpfs /newroot/run
exec chroot /newroot /bin/bash "$m797_run" "$m797_out" "$m797_build"
