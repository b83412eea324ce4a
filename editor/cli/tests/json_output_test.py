#!/usr/bin/env python3
"""Parses the JSON of "tarvik-cli show --json" and "fields --json" with Python's own parser,
so the output is checked by a reader that shares no code with the writer.

usage: json_output_test.py TARVIK-CLI
"""
import json
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

CLI = sys.argv.pop(1) if len(sys.argv) > 1 else "tarvik-cli"


def run(*args, stdin=b""):
    done = subprocess.run([CLI, *args], input=stdin, capture_output=True, check=False)
    if done.returncode != 0:
        raise AssertionError(f"{args}: status {done.returncode}: {done.stderr.decode()}")
    return done.stdout


class JsonOutputTest(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.path = str(Path(self.folder.name) / "p.sim")

    def tearDown(self):
        self.folder.cleanup()

    def test_show_gives_model_notes_and_program_lines(self):
        # Entry names that need escaping, and characters beyond ASCII (the file stores them
        # as Windows-1252, the JSON as UTF-8).
        tricky = ['q"uote', "back\\slash", "tab\there", "ctl\x01", "caf\u00e9\u20ac\u00ff"]
        run("new", self.path, "--model", "1")
        for i, name in enumerate(tricky):
            run("set", self.path, name, str(i))
        shown = json.loads(run("show", "--json", self.path))
        self.assertEqual(shown["model"], 1)
        self.assertEqual(shown["notes"], [])
        self.assertEqual(sorted(shown["program"]), sorted(f"{n}={i}" for i, n in enumerate(tricky)))

    def test_show_reads_standard_input(self):
        made = run("new", "-", "--model", "0")
        shown = json.loads(run("show", "--json", "-", stdin=made))
        self.assertEqual(shown, {"model": 0, "notes": [], "program": []})

    def test_fields_give_values_grids_and_read_only_fields(self):
        run("new", self.path)
        run("edit", self.path, "EDSms1=caf\u00e9\"1\"\\", "CBRed=1", "EDRed=7",
            "SGRamp[1][0]=+39333444", "SGRamp[1][1]=1", "SGTR[43]=555")
        form = json.loads(run("fields", "--json", self.path))
        self.assertEqual(form["model"], 2)
        self.assertEqual(form["fields"]["EDSms1"], "caf\u00e9\"1\"\\")
        self.assertEqual(form["fields"]["CBRed"], "1")
        self.assertEqual(form["fields"]["EDRed"], "7")
        self.assertEqual(form["SGRamp"], [{"row": 1, "cells": ["0039333444", "1", "0", "0", "0"]}])
        self.assertEqual(form["SGTR"], [{"row": 43, "cells": ["555"]}])
        self.assertIn("EDLanet", form["readonly"])
        # The same names and values as the text output, in the same order.
        text = run("fields", self.path).decode().splitlines()
        pairs = [line.split("=", 1) for line in text if not line.startswith(("SG", "readonly="))]
        self.assertEqual([[n, v] for n, v in form["fields"].items()], pairs)


if __name__ == "__main__":
    unittest.main()
