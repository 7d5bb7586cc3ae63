#!/usr/bin/env python3
"""Writes the driver catalogue (resource XML 131) and the manufacturer
profiles (resource XML 132) into package/resources.

The output is fully determined by this script: running it twice gives the
same bytes, so the generated files are committed and diffs stay readable.

Usage: gen_catalogue.py [--out-dir DIR] [--check]
  --check  compare with the files in DIR instead of writing them; exit 1
           when they differ.
"""

import argparse
import binascii
import pathlib
import sys
from xml.sax.saxutils import escape, quoteattr

from generated_files import write_or_check

PACKAGE_MODEL = "TessarEx"
USB_PREFIX = "USBPRINT\\QOVA_"
MODEL_COUNT = 395

HEADER = {
    "model": PACKAGE_MODEL,
    "product": "TessarEx 标签打印机驱动",
    "product_en": "TessarEx Label Printer Driver",
    "company": "柯瓦智能科技有限公司",
    "company_en": "QOVA Intelligent Technology Co., Ltd.",
    "website": "https://www.qova.example.com",
    "email": "support@qova.example.com",
    "tel": "+86-571-5550-0186",
    "version0": "2",
    "version1": "5",
    "version2": "3",
    "version3": "18",
}

# Paper lists: (type, [(name, width, height, margin, res)]). Sizes and margins
# are in thousandths of a millimetre, as the spooler's forms use them.
PAPERS = [
    ("labelex", [
        ("100mm x 150mm", 100000, 150000, None, None),
        ("100mm x 100mm", 100000, 100000, None, None),
        ("100mm x 50mm", 100000, 50000, None, None),
        ("4in x 6in", 101600, 152400, None, None),
        ("A6", 105000, 148000, "2000,2000,2000,2000", None),
        ("60mm x 40mm", 60000, 40000, None, None),
        ("50mm x 30mm", 50000, 30000, None, None),
        ("40mm x 30mm", 40000, 30000, None, None),
        ("150mm x 100mm", 150000, 100000, None, None),
        ("60mm x 15mm", 60000, 15000, None, "300"),
    ]),
    ("dudez", [
        ("58mm x 210mm", 58000, 210000, None, None),
        ("58mm x 3276mm", 58000, 3276000, None, None),
        ("76mm x 297mm", 76000, 297000, None, None),
        ("80mm x 297mm", 80000, 297000, None, None),
        ("80mm x 3276mm", 80000, 3276000, None, None),
        ("75mm x 50mm", 75000, 50000, "1000,0,1000,0", "203"),
    ]),
    ("Lumatrix", [
        ("25mm x 254mm", 25000, 254000, None, "203"),
        ("25mm x 279mm", 25000, 279000, None, "203"),
        ("19mm x 254mm", 19000, 254000, None, "203"),
    ]),
]

