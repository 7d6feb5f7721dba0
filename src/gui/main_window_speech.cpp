#include <QApplication>
#include <QLineEdit>
#include <string>
#include <utility>
#include <vector>

#include "gui/main_window.h"
#include "gui/qt_seams.h"

namespace redadado {

namespace {

using enum SpeakingControl;

// Speaks a control when the window's focus moves onto it, as an OnEnter handler would: focus
// that comes back to the same control (a message box or another window closing) says nothing
// again.
class FocusAnnouncer : public QObject {
 public:
  struct Watched {
    QWidget* widget;
    SpeakingControl control;
  };

  FocusAnnouncer(QWidget* window, SpeechGuide& guide, std::vector<Watched> watched)
      : QObject(window), window_(window), guide_(guide), watched_(std::move(watched)) {
    connect(qApp, &QApplication::focusChanged, this, &FocusAnnouncer::FocusChanged);
  }

 private:
  void FocusChanged(QWidget*, QWidget* now) {
    if (now == nullptr || now->window() != window_) return;
    for (const Watched& watched : watched_) {
      // An up-down's focus sits in its inner edit.
      if (now != watched.widget && !watched.widget->isAncestorOf(now)) continue;
      if (watched.widget == last_) return;
      last_ = watched.widget;
      const auto* edit = qobject_cast<QLineEdit*>(watched.widget);
      guide_.Notice(watched.control, SpeechEvent::kEnter,
                    edit != nullptr ? FromQt(edit->text()) : std::string());
      return;
    }
    last_ = now;
  }

  QWidget* window_;
  SpeechGuide& guide_;
  std::vector<Watched> watched_;
  QWidget* last_ = nullptr;
};

}  // namespace

void MainWindow::ConnectSpeech() {
  const std::vector<FocusAnnouncer::Watched> speaking = {
      {selectBseButton, kButton1}, {selectBesButton, kButton7},  {viewButton, kButton8},
      {registerButton, kButton4},  {printButton, kButton5},      {settingsButton, kButton2},
      {quitButton, kButton3},      {deleteJobButton, kButton9},  {batchPrintButton, kButton6},
      {copiesEdit, kBusuE},        {startPageEdit, kStartPE},    {lastPageEdit, kLastPE},
      {copiesUpDown, kBusuUD},     {startPageUpDown, kStartPUD}, {lastPageUpDown, kLastPUD},
      {fileEdit, kFileE},
  };
  for (const FocusAnnouncer::Watched& watched : speaking) {
    watched.widget->setAccessibleName(ToQt(std::string(SpeechFor(watched.control).name)));
  }
  new FocusAnnouncer(this, *guide_, speaking);

  // The progress of a print, which has the keyboard in its own windows, reaches the screen
  // readers that hear notifications.
  printWindows_.OnProgressText([this](const std::string& text) { guide_->Notify(text); });

  // Every change of a number field's text speaks: typing, the up-downs and the system's own
  // resets alike.
  for (const auto& [edit, control] :
       {std::pair{copiesEdit, kBusuE}, std::pair{startPageEdit, kStartPE},
        std::pair{lastPageEdit, kLastPE}}) {
    connect(edit, &QLineEdit::textChanged, this, [this, control](const QString& text) {
      guide_->Notice(control, SpeechEvent::kChange, FromQt(text));
    });
  }

  linesEdit->setAccessibleName("行数");
  sideList->setAccessibleName("印刷面");
  dotKindList->setAccessibleName("点種");
  jobGrid->setAccessibleName("ジョブリスト");
  jobGrid->setAccessibleDescription("上下の矢印キーでジョブを選び、Alt+D で取り消します");
}

}  // namespace redadado
