#include "gui/progress_window.h"

#include <QCloseEvent>

#include "gui/escape_key_preview.h"
#include "gui/qt_seams.h"

namespace redadado {

ProgressWindow::ProgressWindow(Session& session, QWidget* parent)
    : QWidget(parent, Qt::Window), session_(session) {
  setObjectName("TLPrintInfoForm");
  setWindowTitle("　印刷情報");
  setFont(PrintWindowFont());
  setFixedSize(504, 80);
  move(0, 0);
  progressLabel = new QLabel(this);
  progressLabel->setObjectName("info");
  // The progress text names the document's full path: room up to the window's edge.
  Place(progressLabel, 32, 20, 504 - 32 - 8, 16);
  escapeHintLabel = MakeCaptioned<QLabel>(this, "Label1", "ＥＳＣキーで中断できます。", 32, 44);
  announcer = new Announcer(this);
  new EscapeKeyPreview(this, session);
}

void ProgressWindow::SetProgressText(const QString& text) {
  progressLabel->setText(
      progressLabel->fontMetrics().elidedText(text, Qt::ElideMiddle, progressLabel->width()));
  progressLabel->setToolTip(text);
}

void ProgressWindow::TellReader(const QString& text, const QString& announcement) {
  progressLabel->setAccessibleName(text);
  announcer->Announce(announcement);
}

void ProgressWindow::closeEvent(QCloseEvent* event) {
  event->ignore();
  session_.run.PressEscape();
}

}  // namespace redadado
