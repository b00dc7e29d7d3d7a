#!/usr/bin/env python3
"""Writes a realistic data folder for the benchmarks, the same bytes on every run.

    bench/make_data.py RECORDS OUTDIR

OUTDIR receives the four data files: properties (a landlord's units, more
for a bigger log), providers, the first 20 tasks of the shipped default list,
and RECORDS maintenance records over the 20 years 2006-2025, in the order
they were entered (roughly by date), with notes on about a third, a receipt
on about one in twenty, and every cost in its canonical stored form.
Dates are the first instant of the service day in UTC (run with TZ=UTC).
"""
import datetime
import os
import plistlib
import random
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_TASKS = os.path.join(HERE, "..", "resources", "ServiceTaskDefaultsFileName")

STREETS = ["Elm Street", "Lake Road", "Mill Lane", "Hauptstraße", "Cedar Avenue", "Harbour View",
           "Rue des Lilas", "Birch Court", "Orchard Way", "Station Road"]
CITIES = [("Springfield", "IL", "62701"), ("Madison", "WI", "53703"), ("Portland", "OR", "97205"),
          ("Burlington", "VT", "05401"), ("Austin", "TX", "78701")]
TRADES = ["Gutters & Roofing", "Plumbing", "Heating & Air", "Electric", "Painters", "Lawn Care",
          "Chimney Sweeps", "Pest Control", "Pool Service", "Handyman", "Septic", "Tree Service"]
OWNERS = ["Bob's", "Ace", "Müller", "Lakeside", "Northside", "O'Brien", "García", "Summit",
          "Blue Ridge", "Evergreen"]
NOTES = ["Checked the downspouts too; left side needs a new bracket.",
         "Tenant was home, no key needed.",
         "Replaced two filters, kept the spare in the utility room.",
         "Quote for next year: about the same.",
         "Paid cash, receipt in the blue folder.",
         "Found a small leak under the kitchen sink & fixed it.",
         "Took longer than planned — the ladder was too short.",
         "Warranty until 2030 <see paperwork>.",
         "Annual visit.",
         "Called twice before they came."]


def cost(amount):
    """The canonical stored form: no grouping, '.' decimals, two digits, no
    mandatory integer digit (zero is '.00')."""
    text = "%.2f" % amount
    return text[1:] if text.startswith("0.") else text


def properties(n):
    out = []
    for i in range(n):
        city, state, zip_code = CITIES[i % len(CITIES)]
        rec = {
            "PropertyNameKey": "Unit %d, %d %s" % (i % 4 + 1, 10 + i * 7, STREETS[i % len(STREETS)]),
            "PropertyAddressKey": "%d %s" % (10 + i * 7, STREETS[i % len(STREETS)]),
            "PropertyCityKey": city, "PropertyStateKey": state, "PropertyZipKey": zip_code,
            "PropertyNoteKey": "" if i % 3 else "Rented since %d" % (2000 + i % 20),
            "PropertyLotSizeKey": "%d sq ft" % (4000 + 37 * i), "PropertyIntSizeKey": "%d sq ft" % (900 + 11 * i),
            "PropertyPurchaseMethodKey": "Purchase", "PropertyCurrentStatusKey": "Rented",
            "PropertyConstDateKey": datetime.datetime(1950 + i % 60, 1, 1),
            "PropertyPurchaseCostKey": float(90000 + 1500 * i),
            "PropertyPurchaseDateKey": datetime.datetime(1995 + i % 25, 6, 1),
        }
        out.append(rec)
    return out


def providers(n):
    out = []
    for i in range(n):
        name = "%s %s" % (OWNERS[i % len(OWNERS)], TRADES[i % len(TRADES)])
        if i >= len(OWNERS) * len(TRADES) // 2:
            name += " %d" % i
        out.append({
            "ProviderNameKey": name, "ProviderAddressKey": "%d Industrial Park" % (100 + i),
            "ProviderNoteKey": "" if i % 4 else "Ask for the senior technician",
            "ProviderEmailKey": "office%d@example.com" % i, "ProviderWebPageKey": "https://example.com/p%d" % i,
            "ProviderPhoneKey": "555-%04d" % (100 + i),
        })
    return out


def history(count, props, provs, tasks, rng):
    start = datetime.datetime(2006, 1, 1)
    span_days = (datetime.datetime(2025, 12, 31) - start).days
    out = []
    for i in range(count):
        # Entered roughly in date order, with some entered late.
        day = int(span_days * i / count) + rng.randint(-20, 5)
        day = min(max(day, 0), span_days)
        parts = rng.uniform(5, 400) if rng.random() < 0.6 else 0
        labor = rng.uniform(40, 900) if rng.random() < 0.85 else 0
        tax = round(parts * 0.07, 2)
        parts, labor = round(parts, 2), round(labor, 2)
        rec = {
            "PropertyNameKey": rng.choice(props)["PropertyNameKey"],
            "ProviderNameKey": rng.choice(provs)["ProviderNameKey"],
            "ServiceTaskNameKey": rng.choice(tasks)["ServiceTaskNameKey"],
            "ServiceDateKey": start + datetime.timedelta(days=day),
            "PartsCostKey": cost(parts), "LaborCostKey": cost(labor), "TaxCostKey": cost(tax),
            "TotalCostKey": cost(parts + labor + tax),
        }
        if rng.random() < 0.35:
            rec["NoteKey"] = rng.choice(NOTES)
        if rng.random() < 0.05:
            rec["BookMarkDataKeyForReceipt"] = (
                "file:///home/owner/Documents/Receipts/%d/receipt-%05d.pdf" % (2006 + day // 366, i)).encode()
        out.append(rec)
    return out


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: make_data.py RECORDS OUTDIR")
    count, outdir = int(sys.argv[1]), sys.argv[2]
    rng = random.Random(count)
    with open(DEFAULT_TASKS, "rb") as f:
        tasks = plistlib.load(f)[:20]
    n_props = max(5, min(200, count // 500))
    props, provs = properties(n_props), providers(max(12, n_props))
    os.makedirs(outdir, exist_ok=True)
    for name, records in (("PropertyFileForKOV", props), ("ProviderFileForKOV", provs),
                          ("ServiceTaskFileForKOV", tasks),
                          ("PropertyHistoryFileForKOV", history(count, props, provs, tasks, rng))):
        with open(os.path.join(outdir, name), "wb") as f:
            plistlib.dump(records, f, sort_keys=True)


if __name__ == "__main__":
    main()
