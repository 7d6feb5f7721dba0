#include <gtest/gtest.h>

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QTest>
#include <QUrl>
#include <filesystem>

#include "emboss/held_output.h"
#include "emboss/memory_sink.h"
#include "gui/qt_seams.h"
#include "support/window_fixture.h"

namespace redadado {
namespace {

using std::chrono::milliseconds;
using test::CliStream;
using test::Sample;
using test::WindowFixture;

void Drop(MainWindow& form, const QStringList& files) {
  QMimeData mime;
  QList<QUrl> urls;
  for (const QString& file : files) urls << QUrl::fromLocalFile(file);
  mime.setUrls(urls);
  QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&form, &enter);
  ASSERT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&form, &drop);
}

void ExpectControlsReset(const MainWindow& form) {
  EXPECT_EQ(form.fileEdit->text(), QString());
  EXPECT_EQ(form.linesEdit->text(), QString());
  EXPECT_EQ(form.startPageEdit->text(), QString("1"));
  EXPECT_EQ(form.lastPageUpDown->maximum(), 999);
  EXPECT_EQ(form.lastPageEdit->text(), QString("999"));
  EXPECT_EQ(form.sideList->currentIndex(), -1);
}

// Counts the times a window is shown, however briefly.
class ShowCounter : public QObject {
 public:
  explicit ShowCounter(QWidget* window) { window->installEventFilter(this); }
  int shown = 0;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Show) ++shown;
    return false;
  }
};

void SetNumber(QLineEdit* edit, const char* number) {
  edit->selectAll();
  QTest::keyClicks(edit, number);
}

TEST(PrintFromTheWindow, PrintButtonSendsWhatTheToolSendsForTheSameOptions) {
  WindowFixture app;
  auto simulator = app.StartSimulator();
  ASSERT_TRUE(simulator);
  app.chooser.answers = {Sample("taketori.bse")};
  QTest::mouseClick(app.form.selectBseButton, Qt::LeftButton);
  SetNumber(app.form.copiesEdit, "2");
  SetNumber(app.form.startPageEdit, "2");
  SetNumber(app.form.lastPageEdit, "3");
  app.form.dotKindList->setCurrentIndex(3);  // 大点、２度打ち
  bool quitRefused = false;
  int progressUpAtQuestion = 0;
  app.messages.onShow = [&](const std::string& text) {
    // While the run waits for the back side, the window cannot be closed under it.
    if (text == kBackSideQuestion) quitRefused = !app.form.close();
    if (text == kBackSideQuestion && app.progress.isVisible()) ++progressUpAtQuestion;
  };
  const ShowCounter progress(&app.progress);
  QTest::mouseClick(app.form.printButton, Qt::LeftButton);
  EXPECT_TRUE(quitRefused);
  // The progress window is down while the back side is asked for, and stays up from the end of
  // copy 1 into copy 2: shown for copy 1's front and after each question, 3 times in all.
  EXPECT_EQ(progressUpAtQuestion, 0);
  EXPECT_EQ(progress.shown, 3);
  EXPECT_FALSE(app.progress.isVisible());
  EXPECT_FALSE(app.form.Printing());
  const SimulatorSession session = WindowFixture::OnlySession(*simulator);
  const std::vector<std::uint8_t> expected = CliStream(
      app.dir,
      {Sample("taketori.bse"), "--copies", "2", "--pages", "2-3", "--dots", "large-double"});
  EXPECT_EQ(session.stream, expected) << test::HexDiff(expected, session.stream);
  EXPECT_TRUE(session.problems.empty()) << session.Summary();
  ExpectControlsReset(app.form);
  EXPECT_EQ(app.form.Copies(), 2);  // copies and dot kind stay
  EXPECT_EQ(app.form.Dots(), DotKind::kLargeDouble);
  EXPECT_NE(std::find(app.messages.texts.begin(), app.messages.texts.end(),
                      std::string("確認: ") + kCannotQuitWhilePrinting),
            app.messages.texts.end());
  EXPECT_TRUE(app.form.printButton->isEnabled());
  // Every progress text is raised as a notification too, as the run goes.
  std::vector<std::string> raised;
  for (const std::string& call : app.readers.Take()) {
    if (call.starts_with("ua 現在、")) raised.push_back(call);
  }
  ASSERT_GE(raised.size(), 4u);
  EXPECT_NE(raised.front().find("の 1 部目、"), std::string::npos) << raised.front();
  EXPECT_NE(raised.back().find("の 2 部目、"), std::string::npos) << raised.back();
}

