#!/usr/bin/env python3
"""Runs every zsnd command that the code blocks of the Markdown pages and the
examples of the manual page show, on sound files made here, and fails when one is not accepted:
a usage error (status 2) or a crash means the text tells the user something
the program does not take.

Usage: documented_commands.py ZSND PAGE.md... zsnd.1
"""

import math
import os
import re
import shlex
import struct
import subprocess
import sys
import tempfile
import wave

SOUND = re.compile(r"\.(snd|wsd|wav|flac|mp3|ogg|opus|aiff?)$", re.IGNORECASE)
RATE, SECONDS = 22050, 5


def samples():
    return b"".join(struct.pack("<h", int(8000 * math.sin(i / 10))) for i in range(RATE * SECONDS))


def write_sound(path, data):
    """A game file (16-bit mono, ID 12) or, for any other type, a PCM WAV: the
    decoder tells formats by their content, so a WAV named .flac imports."""
    if re.search(r"\.(snd|wsd)$", path, re.IGNORECASE):
        with open(path, "wb") as f:
            f.write(struct.pack("<7i", 0, 12, len(data), RATE, 16, 1, 0) + data)
    else:
        with wave.open(path, "wb") as w:
            w.setnchannels(1)
            w.setsampwidth(2)
            w.setframerate(RATE)
            w.writeframes(data)


def readme_lines(text):
    lines = []
    for block in re.findall(r"^```[a-z]*\n(.*?)^```", text, re.MULTILINE | re.DOTALL):
        lines += block.splitlines()
    return lines


def man_lines(text):
    lines = []
    for block in re.findall(r"^\.nf\n(.*?)^\.fi", text, re.MULTILINE | re.DOTALL):
        lines += block.replace("\\-", "-").splitlines()
    return lines


def commands(lines):
    """Each `zsnd ...` of the lines, without prompt, comment or redirection."""
    found = []
    for line in lines:
        line = re.sub(r"^\$ ", "", line.strip())
        for part in line.split("&&"):
            if part.split()[:1] != ["zsnd"]:
                continue
            words = shlex.split(part, comments=True)
            kept = []
            skip = False
            for word in words[1:]:
                if skip:
                    skip = False
                elif word in (">", "2>", "|"):
                    skip = word != "|"
                    if word == "|":
                        break
                else:
                    kept.append(word)
            found.append(kept)
    return found


def main():
    zsnd = sys.argv[1]
    shown = []
    for page in sys.argv[2:]:
        with open(page, encoding="utf-8") as f:
            text = f.read()
        shown += commands(man_lines(text) if page.endswith(".1") else readme_lines(text))
    if len(shown) < 10:
        print(f"only {len(shown)} zsnd commands found in the texts")
        return 1
    data = samples()
    failures = 0
    with tempfile.TemporaryDirectory() as home:
        sounds = os.path.join(home, "sounds")
        os.mkdir(sounds)
        for name in ("x.snd", "a.wsd", "b.wsd", "y.wav"):
            write_sound(os.path.join(sounds, name), data)
        for args in shown:
            args = [home + a[1:] if a.startswith("~/") else a for a in args]
            for arg in args:
                path = os.path.join(home, arg)
                if SOUND.search(arg) and not os.path.exists(path):
                    write_sound(path, data)
            run = subprocess.run([zsnd] + args, cwd=home, env=dict(os.environ, HOME=home),
                                 capture_output=True, text=True, errors="replace")
            accepted = run.returncode not in (2,) and 0 <= run.returncode < 128
            print(("ok  " if accepted else "FAIL") + f" {run.returncode} zsnd {shlex.join(args)}")
            if not accepted:
                print(run.stderr)
                failures += 1
    print(f"{len(shown)} commands, {failures} not accepted")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
