"""What the screen-reader tests share: a workspace with the programs and their settings, the
embosser simulator on a pseudo-terminal, a private speech server whose log holds every text it was
given, and waits that pump the bus's events (a plain sleep leaves pyatspi's cache stale)."""

import html
import os
import re
import shutil
import subprocess
import time

from gi.repository import GLib

WORK = os.path.join(os.environ["REDADADO_A11Y_SCRATCH"], "app")


def pump(seconds):
    """Lets pyatspi take in the bus's events while time passes."""
    context = GLib.MainContext.default()
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        while context.iteration(False):
            pass
        time.sleep(0.01)


def keyboard_window():
    """The title of the window that has the X keyboard focus."""
    return subprocess.run(["xdotool", "getwindowfocus", "getwindowname"], capture_output=True,
                          text=True).stdout.rstrip("\n")


def wait_for(what, condition, timeout=20):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        pump(0.05)
        try:
            result = condition()
        except Exception:  # an object that went away while being read
            result = None
        if result:
            return result
    raise AssertionError(f"timed out waiting for {what} (keyboard in {keyboard_window()!r})")


def expect(what, actual, expected):
    if actual != expected:
        raise AssertionError(f"{what}: expected {expected!r}, got {actual!r}")


BAUD_RATES = [110, 300, 600, 1200, 2400, 4800, 9600, 14400, 19200, 38400, 56000, 57600, 115200]


def prepare_workspace(application, cli, baud=115200, guide=0):
    """Copies the programs where their settings file can lie beside them, with COM1 at the
    speed the simulator is to pace itself at and the speech guide's choice (0: none, 1: PC-Talker).
    Returns the copies' paths."""
    os.makedirs(WORK)
    for program in (application, cli):
        shutil.copy(program, WORK)
    with open(os.path.join(WORK, "NEF.ini"), "w") as settings:
        settings.write(f"{BAUD_RATES.index(baud)} 0 0 4 0 0 {guide}")
    return tuple(os.path.join(WORK, os.path.basename(p)) for p in (application, cli))


def start_simulator(cli_path, sessions, baud=115200):
    """The embosser simulator on the pseudo-terminal the settings name COM1."""
    simulator = subprocess.Popen(
        [cli_path, "emboss-sim", "--link", os.path.join(WORK, "COM1"), "--pictures",
         os.path.join(WORK, "sheets"), "--baud", str(baud), "--sessions", str(sessions)],
        stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    wait_for("the simulator's COM1", lambda: os.path.exists(os.path.join(WORK, "COM1")))
    return simulator


def start_speech_server(folder):
    """A speech-dispatcher of the test's own, with the dummy module and ALSA sent nowhere.
    Returns the process, the socket's address for SPEECHD_ADDRESS and the log."""
    for sub in ("conf", "log", "home"):
        os.makedirs(os.path.join(folder, sub))
    with open(os.path.join(folder, "conf", "speechd.conf"), "w") as conf:
        conf.write('LogLevel 5\nAudioOutputMethod "alsa"\nAddModule "dummy" "sd_dummy" ""\n'
                   'DefaultModule "dummy"\nDefaultLanguage "ja"\n')
    with open(os.path.join(folder, "home", ".asoundrc"), "w") as alsa:
        alsa.write("pcm.!default { type null }\n")
    socket = os.path.join(folder, "sd.sock")
    server = subprocess.Popen(
        ["speech-dispatcher", "-s", "-t", "0", "-C", os.path.join(folder, "conf"), "-L",
         os.path.join(folder, "log"), "-S", socket],
        env=dict(os.environ, HOME=os.path.join(folder, "home")),
        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    wait_for("the speech server", lambda: os.path.exists(socket))
    return server, "unix_socket:" + socket, os.path.join(folder, "log", "speech-dispatcher.log")


def spoken(log):
    """The texts the speech server has taken, in order: a text may run over several lines, and
    Orca's come as SSML, whose marks are no words."""
    with open(log, encoding="utf-8", errors="replace") as lines:
        texts = re.findall(r"Queueing message \|(.*?)\| with priority", lines.read(), re.DOTALL)
    return [" ".join(html.unescape(re.sub(r"<[^>]*>", "", text)).split())
            if text.startswith("<speak>") else text for text in texts]


def expected_stream(cli_path, document, name="expected.bin", *options):
    """The bytes the command-line tool makes of the document with the options given (the
    default ones without)."""
    path = os.path.join(WORK, name)
    subprocess.run([cli_path, "print", document, *options, "--output", path], check=True)
    with open(path, "rb") as stream:
        return stream.read()


def check_stream(cli_path, output, session, document):
    """The simulator's session received as many bytes as the tool's stream of the document."""
    received = f"接続 {session}: {len(expected_stream(cli_path, document))} バイト受信"
    if received not in output:
        raise AssertionError(f"session {session} did not receive the document: {output}")


def end(*processes):
    """Ends the processes the test started, each by its own id: asked first (Orca writes out its
    debug record then), killed if it does not go."""
    for process in processes:
        if process is not None and process.poll() is None:
            process.terminate()
            try:
                process.wait(timeout=5)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()
