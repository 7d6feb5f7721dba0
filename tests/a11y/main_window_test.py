"""The main window as Orca reads it, driven the way a blind user drives it.

The real application runs on the AT-SPI bus (started by run-screen-reader-test). Through pyatspi,
the library Orca itself uses, the test answers the start-up notice, tabs through every control
checking the focused control's role and name at each step, selects a document in the file
dialog, prints it with the print button's accessible action, answers the confirmation, and
checks that the embosser simulator on the pseudo-terminal received the very stream that the
command-line tool makes of the same document. Then it quits through the quit button.

Usage: main_window_test.py APPLICATION CLI DOCUMENT
"""

import os
import shutil
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

APPLICATION, CLI, DOCUMENT = (os.path.abspath(path) for path in sys.argv[1:4])
WORK = os.path.join(os.environ["REDADADO_A11Y_SCRATCH"], "app")

# The tab order of the main window: role and accessible name of each stop.
TAB_ORDER = [
    ("push button", "ＢＳＥファイル選択"),
    ("push button", "ＢＥＳファイル選択"),
    ("text", "ファイル"),
    ("text", "部数"),
    ("spin button", "部数のアップダウン"),
    ("text", "開始ページ"),
    ("spin button", "開始ページのアップダウン"),
    ("text", "終了ページ"),
    ("spin button", "終了ページのアップダウン"),
    ("combo box", "点種"),
    ("text", "行数"),
    ("combo box", "印刷面"),
    ("push button", "ビュー"),
    ("push button", "登録"),
    ("push button", "印刷"),
    ("push button", "取り消し"),
    ("push button", "まとめ印刷"),
    ("push button", "設定"),
    ("push button", "終了"),
]
TAB, RETURN = 0xFF09, 0xFF0D


def pump(seconds):
    """Lets pyatspi take in the bus's events while time passes."""
    context = GLib.MainContext.default()
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        while context.iteration(False):
            pass
        time.sleep(0.01)


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
    raise AssertionError("timed out waiting for " + what)


def expect(what, actual, expected):
    if actual != expected:
        raise AssertionError(f"{what}: expected {expected!r}, got {actual!r}")


def find(root, role, name=None):
    return pyatspi.findDescendant(
        root,
        lambda x: x is not None and x.getRoleName() == role and (name is None or x.name == name),
        breadth_first=True)


def focused(application):
    return pyatspi.findDescendant(
        application, lambda x: x is not None and x.getState().contains(pyatspi.STATE_FOCUSED),
        breadth_first=True)


def text_of(accessible):
    return accessible.queryText().getText(0, -1)


def press(accessible):
    action = accessible.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    action.doAction(names.index("Press") if "Press" in names else 0)


def key(symbol):
    pyatspi.Registry.generateKeyboardEvent(symbol, None, pyatspi.KEY_SYM)


def answer(application, caption, text_part, button):
    """Reads a message box as Orca does (an alert named by its caption) and presses a button."""
    box = wait_for(f"the message box {caption}", lambda: find(application, "alert", caption))
    label = wait_for("the message text",
                     lambda: pyatspi.findDescendant(
                         box, lambda x: x is not None and x.getRoleName() == "label"
                         and text_part in x.name))
    text = label.name
    wait_for(f"the button {button}", lambda: find(box, "push button", button))
    press(find(box, "push button", button))
    wait_for(f"{caption} to close", lambda: find(application, "alert", caption) is None)
    return text


