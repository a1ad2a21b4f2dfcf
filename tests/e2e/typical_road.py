"""The typical road of a sound file, walked through the installed program with
real mouse and key events: choose the folder, inspect a file, convert it,
preview and play it, batch-convert, delete, auto-play, exit, start again, and
start as a file manager does for one file.

Usage: typical_road.py PROGRAM WORKDIR SHOTSDIR   (on an X display, with an
accessibility bus on the session bus)."""

import array
import csv
import json
import math
import os
import struct
import subprocess
import sys
import time
import traceback
from pathlib import Path

import sounds
from desktop import (Atspi, Desktop, StepFailed, _move, _xdotool, checked, children, description,
                     enabled, extents, has_state, name, role, showing, walk)

MAIN = "Zephyrion Sound Utility (XP Edition)"
APP_ID = "io.github.brellin.ZephyraSoundUtility"
PANEL = ["Selected file", "8-bit Flag", "Internal ID #", "Data length", "Sample rate",
         "Bit depth", "Channels"]
LEFT_TRACE = (74, 243, 165)
RIGHT_TRACE = (0, 255, 255)
# The pictures the program carries inside itself, as drawn on screen.
RESOURCES = Path(__file__).resolve().parents[2] / "resources"
MENU_ICONS = {"Preview": "preview", "Convert - Single": "convert-single",
              "Convert - Batch": "convert-batch", "Delete": "delete"}


def expect(what, actual, wanted):
    if actual != wanted:
        raise StepFailed(f"{what}: {actual!r}, expected {wanted!r}")


def near(what, actual, wanted, tolerance):
    if abs(actual - wanted) > tolerance:
        raise StepFailed(f"{what}: {actual}, expected {wanted} +- {tolerance}")


