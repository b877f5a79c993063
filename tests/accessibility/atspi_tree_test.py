#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Reads orvane and tellim as a screen reader does: through the AT-SPI tree of the running
programs, on a private X server and session bus, each program on a copy of a real save state.

    atspi_tree_test.py ORVANE TELLIM DATA_DIR

Exits 77, which CTest counts as skipped, when the machine has no Xvfb, dbus-run-session, AT-SPI
bus launcher or pyatspi (scripts/install-deps installs them).
"""

import json
import os
import select
import shutil
import subprocess
import sys
import tempfile
import time

SKIP = 77
STATE = "state-1.42.zst"
LAUNCHER = "/usr/libexec/at-spi-bus-launcher"
TAB_CAPTIONS = ["Main", "Crono", "Marle", "Lucca", "Robo", "Frog", "Ayla", "Magus", "Items",
                "Tech", "Dual Tech", "Triple Tech"]
MAIN_EDITS = {"Gold", "Silver Points", "Number of Saves", "Hours, tens digit",
              "Hours, units digit", "Minutes, tens digit", "Minutes, units digit"}
CHARACTER_EDITS = {"Name", "Level", "Experience", "Experience Until Next Level", "Current HP",
                   "Max HP", "Current MP", "Max MP", "Power", "Stamina", "Speed", "Magic", "Hit",
                   "Evade", "Magic Defence"}
CHARACTER_LISTS = {"Face", "Armor", "Helmet", "Weapon", "Accessory"}
FACES = ["Crono", "Marle", "Lucca", "Robo", "Frog", "Ayla", "Magus"]
CRONO_FACE = "7E2600"  # the console address of the first byte of Crono's record
TELLIM_BOXES = {"Crono", "Marle", "Lucca", "Frog", "Robo", "Ayla", "Magus", "Hours, tens digit",
                "Hours, units digit", "Minutes, tens digit", "Minutes, units digit"}
# The machine may be busy building: generous limits, polled often.
APPEAR_SECONDS = 90
CHANGE_SECONDS = 30


class Failure(Exception):
    pass


def skip(reason):
    print(f"SKIP: {reason}")
    sys.exit(SKIP)


# ---- outside: a private X server, then this script again inside a private session bus ----

def python_with_pyatspi():
    for python in ("/usr/bin/python3", sys.executable):
        if python and os.path.exists(python) and subprocess.run(
                [python, "-c", "import pyatspi"], capture_output=True).returncode == 0:
            return python
    return None


def start_xvfb():
    """Xvfb picks a free display itself and names it on a pipe: no race with other servers."""
    read_end, write_end = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0",
                               "1280x1024x24", "-nolisten", "tcp"],
                              pass_fds=(write_end,), stderr=subprocess.DEVNULL)
    os.close(write_end)
    number = b""
    deadline = time.monotonic() + 30
    while not number.endswith(b"\n") and time.monotonic() < deadline:
        ready, _, _ = select.select([read_end], [], [], 1)
        if ready:
            chunk = os.read(read_end, 16)
            if not chunk:
                break
            number += chunk
    os.close(read_end)
    if not number.strip().isdigit():
        server.kill()
        server.wait()
        return None, None
    return server, ":" + number.strip().decode()


def outside(arguments):
    missing = [tool for tool in ("Xvfb", "dbus-run-session") if not shutil.which(tool)]
    if not os.path.exists(LAUNCHER):
        missing.append(LAUNCHER)
    if missing:
        skip("not installed: " + ", ".join(missing))
    python = python_with_pyatspi()
    if not python:
        skip("no Python with pyatspi (python3-pyatspi)")
    server, display = start_xvfb()
    if server is None:
        print("FAIL: Xvfb did not start")
        return 1
    try:
        with tempfile.TemporaryDirectory(prefix="atspi-") as runtime:
            # Only our own display, buses and files: nothing of a desktop the caller runs in.
            env = dict(os.environ, DISPLAY=display, XDG_RUNTIME_DIR=runtime)
            for name in ("WAYLAND_DISPLAY", "AT_SPI_BUS_ADDRESS", "DBUS_SESSION_BUS_ADDRESS"):
                env.pop(name, None)
            return subprocess.run(["dbus-run-session", "--", python, __file__, "--inside"] +
                                  arguments, env=env, timeout=280).returncode
    except subprocess.TimeoutExpired:
        print("FAIL: the check did not finish in time")
        return 1
    finally:
        server.terminate()
        server.wait()


# ---- inside: the programs and the tree ----

def wait_for(what, probe, seconds):
    """probe() until it returns something true; errors while the tree is built are retried."""
    deadline = time.monotonic() + seconds
    last_error = None
    while time.monotonic() < deadline:
        try:
            result = probe()
            if result:
                return result
        except Exception as error:  # objects come and go while a window is being built
            last_error = error
        time.sleep(0.25)
    raise Failure(f"timed out waiting for {what}" + (f" ({last_error})" if last_error else ""))


def shown_nodes(node, pyatspi):
    """Every showing node below node, by depth first; hidden pages are not entered."""
    found = []
    for child in node:
        if child is None or not child.getState().contains(pyatspi.STATE_SHOWING):
            continue
        found.append(child)
        found.extend(shown_nodes(child, pyatspi))
    return found


def text_of(node):
    text = node.queryText()
    return text.getText(0, text.characterCount)


def names_by_role(nodes, role):
    return [node.name for node in nodes if node.getRole() == role]


class Program:
    def __init__(self, path, state, pyatspi):
        self.name = os.path.basename(path)
        self.pyatspi = pyatspi
        env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1",
                   QT_QPA_PLATFORM="xcb")
        self.process = subprocess.Popen([path, state], env=env)

    def app(self):
        for app in self.pyatspi.Registry.getDesktop(0):
            if app is not None and app.name == self.name:
                return app
        if self.process.poll() is not None:
            raise SystemExit(f"FAIL: {self.name} ended with {self.process.returncode}")
        return None

    def window(self):
        """The program's window once it shows its controls."""
        app = self.app()
        if app is None or app.childCount == 0:
            return None
        window = app[0]
        return window if window.getState().contains(self.pyatspi.STATE_SHOWING) else None

    def close(self):
        self.process.terminate()
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()


