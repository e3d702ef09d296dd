"""The Python module as a script without Qt uses it: names, searches, the
catalogue, conversions, and clear errors (no display, no system, a wrong
argument). Run without a display."""

import os
import subprocess
import sys
import unittest

import orvane


class WithoutADialog(unittest.TestCase):
    def test_info_names_a_system_from_any_text(self):
        cases = [
            ("EPSG:32633", "WGS 84 / UTM zone 33N", "projected", "EPSG:32633"),
            ("+proj=longlat +ellps=intl +no_defs", "Unknown", "geographic", ""),
            (orvane.convert("EPSG:25832", "wkt2"), "ETRS89 / UTM zone 32N", "projected", "EPSG:25832"),
            (orvane.convert("EPSG:2056", "projjson"), "CH1903+ / LV95", "projected", "EPSG:2056"),
        ]
        for text, name, kind, code in cases:
            with self.subTest(text=text[:40]):
                described = orvane.info(text)
                self.assertEqual((described.name, described.kind, described.code), (name, kind, code))
        wgs84 = orvane.info("EPSG:4326")
        self.assertEqual((wgs84.units, wgs84.ensemble_accuracy, wgs84.deprecated), ("degree", 2.0, False))
        retired = orvane.info("EPSG:3411")
        self.assertEqual((retired.deprecated, retired.replaced_by), (True, ("EPSG:3413",)))

    def test_find_and_find_at(self):
        self.assertEqual(orvane.find("utm 33n", 1)[0].code, "EPSG:32633")
        self.assertEqual(orvane.find("google maps", 1)[0].code, "EPSG:3857")
        self.assertTrue(orvane.find("paris lambert", 1)[0].name.endswith("/ Lambert-93"))
        self.assertEqual([(f.code, f.kind) for f in orvane.find("utm 32n dhhn92", 2)],
                         [("EPSG:5555", "compound")])
        berlin = orvane.find_at(52.52, 13.40, 5)
        self.assertEqual(len(berlin), 5)
        self.assertIn("EPSG:25833", [found.code for found in berlin])
        self.assertEqual(orvane.find_at(91, 0), [])
        self.assertEqual(orvane.find("no such words at all qqq"), [])
        self.assertEqual(orvane.find("utm", 0), [])
        # Every result, or a few and a word that there were more.
        few, every = orvane.find("utm 33n", 3), orvane.find("utm 33n", None)
        self.assertEqual((len(few), few.cut, every.cut), (3, True, False))
        self.assertEqual(every[:3], few)
        self.assertEqual(orvane.find("EPSG:4326", None).cut, False)
        # The place by keyword; a pair given both ways, or half, is refused.
        self.assertEqual(orvane.find_at(lat=52.52, lon=13.40, limit=5), berlin)
        self.assertNotEqual(orvane.find_at(lat=13.40, lon=52.52, limit=5), berlin)
        for bad in [dict(lat=52.52), dict(latitude=52.52, lon=13.4), dict(), dict(lat="52", lon="13"),
                    dict(lat=True, lon=False)]:
            with self.subTest(arguments=bad), self.assertRaises(TypeError):
                orvane.find_at(**bad)
        with self.assertRaises(TypeError):
            orvane.find("utm", True)
        with self.assertRaises(ValueError):
            orvane.find("utm", -5)

    def test_catalogue_and_conversions(self):
        entries = orvane.catalog()
        self.assertGreater(len(entries), 500)
        self.assertEqual([e.name for e in entries], sorted((e.name for e in entries), key=str.encode))
        self.assertEqual(orvane.info(entries[0].wkt).kind, "geographic")
        self.assertEqual(orvane.convert("EPSG:4326", "proj"), "+proj=longlat +datum=WGS84 +no_defs")
        self.assertTrue(orvane.convert("EPSG:4326", "wkt1").startswith('GEOGCS["WGS 84"'))

    def test_errors_are_clear(self):
        for bad in ["garbage", "", "EPSG:999999"]:
            with self.subTest(text=bad), self.assertRaises(orvane.NotASystem):
                orvane.info(bad)
        with self.assertRaises(ValueError):
            orvane.convert("EPSG:4326", "svg")
        with self.assertRaises(TypeError):
            orvane.pick(parent="my window")
        with self.assertRaises(ValueError):
            orvane.pick(parent=-5)
        with self.assertRaises(orvane.NotASystem):
            orvane.pick(wkt="garbage")
        with self.assertRaises(ValueError):
            orvane.pick(language="fr")
        with self.assertRaises(ValueError):
            orvane.info("EPSG:4326\0junk")
        with self.assertRaises(TypeError):
            orvane.find("utm", 2.5)
        # A limit past any count is every result, never a count wrapped round.
        self.assertEqual(len(orvane.find("utm 33n", 2**64)), len(orvane.find("utm 33n", 10**6)))

    def test_a_name_in_another_encoding_comes_back_byte_for_byte(self):
        import tempfile
        with tempfile.TemporaryDirectory() as folder:
            path = os.path.join(folder, "latin1.prj")
            with open(path, "wb") as prj:
                prj.write(b'GEOGCS["R\xe9seau",DATUM["WGS_1984",SPHEROID["WGS 84",6378137,298.257223563]],'
                          b'PRIMEM["Greenwich",0],UNIT["degree",0.0174532925199433]]')
            name = orvane.info(path).name
            self.assertEqual(name.encode("utf-8", "surrogateescape"), b"R\xe9seau")
            self.assertEqual(orvane.info(orvane.convert(path, "wkt1")).name, name)

    def test_no_display_is_an_error_of_its_own(self):
        self.assertNotEqual(orvane.why_no_display(), "")
        with self.assertRaises(orvane.NoDisplay) as raised:
            orvane.pick(wkt="EPSG:4326")
        self.assertIn("DISPLAY", str(raised.exception))

    def test_a_library_named_wrongly_is_said(self):
        script = "import orvane"
        env = dict(os.environ, ORVANE_LIBRARY="/nonexistent/libOrvane.so")
        run = subprocess.run([sys.executable, "-c", script], env=env, capture_output=True, text=True)
        self.assertNotEqual(run.returncode, 0)
        self.assertIn("cannot load libOrvane", run.stderr)
        self.assertIn("ORVANE_LIBRARY", run.stderr)


if __name__ == "__main__":
    unittest.main()
