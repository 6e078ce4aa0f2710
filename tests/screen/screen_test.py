#!/usr/bin/env python3
"""Screen tests of the interactive host in a real terminal.

tmux runs `plughost browse` in a detached session of its own (a private
server socket), keys are sent as a person would type them, and the screen is
read back with capture-pane. Every test works on a fresh copy of samples/.

Usage: screen_test.py PLUGHOST SAMPLES_DIR [TEST_NAME...]
Exit code 77 (skipped) when tmux is not installed."""

import os
import shutil
import subprocess
import sys
import tempfile
import time

SKIP = 77
WIDTH, HEIGHT = 120, 36


class Screen:
    def __init__(self, plughost, folder, registry, socket, temp, env=None, size=(None, None)):
        self.socket = socket
        self.name = "plughost"
        # Sanitizer reports go to files the fixture reads back, since the
        # terminal is gone when the program ends; the program's own
        # diagnostics go to $TMPDIR/plughost-browse.log.
        logs = os.path.join(temp, "sanitizer")
        asan = ":".join(filter(None, [os.environ.get("ASAN_OPTIONS", ""), "log_path=" + logs]))
        ubsan = ":".join(filter(None, [os.environ.get("UBSAN_OPTIONS", ""), "log_path=" + logs]))
        extra = ["%s=%s" % item for item in sorted((env or {}).items())]
        command = ["env", "LANG=C.UTF-8", "LC_ALL=C.UTF-8", "TMPDIR=" + temp, "ASAN_OPTIONS=" + asan,
                   "UBSAN_OPTIONS=" + ubsan] + extra + [plughost, "--registry", registry, "browse", folder]
        self.width, self.height = size[0] or WIDTH, size[1] or HEIGHT
        self.tmux("new-session", "-d", "-s", self.name, "-x", str(self.width), "-y", str(self.height),
                  " ".join(quote(word) for word in command))

    def tmux(self, *args):
        return subprocess.run(["tmux", "-u", "-f", "/dev/null", "-S", self.socket] + list(args),
                              check=True, capture_output=True, text=True).stdout

    def keys(self, *keys, together=False):
        """Named keys (tmux key names: Enter, Tab, F11, M-h, C-PageUp ...), one at a
        time, or all in one go with `together`."""
        if together:
            self.tmux("send-keys", "-t", self.name, *keys)
            time.sleep(0.15)
            return
        for key in keys:
            self.tmux("send-keys", "-t", self.name, key)
            time.sleep(0.15)

    def type(self, text):
        self.tmux("send-keys", "-t", self.name, "-l", text)
        time.sleep(0.15)

    def text(self, escapes=False):
        return self.tmux("capture-pane", "-p", "-t", self.name, *(["-e"] if escapes else []))

    def wait_for(self, *texts, timeout=10.0):
        deadline = time.time() + timeout
        while True:
            shown = self.text()
            if all(t in shown for t in texts):
                return shown
            if time.time() > deadline:
                missing = [t for t in texts if t not in shown]
                raise AssertionError("not on the screen: %r\n%s" % (missing, shown))
            time.sleep(0.2)

    def wait_gone(self, text, timeout=10.0):
        deadline = time.time() + timeout
        while text in self.text():
            if time.time() > deadline:
                raise AssertionError("still on the screen: %r\n%s" % (text, self.text()))
            time.sleep(0.2)

    def running(self):
        try:
            self.tmux("has-session", "-t", self.name)
            return True
        except subprocess.CalledProcessError:
            return False

    def quit(self):
        """F10, and the session ends with the program."""
        self.keys("F10")
        deadline = time.time() + 10
        while self.running():
            if time.time() > deadline:
                raise AssertionError("plughost did not quit on F10")
            try:
                if "Quit plughost?" in self.text():   # asked while a plugin panel is open
                    self.keys("Enter")
            except subprocess.CalledProcessError:
                pass                                 # the session ended meanwhile
            time.sleep(0.2)

    def kill(self):
        try:
            self.tmux("kill-server")
        except subprocess.CalledProcessError:
            pass


def quote(word):
    return "'" + word.replace("'", "'\\''") + "'"


def row_of(shown, text):
    for line in shown.splitlines():
        if text in line:
            return line
    return ""


