#!/usr/bin/env python3
"""Writes the seed corpus of the fuzz targets from real runs of the simulator and m797-cli.

    make_corpus.py RUNS_DIR [CORPUS_DIR]

RUNS_DIR holds what the runs left: simN.log, the simulator's frame log (ecusim --log), wireN.log,
m797-cli's wire log of the same run (live --wire-log), and liveN.csv, its recording (live --csv);
N is the controller type (1 to 3; 4 for a run with --stop-after).  The logs and recordings go in as
they are; the frames of the line are cut into the chunk form the binary targets read (chunked_input.h):
a head byte per chunk, its low six bits the length less one, its top two bits the pause before it.
"""
import pathlib
import re
import sys

PAUSE_NONE, PAUSE_BYTE, PAUSE_ANSWER = 0, 1, 2


def frames(log, direction):
    """The frames of one direction in a wire log, each a list of byte values."""
    out = []
    for line in log.read_text().splitlines():
        words = line.split()
        if len(words) > 2 and words[1] == direction:
            out.append([int(w, 16) for w in words[2:]])
    return out


def chunked(groups, size):
    """Each group's bytes in chunks of `size`, the first after the answer pause."""
    data = bytearray()
    for group in groups:
        for at in range(0, len(group), size):
            piece = group[at:at + size]
            pause = PAUSE_ANSWER if at == 0 else PAUSE_BYTE
            data.append(pause << 6 | (len(piece) - 1))
            data.extend(piece)
    return bytes(data)


def received_groups(wire_log):
    """What the tester received between two requests, as one group each."""
    groups, group = [], []
    for line in wire_log.read_text().splitlines():
        words = line.split()
        if len(words) < 3:
            continue
        if words[1] == "TX" and group:
            groups.append(group)
            group = []
        elif words[1] == "RX":
            group.extend(int(w, 16) for w in words[2:])
    if group:
        groups.append(group)
    return groups


def main():
    runs = pathlib.Path(sys.argv[1])
    corpus = pathlib.Path(sys.argv[2] if len(sys.argv) > 2 else pathlib.Path(__file__).parent / "corpus")
    for target in ("frame_assembler", "session_receive", "wire_log", "replay", "recording",
                   "request_reader"):
        (corpus / target).mkdir(parents=True, exist_ok=True)

    def write(target, name, data):
        (corpus / target / name).write_bytes(data)

    for sim in sorted(runs.glob("sim*.log")):
        n = int(re.search(r"(\d+)", sim.name).group(1))
        controller_type = min(n, 3) - 1
        wire = runs / f"wire{n}.log"
        csv = runs / f"live{n}.csv"
        answers = frames(sim, "TX")
        requests = frames(sim, "RX")
        for size in (64, 7, 1):
            # The line as the tester's assembler gets it: echo, noise and answer.
            write("frame_assembler", f"type{n}_chunk{size}", chunked(received_groups(wire), size))
            # The session on the live-data page (0) and on the trouble-code page (1).
            for page in (0, 1):
                head = bytes([controller_type + 3 * page])
                write("session_receive", f"type{n}_page{page}_chunk{size}",
                      head + chunked(answers, size))
            write("request_reader", f"type{n}_chunk{size}",
                  bytes([controller_type]) + chunked(requests, size))
        for log in (sim, wire):
            write("wire_log", log.name, log.read_bytes())
            write("replay", log.name, log.read_bytes())
        if csv.exists():
            write("recording", csv.name, csv.read_bytes())


if __name__ == "__main__":
    main()
