#!/usr/bin/env python3
"""Writes the sample driver package of the catalogue's own manufacturer: the
printer-class INF and its catalogue file (committed under
package/zip/Drivers/<model>/), and one device-data file per model (made at
build time).

The INF and the catalogue file depend only on the catalogue and on this
script, so running it twice gives the same bytes.

Usage: gen_driver_package.py [--catalogue FILE] [--inf-dir DIR] [--check]
                             [--dat-dir DIR]
  --inf-dir DIR  where "<model>New.inf" and "<model>new.cat" go
                 (default: package/zip/Drivers/<model>)
  --check        compare the INF and catalogue file with those in --inf-dir
                 instead of writing them; exit 1 when they differ
  --dat-dir DIR  write "<driver name>.dat" for every model into DIR (other
                 ".dat" files there are removed); no INF is written then
                 unless --inf-dir is given too
"""

import argparse
import datetime
import hashlib
import json
import os
import pathlib
import re
import sys

from generated_files import write_or_check
import xml.etree.ElementTree as ET

NATIVE = "Native"
TRUE_FIRST = "1TtYy"

# Raised with the catalogue's version; the INF's DriverVer date and the
# catalogue file's effective date.
DRIVER_DATE = datetime.date(2024, 6, 3)

def monitor_name(model):
    """The language monitor that models with languagemonitor="true" name;
    the installer registers it under the same name."""
    return model + " Language Monitor"


# --- catalogue ---------------------------------------------------------------

class Catalogue:
    """The catalogue as the installer reads it: models of one manufacturer,
    attributes inherited along `parent` / `parentmanufacturer`."""

    def __init__(self, path):
        self.root = ET.parse(path).getroot()
        if self.root.tag != "Drivers":
            sys.exit("%s: root element is not Drivers" % path)
        self.model = self.root.get("model", "")
        if not self.model:
            sys.exit("%s: the Drivers root names no model" % path)
        self.manufacturers = {}
        for m in self.root.findall("./Manufacturers/Manufacturer"):
            # The first manufacturer of a mode wins, as in FindDriver.
            self.manufacturers.setdefault(m.get("mode", ""), m)

    def version(self):
        return ".".join(str(int(self.root.get("version%d" % i, "0"))) for i in range(4))

    def company(self):
        return self.root.get("company_en") or self.root.get("company") or self.model

    def product(self):
        return self.root.get("product_en") or self.root.get("product") or self.model

    def drivers(self):
        m = self.manufacturers.get(self.model)
        return [] if m is None else m.findall("Driver")

    def find(self, mode, name):
        m = self.manufacturers.get(mode)
        if m is None:
            return None
        for d in m.findall("Driver"):
            if d.get("name") == name:
                return d
        return None

    def inherited(self, driver, attribute):
        seen = set()
        while driver is not None and id(driver) not in seen:
            seen.add(id(driver))
            if attribute in driver.attrib:
                return driver.get(attribute)
            driver = self.find(driver.get("parentmanufacturer", NATIVE), driver.get("parent", ""))
        return None

    def flag(self, driver, attribute, default):
        value = self.inherited(driver, attribute)
        if not value:
            return default
        return value[0] in TRUE_FIRST

    def text(self, driver, attribute, default=""):
        value = self.inherited(driver, attribute)
        return default if value is None else value

    def number(self, driver, attribute, default=0):
        try:
            return int(self.text(driver, attribute, str(default)), 0)
        except ValueError:
            return default


def section_name(model_name):
    return re.sub(r"[^A-Za-z0-9]", "_", model_name)


def check_models(catalogue):
    drivers = catalogue.drivers()
    if not drivers:
        sys.exit("the catalogue has no models for %s" % catalogue.model)
    names = [d.get("name", "") for d in drivers]
    for n in names:
        if not n or not all(32 <= ord(c) < 127 for c in n) or any(c in n for c in '\\/:*?"<>|%'):
            sys.exit("model name not usable in the INF or as a file name: %r" % n)
    folded = [n.lower() for n in names]
    if len(set(folded)) != len(folded):
        sys.exit("model names are not unique")
    sections = [section_name(n).lower() for n in names]
    if len(set(sections)) != len(sections):
        sys.exit("two model names give the same INF section name")
    return drivers


# --- INF -----------------------------------------------------------------------

