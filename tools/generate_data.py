#!/usr/bin/env python3
"""Generates the bundled data under data/ from PROJ's EPSG dataset.

    tools/generate_data.py [--proj-db /usr/share/proj/proj.db] [--out data]

Writes:
  data/GDAL_Data/unit_of_measure.csv, ellipsoid.csv, prime_meridian.csv,
  gdal_datum.csv   the EPSG reference tables in the column layout the
                   library reads (every row, deprecated ones flagged);
  data/CoordSys.dat the catalogue: [GCS] every non-deprecated EPSG
                   geographic 2D system, plus "WGS 1984"; [Beijing 1954] and
                   [Xian 1980] every non-deprecated Gauss-Kruger system on
                   those datums. Values are the one-line WKT that GDAL exports.

Needs python3, the sqlite3 module and GDAL's shared library (libgdal-dev),
nothing else. The output depends only on proj.db and GDAL's version, so a
rerun reproduces the committed files.
"""
import argparse
import ctypes
import ctypes.util
import csv
import io
import math
import os
import re
import sqlite3

# EPSG unit codes
METRE, RADIAN, DEGREE, DEGREE_SUPPLIER, GRAD, SEXAGESIMAL_DMS = 9001, 9101, 9102, 9122, 9105, 9110
TARGET_UOM = {"length": 9001, "angle": 9101, "scale": 9201, "time": 1040}

BEIJING_1954, XIAN_1980 = 4214, 4610


class Gdal:
    """The few OSR calls the generator needs, through GDAL's C API."""

    def __init__(self):
        name = ctypes.util.find_library("gdal") or "libgdal.so"
        self.lib = ctypes.CDLL(name)
        self.lib.OSRNewSpatialReference.restype = ctypes.c_void_p
        self.lib.OSRNewSpatialReference.argtypes = [ctypes.c_char_p]
        self.lib.OSRImportFromEPSG.argtypes = [ctypes.c_void_p, ctypes.c_int]
        self.lib.OSRExportToWkt.argtypes = [ctypes.c_void_p, ctypes.POINTER(ctypes.c_void_p)]
        self.lib.OSRGetAttrValue.restype = ctypes.c_char_p
        self.lib.OSRGetAttrValue.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        self.lib.OSRRelease.argtypes = [ctypes.c_void_p]
        self.lib.VSIFree.argtypes = [ctypes.c_void_p]
        self.lib.CPLSetConfigOption.argtypes = [ctypes.c_char_p, ctypes.c_char_p]
        self.lib.CPLSetConfigOption(b"CPL_DEBUG", b"OFF")

    def wkt_and_name(self, code, node):
        srs = self.lib.OSRNewSpatialReference(None)
        try:
            if self.lib.OSRImportFromEPSG(srs, code) != 0:
                return None, None
            out = ctypes.c_void_p()
            if self.lib.OSRExportToWkt(srs, ctypes.byref(out)) != 0 or not out.value:
                return None, None
            wkt = ctypes.string_at(out.value).decode("utf-8")
            self.lib.VSIFree(out)
            name = self.lib.OSRGetAttrValue(srs, node.encode(), 0)
            return wkt, name.decode("utf-8") if name else ""
        finally:
            self.lib.OSRRelease(srs)


def number(value):
    """Shortest text that reads back as the same double; integers without '.0'."""
    if value is None:
        return ""
    if float(value).is_integer() and abs(value) < 1e15:
        return str(int(value))
    return repr(float(value))


def write_csv(path, header, rows):
    buffer = io.StringIO()
    writer = csv.writer(buffer, lineterminator="\n", quoting=csv.QUOTE_MINIMAL)
    writer.writerow(header)
    writer.writerows(rows)
    with open(path, "w", encoding="utf-8", newline="") as f:
        f.write(buffer.getvalue())


class Units:
    def __init__(self, db):
        self.factor = {}
        for code, conv in db.execute(
                "select code, conv_factor from unit_of_measure where auth_name='EPSG'"):
            self.factor[int(code)] = conv

    def to_degrees(self, value, uom):
        if uom == SEXAGESIMAL_DMS:
            return unpack_dms(value)
        factor = self.factor.get(uom)
        if factor is None:
            raise ValueError(f"no factor for unit {uom}")
        return value * factor * 180.0 / math.pi

    def to_metres(self, value, uom):
        if value is None:
            return None
        return value * self.factor[uom]


def unpack_dms(value):
    """D.MMSSsss packed degrees to decimal degrees, exactly as written."""
    sign = -1 if value < 0 else 1
    text = f"{abs(value):.10f}"
    whole, frac = text.split(".")
    frac = (frac + "0000")[:10]
    minutes = int(frac[:2])
    seconds = float(frac[2:4] + "." + frac[4:])
    return sign * (int(whole) + minutes / 60 + seconds / 3600)


def pack_dms(degrees):
    """Decimal degrees to D.MMSSsss text, seconds rounded to 1e-5."""
    sign = "-" if degrees < 0 else ""
    total = round(abs(degrees) * 3600 * 100000)  # in 1e-5 arc-seconds
    d, rest = divmod(total, 3600 * 100000)
    m, s = divmod(rest, 60 * 100000)
    digits = f"{m:02d}{s // 100000:02d}{s % 100000:05d}".rstrip("0")
    return f"{sign}{d}" + (f".{digits}" if digits else "")


