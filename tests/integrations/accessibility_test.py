# The picker as a screen reader sees it: on an X server of its own, with the desktop's
# accessibility bus, the AT-SPI tree names every control and the chips of the deck and
# My Palette, and moving the keyboard over the deck announces the chip it lands on.
# Run: /usr/bin/python3 THIS PALETTRA DATA_DIR PALETTE_FILE
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

palettra, data_dir, palette = sys.argv[1:4]

# A home, runtime and session bus of the test's own, set before the bus starts: the
# accessibility bus it starts for the picker puts its socket in the runtime folder, and
# the user's own folders are never touched.
if not os.environ.get("PALETTRA_ACCESSIBILITY_SESSION"):
    home = tempfile.mkdtemp()
    os.chmod(home, 0o700)
    for folder in ("config", "cache", "data"):
        os.mkdir(os.path.join(home, folder))
    os.environ.update(HOME=home, XDG_RUNTIME_DIR=home, XDG_CONFIG_HOME=os.path.join(home, "config"),
                      XDG_CACHE_HOME=os.path.join(home, "cache"), XDG_DATA_HOME=os.path.join(home, "data"),
                      XDG_DATA_DIRS=data_dir + ":/usr/local/share:/usr/share", PALETTRA_ACCESSIBILITY_SESSION="1")
    os.environ.pop("QT_QPA_PLATFORM", None)
    os.execvp("dbus-run-session", ["dbus-run-session", "--", sys.executable] + sys.argv)

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAILED:", what)


