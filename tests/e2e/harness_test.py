#!/usr/bin/env python3
"""Tests of the end-to-end harness itself, with a fake runner in place of
the programs: a run that Wine could not start is made once more, a run that
the program ended never is."""
import io
import os
import subprocess
import sys
import unittest
from contextlib import redirect_stdout
from types import SimpleNamespace

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from e2e import run_captured  # noqa: E402

WINE_MESSAGE = (b"Application could not be started, or no application associated with the specified file.\r\n"
                b"ShellExecuteEx failed: Internal error.\r\n")
LOST_SERVER = b"wine client error:0: recvmsg: Connection reset by peer\n"
DOCUMENT = b"\r\n<Prtg>\r\n<Error>1</Error>\r\n</Prtg>\r\n"


class FakeRunner:
    """Gives the (stdout, stderr, status) of `results` one run after the other."""

    def __init__(self, *results):
        self.results = list(results)
        self.calls = 0

    def __call__(self, command, **keys):
        out, err, status = self.results[self.calls]
        self.calls += 1
        return subprocess.CompletedProcess(command, status, out, err)


def run(platform_name, *results):
    runner = FakeRunner(*results)
    platform = SimpleNamespace(name=platform_name, wine=platform_name != "native")
    printed = io.StringIO()
    with redirect_stdout(printed):
        proc, _ = run_captured(platform, ["wine", "PoolMetrics.exe"], "a scenario", runner=runner)
    return proc, runner.calls, printed.getvalue()


class WineStartRetry(unittest.TestCase):
    def test_a_run_wine_could_not_start_is_made_once_more(self):
        for label, failed in [("on standard error", (b"", WINE_MESSAGE, 1)),
                              ("on standard output", (WINE_MESSAGE, b"", 1)),
                              ("with Linux line ends", (b"", WINE_MESSAGE.replace(b"\r\n", b"\n"), 1)),
                              ("its server lost before the program ran", (b"", LOST_SERVER, 1))]:
            proc, calls, printed = run("wine64", failed, (DOCUMENT, b"", 2))
            self.assertEqual((calls, proc.stdout, proc.returncode), (2, DOCUMENT, 2), label)
            self.assertIn("RETRY [wine64] a scenario: Wine could not start the program", printed, label)

    def test_only_once(self):
        proc, calls, _ = run("wine", (b"", WINE_MESSAGE, 1), (b"", WINE_MESSAGE, 1), (DOCUMENT, b"", 0))
        self.assertEqual((calls, proc.stderr), (2, WINE_MESSAGE))

    def test_a_run_the_program_ended_is_never_made_again(self):
        for label, platform, result in [
                ("the program's document beside the message", "wine", (DOCUMENT, WINE_MESSAGE, 1)),
                ("the program's own lines beside the message", "wine",
                 (b"", b"* 10:15:30 PRD State=Executing\n" + WINE_MESSAGE, 1)),
                ("another reason for the failure", "wine",
                 (b"", WINE_MESSAGE.replace(b"Internal error", b"File not found"), 1)),
                ("nothing at all", "wine", (b"", b"", 1)),
                ("the server lost by a thread of the program", "wine",
                 (b"", LOST_SERVER.replace(b"error:0:", b"error:2c:"), 1)),
                ("the server lost after the program printed", "wine", (DOCUMENT, LOST_SERVER, 1)),
                ("a native run", "native", (b"", WINE_MESSAGE, 1))]:
            proc, calls, printed = run(platform, result, (b"again", b"", 0))
            self.assertEqual((calls, printed), (1, ""), label)
            self.assertEqual(proc.stdout, result[0], label)


if __name__ == "__main__":
    unittest.main()
