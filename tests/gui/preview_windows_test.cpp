#include <gtest/gtest.h>

#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <filesystem>

#include "gui/page_overview.h"
#include "gui/page_view.h"
#include "preview/page_pictures.h"
#include "support/run_cli.h"
#include "support/window_fixture.h"

namespace redadado {
namespace {

using test::Sample;

// The application's windows with the page overview and the page view, a document chosen.
struct PreviewFixture : test::WindowFixture {
  PageOverview overview{session, [this] { return form.DocumentLabel(); }};
  PageView pageView{session, messages};
  std::string document;

  explicit PreviewFixture(const std::string& path = Sample("taketori.bse")) {
    overview.AttachPageView(&pageView);
    form.AttachPreview(&overview);
    Choose(path);
  }
  void Choose(const std::string& path) {
    document = path;
    chooser.answers = {path};
    QTest::mouseClick(form.selectBseButton, Qt::LeftButton);
  }
  // What the page view should show for `page`.
  QImage ExpectedPage(int page, Paper paper, Orientation orientation, bool kana) {
    return DrawPage(
        LayOutPage(*ReadPageRows(session.document.path, session.document.linesPerPage, page),
                   session.document.linesPerPage, page, paper, orientation, kana));
  }
  QImage Shown() {
    return pageView.pageImage->pixmap().toImage().convertToFormat(QImage::Format_RGB32);
  }
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
  ASSERT_TRUE(app.form.viewButton->isEnabled());
  bool overviewChecked = false;
  bool pageChecked = false;
  bool redrawn = false;
  WhenOpen([&] {
    ASSERT_TRUE(app.overview.isVisible());
    EXPECT_EQ(app.overview.windowTitle(), QString(" taketori.bse"));
    PagePicture* picture = app.overview.picture;
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->size(), QSize(880, 190));
    // The window paints what the tool writes.
    EXPECT_TRUE(picture->grab().toImage().convertToFormat(QImage::Format_RGB32) ==
                DrawOverview(OverviewModel::Read(app.document, 18, 4)));
    overviewChecked = true;
    WhenOpen([&] {
      ASSERT_TRUE(app.pageView.isVisible());
      EXPECT_EQ(app.session.selectedPage, 2);
      EXPECT_EQ(app.pageView.pageList->count(), 4);
      EXPECT_EQ(app.pageView.pageList->currentIndex(), 2);
      EXPECT_EQ(app.pageView.windowTitle(), QString(" taketori.bse"));
      EXPECT_TRUE(app.Shown() == app.ExpectedPage(3, Paper::kB5, Orientation::kPortrait, false));
      pageChecked = true;
      WhenOpen([&] {
        // Closing the page view built the overview afresh.
        redrawn = app.overview.isVisible() && app.overview.picture != nullptr;
        app.overview.reject();
      });
      QTest::mouseClick(app.pageView.closeButton, Qt::LeftButton);
    });
    // The third slot, on its margin.
    QTest::mouseClick(picture, Qt::LeftButton, {}, QPoint(2 * 125 + 120, 185));
  });
  QTest::mouseClick(app.form.viewButton, Qt::LeftButton);
  EXPECT_TRUE(overviewChecked && pageChecked && redrawn);
  EXPECT_FALSE(app.overview.isVisible());
  EXPECT_EQ(app.overview.picture, nullptr);  // released on hiding
  EXPECT_TRUE(app.messages.texts.empty());
}

TEST(PreviewWindows, ViewButtonWithoutAnOpenableDocument) {
  test::WindowFixture bare;
  PageOverview overview{bare.session, [] { return std::string(); }};
  bare.form.AttachPreview(&overview);
  QTest::mouseClick(bare.form.viewButton, Qt::LeftButton);
  EXPECT_EQ(bare.messages.texts,
            std::vector<std::string>{"確認: ファイルがオープンできませんでした。"});
  EXPECT_FALSE(overview.isVisible());
}

TEST(PreviewWindows, PageViewPagingModesSizesAndFailures) {
  PreviewFixture app;
  app.session.selectedPage = 3;  // the last page
  WhenOpen([&] {
    PageView& view = app.pageView;
    view.activateWindow();  // the paging keys belong to the active window
    ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
    const qint64 last = view.pageImage->pixmap().cacheKey();
    QTest::mouseClick(view.nextPageButton, Qt::LeftButton);  // on the last page: nothing
    EXPECT_EQ(view.pageList->currentIndex(), 3);
    EXPECT_EQ(view.pageImage->pixmap().cacheKey(), last);
    QTest::keyClick(&view, Qt::Key_PageUp);  // the page before
    EXPECT_EQ(view.pageList->currentIndex(), 2);
    QTest::mouseClick(view.previousPageButton, Qt::LeftButton);
    QTest::mouseClick(view.previousPageButton, Qt::LeftButton);
    const qint64 first = view.pageImage->pixmap().cacheKey();
    QTest::mouseClick(view.previousPageButton, Qt::LeftButton);  // on the first page: nothing
    EXPECT_EQ(view.pageList->currentIndex(), 0);
    EXPECT_EQ(view.pageImage->pixmap().cacheKey(), first);
    QTest::keyClick(&view, Qt::Key_PageDown);
    EXPECT_EQ(view.pageList->currentIndex(), 1);

    // Landscape A4 in kana: the picture turns and grows, the text stands upright.
    view.landscapeRadio->click();
    view.a4Radio->click();
    EXPECT_EQ(view.pageImage->size(), QSize(755, 610));
    // A turned page is shown from its right-hand edge, where its first line stands.
    const QScrollBar* across = view.scrollArea->horizontalScrollBar();
    EXPECT_GT(across->maximum(), 0);
    EXPECT_EQ(across->value(), across->maximum());
    view.kanaRadio->click();
    EXPECT_TRUE(app.Shown() == app.ExpectedPage(2, Paper::kA4, Orientation::kLandscape, true));
    view.b5Radio->click();
    EXPECT_EQ(view.pageImage->size(), QSize(695, 490));

    // A page number typed into the box goes there.
    view.pageList->lineEdit()->selectAll();
    QTest::keyClicks(view.pageList->lineEdit(), "4");
    EXPECT_EQ(view.pageList->currentIndex(), 3);

    // The document is gone: the message once for every drawing, the picture cleared to navy.
    std::filesystem::remove(app.session.document.path);
    QTest::mouseClick(view.previousPageButton, Qt::LeftButton);
    view.dotsRadio->click();
    EXPECT_EQ(app.messages.texts,
              std::vector<std::string>(2, std::string("確認: ") + kBseOpenFailed));
    EXPECT_EQ(app.Shown().pixel(0, 0), 0xFF000080u);
    EXPECT_EQ(app.Shown().pixel(689, 5), 0xFF000080u);
    view.reject();
  });
  const std::string copy = (app.dir / "copy.bse").string();
  std::filesystem::copy_file(app.document, copy);
  app.Choose(copy);
  app.pageView.exec();

  // Shown again: mode and orientation as the user left them, the paper from the lines per page.
  std::filesystem::copy_file(Sample("taketori.bse"), copy);
  app.pageView.a4Radio->setChecked(true);
  app.session.selectedPage = 0;
  WhenOpen([&] {
    EXPECT_TRUE(app.pageView.dotsRadio->isChecked());
    EXPECT_TRUE(app.pageView.landscapeRadio->isChecked());
    EXPECT_TRUE(app.pageView.b5Radio->isChecked());
    EXPECT_TRUE(app.Shown() == app.ExpectedPage(1, Paper::kB5, Orientation::kLandscape, false));
    app.pageView.reject();
  });
  app.pageView.exec();
  EXPECT_EQ(app.messages.texts.size(), 2u);
}

// Page 1 ends with a dakuten prefix and page 2 begins with か: page 2 reads か whichever page
// was drawn before it, as the tool reads it.
TEST(PreviewWindows, APageReadsTheSameWhateverWasDrawnBefore) {
  test::TempDir dir;
  const std::string path = dir.Write("voiced.bse", test::BseHeaderLine(2, 22) + "A\r\n" +
                                                       std::string(20, '\n') + "X\"\r\n*A\r\n")
                               .string();
  PreviewFixture app(path);
  app.session.selectedPage = 1;
  int drawings = 0;
  WhenOpen([&] {
    PageView& view = app.pageView;
    const QImage expected = app.ExpectedPage(2, Paper::kB5, Orientation::kPortrait, true);
    view.kanaRadio->click();  // page 2 drawn first
    EXPECT_TRUE(app.Shown() == expected);
    QTest::mouseClick(view.previousPageButton, Qt::LeftButton);
    QTest::mouseClick(view.nextPageButton, Qt::LeftButton);  // after page 1, with its prefix
    EXPECT_TRUE(app.Shown() == expected);
    drawings = 2;
    view.reject();
  });
  app.pageView.exec();
  EXPECT_EQ(drawings, 2);
  const test::CliResult page2 = test::RunCli({"read", path, "--page", "2"});
  EXPECT_EQ(page2.out, "かあ\n" + std::string(21, '\n'));
}

TEST(PreviewWindows, OpeningOnA4WithAMissingDocumentDrawsTwice) {
  PreviewFixture app;
  app.pageView.a4Radio->setChecked(true);
  app.session.document.path = (app.dir / "gone.bse").string();
  WhenOpen([&] { app.pageView.reject(); });
  app.pageView.exec();
  EXPECT_TRUE(app.pageView.b5Radio->isChecked());
  EXPECT_EQ(app.messages.texts,
            std::vector<std::string>(2, std::string("確認: ") + kBseOpenFailed));
}

TEST(PreviewWindows, TheOverviewFromTheKeyboard) {
  PreviewFixture app;
  bool opened = false;
  WhenOpen([&] {
    PagePicture* picture = app.overview.picture;
    WhenOpen([&] {
      opened = app.pageView.isVisible() && app.pageView.pageList->currentIndex() == 2;
      app.pageView.reject();
      WhenOpen([&] {
        // Back in the overview the frame is where it was.
        EXPECT_EQ(app.overview.picture->Highlighted(), 2);
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
  QTest::mouseClick(app.form.viewButton, Qt::LeftButton);
  EXPECT_TRUE(opened);
}

TEST(PreviewWindows, ClicksOutsideThePagesDoNothing) {
  PreviewFixture app;
  WhenOpen([&] {
    // Past the last page, and right of the seventh column.
    QTest::mouseClick(app.overview.picture, Qt::LeftButton, {}, SlotCentre(5));
    QTest::mouseClick(app.overview.picture, Qt::LeftButton, {}, QPoint(877, 10));
    EXPECT_FALSE(app.pageView.isVisible());
    app.overview.reject();
  });
  QTest::mouseClick(app.form.viewButton, Qt::LeftButton);
  EXPECT_EQ(app.session.selectedPage, 5);
}

}  // namespace
}  // namespace redadado
