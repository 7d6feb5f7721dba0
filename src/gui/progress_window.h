#pragma once

#include <QLabel>
#include <QWidget>

#include "gui/announcer.h"

#include "workflow/session.h"

namespace redadado {

// The progress window: which copy and page are being sent; Esc here interrupts the run.
class ProgressWindow : public QWidget {
  Q_OBJECT

 public:
  explicit ProgressWindow(Session& session, QWidget* parent = nullptr);

  // What is being sent, elided in the middle to the label's width (a long path would cut it
  // off); the full text is the label's tooltip. A screen reader hears of it only through
  // TellReader: a change for every page floods it during a fast print.
  void SetProgressText(const QString& text);
  // The full text as the label's accessible name, and the announcement said with it.
  void TellReader(const QString& text, const QString& announcement);

  QLabel* progressLabel;
  QLabel* escapeHintLabel;
  Announcer* announcer;

 protected:
  // Closing the window in the middle of a run is an Esc: the run is never left going unseen.
  void closeEvent(QCloseEvent* event) override;

 private:
  Session& session_;
};

}  // namespace redadado