class Fixture:
    def __init__(self, plughost, samples):
        self.plughost = plughost
        self.temp = tempfile.mkdtemp(prefix="plughost-screen-")
        self.samples = os.path.join(self.temp, "samples")
        shutil.copytree(samples, self.samples)
        self.registry = os.path.join(self.temp, "registry.reg")
        self.screens = []

    def start(self, folder=None, env=None, size=(None, None)):
        socket = os.path.join(self.temp, "tmux-%d" % len(self.screens))
        screen = Screen(self.plughost, folder or self.samples, self.registry, socket, self.temp, env, size)
        self.screens.append(screen)
        screen.wait_for("1Help", "demo.uue")
        return screen

    def reports(self):
        """What the sanitizers and the program wrote while the tests ran."""
        found = []
        for name in sorted(os.listdir(self.temp)):
            if name.startswith("sanitizer") or name == "plughost-browse.log":
                with open(os.path.join(self.temp, name), errors="replace") as log:
                    text = log.read()
                if text.strip():
                    found.append("%s:\n%s" % (name, text))
        return found

    def close(self):
        for screen in self.screens:
            screen.kill()
        shutil.rmtree(self.temp, ignore_errors=True)


# The folder panel lists "..", folders, then files by name:
#   ..  [out]  demo.uue  letter.txt  numbers.csv  pixels.bin  tables.xxe

def test_storage_opens_with_items_and_title(f):
    s = f.start()
    s.keys("Down", "Enter")  # demo.uue
    shown = s.wait_for("VEXIL: demo.uue", "readme.txt", "logo.bin", "report.txt",
                       "photo.jpg 01/03", "photo.jpg 03/03")
    assert "photo.jpg 02/03" not in shown
    # readme.txt is 1373 bytes: 1834 data characters, listed as 1834 * 6 / 8 - 2.
    assert "1373" in row_of(shown, "readme.txt"), row_of(shown, "readme.txt")
    s.keys("C-PageUp")  # leave the storage: back in the folder, on the file
    s.wait_for("letter.txt", "numbers.csv")
    s.wait_gone("VEXIL: demo.uue")
    s.quit()


def test_view_storage_item_through_a_temporary_extraction(f):
    # F3 and Enter on a storage item show its decoded text; the temporary
    # folder the plugin extracted into is gone once the viewer closes.
    def view_folders():
        return [n for n in os.listdir(f.temp) if n.startswith("plughost-view-")]
    s = f.start()
    s.keys("Down", "Enter")                              # demo.uue
    s.wait_for("VEXIL: demo.uue", "readme.txt")
    for key in ("F3", "Enter"):
        s.keys("M-r")                                    # quick search: readme.txt
        s.keys(key)
        s.wait_for("Readme of the demo storage.", "Line 01 of a small text")
        assert len(view_folders()) == 1, view_folders()
        s.keys("Escape")
        s.wait_gone("Readme of the demo storage.")
        s.wait_for("VEXIL: demo.uue")
        assert view_folders() == [], view_folders()
    s.quit()


def test_encode_two_selected_files_into_the_other_panel(f):
    os.mkdir(os.path.join(f.samples, "out"))
    s = f.start()
    s.keys("Tab", "Down", "Enter")            # right panel into out/
    s.wait_for(os.path.join(f.samples, "out"))
    s.keys("Tab", "Down", "Down", "Down")     # left panel: letter.txt
    s.keys("Insert", "Insert")                # letter.txt and numbers.csv
    s.wait_for("bytes in 2 selected")
    s.keys("F11")
    s.wait_for("Calculator", "Plugins")
    s.keys("Down", "Enter")                   # vexil's entry
    s.wait_for("Encode files")
    s.keys("Enter")
    s.wait_for('2 files')                     # the brief dialog's subject line
    s.keys("Enter")
    shown = s.wait_for("letter.uue", "numbers.uue")
    assert "bytes in 2 selected" not in shown, shown  # encoded files are unselected
    for name in ("letter.uue", "numbers.uue"):
        with open(os.path.join(f.samples, "out", name), "rb") as out:
            text = out.read()
        assert b"begin 644 " + name.replace(".uue", "").encode() in text, text[:200]
    s.quit()


