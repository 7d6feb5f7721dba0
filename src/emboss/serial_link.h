#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "base/app_paths.h"
#include "base/messages.h"
#include "base/settings_store.h"
#include "emboss/held_write.h"
#include "emboss/print_seams.h"

namespace redadado {

inline constexpr const char* kSerialConfirmation =
    "ＲＳ－２３２Ｃ接続で点字印刷を開始します。準備はよろしいですか？。";
inline constexpr const char* kSerialOpenFailed = "シリアルポートがオープンできませんでした。";
inline constexpr const char* kComPortRange = "ポート名は COM1〜COM256 のどれかです。";

inline constexpr int kHighestComPort = 256;

// "COM" and digits: a port name, whatever its number.
bool IsComPortName(std::string_view name);
// n of COM1..COM256 (Windows' range); nothing for any other text (COM0, COM01, COM99999999999).
std::optional<int> ComPortNumber(std::string_view name);

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

// The open, configured port. Every Put writes one byte; while output is held it waits in short
// slices and runs the hold handler between them. Destroying it lets the pending output drain
// while the far end keeps taking it (the hold handler may give that up too), discards what is
// left and closes the port.
class SerialLink : public ByteSink {
 public:
  // The platform's half: the calls on an open port, and its closing.
  class Port : public PortCalls {
   public:
    // Closes the device, first discarding the output still pending when `discard`.
    virtual void Close(bool discard) = 0;
  };
  SerialLink(std::unique_ptr<Port> port, HoldHandler whileHeld);
  ~SerialLink() override;
  SerialLink(const SerialLink&) = delete;
  SerialLink& operator=(const SerialLink&) = delete;

  bool Put(std::uint8_t byte) override;
  LinkFailure Failure() const override { return failure_; }

  // How long closing waits for output that makes no progress before discarding it.
  void SetCloseStallLimit(std::chrono::milliseconds limit) { stallLimit_ = limit; }
  // Lets the pending output drain, discards what is left and closes the port, as destroying the
  // link does. False when not everything went out (stalled, given up or failed); Failure() then
  // says why.
  bool Close();

 private:
  std::unique_ptr<Port> port_;
  HoldHandler whileHeld_;
  LinkFailure failure_;
  std::chrono::milliseconds stallLimit_{30000};
  bool closed_ = false;
  bool drained_ = false;
};

// Asks "ＲＳ－２３２Ｃ接続で…", opens the port and sets its line parameters. nullptr when the user
// declined (no further message) or the port could not be opened or configured (reported through
// `messages`; a COM name beyond COM256 is refused before anything). `whileHeld` runs between the
// short waits while output is held. `port` empty = the port of the settings; otherwise a COMn name
// or a device path.
std::unique_ptr<SerialLink> OpenSerialLink(const Settings& settings, const AppPaths& paths,
                                           Messages& messages, HoldHandler whileHeld,
                                           const std::string& port = {});

// The platform's part of opening: the device a port name stands for, and opening it with the
// given parameters. On failure the result is nullptr and `error` says why in the OS's words.
std::string PortDevice(const AppPaths& paths, const std::string& port);
std::unique_ptr<SerialLink> OpenPort(const std::string& device, const LineParameters& parameters,
                                     HoldHandler whileHeld, std::string& error);

}  // namespace redadado
