// The job list and batch printing through the real main window, into the pseudo-terminal
// embosser over the real serial link.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QHeaderView>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <deque>
#include <filesystem>

#include "../emboss/print_test_support.h"
#include "embosser/pty_simulator.h"
#include "gui/announcer.h"
#include "gui/escape_notice.h"
#include "gui/main_window.h"
#include "gui/progress_window.h"
#include "gui/resume_dialog.h"
#include "support/run_cli.h"
#include "workflow/document_entry.h"

namespace redadado {
namespace {

using Bytes = std::vector<std::uint8_t>;
using std::chrono::milliseconds;

constexpr int kFastBaudIndex = 14;  // 256000 baud; the simulator drains quicker still

class ScriptedChooser : public FileChooser {
 public:
  std::deque<std::string> paths;
  std::optional<std::string> ChooseFile(const std::string&, const std::string&) override {
    if (paths.empty()) return std::nullopt;
    std::string path = paths.front();
    paths.pop_front();
    return path;
  }
};

struct JobWindow : test::RunFixture {
  ScriptedChooser chooser;
  MainWindow form{session, messages, chooser};
  EscapeNotice escape;
  ProgressWindow progress{session};
  ResumeDialog resume{session};
  std::unique_ptr<PtySimulator> simulator;

  JobWindow() {
    form.StartUp(std::nullopt);
    form.AttachWindows(nullptr, &escape, &progress, &resume);
    form.show();
    session.settings.values[Settings::kBaudRate] = kFastBaudIndex;
    for (const char* name : {"taketori.bse", "tenji.bes", "kaze.bse"}) {
      std::filesystem::copy_file(std::string(REDADADO_SAMPLES_DIR) + "/" + name, dir / name);
    }
    dir.Write("six.bse", test::BseHeaderLine(6, 18) + test::MarkedDocument(18, 6));
  }

  void StartEmbosser() {
    SimulatorOptions options;
    options.link = dir / "COM1";
    options.pictures = dir / "embossed";
    options.line = *LineParametersFor(session.settings).parameters;
    options.paceBaud = 2'560'000;
    std::string error;
    simulator = PtySimulator::Create(std::move(options), error);
    ASSERT_TRUE(simulator) << error;
    simulator->Start();
  }
  // The stream of the embosser's `number`th connection (from 1).
  Bytes Received(int number) const {
    EXPECT_TRUE(simulator->WaitForSessions(number, milliseconds(30000)));
    const auto sessions = simulator->Sessions();
    return sessions.size() >= static_cast<std::size_t>(number) ? sessions[number - 1].stream
                                                               : Bytes{};
  }