def unit_table(db):
    rows = []
    for code, name, kind, conv, deprecated in db.execute(
            "select code, name, type, conv_factor, deprecated from unit_of_measure "
            "where auth_name='EPSG' order by code"):
        if kind in ("length", "angle") and " per " in name:
            continue  # a rate ("metre per second"), not a unit a system can use
        target = TARGET_UOM.get(kind, "")
        factor_b, factor_c = (number(conv), "1") if conv is not None else ("", "")
        if kind == "angle" and conv:
            # Fractions of pi as the classic tables write them (degree: pi/180),
            # so that the degree reads back as exactly pi/180.
            parts = math.pi / conv
            if abs(parts - round(parts)) < 1e-9 * parts:
                factor_b, factor_c = number(math.pi), str(round(parts))
        rows.append([code, name, kind, target, factor_b, factor_c, deprecated])
    return (["uom_code", "unit_of_meas_name", "unit_of_meas_type", "target_uom_code",
             "factor_b", "factor_c", "deprecated"], rows)


def ellipsoid_table(db, units):
    rows = []
    for code, name, a, uom, invf, b, deprecated in db.execute(
            "select code, name, semi_major_axis, uom_code, inv_flattening, semi_minor_axis, "
            "deprecated from ellipsoid where auth_name='EPSG' order by code"):
        rows.append([code, name, number(units.to_metres(a, int(uom))), METRE,
                     number(invf), number(units.to_metres(b, int(uom))), deprecated])
    return (["ellipsoid_code", "ellipsoid_name", "semi_major_axis", "uom_code",
             "inv_flattening", "semi_minor_axis", "deprecated"], rows)


def prime_meridian_table(db, units):
    rows = []
    for code, name, longitude, uom, deprecated in db.execute(
            "select code, name, longitude, uom_code, deprecated from prime_meridian "
            "where auth_name='EPSG' order by code"):
        rows.append([code, name, pack_dms(units.to_degrees(longitude, int(uom))),
                     SEXAGESIMAL_DMS, deprecated])
    return (["PRIME_MERIDIAN_CODE", "PRIME_MERIDIAN_NAME", "GREENWICH_LONGITUDE", "UOM_CODE",
             "DEPRECATED"], rows)


def esri_datum_name(db, code, name):
    alias = db.execute(
        "select alt_name from alias_name where table_name='geodetic_datum' and auth_name='EPSG' "
        "and code=? and source='ESRI' order by alt_name limit 1", (str(code),)).fetchone()
    if alias:
        return alias[0]
    return "D_" + re.sub(r"[^A-Za-z0-9]", "_", name)


def datum_table(db):
    rows = []
    for code, name, ellipsoid, meridian, deprecated in db.execute(
            "select code, name, ellipsoid_code, prime_meridian_code, deprecated "
            "from geodetic_datum where auth_name='EPSG' order by code"):
        rows.append([code, name, ellipsoid, meridian, deprecated, esri_datum_name(db, code, name)])
    return (["DATUM_CODE", "DATUM_NAME", "ELLIPSOID_CODE", "PRIME_MERIDIAN_CODE", "DEPRECATED",
             "ESRI_DATUM_NAME"], rows)


def catalogue_section(entries):
    return "".join(f"{name}={wkt}\n" for name, wkt in entries)


def catalogue(db, gdal):
    gcs = {}
    for (code,) in db.execute(
            "select code from geodetic_crs where auth_name='EPSG' and type='geographic 2D' "
            "and deprecated=0 order by code"):
        wkt, name = gdal.wkt_and_name(int(code), "GEOGCS")
        if wkt and name and "\n" not in wkt and name not in gcs:
            gcs[name] = wkt
    gcs["WGS 1984"] = gdal.wkt_and_name(4326, "GEOGCS")[0]

    def zones(geogcs):
        found = []
        for code, name in db.execute(
                "select code, name from projected_crs where auth_name='EPSG' "
                "and geodetic_crs_auth_name='EPSG' and geodetic_crs_code=? and deprecated=0 "
                "and name like '%Gauss-Kruger%' order by code", (str(geogcs),)):
            wkt, _ = gdal.wkt_and_name(int(code), "PROJCS")
            if wkt:
                found.append((name, wkt))
        return found

    beijing, xian = zones(BEIJING_1954), zones(XIAN_1980)
    text = ("; Geographic coordinate systems and Gauss-Kruger zones offered by the chooser.\n"
            "; Generated by tools/generate_data.py from the EPSG dataset; systems added\n"
            "; with the chooser's New... button are stored in [GCS].\n"
            "[GCS]\n" + catalogue_section(sorted(gcs.items(), key=lambda e: e[0].encode())) +
            "\n[Beijing 1954]\n" + catalogue_section(beijing) +
            "\n[Xian 1980]\n" + catalogue_section(xian))
    return text, len(gcs), len(beijing), len(xian)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--proj-db", default="/usr/share/proj/proj.db")
    parser.add_argument("--out", default=os.path.join(os.path.dirname(__file__), "..", "data"))
    args = parser.parse_args()

    db = sqlite3.connect(f"file:{args.proj_db}?mode=ro", uri=True)
    units = Units(db)
    tables = os.path.join(args.out, "GDAL_Data")
    os.makedirs(tables, exist_ok=True)
    for file, (header, rows) in (
            ("unit_of_measure.csv", unit_table(db)),
            ("ellipsoid.csv", ellipsoid_table(db, units)),
            ("prime_meridian.csv", prime_meridian_table(db, units)),
            ("gdal_datum.csv", datum_table(db))):
        write_csv(os.path.join(tables, file), header, rows)
        print(f"{file}: {len(rows)} rows")

    text, n_gcs, n_beijing, n_xian = catalogue(db, Gdal())
    with open(os.path.join(args.out, "CoordSys.dat"), "w", encoding="utf-8", newline="") as f:
        f.write(text)
    print(f"CoordSys.dat: [GCS] {n_gcs}, [Beijing 1954] {n_beijing}, [Xian 1980] {n_xian} entries")


if __name__ == "__main__":
    main()
