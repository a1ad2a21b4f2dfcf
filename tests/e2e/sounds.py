"""Sound files for the end-to-end run, made here so the run needs no fixtures,
and readers for the headers the program writes."""

import math
import struct
from dataclasses import dataclass
from pathlib import Path

GAME_HEADER = struct.Struct("<7i")  # flag, internal id, data length, rate, bits, channels, reserved
WAV_HEADER = struct.Struct("<4si4s4sihhiihh4si")


def _tone(frames, rate, channels, bits, seed):
    """A decaying chirp per channel, so the waveform view shows a clear shape."""
    out = bytearray()
    for n in range(frames):
        t = n / rate
        envelope = math.exp(-2.0 * t) * (0.3 + 0.7 * abs(math.sin(math.pi * t * 3)))
        for c in range(channels):
            freq = 110 * (seed + 1) * (c + 1) * (1 + t)
            v = envelope * math.sin(2 * math.pi * freq * t)
            if bits == 8:
                out.append(max(0, min(255, int(128 + 120 * v))))
            else:
                out += struct.pack("<h", int(30000 * v))
    return bytes(out)


def write_game(path, rate, bits, channels, seconds, flag, internal_id, seed=0):
    frames = int(rate * seconds)
    data = _tone(frames, rate, channels, bits, seed)
    Path(path).write_bytes(GAME_HEADER.pack(flag, internal_id, len(data), rate, bits, channels, 0) + data)
    return data


def write_wav(path, rate, bits, channels, seconds, seed=0):
    frames = int(rate * seconds)
    data = _tone(frames, rate, channels, bits, seed)
    align = channels * bits // 8
    header = WAV_HEADER.pack(b"RIFF", len(data) + 36, b"WAVE", b"fmt ", 16, 1, channels, rate,
                             rate * align, align, bits, b"data", len(data))
    Path(path).write_bytes(header + data)
    return data


@dataclass
class Header:
    kind: str  # "game" or "wav"
    rate: int
    bits: int
    channels: int
    data_length: int
    flag: int = 0
    internal_id: int = 0
    data: bytes = b""


def read_header(path):
    raw = Path(path).read_bytes()
    if raw[:4] == b"RIFF":
        f = WAV_HEADER.unpack_from(raw)
        if f[2] != b"WAVE" or f[3] != b"fmt " or f[11] != b"data" or f[1] != f[12] + 36:
            raise ValueError(f"{path}: not a canonical WAV header")
        return Header("wav", f[7], f[10], f[6], f[12], data=raw[44:])
    flag, ident, length, rate, bits, channels, _ = GAME_HEADER.unpack_from(raw)
    return Header("game", rate, bits, channels, length, flag, ident, raw[28:])
