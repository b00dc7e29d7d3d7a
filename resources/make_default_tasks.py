#!/usr/bin/env python3
"""Writes resources/ServiceTaskDefaultsFileName, the task list a new user starts with.

Each description is the flattened RTFD that kov::rtfdFromPlainText writes for
its text, stamped with a fixed time so the file only changes when the list
does. The property list is written here byte for byte in Foundation's XML
form (plistlib's writer indents and wraps data differently).

Usage: python3 resources/make_default_tasks.py [output]
"""

import base64
import os
import struct
import sys

DAYS, MONTHS, YEARS, NONE = 0, 1, 2, 3

# 2024-01-01T00:00:00Z; any fixed instant will do.
STAMP = 1704067200

# (name, interval count, unit, description)
TASKS = [
    ("Replace HVAC filter", 3, MONTHS,
     "Swap the furnace or air-handler filter; the size is printed on the old one's frame."),
    ("Test smoke and CO alarms", 1, MONTHS,
     "Press the test button on every smoke and carbon monoxide alarm; replace weak batteries."),
    ("Clean gutters", 6, MONTHS,
     "Clear leaves from gutters and downspouts; check that water drains away from the foundation."),
    ("Service furnace", 1, YEARS,
     "Have a technician inspect burners, heat exchanger and flue before the heating season."),
    ("Service air conditioner", 1, YEARS,
     "Clean the condenser coils, check the refrigerant and clear the condensate drain."),
    ("Flush water heater", 1, YEARS,
     "Drain a few gallons to flush sediment; keep the thermostat at 120 \u00b0F."),
    ("Chimney inspection", 1, YEARS,
     "Have the chimney swept and the flue, cap and crown inspected."),
    ("Pump septic tank", 3, YEARS,
     "Have the tank pumped and inspected; most households need it every 3\u20135 years."),
    ("Paint exterior", 7, YEARS,
     "Scrape, prime and repaint siding and trim before the old paint starts to fail."),
    ("Roof inspection", 1, YEARS,
     "Look for missing or cracked shingles, worn flashing and damaged vent boots."),
    ("Clean dryer vent", 1, YEARS,
     "Clean lint out of the dryer duct and the outside vent hood to prevent fires."),
    ("Add water softener salt", 60, DAYS,
     "Top up the brine tank with softener salt and break up any salt bridge."),
    ("Lawn mower service", 1, YEARS,
     "Change the oil, sharpen the blade and replace the air filter and spark plug."),
    ("Pest control", 3, MONTHS,
     "Treat the perimeter and check the attic, crawl space and garage for pests."),
    ("Caulk windows & tubs", 2, YEARS,
     "Remove cracked caulk around windows, tubs and showers and lay a fresh bead."),
    ("Pressure-wash deck", 1, YEARS,
     "Pressure-wash the deck and reseal the boards once they are dry."),
    ("Replace refrigerator water filter", 6, MONTHS,
     "Fit a new water filter in the refrigerator and run a few glasses through it."),
    ("Winterize sprinklers", 1, YEARS,
     "Shut off the irrigation water and blow out the lines before the first freeze."),
    ("Test sump pump", 3, MONTHS,
     "Pour water into the sump pit and check that the pump starts and drains it."),
    ("Inspect fire extinguishers", 1, YEARS,
     "Check the pressure gauge, pin and hose of each fire extinguisher."),
    ("Appliance repair", 0, NONE,
     "Repair of a household appliance."),
    ("Plumbing repair", 0, NONE,
     "Repair of a leak, a clog or a plumbing fixture."),
    ("General handyman", 0, NONE,
     "Odd jobs and small repairs around the house."),
]

RTF_HEAD = (
    "{\\rtf1\\ansi\\ansicpg1252\\cocoartf2822\n"
    "\\cocoatextscaling0\\cocoaplatform0{\\fonttbl\\f0\\fswiss\\fcharset0 Helvetica;}\n"
    "{\\colortbl;\\red255\\green255\\blue255;}\n"
    "{\\*\\expandedcolortbl;;}\n"
    "\\pard\\tx560\\tx1120\\tx1680\\tx2240\\tx2800\\tx3360\\tx3920\\tx4480\\tx5040\\tx5600\\tx6160"
    "\\tx6720\\pardirnatural\\partightenfactor0\n"
    "\n"
    "\\f0\\fs24 \\cf0 "
)


