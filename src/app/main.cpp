#include <QApplication>
#include <QMessageBox>
#include <QTranslator>
#include <exception>
#include <optional>
#include <string>

#include "gui/accessibility.h"
#include "gui/escape_notice.h"
#include "gui/main_window.h"
#include "gui/page_overview.h"
#include "gui/page_view.h"
#include "gui/progress_window.h"
#include "gui/qt_seams.h"
#include "gui/resume_dialog.h"
#include "gui/settings_dialog.h"
#include "workflow/session.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QTranslator japanese;
  redadado::LoadJapaneseQtTranslations(japanese);
  redadado::InstallAccessibility(application);
  try {
    redadado::Session session(redadado::AppPaths::ForExecutable());
    redadado::DialogOwner owner;
    redadado::QtMessages messages(owner);
    redadado::QtFileChooser chooser(owner);

    // The windows in their order. A start-up print comes once they all exist, so that its
    // progress window is up and Esc reaches it before the first byte goes out.
    redadado::MainWindow form1(session, messages, chooser);
    owner.SetMainWindow(&form1);
    // The dialogs stand over the window that opens them.
    redadado::SettingsDialog settings(session, &form1);
    redadado::EscapeNotice escape;
    redadado::ProgressWindow progress(session);
    redadado::ResumeDialog resume(session, &form1);
    redadado::PageOverview bseImage(
        session, [&form1] { return form1.DocumentLabel(); }, &form1);
    redadado::PageView pageView(session, messages, &bseImage);
    form1.AttachWindows(&settings, &escape, &progress, &resume);
    bseImage.AttachPageView(&pageView);
    form1.AttachPreview(&bseImage);
    const QStringList arguments = QApplication::arguments();
    form1.StartUp(arguments.size() > 1
                      ? std::optional<std::string>(redadado::FromQt(arguments.at(1)))
                      : std::nullopt);

    form1.show();
    // The keyboard, and with it the screen reader, starts in the main window even when a
    // start-up notice closed just before it came up.
    form1.activateWindow();
    QApplication::exec();
    return 0;
  } catch (const std::exception& error) {
    QMessageBox::critical(nullptr, "Redadado", QString::fromLocal8Bit(error.what()));
  } catch (...) {
    QMessageBox::critical(nullptr, "Redadado", QString());
  }
  return 1;
}
