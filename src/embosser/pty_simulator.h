#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "emboss/serial_link.h"
#include "embosser/virtual_embosser.h"

namespace redadado {

struct SimulatorOptions {
  std::filesystem::path link;      // the terminal's device is linked here (COMn of the windows)
  std::filesystem::path pictures;  // side-NNN.png of every session
  // The line the embosser is set up for; what the application sets is checked against it.
  LineParameters line;
  // The speed the embosser takes bytes off its buffer at; 0 = the line's baud rate. Tests use a
  // higher one to stay quick.
  int paceBaud = 0;
  std::size_t bufferSize = 4096;
  std::size_t highMark = 3072;  // Xoff once the buffer holds this much
  std::size_t lowMark = 1024;   // Xon once it has drained below this
  // Test hooks: hold Xoff for `holdFor` once `holdAfterBytes` bytes came in a session; close the
  // far end once `closeAfterBytes` came (0 = never).
  std::size_t holdAfterBytes = 0;
  std::chrono::milliseconds holdFor{0};
  std::size_t closeAfterBytes = 0;
};

// One opening of the port by the application, from its open to its close.
struct SimulatorSession {
  int number = 0;
  std::vector<std::uint8_t> stream;   // every byte received, in order
  std::vector<std::string> problems;  // line settings that differ, a cut-off
  VirtualEmbosser::Outcome outcome{false, {}, 0};
  int firstSide = 1;

  // "接続 1: 1234 バイト受信、3 面を出力しました: DIR" and the problems, one per line.
  std::string Summary() const;
};

// A virtual embosser on a pseudo-terminal. It owns the master side, links the slave's device at
// `link`, sends Xon at the start of each session (a pty keeps a received Xoff across openings),
// paces itself like a real embosser with Xon/Xoff and writes every session's sheet pictures.
class PtySimulator {
 public:
  // nullptr with `error` set when the terminal or the link could not be made.
  static std::unique_ptr<PtySimulator> Create(SimulatorOptions options, std::string& error);
  ~PtySimulator();  // stops, closes the master, removes the link
  PtySimulator(const PtySimulator&) = delete;
  PtySimulator& operator=(const PtySimulator&) = delete;

  const std::string& DevicePath() const { return devicePath_; }
  // Called on the simulator's thread when a session has ended.
  void OnSession(std::function<void(const SimulatorSession&)> callback);
  // Runs the simulator on its own thread until the object is destroyed.
  void Start();
  // Waits until `count` sessions have ended; false on time-out.
  bool WaitForSessions(int count, std::chrono::milliseconds timeout);
  std::vector<SimulatorSession> Sessions() const;

 private:
  explicit PtySimulator(SimulatorOptions options);
  void Run();
  void BeginSession();
  void EndSession();
  void SendFlow(std::uint8_t byte);
  void CheckLine();
  bool StillReadable() const;

  SimulatorOptions options_;
  int master_ = -1;
  std::string devicePath_;
  std::thread thread_;
  std::atomic<bool> stop_{false};

  // Simulator thread state.
  bool inSession_ = false;
  std::unique_ptr<VirtualEmbosser> embosser_;
  SimulatorSession current_;
  double buffered_ = 0;  // bytes waiting in the modelled receive buffer
  bool xoffSent_ = false;
  bool lineChecked_ = false;
  std::chrono::steady_clock::time_point holdUntil_{};
  bool holdDone_ = false;
  int nextSide_ = 1;

  mutable std::mutex mutex_;
  std::condition_variable ended_;
  std::vector<SimulatorSession> sessions_;
  std::function<void(const SimulatorSession&)> onSession_;
};

// Blocks SIGINT and SIGTERM for this thread and the threads it starts afterwards, then waits up
// to `timeout` for one of them; true when one arrived. For the command-line simulator.
void BlockStopSignals();
bool WaitForStopSignal(std::chrono::milliseconds timeout);

}  // namespace redadado
