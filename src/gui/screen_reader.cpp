#include "gui/screen_reader.h"

#include <memory>
#include <utility>

#if !defined(_WIN32)
#include <QDBusConnection>
#include <QDBusInterface>
#endif

namespace redadado {

namespace {

class QuietReader : public Reader {
 public:
  explicit QuietReader(std::unique_ptr<Reader> reader) : reader_(std::move(reader)) {}
  void Speak(const std::string& text) override {
    if (reader_ && !ScreenReaderRunning()) reader_->Speak(text);
  }
  void Reset() override {
    if (reader_) reader_->Reset();
  }

 private:
  std::unique_ptr<Reader> reader_;
};

std::function<std::unique_ptr<Reader>()> Quiet(std::function<std::unique_ptr<Reader>()> open) {
  return [open = std::move(open)]() -> std::unique_ptr<Reader> {
    return std::make_unique<QuietReader>(open ? open() : nullptr);
  };
}

}  // namespace

bool ScreenReaderRunning() {
#if defined(_WIN32)
  return false;
#else
  // Asked at each text, so a reader started or stopped later is heeded; the call is local.
  QDBusInterface status(QStringLiteral("org.a11y.Bus"), QStringLiteral("/org/a11y/bus"),
                        QStringLiteral("org.a11y.Status"), QDBusConnection::sessionBus());
  // A desktop's own switch sets ScreenReaderEnabled; Orca started by itself sets only IsEnabled.
  return status.isValid() &&
         (status.property("ScreenReaderEnabled").toBool() || status.property("IsEnabled").toBool());
#endif
}

ReaderRoutes QuietBesideScreenReader(ReaderRoutes routes) {
  // The notification route is for the readers that listen to it: it stays as it is.
  return {Quiet(std::move(routes.openPcTalker)), Quiet(std::move(routes.openXpReader)),
          std::move(routes.openNotifications)};
}

}  // namespace redadado
