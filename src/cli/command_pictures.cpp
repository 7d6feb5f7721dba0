#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <memory>

#include "base/file_paths.h"
#include "base/output_file.h"
#include "cli/commands.h"
#include "preview/page_pictures.h"

namespace redadado::cli {
namespace {

// Qt's own notices (a missing runtime directory, ...) are not the tool's messages.
void QuietQt(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtCriticalMsg || type == QtFatalMsg) PrintError(message.toStdString());
}

// Text needs Qt's font database, and that needs an application; no display is used.
class OffscreenApplication {
 public:
  OffscreenApplication() : quiet_(qInstallMessageHandler(QuietQt)), application_(argc_, argv_) {}
  ~OffscreenApplication() { qInstallMessageHandler(quiet_); }
  OffscreenApplication(const OffscreenApplication&) = delete;
  OffscreenApplication& operator=(const OffscreenApplication&) = delete;

 private:
  int argc_ = 3;
  char name_[13] = "redadado-cli";
  char option_[10] = "-platform";
  char platform_[10] = "offscreen";
  char* argv_[4] = {name_, option_, platform_, nullptr};
  QtMessageHandler quiet_;
  QGuiApplication application_;
};

// The picture replaces `png` only once it is written whole; `document` is never overwritten.
int Save(const QImage& image, const std::string& png, const std::string& document) {
  OutputFile output;
  std::optional<std::string> failure = output.Open(PathFromUtf8(png), PathFromUtf8(document));
  if (!failure) {
    QFile file;
    const bool saved = file.open(output.Stream(), QIODevice::WriteOnly) &&
                       image.save(&file, "PNG") && file.flush();
    file.close();
    failure = saved ? output.Commit() : png + ": " + file.errorString().toStdString();
  }
  if (!failure) return kDone;
  PrintRefusal(png + ": the picture could not be written", *failure);
  return kRefused;
}

struct ViewOptions {
  std::string document;
  int page = 1;
  bool kana = false;
  bool a4 = false;
  bool landscape = false;
  std::string png;
};

int View(const ViewOptions& options) {
  Session session = MakeSession();
  const std::optional<HeaderCheck> check = OpenDocument(session, options.document);
  if (!check) return kRefused;
  if (options.page > check->pageCount) {
    ThrowUsage("the document has " + std::to_string(check->pageCount) + " pages");
  }
  const std::optional<RowTable> rows =
      ReadPageRows(session.document.path, session.document.linesPerPage, options.page);
  if (!rows) {
    PrintError(kBseOpenFailed);
    return kRefused;
  }
  const OffscreenApplication application;
  const PageLayout layout = LayOutPage(
      *rows, session.document.linesPerPage, options.page, options.a4 ? Paper::kA4 : Paper::kB5,
      options.landscape ? Orientation::kLandscape : Orientation::kPortrait, options.kana);
  return Save(DrawPage(layout), options.png, options.document);
}

int Overview(const std::string& document, const std::string& png) {
  Session session = MakeSession();
  const std::optional<HeaderCheck> check = OpenDocument(session, document);
  if (!check) return kRefused;
  const OverviewModel model =
      OverviewModel::Read(session.document.path, session.document.linesPerPage, check->pageCount);
  if (!model.opened() && check->pageCount > 0) {
    PrintError(kBseOpenFailed);
    return kRefused;
  }
  const OffscreenApplication application;
  return Save(DrawOverview(model), png, document);
}

}  // namespace

Runner DeclareView(CLI::App& command) {
  auto options = std::make_shared<ViewOptions>();
  command.add_option("DOCUMENT", options->document, "a BSE or BES document")->required();
  AddNumberOption(command, "--page", options->page, 1, 999, "the page to draw")->required();
  command.add_flag("--kana", options->kana, "the kana reading instead of the dots");
  command.add_flag("--a4", options->a4, "an A4 sheet (default B5)");
  command.add_flag("--landscape", options->landscape, "landscape (default portrait)");
  command.add_option("--png", options->png, "the picture to write")->required()->type_name("FILE");
  return [options] { return View(*options); };
}

Runner DeclareOverview(CLI::App& command) {
  struct Options {
    std::string document;
    std::string png;
  };
  auto options = std::make_shared<Options>();
  command.add_option("DOCUMENT", options->document, "a BSE or BES document")->required();
  command.add_option("--png", options->png, "the picture to write")->required()->type_name("FILE");
  return [options] { return Overview(options->document, options->png); };
}

}  // namespace redadado::cli
