"""The C API of libOrvane, loaded through ctypes, with its prototypes."""

from __future__ import annotations

import ctypes
import operator
import os
import threading
from pathlib import Path

try:  # written at installation: where the library lies from this folder
    from ._installed import LIBRARY_FROM_HERE  # type: ignore[import-not-found]
except ImportError:  # a source tree: ORVANE_LIBRARY, or the linker's search
    LIBRARY_FROM_HERE = None

SONAME = "libOrvane.so.0"


class LibraryNotFound(ImportError):
    """libOrvane could not be loaded."""


def _candidates() -> list[str]:
    chosen = os.environ.get("ORVANE_LIBRARY")
    if chosen:
        # Named by the user: that library or none, never another one.
        return [chosen]
    found = []
    if LIBRARY_FROM_HERE:
        found.append(str((Path(__file__).resolve().parent / LIBRARY_FROM_HERE).resolve()))
    found.append(SONAME)
    return found


def _load() -> ctypes.CDLL:
    problems = []
    for candidate in _candidates():
        try:
            return ctypes.CDLL(candidate)
        except OSError as error:
            problems.append(str(error))
    raise LibraryNotFound(
        "cannot load libOrvane (install liborvane, or set ORVANE_LIBRARY to the "
        "library's path): " + "; ".join(problems))


lib = _load()

c_char_p = ctypes.c_char_p
c_void_p = ctypes.c_void_p
c_size_t = ctypes.c_size_t
c_int = ctypes.c_int
c_double = ctypes.c_double

# (name, result type, argument types). Texts the caller frees come back as
# c_void_p so that ctypes does not copy and lose the pointer.
_PROTOTYPES = [
    ("orvane_version", c_char_p, []),
    ("orvane_chooser_create", c_void_p, [c_void_p, ctypes.c_ulong]),
    ("orvane_chooser_destroy", None, [c_void_p]),
    ("orvane_chooser_set_language", None, [c_void_p, c_int]),
    ("orvane_chooser_set_wkt", c_int, [c_void_p, c_char_p]),
    ("orvane_chooser_set_gdal_registered", None, [c_void_p, c_int]),
    ("orvane_chooser_offer_height", None, [c_void_p, c_int]),
    ("orvane_chooser_run", c_int, [c_void_p]),
    ("orvane_chooser_wkt", c_char_p, [c_void_p, c_int]),
    ("orvane_chooser_name", c_char_p, [c_void_p]),
    ("orvane_chooser_error", c_char_p, [c_void_p]),
    ("orvane_prepare_dialogs", c_int, []),
    ("orvane_free", None, [c_void_p]),
    ("orvane_coord_sys_name", c_void_p, [c_char_p]),
    ("orvane_datum_name", c_void_p, [c_char_p]),
    ("orvane_spheroid_name", c_void_p, [c_char_p]),
    ("orvane_projection_name", c_void_p, [c_char_p]),
    ("orvane_units_name", c_void_p, [c_char_p]),
    ("orvane_format_reference", c_void_p, [c_char_p, c_int]),
    ("orvane_why_no_dialogs", c_void_p, []),
    ("orvane_database_problem", c_void_p, []),
    ("orvane_parse_place", c_int, [c_char_p, ctypes.POINTER(c_double), ctypes.POINTER(c_double)]),
    ("orvane_describe", c_void_p, [c_char_p]),
    ("orvane_find", c_void_p, [c_char_p, c_size_t]),
    ("orvane_find_at", c_void_p, [c_double, c_double, c_size_t]),
    ("orvane_list_geographic", c_void_p, []),
    ("orvane_records_count", c_size_t, [c_void_p]),
    ("orvane_records_get", c_char_p, [c_void_p, c_size_t, c_char_p]),
    ("orvane_records_destroy", None, [c_void_p]),
]

for _name, _result, _arguments in _PROTOTYPES:
    _function = getattr(lib, _name)
    _function.restype = _result
    _function.argtypes = _arguments

OK, CANCEL, NO_DISPLAY, FAILED = 1, 2, -1, -2
FORMATS = {"wkt1": 0, "wkt2": 1, "projjson": 2, "proj": 3}
LANGUAGES = {"zh-Hans": 0, "zh_CN": 0, "zh-CN": 0, "zh-Hant": 1, "zh_TW": 1, "zh-TW": 1, "en": 2}
MOST_FOUND = 1 << 20

# Held by every call but the chooser's own run: the library's first dialog
# may make its Qt application, which may fork, and a fork while another
# thread is inside the library leaves the child waiting for ever.
lock = threading.Lock()


def encoded(text: str | None) -> bytes | None:
    """UTF-8 for the library; a text's undecodable bytes (surrogateescape)
    go back as they came."""
    if text is None:
        return None
    if "\0" in text:
        raise ValueError("the text holds a NUL character")
    return text.encode("utf-8", "surrogateescape")


def decoded(text: bytes | None) -> str:
    """The library's texts: UTF-8, and a name read from a file in another
    encoding kept byte for byte (surrogateescape), never replaced."""
    return "" if text is None else text.decode("utf-8", "surrogateescape")


def limit_of(limit: int) -> int:
    """A count of results: a whole number, at most MOST_FOUND."""
    return min(max(0, operator.index(limit)), MOST_FOUND)


def owned_text(pointer: int | None) -> str | None:
    """A text the library allocated for the caller: read, then freed."""
    if not pointer:
        return None
    try:
        return decoded(ctypes.string_at(pointer))
    finally:
        lib.orvane_free(pointer)


def records(pointer: int | None, fields: list[str]) -> list[dict[str, str]]:
    """A record list read into dictionaries of `fields`, then destroyed."""
    if not pointer:
        raise MemoryError("libOrvane could not make its answer")
    try:
        return [{field: decoded(lib.orvane_records_get(pointer, index, field.encode()))
                 for field in fields}
                for index in range(lib.orvane_records_count(pointer))]
    finally:
        lib.orvane_records_destroy(pointer)
