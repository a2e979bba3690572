"""Drives the built program as a person would: real keystrokes and clicks through xdotool, and reads the
window back as a screen reader does, over AT-SPI. Runs inside a session bus on a display of its own
(see run_scenario.sh)."""
import os
import subprocess
import threading
import time

import pyatspi

CAPTION = "Tessarinv0.1 powerby Halvorne 20191217 "
PROMPT = "请输入题目的一部分："
FIRST_SPARE_KEYCODE = 200


class ScenarioFailure(Exception):
    pass


def wait_until(what, condition, timeout=10.0):
    """Polls condition() until it gives something true; fails with `what` after timeout seconds."""
    deadline = time.monotonic() + timeout
    last_error = None
    while time.monotonic() < deadline:
        try:
            value = condition()
            if value:
                return value
        except Exception as error:  # the tree changes under us while the program works
            last_error = error
        time.sleep(0.05)
    raise ScenarioFailure(f"timed out waiting for {what}" + (f" ({last_error})" if last_error else ""))


def walk(node, depth=0):
    if node is None or depth > 12:
        return
    yield node
    try:
        count = node.childCount
    except Exception:
        return
    for i in range(min(count, 200)):
        try:
            child = node.getChildAtIndex(i)
        except Exception:
            continue
        yield from walk(child, depth + 1)


def text_of(node):
    try:
        t = node.queryText()
        return t.getText(0, t.characterCount)
    except Exception:
        return None


def states_of(node):
    return node.getState().getStates()


