#!/usr/bin/env python3
"""Checks the layout of the session and library archives the client wrote,
read with an ordinary XML parser: element names and order, class information
on the first element of each class only, strings as UTF-16 in base64, and
the fixed-size binary records.

Argument: the folder holding the written options.xml and protocols.xml."""
import base64
import struct
import sys
import xml.etree.ElementTree as ET
from pathlib import Path

SESSION_FIELDS = [
    "m_last_protocol_name", "m_last_protocol_local", "m_loaded", "m_protocol_window_pos",
    "m_protocol_manager_splitter_pos", "m_mainframe_pos", "m_wndSplitHorPos", "m_wndSplitPos",
    "m_show_shutdown_msg", "m_show_toolbar", "m_show_statusbar", "m_show_overview",
    "m_show_detailview", "m_show_spashscreen", "m_open_last_profile"]
PROTOCOL_FIELDS = [
    "m_exclusion_set", "m_state_string", "m_comment", "m_created_time", "m_created_by",
    "m_modified_time", "m_modified_by", "m_amp_columns", "m_channel_columns", "m_rename_map"]

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)


def names(element):
    return [child.tag for child in element]


def role(path):
    """The class an element holds, from its place in the archive; None for
    numbers and texts, which carry no class information."""
    tag, parent = path[-1], path[-2] if len(path) > 1 else ""
    grand = path[-3] if len(path) > 2 else ""
    fixed = {"m_session_data": "session", "m_protocol_window_pos": "docking", "m_mainframe_pos": "placement",
             "protocol": "library", "m_protocols": "protocol map", "m_exclusion_set": "property map",
             "m_map": "value map", "m_state_string": "string", "m_rename_map": "rename map",
             "m_created_time": "time", "m_modified_time": "time", "ptime_date": "date",
             "ptime_time_duration": "duration", "m_amp_columns": "columns", "m_channel_columns": "columns",
             "m_column_atributes": "column map"}
    if tag in fixed:
        return fixed[tag]
    if tag == "item":
        return {"m_protocols": "protocol item", "m_map": "value item", "m_rename_map": "rename item",
                "m_column_atributes": "column item", "second": "string"}.get(parent)
    if tag in ("first", "second") and parent == "item":
        return {("m_protocols", "second"): "protocol", ("m_map", "first"): "string",
                ("m_map", "second"): "value list", ("m_rename_map", "second"): "string",
                ("m_column_atributes", "second"): "column"}.get((grand, tag))
    return None


def check_classes(root, file):
    seen = {}
    next_id = 0

    def walk(element, path):
        nonlocal next_id
        path = path + [element.tag]
        kind = role(path)
        has_info = "class_id" in element.attrib
        where = f"{file}: {'/'.join(path)}"
        if kind is None:
            check(not element.attrib, f"{where} carries attributes")
        elif kind not in seen:
            seen[kind] = element
            check(has_info, f"{where}: first {kind} lacks class information")
            if has_info:
                check(element.get("class_id") == str(next_id), f"{where}: class_id {element.get('class_id')}, "
                      f"expected {next_id}")
                check(element.get("tracking_level") == "0", f"{where}: tracking_level")
                expected_version = "1" if kind == "protocol" else "0"
                check(element.get("version") == expected_version, f"{where}: version {element.get('version')}")
                next_id += 1
        else:
            check(not has_info, f"{where}: later {kind} repeats class information")
        for child in element:
            walk(child, path)

    for top in root:
        walk(top, [])


def check_string(element, where):
    check(names(element) == ["size"], f"{where}: children {names(element)}")
    size = int(element.find("size").text)
    data = base64.b64decode("".join((element.find("size").tail or "").split()))
    check(len(data) == 2 * size, f"{where}: {len(data)} bytes for size {size}")
    return data.decode("utf-16-le")


def blob(element):
    return base64.b64decode("".join((element.text or "").split()))


def check_collection(element, where):
    check(names(element)[:2] == ["count", "item_version"], f"{where}: starts {names(element)[:2]}")
    items = element.findall("item")
    check(int(element.find("count").text) == len(items), f"{where}: count")
    return items


def check_session(path):
    root = ET.parse(path).getroot()
    check(root.tag == "boost_serialization", "options.xml root")
    check(root.get("signature") == "serialization::archive" and root.get("version") == "18", "options.xml root")
    check(names(root) == ["m_session_data"], "options.xml top element")
    session = root[0]
    check(names(session) == SESSION_FIELDS, f"session fields {names(session)}")
    docking = blob(session.find("m_protocol_window_pos"))
    check(len(docking) == 60, f"docking record of {len(docking)} bytes")
    placement = blob(session.find("m_mainframe_pos"))
    check(len(placement) == 44 and struct.unpack_from("<I", placement)[0] == 44, "placement record")
    check_classes(root, "options.xml")


def check_library(path):
    root = ET.parse(path).getroot()
    check(root.get("version") == "18", "protocols.xml root version")
    check(names(root) == ["protocol"], "protocols.xml top element")
    check(names(root[0]) == ["m_protocols"], "library fields")
    texts = []
    for item in check_collection(root[0][0], "m_protocols"):
        check(names(item) == ["first", "second"], "protocol item")
        protocol = item.find("second")
        check(names(protocol) == PROTOCOL_FIELDS, f"protocol fields {names(protocol)}")
        texts.append(check_string(protocol.find("m_state_string"), "m_state_string"))
        for value in check_collection(protocol.find("m_exclusion_set/m_map"), "m_map"):
            texts.append(check_string(value.find("first"), "exclusion key"))
            for text in check_collection(value.find("second"), "exclusion values"):
                texts.append(check_string(text, "exclusion value"))
        for renamed in check_collection(protocol.find("m_rename_map"), "m_rename_map"):
            int(renamed.find("first").text)
            texts.append(check_string(renamed.find("second"), "renamed"))
        for stamp in ("m_created_time", "m_modified_time"):
            t = protocol.find(stamp)
            date = t.find("ptime_date/date").text
            if date.isdigit():
                check(names(t.find("ptime_time_duration")) == [
                    "is_special", "time_duration_hours", "time_duration_minutes", "time_duration_seconds",
                    "time_duration_fractional_seconds"], f"{stamp} layout")
            else:
                check(names(t) == ["ptime_date"], f"special {stamp} has no time of day")
    check("ORVO-STATE&<>" in texts and "Fp1 \u03a9" in texts and "100 \u00b5V" in texts,
          f"stored strings {texts}")
    check_classes(root, "protocols.xml")


folder = Path(sys.argv[1])
check_session(folder / "options.xml")
check_library(folder / "protocols.xml")
for failure in failures:
    print(failure)
sys.exit(1 if failures else 0)
