#pragma once

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "gui/announcer.h"
#include "gui/up_down.h"
#include "workflow/session.h"

namespace redadado {

// The resume dialog: after an interrupted page, resume from a page or stop.
class ResumeDialog : public QDialog {
  Q_OBJECT

 public:
  explicit ResumeDialog(Session& session, QWidget* parent = nullptr);

  // The page choice goes no higher than the page just sent.
  void SetPageLimit(int page) { pageUpDown->setMaximum(page); }

  QLabel* explanationLabel;
  QRadioButton* resumeRadio;
  QRadioButton* stopRadio;
  QLineEdit* pageEdit;
  UpDown* pageUpDown;
  QLabel* pageLabel;
  QPushButton* okButton;
  Announcer* announcer;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void LimitPages();
  void okClicked();

  Session& session_;
};

}  // namespace redadado