def start_x_server():
    """An X server of the test's own, and its display name. Servers started together may
    reach for the same display; the one that loses exits, and the next number is tried."""
    number = 200 + os.getpid() % 400
    for attempt in range(20):
        display = ":%d" % (number + attempt)
        server = subprocess.Popen(["Xvfb", display, "-screen", "0", "1280x900x24", "-nolisten", "tcp"],
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        deadline = time.time() + 20
        while server.poll() is None and time.time() < deadline:
            answer = subprocess.run(["xdotool", "getdisplaygeometry"], env=dict(os.environ, DISPLAY=display),
                                    capture_output=True)
            time.sleep(0.3)
            if answer.returncode == 0 and server.poll() is None:
                return server, display
        server.kill()
        server.wait()
    raise SystemExit("no X server would start")


def accessibility_bus_address():
    """The accessibility bus's address once its launcher answers on the session bus."""
    reply = subprocess.run(["dbus-send", "--session", "--print-reply=literal", "--dest=org.a11y.Bus",
                            "/org/a11y/bus", "org.a11y.Bus.GetAddress"], capture_output=True, text=True)
    return reply.stdout.strip() if reply.returncode == 0 else ""


def wait_for(condition, seconds=30):
    """What the condition finds once it finds it; the bus's news (a new application) is
    taken in meanwhile."""
    context = GLib.MainContext.default() if "GLib" in globals() else None
    deadline = time.time() + seconds
    while time.time() < deadline:
        while context is not None and context.pending():
            context.iteration(False)
        found = condition()
        if found:
            return found
        time.sleep(0.1)
    return None


def walk(node, found):
    found.append(node)
    for index in range(node.childCount):
        child = node.getChildAtIndex(index)
        if child is not None:
            walk(child, found)
    return found


def showing(node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


server, display = start_x_server()
os.environ.update(DISPLAY=display)
environment = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
# The launcher, its bus and the registry the bus starts share a process group, ended
# together; none holds the test's output open (CTest waits for it to close).
bus = subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"], env=environment,
                       start_new_session=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
picker = None
try:
    # The accessibility bus and its registry are up before the picker (or this test's own
    # client) looks for them: a program that finds no bus at its start never joins one.
    if not wait_for(accessibility_bus_address, 60):
        raise SystemExit("the accessibility bus launcher never answered")
    import pyatspi  # noqa: E402
    from gi.repository import GLib  # noqa: E402

    def desktop_answers():
        try:
            return pyatspi.Registry.getDesktop(0).childCount >= 0
        except Exception:
            return False

    check(wait_for(desktop_answers, 60), "the accessibility bus answers")
    picker = subprocess.Popen([palettra, "--load-palette", palette], env=environment)

    def application_on_bus():
        desktop = pyatspi.Registry.getDesktop(0)
        for index in range(desktop.childCount):
            app = desktop.getChildAtIndex(index)
            if app is not None and app.name == "palettra":
                return app
        return None

    application = wait_for(application_on_bus, 90)
    check(application is not None, "the picker is on the accessibility bus")
    if application is None:
        raise SystemExit(1)
    # The window is drawn and its chips painted once the deck shows its chips.
    deck = wait_for(lambda: next((node for node in walk(application, []) if node.name == "Fan deck" and node.childCount), None), 60)
    check(deck is not None, "the deck is a list of chips")
    nodes = walk(application, [])

    # Every control a user can see has a name.
    controls = {pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_CHECK_BOX, pyatspi.ROLE_RADIO_BUTTON, pyatspi.ROLE_TEXT,
                pyatspi.ROLE_PAGE_TAB, pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_SLIDER, pyatspi.ROLE_LIST_ITEM}
    unnamed = [node.getRoleName() for node in nodes if node.getRole() in controls and showing(node) and not node.name]
    check(not unnamed, "every control shown has a name: %s" % unnamed)
    tabs = [node.name for node in nodes if node.getRole() == pyatspi.ROLE_PAGE_TAB]
    check("Schemes" in tabs and "Trends" in tabs, "the tabs are page tabs: %s" % tabs)

    # A My Palette cell and the deck's chips by their codes, in the clipboard's words.
    cells = [node for node in nodes if node.parent is not None and node.parent.name == "My Palette"
             and node.getRole() == pyatspi.ROLE_LIST_ITEM]
    check(any(cell.name.startswith("OT 1042 Studio Seafoam \u2014 #56BDC6") for cell in cells),
          "a My Palette cell names its chip: %s" % [cell.name for cell in cells[:3]])
    check(len(cells) == 24 and cells[-1].description == "My Palette, row 4, column 6", "every cell is there, with its place")
    chips = [deck.getChildAtIndex(index) for index in range(deck.childCount)]
    middle = [chip for chip in chips if chip.description.startswith("Card ")]
    current = [chip for chip in middle if chip.getState().contains(pyatspi.STATE_SELECTED)]
    check(len(middle) >= 3 and len(current) == 1 and current[0].name.startswith("OT "),
          "the deck's middle card has its chips and one is current: %s" % [chip.name for chip in current])

    # A click on the middle card's second chip gives the deck the keys; Down moves to the
    # third, which is announced as focused.
    focused = []

    def heard(event):
        if event.detail1 == 1 and event.source is not None:
            focused.append(event.source.name)
            if event.source.name == middle[2].name:
                pyatspi.Registry.stop()

    def press():
        extents = middle[1].queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        x, y = extents.x + extents.width // 2, extents.y + extents.height // 2
        subprocess.run(["xdotool", "mousemove", str(x), str(y), "click", "1", "sleep", "0.5", "key", "Down"],
                       env=environment, check=False)
        return False

    pyatspi.Registry.registerEventListener(heard, "object:state-changed:focused")
    GLib.timeout_add(100, press)
    GLib.timeout_add_seconds(30, lambda: pyatspi.Registry.stop() or False)
    pyatspi.Registry.start()
    check(middle[2].name in focused, "moving the keyboard announces the chip: %s, heard %s" % (middle[2].name, focused))
finally:
    if picker is not None:
        picker.kill()
        picker.wait()
    for ending in (signal.SIGTERM, signal.SIGKILL):
        try:
            os.killpg(bus.pid, ending)
        except ProcessLookupError:
            break
        time.sleep(0.5)
    bus.wait()
    server.kill()
    server.wait()
    shutil.rmtree(os.environ["HOME"], ignore_errors=True)

print("RESULT", "FAILED" if failures else "PASSED", len(failures))
sys.exit(1 if failures else 0)
