#pragma once

#include <memory>
#include <string>
#include <vector>

#include "speech/speech_guide.h"

namespace redadado::test {

// Routes whose readers write every call into one shared log: "pc open", "pc reset",
// "pc TEXT", "xp TEXT", "xp close", ...
class RecordingRoutes {
 public:
  ReaderRoutes Routes() {
    return {.openPcTalker = [this] { return std::make_unique<Recorder>(log_, "pc"); },
            .openXpReader = [this] { return std::make_unique<Recorder>(log_, "xp"); }};
  }
  // The same with a notification route beside them: "ua open", "ua TEXT", ...
  ReaderRoutes RoutesWithNotifications() {
    ReaderRoutes routes = Routes();
    routes.openNotifications = [this] { return std::make_unique<Recorder>(log_, "ua"); };
    return routes;
  }
  // Readers that write into the same log, for code that takes readers rather than routes.
  std::unique_ptr<Reader> Open(const std::string& route) {
    return std::make_unique<Recorder>(log_, route);
  }
  // The calls so far, and forgets them.
  std::vector<std::string> Take() { return std::exchange(*log_, {}); }

 private:
  using Log = std::shared_ptr<std::vector<std::string>>;

  class Recorder : public Reader {
   public:
    Recorder(Log log, std::string route) : log_(std::move(log)), route_(std::move(route)) {
      log_->push_back(route_ + " open");
    }
    ~Recorder() override { log_->push_back(route_ + " close"); }
    void Speak(const std::string& text) override { log_->push_back(route_ + " " + text); }
    void Reset() override { log_->push_back(route_ + " reset"); }

   private:
    Log log_;
    std::string route_;
  };

  Log log_ = std::make_shared<std::vector<std::string>>();
};

}  // namespace redadado::test
