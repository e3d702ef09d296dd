"""Orvane for Python: let a user choose a spatial reference system in Orvane's
dialog, and name, describe or search for any system without one.

    import orvane
    chosen = orvane.pick(parent=main_window, wkt=layer_wkt)
    if chosen:                      # None when the user cancelled
        layer_wkt = chosen.wkt      # OGC WKT1 unless format= says otherwise
        print(chosen.name, chosen.code)
    orvane.info("EPSG:32633").name  # "WGS 84 / UTM zone 33N"
    orvane.find("utm 33n")[0].code  # "EPSG:32633"

The module is plain Python over libOrvane's C API (ctypes). It loads the
installed library, or the one the environment variable ORVANE_LIBRARY names.
"""

from __future__ import annotations

import importlib
import operator
from dataclasses import dataclass
from typing import Any, Callable, Optional, Union

from . import _capi
from ._capi import LibraryNotFound

__all__ = [
    "CatalogEntry", "Error", "Found", "FoundSystem", "LibraryNotFound", "NoDisplay", "NotASystem", "Picked",
    "SystemInfo", "catalog", "convert", "find", "find_at", "info", "pick", "why_database_fails",
    "why_no_display",
]

__version__: str = _capi.decoded(_capi.lib.orvane_version())


class Error(Exception):
    """Orvane could not do what was asked (PROJ's database unusable, say)."""


class NoDisplay(Error):
    """No display to show the chooser on; the message says why
    ("cannot connect to display :99", "DISPLAY is not set")."""


class NotASystem(Error, ValueError):
    """The text names no spatial reference system."""


@dataclass(frozen=True)
class Picked:
    """The system the user confirmed."""
    wkt: str    # in the format pick() was asked for (WKT1 by default)
    name: str   # "WGS 84 / UTM zone 33N"
    code: str   # "EPSG:32633" when it is exactly that EPSG system, else ""


@dataclass(frozen=True)
class SystemInfo:
    """What info() tells of a system."""
    name: str
    kind: str          # "geographic", "projected", "compound", "vertical", "local" or "other"
    datum: str
    spheroid: str
    projection: str    # "" for a system without one
    units: str
    code: str          # "EPSG:32650" when it is exactly that EPSG system, else ""
    like_but_shift: str  # "EPSG:4326" when it is that system but for its datum shift
    deprecated: bool   # its code is one EPSG retired
    replaced_by: tuple[str, ...]  # what EPSG names in a retired code's place
    ensemble_accuracy: float      # metres, when its datum is an ensemble (WGS 84: 2.0); else 0


@dataclass(frozen=True)
class FoundSystem:
    """A system find() or find_at() found."""
    name: str
    code: str       # "EPSG:32650", "ESRI:54009"; "" when it has none
    origin: str     # "epsg", "esri", "catalogue" or "user"
    kind: str       # "geographic", "projected", "vertical" or "compound"
    area: str       # its area of use, where PROJ knows it
    reference: str  # a text naming it for info() or pick(wkt=...): its code, or its WKT
    alias: str      # the other name the words were found in ("Web Mercator"), or ""


@dataclass(frozen=True)
class CatalogEntry:
    """A geographic system the chooser lists."""
    name: str
    wkt: str
    user: bool               # defined by the user (else shipped)
    overrides_shipped: bool  # a user's system that hides a shipped one of its name


def _parent_pointers(parent: Any) -> tuple[Optional[int], int]:
    """(a QWidget pointer, an X11 window id) for pick()'s parent."""
    if parent is None:
        return None, 0
    if isinstance(parent, int) and not isinstance(parent, bool):
        if not 0 < parent <= 0xFFFFFFFF:
            raise ValueError(f"not an X11 window id: {parent}")
        return None, parent
    binding = type(parent).__module__.split(".")[0]
    if binding in ("PyQt6", "PyQt5"):
        sip = importlib.import_module(binding + ".sip")
        return sip.unwrapinstance(parent), 0
    if binding == "PySide6":
        # A PySide6 from wheels brings a Qt of its own: its widget is then no
        # widget of the library's Qt, and the chooser ignores it.
        shiboken = importlib.import_module("shiboken6")
        return shiboken.getCppPointer(parent)[0], 0
    raise TypeError("parent must be a PyQt6 widget, an X11 window id or None, "
                    f"not {type(parent).__name__}")


def _language(language: Union[str, int]) -> int:
    if isinstance(language, int) and not isinstance(language, bool):
        return language
    try:
        return _capi.LANGUAGES[language]
    except (KeyError, TypeError):
        raise ValueError(f"language must be one of {', '.join(_capi.LANGUAGES)}, not {language!r}") from None


