#!/usr/bin/env python3
"""Reads the splash and About pages with Python's own HTML parser and checks
what the program relies on: the "MainTable" of 420 by 466 pixels that sizes
the window, the texts, the calls on window.external, and pictures that exist
with the right signatures.

Usage: about_pages_check.py <folder of the pages>
"""
import os
import re
import sys
from html.parser import HTMLParser


class Page(HTMLParser):
    def __init__(self):
        super().__init__()
        self.tables = {}
        self.images = []
        self.links = []  # (href, onclick, text)
        self.scripts = []
        self.text = []
        self.body_onload = None
        self._link = None
        self._in_script = False

    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        if tag == "table" and "id" in a:
            self.tables[a["id"]] = a
        elif tag == "img":
            self.images.append(a.get("src"))
        elif tag == "a":
            self._link = [a.get("href"), a.get("onclick", ""), ""]
        elif tag == "script":
            self._in_script = True
            self.scripts.append("")
        elif tag == "body":
            self.body_onload = a.get("onload")

    def handle_endtag(self, tag):
        if tag == "a" and self._link:
            self.links.append(tuple(self._link))
            self._link = None
        elif tag == "script":
            self._in_script = False

    def handle_data(self, data):
        if self._in_script:
            self.scripts[-1] += data
            return
        self.text.append(data)
        if self._link:
            self._link[2] += data


failures = []


def expect(condition, what):
    if not condition:
        failures.append(what)


def read(folder, name):
    page = Page()
    with open(os.path.join(folder, name), encoding="utf-8") as f:
        page.feed(f.read())
    return page


def check_common(folder, name, page):
    table = page.tables.get("MainTable")
    expect(table is not None, f"{name}: no table MainTable")
    if table:
        expect(table.get("width") == "420" and table.get("height") == "466", f"{name}: MainTable is not 420x466")
    text = " ".join(" ".join(page.text).split())
    expect("Orvo Client" in text, f"{name}: no program name")
    script = "".join(page.scripts)
    expect('"File Version : " + version' in script, f"{name}: no version line")
    expect('"File Version : Unavailable"' in script, f"{name}: no line for a missing version")
    expect('"Compiled : " + ext.Date + " " + ext.Time' in script, f"{name}: no compile line")
    expect("ext.Version" in script, f"{name}: Version not read")
    expect(page.body_onload == "fill()", f"{name}: the script does not run on load")
    close = [l for l in page.links if l[2].strip() == "Close Window"]
    expect(close and "window.external.DoClose()" in close[0][1], f"{name}: no Close Window link calling DoClose")
    for src in page.images:
        path = os.path.join(folder, src)
        expect(os.path.isfile(path), f"{name}: picture {src} missing")
        if os.path.isfile(path):
            with open(path, "rb") as f:
                head = f.read(8)
            if src.endswith(".PNG"):
                expect(head == b"\x89PNG\r\n\x1a\n", f"{src}: not a PNG")
            elif src.endswith(".GIF"):
                expect(head[:6] == b"GIF89a", f"{src}: not a GIF")
            else:
                failures.append(f"{name}: picture {src} of unknown kind")
    return script


def main():
    folder = sys.argv[1]
    splash = read(folder, "SPLASH.HTML")
    script = check_common(folder, "SPLASH.HTML", splash)
    expect(re.search(r"ext\.DoSplash\(\)", script), "SPLASH.HTML: DoSplash not called")
    expect("Resize" not in script, "SPLASH.HTML: calls Resize")
    info = [l for l in splash.links if l[2].strip() == "System Information"]
    expect(info and "window.external.SystemInfo()" in info[0][1], "SPLASH.HTML: no System Information link")
    expect(set(splash.images) >= {"ORVO_T.PNG", "CE.PNG"}, "SPLASH.HTML: product picture or CE mark missing")

    about = read(folder, "ABOUT.HTML")
    script = check_common(folder, "ABOUT.HTML", about)
    expect(re.search(r"ext\.Resize\(\)", script), "ABOUT.HTML: Resize not called")
    expect("DoSplash" not in script, "ABOUT.HTML: calls DoSplash")
    expect("if (implemented)" in script and "ext.Implemented" in script, "ABOUT.HTML: Implemented not written when set")
    notes = [l for l in about.links if l[2].strip() == "View Release Notes"]
    expect(notes and notes[0][0] == "README.HTML", "ABOUT.HTML: no release notes link")
    expect(set(about.images) >= {"BANNER.PNG", "CE.PNG"}, "ABOUT.HTML: banner or CE mark missing")

    readme = read(folder, "README.HTML")
    expect("release notes" in " ".join(readme.text), "README.HTML: no release notes")

    for failure in failures:
        print("FAIL:", failure)
    print(f"pages checked: 3, failures: {len(failures)}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
