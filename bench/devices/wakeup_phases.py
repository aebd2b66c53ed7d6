#!/usr/bin/python3
"""The K-line wake-up as the serial devices of the device-test machine saw it.

Reads QEMU's trace of the machine (the 16550 UART's register writes, the FTDI adapter's control
requests; microsecond timestamps), its record of the adapter's USB traffic (pcap), and the relay's
marks, which say when each test program began.  In the windows of the programs that run the
session (labels "e2e" and "wakeup") it finds each wake-up: DTR raised (at a start only), the break
set, the break cleared, then the first byte of the request 81 11 F1 81 04.  Prints, per device,
min / median / max of each phase in milliseconds, and how many came out shorter than the
pattern asks for.  Fails when too few wake-ups are found (one at a start and ten of the
watchdog per device at least) or when a break followed DTR after 300 ms or less.

The session times both phases from one reading of the clock taken before it asks for the break,
so whatever the driver needs to set the break (a register write on the UART, a USB control
transfer on the adapter) comes off the low phase, and what it needs to clear it comes off the
high phase; the report shows by how much.

  wakeup_phases.py TRACE MARKS PCAP...
"""
import re
import statistics
import struct
import sys

START_REQUEST = [0x81, 0x11, 0xF1, 0x81, 0x04]
LCR, MCR, THR = 3, 4, 0
LCR_BREAK, LCR_DLAB, MCR_DTR = 0x40, 0x80, 0x01
FTDI_SET_MDM_CTRL, FTDI_SET_DATA = 0x4001, 0x4004
FTDI_BREAK, FTDI_DTR, FTDI_DTR_MASK = 0x4000, 0x0001, 0x0100


def read_trace(path):
    """Events per device kind: (seconds, what, value); a rate set is ("rate", bit/s)."""
    uart, usb = [], []
    line_re = re.compile(r"^\d+@(\d+\.\d+):(\w+) (.*)$")
    lcr = mcr = 0
    usb_break = usb_dtr = False
    with open(path, errors="replace") as trace:
        for line in trace:
            m = line_re.match(line)
            if not m:
                continue
            t, event, text = float(m.group(1)), m.group(2), m.group(3)
            if event == "serial_write":
                w = re.search(r"addr 0x([0-9a-f]+) val 0x([0-9a-f]+)", text)
                addr, val = int(w.group(1), 16), int(w.group(2), 16)
                if addr == LCR:
                    if val & LCR_BREAK and not lcr & LCR_BREAK:
                        uart.append((t, "break on", 0))
                    if lcr & LCR_BREAK and not val & LCR_BREAK:
                        uart.append((t, "break off", 0))
                    lcr = val
                elif addr == MCR:
                    if val & MCR_DTR and not mcr & MCR_DTR:
                        uart.append((t, "dtr on", 0))
                    mcr = val
                elif addr == THR and not lcr & LCR_DLAB:
                    uart.append((t, "byte", val))
            elif event == "serial_update_parameters":
                r = re.search(r"baudrate=(\d+)", text)
                uart.append((t, "rate", int(r.group(1))))
            elif event == "usb_serial_set_baud":
                r = re.search(r"baud rate (\d+)", text)
                usb.append((t, "rate", int(r.group(1))))
            elif event == "usb_serial_handle_control":
                c = re.search(r"control 0x([0-9a-f]+), value 0x([0-9a-f]+)", text)
                request, value = int(c.group(1), 16), int(c.group(2), 16)
                if request == FTDI_SET_DATA:
                    on = bool(value & FTDI_BREAK)
                    if on != usb_break:
                        usb.append((t, "break on" if on else "break off", 0))
                    usb_break = on
                elif request == FTDI_SET_MDM_CTRL and value & FTDI_DTR_MASK:
                    on = bool(value & FTDI_DTR)
                    if on and not usb_dtr:
                        usb.append((t, "dtr on", 0))
                    usb_dtr = on
    return uart, usb


