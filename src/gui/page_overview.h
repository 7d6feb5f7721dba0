#pragma once

#include <QDialog>
#include <QScrollArea>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "preview/page_geometry.h"
#include "workflow/session.h"

namespace redadado {

class PageView;

// The picture of all pages, seven to a row. Holds the rows of the pages and paints only the
// slots on screen: a 999-page document would be a picture of 96 MB.
class PagePicture : public QWidget {
  Q_OBJECT

 public:
  PagePicture(OverviewModel model, QWidget* parent);

  const OverviewModel& Model() const { return model_; }
  // The page the keyboard has reached, or -1 before any arrow key.
  int Highlighted() const { return highlighted_; }

  // A mouse button released at a point of the picture, or Enter on the highlighted page.
  std::function<void(Point)> onMouseUp;
  std::function<void(int page)> onOpen;

  // Moves the keyboard's frame to `page` (kept within the pages) and scrolls it into view.
  void Highlight(int page);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  OverviewModel model_;
  int highlighted_ = -1;
};

// The page overview: every page of the current document small; a click opens the page view on
// that page.
class PageOverview : public QDialog {
  Q_OBJECT

 public:
  // `fileText` is the text of the main window's file field, for the caption.
  PageOverview(Session& session, std::function<std::string()> fileText, QWidget* parent = nullptr);

  // The page view, created after this window.
  void AttachPageView(PageView* pageView) { pageView_ = pageView; }

  QScrollArea* scrollArea;
  QWidget* pictureArea;
  PagePicture* picture = nullptr;  // made at each activation, released on hiding

  void pictureClicked(Point at);

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void Refresh();
  void OpenPage(int page);

  Session& session_;
  std::function<std::string()> fileText_;
  PageView* pageView_ = nullptr;
};

}  // namespace redadado
