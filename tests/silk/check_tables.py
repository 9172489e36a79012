#!/usr/bin/env python3
"""Re-runs the table generator and compares its output with the committed silk/tables.{h,cpp}."""
import filecmp
import os
import pathlib
import subprocess
import sys
import tempfile

silk_dir = pathlib.Path(sys.argv[1])
reference = os.environ.get("SILK_VECTORS")
tables = pathlib.Path(reference) / "tables" if reference else pathlib.Path(sys.argv[2])
if not tables.is_dir():
    print(f"SKIP: no SILK tables at {tables}")
    sys.exit(77)
with tempfile.TemporaryDirectory() as out:
    subprocess.run([sys.executable, str(silk_dir / "tools" / "gen_tables.py"), str(tables), out],
                   check=True)
    stale = [name for name in ("tables.h", "tables.cpp")
             if not filecmp.cmp(pathlib.Path(out) / name, silk_dir / name, shallow=False)]
if stale:
    sys.exit(f"generated tables differ from the committed ones: {', '.join(stale)}")
print("committed tables match the generator output")
