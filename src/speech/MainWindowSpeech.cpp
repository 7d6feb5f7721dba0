#include <QApplication>
#include <QLineEdit>
#include <string>
#include <utility>
#include <vector>

#include "app/Nefmain.h"
#include "app/QtSeams.h"

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

void TForm1::ConnectSpeech() {
  const std::vector<FocusAnnouncer::Watched> speaking = {
      {Button1, kButton1}, {Button7, kButton7},   {Button8, kButton8}, {Button4, kButton4},
      {Button5, kButton5}, {Button2, kButton2},   {Button3, kButton3}, {Button9, kButton9},
      {Button6, kButton6}, {BusuE, kBusuE},       {StartPE, kStartPE}, {LastPE, kLastPE},
      {BusuUD, kBusuUD},   {StartPUD, kStartPUD}, {LastPUD, kLastPUD}, {FileE, kFileE},
  };
  for (const FocusAnnouncer::Watched& watched : speaking) {
    watched.widget->setAccessibleName(ToQt(std::string(SpeechFor(watched.control).name)));
  }
  new FocusAnnouncer(this, *guide_, speaking);

  // Every change of a number field's text speaks: typing, the up-downs and the system's own
  // resets alike.
  for (const auto& [edit, control] :
       {std::pair{BusuE, kBusuE}, std::pair{StartPE, kStartPE}, std::pair{LastPE, kLastPE}}) {
    connect(edit, &QLineEdit::textChanged, this, [this, control](const QString& text) {
      guide_->Notice(control, SpeechEvent::kChange, FromQt(text));
    });
  }

  KataRyouE->setAccessibleName("行数");
  MenCB->setAccessibleName("印刷面");
  TenSizeCB->setAccessibleName("点種");
  StringGrid1->setAccessibleName("ジョブリスト");
  StringGrid1->setAccessibleDescription("上下の矢印キーでジョブを選び、Alt+D で取り消します");
}

}  // namespace redadado