def _format(format: str) -> int:
    try:
        return _capi.FORMATS[format]
    except KeyError:
        raise ValueError(f"format must be one of {', '.join(_capi.FORMATS)}, not {format!r}") from None


def pick(parent: Any = None, wkt: Optional[str] = None, language: Union[str, int] = "en",
         format: str = "wkt1", gdal_registered: bool = False, height: bool = False) -> Optional[Picked]:
    """Shows the chooser, modal, and returns the system the user confirmed,
    or None when they cancelled.

    parent:   the window the chooser belongs to: a PyQt6 widget of this
              program, another program's X11 window id (a Tk window's
              int(root.wm_frame(), 16), say), or None (the program's active
              Qt window, if any).
    wkt:      the system to open on: WKT (handed back unchanged when the user
              changes nothing), "EPSG:n", PROJJSON, a PROJ string or a .prj
              file's path; None for the chooser's default.
    language: "en", "zh-Hans" or "zh-Hant": the language of this and every
              later dialog of the process.
    format:   "wkt1", "wkt2", "projjson" or "proj" for the result's .wkt.
    height:   True to offer a height with the system: a height chosen comes
              back as one compound system ("ETRS89 / UTM zone 32N + DHHN92
              height"). A system handed in with a height offers it anyway.
    gdal_registered: True when the program registered GDAL's drivers itself
              (gdal.AllRegister()); else the chooser registers those an
              import from .tif or .img needs, for that import.

    Call it from the thread of the program's Qt application, if it has one.
    Raises NoDisplay when there is no display to show it on, NotASystem when
    `wkt` names no system, Error when the chooser cannot be shown.
    """
    widget, window = _parent_pointers(parent)
    wanted = _format(format)
    chosen_language = _language(language)
    with _capi.lock:
        # The library's own Qt application, if it needs one, made while no
        # other thread is inside the library.
        _capi.lib.orvane_prepare_dialogs()
        chooser = _capi.lib.orvane_chooser_create(widget, window)
    if not chooser:
        raise MemoryError("libOrvane could not make a chooser")
    try:
        _capi.lib.orvane_chooser_set_language(chooser, chosen_language)
        _capi.lib.orvane_chooser_set_gdal_registered(chooser, 1 if gdal_registered else 0)
        _capi.lib.orvane_chooser_offer_height(chooser, 1 if height else 0)
        if wkt is not None and not _capi.lib.orvane_chooser_set_wkt(chooser, _capi.encoded(wkt)):
            raise NotASystem(f"{wkt!r}: {_capi.decoded(_capi.lib.orvane_chooser_error(chooser))}")
        result = _capi.lib.orvane_chooser_run(chooser)
        if result == _capi.CANCEL:
            return None
        if result == _capi.NO_DISPLAY:
            raise NoDisplay(_capi.decoded(_capi.lib.orvane_chooser_error(chooser)))
        if result != _capi.OK:
            raise Error(_capi.decoded(_capi.lib.orvane_chooser_error(chooser)))
        text = _capi.lib.orvane_chooser_wkt(chooser, wanted)
        if text is None:
            raise Error(f"GDAL cannot write the system chosen as {format}")
        system = _capi.decoded(text)
        name = _capi.decoded(_capi.lib.orvane_chooser_name(chooser))
        wkt1 = _capi.decoded(_capi.lib.orvane_chooser_wkt(chooser, _capi.FORMATS["wkt1"]))
    finally:
        _capi.lib.orvane_chooser_destroy(chooser)
    code = _describe(wkt1)["code"] if wkt1 else ""
    return Picked(wkt=system, name=name, code=code)


def _locked(call, *arguments):
    with _capi.lock:
        return call(*arguments)


_INFO_FIELDS = ["name", "kind", "datum", "spheroid", "projection", "units", "code", "like_but_shift",
                "deprecated", "replaced_by", "ensemble_accuracy"]
_FOUND_FIELDS = ["name", "code", "origin", "kind", "area", "reference", "alias"]


def _describe(text: str) -> dict[str, str]:
    return _capi.records(_locked(_capi.lib.orvane_describe, _capi.encoded(text)), _INFO_FIELDS)[0]


def info(text: str) -> SystemInfo:
    """Describes any spatial reference text GDAL reads (WKT1 or WKT2,
    PROJJSON, "EPSG:n", a PROJ string, a .prj file's path). No other file
    and no network is ever reached. Raises NotASystem for a text that names
    no system."""
    record = _describe(text)
    if not record["kind"]:
        problem = why_database_fails() or "names no spatial reference system"
        raise NotASystem(f"{text!r}: {problem}")
    return SystemInfo(
        name=record["name"], kind=record["kind"], datum=record["datum"], spheroid=record["spheroid"],
        projection=record["projection"], units=record["units"], code=record["code"],
        like_but_shift=record["like_but_shift"], deprecated=record["deprecated"] == "1",
        replaced_by=tuple(record["replaced_by"].split()),
        ensemble_accuracy=float(record["ensemble_accuracy"] or 0))


