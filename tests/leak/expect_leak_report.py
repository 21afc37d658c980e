"""Runs a program that leaks on purpose and passes only when LeakSanitizer reports that
leak: a direct leak whose allocation stack passes through the named function. Any other
way of failing (a crash, a missing device, a report of something else) fails the test."""
import re
import subprocess
import sys


def main():
    function, program = sys.argv[1], sys.argv[2:]
    proc = subprocess.run(program, capture_output=True, text=True, timeout=600)
    report = proc.stderr
    blocks = re.split(r"\n(?=(?:Direct|Indirect) leak of )", report)
    planted = [b for b in blocks if b.startswith("Direct leak of ") and function in b]
    if (proc.returncode != 0 and "ERROR: LeakSanitizer: detected memory leaks" in report
            and planted):
        print(planted[0])
        return 0
    sys.stderr.write("exit code %d; no direct leak through %s reported:\n%s"
                     % (proc.returncode, function, report))
    return 1


if __name__ == "__main__":
    sys.exit(main())
