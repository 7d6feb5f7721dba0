#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "base/app_paths.h"
#include "base/messages.h"
#include "base/settings_store.h"
#include "emboss/print_seams.h"

namespace redadado {

inline constexpr const char* kSerialConfirmation =
    "ＲＳ－２３２Ｃ接続で点字印刷を開始します。準備はよろしいですか？。";
inline constexpr const char* kSerialOpenFailed = "シリアルポートがオープンできませんでした。";

// Xon/Xoff as the embosser speaks it.
inline constexpr std::uint8_t kXon = 0x11;   // DC1
inline constexpr std::uint8_t kXoff = 0x13;  // DC3
inline constexpr int kXonLimit = 1000;
inline constexpr int kXoffLimit = 3000;

// The settings tables of baud rates and data bits, by index.
inline constexpr std::array<int, 15> kBaudRates = {110,   300,   600,    1200,   2400,
                                                   4800,  9600,  14400,  19200,  38400,
                                                   56000, 57600, 115200, 128000, 256000};
inline constexpr std::array<int, 5> kDataBits = {4, 5, 6, 7, 8};

enum class Parity { kNone, kOdd, kEven };
enum class StopBits { kOne, kOneAndHalf, kTwo };

// The line parameters the settings ask for. An absent parity or stop-bit value leaves the port's
// own setting as it is; without Xon/Xoff the port's handshake settings stay untouched.
struct LineParameters {
  std::string portName;  // "COM1" ... "COM9"
  int baudRate = 1200;
  int dataBits = 8;
  std::optional<Parity> parity = Parity::kNone;
  std::optional<StopBits> stopBits = StopBits::kOne;
  bool xonXoff = true;
};

struct LineParametersResult {
  std::optional<LineParameters> parameters;
  std::string reason;  // set when a settings value lies outside its table
};

// Looks the settings indexes up in the port, baud-rate and data-bits tables.
LineParametersResult LineParametersFor(const Settings& settings);

// Runs between the short waits while output is held (Xoff, a full buffer), with how long the
// byte in hand has been waiting; it pumps events. False gives the output up: the byte fails as
// LinkFault::kAbandoned.
using HoldHandler = std::function<bool(std::chrono::milliseconds held)>;

// The waits for one held byte (or for the output to drain at close), as the ports run them.
class HeldWait {
 public:
  explicit HeldWait(const HoldHandler& handler)
      : handler_(handler), since_(std::chrono::steady_clock::now()) {}
  // After each slice: false when the hold handler gives the output up.
  bool GoOn() const {
    return !handler_ || handler_(std::chrono::duration_cast<std::chrono::milliseconds>(
                            std::chrono::steady_clock::now() - since_));
  }
  // The output moved: what is still pending has been held from now on.
  void Moved() { since_ = std::chrono::steady_clock::now(); }

 private:
  const HoldHandler& handler_;
  std::chrono::steady_clock::time_point since_;
};

// The open, configured port. Every Put writes one byte; while output is held it waits in short
// slices and runs the hold handler between them. Destroying it lets the pending output drain
// while the far end keeps taking it (the hold handler may give that up too), discards what is
// left and closes the port.
class SerialLink : public ByteSink {
 public:
  // The platform's half: an open port that writes one byte at a time.
  class Port {
   public:
    virtual ~Port() = default;
    virtual bool Put(std::uint8_t byte) = 0;
    virtual LinkFailure Failure() const = 0;
    virtual void SetCloseStallLimit(std::chrono::milliseconds limit) = 0;
    virtual bool Close() = 0;
  };
  explicit SerialLink(std::unique_ptr<Port> port);
  ~SerialLink() override;
  SerialLink(const SerialLink&) = delete;
  SerialLink& operator=(const SerialLink&) = delete;

  bool Put(std::uint8_t byte) override;
  LinkFailure Failure() const override;

  // How long closing waits for output that makes no progress before discarding it.
  void SetCloseStallLimit(std::chrono::milliseconds limit);
  // Lets the pending output drain, discards what is left and closes the port, as destroying the
  // link does. False when not everything went out (stalled, given up or failed); Failure() then
  // says why.
  bool Close();

 private:
  std::unique_ptr<Port> port_;
};

// Asks "ＲＳ－２３２Ｃ接続で…", opens the port and sets its line parameters. nullptr when the user
// declined (no further message) or the port could not be opened or configured (reported through
// `messages`). `whileHeld` runs between the short waits while output is held. `port` empty = the
// port of the settings; otherwise a COMn name or a device path.
std::unique_ptr<SerialLink> OpenSerialLink(const Settings& settings, const AppPaths& paths,
                                           Messages& messages, HoldHandler whileHeld,
                                           const std::string& port = {});

// The platform's part of opening: the device a port name stands for, and opening it with the
// given parameters. On failure the result is nullptr and `error` says why in the OS's words.
std::string PortDevice(const AppPaths& paths, const std::string& port);
std::unique_ptr<SerialLink> OpenPort(const std::string& device, const LineParameters& parameters,
                                     HoldHandler whileHeld, std::string& error);

}  // namespace redadado