def main():
    os.makedirs(WORK)
    for program in (APPLICATION, CLI):
        shutil.copy(program, WORK)
    application_path = os.path.join(WORK, os.path.basename(APPLICATION))
    cli_path = os.path.join(WORK, os.path.basename(CLI))
    # 115200 baud on COM1: the simulator paces itself at the same speed.
    with open(os.path.join(WORK, "NEF.ini"), "w") as settings:
        settings.write("12 0 0 4 0 0 0")

    simulator = subprocess.Popen(
        [cli_path, "emboss-sim", "--link", os.path.join(WORK, "COM1"), "--pictures",
         os.path.join(WORK, "sheets"), "--baud", "115200", "--sessions", "1"],
        stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    wait_for("the simulator's COM1", lambda: os.path.exists(os.path.join(WORK, "COM1")))

    app = subprocess.Popen([application_path],
                           env=dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                                    QT_QPA_PLATFORM="xcb"))
    try:
        desktop = pyatspi.Registry.getDesktop(0)
        application = wait_for(
            "the application on the bus",
            lambda: next((a for a in desktop if a is not None and a.name == "redadado"), None))
        pump(0.3)

        notice = answer(application, "ＮＥＦからお知らせ", "Ａ４", "OK")
        expect("start-up notice", notice.startswith("ＮＥＦは Ａ４"), True)

        # Button1 has the focus; Tab visits every enabled control in order and comes back.
        first = wait_for("the focus on the first button", lambda: focused(application))
        expect("first focus", (first.getRoleName(), first.name), TAB_ORDER[0])
        stops = [stop for stop in TAB_ORDER[1:] + TAB_ORDER[:1]
                 if find(application, *stop).getState().contains(pyatspi.STATE_SENSITIVE)]
        for role, name in stops:
            key(TAB)
            now = wait_for(f"focus on {name}",
                           lambda: (lambda f: f if f is not None and f.name == name else None)(
                               focused(application)))
            expect(f"role of {name}", now.getRoleName(), role)
            print(f"Tab: {role} {name}")
        tenshu = find(application, "combo box", "点種")
        expect("the closed dot-kind list as Orca reads it", text_of(tenshu), "中点")
        print_button = find(application, "push button", "印刷")
        expect("print key", print_button.queryAction().getKeyBinding(0), "Alt+P")
        expect("print description", print_button.description,
               "選択されたファイルを直ちに点字印刷します")
        expect("batch key", find(application, "push button", "まとめ印刷")
               .queryAction().getKeyBinding(0), "Alt+R")

        # Select the document in the file dialog, typing its path as a user would.
        press(find(application, "push button", "ＢＳＥファイル選択"))
        dialog = wait_for("the file dialog", lambda: find(application, "dialog", "ＢＳＥファイルの選択"))
        entry = wait_for("the file name field",
                         lambda: (lambda f: f if f is not None and f.getRoleName() == "text"
                                  else None)(focused(dialog)))
        entry.queryEditableText().setTextContents(DOCUMENT)
        pump(0.2)
        key(RETURN)
        file_field = find(application, "text", "ファイル")
        wait_for("the chosen path in the file field", lambda: text_of(file_field) == DOCUMENT)
        expect("lines per page", text_of(find(application, "text", "行数")), "２２行（片面）")

        press(print_button)
        answer(application, "確認", "準備はよろしいですか", "OK")
        output, _ = simulator.communicate(timeout=120)
        wait_for("the document controls reset after the run", lambda: text_of(file_field) == "")

        expected_stream = os.path.join(WORK, "expected.bin")
        subprocess.run([cli_path, "print", DOCUMENT, "--output", expected_stream], check=True)
        received = f"接続 1: {os.path.getsize(expected_stream)} バイト受信"
        if received not in output:
            raise AssertionError(f"the simulator did not receive the document: {output}")
        print(output.strip())
        subprocess.run([cli_path, "print", DOCUMENT, "--pictures",
                        os.path.join(WORK, "expected-sheets")], check=True, capture_output=True)
        sheets = sorted(os.listdir(os.path.join(WORK, "sheets")))
        expect("embossed sheets", sheets, sorted(os.listdir(os.path.join(WORK, "expected-sheets"))))
        for sheet in sheets:
            with open(os.path.join(WORK, "sheets", sheet), "rb") as got, \
                 open(os.path.join(WORK, "expected-sheets", sheet), "rb") as want:
                expect(f"sheet {sheet}", got.read() == want.read(), True)

        press(find(application, "push button", "終了"))
        expect("exit status", app.wait(timeout=20), 0)
        with open(os.path.join(WORK, "NEF.ini")) as settings:
            expect("settings saved at quit", settings.read(), "12 0 0 4 0 0 0")
    finally:
        for process in (app, simulator):
            if process.poll() is None:
                process.kill()
                process.wait()
    print("1 passed, 0 failed")


if __name__ == "__main__":
    main()
