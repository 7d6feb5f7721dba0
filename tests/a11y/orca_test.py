"""What a blind user hears from the real Orca while using the application with the keyboard alone.

Orca runs on the private desktop that run-screen-reader-test sets up and speaks into a private
speech server; every text it was given is in the server's log, and the test waits there for each
phrase in turn before the next key (Orca drops what it has queued when keys come faster than it
speaks). The session: the start-up notice and the main window, a Tab walk, a document typed into
the file dialog, a print to the embosser simulator (its bytes compared with the command-line
tool's), a long print interrupted with Esc and resumed, then interrupted again and stopped, three
jobs registered, one deleted and the others printed as a batch (its bytes compared too), the page
view, and quit.

Usage: orca_test.py APPLICATION CLI DOCUMENT
"""

import os
import re
import subprocess
import sys
import time

from a11y_session import (WORK, end, expect, expected_stream, prepare_workspace, spoken,
                          start_simulator, start_speech_server, wait_for)

APPLICATION, CLI, DOCUMENT = (os.path.abspath(path) for path in sys.argv[1:4])
# A serial embosser's own speed: a page takes a couple of seconds, as on paper, so that an Esc
# lands in the middle of one and its notice stays up while the page is finished.
BAUD = 38400

# What Orca says as the Tab key walks the main window with no document chosen, back to the start.
TAB_WALK = [
    ("ＢＥＳファイル選択 push button",),
    ("ファイル read only text",),
    ("部数 text",),
    ("部数のアップダウン 1 spin button",),
    ("開始ページ text",),
    ("開始ページのアップダウン 1 spin button",),
    ("終了ページ text",),
    ("終了ページのアップダウン 999 spin button",),
    ("点種 ： combo box", "中点"),
    ("行数 read only text", "空白"),
    ("印刷面 ： combo box",),
    ("ビュー push button",),
    ("登録 push button",),
    ("印刷 push button",),
    ("取り消し push button",),
    ("まとめ印刷 push button",),
    ("設定 push button",),
    ("終了 push button",),
    ("ＢＳＥファイル選択 push button",),
]


class Hearing:
    """Orca's speech as the speech server logged it, read in order: each phrase is looked for
    after the end of the one heard before it."""

    def __init__(self, log):
        self.log = log
        self.text = 0  # where the last phrase heard ended: its text and the offset in it
        self.offset = 0

    def __call__(self, *phrases, timeout=30):
        for phrase in phrases:
            self.text, self.offset = wait_for(f"Orca to say {phrase!r}",
                                              lambda: self._find(phrase), timeout)
        return self

    def _find(self, phrase):
        texts = spoken(self.log)
        for index in range(self.text, len(texts)):
            at = texts[index].find(phrase, self.offset if index == self.text else 0)
            if at >= 0:
                return index, at + len(phrase)
        return None


def key(*names):
    """Real key presses, as Orca hears them (an AT-SPI action would bypass its key handling)."""
    subprocess.run(["xdotool", "key", "--clearmodifiers", *names], check=True)


def type_text(text):
    subprocess.run(["xdotool", "type", "--clearmodifiers", "--delay", "20", text], check=True)


def choose_document(hear, opening_key, focus_back="ＢＳＥファイル選択 push button"):
    """Opens the file dialog with a key and types the document's path into it; the focus goes
    back where it was."""
    key(opening_key)
    hear("ＢＳＥファイルの選択")
    type_text(DOCUMENT)
    key("Return")
    hear(focus_back)


def check_single_print(cli_path, output):
    """The simulator's first session, the single print, is what the tool makes of the same
    document with the same options: as many bytes, and sheet by sheet the same pictures."""
    received = f"接続 1: {len(expected_stream(cli_path, DOCUMENT))} バイト受信"
    expect(f"{received} in the simulator's report", received in output, True)
    pictures = os.path.join(WORK, "expected-sheets")
    subprocess.run([cli_path, "print", DOCUMENT, "--pictures", pictures], check=True,
                   stderr=subprocess.DEVNULL)
    for name in sorted(os.listdir(pictures)):
        with open(os.path.join(pictures, name), "rb") as tool, \
                open(os.path.join(WORK, "sheets", name), "rb") as embossed:
            expect(f"sheet {name} as the tool embosses it", embossed.read() == tool.read(), True)