// Esc pressed (a real key) while page 2 is being sent: the page is finished, the resume dialog
// offers pages up to 2, and the run resumes from page 2.
TEST(PrintFromTheWindow, EscInterruptsAfterThePageAndResumesFromTheChosenPage) {
  const auto namesPage2 = [](const std::string& text) {
    return text.find("、2 ページ目") != std::string::npos;
  };
  // What the engine sends when the same happens without windows.
  test::RunFixture alone;
  alone.session.document.path = Sample("taketori.bse");
  alone.controls.side = SideMode::kFrontAndBackInOrder;
  alone.controls.lastPage = 4;
  bool interrupted = false;
  alone.ui.onPump = [&](int) {
    if (!interrupted && !alone.ui.calls.empty() && namesPage2(alone.ui.calls.back())) {
      alone.session.run.escapeRequested = 1;
    }
  };
  alone.ui.onResumeDialog = [&](int maxPage) {
    EXPECT_EQ(maxPage, 2);
    alone.session.run.resumePage = 2;
    interrupted = true;
  };
  MemorySink memory;
  ASSERT_EQ(alone.Run(memory), PrintResult::kDone);
  ASSERT_TRUE(interrupted);

  WindowFixture app;
  auto simulator = app.StartSimulator();
  ASSERT_TRUE(simulator);
  app.chooser.answers = {Sample("taketori.bse")};
  QTest::mouseClick(app.form.selectBseButton, Qt::LeftButton);
  app.form.sideList->setCurrentIndex(3);  // 表＋裏、番号順片面印刷: every page in order
  bool resumed = false;
  const ShowCounter notice(&app.escape);
  int limit = 0;
  app.Repeat([&] {
    if (resumed) return true;
    if (namesPage2(FromQt(app.progress.progressLabel->toolTip()))) {
      QTest::keyClick(&app.progress, Qt::Key_Escape);
    }
    return false;
  });
  app.Repeat([&] {
    if (!app.resume.isVisible()) return false;
    EXPECT_FALSE(app.escape.isVisible());
    EXPECT_TRUE(app.resume.stopRadio->isChecked());
    limit = app.resume.pageUpDown->maximum();
    app.resume.resumeRadio->setChecked(true);
    app.resume.pageUpDown->SetPosition(2);
    QTest::mouseClick(app.resume.okButton, Qt::LeftButton);
    resumed = true;
    return true;
  });
  QTest::mouseClick(app.form.printButton, Qt::LeftButton);
  EXPECT_TRUE(resumed);
  EXPECT_EQ(notice.shown, 1);
  EXPECT_EQ(limit, 2);
  EXPECT_NE(std::find(app.messages.texts.begin(), app.messages.texts.end(),
                      "確認: 2 ページから印刷を再開します。準備はよろしいですか？"),
            app.messages.texts.end());
  const SimulatorSession session = WindowFixture::OnlySession(*simulator);
  EXPECT_EQ(session.stream, memory.bytes) << test::HexDiff(memory.bytes, session.stream);
  EXPECT_FALSE(app.progress.isVisible());
}

