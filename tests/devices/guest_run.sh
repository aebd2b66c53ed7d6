#!/bin/bash
# Runs in the device-test machine, in a chroot on the host's root: the serial and end-to-end
# tests on each of the machine's serial devices, whose far ends the device relay on the host
# works.  Writes each program's output, and what was left out and why, to the results folder
# given, then powers the machine off.
#
#   guest_run.sh RESULTS BUILD
out=$1
build=$2
exec >"$out/guest.log" 2>&1
cut -d' ' -f1 /proc/uptime >"$out/booted.txt"  # seconds since the kernel started
export HOME=/tmp LANG=C.UTF-8
unset XDG_CONFIG_HOME

finish() {
  sync
  echo o >/proc/sysrq-trigger
  sleep 60
}
trap finish EXIT

for _ in $(seq 300); do
  [ -e /dev/ttyUSB0 ] && break
  sleep 0.1
done

# Tests that need what one kind of device cannot give, with the reason.
declare -A left_out
left_out[ttyS1:SessionOverLine.HangUp*]="a 16550 UART on the board cannot be pulled out"
pty_only='PortTest.BytesStillQueuedAtCloseAreNotSent'
left_out[all:$pty_only]="a UART driver takes the bytes into its own transmit buffer even while output is suspended; only a pseudo-terminal refuses them"
left_out[all:SessionOverLine.GarbageBetweenFramesLosesNoAnswer]="the session drops a chunk that starts with noise, by design; a stall of the emulated machine longer than the 30 ms between the noise and the answer hands both over as one chunk"
left_out[all:Ecusim.*]="the simulator's own test, on the host's pseudo-terminals"

# The relay's port for each device.
declare -A relay_port
for port in /sys/class/virtio-ports/*; do
  port_name=$(cat "$port/name")
  relay_port[${port_name#m797.}]=/dev/$(basename "$port")
done

run() { # device, program, label, gtest filter
  local device=$1 program=$2 label=$3 filter=$4 name
  name=$(basename "$device")
  local excluded=()
  local key
  for key in "${!left_out[@]}"; do
    case $key in
    all:* | "$name":*)
      excluded+=("${key#*:}")
      echo "$name ${key#*:} -- ${left_out[$key]}" >>"$out/left-out.txt"
      ;;
    esac
  done
  local negative
  negative=$(IFS=:; echo "${excluded[*]}")
  local started=$SECONDS status=0
  M797_DEVICE=$device M797_DEVICE_RELAY=${relay_port[$name]} M797_DEVICE_LABEL="$label $name" \
    timeout 300 \
    "$build/tests/devices/$program" --gtest_filter="$filter-$negative" \
    >"$out/$label-$name.log" 2>&1 || status=$?
  echo "$label $name $status $((SECONDS - started))" >>"$out/runs.txt"
}

: >"$out/left-out.txt"
: >"$out/runs.txt"
# One program at a time: the tests read timing, and the machine's two processors are the host's
# two cores, which the emulation itself needs too.
for device in /dev/ttyS1 /dev/ttyUSB0; do
  name=$(basename "$device")
  if [ "$name" = ttyS1 ]; then  # bound by the 8250 driver's pnp glue, which says "serial"
    driver="8250 ($(awk '$1 == "1:" { sub("uart:", "", $2); print $2 }' /proc/tty/driver/serial))"
  else
    driver=$(basename "$(readlink -f "/sys/class/tty/$name/device/driver")")
  fi
  echo "$name $driver" >>"$out/drivers.txt"
  run "$device" device_serial_tests serial '*'
  if [ "$name" = ttyUSB0 ]; then
    run "$device" device_loss_tests loss '*'
  else
    echo "$name device_loss_tests -- a 16550 UART on the board cannot be pulled out" >>"$out/left-out.txt"
  fi
  run "$device" device_e2e_tests e2e 'SessionOverLine.*'
  run "$device" device_e2e_tests wakeup 'DeviceWakeUp.*'
  if [ "$name" = ttyUSB0 ]; then
    run "$device" device_e2e_tests elm327 'DeviceElm327.*'
  else
    echo "$name DeviceElm327.* -- ELM327 adapters come with a USB serial chip; the FTDI adapter's run covers them" >>"$out/left-out.txt"
  fi
done
echo "guest: finished"