class Program:
    """One run of the program in a folder of its own, with the bank made from `questions` (None: no bank)."""

    def __init__(self, args, questions, typed_characters="", listen=False):
        self.args = args
        self.work = args.work
        self.out = args.out
        self.desktop = pyatspi.Registry.getDesktop(0)  # starts the accessibility bus before the program
        if questions is not None:
            self.make_bank(questions)
        self.bind_characters(typed_characters)
        self.listener = None
        self.heard = []
        if listen:
            self.start_listener()
        env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", ATSPI_NO_CACHE="1")
        self.process = subprocess.Popen([args.tessarin], cwd=self.work, env=env)
        self.app = wait_until("the program on the accessibility bus", self.find_app, 20)

    # The bank and the keyboard -------------------------------------------------------------------
    def make_bank(self, questions):
        source = os.path.join(self.work, "questions.txt")
        with open(source, "w", encoding="utf-8") as f:
            for q in questions:
                f.write(q.replace("\\", "\\\\").replace("\n", "\\n") + "\n")
        bank = os.path.join(self.work, "data.mdb")
        subprocess.run([self.args.bank_tool, "new", bank], check=True, capture_output=True)
        subprocess.run([self.args.bank_tool, "import", bank, source], check=True, capture_output=True)

    def bind_characters(self, characters):
        """Gives every non-ASCII character a spare key of its own before the program starts, so that
        typing it is one exact keystroke (no key-map change while the program runs)."""
        self.keysyms = {}
        spare = FIRST_SPARE_KEYCODE
        expressions = []
        for ch in dict.fromkeys(characters):
            if ord(ch) < 128:
                continue
            keysym = "U%04X" % ord(ch)
            expressions += ["-e", f"keycode {spare} = {keysym} {keysym}"]
            self.keysyms[ch] = keysym
            spare += 1
        if expressions:
            subprocess.run(["xmodmap"] + expressions, check=True)

    # Events, as a screen reader hears them ----------------------------------------------------------
    def start_listener(self):
        """A listener of its own (atspi_listener.py), registered before the program starts, so that the
        program sends it the focus and selection events from the start."""
        here = os.path.dirname(os.path.abspath(__file__))
        self.listener = subprocess.Popen(["/usr/bin/python3", os.path.join(here, "atspi_listener.py")],
                                         stdout=subprocess.PIPE, text=True, encoding="utf-8")
        if self.listener.stdout.readline().strip() != "ready":
            raise ScenarioFailure("the event listener did not start")

        def collect():
            for line in self.listener.stdout:
                kind, detail, name = (line.rstrip("\n").split("\t") + ["", ""])[:3]
                self.heard.append((kind, detail, name))
        threading.Thread(target=collect, daemon=True).start()

    def heard_mark(self):
        """A mark in what was heard: the events after it are those that came since."""
        return len(self.heard)

    def heard_since(self, mark, kind, name):
        """Whether a reader was told, since the mark, that the item named `name` became (kind) focused or
        selected."""
        return any(k == f"object:state-changed:{kind}" and detail == "1" and heard == name
                   for k, detail, heard in list(self.heard)[mark:])

    # Finding things ------------------------------------------------------------------------------
    def find_app(self):
        for i in range(self.desktop.childCount):
            app = self.desktop.getChildAtIndex(i)
            if app is not None and app.name == "tessarin" and app.childCount > 0:
                return app
        return None

    def top_levels(self):
        return [self.app.getChildAtIndex(i) for i in range(self.app.childCount)]

    def window(self):
        for node in self.top_levels():
            if node.name == CAPTION:
                return node
        return None

    def boxes(self):
        """The modal boxes up now (error and confirmation boxes)."""
        return [n for n in self.top_levels() if n.getRole() in (pyatspi.ROLE_ALERT, pyatspi.ROLE_DIALOG)]

    def box_text(self, box):
        labels = [n.name for n in walk(box) if n.getRole() == pyatspi.ROLE_LABEL and n.name]
        return "\n".join(labels)

    def box_buttons(self, box):
        return [n.name for n in walk(box) if n.getRole() == pyatspi.ROLE_PUSH_BUTTON]

    def texts(self):
        return [n for n in walk(self.window()) if n.getRole() in (pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY)]

    def search_box(self):
        for n in self.texts():
            if pyatspi.STATE_MULTI_LINE not in states_of(n):
                return n
        raise ScenarioFailure("no search box")

    def memo(self):
        for n in self.texts():
            if pyatspi.STATE_MULTI_LINE in states_of(n):
                return n
        raise ScenarioFailure("no full-text view")

    def memo_text(self):
        return text_of(self.memo()) or ""

    def search_text(self):
        return text_of(self.search_box()) or ""

    def status_line(self):
        for n in walk(self.window()):
            if n.getRole() == pyatspi.ROLE_STATUS_BAR:
                labels = [c.name for c in walk(n) if c.getRole() == pyatspi.ROLE_LABEL]
                return labels[0] if labels else ""
        raise ScenarioFailure("no status bar")

    def result_list(self):
        for n in walk(self.window()):
            if n.getRole() in (pyatspi.ROLE_LIST, pyatspi.ROLE_TABLE, pyatspi.ROLE_TREE_TABLE):
                return n
        return None

    def row_nodes(self):
        """The result list's rows on screen, as the list reports them."""
        grid = self.result_list()
        if grid is None:
            raise ScenarioFailure("the result list is not on the accessibility bus")
        return [c for c in walk(grid) if c is not grid and c.getRole() in
                (pyatspi.ROLE_LIST_ITEM, pyatspi.ROLE_TABLE_CELL, pyatspi.ROLE_TABLE_ROW) and c.name]

    def rows(self):
        return [c.name for c in self.row_nodes()]

    def current_row_node(self):
        grid = self.result_list()
        for c in walk(grid):
            if c is not grid and pyatspi.STATE_SELECTED in states_of(c):
                return c
        return None

    def current_row(self):
        node = self.current_row_node()
        return node.name if node is not None else None

    def list_description(self):
        """How many rows the result holds, as the list tells it: "共 N 条"."""
        return self.result_list().description

    def focused_is(self, node):
        return pyatspi.STATE_FOCUSED in states_of(node)

    # Acting --------------------------------------------------------------------------------------
    def xdotool(self, *args):
        subprocess.run(["xdotool"] + list(args), check=True)

    def type(self, text):
        """Types text one keystroke at a time, each character as a person would press it."""
        for ch in text:
            if ch in self.keysyms:
                self.xdotool("key", "--clearmodifiers", self.keysyms[ch])
            else:
                self.xdotool("type", "--delay", "30", ch)

    def key(self, *names):
        self.xdotool("key", "--clearmodifiers", *names)

    def click(self, node, dx=None, dy=None):
        """Clicks inside node (its middle, or dx/dy pixels from its top left) at desktop coordinates."""
        extents = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        x = extents.x + (extents.width // 2 if dx is None else dx)
        y = extents.y + (extents.height // 2 if dy is None else dy)
        self.xdotool("mousemove", "--sync", str(x), str(y), "click", "1")

    def wait_for_box(self, count=1):
        return wait_until(f"{count} box(es)", lambda: self.boxes() if len(self.boxes()) >= count else None)[-1]

    def answer_box(self, key="Return"):
        box = self.wait_for_box()
        wait_until("the box to be active", lambda: pyatspi.STATE_ACTIVE in states_of(box))
        self.key(key)
        wait_until("the box to close", lambda: box not in self.boxes())

    def close_window(self):
        """Closes the window as a user does: Alt+F4 through the window manager."""
        window_id = wait_until("the window on the X display", lambda: subprocess.run(
            ["xdotool", "search", "--name", "^Tessarin"], capture_output=True, text=True).stdout.split())
        subprocess.run(["wmctrl", "-i", "-c", window_id[-1]], check=False) if has("wmctrl") else \
            self.key("alt+F4")

    def exit_code(self, timeout=10):
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            self.process.kill()
            raise ScenarioFailure("the program did not end")

    def screenshot(self, name):
        subprocess.run(["import", "-window", "root", os.path.join(self.out, name + ".png")], check=False)

    def stop(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        if self.listener is not None and self.listener.poll() is None:
            self.listener.kill()
            self.listener.wait()


def has(command):
    return subprocess.run(["sh", "-c", f"command -v {command}"], capture_output=True).returncode == 0
