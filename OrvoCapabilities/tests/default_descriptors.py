#!/usr/bin/env python3
"""Checks the descriptor values that registration wrote.

Packs the default descriptor tables with struct (little-endian f32, i32,
u8, u16; names in 20 zero-padded bytes) and compares them with a dump of
"NAME HEX" lines, one per registry value. Exits 1 on any difference.
"""
import struct
import sys


def f32s(*values):
    return struct.pack("<%df" % len(values), *values)


def sub_range(coefficient, mask, start, step):
    return struct.pack("<fBii", coefficient, mask, start, step)


def name(text):
    raw = text.encode("ascii")
    assert len(raw) <= 20
    return raw + b"\0" * (20 - len(raw))


def lookup(title, entries):
    out = name(title) + struct.pack("<B", len(entries))
    for text, code in entries:
        out += name(text) + struct.pack("<B", code)
    return out


def amplifier(*ids):
    return struct.pack("<8H", *ids)


def expected():
    v = {}
    v["1000"] = (f32s(1, 1.5, 2, 3, 6, 10, 15, 20) + f32s(1, 2.5, 5, 10, 20, 25, 33.3333321)
                 + f32s(1, 1.5, 2, 3, 6, 10, 20, 30) + f32s(1, 0.5) + struct.pack("<i", 200))
    low_a = (sub_range(0.312869608, 0x00, 5000, 1250) + sub_range(0.0157260001, 0x28, 100000, 25000)
             + sub_range(0.00392562803, 0x50, 400000, 100000))
    v["2000"] = low_a + struct.pack("<i", 1)
    v["2001"] = low_a + struct.pack("<i", 10)
    v["2002"] = (sub_range(3.12116003, 0x00, 500, 125) + sub_range(0.0781296492, 0x28, 20000, 5000)
                 + sub_range(0.00780503312, 0x50, 200000, 50000) + struct.pack("<i", 1))
    v["3000"] = sub_range(0.000778720016, 0x00, 400000, 100000) + sub_range(0.0000393433838, 0x82, 20000, 5000)
    v["3001"] = sub_range(0.0778720006, 0x00, 4000, 1000) + sub_range(0.00393433822, 0x82, 200, 50)
    v["3002"] = sub_range(0.00778720016, 0x00, 40000, 10000) + sub_range(0.000393433846, 0x82, 2000, 500)
    v["9000"] = lookup("Input Mode", [("Off", 68), ("On", 34), ("Pos Ref", 35), ("Neg Ref", 50)])
    v["8000"] = lookup("50Hz Notch", [("Out", 0), ("In", 5)])
    v["8001"] = lookup("60Hz Notch", [("Out", 0), ("In", 5)])
    v["A000"] = lookup("Input Connections", [("None", 0), ("Pos", 1), ("Neg", 2), ("Both", 3)])
    v["B000"] = lookup("Deblock Type", [("Manual", 0), ("Timed", 1)])
    v["C000"] = lookup("Impedance Resolution", [("200", 1), ("400", 2), ("800", 4), ("1600", 8)])
    models = {
        "0000": (0x2000, 0x3000, 0x8000),
        "0001": (0x2000, 0x3000, 0x8001),
        "000A": (0x2002, 0x3000, 0x8000),
        "000B": (0x2002, 0x3000, 0x8001),
        "0014": (0x2000, 0x3001, 0x8000),
        "001E": (0x2000, 0x3002, 0x8000),
    }
    for model, (low, high, notch) in models.items():
        v[model] = amplifier(0x9000, 0x1000, low, high, notch, 0xA000, 0xB000, 0xC000)
    return v


def main():
    if len(sys.argv) != 2:
        print("usage: default_descriptors.py DUMP")
        return 2
    written = {}
    with open(sys.argv[1]) as dump:
        for line in dump:
            if line.strip():
                # Names are compared as written: four upper-case hex digits.
                value_name, data = line.split()
                written[value_name] = bytes.fromhex(data)
    want = expected()
    failures = 0
    for value_name in sorted(set(want) | set(written)):
        if value_name not in written:
            print("missing value", value_name)
        elif value_name not in want:
            print("unexpected value", value_name)
        elif written[value_name] != want[value_name]:
            print("value %s differs:\n  written  %s\n  expected %s" % (value_name, written[value_name].hex(),
                                                                      want[value_name].hex()))
        else:
            continue
        failures += 1
    print("%d values compared, %d differ" % (len(want), failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