  void Click(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
  void Choose(QPushButton* selection, const std::string& name) {
    chooser.paths.push_back((dir / name).string());
    Click(selection);
  }
  int Shown(const std::string& text) const {
    return static_cast<int>(
        std::count(messages.texts.begin(), messages.texts.end(), "確認: " + text));
  }
  // The grid's cells of one job row (from 1), joined with '|'.
  std::string GridRow(int row) const {
    std::string text;
    for (int column = 0; column < form.jobGrid->columnCount(); ++column) {
      const QTableWidgetItem* item = form.jobGrid->item(row - 1, column);
      text += (column == 0 ? "" : "|") + (item ? item->text().toStdString() : "");
    }
    return text;
  }
};

// What the command-line tool sends for a document with the given options.
Bytes CliStream(const std::filesystem::path& document, std::vector<std::string> options) {
  test::TempDir out;
  const auto file = out / "stream.bin";
  options.insert(options.begin(), {"print", document.string()});
  options.insert(options.end(), {"--output", file.string()});
  const auto r = test::RunCli(options);
  EXPECT_EQ(r.status, 0) << r.err;
  const std::string bytes = test::ReadFile(file);
  return Bytes(bytes.begin(), bytes.end());
}

bool EndsWith(const Bytes& stream, const Bytes& tail) {
  return stream.size() >= tail.size() && std::equal(tail.rbegin(), tail.rend(), stream.rbegin());
}

TEST(JobWindow, GridRegisterDeleteAndTheCloseQuestion) {
  JobWindow w;
  QTableWidget* grid = w.form.jobGrid;
  ASSERT_TRUE(grid->isEnabled() && w.form.registerButton->isEnabled() &&
              w.form.deleteJobButton->isEnabled() && w.form.batchPrintButton->isEnabled());
  ASSERT_EQ(grid->columnCount(), 9);
  QStringList headers;
  for (int column = 0; column < 9; ++column) headers << grid->horizontalHeaderItem(column)->text();
  EXPECT_EQ(headers.join('|'), "Ｎｏ．|ファイル|部数|P.～|～P.|行数|印刷面|点種|打数");
  EXPECT_EQ(grid->focusPolicy(), Qt::ClickFocus);  // not a tab stop
  EXPECT_EQ(grid->editTriggers(), QAbstractItemView::NoEditTriggers);
  EXPECT_EQ(grid->selectionMode(), QAbstractItemView::ContiguousSelection);
  EXPECT_EQ(grid->rowCount(), 0);  // the blank row under the header is only drawn
  EXPECT_EQ(grid->currentRow(), -1);

  w.Click(w.form.registerButton);  // nothing chosen: nothing registered
  EXPECT_EQ(grid->rowCount(), 0);

  w.Choose(w.form.selectBseButton, "taketori.bse");
  w.form.copiesUpDown->SetPosition(3);
  w.form.dotKindList->setCurrentIndex(3);
  w.Click(w.form.registerButton);
  EXPECT_EQ(w.GridRow(1),
            "1|" + (w.dir / "taketori.bse").string() + "|3|1|4|18|表+裏,両面印刷|大|２");
  EXPECT_EQ(grid->rowCount(), 1);
  EXPECT_EQ(w.form.fileEdit->text(), "");
  EXPECT_EQ(w.form.copiesUpDown->Position(), 1);
  EXPECT_EQ(w.form.startPageUpDown->Position(), 1);
  EXPECT_EQ(w.form.lastPageUpDown->Position(), 999);
  EXPECT_EQ(w.form.lastPageUpDown->maximum(), 999);
  EXPECT_EQ(w.form.linesEdit->text(), "");
  EXPECT_EQ(w.form.sideList->currentIndex(), -1);
  EXPECT_EQ(w.form.dotKindList->currentIndex(), 3);
  EXPECT_EQ(w.session.document.path, (w.dir / "taketori.bse").string());

  w.Choose(w.form.selectBseButton, "kaze.bse");
  w.Click(w.form.registerButton);
  w.Choose(w.form.selectBesButton, "tenji.bes");
  w.Click(w.form.registerButton);
  EXPECT_EQ(w.GridRow(2), "2|" + (w.dir / "kaze.bse").string() + "|1|1|2|22|片面印刷|大|２");
  EXPECT_EQ(w.GridRow(3), "3|" + (w.dir / "tenji.bes").string() + "|1|1|2|18|表+裏,両面印刷|大|２");

  // A range from job 2 down: only its top row goes, and the numbers stay in order.
  grid->clearSelection();
  grid->setRangeSelected(QTableWidgetSelectionRange(1, 2, 2, 5), true);
  w.Click(w.form.deleteJobButton);
  EXPECT_EQ(grid->rowCount(), 2);
  EXPECT_EQ(w.GridRow(1),
            "1|" + (w.dir / "taketori.bse").string() + "|3|1|4|18|表+裏,両面印刷|大|２");
  EXPECT_EQ(w.GridRow(2), "2|" + (w.dir / "tenji.bes").string() + "|1|1|2|18|表+裏,両面印刷|大|２");
  EXPECT_EQ(grid->currentRow(), 1);  // the job now in the deleted one's place

  // Without a mouse: Alt+L reaches the list, the arrow keys choose job 2, Alt+D deletes it (a
  // button's key clicks it a moment later, as a press of it would).
  w.form.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&w.form));
  grid->setCurrentCell(0, 0);
  QTest::keyClick(&w.form, Qt::Key_L, Qt::AltModifier);
  ASSERT_TRUE(grid->hasFocus());
  QTest::keyClick(grid, Qt::Key_Down);
  QTest::keyClick(grid, Qt::Key_Tab);  // Tab leaves the list; the chosen row stays chosen
  EXPECT_FALSE(grid->hasFocus());
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_D, Qt::AltModifier);
  EXPECT_TRUE(QTest::qWaitFor([&] { return grid->rowCount() == 1; }));
  EXPECT_EQ(w.GridRow(1),
            "1|" + (w.dir / "taketori.bse").string() + "|3|1|4|18|表+裏,両面印刷|大|２");

