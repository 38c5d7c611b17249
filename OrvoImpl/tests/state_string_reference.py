#!/usr/bin/env python3
"""Independent check of the state string, sharing no code with the C++.

Drives the C++ state_string_tool (argument 1): checks the strings its writer
makes with Python's own Base64 and checksum, and has its reader read strings
of versions 0 to 3 (with and without header) written here.
"""
import base64
import random
import struct
import subprocess
import sys

POLY = 0x04C11DB7
SIGNATURE = bytes([0x08, 0x19, 0x2A, 0x3B, 0x4C, 0x5D, 0x6E, 0x7F])
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)


def register(data, value=0x0FFFFFFF):
    """The checksum register fed data bit by bit, most significant bit first."""
    for byte in data:
        for shift in range(7, -1, -1):
            top = value >> 31
            value = ((value << 1) | ((byte >> shift) & 1)) & 0xFFFFFFFF
            if top:
                value ^= POLY
    return value


def with_checksum(span):
    return span + register(span + b"\xff" * 4).to_bytes(4, "big")


def holds(span_and_checksum):
    return register(span_and_checksum) == 0xFFFFFFFF


def normalised(image):
    image = bytearray(image)
    for channel in range(8):
        flags = image[9 * channel + 3]
        image[9 * channel + 3] = (flags | 5) if flags & 1 else (flags & 0xFA)
    return bytes(image)


def halved(image):
    image = bytearray(image)
    for field in (72, 74):
        value = struct.unpack_from("<H", image, field)[0] >> 1
        struct.pack_into("<H", image, field, value)
    return bytes(image)


def header(version):
    return with_checksum(SIGNATURE + struct.pack("<i", version) + SIGNATURE[::-1])


def random_state(rng, count):
    test_box = bytes(rng.randrange(256) for _ in range(7))
    amps = []
    for _ in range(count):
        image = bytearray(rng.randrange(256) for _ in range(82))
        for channel in range(8):  # make the notch cases common
            image[9 * channel + 3] = rng.choice([0x00, 0x01, 0x04, 0x05, rng.randrange(256)])
        amps.append((bytes(image), bytes(rng.randrange(2) for _ in range(3))))
    return test_box, amps


class Tool:
    def __init__(self, path):
        self.path = path
        self.commands = []

    def run(self):
        text = "".join(line + "\n" for line in self.commands)
        done = subprocess.run([self.path], input=text, capture_output=True, text=True, check=True)
        answers = done.stdout.splitlines()
        if len(answers) != len(self.commands):
            sys.exit("tool gave %d answers to %d commands" % (len(answers), len(self.commands)))
        self.commands = []
        return answers


def parse_read(line):
    words = line.split()
    if words[0] != "valid":
        return None
    version, test_box, count = int(words[1]), bytes.fromhex(words[2]), int(words[3])
    amps = []
    for word in words[4:]:
        key, ident, image, status = word.split(":")
        amps.append((int(key), int(ident), bytes.fromhex(image), bytes.fromhex(status)))
    return version, test_box, count, amps


def check_checksum_vectors():
    check(register(b"abc" + b"\xff" * 4) == 0xC5E21D5A, "abc checksum")
    check(register(b"abc" + bytes.fromhex("c5e21d5a")) == 0xFFFFFFFF, "abc checks back")
    check(header(3) == SIGNATURE + b"\x03\0\0\0" + SIGNATURE[::-1] + bytes.fromhex("63854fb2"), "header bytes")


def check_writer(tool, rng):
    states = [random_state(rng, count) for count in [0, 1, 2, 3, 16] + [rng.randrange(6) for _ in range(40)]]
    for test_box, amps in states:
        tool.commands.append("write " + test_box.hex() + "".join(" " + i.hex() + s.hex() for i, s in amps))
    for (test_box, amps), text in zip(states, tool.run()):
        name = "writer, %d amplifiers" % len(amps)
        blob = base64.b64decode(text, validate=True)
        check(base64.b64encode(blob).decode() == text, name + ": canonical Base64")
        check(text.startswith("CBkqO0xdbn8DAAAAf25dTDsqGQhjhU+y"), name + ": prefix")
        check(len(blob) == 85 * len(amps) + 35, name + ": blob length")
        check(blob[:24] == header(3), name + ": header")
        check(holds(blob[:24]), name + ": header checksum")
        check(holds(blob), name + ": blob checksum")
        check(blob[24:31] == test_box, name + ": test box")
        for i, (image, status) in enumerate(amps):
            record = blob[31 + 85 * i: 31 + 85 * (i + 1)]
            check(record == normalised(image) + status, name + ": record %d" % i)
        if len(amps) == 1:
            check(len(text) == 160 and not text.endswith("="), name + ": 160 characters without padding")
        if len(amps) == 2:
            check(len(text) == 276 and text.endswith("==") and text[-3] != "=", name + ": 276 characters ending ==")


