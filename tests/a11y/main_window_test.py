"""The main window as Orca reads it, driven the way a blind user drives it.

The real application runs on the AT-SPI bus (started by run-screen-reader-test). Through pyatspi,
the library Orca itself uses, the test answers the start-up notice, tabs through every control
checking the focused control's role and name at each step, turns the speech guide on in the
settings dialog, selects a document in the file dialog, registers it as a job (and reaches the job
list with Alt+L), prints it with the print button's accessible action and then as a batch,
answering each confirmation, and checks that the embosser simulator on the pseudo-terminal received
as much as the command-line tool makes of the same document, each time. Then a hundred copies,
interrupted with Esc and resumed through the resume dialog; and the quit button. A private
speech-dispatcher shows what the speech guide said: nothing while the choice is "使用しない", its texts
once it is "ＰＣ-Ｔａｌｋｅｒ ＸＰ".

Usage: main_window_test.py APPLICATION CLI DOCUMENT
"""

import os
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

from a11y_session import (WORK, check_stream, end, expect, keyboard_window, prepare_workspace,
                          pump, spoken, start_simulator, start_speech_server, wait_for)

APPLICATION, CLI, DOCUMENT = (os.path.abspath(path) for path in sys.argv[1:4])

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
TAB, RETURN, ESCAPE, BACKSPACE, END, UP, DOWN = (0xFF09, 0xFF0D, 0xFF1B, 0xFF08, 0xFF57, 0xFF52,
                                                  0xFF54)


def find(root, role, name=None):
    return pyatspi.findDescendant(
        root,
        lambda x: x is not None and x.getRoleName() == role and (name is None or x.name == name),
        breadth_first=True)


class FocusTracker:
    """The control that last gained the focus, from the bus's focus events, as Orca follows it."""

    def __init__(self):
        self.current = None
        self.history = []
        pyatspi.Registry.registerEventListener(self._changed, "object:state-changed:focused")

    def _changed(self, event):
        if event.detail1:
            self.current = event.source
            try:
                self.history.append((event.source.getRoleName(), event.source.name))
            except GLib.GError:  # gone already (a closed list's item)
                pass


FOCUS = None


def focused():
    return FOCUS.current


def named(accessible, name):
    return accessible is not None and accessible.name == name


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


def choose_document(application, path):
    """Selects a document in the file dialog, typing its path as a user would."""
    press(find(application, "push button", "ＢＳＥファイル選択"))
    wait_for("the file dialog", lambda: find(application, "dialog", "ＢＳＥファイルの選択"))
    entry = wait_for("the file name field",
                     lambda: (lambda f: f if f is not None and f.getRoleName() == "text"
                              else None)(focused()))
    entry.queryEditableText().setTextContents(path)
    pump(0.2)
    key(RETURN)
    file_field = find(application, "text", "ファイル")
    wait_for("the chosen path in the file field", lambda: text_of(file_field) == path)


def ask_every_text_query(root):
    """Every text field answers every text query at once: each boundary type at each offset,
    the end and past it included, with a unit that is the text between its offsets."""
    fields = pyatspi.findAllDescendants(
        root, lambda x: x is not None and x.getRoleName() in ("text", "entry"))
    slowest = 0.0
    for field in fields:
        text = field.queryText()
        whole = text.getText(0, -1)
        for boundary in range(7):  # ATSPI_TEXT_BOUNDARY_CHAR … LINE_END
            for offset in range(-1, len(whole) + 3):
                for query in (text.getTextAtOffset, text.getTextBeforeOffset,
                              text.getTextAfterOffset):
                    began = time.monotonic()
                    unit, start, end = query(offset, boundary)
                    slowest = max(slowest, time.monotonic() - began)
                    if 0 <= start <= end and unit != whole[start:end]:
                        raise AssertionError(f"{field.name} {query.__name__}({offset}, "
                                             f"{boundary}) gave {unit!r} at {start}-{end}")
    # A frozen window never answers; a slow answer is a frozen one on the way.
    expect(f"every text query of {[f.name for f in fields]} within half a second",
           slowest < 0.5, True)
    return len(fields)


