"""What a user sees and does on the X display: widgets found through the
accessibility tree (AT-SPI), real mouse and key events through xdotool,
screenshots through ImageMagick. Every wait polls a condition with a time-out."""

import subprocess
import time
from collections import Counter
from pathlib import Path

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402


class StepFailed(AssertionError):
    pass


def _xdotool(*args):
    subprocess.run(["xdotool", *map(str, args)], check=True)


def _move(x, y):
    # `mousemove --sync` waits for a motion that never comes when the pointer
    # is already there.
    where = subprocess.run(["xdotool", "getmouselocation", "--shell"], check=True,
                           capture_output=True, text=True).stdout.split()
    if f"X={x}" in where and f"Y={y}" in where:
        return
    _xdotool("mousemove", "--sync", x, y)


def name(acc):
    return acc.get_name() or ""


def role(acc):
    return acc.get_role_name()


def description(acc):
    return acc.get_description() or ""


def extents(acc):
    r = acc.get_extents(Atspi.CoordType.SCREEN)
    return r.x, r.y, r.width, r.height


def has_state(acc, state):
    return acc.get_state_set().contains(state)


def enabled(acc):
    return has_state(acc, Atspi.StateType.ENABLED)


def showing(acc):
    return has_state(acc, Atspi.StateType.SHOWING)


def checked(acc):
    return has_state(acc, Atspi.StateType.CHECKED)


def children(acc):
    return [c for c in (acc.get_child_at_index(i) for i in range(acc.get_child_count())) if c]


def walk(acc, into_views=False):
    """Every descendant, depth first. Item views (trees, tables, lists) are
    entered only when asked: their cells are many and rarely wanted."""
    for child in children(acc):
        yield child
        if into_views or role(child) not in ("tree", "table", "tree table", "list"):
            yield from walk(child, into_views)