# Base models of the "Native" manufacturer. Product models name one of these
# as parent and inherit the printer properties they do not set themselves.
NATIVE_MODELS = [
    ("BaseTSPL203", {
        "cmd": "tspl", "dpi": "203", "headtype": "TPH-203-104",
        "speed": "2,3,4,5,6", "defspeed": "4", "density": "0-15", "defdensity": "8",
        "margin": "0,0,0,0", "gap": "3000", "papersize": "100000,150000",
        "papername": "100mm x 150mm", "paperlist": "labelex",
        "maxwidth": "108000", "maxheight": "1778000", "dottedline": "0", "window": "1",
    }),
    ("BaseTSPL300", {
        "cmd": "tspl", "dpi": "300", "headtype": "TPH-300-106",
        "speed": "2,3,4", "defspeed": "3", "density": "0-15", "defdensity": "8",
        "margin": "0,0,0,0", "gap": "3000", "papersize": "100000,100000",
        "papername": "100mm x 100mm", "paperlist": "labelex",
        "maxwidth": "106000", "maxheight": "1016000", "dottedline": "0", "window": "1",
    }),
    ("BaseTSPL600", {
        "cmd": "tspl", "dpi": "600", "headtype": "TPH-600-106",
        "speed": "1,2,3", "defspeed": "2", "density": "0-15", "defdensity": "10",
        "margin": "0,0,0,0", "gap": "2000", "papersize": "60000,15000",
        "papername": "60mm x 15mm", "paperlist": "labelex",
        "maxwidth": "106000", "maxheight": "508000", "dottedline": "0", "window": "1",
    }),
    ("BaseTSPL203W", {
        "parent": "BaseTSPL203", "headtype": "TPH-203-168",
        "maxwidth": "168000", "papersize": "150000,100000", "papername": "150mm x 100mm",
    }),
    ("BaseIND203", {
        "parent": "BaseTSPL203", "bluetoothdriver": "false", "languagemonitor": "true",
        "comment": "工业级机型，建议使用 USB 或网络连接",
        "speed": "2,3,4,5,6,8,10", "defspeed": "6", "maxheight": "2540000",
    }),
    ("BaseIND300", {
        "parent": "BaseTSPL300", "bluetoothdriver": "false", "languagemonitor": "true",
        "comment": "工业级机型，建议使用 USB 或网络连接",
        "speed": "2,3,4,5,6,8", "defspeed": "5", "maxheight": "1778000",
    }),
    ("BaseIND600", {
        "parent": "BaseTSPL600", "bluetoothdriver": "false", "languagemonitor": "true",
        "comment": "工业级机型，建议使用 USB 或网络连接",
        "speed": "1,2,3,4", "defspeed": "3",
    }),
    ("BaseESC58", {
        "cmd": "escpos", "dpi": "203", "headtype": "TPH-203-58",
        "speed": "4,6,8", "defspeed": "6", "density": "1-8", "defdensity": "4",
        "margin": "0,0,0,0", "gap": "0", "papersize": "58000,210000",
        "papername": "58mm x 210mm", "paperlist": "dudez",
        "maxwidth": "48000", "maxheight": "3276000", "dottedline": "1", "window": "0",
    }),
    ("BaseESC80", {
        "parent": "BaseESC58", "headtype": "TPH-203-80",
        "papersize": "80000,297000", "papername": "80mm x 297mm", "maxwidth": "72000",
    }),
    ("BaseCPCL203", {
        "cmd": "cpcl", "dpi": "203", "headtype": "TPH-203-72",
        "speed": "2,3,4", "defspeed": "3", "density": "0-15", "defdensity": "8",
        "margin": "0,0,0,0", "gap": "3000", "papersize": "75000,50000",
        "papername": "75mm x 50mm", "paperlist": "dudez",
        "maxwidth": "72000", "maxheight": "1000000", "dottedline": "0", "window": "1",
    }),
    ("BaseLMX203", {
        "cmd": "lumatrix", "dpi": "203", "headtype": "TPH-203-25",
        "speed": "2,3", "defspeed": "2", "density": "0-15", "defdensity": "9",
        "margin": "0,0,0,0", "gap": "2000", "papersize": "25000,254000",
        "papername": "25mm x 254mm", "paperlist": "Lumatrix",
        "maxwidth": "25000", "maxheight": "279000", "dottedline": "0", "window": "0",
    }),
]

DESKTOP_SUFFIXES = ["", "B", "D", "E", "L", "W", "Pro"]
DESKTOP_203 = [210, 220, 230, 240, 244, 260, 280, 410, 420, 430, 440, 460, 480]
DESKTOP_300 = [310, 320, 330, 340, 344, 360, 380, 510, 520, 540]
WIDE_203 = [610, 620, 640]
NETWORK_ONLY = [420, 440, 340, 520, 620]
CUSTOM_NAMES = {
    "TX-I4100": "TessarEx Industrial 4100",
    "TX-I6100": "TessarEx Industrial 6100",
    "TX-I8200": "TessarEx Industrial 8200",
}


def usb_name(model):
    """The printer-class hardware id: manufacturer "QOVA", the model (blanks
    become underscores, as in a device id) and the CRC-16 of both."""
    ident = "QOVA" + model
    crc = binascii.crc_hqx(ident.encode("ascii"), 0)
    return "%s%s%04X" % (USB_PREFIX, model.replace(" ", "_"), crc)


def suffix_properties(suffix):
    """Printer properties that a model's suffix changes over its base."""
    props = {}
    if suffix == "Pro":
        props["speed"] = "2,3,4,5,6,8"
    elif suffix == "L":
        props["maxheight"] = "2540000"
    elif suffix == "D":
        props["dottedline"] = "1"
    elif suffix == "W":
        props["udp"] = "1"
    elif suffix == "E":
        props["defdensity"] = "10"
    return props