def main():
    application_path, cli_path = prepare_workspace(APPLICATION, CLI)
    speech_server, speech_address, speech_log = start_speech_server(os.path.join(WORK, "speech"))
    simulator = start_simulator(cli_path, 3)

    app = subprocess.Popen([application_path],
                           env=dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                                    QT_QPA_PLATFORM="xcb", SPEECHD_ADDRESS=speech_address))
    try:
        desktop = pyatspi.Registry.getDesktop(0)
        application = wait_for(
            "the application on the bus",
            lambda: next((a for a in desktop if a is not None and a.name == "redadado"), None))
        # Qt reads the listeners once at start before it follows their changes: listen once the
        # start-up notice shows, well after that.
        wait_for("the start-up notice", lambda: find(application, "alert", "ＮＥＦからお知らせ"))
        pump(0.3)
        global FOCUS
        FOCUS = FocusTracker()
        pump(0.5)  # the application hears of the new listener through the bus

        notice = answer(application, "ＮＥＦからお知らせ", "Ａ４", "OK")
        expect("start-up notice", notice.startswith("ＮＥＦは Ａ４"), True)

        # Button1 has the focus; Tab visits every enabled control in order and comes back.
        first = find(application, *TAB_ORDER[0])
        wait_for("the focus on the first button",
                 lambda: named(focused(), TAB_ORDER[0][1])
                 or first.getState().contains(pyatspi.STATE_FOCUSED))
        stops = [stop for stop in TAB_ORDER[1:] + TAB_ORDER[:1]
                 if find(application, *stop).getState().contains(pyatspi.STATE_SENSITIVE)]
        for role, name in stops:
            key(TAB)
            now = wait_for(f"focus on {name}",
                           lambda: (lambda f: f if f is not None and f.name == name else None)(
                               focused()))
            expect(f"role of {name}", now.getRoleName(), role)
            print(f"Tab: {role} {name}")
        # Orca takes a "frame" (or window, dialog) for a window of its own and, while that is
        # not the active one, says nothing of the controls in it: inside the main window there
        # may be none, or a blind user hears nothing of the document controls.
        inner = pyatspi.findAllDescendants(
            application[0],
            lambda x: x is not None and x.getRoleName() in ("frame", "window", "dialog"))
        expect("windows inside the main window", [(x.getRoleName(), x.name) for x in inner], [])
        tenshu = find(application, "combo box", "点種")
        expect("the closed dot-kind list as Orca reads it", text_of(tenshu), "中点")
        # An arrow key on the closed list moves the reader's focus to the chosen item, which
        # Orca then says; back again, for the prints below.
        tenshu.queryComponent().grabFocus()
        wait_for("the focus on the dot kind", lambda: named(focused(), "点種"))
        for symbol, item in ((DOWN, "大点"), (UP, "中点")):
            key(symbol)
            now = wait_for(f"the focus on {item}",
                           lambda: (lambda f: f if named(f, item) else None)(focused()))
            expect(f"role of {item}", now.getRoleName(), "list item")
        first.queryComponent().grabFocus()
        wait_for("the focus back on the first button", lambda: named(focused(), TAB_ORDER[0][1]))
        print_button = find(application, "push button", "印刷")
        expect("print key", print_button.queryAction().getKeyBinding(0), "Alt+P")
        expect("print description", print_button.description,
               "選択されたファイルを直ちに点字印刷します")
        expect("batch key", find(application, "push button", "まとめ印刷")
               .queryAction().getKeyBinding(0), "Alt+R")

        expect("speech with the choice 使用しない", spoken(speech_log), [])

        # The settings dialog: the speech guide's list, read and changed from the keyboard.
        press(find(application, "push button", "設定"))
        dialog = wait_for("the settings dialog", lambda: find(application, "dialog", "\u3000設定"))
        readers = find(dialog, "combo box", "音声ガイド")
        expect("port list as Orca reads it", text_of(find(dialog, "combo box", "ポート名")),
               "ＣＯＭ１")
        for name in ("ポート名", "ボーレート", "フロー制御", "ビット長", "ストップビット", "パリティ",
                     "音声ガイド"):
            if name != "ポート名":
                key(TAB)
            wait_for(f"focus on {name}", lambda: named(focused(), name))
        expect("reader list as Orca reads it", text_of(readers), "使用しない")
        key(DOWN)
        wait_for("PC-Talker chosen", lambda: text_of(readers) == "ＰＣ-Ｔａｌｋｅｒ ＸＰ")
        press(find(dialog, "push button", "ＯＫ"))
        wait_for("the settings dialog to close",
                 lambda: not dialog.getState().contains(pyatspi.STATE_SHOWING))
        # A button's action leaves the focus where it was: back on the first button.
        wait_for("the focus back in the main window", lambda: named(focused(), "ＢＳＥファイル選択"))
        key(TAB)
        key(TAB)
        wait_for("the focus on the file field", lambda: named(focused(), "ファイル"))

        choose_document(application, DOCUMENT)
        file_field = find(application, "text", "ファイル")
        expect("lines per page", text_of(find(application, "text", "行数")), "２２行（片面）")
        print(f"text queries answered by {ask_every_text_query(application[0])} fields")

        grid = find(application, "table", "ジョブリスト")
        rows = grid.queryTable().nRows
        expect("rows of the empty job list (the blank row is no job)", rows, 0)
        for jobs in (1, 2):
            if jobs > 1:
                choose_document(application, DOCUMENT)
            press(find(application, "push button", "登録"))
            wait_for(f"{jobs} jobs in the list", lambda: grid.queryTable().nRows == jobs)
        # Alt+L takes the keyboard to the job list, where the reader reads the current cell;
        # Tab leaves it again.
        subprocess.run(["xdotool", "key", "alt+l"], check=True)
        cell = wait_for("the focus in the job list",
                        lambda: (lambda f: f if f is not None and f.getRoleName() in
                                 ("table cell", "table") else None)(focused()))
        print(f"Alt+L: {cell.getRoleName()} {cell.name} ({cell.description})")
        # Up onto job 1, Alt+D: job 2 takes its row, and the reader is told of that row again, so
        # that where-am-I never reads the job that went.
        key(UP)
        wait_for("the focus on job 1", lambda: named(focused(), "1"))
        FOCUS.current = None
        subprocess.run(["xdotool", "key", "alt+d"], check=True)
        wait_for("one job left in the list", lambda: grid.queryTable().nRows == 1)
        wait_for("the focus on the job now in row 1",
                 lambda: focused() is not None and focused().getRoleName() == "table cell"
                 and named(focused(), "1"))
        key(TAB)
        wait_for("the focus out of the job list",
                 lambda: focused() is not None
                 and focused().getRoleName() not in ("table cell", "table"))
        print(f"Tab: {focused().getRoleName()} {focused().name}")
        # Alt+Down opens a list: the reader's focus ends on its current item, not on the list.
        dots = find(application, "combo box", "点種")
        dots.queryComponent().grabFocus()
        wait_for("the focus on the dot kinds", lambda: named(focused(), "点種"))
        FOCUS.history.clear()
        subprocess.run(["xdotool", "key", "alt+Down"], check=True)
        wait_for("the current dot kind focused after the open list",
                 lambda: ("list", "点種") in FOCUS.history
                 and FOCUS.history[-1] == ("list item", "中点")
                 and FOCUS.history.index(("list", "点種")) < len(FOCUS.history) - 1)
        print(f"Alt+Down: {FOCUS.history}")
        key(ESCAPE)
        wait_for("the focus back on the dot kinds", lambda: named(focused(), "点種"))

        press(print_button)
        answer(application, "確認", "準備はよろしいですか", "OK")
        wait_for("the document controls reset after the run", lambda: text_of(file_field) == "")

        press(find(application, "push button", "まとめ印刷"))
        answer(application, "確認", "準備はよろしいですか", "OK")
        wait_for("the job list emptied by the batch", lambda: grid.queryTable().nRows == rows)

        # A hundred copies, interrupted with Esc and resumed from the resume dialog.
        choose_document(application, DOCUMENT)
        copies = find(application, "text", "部数")
        copies.queryComponent().grabFocus()
        wait_for("the focus on the copies", lambda: named(focused(), "部数"))
        for symbol in (END, BACKSPACE, ord("1"), ord("0"), ord("0")):
            key(symbol)
        wait_for("a hundred copies", lambda: text_of(copies) == "100")
        press(print_button)
        answer(application, "確認", "準備はよろしいですか", "OK")
        main_caption = application[0].name
        # Esc once the run is seen moving on, so that it has begun (and taken up any earlier
        # Esc). The run shows its progress window anew as it goes, and a key that meets a
        # window in the middle of that is lost, as it would be for a user: press again.
        progress = find(application, "filler", "\u3000印刷情報")[0]
        before = progress.name
        wait_for("the run moving on", lambda: progress.name != before)
        resume_caption = "\u3000印刷の再開・中断"
        run_windows = (main_caption, "\u3000印刷情報", resume_caption)
        for _ in range(10):
            wait_for("the keyboard with the run's windows",
                     lambda: keyboard_window() in run_windows)
            if keyboard_window() == resume_caption:
                break
            key(ESCAPE)
            try:
                wait_for("the resume dialog",
                         lambda: keyboard_window() == resume_caption, timeout=2)
                break
            except AssertionError:
                pass
        else:
            raise AssertionError("Esc never brought the resume dialog")
        resume = find(application, "dialog", resume_caption)
        stop = find(resume, "radio button", "印刷を中止する")
        wait_for("the focus on stopping", lambda: named(focused(), "印刷を中止する"))
        expect("stopping preselected", stop.getState().contains(pyatspi.STATE_CHECKED), True)
        expect("resume page field", text_of(find(resume, "text", "再開ページ")), "1")
        ask_every_text_query(resume)
        key(UP)
        choice = find(resume, "radio button", "指定ページから印刷を再開する")
        wait_for("resuming chosen", lambda: choice.getState().contains(pyatspi.STATE_CHECKED))
        press(find(resume, "push button", "ＯＫ"))
        answer(application, "確認", "1 ページから印刷を再開します。", "OK")
        wait_for("the document controls reset after the resumed run",
                 lambda: text_of(file_field) == "", timeout=120)

        output, _ = simulator.communicate(timeout=120)
        print(output.strip())
        check_stream(cli_path, output, 1, DOCUMENT)
        check_stream(cli_path, output, 2, DOCUMENT)
        if "接続 3: " not in output or output.count("面を出力しました") != 3:
            raise AssertionError(f"the interrupted run did not reach the embosser whole: {output}")

        # What the speech guide said once PC-Talker was chosen.
        said = spoken(speech_log)
        for text in ("ＢＥＳファイル選択のボタン　イー", "文章ファイルを呼び出してください",
                     "終了ページの変更　2", "終了ページの変更　999", "部数　1", "部数の変更　100"):
            if text not in said:
                raise AssertionError(f"the speech guide did not say {text}: {said}")
        print("spoken:", " / ".join(said))

        press(find(application, "push button", "終了"))
        expect("exit status", app.wait(timeout=20), 0)
        with open(os.path.join(WORK, "NEF.ini")) as settings:
            expect("settings saved at quit", settings.read(), "12 0 0 4 0 0 1")
    finally:
        end(app, simulator, speech_server)
    print("1 passed, 0 failed")


if __name__ == "__main__":
    main()