class Desktop:
    def __init__(self, shots_dir, timeout=15.0):
        Atspi.init()
        self.desk = Atspi.get_desktop(0)
        # Read everything live: the program's texts change while we are not listening.
        self.desk.set_cache_mask(Atspi.Cache.NONE)
        self.shots = Path(shots_dir)
        self.shots.mkdir(parents=True, exist_ok=True)
        self.shot_count = 0
        self.timeout = timeout
        self.pid = None
        # Popup menus are no children of the application in the tree: they
        # are only announced, when they show.
        self.popups = []
        self.listener = Atspi.EventListener.new(self._on_showing)
        self.listener.register("object:state-changed:showing")

    def _on_showing(self, event):
        try:
            if event.detail1 and role(event.source) == "popup menu":
                self.popups.append(event.source)
        except GLib.Error:
            pass  # the object went away before we asked

    # ---- waiting ----

    def wait(self, what, condition, timeout=None):
        """Polls `condition` until it returns something true; returns that."""
        start = time.monotonic()
        deadline = start + (timeout or self.timeout)
        last_error = None
        while time.monotonic() < deadline:
            while GLib.MainContext.default().iteration(False):
                pass
            try:
                result = condition()
                if result:
                    if time.monotonic() - start > 2:
                        print(f"# slow: {what} took {time.monotonic() - start:.1f} s", flush=True)
                    return result
            except Exception as e:  # the tree changes under us while windows come and go
                last_error = e
            time.sleep(0.05)
        self.screenshot("timeout")
        raise StepFailed(f"timed out waiting for {what}" + (f" ({last_error})" if last_error else "")
                         + "\n" + self.describe_windows())

    def describe_windows(self):
        """The open windows and their texts, for a failure report."""
        lines = []
        for w in self.windows():
            texts = [name(a) for a in walk(w) if role(a) == "label" and name(a)]
            lines.append(f"  {role(w)} {name(w)!r}: {' | '.join(texts)[:300]}")
        return "open windows:\n" + "\n".join(lines)

    # ---- finding ----

    def app(self):
        for a in children(self.desk):
            if a.get_process_id() == self.pid:
                return a
        return None

    def windows(self):
        a = self.app()
        return children(a) if a else []

    def window(self, title, timeout=None):
        return self.wait(f'window "{title}"',
                         lambda: next((w for w in self.windows() if name(w) == title and showing(w)),
                                      None), timeout)

    def gone(self, title, timeout=None):
        self.wait(f'window "{title}" to close',
                  lambda: not any(name(w) == title and showing(w) for w in self.windows()), timeout)

    def closed(self, window, what):
        """Waits until this very window has gone (another of the same title may follow)."""
        def gone():
            try:
                return not showing(window)
            except GLib.Error:
                return True
        self.wait(f"{what} to close", gone)

    def find(self, root, role_name=None, title=None, desc=None, into_views=False):
        for acc in walk(root, into_views):
            if role_name and role(acc) != role_name:
                continue
            if title is not None and name(acc) != title:
                continue
            if desc is not None and description(acc) != desc:
                continue
            return acc
        return None

    def get(self, root, role_name=None, title=None, desc=None, into_views=False):
        return self.wait(f"{role_name or 'widget'} {title or desc or ''!r} in {name(root)!r}",
                         lambda: self.find(root, role_name, title, desc, into_views))

    def popup_menu(self):
        return self.wait("a popup menu",
                         lambda: next((p for p in reversed(self.popups) if showing(p)), None))

    def items(self, view):
        """The texts of a list's items, top to bottom."""
        return [name(c) for c in children(view) if role(c) in ("list item", "table cell")]

    def item(self, view, text):
        return self.wait(f"item {text!r} in {name(view)!r}",
                         lambda: next((c for c in children(view) if name(c) == text), None))

    # ---- input ----

    def point(self, acc, fx=0.5, fy=0.5):
        x, y, w, h = extents(acc)
        return int(x + w * fx), int(y + h * fy)

    def click(self, acc, button=1, fx=0.5, fy=0.5):
        if not enabled(acc):
            raise StepFailed(f"{role(acc)} {name(acc)!r} is disabled")
        x, y = self.point(acc, fx, fy)
        self.click_at(x, y, button)

    def click_at(self, x, y, button=1):
        _move(x, y)
        _xdotool("click", button)

    def drag(self, x1, y, x2, steps=8):
        _move(x1, y)
        _xdotool("mousedown", 1)
        for i in range(1, steps + 1):
            _move(x1 + (x2 - x1) * i // steps, y)
            time.sleep(0.02)
        _xdotool("mouseup", 1)

    def key(self, *keys):
        _xdotool("key", "--clearmodifiers", *keys)

    def type(self, text):
        _xdotool("type", "--delay", 20, text)

    # ---- dialogs ----

    def answer(self, title, button, expect_text=None):
        """Answers a message box; returns its text."""
        box = self.window(title)
        text = ""
        for acc in walk(box):
            if role(acc) == "label" and len(name(acc)) > len(text):
                text = name(acc)
        if expect_text is not None and text != expect_text:
            self.screenshot("unexpected-message")
            raise StepFailed(f'"{title}" says {text!r}, expected {expect_text!r}')
        self.click(self.get(box, "push button", button))
        self.closed(box, f'"{title}"')
        return text

    # ---- pictures ----

    def screenshot(self, label, crop=None):
        self.shot_count += 1
        path = self.shots / f"{self.shot_count:02d}-{label}.png"
        args = ["import", "-window", "root"]
        if crop:
            x, y, w, h = crop
            args += ["-crop", f"{w}x{h}+{x}+{y}", "+repage"]
        subprocess.run(args + [str(path)], check=True)
        return path

    def count_colour(self, rect, rgb):
        """Pixels of exactly `rgb` inside `rect` on screen."""
        return sum(1 for p in self.pixels(rect) if p == tuple(rgb))

    def pixels(self, rect):
        """The colours of `rect` on screen, row by row, as (r, g, b) tuples."""
        x, y, w, h = rect
        screen = subprocess.run(["import", "-window", "root", "miff:-"], check=True,
                                capture_output=True).stdout
        raw = subprocess.run(["convert", "miff:-", "-crop", f"{w}x{h}+{x}+{y}", "+repage",
                              "-depth", "8", "rgb:-"], input=screen, check=True,
                             capture_output=True).stdout
        return [tuple(raw[i:i + 3]) for i in range(0, len(raw), 3)]

    def shows_picture(self, rect, picture):
        """How much of the picture file's opaque pixels `rect` on screen shows, from 0
        to 1: each opaque colour of the picture counts as often as both have it, give
        or take 2 in each channel (pictures of 16 bits a channel round either way)."""
        raw = subprocess.run(["convert", str(picture), "-depth", "8", "rgba:-"], check=True,
                             capture_output=True).stdout
        wanted = Counter(tuple(raw[i:i + 3]) for i in range(0, len(raw), 4) if raw[i + 3] == 255)
        seen = Counter(self.pixels(rect))
        total = sum(wanted.values())
        found = 0
        for colour, count in wanted.items():
            near = [c for c in seen if all(abs(a - b) <= 2 for a, b in zip(c, colour))]
            taken = min(count, sum(seen[c] for c in near))
            found += taken
            for c in near:  # a screen pixel stands for one picture pixel only
                use = min(seen[c], taken)
                seen[c] -= use
                taken -= use
        return found / total if total else 0.0