  // Closing with jobs asks first; No keeps the window and saves nothing.
  const std::string question = "登録されたジョブが残っています。本当に終了しますか？  ";
  w.messages.answers = {false};
  EXPECT_FALSE(w.form.close());
  EXPECT_EQ(w.Shown(question), 1);
  EXPECT_FALSE(std::filesystem::exists(w.session.paths.SettingsFile()));
  w.messages.answers = {true};
  EXPECT_TRUE(w.form.close());
  EXPECT_EQ(w.Shown(question), 2);
  EXPECT_TRUE(std::filesystem::exists(w.session.paths.SettingsFile()));
}

// The grid as a screen reader has it: a row per job, never the blank bottom row; the keys of the
// job part say what they did; after a delete the reader's focus is on a job that is there.
TEST(JobWindow, AScreenReaderCountsTheJobsAndFollowsADelete) {
  JobWindow w;
  const Announcer* announcer = w.form.findChild<Announcer*>();
  ASSERT_NE(announcer, nullptr);
  QTableWidget* grid = w.form.jobGrid;
  QAccessibleInterface* list = QAccessible::queryAccessibleInterface(grid);
  QAccessibleTableInterface* table = list->tableInterface();
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(table->rowCount(), 0);
  w.form.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&w.form));

  int jobs = 0;
  for (const auto& [button, name] : {std::pair{w.form.selectBseButton, "taketori.bse"},
                                     std::pair{w.form.selectBseButton, "kaze.bse"},
                                     std::pair{w.form.selectBesButton, "tenji.bes"}}) {
    w.Choose(button, name);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_T, Qt::AltModifier);
    ++jobs;
    ASSERT_TRUE(QTest::qWaitFor([&] { return grid->rowCount() == jobs; }));
    EXPECT_EQ(table->rowCount(), jobs);
    EXPECT_EQ(announcer->Text(), QString("ジョブを登録しました。ジョブは %1 件です。").arg(jobs));
  }

  // Alt+L into the list, Up onto job 2, Alt+D: job 3 moves up into its row, which is the
  // reader's focus, so that it never reads the job that went.
  QTest::keyClick(&w.form, Qt::Key_L, Qt::AltModifier);
  ASSERT_TRUE(grid->hasFocus());
  QTest::keyClick(grid, Qt::Key_Up);
  ASSERT_EQ(grid->currentRow(), 1);
  QTest::keyClick(grid, Qt::Key_D, Qt::AltModifier);
  ASSERT_TRUE(QTest::qWaitFor([&] { return grid->rowCount() == 2; }));
  EXPECT_EQ(table->rowCount(), 2);
  EXPECT_EQ(announcer->Text(), "ジョブを取り消しました。ジョブは 2 件です。");
  EXPECT_EQ(grid->currentRow(), 1);
  QAccessibleInterface* focus = list->focusChild();
  ASSERT_NE(focus, nullptr);
  EXPECT_EQ(focus->tableCellInterface()->rowIndex(), 1);
  EXPECT_EQ(focus->text(QAccessible::Name), "2");
  EXPECT_EQ(w.GridRow(2).rfind("2|" + (w.dir / "tenji.bes").string(), 0), 0u);
  const QList<QAccessibleInterface*> selected = table->selectedCells();
  EXPECT_FALSE(selected.isEmpty());
  for (QAccessibleInterface* cell : selected) EXPECT_EQ(cell->tableCellInterface()->rowIndex(), 1);

  // The last job deleted and then the first: the focus is on the list itself, with no row.
  for (int left : {1, 0}) {
    QTest::keyClick(grid, Qt::Key_D, Qt::AltModifier);
    ASSERT_TRUE(QTest::qWaitFor([&] { return grid->rowCount() == left; }));
    EXPECT_EQ(table->rowCount(), left);
  }
  EXPECT_EQ(announcer->Text(), "ジョブを取り消しました。ジョブは 0 件です。");
  EXPECT_EQ(grid->currentRow(), -1);
  EXPECT_EQ(list->focusChild(), nullptr);
  EXPECT_TRUE(table->selectedCells().isEmpty());
}

