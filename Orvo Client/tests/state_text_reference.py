#!/usr/bin/env python3
"""Builds the Copy-as-Text tables from the rows the state walk test read
straight from the tree, and compares them with the texts it wrote.

Layout: per amplifier its name, a blank line, the header and values rows of
the amplifier's functions, a blank line, the channel header row and one row
per channel, then two line ends. Columns are the union of the names of all
amplifiers (all channels), ordered by UTF-16 code unit, each as wide as its
longest name or value; every cell is right-aligned in width + 2; a name a row
lacks gives spaces. Lines end in CR LF.
"""
import json
import sys

CRLF = "\r\n"


def code_units(name):
    return name.encode("utf-16-be")


def columns(rows):
    widths = {}
    for row in rows:
        for name, value in row:
            widths[name] = max(widths.get(name, 0), len(name), len(value))
    return sorted(widths.items(), key=lambda item: code_units(item[0]))


def header(cols):
    return "".join(name.rjust(width + 2) for name, width in cols) + CRLF


def values(row, cols):
    cells = dict(row)
    return "".join(cells.get(name, "").rjust(width + 2) for name, width in cols) + CRLF


def table(amplifiers):
    amp_cols = columns([a["functions"] for a in amplifiers])
    channel_cols = columns([c for a in amplifiers for c in a["channels"]])
    text = ""
    for a in amplifiers:
        text += a["name"] + CRLF + CRLF
        text += header(amp_cols) + values(a["functions"], amp_cols) + CRLF
        text += header(channel_cols)
        for channel in a["channels"]:
            text += values(channel, channel_cols)
        text += CRLF + CRLF
    return text


def main():
    with open(sys.argv[1], encoding="ascii") as f:
        cases = json.load(f)
    failures = 0
    for case in cases:
        expected = table(case["amplifiers"])
        if case["text"] != expected:
            failures += 1
            print(f"{len(case['amplifiers'])} amplifiers: texts differ")
            print("expected:\n" + expected.replace(CRLF, "|\n"))
            print("written:\n" + case["text"].replace(CRLF, "|\n"))
    if len(cases) != 3 or cases[0]["text"] != "":
        failures += 1
        print("expected three cases, the first (no amplifiers) empty")
    print(f"{len(cases)} cases, {failures} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
