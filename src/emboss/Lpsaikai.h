#pragma once

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "app/UpDown.h"
#include "app/session.h"

namespace redadado {

// The resume dialog: after an interrupted page, resume from a page or stop.
class TLP_SaikaiForm : public QDialog {
  Q_OBJECT

 public:
  explicit TLP_SaikaiForm(Session& session, QWidget* parent = nullptr);

  // The page choice goes no higher than the page just sent.
  void SetPageLimit(int page) { SaikaiUD->setMaximum(page); }

  QLabel* Label1;
  QRadioButton* SaikaiRB;
  QRadioButton* ChuusiRB;
  QLineEdit* SaikaiE;
  UpDown* SaikaiUD;
  QLabel* Label2;
  QPushButton* Button1;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void FormShow();
  void Button1Click();

  Session& session_;
};

}  // namespace redadado