def expect(condition, message):
    if not condition:
        raise Failure(message)


def check_orvane(window, markers, pyatspi):
    decoded = markers["decoded"]

    def tab_list():
        return pyatspi.findDescendant(
            window, lambda node: node.getRole() == pyatspi.ROLE_PAGE_TAB_LIST)
    strip = wait_for("the page tab list", tab_list, APPEAR_SECONDS)
    tabs = [strip[i] for i in range(strip.childCount)]
    expect([tab.getRole() for tab in tabs] == [pyatspi.ROLE_PAGE_TAB] * len(TAB_CAPTIONS),
           f"the strip holds {[tab.getRoleName() for tab in tabs]}")
    expect([tab.name for tab in tabs] == TAB_CAPTIONS,
           f"the tabs are named {[tab.name for tab in tabs]}")

    def selected():
        return [tab.name for tab in tabs if tab.getState().contains(pyatspi.STATE_SELECTED)]
    expect(selected() == ["Main"], f"selected tabs: {selected()}")

    def main_page_filled():
        nodes = shown_nodes(window, pyatspi)
        edits = {node.name: node for node in nodes if node.getRole() == pyatspi.ROLE_TEXT}
        return edits if edits.get("Gold") and text_of(edits["Gold"]) else None
    edits = wait_for("the Main page's values", main_page_filled, APPEAR_SECONDS)
    expect(set(edits) == MAIN_EDITS, f"the Main page's edits are named {sorted(edits)}")
    expect(text_of(edits["Gold"]) == str(decoded["gold"]),
           f"Gold reads {text_of(edits['Gold'])!r}")

    # Select Crono's tab as a screen reader does: through the tab's action.
    action = tabs[1].queryAction()
    actions = [action.getName(i) for i in range(action.nActions)]
    expect("Press" in actions, f"the tab offers {actions}")
    action.doAction(actions.index("Press"))
    wait_for("Crono's tab to be selected", lambda: selected() == ["Crono"], CHANGE_SECONDS)

    def crono_page():
        nodes = shown_nodes(window, pyatspi)
        return nodes if "Max HP" in names_by_role(nodes, pyatspi.ROLE_TEXT) else None
    nodes = wait_for("Crono's page", crono_page, CHANGE_SECONDS)
    edit_names = names_by_role(nodes, pyatspi.ROLE_TEXT)
    list_names = names_by_role(nodes, pyatspi.ROLE_COMBO_BOX)
    expect(sorted(edit_names) == sorted(CHARACTER_EDITS),
           f"Crono's edits are named {edit_names}")
    expect(sorted(list_names) == sorted(CHARACTER_LISTS),
           f"Crono's lists are named {list_names}")
    max_hp = next(node for node in nodes if node.name == "Max HP")
    expect(text_of(max_hp) == str(decoded["chars"]["0"]["max_hp"]),
           f"Max HP reads {text_of(max_hp)!r}")
    # The list is named Face; the face it shows is its text.
    face = next(node for node in nodes if node.name == "Face")
    expect(text_of(face) == FACES[int(markers["wram"][CRONO_FACE])],
           f"the Face list reads {text_of(face)!r}")
    print(f"orvane: 12 page tabs, {len(MAIN_EDITS)} named edits on Main; selecting Crono "
          f"shows {len(edit_names)} named edits and {len(list_names)} named lists")


def check_tellim(window, markers, pyatspi):
    decoded = markers["decoded"]

    def filled_boxes():
        boxes = {node.name: node for node in shown_nodes(window, pyatspi)
                 if node.getRole() == pyatspi.ROLE_TEXT}
        return boxes if boxes.get("Crono") and text_of(boxes["Crono"]) else None
    boxes = wait_for("tellim's boxes", filled_boxes, APPEAR_SECONDS)
    expect(set(boxes) == TELLIM_BOXES, f"tellim's boxes are named {sorted(boxes)}")
    expect(text_of(boxes["Crono"]) == decoded["names"][0],
           f"Crono's box reads {text_of(boxes['Crono'])!r}")
    print(f"tellim: {len(boxes)} named boxes")


def inside(orvane, tellim, data):
    import pyatspi
    runtime = os.environ["XDG_RUNTIME_DIR"]
    try:
        # Asking the registry starts the accessibility bus and its registry before any program.
        wait_for("the accessibility registry",
                 lambda: pyatspi.Registry.getDesktop(0) is not None, APPEAR_SECONDS)
        with open(os.path.join(data, "markers.json")) as markers_file:
            markers = json.load(markers_file)
        for path, check in ((orvane, check_orvane), (tellim, check_tellim)):
            state = os.path.join(runtime, STATE)
            shutil.copyfile(os.path.join(data, STATE), state)
            program = Program(path, state, pyatspi)
            try:
                window = wait_for(f"{program.name}'s window", program.window, APPEAR_SECONDS)
                check(window, markers, pyatspi)
            finally:
                program.close()
    except Failure as failure:
        print(f"FAIL: {failure}")
        return 1
    return 0


def main():
    if len(sys.argv) > 1 and sys.argv[1] == "--inside":
        return inside(*sys.argv[2:5])
    if len(sys.argv) != 4:
        print(__doc__)
        return 2
    return outside(sys.argv[1:4])


if __name__ == "__main__":
    sys.exit(main())