// What the register button refuses, it says, in the words the same document brings at the other
// ways in; an extension in any letter case is a document's.
TEST(JobWindow, RegistrationChecksTheNameAndTheHeader) {
  const struct {
    const char* name;
    std::string content;
    std::vector<std::string> atRegistration;  // the messages the register button shows
  } cases[] = {
      {"x.Bse", test::BseHeaderLine(2, 18) + "A\r\n", {}},
      {"y.bES", "", {}},  // tenji.bes's bytes
      {"twenty.bse", test::BseHeaderLine(2, 20) + "A\r\n", {kUnsupportedLineCount}},
      {"notes.txt", test::BseHeaderLine(2, 18) + "A\r\n", {kNotADocument}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    JobWindow w;
    if (c.content.empty()) {
      std::filesystem::copy_file(w.dir / "tenji.bes", w.dir / c.name);
    } else {
      w.dir.Write(c.name, c.content);
    }
    const bool bes = c.content.empty();
    w.Choose(bes ? w.form.selectBesButton : w.form.selectBseButton, c.name);
    const std::size_t before = w.messages.texts.size();
    w.Click(w.form.registerButton);
    std::vector<std::string> shown(w.messages.texts.begin() + static_cast<long>(before),
                                   w.messages.texts.end());
    std::vector<std::string> expected;
    for (const std::string& text : c.atRegistration) expected.push_back("確認: " + text);
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(w.form.jobGrid->rowCount(), c.atRegistration.empty() ? 1 : 0);
  }
}

// Six jobs of a long path: every column fits its content, the file column takes the rest, so no
// scroll bar runs across; each new job is selected and in view; the name shows whole.
TEST(JobWindow, LongPathsAndManyJobsStayReadable) {
  JobWindow w;
  const std::filesystem::path folder =
      w.dir / "とても長いフォルダーの名前がここに続きます" / "さらに長い名前のフォルダーがもう一つ";
  std::filesystem::create_directories(folder);
  std::filesystem::copy_file(w.dir / "taketori.bse", folder / "taketori.bse");
  QTableWidget* grid = w.form.jobGrid;
  const QString path = QString::fromStdString((folder / "taketori.bse").string());
  for (int job = 1; job <= 6; ++job) {
    SCOPED_TRACE(job);
    w.Choose(w.form.selectBseButton,
             std::filesystem::relative(folder / "taketori.bse", w.dir.path()).string());
    w.form.copiesUpDown->SetPosition(100);
    w.Click(w.form.registerButton);
    QApplication::processEvents();
    ASSERT_EQ(grid->rowCount(), job);
    EXPECT_EQ(grid->currentRow(), job - 1);
    EXPECT_TRUE(grid->selectionModel()->isRowSelected(job - 1, QModelIndex()) ||
                grid->item(job - 1, 0)->isSelected());
    EXPECT_TRUE(grid->viewport()->rect().contains(grid->visualItemRect(grid->item(job - 1, 0))));
  }
  const QTableWidgetItem* file = grid->item(5, 1);
  EXPECT_EQ(file->text(), path);
  EXPECT_EQ(file->toolTip(), path);
  EXPECT_EQ(file->data(Qt::AccessibleDescriptionRole).toString(), path);
  int total = 0;
  for (int column = 0; column < grid->columnCount(); ++column) {
    total += grid->columnWidth(column);
    if (column == 1) continue;
    EXPECT_GE(grid->columnWidth(column), grid->horizontalHeader()->sectionSizeHint(column))
        << column;
  }
  EXPECT_LE(total, grid->viewport()->width());
  EXPECT_GT(grid->columnWidth(1), 200);
}

TEST(JobWindow, ThreeJobsPrintOverOneConfirmationAsTheToolPrintsEach) {
  JobWindow w;
  w.StartEmbosser();
  w.Choose(w.form.selectBseButton, "taketori.bse");
  w.Click(w.form.registerButton);
  w.Choose(w.form.selectBesButton, "tenji.bes");
  w.Click(w.form.registerButton);
  w.Choose(w.form.selectBseButton, "six.bse");
  w.form.copiesUpDown->SetPosition(2);
  w.form.startPageUpDown->SetPosition(3);
  w.form.lastPageUpDown->SetPosition(5);
  w.form.dotKindList->setCurrentIndex(3);  // 大点、２度打ち
  w.Click(w.form.registerButton);
  ASSERT_EQ(w.form.jobGrid->rowCount(), 3);

  w.Click(w.form.batchPrintButton);
  const Bytes expected = [&] {
    Bytes all;
    for (const Bytes& part :
         {CliStream(w.dir / "taketori.bse", {"--pages", "1-4", "--side", "2", "--dots", "0"}),
          CliStream(w.dir / "tenji.bes", {"--pages", "1-2", "--side", "2", "--dots", "0"}),
          CliStream(w.dir / "six.bse",
                    {"--copies", "2", "--pages", "3-5", "--side", "2", "--dots", "3"})}) {
      all.insert(all.end(), part.begin(), part.end());
    }
    return all;
  }();
  const Bytes received = w.Received(1);
  EXPECT_TRUE(received == expected) << test::HexDiff(expected, received);
  EXPECT_EQ(w.simulator->Sessions().size(), 1u);
  EXPECT_EQ(w.Shown(kSerialConfirmation), 1);
  EXPECT_EQ(w.form.jobGrid->rowCount(), 0);
  EXPECT_EQ(w.form.Jobs().RowCount(), 2);
  EXPECT_EQ(w.GridRow(1), "||||||||");
  // The last job's copies and dot kind stay; the run reset the rest.
  EXPECT_EQ(w.form.copiesUpDown->Position(), 2);
  EXPECT_EQ(w.form.dotKindList->currentIndex(), 3);
  EXPECT_EQ(w.form.fileEdit->text(), "");
  EXPECT_TRUE(w.form.batchPrintButton->isEnabled() && w.form.registerButton->isEnabled());
}

TEST(JobWindow, AVanishedFileOrAStoppedJobGoesOnWithTheNext) {
  JobWindow w;
  w.StartEmbosser();
  const std::vector<std::string> kazeOptions = {"--pages", "1-2", "--side", "-1", "--dots", "0"};

  // The first job's file is gone by the time the batch runs.
  std::filesystem::copy_file(w.dir / "taketori.bse", w.dir / "gone.bse");
  w.Choose(w.form.selectBseButton, "gone.bse");
  w.Click(w.form.registerButton);
  w.Choose(w.form.selectBseButton, "kaze.bse");
  w.Click(w.form.registerButton);
  std::filesystem::remove(w.dir / "gone.bse");
  w.Click(w.form.batchPrintButton);
  EXPECT_EQ(w.Shown(kCannotOpenFile), 1);
  const Bytes kaze = CliStream(w.dir / "kaze.bse", kazeOptions);
  EXPECT_TRUE(w.Received(1) == kaze);
  EXPECT_EQ(w.form.jobGrid->rowCount(), 0);

  // Esc while the first job's first page is sent, then the stop choice.
  w.Choose(w.form.selectBseButton, "taketori.bse");
  w.Click(w.form.registerButton);
  w.Choose(w.form.selectBseButton, "kaze.bse");
  w.Click(w.form.registerButton);
  bool escPressed = false;
  bool stopped = false;
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    const bool firstJob = w.form.Jobs().JobCount() == 2;
    // Until the run takes it up: an Esc seen while the page's lines are read is forgotten at the
    // next line, one seen while its bytes go out stops the run after it.
    if (!stopped && firstJob && !w.resume.isVisible() &&
        w.progress.progressLabel->toolTip().contains("1 部目、1 ページ目")) {
      QTest::keyClick(&w.form, Qt::Key_Escape);
      escPressed = true;
    }
    if (w.resume.isVisible() && !stopped) {
      stopped = true;
      EXPECT_TRUE(w.resume.stopRadio->isChecked());
      QTest::mouseClick(w.resume.okButton, Qt::LeftButton);
    }
  });
  watch.start(0);
  w.Click(w.form.batchPrintButton);
  watch.stop();
  EXPECT_TRUE(escPressed && stopped);
  const Bytes received = w.Received(2);
  EXPECT_TRUE(EndsWith(received, kaze)) << received.size();
  EXPECT_GT(received.size(), kaze.size());
  EXPECT_EQ(w.form.jobGrid->rowCount(), 0);
}

}  // namespace
}  // namespace redadado

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