def _found(pointer: Optional[int]) -> list[FoundSystem]:
    return [FoundSystem(**record) for record in _capi.records(pointer, _FOUND_FIELDS)]


class Found(list):
    """The systems find() or find_at() found, best first: a list of
    FoundSystem, with `cut` true when more were found than the limit let
    through (ask again with limit=None for every one). `cut` describes the
    answer; it is no part of the list's value (equality, slices)."""
    cut: bool = False

    def __repr__(self) -> str:
        return f"Found({list.__repr__(self)}, cut={self.cut})"


def _found_up_to(call: Callable[[int], Optional[int]], limit: Optional[int]) -> Found:
    if isinstance(limit, bool):
        raise TypeError("limit is a count of results or None, not a bool")
    if limit is not None and operator.index(limit) < 0:
        raise ValueError(f"limit cannot be negative: {limit}")
    wanted = _capi.MOST_FOUND if limit is None else _capi.limit_of(limit)
    # One more than wanted says whether the list was cut.
    systems = _found(_locked(call, min(wanted + 1, _capi.MOST_FOUND + 1)))
    result = Found(systems[:wanted])
    result.cut = len(systems) > wanted
    return result


def find(text: str, limit: Optional[int] = 50) -> Found:
    """The systems the chooser's search finds for `text`, best first: a code
    in any form ("EPSG:4326", "urn:ogc:def:crs:EPSG::4326", "ESRI:102100"),
    words of their names ("utm 33n", "web mercator", "fuseau 31"), a
    misspelt word, a name in another language or script, a country, a city
    (in its own name too: "Milano", "Київ") with other words ("paris
    lambert"), or a place ("52.52 13.40"). At most `limit` of them; None for
    every one. The result's `cut` says whether there were more."""
    encoded = _capi.encoded(text)
    return _found_up_to(lambda most: _capi.lib.orvane_find(encoded, most), limit)


def find_at(latitude: Optional[float] = None, longitude: Optional[float] = None,
            limit: Optional[int] = 50, *, lat: Optional[float] = None,
            lon: Optional[float] = None) -> Found:
    """The systems used at a place (degrees, north and east positive), the
    one meant for it first; none for a place out of range. Name the place by
    keyword, find_at(lat=52.52, lon=13.40), so that a swapped pair reads as
    what it is, or by position, latitude first. `limit` and the result's
    `cut` are find()'s."""
    if (lat is None) != (lon is None) or (lat is not None and (latitude is not None or longitude is not None)):
        raise TypeError("find_at takes lat= and lon= together, or latitude and longitude, not both")
    if lat is not None:
        latitude, longitude = lat, lon
    if latitude is None or longitude is None:
        raise TypeError("find_at needs a latitude and a longitude (lat=, lon=)")
    if any(isinstance(value, (str, bytes, bool)) for value in (latitude, longitude)):
        raise TypeError("find_at takes a latitude and a longitude in degrees, as numbers")
    where = (float(latitude), float(longitude))
    return _found_up_to(lambda most: _capi.lib.orvane_find_at(where[0], where[1], most), limit)


def catalog() -> list[CatalogEntry]:
    """Every geographic system the chooser lists, shipped and the user's, by name."""
    return [CatalogEntry(name=r["name"], wkt=r["wkt"], user=r["origin"] == "user",
                         overrides_shipped=r["overrides_shipped"] == "1")
            for r in _capi.records(_locked(_capi.lib.orvane_list_geographic),
                                   ["name", "wkt", "origin", "overrides_shipped"])]


def convert(text: str, to: str = "wkt2") -> str:
    """The system `text` names, written as "wkt1", "wkt2", "projjson" or
    "proj". Raises NotASystem when the text names no system (or GDAL cannot
    write it so)."""
    written = _capi.owned_text(_locked(_capi.lib.orvane_format_reference, _capi.encoded(text), _format(to)))
    if written is None:
        raise NotASystem(f"{text!r}: not a system GDAL can write as {to}")
    return written


def why_no_display() -> str:
    """Why the chooser cannot be shown in this process; "" when it can."""
    return _capi.owned_text(_locked(_capi.lib.orvane_why_no_dialogs)) or ""


def why_database_fails() -> str:
    """Why PROJ's database cannot be read (then no system can); "" when it can."""
    return _capi.owned_text(_locked(_capi.lib.orvane_database_problem)) or ""