def main():
    # The speech guide chosen: beside Orca it must keep quiet, or the two cut each other off.
    application_path, cli_path = prepare_workspace(APPLICATION, CLI, BAUD, guide=1)
    speech_server, speech_address, speech_log = start_speech_server(os.path.join(WORK, "speech"))
    os.environ["SPEECHD_ADDRESS"] = speech_address
    simulator = start_simulator(cli_path, 3, BAUD)
    prefs = os.path.join(WORK, "orca")
    os.makedirs(prefs)
    began = time.monotonic()
    orca = app = None
    hear = Hearing(speech_log)
    try:
        orca = subprocess.Popen(["orca", "-u", prefs], stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)
        hear("Screen reader on", timeout=60)
        # No QT_LINUX_ACCESSIBILITY_ALWAYS_ON: a running screen reader turns Qt's on by itself.
        app = subprocess.Popen([application_path], env=dict(os.environ, QT_QPA_PLATFORM="xcb"))

        # Start: the notice, then the main window and its first button.
        hear("ＮＥＦからお知らせ", "ＮＥＦは Ａ４", "OK push button", timeout=60)
        key("Return")
        hear("Redadado", "ＢＳＥファイル選択 push button", "印刷するＢＳＥファイルを選択します")

        # The Tab walk.
        for stop in TAB_WALK:
            key("Tab")
            hear(*stop)

        # Enter on the first button opens the file dialog; the path typed, the focus is back.
        choose_document(hear, "Return")

        # A print: the confirmation, the progress window, the end.
        key("alt+p")
        hear("確認", "準備はよろしいですか", "OK push button")
        key("Return")
        hear("印刷情報", "kaze.bse の 1 部目、1 ページ目", "印刷が終わりました", timeout=60)

        # Many copies: Esc just after a page is announced, resume from page 1; Esc again, stop.
        choose_document(hear, "alt+b")
        for stop in ("ＢＥＳファイル選択", "ファイル read only text", "部数 text"):
            key("Tab")
            hear(stop)
        for digit in "99":
            key(digit)
            hear(digit)
        key("alt+p")
        hear("確認", "準備はよろしいですか", "OK push button")
        key("Return")
        hear("印刷情報", "1 部目、1 ページ目")
        hear("現在、")  # a page later on: one every few seconds
        key("Escape")
        hear("エスケープキーを検出しました")
        hear("印刷の再開・中断", "ＥＳＣキーによって印刷が中断されました", "印刷を中止する")
        key("Up")
        hear("指定ページから印刷を再開する")
        key("Return")
        hear("確認", "1 ページから印刷を再開します", "OK push button")
        key("Return")
        hear("現在、")
        key("Escape")
        hear("エスケープキーを検出しました")
        hear("印刷の再開・中断", "ＥＳＣキーによって印刷が中断されました", "印刷を中止する")
        key("Return")
        hear("印刷が終わりました", timeout=60)

        # Three jobs of a copy each, one deleted, the other two printed as a batch.
        key("ctrl+a")
        key("1")
        hear("1")
        for jobs in (1, 2, 3):
            choose_document(hear, "alt+b", "部数 text")
            key("alt+t")
            hear(f"ジョブを登録しました。ジョブは {jobs} 件です。")
        key("alt+l")
        hear("ジョブリスト")
        key("alt+d")
        hear("ジョブを取り消しました。ジョブは 2 件です。")
        key("alt+r")
        hear("確認", "準備はよろしいですか", "OK push button")
        key("Return")
        # The batch's own announcements (its progress, "印刷が終わりました。ジョブは 0 件です。")
        # are not asserted: Orca, flooded by the changes of loading job after job, drops them.
        # The list it comes back to is heard empty.
        hear("ジョブリスト", "table with 0 rows", timeout=120)

        # The page view from the overview: the page box first, named by its label.
        choose_document(hear, "alt+b", "ジョブリスト")
        key("alt+v")
        hear("kaze.bse dialog", "ページの一覧")
        key("Home")
        key("Return")
        hear("kaze.bse dialog", "ページ ： editable combo box", "1")
        key("Escape")
        hear("ページの一覧")
        key("Escape")
        hear("ジョブリスト")

        # Quit: no job is left, so no question.
        key("alt+q")
        expect("exit status", app.wait(timeout=20), 0)
        output, _ = simulator.communicate(timeout=60)
        print(output.strip())
        check_single_print(cli_path, output)
        batch = f"接続 3: {2 * len(expected_stream(cli_path, DOCUMENT))} バイト受信"
        expect(f"{batch} (the batch of two jobs)", batch in output, True)
        # Orca's texts come as SSML; a plain one would be the guide's.
        with open(speech_log, encoding="utf-8", errors="replace") as log:
            texts = re.findall(r"Queueing message \|(.*?)\| with priority", log.read(), re.DOTALL)
        expect("texts not from Orca", [t for t in texts if not t.startswith("<speak>")], [])
    finally:
        print("Orca said:\n  " + "\n  ".join(spoken(speech_log)))
        print(f"{time.monotonic() - began:.1f} s with Orca")
        end(app, orca, simulator, speech_server)
    print("1 passed, 0 failed")


if __name__ == "__main__":
    main()
