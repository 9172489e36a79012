"""The encoder tool turns raw 16-bit mono PCM into an MP3 of the same rate and length.

usage: encode_raw_pcm.py <wine command> <v3vid.exe> <work folder>
The MP3 is read back with the native `lame --decode`.
"""
import math
import struct
import subprocess
import sys
import wave
from pathlib import Path

RATE = 24000
SECONDS = 10


def write_tone(path):
    samples = (int(8000 * math.sin(2 * math.pi * 440 * i / RATE)) for i in range(RATE * SECONDS))
    path.write_bytes(b"".join(struct.pack("<h", s) for s in samples))
    return RATE * SECONDS


def main():
    wine, encoder, work = sys.argv[1], sys.argv[2], Path(sys.argv[3])
    work.mkdir(parents=True, exist_ok=True)
    pcm, mp3, wav = work / "in.pcm", work / "out.mp3", work / "out.wav"
    for stale in (mp3, wav):
        stale.unlink(missing_ok=True)
    sample_count = write_tone(pcm)

    run = subprocess.run([wine, encoder, "-r", "-s", str(RATE), "-m", "m", str(pcm), str(mp3)],
                         stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=120)
    output = run.stdout.decode("latin-1")
    if run.returncode != 0 or not mp3.is_file():
        sys.exit(f"encoder failed with {run.returncode}:\n{output}")
    if "%)|" not in output:
        sys.exit(f"encoder printed no progress figures:\n{output}")

    subprocess.run(["lame", "--quiet", "--decode", str(mp3), str(wav)], check=True, timeout=60)
    with wave.open(str(wav)) as decoded:
        channels, rate, frames = decoded.getnchannels(), decoded.getframerate(), decoded.getnframes()
    print(f"decoded: {channels} channel(s), {rate} Hz, {frames} samples for {sample_count} in")
    problems = []
    if channels != 1:
        problems.append(f"{channels} channels instead of 1")
    if rate != RATE:
        problems.append(f"{rate} Hz instead of {RATE}")
    if abs(frames - sample_count) > sample_count / 100:
        problems.append(f"{frames} samples, more than 1 % away from {sample_count}")
    if problems:
        sys.exit("; ".join(problems))


if __name__ == "__main__":
    main()