def rtf_escape(text):
    """The text as the Cocoa writer spells it, UTF-16 unit by unit."""
    out = []
    in_unicode = False
    units = text.encode("utf-16-le")
    for k in range(0, len(units), 2):
        c = units[k] | units[k + 1] << 8
        if c in (0x5C, 0x7B, 0x7D):
            out.append("\\" + chr(c))
        elif c == 0x09:
            out.append("\\tab ")
        elif 0x20 <= c < 0x7F:
            out.append(chr(c))
        elif 0xA0 <= c <= 0xFF:
            out.append("\\'%02x" % c)
        elif c == 0xFFFC:
            continue
        else:
            out.append(("" if in_unicode else "\\uc0") + "\\u%d " % c)
            in_unicode = True
            continue
        in_unicode = False
    return "".join(out)


def cocoa_rtf(text):
    lines = text.replace("\r\n", "\n").replace("\r", "\n").split("\n")
    return (RTF_HEAD + "\\\n".join(rtf_escape(line) for line in lines) + "}").encode("ascii")


def flat_rtfd(rtf, mtime):
    def u32(v):
        return struct.pack("<I", v)

    def name(b):
        return u32(len(b)) + b

    meta = u32(1) + name(b"TXT.rtf") + u32(16) + u32(mtime) + u32(0o666) + u32(0) + u32(0)
    return (b"rtfd" + u32(0) + u32(3) + u32(2) + name(b"TXT.rtf") + name(b".")
            + u32(8 + len(rtf)) + u32(8 + len(meta))
            + u32(1) + u32(len(rtf)) + rtf + u32(1) + u32(len(meta)) + meta)


def xml_escape(s):
    return s.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")


def utf16_key(s):
    return s.encode("utf-16-be")


def write_value(out, value, level):
    tabs = "\t" * level
    if isinstance(value, bool):
        raise TypeError("no booleans in this file")
    if isinstance(value, int):
        out.append("%s<integer>%d</integer>\n" % (tabs, value))
    elif isinstance(value, str):
        out.append("%s<string>%s</string>\n" % (tabs, xml_escape(value)))
    elif isinstance(value, bytes):
        out.append("%s<data>\n" % tabs)
        indent = "\t" * min(level, 8)
        width = 76 - 8 * min(level, 8)
        encoded = base64.b64encode(value).decode("ascii")
        for k in range(0, len(encoded), width):
            out.append(indent + encoded[k:k + width] + "\n")
        out.append("%s</data>\n" % tabs)
    elif isinstance(value, list):
        if not value:
            out.append("%s<array/>\n" % tabs)
            return
        out.append("%s<array>\n" % tabs)
        for item in value:
            write_value(out, item, level + 1)
        out.append("%s</array>\n" % tabs)
    elif isinstance(value, dict):
        if not value:
            out.append("%s<dict/>\n" % tabs)
            return
        out.append("%s<dict>\n" % tabs)
        for key in sorted(value, key=utf16_key):
            out.append("%s\t<key>%s</key>\n" % (tabs, xml_escape(key)))
            write_value(out, value[key], level + 1)
        out.append("%s</dict>\n" % tabs)
    else:
        raise TypeError("cannot write %r" % (value,))


def plist_bytes(root):
    out = [
        '<?xml version="1.0" encoding="UTF-8"?>\n',
        '<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" '
        '"http://www.apple.com/DTDs/PropertyList-1.0.dtd">\n',
        '<plist version="1.0">\n',
    ]
    write_value(out, root, 0)
    out.append("</plist>\n")
    return "".join(out).encode("utf-8")


def records():
    names = [t[0] for t in TASKS]
    assert len(set(names)) == len(names), "task names must be unique"
    result = []
    for name, count, unit, description in TASKS:
        rec = {
            "ServiceTaskNameKey": name,
            "ServiceTaskDescriptionKey": flat_rtfd(cocoa_rtf(description), STAMP),
            "ServiceTaskTimeUnits": unit,
        }
        if unit != NONE:
            assert count >= 1
            rec["ServiceTaskTimeInUnitsKey"] = count
        result.append(rec)
    return result


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    target = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "ServiceTaskDefaultsFileName")
    with open(target, "wb") as f:
        f.write(plist_bytes(records()))


if __name__ == "__main__":
    main()
