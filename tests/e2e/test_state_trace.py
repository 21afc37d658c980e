#!/usr/bin/env python3
"""The scripted run of state_trace.py gives the golden state trace, byte for byte."""
import difflib
import json
import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import state_trace  # noqa: E402
from tavelle_e2e import require_game_dir  # noqa: E402

BUILD = os.environ["TAVELLE_BUILD_DIR"]


class StateTrace(unittest.TestCase):
    def test_the_run_gives_the_golden_trace(self):
        require_game_dir(self)
        trace, stderr = state_trace.Capture(BUILD)
        self.assertNotIn("MESSAGE ", stderr)
        with open(state_trace.TRACE_PATH, encoding="utf-8") as f:
            golden = f.read()
        if trace == golden:
            return
        got, want = trace.splitlines(), golden.splitlines()
        self.assertEqual(len(got), len(want), "the number of states changed")
        for index, (line, expected) in enumerate(zip(got, want)):
            if line != expected:
                frame = (index + 1) * state_trace.EVERY - 1
                diff = difflib.unified_diff(
                    json.dumps(json.loads(expected), indent=1).splitlines(),
                    json.dumps(json.loads(line), indent=1).splitlines(), "golden", "now", lineterm="")
                self.fail("the state after frame %d drifted (regenerate with "
                          "tests/e2e/state_trace.py only if the change is meant):\n%s"
                          % (frame, "\n".join(list(diff)[:80])))


if __name__ == "__main__":
    unittest.main()