def test_copy_onto_open_storage_appears_after_rescan(f):
    s = f.start()
    s.keys("Tab", "Down", "Enter")            # right panel: demo.uue opened
    s.wait_for("VEXIL: demo.uue")
    s.keys("Tab", "Down", "Down")             # left panel: letter.txt
    s.keys("F5")
    shown = s.wait_for("letter.txt", "VEXIL: demo.uue")
    # The new item shows in the storage panel once the idle event re-scans the file.
    deadline = time.time() + 10
    while True:
        shown = s.text()
        half = [line[WIDTH // 2:] for line in shown.splitlines()]
        if any("letter.txt" in line for line in half):
            break
        if time.time() > deadline:
            raise AssertionError("letter.txt did not appear in the storage panel\n" + shown)
        time.sleep(0.3)
    with open(os.path.join(f.samples, "demo.uue"), "rb") as storage:
        assert b"begin 644 letter.txt" in storage.read()
    s.quit()


def test_calculator_evaluate_and_run(f):
    s = f.start()
    s.keys("F11")
    s.wait_for("Calculator")
    s.keys("r")                               # Calculato&r
    s.wait_for("Expression", "Eval As")
    s.type("250+5")
    s.keys("M-h")                             # &HEX
    s.keys("M-e")                             # &Evaluate
    shown = s.wait_for("FFh")
    assert "(•) HEX" in shown, shown
    s.keys("Enter")                           # &Run, the default button
    shown = s.wait_for("255", "377", "11111111")
    assert "FF" in row_of(shown, "HEX"), row_of(shown, "HEX")
    assert "377" in row_of(shown, "OCT")
    assert "11111111" in row_of(shown, "BIN")
    s.keys("Escape")
    s.wait_gone("Eval As")
    s.quit()


def test_configuration_saved_and_read_back(f):
    s = f.start()
    s.keys("F9")
    s.wait_for("Plugins configuration")
    s.keys("Enter")                           # vexil
    s.wait_for("Encoding options")
    s.keys("e")                               # &Encoding options
    s.wait_for("Lines per section")
    s.keys("M-p")                             # split output on
    s.keys("Tab")                             # the lines field
    s.type("25")
    s.keys("Enter")                           # OK
    s.wait_gone("Lines per section")
    s.keys("v")                               # Sa&ve settings closes the menu
    s.wait_gone("Encoding options")
    s.quit()
    assert os.path.exists(f.registry), "no registry file written"

    s = f.start()                             # a new plughost reads the saved settings
    s.keys("M-S-F9")                          # Alt+Shift+F9 opens the same menu
    s.wait_for("Plugins configuration")
    s.keys("Enter")
    s.wait_for("Encoding options")
    s.keys("e")
    shown = s.wait_for("Lines per section")
    assert "[x] S" in row_of(shown, "plit into sections"), row_of(shown, "plit into sections")
    assert "25" in row_of(shown, "Lines per section"), row_of(shown, "Lines per section")
    s.keys("Escape")
    s.wait_gone("Lines per section")
    s.keys("Escape")
    s.wait_gone("Encoding options")
    s.quit()


def right_half(shown):
    return "\n".join(line[WIDTH // 2:] for line in shown.splitlines())


def test_ctrl_c_during_copy_stops_it_as_esc_does(f):
    # A large file copied onto a storage: Ctrl+C reaches the plugin's Esc
    # watch, its question comes up, and Cancel leaves the storage as it was.
    big = os.path.join(f.samples, "big.bin")          # sorts before demo.uue
    with open(big, "wb") as out:
        out.truncate(200 * 1024 * 1024)
    storage = os.path.join(f.samples, "demo.uue")
    with open(storage, "rb") as before:
        original = before.read()
    s = f.start()
    s.keys("Tab", "Down", "Down", "Enter")             # right panel: demo.uue opened
    s.wait_for("VEXIL: demo.uue")
    s.keys("Tab", "Down")                               # left panel: big.bin
    s.keys("F5", "C-c", together=True)                              # Ctrl+C waits while the copy starts
    s.wait_for("Stop encoding the files?")
    assert s.running()
    s.keys("Right", "Enter")                            # Cancel
    s.wait_gone("Stop encoding the files?")
    assert s.running()
    with open(storage, "rb") as after:
        assert after.read() == original
    # Ctrl+C in a dialog is Esc, and a SIGTERM between jobs ends the program in order.
    s.keys("F11")
    s.wait_for("Calculator")
    s.keys("C-c")
    s.wait_gone("Calculator")
    pid = int(s.tmux("display-message", "-p", "-t", s.name, "#{pane_pid}").strip())
    os.kill(pid, 15)
    deadline = time.time() + 10
    while s.running():
        assert time.time() < deadline, "plughost did not end on SIGTERM"
        time.sleep(0.2)


def test_enter_on_fifo_says_what_it_is(f):
    os.mkfifo(os.path.join(f.samples, "a.fifo"))       # sorts first
    s = f.start()
    s.keys("Down", "Enter")
    s.wait_for("a.fifo is a FIFO", timeout=3)
    s.keys("Enter")
    s.wait_gone("is a FIFO")
    s.keys("Down", "Enter")                              # the program still answers: demo.uue opens
    s.wait_for("VEXIL: demo.uue")
    s.quit()


def test_encoder_targets_passive_storage_and_refuses_storage_items(f):
    s = f.start()
    s.keys("Tab", "Down", "Enter")                       # right panel: demo.uue opened
    s.wait_for("VEXIL: demo.uue")
    s.keys("Tab", "Down", "Down")                        # left panel: letter.txt
    s.keys("F11")
    s.wait_for("Calculator")
    s.keys("Down", "Enter")
    s.wait_for("Encode files")
    s.keys("Enter")
    shown = s.wait_for("letter.txt")
    assert os.path.join(f.samples, "demo.uue") in shown, shown   # the target field: the storage
    s.keys("Escape")
    s.wait_gone("Encode files")
    assert not os.path.exists(os.path.join(f.samples, ".uue"))
    s.keys("Tab", "Down")                                # inside the storage panel
    s.keys("F11")
    s.wait_for("Calculator")
    s.keys("Down", "Enter")
    s.wait_for("Encode files")
    s.keys("Enter")
    s.wait_for("works on the files of a folder panel")
    s.keys("Enter")
    s.quit()


def columns(line):
    """Display columns of a captured line: wide characters take two."""
    import unicodedata
    return sum(2 if unicodedata.east_asian_width(ch) in "WF" else 1 for ch in line)


def test_wide_names_keep_the_other_panel_in_place(f):
    names = ["漢字のファイル名はとても長いのでパネルの幅を超えてしまいます.txt", "😀 emoji.txt",
             "cafe\u0301.txt", "한국어.txt"]
    for name in names:
        with open(os.path.join(f.samples, name), "w") as out:
            out.write("x")
    s = f.start()
    s.keys("End", "Up", "Up")                    # move the cursor over the wide names
    shown = s.wait_for("한국어.txt", "emoji.txt")
    for line in shown.splitlines()[1:-1]:
        assert columns(line) == WIDTH, "%d columns: %r" % (columns(line), line)
        # The right panel's frame starts at the middle on every row.
        left = ""
        for ch in line:
            if columns(left) >= WIDTH // 2:
                break
            left += ch
        assert columns(left) == WIDTH // 2 and left[-1] in "╗║╢╝", repr(line)
    s.keys("Home")
    s.quit()


def test_home_end_and_f_keys_under_another_term(f):
    # tmux sends ESC[1~ and ESC[4~ for Home and End; xterm-256color names ESC OH and ESC OF.
    s = f.start(env={"TERM": "xterm-256color"})
    s.keys("End")
    shown = s.wait_for("tables.xxe")
    assert "tables.xxe" in shown.splitlines()[-3], shown.splitlines()[-3]   # the info line
    s.keys("Home")
    deadline = time.time() + 5
    while "Folder" not in s.text().splitlines()[-3]:
        assert time.time() < deadline, s.text()
        time.sleep(0.2)
    s.quit()


def test_without_colours_the_cursor_shows_in_reverse(f):
    s = f.start(env={"NO_COLOR": "1"})
    s.keys("Down")
    shown = s.text(escapes=True)
    import re
    assert not re.search("\x1b\\[(3[0-7]|4[0-7]|38;|48;)", shown), "colours used"
    cursor = row_of(shown, "demo.uue")
    assert "\x1b[7m" in cursor, repr(cursor)              # reverse video carries the cursor bar
    s.keys("Insert")
    selected = row_of(s.text(escapes=True), "demo.uue")
    assert "\x1b[1;4m" in selected, repr(selected)              # bold and underline carry the selection
    s.quit()


def test_sizes_and_dates_show_at_80x25(f):
    s = f.start(size=(80, 25))
    shown = s.wait_for("demo.uue")
    row = row_of(shown, "demo.uue")
    assert row.count("7874") == 2, row          # both panels show the size
    assert row.count("Date") == 0 and row_of(shown, "Name").count("Date") == 2, row_of(shown, "Name")
    s.quit()


def test_file_operations_on_folder_panels(f):
    s = f.start()
    s.keys("F7")
    s.wait_for("Make the folder:")
    s.type("made")
    s.keys("Enter")
    s.wait_gone("Make the folder:")
    assert os.path.isdir(os.path.join(f.samples, "made"))
    s.keys("Tab", "Down", "Enter", "Tab")           # right panel into made/
    s.wait_for(os.path.join(f.samples, "made"))
    s.keys("Down", "Down")                          # left: from made, past demo.uue, to letter.txt
    s.keys("F5")
    s.wait_for("Copy letter.txt to:")
    s.keys("Enter")
    s.wait_gone("Copy letter.txt to:")
    copied = os.path.join(f.samples, "made", "letter.txt")
    assert os.path.exists(copied)
    s.keys("F5")                                    # again: the existing-file question
    s.wait_for("Copy letter.txt to:")
    s.keys("Enter")
    s.wait_for("The file exists already:")
    s.keys("s")
    s.wait_gone("The file exists already:")
    s.keys("F6")
    s.wait_for("Move or rename letter.txt to:")
    s.type("moved.txt")
    s.keys("Enter")
    s.wait_for("moved.txt")
    assert os.path.exists(os.path.join(f.samples, "moved.txt"))
    assert not os.path.exists(os.path.join(f.samples, "letter.txt"))
    s.keys("F8")
    s.wait_for("Delete moved.txt?")
    s.keys("Enter")
    s.wait_gone("Delete moved.txt?")
    assert not os.path.exists(os.path.join(f.samples, "moved.txt"))
    s.quit()


def test_f10_asks_while_a_storage_is_open_until_told_not_to(f):
    s = f.start()
    s.keys("Down", "Enter")
    s.wait_for("VEXIL: demo.uue")
    s.keys("F10")
    s.wait_for("Quit plughost?", "A plugin panel is open")
    s.keys("Escape")                                 # stays
    s.wait_gone("Quit plughost?")
    assert s.running()
    s.keys("F10")
    s.wait_for("Quit plughost?")
    s.keys("d")                                      # [x] Do not ask again
    s.wait_for("[x] Do not ask again")
    s.keys("Enter")
    deadline = time.time() + 10
    while s.running():
        assert time.time() < deadline, "plughost did not quit"
        time.sleep(0.2)
    s = f.start()                                    # the choice is kept in the settings
    s.keys("Down", "Enter")
    s.wait_for("VEXIL: demo.uue")
    s.keys("F10")
    deadline = time.time() + 10
    while s.running():
        try:
            assert "Quit plughost?" not in s.text(), "asked again"
        except subprocess.CalledProcessError:
            break                                    # ended meanwhile
        assert time.time() < deadline, "plughost did not quit"
        time.sleep(0.2)


def test_f10_asks_while_options_are_not_saved(f):
    s = f.start()
    s.keys("F9")
    s.wait_for("Plugins configuration")
    s.keys("Enter")                                  # vexil
    s.wait_for("Encoding options")
    s.keys("e")
    s.wait_for("Lines per section")
    s.keys("M-p")                                    # split output on
    s.keys("Enter")                                  # OK: changed, not saved
    s.wait_gone("Lines per section")
    s.keys("Escape")
    s.wait_gone("Encoding options")
    s.keys("F10")
    s.wait_for("Quit plughost?", "Options of VEXIL are not saved")
    s.keys("Escape")                                 # stays
    s.wait_gone("Quit plughost?")
    s.keys("F9")
    s.wait_for("Plugins configuration")
    s.keys("Enter")
    s.wait_for("Encoding options")
    s.keys("v")                                      # Sa&ve settings
    s.wait_gone("Encoding options")
    s.keys("F10")                                    # saved: no question now
    deadline = time.time() + 10
    while s.running():
        try:
            assert "Quit plughost?" not in s.text(), "asked although the options were saved"
        except subprocess.CalledProcessError:
            break                                    # ended meanwhile
        assert time.time() < deadline, "plughost did not quit"
        time.sleep(0.2)


def main():
    if len(sys.argv) < 3:
        print(__doc__)
        return 2
    if shutil.which("tmux") is None:
        print("tmux is not installed: screen tests skipped")
        return SKIP
    plughost, samples = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    wanted = sys.argv[3:]
    tests = [(name, fn) for name, fn in globals().items() if name.startswith("test_") and callable(fn)]
    failures = 0
    for name, fn in tests:
        if wanted and name not in wanted:
            continue
        fixture = Fixture(plughost, samples)
        try:
            fn(fixture)
            reports = fixture.reports()
            if reports:
                raise AssertionError("diagnostics written during the test:\n" + "\n".join(reports))
            print("PASS", name)
        except Exception as error:  # report every test, not just the first failure
            failures += 1
            print("FAIL", name)
            print(error)
        finally:
            fixture.close()
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