def old_blob(version, with_header, test_box, amps):
    blob = header(version) if with_header else b""
    if version == 3:
        blob += test_box
    for image, status in amps:
        blob += image + (status if version >= 2 else bytes([0xA5]))
    return with_checksum(blob)


def check_reader(tool, rng):
    cases = []
    for version, with_header in [(0, False), (0, True), (1, True), (2, True), (3, True)]:
        for count in [0, 1, 2, 5]:
            test_box, amps = random_state(rng, count)
            if not with_header:  # a header-less blob must not pass as having one
                while holds(amps[0][0][:24] if amps else b"\0" * 24):
                    test_box, amps = random_state(rng, count)
            if not with_header and count == 0:
                amps_blob = old_blob(0, False, test_box, [(bytes(rng.randrange(256) for _ in range(40)), b"")])
                cases.append((version, with_header, test_box, [], amps_blob))
                continue
            cases.append((version, with_header, test_box, amps, old_blob(version, with_header, test_box, amps)))
    for case in cases:
        tool.commands.append("read " + base64.b64encode(case[4]).decode())
    for (version, with_header, test_box, amps, blob), answer in zip(cases, tool.run()):
        name = "reader, version %d%s, %d amplifiers" % (version, "" if with_header else " without header", len(amps))
        got = parse_read(answer)
        if got is None:
            check(False, name + ": read as invalid")
            continue
        got_version, got_box, got_count, got_amps = got
        check(got_version == version, name + ": version")
        check(got_box == (test_box if version == 3 else bytes(7)), name + ": test box")
        check(got_count == len(amps) == len(got_amps), name + ": count")
        for i, ((image, status), (key, ident, got_image, got_status)) in enumerate(zip(amps, got_amps)):
            expected = normalised(halved(image) if version == 0 else image)
            check(got_image == expected, name + ": image %d" % i)
            check(got_status == (status if version >= 2 else bytes(3)), name + ": status %d" % i)
            check((key, ident) == (0xFF, i), name + ": key and ID %d" % i)


def check_invalid_and_comparison(tool, rng):
    test_box, amps = random_state(rng, 2)
    good = old_blob(3, True, test_box, amps)
    text = base64.b64encode(good).decode()
    damaged = bytearray(good)
    damaged[50] ^= 0x01
    serial = [(image[:80] + bytes([image[80] ^ 0xFF]) + image[81:], status) for image, status in amps]
    status_changed = [(amps[0][0], bytes([amps[0][1][0] ^ 1]) + amps[0][1][1:]), amps[1]]
    invalid = [
        base64.b64encode(bytes(damaged)).decode(),
        base64.b64encode(old_blob(4, True, test_box, amps)).decode(),
        base64.b64encode(with_checksum(bytes(23))).decode(),
        text[:-4],
        text[:10] + "=" + text[11:],
        text[:10] + "*" + text[11:],
        "-",
    ]
    for candidate in invalid:
        tool.commands.append("read " + candidate)
    comparisons = [
        (text, text, 0),
        (text, base64.b64encode(old_blob(3, True, test_box, serial)).decode(), 0),
        (text, base64.b64encode(old_blob(3, True, test_box, status_changed)).decode(), 1),
        (base64.b64encode(old_blob(1, True, test_box, amps)).decode(),
         base64.b64encode(old_blob(3, True, test_box, status_changed)).decode(), 0),
        (text, base64.b64encode(old_blob(3, True, bytes(7), amps)).decode(), 1),
        (text, base64.b64encode(old_blob(3, True, test_box, amps[:1])).decode(), 1),
        (text, invalid[0], -1),
    ]
    for a, b, _ in comparisons:
        tool.commands.append("compare %s %s" % (a, b))
    answers = tool.run()
    for i, answer in enumerate(answers[: len(invalid)]):
        check(answer == "invalid", "invalid case %d read as %s" % (i, answer[:20]))
    for i, ((_, _, expected), answer) in enumerate(zip(comparisons, answers[len(invalid):])):
        check(answer == str(expected), "comparison %d gave %s, not %d" % (i, answer, expected))


def main():
    tool = Tool(sys.argv[1])
    rng = random.Random(12)
    check_checksum_vectors()
    check_writer(tool, rng)
    check_reader(tool, rng)
    check_invalid_and_comparison(tool, rng)
    for failure in failures:
        print("FAILED:", failure)
    if failures:
        sys.exit(1)
    print("state string reference check passed")


if __name__ == "__main__":
    main()
