#include <iostream>
#include <mutex>

#include "cli/commands.h"
#include "embosser/pty_simulator.h"

namespace redadado::cli {

int RunEmbossSim(Args args) {
  Session session = MakeSession();
  SimulatorOptions options;
  options.link = session.paths.PortLink("COM1");  // what the windows open with the defaults
  options.pictures = "embossed";
  int sessions = 0;  // 0: until interrupted
  std::optional<int> baud;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    if (i + 1 >= args.size())
      return UsageError("emboss-sim: " + std::string(arg) + " needs a value");
    const std::string_view value = args[++i];
    if (arg == "--link") {
      options.link = std::string(value);
    } else if (arg == "--pictures") {
      options.pictures = std::string(value);
    } else if (arg == "--baud") {
      baud = ParseNumber(value, 50, 4'000'000);
      if (!baud) return UsageError("emboss-sim: --baud takes a speed in baud");
    } else if (arg == "--sessions") {
      const std::optional<int> count = ParseNumber(value, 1, 1'000'000);
      if (!count) return UsageError("emboss-sim: --sessions takes a positive number");
      sessions = *count;
    } else {
      return UsageError("unknown option for emboss-sim: " + std::string(arg));
    }
  }
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

}  // namespace redadado::cli
