"""Tests of the benchmark's generator and report: the generated libraries
must be ones the units library accepts, and the report must judge the
figures against the goals correctly. Run by bench/run.sh before measuring."""
import os
import tempfile
import unittest

import prepare
import report


class GeneratedUnitsLibrary(unittest.TestCase):
    def test_every_dimension_once_with_twenty_symbols(self):
        lines = prepare.units_text(1000).split("\r\n")
        body = [l for l in lines if l and not l.startswith("#")]
        self.assertEqual(len(body), 1000)
        names = [l.split()[0] for l in body]
        self.assertEqual(len({n.lower() for n in names}), 1000)
        self.assertEqual(names[0], "Dimension000001")
        self.assertEqual(names[-1], "Dimension001000")
        for line in body:
            words = line.split(" ")
            self.assertEqual(len(words), 21)
            self.assertLessEqual(len(words[0]), 31)

    def test_biggest_size_fits_the_library_limit_and_beyond_is_refused(self):
        text = prepare.units_text(32767)
        self.assertLessEqual(len(text.encode("utf-8")), 4 << 20)
        with self.assertRaises(ValueError):
            prepare.units_text(32768)
        with self.assertRaises(ValueError):
            prepare.units_text(0)

    def test_installation_profile_names_its_own_files_as_wine_paths(self):
        with tempfile.TemporaryDirectory() as out:
            profile = prepare.prepare(out, "/b/x86_64", 100)
            root = os.path.join(out, "100")
            self.assertEqual(profile, prepare.windows_path(os.path.join(root, "kalvex.ini")))
            with open(os.path.join(root, "kalvex.ini"), encoding="utf-8", newline="") as f:
                text = f.read()
            self.assertIn("Units_File=%s\r\n" % prepare.windows_path(os.path.join(root, "units.txt")), text)
            self.assertIn("Resource_Binary_Dir=Z:\\b\\x86_64\\res\r\n", text)
            self.assertIn("[VelWin_Section]\r\nLanguage=English", text)
            self.assertTrue(os.path.isdir(os.path.join(root, "sets")))
            # A second run leaves the set folder empty again.
            open(os.path.join(root, "sets", "old.uas"), "w").close()
            prepare.prepare(out, "/b/x86_64", 100)
            self.assertEqual(os.listdir(os.path.join(root, "sets")), [])


class Growth(unittest.TestCase):
    def test_tenfold_step_is_held_to_twelve(self):
        self.assertEqual(report.growth_cell("catalogue", 10.0, 119.0, 1000, 10000), ("x11.9", False))
        self.assertEqual(report.growth_cell("catalogue", 10.0, 121.0, 1000, 10000), ("**x12.1**", True))

    def test_last_step_is_held_to_four(self):
        self.assertEqual(report.growth_cell("setfile.read", 10.0, 39.0, 10000, 32767), ("x3.9", False))
        self.assertEqual(report.growth_cell("setfile.read", 10.0, 41.0, 10000, 32767), ("**x4.1**", True))

    def test_noise_and_explanatory_rows_are_not_judged(self):
        self.assertFalse(report.growth_cell("catalogue", 0.01, 0.9, 100, 1000)[1])
        self.assertFalse(report.growth_cell("listbox.bare", 1.0, 500.0, 1000, 10000)[1])
        self.assertEqual(report.growth_cell("catalogue", None, 5.0, 100, 1000), ("-", False))


def write(path, rows):
    with open(path, "w", encoding="utf-8") as f:
        for row in rows:
            f.write("\t".join(str(c) for c in row) + "\n")


