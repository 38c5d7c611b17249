#!/usr/bin/env python3
"""Independent check of the 60-byte docking position record, sharing no code
with the C++.

The record is fifteen little-endian 32-bit words: the 36-byte request block
(window, host, code, flags, row index, position ratio as a 32-bit float, row
extent, box extent, tab index; a floating pane, flags bit 3, keeps its
rectangle in the four words from byte 16), then the floating window
rectangle at byte 36, docked at 52 and visible at 56.

Drives the C++ dock_position_tool (argument 1): decodes here every record
its writer makes, has its reader read records packed here, and decodes the
built-in session's record of the protocol pane.
"""
import random
import struct
import subprocess
import sys

RECORD = struct.Struct("<iiiIifiiiiiiiii")
FIELDS = ("window", "host", "code", "flags", "row_index", "position_ratio", "row_extent", "box_extent",
          "tab_index", "left", "top", "right", "bottom", "docked", "visible")
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)


def decode(data):
    """The record's fields by name; the ratio also as its raw bits."""
    fields = dict(zip(FIELDS, RECORD.unpack(data)))
    fields["ratio_bits"] = struct.unpack_from("<I", data, 20)[0]
    fields["floating"] = struct.unpack_from("<iiii", data, 16)
    return fields


def signed(value):
    return struct.unpack("<i", struct.pack("<I", value & 0xFFFFFFFF))[0]


class Tool:
    def __init__(self, path):
        self.process = subprocess.Popen([path], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)

    def ask(self, line):
        self.process.stdin.write(line + "\n")
        self.process.stdin.flush()
        return self.process.stdout.readline().strip()

    def close(self):
        self.process.stdin.close()
        self.process.wait()


def numbers(words):
    return " ".join(str(w) for w in words)


def check_builtin(tool):
    # Two handles of the run that wrote it, then the pane's position.
    words = [0x000A0B0C, 0x000D0E0F, 4, 5, 0, 0, 238, 638, 0, 666, 189, 909, 691, 1, 1]
    data = struct.pack("<15I", *words)
    f = decode(data)
    check(f["code"] == 4, "built-in: code 4 (a docking position)")
    check(f["flags"] & 1, "built-in: a column (inner package)")
    check(not f["flags"] & 2, "built-in: after the centre, so the right side")
    check(f["flags"] & 4, "built-in: a column of its own")
    check(f["flags"] == 5, "built-in: no other flags")
    check(f["position_ratio"] == 0.0 and f["row_index"] == 0, "built-in: first column, at the start")
    check((f["row_extent"], f["box_extent"], f["tab_index"]) == (238, 638, 0), "built-in: extents 238 and 638")
    check((f["left"], f["top"], f["right"], f["bottom"]) == (666, 189, 909, 691), "built-in: floating rectangle")
    check((f["docked"], f["visible"]) == (1, 1), "built-in: docked and visible")

    answer = tool.ask("read " + data.hex()).split()
    check([int(x) for x in answer[:15]] == [signed(w) if i not in (3, 5) else w for i, w in enumerate(words)],
          "built-in: the C++ reader sees the same fields")
    written = tool.ask("write " + numbers(words))
    check(written == data.hex(), "built-in: the C++ writer gives the same bytes")


def random_words(rng):
    return [rng.randrange(-2**31, 2**31) for _ in range(15)]


def check_written(tool, rng):
    for _ in range(300):
        words = random_words(rng)
        words[3] &= ~8  # a docked pane
        bits = rng.randrange(2**32)
        words[5] = bits
        data = bytes.fromhex(tool.ask("write " + numbers(words)))
        check(len(data) == 60, "written record is 60 bytes")
        f = decode(data)
        expected = dict(zip(FIELDS, words))
        for name in FIELDS:
            if name == "position_ratio":
                check(f["ratio_bits"] == bits, "ratio bits at 20")
            elif name == "flags":
                check(f["flags"] == words[3] & 0xFFFFFFFF, "flags at 12")
            else:
                check(f[name] == expected[name], "field " + name)

    for _ in range(100):
        words = random_words(rng)
        words[3] |= 8  # a floating pane
        rect = words[4:8]
        data = bytes.fromhex(tool.ask("writefloat " + numbers(words)))
        f = decode(data)
        check(list(f["floating"]) == rect, "floating rectangle at 16")
        check(f["flags"] & 8, "floating flag")
        check((f["tab_index"], f["docked"], f["visible"]) == tuple(words[8:9] + words[13:15]), "tail after a rectangle")


def check_read(tool, rng):
    for _ in range(300):
        data = bytes(rng.randrange(256) for _ in range(60))
        answer = tool.ask("read " + data.hex()).split()
        f = decode(data)
        expected = [f["window"], f["host"], f["code"], f["flags"], f["row_index"], f["ratio_bits"], f["row_extent"],
                    f["box_extent"], f["tab_index"], f["left"], f["top"], f["right"], f["bottom"], f["docked"],
                    f["visible"], "floating", *f["floating"]]
        check(answer == [str(x) for x in expected], "C++ reads " + data.hex())
    for size in (0, 36, 59, 61, 120):
        check(tool.ask("read " + "00" * size) == "invalid", "a record of %d bytes is refused" % size)


def main():
    tool = Tool(sys.argv[1])
    rng = random.Random(60)
    check_builtin(tool)
    check_written(tool, rng)
    check_read(tool, rng)
    tool.close()
    for failure in failures[:20]:
        print("FAILED:", failure)
    print("%d failures" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