TEST(PrintFromTheWindow, ADropPrintsTheFirstFileAndRemovesItsTemporaryFile) {
  WindowFixture app;
  auto simulator = app.StartSimulator();
  ASSERT_TRUE(simulator);
  Drop(app.form, {QString::fromStdString(Sample("tenji.bes")),
                  QString::fromStdString(Sample("taketori.bse"))});
  ASSERT_TRUE(QTest::qWaitFor([&] { return !simulator->Sessions().empty(); }, 10000));
  ASSERT_TRUE(QTest::qWaitFor([&] { return !app.form.Printing(); }, 10000));
  const SimulatorSession session = WindowFixture::OnlySession(*simulator);
  const std::vector<std::uint8_t> expected = CliStream(app.dir, {Sample("tenji.bes")});
  EXPECT_EQ(session.stream, expected) << test::HexDiff(expected, session.stream);
  EXPECT_FALSE(std::filesystem::exists(app.session.paths.TemporaryBse()));
  ExpectControlsReset(app.form);
  QTest::qWait(50);
  EXPECT_EQ(simulator->Sessions().size(), 1u);  // the second file was not printed
  // Printing again: the temporary file is gone, which the run reports after the port opened.
  app.messages.texts.clear();
  QTest::mouseClick(app.form.printButton, Qt::LeftButton);
  EXPECT_EQ(app.messages.texts.back(), "確認: ファイルがオープンできませんでした。");
}

// Closing the progress window in the middle of a run is an Esc: the window stays, the page is
// finished, and the resume dialog asks how to go on.
TEST(PrintFromTheWindow, ClosingTheProgressWindowIsAnEsc) {
  WindowFixture app;
  auto simulator = app.StartSimulator();
  ASSERT_TRUE(simulator);
  app.chooser.answers = {Sample("taketori.bse")};
  QTest::mouseClick(app.form.selectBseButton, Qt::LeftButton);
  // Closed until the run takes it up: an Esc seen while lines are read is forgotten at the next.
  int closes = 0;
  bool closeRefused = true;
  bool stillShown = true;
  bool stopped = false;
  app.Repeat([&] {
    if (app.progress.isVisible() && !app.resume.isVisible()) {
      ++closes;
      closeRefused = closeRefused && !app.progress.close();
      stillShown = stillShown && app.progress.isVisible();
    }
    if (!app.resume.isVisible()) return false;
    QTest::mouseClick(app.resume.okButton, Qt::LeftButton);
    stopped = true;
    return true;
  });
  const ShowCounter notice(&app.escape);
  QTest::mouseClick(app.form.printButton, Qt::LeftButton);
  EXPECT_TRUE(closes > 0 && closeRefused && stillShown && stopped);
  EXPECT_EQ(notice.shown, 1);
  EXPECT_FALSE(app.progress.isVisible());
  EXPECT_FALSE(app.form.Printing());
}

