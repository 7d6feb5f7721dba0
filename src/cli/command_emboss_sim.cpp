#include <filesystem>
#include <iostream>
#include <memory>
#include <mutex>

#include "cli/commands.h"
#include "embosser/pty_simulator.h"

namespace redadado::cli {

namespace {

struct SimOptions {
  std::optional<std::string> link;
  std::string pictures = "embossed";
  std::optional<int> baud;
  int sessions = 0;  // 0: until interrupted
};

int EmbossSim(const SimOptions& given) {
  Session session = MakeSession();
  SimulatorOptions options;
  // What the windows open with the default settings.
  options.link = given.link ? std::filesystem::path(*given.link) : session.paths.PortLink("COM1");
  options.pictures = given.pictures;
  const int sessions = given.sessions;
  const std::optional<int> baud = given.baud;
  const LineParametersResult line = LineParametersFor(session.settings);
  if (!line.parameters) {
    PrintError(line.reason);
    return kRefused;
  }
  options.line = *line.parameters;
  if (baud) options.line.baudRate = *baud;  // the embosser's own speed

  // Before the simulator's thread exists, so that only the wait below takes the signals.
  BlockStopSignals();
  std::string error;
  const std::unique_ptr<PtySimulator> simulator = PtySimulator::Create(options, error);
  if (!simulator) {
    PrintError(error);
    return kRefused;
  }
  bool allOk = true;
  std::mutex output;
  simulator->OnSession([&](const SimulatorSession& ended) {
    std::lock_guard lock(output);
    allOk = allOk && ended.outcome.ok && ended.problems.empty();
    std::cout << ended.Summary() << std::endl;
  });
  std::cout << "仮想点字プリンター: " << options.link.string() << " -> " << simulator->DevicePath()
            << "、" << options.line.baudRate << " baud、画像は " << options.pictures.string()
            << "（Ctrl+C で終了）" << std::endl;
  simulator->Start();
  while (!WaitForStopSignal(std::chrono::milliseconds(100))) {
    if (sessions > 0 && static_cast<int>(simulator->Sessions().size()) >= sessions) break;
  }
  std::lock_guard lock(output);
  return sessions > 0 && !allOk ? kRefused : kDone;
}

}  // namespace

Runner DeclareEmbossSim(CLI::App& command) {
  auto options = std::make_shared<SimOptions>();
  command
      .add_option("--link", options->link,
                  "where the terminal's device is linked (default: the application "
                  "directory's COM1)")
      ->type_name("PATH");
  command
      .add_option("--pictures", options->pictures,
                  "one PNG per sheet side in DIR (default ./embossed)")
      ->type_name("DIR");
  AddNumberOption(command, "--baud", options->baud, 50, 4'000'000,
                  "the embosser's speed (default: the settings')");
  AddNumberOption(command, "--sessions", options->sessions, 1, 1'000'000,
                  "stop after N connections (default: run until Ctrl+C)");
  return [options] { return EmbossSim(*options); };
}

}  // namespace redadado::cli
