#pragma once

#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QToolButton>

#include "base/messages.h"
#include "preview/page_geometry.h"
#include "workflow/session.h"

namespace redadado {

// The page view: one page of the current document at screen size, as braille dots or as its
// kana reading, on a B5 or A4 sheet, upright or turned. Created once; its choices of mode and
// orientation last for the whole run.
class PageView : public QDialog {
  Q_OBJECT

 public:
  PageView(Session& session, Messages& messages, QWidget* parent = nullptr);

  QLabel* pageLabel;
  QComboBox* pageList;
  QToolButton* nextPageButton;
  QToolButton* previousPageButton;
  QGroupBox* modeGroup;
  QRadioButton* dotsRadio;
  QRadioButton* kanaRadio;
  QGroupBox* paperGroup;
  QRadioButton* b5Radio;
  QRadioButton* a4Radio;
  QGroupBox* orientationGroup;
  QRadioButton* portraitRadio;
  QRadioButton* landscapeRadio;
  QPushButton* closeButton;
  QScrollArea* scrollArea;
  QLabel* pageImage;

  // Draws page `pageNumber` (from 1) in the current mode, paper and orientation.
  void DrawPage(int pageNumber);

 protected:
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void Refresh();
  int SelectedPageNumber() const { return pageList->currentIndex() + 1; }
  void DrawSelectedPage() { DrawPage(SelectedPageNumber()); }
  void SizeChanged();  // the size and orientation handlers
  void pageChosen();
  void pageTyped(const QString& text);
  void nextPageClicked();
  void previousPageClicked();
  void closeClicked();

  Paper CurrentPaper() const { return a4Radio->isChecked() ? Paper::kA4 : Paper::kB5; }
  Orientation CurrentOrientation() const {
    return landscapeRadio->isChecked() ? Orientation::kLandscape : Orientation::kPortrait;
  }

  Session& session_;
  Messages& messages_;
};

}  // namespace redadado