ARCHITECTURES = [("NTx86", "x86", "i386"), ("NTamd64", "amd64", "amd64"), ("NTarm64", "arm64", "arm64")]


def inf_quote(text):
    return '"%s"' % text.replace('"', '""')


def inf_text(catalogue, drivers):
    model = catalogue.model
    uni, ui, lm = model + "UniNew.dll", model + "UiNew.dll", model + "LM.dll"
    files_section = model + "_Driver_Files"
    monitor_section = model + "_Monitor_Files"
    out = []
    add = out.append
    add("; %sNew.inf: printer driver of the %s label printers." % (model, model))
    add("; Generated from the driver catalogue by tools/gen_driver_package.py.")
    add("")
    add("[Version]")
    add('Signature="$Windows NT$"')
    add("Class=Printer")
    add("ClassGUID={4D36E979-E325-11CE-BFC1-08002BE10318}")
    add("Provider=%QOVA%")
    add("CatalogFile=%sNew.cat" % model)
    add("DriverVer=%s,%s" % (DRIVER_DATE.strftime("%m/%d/%Y"), catalogue.version()))
    add("")
    add("[Manufacturer]")
    add("%%QOVA%%=%s,%s" % (model, ",".join(d for d, _, _ in ARCHITECTURES)))
    for decoration, _, _ in ARCHITECTURES:
        add("")
        add("[%s.%s]" % (model, decoration))
        for d in drivers:
            name = d.get("name")
            line = "%s=%s" % (inf_quote(name), section_name(name))
            usb = catalogue.text(d, "usbname")
            if usb:
                line += "," + usb
            add(line)
    for d in drivers:
        name = d.get("name")
        with_monitor = catalogue.flag(d, "languagemonitor", False)
        copy = [files_section, inf_quote("@%s.dat" % name)]
        if with_monitor:
            copy.append(monitor_section)
        add("")
        add("[%s]" % section_name(name))
        add("CopyFiles=%s" % ",".join(copy))
        add("DriverFile=%s" % uni)
        add("ConfigFile=%s" % ui)
        add("DataFile=%s" % inf_quote(name + ".dat"))
        if with_monitor:
            add("LanguageMonitor=%s" % inf_quote("%s,%s" % (monitor_name(model), lm)))
    add("")
    add("[%s]" % files_section)
    add(uni)
    add(ui)
    add("")
    add("[%s]" % monitor_section)
    add(lm)
    add("")
    add("[DestinationDirs]")
    add("DefaultDestDir=66000")
    # A language monitor is loaded by the spooler from the system folder.
    add("%s=66002" % monitor_section)
    add("")
    add("[SourceDisksNames]")
    add('1=%DiskName%,,,')
    for _, suffix, folder in ARCHITECTURES:
        add("")
        add("[SourceDisksFiles.%s]" % suffix)
        for dll in (uni, ui, lm):
            add("%s=1,%s" % (dll, folder))
        for d in drivers:
            add("%s=1" % inf_quote(d.get("name") + ".dat"))
    add("")
    add("[Strings]")
    add("QOVA=%s" % inf_quote(catalogue.company()))
    add("DiskName=%s" % inf_quote(catalogue.product()))
    text = "\r\n".join(out) + "\r\n"
    try:
        return text.encode("ascii")
    except UnicodeEncodeError:
        sys.exit("the INF must stay ASCII: a company or product text is not")


# --- catalogue file ------------------------------------------------------------
# A catalogue file is PKCS #7 SignedData whose content is a certificate trust
# list (szOID_CTL) of the catalogue-list usage. This one lists no member
# hashes and carries no signer: the binaries are built after it, and this
# build has no code-signing certificate. Windows installs the driver as an
# unsigned one (with its own warning where the system allows that).