class Road:
    def __init__(self, program, work, shots):
        self.program = program
        self.zsnd = str(Path(program).parent / "zsnd")  # installed beside it
        self.work = Path(work)
        self.home = self.work / "home"
        self.folder = self.home / "sounds"
        self.tmp = self.work / "tmp"
        self.d = Desktop(shots)
        self.proc = None
        self.pulse = bool(os.environ.get("ZEPHYRA_PULSE_READY")) and bool(
            os.environ.get("PULSE_SERVER"))
        self.passed = 0

    # ---- set-up ----

    def make_sounds(self):
        self.folder.mkdir(parents=True)
        self.tmp.mkdir()
        self.tone = sounds.write_wav(self.folder / "TONE.WAV", 22050, 16, 2, 3.0, 0)
        self.boom = sounds.write_game(self.folder / "BOOM.SND", 11025, 8, 1, 1.5, 2, 1234, 1)
        self.engine = sounds.write_game(self.folder / "ENGINE.SND", 11025, 8, 1, 0.8, 2, 77, 2)
        self.gun = sounds.write_game(self.folder / "gun.snd", 22050, 16, 1, 0.5, 0, 9, 3)

    def start(self, *args):
        # A home of its own: a deleted file goes to this home's trash.
        env = dict(os.environ, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                   TMPDIR=str(self.tmp), ZEPHYRA_REGISTRY=str(self.work / "registry.sqlite3"),
                   HOME=str(self.home), XDG_DATA_HOME=str(self.home / ".local" / "share"))
        if not self.pulse:
            env["ZEPHYRA_AUDIO"] = "null"
        self.proc = subprocess.Popen([self.program, *args], cwd=self.home, env=env)
        self.d.pid = self.proc.pid
        return self.d.window(MAIN, timeout=30)

    def step(self, title, action):
        t0 = time.monotonic()
        action()
        self.passed += 1
        print(f"ok {self.passed} - {title} ({time.monotonic() - t0:.1f} s)", flush=True)

    # ---- reading the main window ----

    def main(self):
        return self.d.window(MAIN)

    def panel(self):
        frame = self.d.get(self.main(), "frame")
        values = {description(c): name(c) for c in children(frame) if description(c) in PANEL}
        # An empty value label is named after its caption.
        return {k: ("" if v == k else v) for k, v in values.items()}

    def button(self, window, caption):
        """A command button by its caption; a button named after its tool tip has
        the caption as its description."""
        return self.d.wait(f"the button {caption!r} in {name(window)!r}", lambda: self.d.find(
            window, "push button", caption) or self.d.find(window, "push button", desc=caption))

    def program_look(self, window, caption):
        """Fails unless the button shows the program's look (a stored resource): a
        gradient from near-white at the top to sky blue at the bottom, where the
        plain look is grey."""
        x, y, w, h = extents(self.button(window, caption))
        column = self.d.pixels((x + max(3, w // 8), y, 1, h))
        top, bottom = column[h // 4], column[h * 4 // 5]
        if not (sum(top) - sum(bottom) > 20 and bottom[2] > bottom[0] + 30):
            raise StepFailed(f"the button {caption!r} of {name(window)!r} lacks the program's "
                             f"look: {top} at the top, {bottom} at the bottom")

    def picture(self, what, rect, picture):
        """Waits until `rect` shows the picture file."""
        self.d.wait(f"{what} showing {picture.name}",
                    lambda: self.d.shows_picture(rect, picture) > 0.9)

    def commands_enabled(self):
        m = self.main()
        return [enabled(self.button(m, c)) for c in ("Convert", "Preview", "Batch")]

    def files(self):
        return self.d.get(self.main(), "list", "Files")

    def click_file(self, file_name, button=1):
        self.d.click(self.d.item(self.files(), file_name), button=button)

    def inspect(self, file_name, wanted):
        self.click_file(file_name)
        self.d.wait(f"the panel of {file_name}",
                    lambda: self.panel().get("Selected file") == file_name.upper())
        expect(f"panel of {file_name}", {k: v for k, v in self.panel().items() if k in wanted},
               wanted)

    def menu_command(self, file_name, command):
        self.click_file(file_name)
        self.d.popups.clear()
        self.click_file(file_name, button=3)
        menu = self.d.popup_menu()
        items = [name(c) for c in children(menu)]
        expect("context menu", items, ["Preview", "Convert - Single", "Convert - Batch", "", "Delete",
                                       "", "Replace...", "Restore Original",
                                       "Restore All Originals", "", "Export Sound Pack...",
                                       "Apply Sound Pack..."])
        for item in children(menu):
            if name(item) in MENU_ICONS:
                self.picture(f"the menu item {name(item)!r}", extents(item),
                             RESOURCES / "menu" / f"{MENU_ICONS[name(item)]}.png")
        return menu, next(c for c in children(menu) if name(c) == command)

    def choose_file(self, title, path):
        """Types a path into Qt's own file chooser and takes it."""
        chooser = self.d.window(title)
        field = self.d.get(chooser, "text", "File name:")
        self.d.click(field)
        self.d.key("ctrl+a")
        self.d.type(str(path))
        self.d.wait("the typed path", lambda: field.get_text(0, -1) == str(path))
        self.d.key("Return")
        self.d.closed(chooser, "the file chooser")

    def temp_wavs(self):
        return sorted(p.name for p in self.tmp.glob("*.wav"))

    def our_streams(self):
        out = subprocess.run(["pactl", "list", "sink-inputs"], capture_output=True, text=True,
                             check=True).stdout
        return out.count(f'application.process.id = "{self.proc.pid}"')

    # ---- the road ----

    def first_start(self):
        m = self.start()
        expect("commands before a file is chosen", self.commands_enabled(), [False] * 3)
        expect("Auto Play at first start", checked(self.d.get(m, "check box", "Auto Play")), False)

    def click_folder(self, folder_name):
        """Clicks a folder of the folder list, scrolling down to it."""
        tree = self.d.get(self.main(), "tree", "Folders")
        wheel_at = self.d.point(tree)

        def folder_cell():
            cell = next((c for c in children(tree) if name(c) == folder_name and showing(c)),
                        None)
            tx, ty, tw, th = extents(tree)
            if cell and extents(cell)[1] + extents(cell)[3] < ty + th - 4:
                return cell
            self.d.click_at(*wheel_at, button=5)  # scroll down a notch
            return None

        self.d.click(self.d.wait(f"the {folder_name} folder in view", folder_cell))
        self.d.wait("the folder's files", lambda: self.d.items(self.files()))

    def choose_folder(self):
        self.click_folder("sounds")
        expect("file list", self.d.items(self.files()),
               ["BOOM.SND", "ENGINE.SND", "gun.snd", "TONE.WAV"])

    def click_game_file(self):
        self.inspect("BOOM.SND", {"8-bit Flag": "True", "Internal ID #": "1234",
                                  "Sample rate": "11025 Hz", "Bit depth": "8-bit",
                                  "Channels": "Mono"})
        if not self.panel()["Data length"]:
            raise StepFailed("the data length is empty")
        self.d.wait("Convert, Preview and Batch enabled", lambda: all(self.commands_enabled()))
        for caption in ("Refresh", "Convert", "Exit"):
            self.program_look(self.main(), caption)
        self.d.screenshot("main-window-file-selected", extents(self.main()))

    def save_as(self, proposed, typed=None, title="Save File"):
        box = self.d.window(title)
        field = self.d.get(box, "text", "File name:")
        expect("proposed name", field.get_text(0, -1), proposed)
        self.d.screenshot("save-dialog", extents(box))
        if typed:
            self.d.click(field)
            self.d.key("ctrl+a")
            self.d.type(typed)
            self.d.wait("the typed name", lambda: field.get_text(0, -1) == typed)
        self.d.click(self.button(box, "Save"))
        self.d.closed(box, "the save dialog")

    def convert(self):
        self.d.click(self.button(self.main(), "Convert"))
        dialog = self.d.window("Convert Sound File")
        formats = {n: self.d.get(dialog, "check box", n) for n in ("SND", "WSD", "WAV")}
        expect("format boxes enabled", {n: enabled(b) for n, b in formats.items()},
               {"SND": False, "WSD": True, "WAV": True})
        self.d.click(self.d.get(dialog, "check box", "Change Internal ID#"))
        field = self.d.wait("the internal ID field",
                            lambda: next((a for a in walk(dialog)
                                          if role(a) == "text" and showing(a)), None))
        self.d.screenshot("convert-id-field-first", extents(dialog))
        self.d.type("4321")
        self.d.wait("the typed ID", lambda: field.get_text(0, -1) == "4321")
        if extents(field)[2] < 30:
            raise StepFailed(f"the internal ID field is too narrow to show 4321: {extents(field)}")
        self.d.click(formats["WSD"])
        self.d.click(formats["WAV"])
        self.d.wait("WSD and WAV ticked", lambda: checked(formats["WSD"]) and checked(formats["WAV"]))
        self.d.screenshot("convert-dialog", extents(dialog))
        self.program_look(dialog, "Go")
        self.d.click(self.button(dialog, "Go"))
        self.save_as("BOOM.WSD", typed="BOOM_ID.WSD")
        self.save_as("BOOM.WAV")
        text = self.d.answer("Conversion Information", "OK")
        lines = [line for line in text.replace("\r", "").split("\n") if line]
        expect("conversion report", [Path(line.split()[0]).name for line in lines],
               ["BOOM_ID.WSD", "BOOM.WAV"])
        self.d.gone("Convert Sound File")

        wsd = sounds.read_header(self.folder / "BOOM_ID.WSD")
        expect("BOOM_ID.WSD header", (wsd.kind, wsd.flag, wsd.internal_id, wsd.rate, wsd.bits,
                                      wsd.channels, wsd.data_length),
               ("game", 2, 4321, 11025, 8, 1, len(self.boom)))
        wav = sounds.read_header(self.folder / "BOOM.WAV")
        expect("BOOM.WAV header", (wav.kind, wav.rate, wav.bits, wav.channels),
               ("wav", 11025, 8, 1))
        if wsd.data != self.boom or wav.data != self.boom:
            raise StepFailed("a conversion changed the sample bytes")

    def refreshed(self):
        self.d.wait("the refreshed panel", lambda: not any(self.panel().values()))
        expect("commands after the refresh", self.commands_enabled(), [False] * 3)
        self.d.wait("the new files listed", lambda: {"BOOM_ID.WSD", "BOOM.WAV"} <= set(
            self.d.items(self.files())))
        self.inspect("BOOM.WAV", {"8-bit Flag": "N/A", "Internal ID #": "N/A",
                                  "Sample rate": "11025 Hz", "Bit depth": "8-bit",
                                  "Channels": "Mono"})

    # ---- preview ----

    def preview_labels(self, window):
        return [name(c) for c in children(window) if role(c) == "label"]

    def status(self, window):
        labels = self.preview_labels(window)
        return next((t for t in labels if t in ("Playing", "Paused", "Stopped")), None)

    def selection_values(self, window):
        """Begin, End, Total of the sample row and of the time row; None while empty."""
        def number(text):
            try:
                return float(text)
            except ValueError:
                return None
        values = {description(c): number(name(c)) for c in children(window) if role(c) == "label"}
        return [[values.get(f"Selection {column}, {unit}") for column in ("begin", "end", "total")]
                for unit in ("samples", "seconds")]

    def marker_x(self, channel):
        """x of the play-position marker on screen; None while none shows."""
        for a in walk(channel):
            if description(a).startswith("Play position") and showing(a):
                return extents(a)[0]
        return None

    def status_picture(self, window, picture):
        area = self.d.get(window, desc="Status picture")
        self.picture("the status picture", extents(area), RESOURCES / "preview" / f"{picture}.png")

    def press(self, window, caption, state):
        self.d.click(self.button(window, caption))
        self.d.wait(f"the status {state}", lambda: self.status(window) == state)

    def buttons_enabled(self, window):
        return {c: enabled(self.button(window, c)) for c in ("Play", "Pause", "Stop", "Loop")}

    def track(self, channel, seconds):
        xs = []
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            xs.append(self.marker_x(channel))
            time.sleep(0.05)
        return xs

    def preview(self):
        self.inspect("TONE.WAV", {"Sample rate": "22050 Hz", "Bit depth": "16-bit",
                                  "Channels": "Stereo", "8-bit Flag": "N/A"})
        self.d.click(self.button(self.main(), "Preview"))
        window = self.d.window("Sound Preview")
        labels = self.preview_labels(window)
        for text in ("File: TONE.WAV", "22050", "16-bit", "Stereo", "66150", "3.00 sec", "Stopped"):
            if text not in labels:
                raise StepFailed(f"the preview does not show {text!r}: {labels}")
        expect("temporary files while the preview is open", len(self.temp_wavs()), 1)
        self.status_picture(window, "STOP")
        for caption in ("Play", "Loop", "Exit"):
            self.program_look(window, caption)
        left = self.d.get(window, "filler", "Left channel")
        right = self.d.get(window, "filler", "Right channel")
        for view, colour in ((left, LEFT_TRACE), (right, RIGHT_TRACE)):
            self.d.wait(f"the waveform of the {name(view)}",
                        lambda: self.d.count_colour(extents(view), colour) > 2000)
        self.select(window, left)
        self.play_pause_stop_loop(window, left)
        self.save_selection(window)
        self.d.click(self.button(window, "Exit"))
        self.d.gone("Sound Preview")
        expect("temporary files after the preview", self.temp_wavs(), [])

    def select(self, window, channel):
        x, y, w, h = extents(channel)
        self.d.drag(x + w // 10, y + h // 2, x + w * 9 // 10)
        self.d.wait("the selection labels", lambda: all(self.selection_values(window)[1]))
        (s_begin, s_end, s_total), (t_begin, t_end, t_total) = self.selection_values(window)
        frames = 66150
        near("first selected sample", s_begin, frames * 0.1, frames * 0.02)
        near("last selected sample", s_end, frames * 0.9, frames * 0.02)
        expect("selected samples", s_total, s_end - s_begin + 1)
        near("selection start (s)", t_begin, 0.3, 0.06)
        near("selection end (s)", t_end, 2.7, 0.06)
        near("selection length (s)", t_total, t_end - t_begin, 0.0011)
        self.d.screenshot("preview-selection", extents(window))
        self.selection = (x + w // 10, x + w * 9 // 10)

    def save_selection(self, window):
        """Save Selection writes the samples Begin..End of the panel, byte for byte,
        here into a folder of its own so the sound folder stays as it was."""
        (s_begin, s_end, _), _ = self.selection_values(window)
        first, last = int(s_begin), int(s_end)
        parts = self.work / "parts"
        parts.mkdir()
        target = parts / "TONE_PART.WAV"
        self.d.click(self.button(window, "Save Selection\u2026"))
        self.save_as(f"TONE_{first}-{last}.WAV", str(target), title="Save Selection")
        self.d.answer("Save Selection", "OK")
        part = sounds.read_header(target)
        expect("the selection's header", (part.kind, part.rate, part.bits, part.channels),
               ("wav", 22050, 16, 2))
        if part.data != self.tone[first * 4:(last + 1) * 4]:
            raise StepFailed(f"the saved selection is not samples {first} to {last} of TONE.WAV")

    def edit(self):
        """Ctrl + wheel zooms a game sound's preview, a drag selects, Fade Out,
        Ctrl+Z and Ctrl+Y change it and take it back, and Ctrl+S writes the file:
        its header as it was, its samples faded exactly as the edit engine does."""
        source = self.folder / "EDIT.SND"
        data = sounds.write_game(source, 22050, 16, 1, 1.0, 0, 42, 4)
        header = source.read_bytes()[:28]
        self.d.click(self.button(self.main(), "Refresh"))
        self.d.wait("EDIT.SND listed", lambda: "EDIT.SND" in self.d.items(self.files()))
        self.inspect("EDIT.SND", {"Internal ID #": "42", "Bit depth": "16-bit"})
        self.d.click(self.button(self.main(), "Preview"))
        window = self.d.window("Sound Preview")
        mono = self.d.get(window, "filler", "Single channel")
        _move(*self.d.point(mono))
        _xdotool("keydown", "ctrl")
        for _ in range(3):
            _xdotool("click", 4)
        _xdotool("keyup", "ctrl")
        view = self.d.wait("the zoomable view", lambda: next(
            (a for a in walk(window) if name(a) == "Waveform" and showing(a)), None))
        x, y, w, h = extents(view)
        self.d.drag(x + w * 3 // 10, y + h // 2, x + w * 6 // 10)
        self.d.wait("the selection labels", lambda: all(self.selection_values(window)[0]))
        (s_begin, s_end, _), _ = self.selection_values(window)
        first, last = int(s_begin), int(s_end)
        if not 0 < first < last < 22050:
            raise StepFailed(f"the selection after zooming: {first}..{last}")
        self.d.key("alt+e")
        self.d.key("o")  # Fade Out
        self.d.wait("the unsaved mark", lambda: name(window).endswith("(edited)"))
        self.d.screenshot("preview-editing", extents(window))
        self.d.key("ctrl+z")
        self.d.wait("no unsaved mark after Undo", lambda: name(window) == "Sound Preview")
        self.d.key("ctrl+y")
        self.d.wait("the unsaved mark after Redo", lambda: name(window).endswith("(edited)"))
        self.d.key("ctrl+s")
        self.d.wait("no unsaved mark after Save", lambda: name(window) == "Sound Preview")
        saved = source.read_bytes()
        expect("the saved header", saved[:28], header)
        values = list(struct.unpack(f"<{len(data) // 2}h", data))
        count = last - first + 1
        for k in range(count):
            values[first + k] = round(values[first + k] * ((count - 1 - k) / count))
        if saved[28:] != struct.pack(f"<{len(values)}h", *values):
            raise StepFailed(f"the saved samples are not the sound faded out over {first}..{last}")
        self.d.click(self.button(window, "Exit"))
        self.d.gone("Sound Preview")

    def moving(self, xs):
        seen = [x for x in xs if x is not None]
        return len(seen) >= 3 and seen[-1] > seen[0]

    def wait_moving(self, channel):
        """Samples the marker until it has moved forward; returns the samples."""
        xs = []

        def moved():
            xs.append(self.marker_x(channel))
            return self.moving(xs)

        self.d.wait("the marker moving", moved)
        return xs

    def play_pause_stop_loop(self, window, channel):
        lo, hi = self.selection
        self.press(window, "Play", "Playing")
        expect("buttons while playing", self.buttons_enabled(window),
               {"Play": False, "Pause": True, "Stop": True, "Loop": False})
        if self.pulse:
            self.d.wait("a sound stream of the program", self.our_streams)
        xs = self.wait_moving(channel) + self.track(channel, 0.4)
        if not self.moving(xs):
            raise StepFailed(f"the marker does not move while playing: {xs}")
        if not all(lo - 3 <= x <= hi + 3 for x in xs if x is not None):
            raise StepFailed(f"the marker left the selection {lo}..{hi}: {xs}")

        self.press(window, "Pause", "Paused")
        self.d.wait("Play enabled while paused", lambda: self.buttons_enabled(window)["Play"])
        paused = self.track(channel, 0.3)
        if len(set(paused)) != 1 or paused[0] is None:
            raise StepFailed(f"the marker moves while paused: {paused}")
        self.status_picture(window, "PAUSE")

        self.press(window, "Play", "Playing")
        resumed = self.wait_moving(channel)
        seen = [x for x in resumed if x is not None]
        if not seen or seen[0] < paused[0] - 3 or not self.moving(resumed):
            raise StepFailed(f"play after pause does not go on from {paused[0]}: {resumed}")

        self.press(window, "Stop", "Stopped")
        expect("buttons after Stop", self.buttons_enabled(window),
               {"Play": True, "Pause": False, "Stop": False, "Loop": True})
        expect("marker after Stop", self.marker_x(channel), None)
        self.status_picture(window, "STOP")

        self.press(window, "Loop", "Playing")
        # The stretch lasts 2.4 s: within 4 s the marker must jump back and go on.
        xs = self.track(channel, 4.0)
        seen = [x for x in xs if x is not None]
        if not any(b < a - 20 for a, b in zip(seen, seen[1:])):
            raise StepFailed(f"looping never starts the stretch again: {seen}")
        expect("status while looping", self.status(window), "Playing")
        self.status_picture(window, "LOOP")
        self.press(window, "Stop", "Stopped")

        # Played once, the stretch shows PLAY until it ends by itself, then STOP.
        self.press(window, "Play", "Playing")
        self.status_picture(window, "PLAY")
        self.d.wait("the end of the stretch", lambda: self.status(window) == "Stopped")
        self.status_picture(window, "STOP")

    # ---- context menu ----

    def batch(self):
        menu, item = self.menu_command("BOOM.SND", "Convert - Batch")
        mx, my, mw, mh = extents(menu)
        wx, wy, ww, wh = extents(self.main())
        self.d.screenshot("context-menu", (wx, wy, max(ww, mx + mw - wx), max(wh, my + mh - wy)))
        self.d.click(item)
        dialog = self.d.window("Batch Convert")
        source, chosen = sorted((c for c in walk(dialog) if role(c) == "list"),
                                key=lambda c: extents(c)[0])
        self.d.wait("the source files", lambda: self.d.items(source))
        expect("source files", self.d.items(source), ["BOOM.SND", "ENGINE.SND", "gun.snd"])
        targets = {n: self.d.get(dialog, "radio button", n) for n in ("SND", "WSD", "WAV")}
        expect("targets enabled", {n: enabled(b) for n, b in targets.items()},
               {"SND": False, "WSD": True, "WAV": True})
        self.d.click(self.button(dialog, "Add all files"))
        self.d.wait("all files chosen", lambda: len(self.d.items(chosen)) == 3)
        expect("source list after >>", self.d.items(source), [])
        self.d.click(targets["WAV"])
        self.d.wait("WAV chosen", lambda: checked(targets["WAV"]))
        self.d.screenshot("batch-dialog", extents(dialog))
        self.program_look(dialog, "Go")
        lists_before = [extents(source), extents(chosen)]
        self.d.click(self.button(dialog, "Go"))
        self.d.window("Success")  # over the dialog, which shows its progress line now
        expect("the lists' places while converting", [extents(source), extents(chosen)],
               lists_before)
        self.d.answer("Success", "OK", "Operation was successful!  3 files were converted.")
        self.d.gone("Batch Convert")
        for out, rate, bits, data in (("BOOM.WAV", 11025, 8, self.boom),
                                      ("ENGINE.WAV", 11025, 8, self.engine),
                                      ("GUN.WAV", 22050, 16, self.gun)):
            h = sounds.read_header(self.folder / out)
            expect(f"{out} header", (h.kind, h.rate, h.bits, h.channels), ("wav", rate, bits, 1))
            if h.data != data:
                raise StepFailed(f"{out}: the sample bytes changed")
        if not (self.folder / "gun.snd").exists():
            raise StepFailed("the batch removed its source")
        self.d.click(self.button(self.main(), "Refresh"))
        self.d.wait("the batch outputs listed", lambda: {"ENGINE.WAV", "GUN.WAV"} <= set(
            self.d.items(self.files())))

    def delete(self):
        # From the keyboard: Shift+F10 opens the selected file's menu at its row.
        self.click_file("GUN.WAV")
        self.d.wait("GUN.WAV inspected", lambda: self.panel().get("Selected file") == "GUN.WAV")
        self.d.popups.clear()
        self.d.key("shift+F10")
        menu = self.d.popup_menu()
        row = extents(self.d.item(self.files(), "GUN.WAV"))
        mx, my = extents(menu)[:2]
        if not (row[0] <= mx < row[0] + row[2] and row[1] <= my < row[1] + row[3]):
            raise StepFailed(f"the menu opened at {mx},{my}, away from the selected row {row}")
        item = next(c for c in children(menu) if name(c) == "Delete")
        self.d.click(item)
        self.d.answer("Delete File", "Yes", "Are you sure that you want to delete GUN.WAV?")
        self.d.answer("File deleted", "OK",
                      "GUN.WAV moved to the Trash. Undo (Ctrl+Z) puts it back.")
        if (self.folder / "GUN.WAV").exists():
            raise StepFailed("GUN.WAV is still on disk")
        trash = self.home / ".local" / "share" / "Trash"
        if not (trash / "files" / "GUN.WAV").is_file():
            raise StepFailed(f"GUN.WAV is not in the trash: {sorted(trash.rglob('*'))}")
        info = (trash / "info" / "GUN.WAV.trashinfo").read_text()
        if f"Path={self.folder / 'GUN.WAV'}" not in info:
            raise StepFailed(f"the trash does not say where GUN.WAV came from: {info!r}")
        self.d.wait("GUN.WAV gone from the list", lambda: "GUN.WAV" not in self.d.items(
            self.files()))
        self.d.wait("the emptied panel", lambda: not any(self.panel().values()))
        expect("commands after the delete", self.commands_enabled(), [False] * 3)

    def auto_play(self):
        box = self.d.get(self.main(), "check box", "Auto Play")
        self.d.click(box)
        self.d.wait("Auto Play ticked", lambda: checked(box))
        if self.pulse:
            self.d.wait("no stream of the program before the click", lambda: not self.our_streams())
        self.inspect("TONE.WAV", {"Sample rate": "22050 Hz"})
        if self.pulse:
            self.d.wait("the program's sound stream", self.our_streams)
        else:
            print("# no sound server: auto play went to the null output", flush=True)
        self.d.wait("the auto-play temporary file deleted", lambda: not self.temp_wavs())
        expect("windows while auto-playing", [name(w) for w in self.d.windows() if showing(w)],
               [MAIN])

    def open_import(self, path):
        """Ctrl+I, `path` typed into the file chooser: the Import dialog."""
        self.d.key("ctrl+i")
        self.choose_file("Choose a Sound to Import", path)
        return self.d.window("Import Sound File")

    def import_flac(self):
        """Ctrl+I, a FLAC from another folder, 22050 Hz mono: the game file holds the
        tone at its level, as sox's own conversion of the same file has it."""
        incoming = self.work / "incoming"
        incoming.mkdir()
        flac = incoming / "Horn.flac"
        subprocess.run(["sox", "-n", "-r", "48000", "-b", "24", "-c", "2", str(flac),
                        "synth", "2", "sine", "1000", "gain", "-6"], check=True)
        dialog = self.open_import(flac)
        expect("source format", name(self.d.get(dialog, "label", desc="Format")), "FLAC, 24-bit")
        for option in ("22050", "1-Mono"):
            button = self.d.get(dialog, "radio button", option)
            self.d.click(button)
            self.d.wait(f"{option} chosen", lambda: checked(button))
        self.d.screenshot("import-dialog", extents(dialog))
        self.d.click(self.button(dialog, "Go"))
        self.save_as("HORN.SND")
        text = self.d.answer("Import Information", "OK")
        expect("import report", Path(text.split()[0]).name, "HORN.SND")
        self.d.gone("Import Sound File")
        self.d.wait("HORN.SND selected", lambda: self.panel()["Selected file"] == "HORN.SND")
        expect("panel of the new file",
               {k: self.panel()[k] for k in ("Sample rate", "Bit depth", "Channels")},
               {"Sample rate": "22050 Hz", "Bit depth": "16-bit", "Channels": "Mono"})

        horn = sounds.read_header(self.folder / "HORN.SND")
        expect("HORN.SND header", (horn.kind, horn.flag, horn.internal_id, horn.rate, horn.bits,
                                   horn.channels), ("game", 0, 0, 22050, 16, 1))
        near("HORN.SND frames", horn.data_length // 2, 44100, 1)
        expect("HORN.SND data length", len(horn.data), horn.data_length)
        ours = array.array("h", horn.data)
        peer = array.array("h", subprocess.run(
            ["sox", str(flac), "-t", "raw", "-e", "signed", "-b", "16", "-c", "1", "-",
             "remix", "-", "rate", "-v", "22050"], check=True, capture_output=True).stdout)
        n = min(len(ours), len(peer))
        near("frames against sox", len(ours), len(peer), 1)
        signal = math.sqrt(sum(v * v for v in peer[:n]) / n)
        near("level (RMS)", math.sqrt(sum(v * v for v in ours[:n]) / n), signal, signal * 0.012)
        error = math.sqrt(sum((a - b) ** 2 for a, b in zip(ours[:n], peer[:n])) / n)
        if error > signal * 1e-3:
            raise StepFailed(f"HORN.SND differs from sox's conversion by {error:.1f} RMS "
                             f"(signal {signal:.0f})")

    def choose_in_combo(self, dialog, described, item):
        """Moves a combo box of `dialog` to `item` with the arrow keys, from the top.
        A combo box's accessible name is its current text, so it is found by its
        description."""
        combo = self.d.get(dialog, "combo box", desc=described)
        self.d.click(combo)
        self.d.key("Escape")  # the click opened its list
        self.d.key("Home")
        for _ in range(64):
            if name(combo) == item:
                return
            self.d.key("Down")
            time.sleep(0.05)
        raise StepFailed(f"{item!r} not found in the combo box {described!r}")

    def import_like(self):
        """A quieter FLAC imported like HORN.SND, loudness included: the new file
        measures as loud as HORN.SND, and the report says so."""
        quiet = self.work / "incoming" / "Quiet.flac"
        subprocess.run(["sox", "-n", "-r", "22050", "-b", "16", "-c", "1", str(quiet),
                        "synth", "2", "sine", "1000", "gain", "-30"], check=True)
        # Ctrl+I goes to the main window once it is active again after the last import.
        self.click_file("HORN.SND")
        dialog = self.open_import(quiet)
        self.choose_in_combo(
            dialog, "Takes rate, bit depth, channels, 8-bit flag and ID from a game file",
            "HORN.SND")
        self.choose_in_combo(
            dialog, "Brings the new sound to a loudness, without crossing the true-peak ceiling",
            "Like the sound it replaces")
        self.d.click(self.button(dialog, "Go"))
        target = self.folder / "HORN2.SND"
        self.save_as("HORN.SND", str(target))
        text = self.d.answer("Import Information", "OK")
        self.d.gone("Import Sound File")
        if "Loudness: " not in text:
            raise StepFailed(f"the import report has no loudness: {text!r}")

        def lufs(path):
            out = subprocess.run([self.zsnd, "info", "--loudness", "--json", str(path)],
                                 check=True, capture_output=True, text=True).stdout
            return json.loads(out)[0]["loudness_lufs"]
        near("loudness of HORN2.SND against HORN.SND", lufs(target),
             lufs(self.folder / "HORN.SND"), 0.2)

    def details(self):
        """Details: the folder's files in a table; sorted by duration and exported,
        the CSV lists them shortest first with the header values of each file, and
        their loudness once measured."""
        self.d.click(self.button(self.main(), "Details"))
        window = self.d.window("Folder Details")
        self.d.wait("every file listed", lambda: any(
            "sound file" in name(c) and "Reading" not in name(c)
            for c in walk(window) if role(c) == "label"))
        self.d.wait("every loudness measured", lambda: any(
            "loudest" in name(c) for c in walk(window) if role(c) == "label"))
        header = self.d.get(window, None, "Duration", into_views=True)
        self.d.click(header)
        self.d.screenshot("folder-details", extents(window))
        self.d.click(self.button(window, "Export CSV\u2026"))
        target = self.work / "sounds.csv"
        self.save_as("sounds.csv", str(target), title="Export CSV")
        self.d.answer("Export CSV", "OK")
        with open(target, newline="", encoding="utf-8") as f:
            rows = list(csv.DictReader(f))
        durations = [float(r["duration_s"]) for r in rows if r["duration_s"]]
        expect("rows sorted by duration", durations, sorted(durations))
        on_disk = sorted(p.name for p in self.folder.iterdir()
                         if p.suffix.lower() in (".snd", ".wsd", ".wav"))
        expect("files in the CSV", sorted(Path(r["path"]).name for r in rows), on_disk)
        for r in rows:
            h = sounds.read_header(Path(r["path"]))
            if r["valid"] == "true":
                expect(f"frames of {r['path']}", int(r["frames"]),
                       h.data_length // (h.bits // 8 * h.channels))
                if float(r["duration_s"]) >= 0.4 and not r["loudness_lufs"]:
                    raise StepFailed(f"no loudness for {r['path']} in the CSV")
                if r["true_peak_dbtp"] and r["sample_peak_dbfs"]:
                    if float(r["true_peak_dbtp"]) < float(r["sample_peak_dbfs"]) - 0.01:
                        raise StepFailed(f"true peak below sample peak for {r['path']}")
        self.d.click(self.button(window, "Close"))
        self.d.gone("Folder Details")

    def replace_restore_pack(self):
        """Ctrl+R replaces ENGINE.SND with a FLAC imported like it; Restore Original puts
        the stock bytes back; replaced again, Export Sound Pack writes a zip that Apply Sound
        Pack puts on a fresh copy of the folder, byte for byte."""
        target = "ENGINE.SND"
        marked = f"{target}, replaced"
        stock = (self.folder / target).read_bytes()
        fresh = self.home / "fresh"
        fresh.mkdir()
        for f in self.folder.iterdir():
            if f.is_file():
                (fresh / f.name).write_bytes(f.read_bytes())
        flac = self.work / "incoming" / "Engine2.flac"
        subprocess.run(["sox", "-n", "-r", "44100", "-b", "16", "-c", "1", str(flac), "synth",
                        "1", "sine", "300", "gain", "-10"], check=True)

        def replace():
            self.click_file(target)
            self.d.wait(f"{target} inspected", lambda: self.panel().get("Selected file") == target)
            self.d.key("ctrl+r")
            self.choose_file("Choose a Sound to Import", flac)
            self.d.answer("Replace Sound", "OK")
            self.d.wait("the replaced mark", lambda: marked in self.d.items(self.files()))

        def menu_item(row, caption):
            self.click_file(row)
            self.d.popups.clear()
            self.click_file(row, button=3)
            menu = self.d.popup_menu()
            self.d.click(next(c for c in children(menu) if name(c) == caption))

        replace()
        was, now = sounds.read_header(fresh / target), sounds.read_header(self.folder / target)
        expect("the replacement's header", (now.flag, now.internal_id, now.rate, now.bits,
                                            now.channels),
               (was.flag, was.internal_id, was.rate, was.bits, was.channels))
        label = name(self.d.get(self.main(), "label", desc="Replaced"))
        if not label.startswith("Replaced (from Engine2.flac, "):
            raise StepFailed(f"the panel says {label!r}")
        self.d.screenshot("replaced-sounds", extents(self.main()))

        menu_item(marked, "Restore Original")
        self.d.answer("Restore Original", "Yes")
        self.d.answer("Restore Original", "OK")
        self.d.wait("the mark gone", lambda: target in self.d.items(self.files()))
        expect("restored bytes", (self.folder / target).read_bytes() == stock, True)

        replace()
        pack = self.work / "engine-pack.zip"
        menu_item(marked, "Export Sound Pack...")
        self.save_as("sounds-sounds.zip", str(pack), title="Export Sound Pack")
        self.d.answer("Export Sound Pack", "OK")
        expect("the pack written", pack.is_file(), True)

        self.click_folder("fresh")
        menu_item(target, "Apply Sound Pack...")
        self.choose_file("Apply Sound Pack", pack)
        dialog = self.d.window("Apply Sound Pack")
        expect("the changes listed", [name(c) for c in walk(dialog, True)
                                      if role(c) == "table cell"][:2],
               [target, "will be replaced"])
        self.d.click(self.button(dialog, "Apply"))
        # The message that says it is done has the dialog's own title: it is the
        # window of that title with an OK button.
        box = self.d.wait("the pack's closing message", lambda: next(
            (w for w in self.d.windows() if name(w) == "Apply Sound Pack" and showing(w)
             and self.d.find(w, "push button", "OK")), None))
        self.d.click(self.d.get(box, "push button", "OK"))
        self.d.gone("Apply Sound Pack")
        expect("the pack's bytes in the fresh folder",
               (fresh / target).read_bytes() == (self.folder / target).read_bytes(), True)
        self.d.wait("the mark in the fresh folder", lambda: marked in self.d.items(self.files()))
        self.click_folder("sounds")

    def about(self):
        self.d.click(self.button(self.main(), "About"))
        box = self.d.window(f"About {MAIN}")
        self.program_look(box, "OK")
        self.d.click(self.button(box, "OK"))
        self.d.closed(box, "the About box")

    def exit(self):
        self.d.click(self.button(self.main(), "Exit"))
        self.d.answer("Exit Application", "No", "Are you sure that you want to exit?")
        self.main()
        self.d.click(self.button(self.main(), "Exit"))
        self.d.answer("Exit Application", "Yes", "Are you sure that you want to exit?")
        try:
            code = self.proc.wait(timeout=15)
        except subprocess.TimeoutExpired:
            raise StepFailed("the program is still running after Exit - Yes")
        expect("exit code", code, 0)

    def folder_in_view(self, tree):
        """The current folder's cell, when it lies wholly inside the folder list."""
        tx, ty, tw, th = extents(tree)
        for cell in children(tree):
            if name(cell) == self.folder.name and showing(cell):
                cx, cy, cw, ch = extents(cell)
                if ty <= cy and cy + ch <= ty + th:
                    return cell
        return None

    def second_start(self):
        m = self.start()
        # In view once the window is there, and all the while the folders above
        # it are listed (every paint is checked by the window's unit test).
        tree = self.d.get(m, "tree", "Folders")
        self.d.wait("the restored folder in view", lambda: self.folder_in_view(tree), timeout=5)
        end = time.monotonic() + 1.5
        while time.monotonic() < end:
            if not self.folder_in_view(tree):
                self.d.screenshot("folder-out-of-view")
                raise StepFailed("the restored folder went out of view while folders were listed")
            time.sleep(0.1)
        self.d.wait("the restored folder's files",
                    lambda: "BOOM_ID.WSD" in self.d.items(self.files()))
        expect("Auto Play restored", checked(self.d.get(m, "check box", "Auto Play")), True)
        self.d.screenshot("second-start", extents(m))
        self.exit()

    def opened_by_a_file_manager(self):
        """Starts the program as the installed menu entry's Exec line has a file
        manager start it for one file (%f); Auto Play is still ticked."""
        entry = Path(self.program).parents[1] / "share/applications" / f"{APP_ID}.desktop"
        line = next(l for l in entry.read_text().splitlines() if l.startswith("Exec="))
        target = self.folder / "BOOM_ID.WSD"
        argv = [str(target) if word == "%f" else word for word in line[len("Exec="):].split()]
        expect("the entry's command", argv, ["zephyra-sound-utility", str(target)])
        m = self.start(*argv[1:])
        self.d.wait("the panel of the file given",
                    lambda: self.panel().get("Selected file") == "BOOM_ID.WSD")
        expect("the folder listed", "BOOM.WAV" in self.d.items(self.files()), True)
        expect("the files selected",
               [name(c) for c in children(self.files()) if has_state(c, Atspi.StateType.SELECTED)],
               ["BOOM_ID.WSD"])
        if self.pulse:
            self.d.wait("the file auto-played", self.our_streams)
        self.d.screenshot("opened-with-a-file", extents(m))
        self.exit()

    def run(self):
        self.make_sounds()
        print(f"# sound output: {'PulseAudio null sink' if self.pulse else 'null output'}",
              flush=True)
        steps = [("start with no settings", self.first_start),
                 ("choose the folder", self.choose_folder),
                 ("click a file: panel and commands", self.click_game_file),
                 ("convert to WSD and WAV through the save dialogs", self.convert),
                 ("refresh after Convert; the WAV written reads back", self.refreshed),
                 ("preview: waveform, selection, Play/Pause/Play/Stop/Loop", self.preview),
                 ("context menu: Convert - Batch of three files", self.batch),
                 ("context menu from the keyboard: Delete to the trash", self.delete),
                 ("Auto Play plays the clicked file", self.auto_play),
                 ("Ctrl+I imports a FLAC into a game file", self.import_flac),
                 ("import like HORN.SND, its loudness too", self.import_like),
                 ("Details: the folder's table sorted by duration, exported as CSV", self.details),
                 ("replace a sound, restore it, export a pack, apply it to a fresh copy",
                  self.replace_restore_pack),
                 ("edit in the preview: zoom, select, fade out, undo, redo, save", self.edit),
                 ("About box in the program's look", self.about),
                 ("Exit: No keeps the window, Yes ends the program", self.exit),
                 ("second start restores the folder and Auto Play", self.second_start),
                 ("a file manager opens a file: its folder, the file selected and played",
                  self.opened_by_a_file_manager)]
        try:
            for title, action in steps:
                self.step(title, action)
        except StepFailed as e:
            print(f"not ok {self.passed + 1} - {e}", flush=True)
            self.d.screenshot("failure")
            return 1
        except Exception:
            print(f"not ok {self.passed + 1} - unexpected error", flush=True)
            traceback.print_exc()
            return 1
        finally:
            if self.proc and self.proc.poll() is not None and self.proc.returncode != 0:
                print(f"# the program ended with status {self.proc.returncode}", flush=True)
            if self.proc and self.proc.poll() is None:
                self.proc.kill()
                self.proc.wait()
        print(f"# all {self.passed} steps of the road done")
        return 0


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    sys.exit(Road(*sys.argv[1:]).run())
