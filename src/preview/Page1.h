#pragma once

#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QToolButton>

#include "app/messages.h"
#include "app/session.h"
#include "preview/page_geometry.h"

namespace redadado {

// The page view: one page of the current document at screen size, as braille dots or as its
// kana reading, on a B5 or A4 sheet, upright or turned. Created once; its choices of mode and
// orientation last for the whole run.
class TPage1Form : public QDialog {
  Q_OBJECT

 public:
  TPage1Form(Session& session, Messages& messages, QWidget* parent = nullptr);

  QLabel* Label1;
  QComboBox* PageCB;
  QToolButton* PUpSB;
  QToolButton* PDownSB;
  QGroupBox* GroupBox1;
  QRadioButton* TenjiRB;
  QRadioButton* SumiyakuRB;
  QGroupBox* GroupBox3;
  QRadioButton* B5RB;
  QRadioButton* A4RB;
  QGroupBox* GroupBox2;
  QRadioButton* TateRB;
  QRadioButton* YokoRB;
  QPushButton* Button1;
  QScrollArea* ScrollBox1;
  QLabel* Image1;

  // Draws page `pageNumber` (from 1) in the current mode, paper and orientation.
  void DrawPage(int pageNumber);

 protected:
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void FormActivate();
  int SelectedPageNumber() const { return PageCB->currentIndex() + 1; }
  void DrawSelectedPage() { DrawPage(SelectedPageNumber()); }
  void SizeChanged();  // the size and orientation handlers
  void PageCBChange();
  void PageCBTyped(const QString& text);
  void PUpSBClick();
  void PDownSBClick();
  void Button1Click();

  Paper CurrentPaper() const { return A4RB->isChecked() ? Paper::kA4 : Paper::kB5; }
  Orientation CurrentOrientation() const {
    return YokoRB->isChecked() ? Orientation::kLandscape : Orientation::kPortrait;
  }

  Session& session_;
  Messages& messages_;
};

}  // namespace redadado