def read_pcap(path):
    """The bytes of each bulk OUT transfer to the adapter: (seconds, "byte", value)."""
    events = []
    with open(path, "rb") as f:
        data = f.read()
    if len(data) < 24:
        return events
    magic = struct.unpack_from("<I", data, 0)[0]
    if magic != 0xA1B2C3D4:
        raise SystemExit(f"{path}: not a little-endian pcap file")
    at = 24
    while at + 16 <= len(data):
        sec, usec, incl, _ = struct.unpack_from("<IIII", data, at)
        packet = data[at + 16 : at + 16 + incl]
        at += 16 + incl
        if len(packet) < 64:
            continue
        kind, xfer, ep = packet[8], packet[9], packet[10]
        if chr(kind) == "S" and xfer == 3 and not ep & 0x80:
            t = sec + usec / 1e6
            events.extend((t, "byte", b) for b in packet[64:])
    return events


def read_marks(path):
    marks = []
    with open(path) as f:
        for line in f:
            words = line.split()
            if len(words) >= 3:
                marks.append((float(words[0]), words[1], words[2]))
    return marks


def wake_ups(events):
    """Each wake-up followed by the start request: dict of phase lengths in ms."""
    found = []
    dtr = brk = brk_off = rate = None
    i = 0
    while i < len(events):
        t, what, value = events[i]
        if what == "rate":
            rate = value
        elif what == "dtr on":
            dtr, brk, brk_off = t, None, None
        elif what == "break on":
            brk, brk_off = t, None
        elif what == "break off" and brk is not None:
            brk_off = t
        elif what == "byte" and brk_off is not None:
            following = [e[2] for e in events[i : i + 12] if e[1] == "byte"][: len(START_REQUEST)]
            if following == START_REQUEST:
                phases = {"break": (brk_off - brk) * 1000, "idle": (t - brk_off) * 1000,
                          "rate": rate}
                if dtr is not None:
                    phases["dtr"] = (brk - dtr) * 1000
                found.append(phases)
            dtr = brk = brk_off = None
        i += 1
    return found


def main():
    if len(sys.argv) < 3:
        raise SystemExit(__doc__)
    uart, usb = read_trace(sys.argv[1])
    for pcap in sys.argv[3:]:
        usb.extend(read_pcap(pcap))
    usb.sort(key=lambda e: e[0])
    marks = read_marks(sys.argv[2])
    streams = {"ttyS1": uart, "ttyUSB0": usb}
    ok = True
    for device, events in streams.items():
        starts, watchdog, rates = [], [], set()
        for n, (begin, label, mark_device) in enumerate(marks):
            if mark_device != device or label not in ("e2e", "wakeup"):
                continue
            later = [m[0] for m in marks[n + 1 :] if m[2] == device]
            end = later[0] if later else float("inf")
            window = [e for e in events if begin <= e[0] < end]
            for w in wake_ups(window):
                (starts if "dtr" in w else watchdog).append(w)
                if w["rate"] is not None:
                    rates.add(w["rate"])
        if rates:
            print(f"   {device:8} the rate of the line at the wake-ups: "
                  + ", ".join(f"{r} bit/s ({(r - 10400) / 104:+.3f} % from 10400)"
                              for r in sorted(rates)))
        if not starts or len(watchdog) < 10:
            print(f"   {device}: {len(starts)} wake-ups at a start and {len(watchdog)} of the "
                  "watchdog found in the trace; too few")
            ok = False
            continue

        def line(name, values, floor, hard=False):
            nonlocal ok
            short = [v for v in values if v < floor] if floor else []
            if hard and short:
                ok = False
            note = f"   {len(short)} under {floor:.1f}" if short else ""
            print(f"   {device:8} {name:34} n={len(values):3}  min {min(values):7.2f}  "
                  f"median {statistics.median(values):7.2f}  max {max(values):7.2f} ms{note}")

        line("start: DTR raised -> break", [w["dtr"] for w in starts], 300.0, hard=True)
        line("start: break (low)", [w["break"] for w in starts], 25.0, hard=True)
        line("start: break cleared -> 81 (idle)", [w["idle"] for w in starts], 25.0, hard=True)
        line("watchdog: break (low)", [w["break"] for w in watchdog], 25.0, hard=True)
        line("watchdog: break cleared -> 81", [w["idle"] for w in watchdog], None)
    sys.exit(0 if ok else 1)


main()