def der(tag, body):
    n = len(body)
    if n < 0x80:
        length = bytes([n])
    else:
        raw = n.to_bytes((n.bit_length() + 7) // 8, "big")
        length = bytes([0x80 | len(raw)]) + raw
    return bytes([tag]) + length + body


def der_oid(dotted):
    parts = [int(p) for p in dotted.split(".")]
    body = bytearray([40 * parts[0] + parts[1]])
    for p in parts[2:]:
        chunk = [p & 0x7F]
        p >>= 7
        while p:
            chunk.append(0x80 | (p & 0x7F))
            p >>= 7
        body.extend(reversed(chunk))
    return der(0x06, bytes(body))


def der_seq(*items):
    return der(0x30, b"".join(items))


def der_set(*items):
    return der(0x31, b"".join(sorted(items)))


def catalogue_file(catalogue):
    oid_signed_data = "1.2.840.113549.1.7.2"
    oid_ctl = "1.3.6.1.4.1.311.10.1"
    oid_catalog_list = "1.3.6.1.4.1.311.12.1.1"
    oid_catalog_member = "1.3.6.1.4.1.311.12.1.2"
    # List identifier: 16 bytes, stable for one package version.
    ident = hashlib.md5(("%s %s" % (catalogue.model, catalogue.version())).encode("ascii")).digest()
    this_update = DRIVER_DATE.strftime("%y%m%d") + "000000Z"
    ctl = der_seq(
        der_seq(der_oid(oid_catalog_list)),          # subjectUsage
        der(0x04, ident),                              # listIdentifier
        der(0x17, this_update.encode("ascii")),        # thisUpdate (UTCTime)
        der_seq(der_oid(oid_catalog_member), der(0x05, b"")),  # subjectAlgorithm
    )
    signed_data = der_seq(
        der(0x02, b"\x01"),                            # version
        der_set(),                                     # digestAlgorithms: no signer, none
        der_seq(der_oid(oid_ctl), der(0xA0, ctl)),     # contentInfo
        der_set(),                                     # signerInfos
    )
    return der_seq(der_oid(oid_signed_data), der(0xA0, signed_data))


# --- device-data files ---------------------------------------------------------

COLOR_INFO = {
    "Red": {"x": 6810, "y": 3050, "Y": 0},
    "Green": {"x": 2260, "y": 6550, "Y": 0},
    "Blue": {"x": 1810, "y": 500, "Y": 0},
    "Cyan": {"x": 2000, "y": 2450, "Y": 0},
    "Magenta": {"x": 5210, "y": 2100, "Y": 0},
    "Yellow": {"x": 4750, "y": 5100, "Y": 0},
    "AlignmentWhite": {"x": 3127, "y": 3290, "Y": 10000},
    "RedGamma": 20000, "GreenGamma": 20000, "BlueGamma": 20000,
    "CyanInMagentaDye": 0, "CyanInYellowDye": 0, "MagentaInCyanDye": 0,
    "MagentaInYellowDye": 0, "YellowInCyanDye": 0, "YellowInMagentaDye": 0,
}


def numbers(text, count):
    values = []
    for part in (text or "").split(","):
        try:
            values.append(int(part.strip(), 0))
        except ValueError:
            values.append(0)
    return (values + [0] * count)[:count]


def version_time(catalogue_path, catalogue):
    """The package's creation time: the catalogue's own `time` when it has
    one, else SOURCE_DATE_EPOCH, else when the catalogue was last changed."""
    stamp = catalogue.root.get("time")
    if stamp:
        return stamp
    epoch = os.environ.get("SOURCE_DATE_EPOCH")
    seconds = int(epoch) if epoch else int(os.stat(catalogue_path).st_mtime)
    when = datetime.datetime.fromtimestamp(seconds, datetime.timezone.utc)
    return when.strftime("%Y-%m-%d %H:%M:%S")


def device_data(catalogue, d, when):
    dpi = catalogue.number(d, "dpi", 203)
    gap = catalogue.number(d, "gap", 0)
    left, top, right, bottom = numbers(catalogue.text(d, "margin"), 4)
    return {
        "DeviceName": d.get("name"),
        "model": catalogue.model,
        "cmd": catalogue.text(d, "cmd"),
        "DefaultForm": catalogue.text(d, "papername"),
        "FormList": catalogue.text(d, "paperlist"),
        "CustomPrinterName": catalogue.text(d, "customname"),
        "RasterXDPI": dpi,
        "RasterYDPI": dpi,
        "DeviceSize": {"cx": float(catalogue.number(d, "maxwidth")),
                       "cy": float(catalogue.number(d, "maxheight"))},
        "DeviceMargin": {"left": left, "top": top, "right": right, "bottom": bottom},
        "PaperTraySize": {"cx": -1, "cy": -1},
        "PlotXDPI": 1016,
        "PlotYDPI": 1016,
        "Flags": 253,
        "ID": 1953459280,
        "HTPatternSize": 4294967295,
        "MaxCopies": 999,
        "MaxPens": 0,
        "MaxPolygonPts": 128,
        "MaxQuality": 4,
        "MaxScale": 100,
        "ROPLevel": 0,
        "SysPaper": 0,
        "DevicePelsDPI": 0,
        "Version": 266,
        "VersionString": catalogue.version(),
        "VersionTime": when,
        "ColorInfo": COLOR_INFO,
        "myStuff": {
            "DoubleColor": 0, "DoubleColorDensity": 0, "bDebug": 0,
            "iAfterPrinted": 0, "iAlign": 0, "iCutterType": 0,
            "iDensity": catalogue.number(d, "defdensity"),
            "iDottedline": catalogue.number(d, "dottedline"),
            "iFeedEndDoc": 0, "iFeedEndPage": 0, "iFeedStartDoc": 0, "iFeedStartPage": 0,
            "iGap": 1 if gap else 0,
            "iGappara": {"x": gap, "y": 0},
            "iLanguage": 0, "iMirror": 0, "iNegative": 0, "iOffset": 0, "iPrinttype": 0,
            "iReference": {"x": 0, "y": 0},
            "iRotate": 0, "iScale": 100,
            "iSpeed": catalogue.number(d, "defspeed"),
            "iStop": 0, "iWater": 0, "ichuxian": 0,
        },
        "myStuffWithHalftone": {
            "bCompress": 1, "bDefCompress": 1,
            "iCropBottomEdge": 0, "iCropLeftEdge": 0, "iCropRightEdge": 0, "iCropTopEdge": 0,
            "iDuibidu": 0, "iGamma": 100, "iGrayMethod": 0, "iLiangdu": 0, "iThreValue": 128,
            "imageoffsetx": 0, "imageoffsety": 0,
        },
        "waterMark": {
            "ImagePath": "", "bPrintWaterMark": 0, "bTile": 0, "dither": 0,
            "dwAlphaColor": 0xFFFFFF, "nAlpha": 128, "nFormat": 0,
            "nHorizontalSpacing": 0, "nMarginHorizontal": 0, "nMarginVertical": 0,
            "nRoateAngel": 0, "nRoateDirection": 0, "nVerticalSpacing": 0,
        },
    }


def dat_bytes(data):
    text = json.dumps(data, indent=3, sort_keys=True, separators=(",", " : "), ensure_ascii=False)
    return (text + "\n").encode("utf-8")


def write_dat_files(folder, catalogue, drivers, when):
    folder.mkdir(parents=True, exist_ok=True)
    wanted = {d.get("name") + ".dat": dat_bytes(device_data(catalogue, d, when)) for d in drivers}
    for old in folder.glob("*.dat"):
        if old.name not in wanted:
            old.unlink()
    for name, data in wanted.items():
        path = folder / name
        # Unchanged files keep their time, so the package is not re-zipped
        # for nothing.
        if not path.exists() or path.read_bytes() != data:
            path.write_bytes(data)


# --- main ----------------------------------------------------------------------

def main():
    here = pathlib.Path(__file__).resolve().parent
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--catalogue", type=pathlib.Path,
                        default=here.parent / "package" / "resources" / "catalogue.xml")
    parser.add_argument("--inf-dir", type=pathlib.Path)
    parser.add_argument("--dat-dir", type=pathlib.Path)
    parser.add_argument("--check", action="store_true")
    args = parser.parse_args()

    catalogue = Catalogue(args.catalogue)
    drivers = check_models(catalogue)

    if args.dat_dir:
        write_dat_files(args.dat_dir, catalogue, drivers, version_time(args.catalogue, catalogue))
        if not args.inf_dir and not args.check:
            return 0

    inf_dir = args.inf_dir or here.parent / "package" / "zip" / "Drivers" / catalogue.model
    outputs = {
        catalogue.model + "New.inf": inf_text(catalogue, drivers),
        # Stored in lower case; the installer asks for it in mixed case.
        (catalogue.model + "New.cat").lower(): catalogue_file(catalogue),
    }
    return write_or_check({inf_dir / name: data for name, data in outputs.items()}, args.check)


if __name__ == "__main__":
    sys.exit(main())
