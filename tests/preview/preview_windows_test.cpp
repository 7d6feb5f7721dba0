#include <gtest/gtest.h>

#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <filesystem>

#include "preview/Bseimage.h"
#include "preview/Page1.h"
#include "preview/page_pictures.h"
#include "support/window_fixture.h"

namespace redadado {
namespace {

using test::Sample;

// The application's windows with the page overview and the page view, a document chosen.
struct PreviewFixture : test::WindowFixture {
  TBSEImageForm overview{session, [this] { return form.DocumentLabel(); }};
  TPage1Form page1{session, messages};
  std::string document;

  explicit PreviewFixture(const std::string& path = Sample("taketori.bse")) {
    overview.AttachPageView(&page1);
    form.AttachPreview(&overview);
    Choose(path);
  }
  void Choose(const std::string& path) {
    document = path;
    chooser.answers = {path};
    QTest::mouseClick(form.Button1, Qt::LeftButton);
  }
  // What the page view should show for `page`, reading from the marks `marks`.
  QImage ExpectedPage(int page, Paper paper, Orientation orientation, bool kana,
                      KanaReadingState marks = {}) {
    return DrawPage(
        LayOutPage(*ReadPageRows(session.document.path, session.document.linesPerPage, page),
                   session.document.linesPerPage, page, paper, orientation, kana, marks));
  }
  QImage Shown() { return page1.Image1->pixmap().toImage().convertToFormat(QImage::Format_RGB32); }
};

// Runs `step` from the event loop of the modal window that opens next.
void WhenOpen(std::function<void()> step) {
  QTimer::singleShot(0, std::move(step));
}

QPoint SlotCentre(int page) {
  const Point origin = SlotOrigin(page);
  return QPoint(origin.x + 60, origin.y + 100);
}

TEST(PreviewWindows, ViewButtonOverviewAndPageViewEndToEnd) {
  PreviewFixture app;
  ASSERT_TRUE(app.form.Button8->isEnabled());
  bool overviewChecked = false;
  bool pageChecked = false;
  bool redrawn = false;
  WhenOpen([&] {
    ASSERT_TRUE(app.overview.isVisible());
    EXPECT_EQ(app.overview.windowTitle(), QString(" taketori.bse"));
    PagePicture* picture = app.overview.PageImage;
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->size(), QSize(880, 190));
    // The window paints what the tool writes.
    EXPECT_TRUE(picture->grab().toImage().convertToFormat(QImage::Format_RGB32) ==
                DrawOverview(OverviewModel::Read(app.document, 18, 4)));
    overviewChecked = true;
    WhenOpen([&] {
      ASSERT_TRUE(app.page1.isVisible());
      EXPECT_EQ(app.session.selectedPage, 2);
      EXPECT_EQ(app.page1.PageCB->count(), 4);
      EXPECT_EQ(app.page1.PageCB->currentIndex(), 2);
      EXPECT_EQ(app.page1.windowTitle(), QString(" taketori.bse"));
      EXPECT_TRUE(app.Shown() == app.ExpectedPage(3, Paper::kB5, Orientation::kPortrait, false));
      pageChecked = true;
      WhenOpen([&] {
        // Closing the page view built the overview afresh.
        redrawn = app.overview.isVisible() && app.overview.PageImage != nullptr;
        app.overview.reject();
      });
      QTest::mouseClick(app.page1.Button1, Qt::LeftButton);
    });
    // The third slot, on its margin.
    QTest::mouseClick(picture, Qt::LeftButton, {}, QPoint(2 * 125 + 120, 185));
  });
  QTest::mouseClick(app.form.Button8, Qt::LeftButton);
  EXPECT_TRUE(overviewChecked && pageChecked && redrawn);
  EXPECT_FALSE(app.overview.isVisible());
  EXPECT_EQ(app.overview.PageImage, nullptr);  // released on hiding
  EXPECT_TRUE(app.messages.texts.empty());
}

TEST(PreviewWindows, ViewButtonWithoutAnOpenableDocument) {
  test::WindowFixture bare;
  TBSEImageForm overview{bare.session, [] { return std::string(); }};
  bare.form.AttachPreview(&overview);
  QTest::mouseClick(bare.form.Button8, Qt::LeftButton);
  EXPECT_EQ(bare.messages.texts,
            std::vector<std::string>{"確認: ファイルがオープンできませんでした。"});
  EXPECT_FALSE(overview.isVisible());
}

TEST(PreviewWindows, PageViewPagingModesSizesAndFailures) {
  PreviewFixture app;
  app.session.selectedPage = 3;  // the last page
  WhenOpen([&] {
    TPage1Form& view = app.page1;
    view.activateWindow();  // the paging keys belong to the active window
    ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
    const qint64 last = view.Image1->pixmap().cacheKey();
    QTest::mouseClick(view.PUpSB, Qt::LeftButton);  // on the last page: nothing
    EXPECT_EQ(view.PageCB->currentIndex(), 3);
    EXPECT_EQ(view.Image1->pixmap().cacheKey(), last);
    QTest::keyClick(&view, Qt::Key_PageUp);  // the page before
    EXPECT_EQ(view.PageCB->currentIndex(), 2);
    QTest::mouseClick(view.PDownSB, Qt::LeftButton);
    QTest::mouseClick(view.PDownSB, Qt::LeftButton);
    const qint64 first = view.Image1->pixmap().cacheKey();
    QTest::mouseClick(view.PDownSB, Qt::LeftButton);  // on the first page: nothing
    EXPECT_EQ(view.PageCB->currentIndex(), 0);
    EXPECT_EQ(view.Image1->pixmap().cacheKey(), first);
    QTest::keyClick(&view, Qt::Key_PageDown);
    EXPECT_EQ(view.PageCB->currentIndex(), 1);

    // Landscape A4 in kana: the picture turns and grows, the text stands upright.
    view.YokoRB->click();
    view.A4RB->click();
    EXPECT_EQ(view.Image1->size(), QSize(755, 610));
    // A turned page is shown from its right-hand edge, where its first line stands.
    const QScrollBar* across = view.ScrollBox1->horizontalScrollBar();
    EXPECT_GT(across->maximum(), 0);
    EXPECT_EQ(across->value(), across->maximum());
    const KanaReadingState marks = app.session.kana;
    view.SumiyakuRB->click();
    EXPECT_TRUE(app.Shown() ==
                app.ExpectedPage(2, Paper::kA4, Orientation::kLandscape, true, marks));
    view.B5RB->click();
    EXPECT_EQ(view.Image1->size(), QSize(695, 490));

    // A page number typed into the box goes there.
    view.PageCB->lineEdit()->selectAll();
    QTest::keyClicks(view.PageCB->lineEdit(), "4");
    EXPECT_EQ(view.PageCB->currentIndex(), 3);

    // The document is gone: the message once for every drawing, the picture cleared to navy.
    std::filesystem::remove(app.session.document.path);
    QTest::mouseClick(view.PDownSB, Qt::LeftButton);
    view.TenjiRB->click();
    EXPECT_EQ(app.messages.texts,
              std::vector<std::string>(2, std::string("確認: ") + kBseOpenFailed));
    EXPECT_EQ(app.Shown().pixel(0, 0), 0xFF000080u);
    EXPECT_EQ(app.Shown().pixel(689, 5), 0xFF000080u);
    view.reject();
  });
  const std::string copy = (app.dir / "copy.bse").string();
  std::filesystem::copy_file(app.document, copy);
  app.Choose(copy);
  app.page1.exec();

  // Shown again: mode and orientation as the user left them, the paper from the lines per page.
  std::filesystem::copy_file(Sample("taketori.bse"), copy);
  app.page1.A4RB->setChecked(true);
  app.session.selectedPage = 0;
  WhenOpen([&] {
    EXPECT_TRUE(app.page1.TenjiRB->isChecked());
    EXPECT_TRUE(app.page1.YokoRB->isChecked());
    EXPECT_TRUE(app.page1.B5RB->isChecked());
    EXPECT_TRUE(app.Shown() == app.ExpectedPage(1, Paper::kB5, Orientation::kLandscape, false));
    app.page1.reject();
  });
  app.page1.exec();
  EXPECT_EQ(app.messages.texts.size(), 2u);
}

TEST(PreviewWindows, OpeningOnA4WithAMissingDocumentDrawsTwice) {
  PreviewFixture app;
  app.page1.A4RB->setChecked(true);
  app.session.document.path = (app.dir / "gone.bse").string();
  WhenOpen([&] { app.page1.reject(); });
  app.page1.exec();
  EXPECT_TRUE(app.page1.B5RB->isChecked());
  EXPECT_EQ(app.messages.texts,
            std::vector<std::string>(2, std::string("確認: ") + kBseOpenFailed));
}

TEST(PreviewWindows, TheOverviewFromTheKeyboard) {
  PreviewFixture app;
  bool opened = false;
  WhenOpen([&] {
    PagePicture* picture = app.overview.PageImage;
    WhenOpen([&] {
      opened = app.page1.isVisible() && app.page1.PageCB->currentIndex() == 2;
      app.page1.reject();
      WhenOpen([&] {
        // Back in the overview the frame is where it was.
        EXPECT_EQ(app.overview.PageImage->Highlighted(), 2);
        app.overview.reject();
      });
    });
    QTest::keyClick(picture, Qt::Key_Right);  // the first arrow frames page 1 ...
    EXPECT_EQ(picture->Highlighted(), 0);
    QTest::keyClick(picture, Qt::Key_Right);
    QTest::keyClick(picture, Qt::Key_Right);
    QTest::keyClick(picture, Qt::Key_Down);  // no page below: stays on the last row
    EXPECT_EQ(picture->Highlighted(), 3);
    QTest::keyClick(picture, Qt::Key_Left);
    QTest::keyClick(picture, Qt::Key_Return);
  });
  QTest::mouseClick(app.form.Button8, Qt::LeftButton);
  EXPECT_TRUE(opened);
}

TEST(PreviewWindows, ClicksOutsideThePagesDoNothing) {
  PreviewFixture app;
  WhenOpen([&] {
    // Past the last page, and right of the seventh column.
    QTest::mouseClick(app.overview.PageImage, Qt::LeftButton, {}, SlotCentre(5));
    QTest::mouseClick(app.overview.PageImage, Qt::LeftButton, {}, QPoint(877, 10));
    EXPECT_FALSE(app.page1.isVisible());
    app.overview.reject();
  });
  QTest::mouseClick(app.form.Button8, Qt::LeftButton);
  EXPECT_EQ(app.session.selectedPage, 5);
}

}  // namespace
}  // namespace redadado