// The ways a document given on the command line or dropped can be refused, and what stays.
TEST(PrintFromTheWindow, DirectPrintRefusesWhatItCannotPrint) {
  struct Case {
    const char* name;
    std::string file;  // created when it ends in '*'
    std::deque<bool> answers;
    std::vector<std::string> texts;
  };
  const std::string confirm = std::string("確認: ") + kSerialConfirmation;
  const Case cases[] = {
      {"not a document", "notes.txt*", {}, {"確認: ＮＥＦで扱えるファイルではありません。"}},
      {"mixed-case extension", "doc.Bse*", {false}, {confirm}},
      {"mixed-case BES", "doc.bEs*", {false}, {confirm}},
      {"extension not last", "doc.bse.bak*", {}, {"確認: ＮＥＦで扱えるファイルではありません。"}},
      {"missing BSE", "gone.bse", {}, {"確認: ＢＳＥファイルがオープンできませんでした。"}},
      {"missing BES", "gone.BES", {}, {"確認: ＢＥＳファイルがオープンできませんでした。"}},
      {"declined", "doc.bse*", {false}, {confirm}},
      {"a folder's name",
       "old.bse/notes.txt*",
       {},
       {"確認: ＮＥＦで扱えるファイルではありません。"}},
      {"refused header",
       "doc.BSE*",
       {true},
       {confirm, "確認: 行数が不適切です。ＮＥＦでは扱えません。"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WindowFixture app;
    auto simulator = app.StartSimulator();
    ASSERT_TRUE(simulator);
    std::string path = (app.dir / c.file).string();
    if (path.back() == '*') {
      path.pop_back();
      std::filesystem::create_directories(std::filesystem::path(path).parent_path());
      app.dir.Write(std::filesystem::relative(path, app.dir.path()).string(), "x");
    }
    app.messages.answers = c.answers;
    app.form.StartUp(path);
    EXPECT_EQ(app.messages.texts, c.texts);
    EXPECT_EQ(app.form.lastPageEdit->text(), QString("999"));
    // The port opens only after the confirmation; a refused header comes after it opened.
  }
}

TEST(PrintFromTheWindow, DecliningADroppedDocumentKeepsItForThePrintButton) {
  WindowFixture app;
  auto simulator = app.StartSimulator();
  ASSERT_TRUE(simulator);
  app.messages.answers = {false};
  Drop(app.form, {QString::fromStdString(Sample("kaze.bse"))});
  ASSERT_TRUE(QTest::qWaitFor([&] { return !app.messages.texts.empty(); }, 5000));
  EXPECT_EQ(app.form.fileEdit->text(), QString::fromStdString(Sample("kaze.bse")));
  EXPECT_EQ(app.session.document.path, Sample("kaze.bse"));
  // Declining a BES file leaves the document before it.
  app.messages.answers = {false};
  Drop(app.form, {QString::fromStdString(Sample("tenji.bes"))});
  ASSERT_TRUE(QTest::qWaitFor([&] { return app.messages.texts.size() == 2; }, 5000));
  EXPECT_EQ(app.session.document.path, Sample("kaze.bse"));
  QTest::mouseClick(app.form.printButton, Qt::LeftButton);
  const SimulatorSession session = WindowFixture::OnlySession(*simulator);
  // kaze.bse is a 22-line document: every page, no side chosen after the drop.
  const std::vector<std::uint8_t> expected =
      CliStream(app.dir, {Sample("kaze.bse"), "--pages", "1-999"});
  EXPECT_EQ(session.stream, expected) << test::HexDiff(expected, session.stream);
}

// A dropped BES file that cannot be converted leaves the document before it shown, and that is
// the one the print button embosses.
TEST(PrintFromTheWindow, AFailedConversionKeepsWhatIsShownAndPrinted) {
  WindowFixture app;
  auto simulator = app.StartSimulator();
  ASSERT_TRUE(simulator);
  app.chooser.answers = {Sample("kaze.bse")};
  QTest::mouseClick(app.form.selectBseButton, Qt::LeftButton);
  // The temporary file cannot be written where a folder of that name stands.
  std::filesystem::create_directories(app.session.paths.TemporaryBse());
  for (const bool dropped : {true, false}) {
    SCOPED_TRACE(dropped ? "dropped" : "selected");
    app.messages.texts.clear();
    app.messages.answers = {true};
    if (dropped) {
      Drop(app.form, {QString::fromStdString(Sample("tenji.bes"))});
      ASSERT_TRUE(QTest::qWaitFor([&] { return app.messages.texts.size() == 2; }, 5000));
    } else {
      app.chooser.answers = {Sample("tenji.bes")};
      QTest::mouseClick(app.form.selectBesButton, Qt::LeftButton);
      ASSERT_EQ(app.messages.texts.size(), 1u);
    }
    EXPECT_EQ(app.messages.texts.back().rfind("確認: ＢＳＥファイルが作成できませんでした", 0), 0u)
        << app.messages.texts.back();
    EXPECT_EQ(app.form.fileEdit->text(), QString::fromStdString(Sample("kaze.bse")));
    EXPECT_EQ(app.session.document.path, Sample("kaze.bse"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !app.form.Printing(); }, 5000));
  }
  app.messages.answers = {true};
  const int before = static_cast<int>(simulator->Sessions().size());
  QTest::mouseClick(app.form.printButton, Qt::LeftButton);
  ASSERT_TRUE(simulator->WaitForSessions(before + 1, milliseconds(30000)));
  const std::vector<std::uint8_t> expected =
      CliStream(app.dir, {Sample("kaze.bse"), "--pages", "1-999"});
  const std::vector<std::uint8_t> stream = simulator->Sessions().back().stream;
  EXPECT_EQ(stream, expected) << test::HexDiff(expected, stream);
}

// A document given at start-up prints with its windows on screen, and Esc on the progress window
// interrupts it, while the main window is not shown yet.
TEST(PrintFromTheWindow, StartUpPrintShowsItsWindowsAndTakesEsc) {
  WindowFixture app;
  app.form.hide();
  auto simulator = app.StartSimulator();
  ASSERT_TRUE(simulator);
  const ShowCounter progress(&app.progress);
  bool pressed = false;
  bool stopped = false;
  app.Repeat([&] {
    // Until the run takes it up: an Esc seen while lines are read is forgotten at the next.
    if (app.progress.isVisible() && !app.resume.isVisible()) {
      QTest::keyClick(&app.progress, Qt::Key_Escape);
      pressed = true;
    }
    if (!app.resume.isVisible()) return false;
    QTest::mouseClick(app.resume.okButton, Qt::LeftButton);  // 中止, the default
    stopped = true;
    return true;
  });
  app.form.StartUp(Sample("taketori.bse"));
  EXPECT_TRUE(pressed && stopped);
  EXPECT_GE(progress.shown, 1);
  const SimulatorSession session = WindowFixture::OnlySession(*simulator);
  const std::vector<std::uint8_t> expected = CliStream(app.dir, {Sample("taketori.bse")});
  EXPECT_LT(session.stream.size(), expected.size());
  EXPECT_FALSE(app.progress.isVisible());
  ExpectControlsReset(app.form);
  for (const std::string& text : app.messages.texts)
    EXPECT_EQ(text.find("お知らせ"), std::string::npos);
}

// An embosser that never takes the rest of the page: Esc offers to give the run up.
TEST(PrintFromTheWindow, EscDuringAnEndlessHoldAbandonsTheRun) {
  WindowFixture app;
  SimulatorOptions options;
  options.holdAfterBytes = 300;
  options.holdFor = milliseconds(60000);
  auto simulator = app.StartSimulator(options);
  ASSERT_TRUE(simulator);
  app.chooser.answers = {Sample("taketori.bse")};
  QTest::mouseClick(app.form.selectBseButton, Qt::LeftButton);
  app.form.sideList->setCurrentIndex(0);
  SetNumber(app.form.copiesEdit, "8");
  constexpr milliseconds kPatience(300);
  app.form.SetHoldPatience(kPatience);
  // Esc once the output is held (the terminal's buffers fill within milliseconds at the test's
  // pace), and again until asked: an Esc seen while lines are read is forgotten at the next line.
  // The first answer keeps waiting; the next Esc asks again, and the second answer gives up.
  int asked = 0;
  app.messages.answers = {true, false, true};
  app.messages.onShow = [&](const std::string& text) {
    if (text == kAbandonHeldQuestion) ++asked;
  };
  const auto start = std::chrono::steady_clock::now();
  app.Repeat([&] {
    if (asked < 2 && std::chrono::steady_clock::now() - start > milliseconds(200)) {
      QTest::keyClick(app.form.fileEdit, Qt::Key_Escape);
    }
    return asked == 2;
  });
  const ShowCounter notice(&app.escape);
  QTest::mouseClick(app.form.printButton, Qt::LeftButton);
  // Asked once the byte had waited the patience, not at the first Esc.
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_GT(elapsed, kPatience);
  EXPECT_LT(elapsed, kPatience + milliseconds(3000));
  EXPECT_GE(notice.shown, 1);  // the Esc was acknowledged at once
  const std::vector<std::string> texts = {std::string("確認: ") + kSerialConfirmation,
                                          std::string("確認: ") + kAbandonHeldQuestion,
                                          std::string("確認: ") + kAbandonHeldQuestion};
  EXPECT_EQ(app.messages.texts, texts);
  ExpectControlsReset(app.form);
  EXPECT_FALSE(app.form.Printing());
  // The run's windows do not outlive it.
  EXPECT_FALSE(app.progress.isVisible());
  EXPECT_FALSE(app.escape.isVisible());
}

}  // namespace
}  // namespace redadado
