#!/usr/bin/env python3
"""Runs the reference-vector comparison on a decoder tool command; skips without the vectors.

usage: conformance_test.py <folder of the SILK reference material> <decoder command>
$SILK_VECTORS, when set, names the folder instead.
"""
import os
import subprocess
import sys

SKIPPED = 77


def main():
    folder = os.environ.get("SILK_VECTORS") or sys.argv[1]
    script = os.path.join(folder, "conformance.py")
    if not os.path.isfile(script):
        print("SKIP: SILK reference vectors not found at %s" % folder)
        return SKIPPED
    return subprocess.run([sys.executable, script, sys.argv[2]]).returncode


if __name__ == "__main__":
    sys.exit(main())