def desktop_width(number):
    return {2: "54000", 3: "80000"}.get(number // 100, None)


def product_models():
    """(name, attributes) of every product model, in catalogue order."""
    models = []

    def add(name, parent, attrs=None, parent_manufacturer=None, usb=True):
        a = {"parent": parent}
        if parent_manufacturer:
            a["parentmanufacturer"] = parent_manufacturer
        a["usbname"] = usb_name(name) if usb else ""
        a.update(attrs or {})
        if name in CUSTOM_NAMES:
            a["customname"] = CUSTOM_NAMES[name]
        models.append((name, a))

    for base, numbers in (("BaseTSPL203", DESKTOP_203), ("BaseTSPL300", DESKTOP_300),
                          ("BaseTSPL203W", WIDE_203)):
        for n in numbers:
            for s in DESKTOP_SUFFIXES:
                attrs = suffix_properties(s)
                width = desktop_width(n)
                if width and base == "BaseTSPL203":
                    attrs.update({"maxwidth": width, "papersize": "50000,30000",
                                  "papername": "50mm x 30mm"})
                add("TX-%d%s" % (n, s), base, attrs)

    for n in (4100, 4200, 6100, 6200, 6300, 8200):
        base = {4: "BaseIND203", 6: "BaseIND300", 8: "BaseIND600"}[n // 1000]
        for s in ("", "T", "Plus", "Pro"):
            add("TX-I%d%s" % (n, s), base, suffix_properties(s))

    for n in (58, 76, 80, 82, 90):
        base = "BaseESC58" if n == 58 else "BaseESC80"
        for s in ("", "E", "H", "L", "W", "BT"):
            add("TessarEx T%d%s" % (n, s), base, suffix_properties(s))

    for n in (200, 210, 220, 300, 310, 320, 400, 410):
        for s in ("", "B", "L", "W"):
            add("TX-M%d%s" % (n, s), "BaseCPCL203", suffix_properties(s))

    # Network models: the USB model with an Ethernet port, found by discovery.
    for n in DESKTOP_203 + DESKTOP_300 + WIDE_203:
        add("TX-%dN" % n, "TX-%d" % n, {"udp": "1"}, parent_manufacturer=PACKAGE_MODEL)
    # Ethernet-only builds have no USB port: they hide the id of their parent.
    for n in NETWORK_ONLY:
        add("TX-%dNE" % n, "TX-%dN" % n,
            {"comment": "仅以太网接口，请选择网络端口安装"},
            parent_manufacturer=PACKAGE_MODEL, usb=False)
    # Models sold with a Bluetooth dongle.
    for n in DESKTOP_203:
        add("TX-%dBA" % n, "TX-%d" % n, {"btadapter": "true"},
            parent_manufacturer=PACKAGE_MODEL)

    for n in (58, 60, 76, 80, 82, 112):
        base = "BaseESC58" if n <= 60 else "BaseESC80"
        for s in ("", "C", "P", "S"):
            add("TX-K%d%s" % (n, s), base,
                {"languagemonitor": "true", "bluetoothdriver": "false"})

    for n in (100, 110, 120, 150, 160):
        for s in ("", "U", "X"):
            add("TX-D%d%s" % (n, s), "BaseTSPL203")

    for n in (10, 20, 30, 40):
        for s in ("", "S"):
            add("TX-W%d%s" % (n, s), "BaseLMX203")

    for n in (20, 30, 40, 50, 60, 80):
        base = "BaseESC58" if n <= 40 else "BaseESC80"
        for s in ("", "B", "L", "W", "Plus", "Pro"):
            add("TessarEx P%d%s" % (n, s), base, suffix_properties(s))

    return models


def attrs_text(attrs):
    return "".join(" %s=%s" % (k, quoteattr(v)) for k, v in attrs.items())


ATTRIBUTE_ORDER = ["name", "parent", "parentmanufacturer", "usbname", "customname",
                   "btadapter", "bluetoothdriver", "udp", "languagemonitor", "comment"]


def ordered(attrs):
    """Identity attributes first, then the printer properties by name."""
    head = [(k, attrs[k]) for k in ATTRIBUTE_ORDER if k in attrs]
    tail = sorted((k, v) for k, v in attrs.items() if k not in ATTRIBUTE_ORDER)
    return dict(head + tail)


def catalogue_xml(models):
    out = ['<?xml version="1.0" encoding="utf-8"?>',
           "<Drivers%s>" % attrs_text(HEADER),
           "  <Manufacturers>",
           '    <Manufacturer mode="Native" maxcopies="999">']
    for name, attrs in NATIVE_MODELS:
        out.append("      <Driver%s />" % attrs_text(ordered(dict(name=name, **attrs))))
    out.append("    </Manufacturer>")
    out.append('    <Manufacturer mode=%s maxcopies="999" pagelimit="9999">' % quoteattr(PACKAGE_MODEL))
    for name, attrs in models:
        out.append("      <Driver%s />" % attrs_text(ordered(dict(name=name, **attrs))))
    out.append("    </Manufacturer>")
    out.append("  </Manufacturers>")
    out.append("  <Form>")
    for kind, papers in PAPERS:
        out.append("    <Papers type=%s>" % quoteattr(kind))
        for name, w, h, margin, res in papers:
            a = {"name": name, "size": "%d,%d" % (w, h)}
            if margin:
                a["margin"] = margin
            if res:
                a["res"] = res
            out.append("      <Paper%s />" % attrs_text(a))
        out.append("    </Papers>")
    out.append("  </Form>")
    out.append("</Drivers>")
    return "\n".join(out) + "\n"


PROFILE_FIELDS = ["Name", "CompanyName", "CompanyEnName", "ProductName", "ProductEnName",
                  "WebSite", "Email", "Tel", "LogoFile", "Manufacturer", "SetupPackageName",
                  "Remark", "V0", "V1", "V2", "V3", "Time", "DefaultSetupPortType"]

PROFILES = [
    {
        "Name": "Native",
        "CompanyName": HEADER["company"],
        "CompanyEnName": HEADER["company_en"],
        "ProductName": "通用基础机型",
        "ProductEnName": "Generic base models",
        "WebSite": HEADER["website"],
        "Email": HEADER["email"],
        "Tel": HEADER["tel"],
        "LogoFile": "images\\logo.png",
        "Manufacturer": "QOVA",
        "SetupPackageName": "",
        "Remark": "基础机型，仅供其他机型继承",
        "V0": "1", "V1": "0", "V2": "0", "V3": "0",
        "Time": "2024-03-01 09:00:00",
        "DefaultSetupPortType": "0",
    },
    {
        "Name": PACKAGE_MODEL,
        "CompanyName": HEADER["company"],
        "CompanyEnName": HEADER["company_en"],
        "ProductName": HEADER["product"],
        "ProductEnName": HEADER["product_en"],
        "WebSite": HEADER["website"],
        "Email": HEADER["email"],
        "Tel": HEADER["tel"],
        "LogoFile": "images\\logo_tessarex.png",
        "Manufacturer": "QOVA",
        "SetupPackageName": "TessarEx_Driver_Setup",
        "Remark": "TessarEx 系列热敏标签与票据打印机",
        "V0": HEADER["version0"], "V1": HEADER["version1"],
        "V2": HEADER["version2"], "V3": HEADER["version3"],
        "Time": "2024-06-18 16:42:05",
        "DefaultSetupPortType": "0",
    },
]


def profiles_xml():
    out = ['<?xml version="1.0" encoding="utf-8"?>', "<Manufacturers>"]
    for p in PROFILES:
        out.append("  <Manufacturer>")
        for field in PROFILE_FIELDS:
            out.append("    <%s>%s</%s>" % (field, escape(p[field]), field))
        out.append("  </Manufacturer>")
    out.append("</Manufacturers>")
    return "\n".join(out) + "\n"


def validate(models):
    names = [n for n, _ in NATIVE_MODELS] + [n for n, _ in models]
    if len(models) != MODEL_COUNT:
        sys.exit("expected %d product models, have %d" % (MODEL_COUNT, len(models)))
    # Model names become file names on a case-insensitive file system.
    folded = [n.lower() for n in names]
    if len(set(folded)) != len(folded):
        sys.exit("model names are not unique")
    for n in names:
        if any(c in n for c in '\\/:*?"<>|') or n != n.strip():
            sys.exit("model name not usable as a file name: %r" % n)
    usb = [a["usbname"] for _, a in models if a["usbname"]]
    if len(set(usb)) != len(usb):
        sys.exit("USB ids are not unique")
    known = {(PACKAGE_MODEL, n) for n, _ in models} | {("Native", n) for n, _ in NATIVE_MODELS}
    for n, a in models + NATIVE_MODELS:
        if "parent" in a and (a.get("parentmanufacturer", "Native"), a["parent"]) not in known:
            sys.exit("%s: unknown parent %s" % (n, a["parent"]))


def main():
    here = pathlib.Path(__file__).resolve().parent
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out-dir", type=pathlib.Path,
                        default=here.parent / "package" / "resources")
    parser.add_argument("--check", action="store_true")
    args = parser.parse_args()

    models = product_models()
    validate(models)
    outputs = {"catalogue.xml": catalogue_xml(models), "profiles.xml": profiles_xml()}

    return write_or_check({args.out_dir / name: text.encode("utf-8") for name, text in outputs.items()}, args.check)

if __name__ == "__main__":
    sys.exit(main())
