#include <QApplication>
#include <QMessageBox>
#include <QTranslator>
#include <exception>
#include <optional>
#include <string>

#include "app/Nefmain.h"
#include "app/QtSeams.h"
#include "app/Settei.h"
#include "app/session.h"
#include "emboss/Escape.h"
#include "emboss/Lprintinfo.h"
#include "emboss/Lpsaikai.h"
#include "preview/Bseimage.h"
#include "preview/Page1.h"
#include "speech/Accessibility.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QTranslator japanese;
  redadado::LoadJapaneseQtTranslations(japanese);
  redadado::InstallAccessibility(application);
  try {
    redadado::Session session(redadado::AppPaths::ForExecutable());
    redadado::QtMessages messages;
    redadado::QtFileChooser chooser;

    // The windows in their order; the main window's creation includes a start-up print.
    redadado::TForm1 form1(session, messages, chooser);
    const QStringList arguments = QApplication::arguments();
    form1.FormCreate(arguments.size() > 1
                         ? std::optional<std::string>(redadado::FromQt(arguments.at(1)))
                         : std::nullopt);
    redadado::TSetteiForm settei(session);
    redadado::TEscapeForm escape;
    redadado::TLPrintInfoForm printInfo(session);
    redadado::TLP_SaikaiForm saikai(session);
    redadado::TBSEImageForm bseImage(session, [&form1] { return form1.DocumentLabel(); });
    redadado::TPage1Form page1(session, messages);
    form1.AttachWindows(&settei, &escape, &printInfo, &saikai);
    bseImage.AttachPageView(&page1);
    form1.AttachPreview(&bseImage);

    form1.show();
    QApplication::exec();
    return 0;
  } catch (const std::exception& error) {
    QMessageBox::critical(nullptr, "Redadado", QString::fromLocal8Bit(error.what()));
  } catch (...) {
    QMessageBox::critical(nullptr, "Redadado", QString());
  }
  return 1;
}