class Report(unittest.TestCase):
    def results(self, folder, demo_program_ms, read_ms, check="ok"):
        write(os.path.join(folder, "machine.tsv"), [("date", "today"), ("cpu", "Test CPU"), ("cores", 2),
                                                     ("wine", "wine-8.0"), ("runs", 20), ("budget", 60)])
        for size, scale in ((1000, 1.0), (10000, 10.0)):
            write(os.path.join(folder, "ops-%d.tsv" % size), [
                ("op", "setfile.read", read_ms * scale, read_ms * scale, 7),
                ("op", "catalogue", 2.0 * scale, 2.0 * scale, 7),
                ("mem", "before.heap.bytes", 1000), ("mem", "started.heap.bytes", 1000 + 300 * size),
                ("mem", "before.heap.blocks", 10), ("mem", "started.heap.blocks", 10 + 23 * size),
                ("mem", "before.pagefile", 0), ("mem", "started.pagefile", 400 * size),
                ("check", "setfile.read.restores", check)])
        write(os.path.join(folder, "startup-demo.tsv"), [
            ("sample", "demo", "floor", 0, 100.0, 5.0),
            ("startup", "demo", 20, 100.0, demo_program_ms, 5.0, 6.0, 0)])
        write(os.path.join(folder, "startup-32767.tsv"), [
            ("startup", "32767", 3, 100.0, 2500.0, 5.0, 6.0, 0)])

    def render(self, *args, **kwargs):
        with tempfile.TemporaryDirectory() as folder:
            self.results(folder, *args, **kwargs)
            return report.render(*report.load(folder))

    def test_goals_met(self):
        text = self.render(110.0, 0.5)
        self.assertIn("ratio 1.10 against the goal 1.15: met", text)
        self.assertIn("| demo installation | bare | 20 | 100 | 110 | 1.10 |", text)
        self.assertIn("checks", text.lower())
        self.assertIn("all passed", text)
        self.assertIn("Test CPU, 2 cores", text)

    def test_goals_missed_are_marked(self):
        text = self.render(130.0, 3.0, check="fail")
        self.assertIn("ratio 1.30 against the goal 1.15: **not met**", text)
        self.assertIn("setfile.read at 10 000 dimensions: 30.0 ms against the goal 20 ms: **not met**", text)
        self.assertIn("32 767 dimensions: 2500 ms against the goal 2000 ms: **not met**", text)
        self.assertIn("**failed: setfile.read.restores at 1 000", text)

    def test_memory_per_dimension(self):
        text = self.render(110.0, 0.5)
        self.assertIn("| 10 000 | 3.0 MB | 300 | 23.0 | 4.0 MB | 400 |", text)
        self.assertIn("no `KxMemoryUsage` export", text)


class SetsAndClosing(unittest.TestCase):
    """The goals of the set folder, of closing and of start-up against the
    floor of its data, judged from the raw lines."""

    def render(self, choose, close_ms, inprocess_ms, processes=()):
        with tempfile.TemporaryDirectory() as folder:
            for k, (start, floor) in enumerate(processes):
                write(os.path.join(folder, "inproc-32767-%d.tsv" % k), [
                    ("op", "startup.inprocess", start, start, 1), ("op", "startup.floor", floor, floor, 1)])
            write(os.path.join(folder, "machine.tsv"), [("opruns", 7)])
            for count, ms in choose.items():
                write(os.path.join(folder, "sets-%d.tsv" % count), [
                    ("op", "sets.choose", ms, ms, 7), ("op", "sets.floor", count / 100.0, 1, 7),
                    ("check", "sets.open.result", "ok")])
                write(os.path.join(folder, "drive-%d.tsv" % count), [
                    ("drive", "open", 2 * ms, ms, 5), ("drive", "saveas", 0, 0, 0)])
            write(os.path.join(folder, "startup-demo-lib.tsv"), [
                ("startup", "demo-lib", 20, 100.0, 150.0, 20.0, close_ms, 0, 19.0, 25.0, 300.0, 400.0)])
            write(os.path.join(folder, "ops-32767.tsv"), [
                ("op", "startup.inprocess", inprocess_ms, inprocess_ms, 1),
                ("op", "units.parse", 150.0, 150.0, 7), ("op", "dimlist", 50.0, 50.0, 7)])
            return report.render(*report.load(folder))

    def test_met(self):
        text = self.render({100: 100.0, 1000: 150.0, 10000: 190.0, 100000: 900.0}, 29.0, 400.0)
        self.assertIn("| From outside: File > Open until the chosen set is shown | 200 | x1.5 | 300 | x1.3 "
                      "| 380 | x4.7 | 1800 |", text)
        self.assertIn("In-process: Open, a set chosen, read and shown: 190 ms at 10 000 sets against 100 ms "
                      "at 100 (x1.90, goal x2), largest growth per tenfold x1.50 (goal x2); floor at 10 000 "
                      "sets 100 ms: met.", text)
        self.assertIn("ratio 1.45 against the goal 1.5: met", text)
        self.assertIn("ratio 2.00 against the goal 2.0: met", text)
        self.assertIn("all passed", text)

    def test_missed_are_marked(self):
        text = self.render({100: 100.0, 1000: 250.0, 10000: 300.0}, 31.0, 401.0)
        self.assertIn("| 100 | **x2.5** | 250 |", text)
        self.assertIn("(x3.00, goal x2), largest growth per tenfold x2.50 (goal x2); floor at 10 000 sets "
                      "100 ms: **not met**", text)
        self.assertIn("ratio 1.55 against the goal 1.5: **not met**", text)
        self.assertIn("ratio 2.00 against the goal 2.0: **not met**", text)

    def test_start_up_judged_against_its_own_process_floor(self):
        # The operations run's floor alone would pass (x1.0); each process's own does not.
        text = self.render({100: 100.0}, 29.0, 200.0, [(190.0, 100.0), (300.0, 140.0), (200.0, 90.0)])
        self.assertIn("200 ms, median of 4 processes. Against the floor of its data that 3 of them", text)
        self.assertIn("median ratio 2.14 against the goal 2.0: **not met**. Against the floor of its data, "
                      "200 ms", text)


if __name__ == "__main__":
    unittest.main()
