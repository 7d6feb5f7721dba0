#include "emboss/serial_link.h"

#include <array>

#include "emboss/print_options.h"

namespace redadado {

namespace {

constexpr std::array<const char*, 9> kPortNames = {"COM1", "COM2", "COM3", "COM4", "COM5",
                                                   "COM6", "COM7", "COM8", "COM9"};

template <typename Table>
bool InTable(const Table& table, int index) {
  return index >= 0 && static_cast<std::size_t>(index) < table.size();
}

constexpr std::string_view kComPrefix = "COM";

}  // namespace

bool IsComPortName(std::string_view name) {
  return name.size() > kComPrefix.size() && name.starts_with(kComPrefix) &&
         name.find_first_not_of("0123456789", kComPrefix.size()) == std::string_view::npos;
}

std::optional<int> ComPortNumber(std::string_view name) {
  if (!IsComPortName(name) || name[kComPrefix.size()] == '0') return std::nullopt;
  return ParseNumber(name.substr(kComPrefix.size()), 1, kHighestComPort);
}

LineParametersResult LineParametersFor(const Settings& settings) {
  LineParametersResult result;
  const auto refuse = [&result](const char* what, int index) {
    result.reason = std::string("通信設定の") + what + "の番号 " + std::to_string(index) +
                    " は使えません。設定画面で選び直してください。";
    return result;
  };
  if (!InTable(kPortNames, settings.portIndex())) return refuse("ポート", settings.portIndex());
  if (!InTable(kBaudRates, settings.baudRateIndex())) {
    return refuse("ボーレート", settings.baudRateIndex());
  }
  if (!InTable(kDataBits, settings.dataBitsIndex())) {
    return refuse("データビット", settings.dataBitsIndex());
  }
  LineParameters parameters;
  parameters.portName = kPortNames[settings.portIndex()];
  parameters.baudRate = kBaudRates[settings.baudRateIndex()];
  parameters.dataBits = kDataBits[settings.dataBitsIndex()];
  // Parity and stop bits outside their three values leave the port's own setting.
  const int parity = settings.parityIndex();
  parameters.parity =
      parity >= 0 && parity <= 2 ? std::optional(static_cast<Parity>(parity)) : std::nullopt;
  const int stop = settings.stopBitsIndex();
  parameters.stopBits =
      stop >= 0 && stop <= 2 ? std::optional(static_cast<StopBits>(stop)) : std::nullopt;
  parameters.xonXoff = settings.flowControlIndex() == 0;
  result.parameters = parameters;
  return result;
}

std::unique_ptr<SerialLink> OpenSerialLink(const Settings& settings, const AppPaths& paths,
                                           Messages& messages, HoldHandler whileHeld,
                                           const std::string& port) {
  if (IsComPortName(port) && !ComPortNumber(port)) {
    messages.Report(std::string(kSerialOpenFailed) + "\n" + port + ": " + kComPortRange);
    return nullptr;
  }
  if (!messages.ConfirmOkCancel(kSerialConfirmation)) return nullptr;
  const LineParametersResult line = LineParametersFor(settings);
  if (!line.parameters) {
    messages.Report(std::string(kSerialOpenFailed) + "\n" + line.reason);
    return nullptr;
  }
  const std::string device = PortDevice(paths, port.empty() ? line.parameters->portName : port);
  std::string error;
  std::unique_ptr<SerialLink> link =
      OpenPort(device, *line.parameters, std::move(whileHeld), error);
  if (!link) messages.Report(std::string(kSerialOpenFailed) + "\n" + error);
  return link;
}

SerialLink::SerialLink(std::unique_ptr<Port> port, HoldHandler whileHeld)
    : port_(std::move(port)), whileHeld_(std::move(whileHeld)) {}

SerialLink::~SerialLink() {
  Close();
}

bool SerialLink::Put(std::uint8_t byte) {
  if (closed_ && failure_.kind == LinkFault::kNone) {
    failure_ = {LinkFault::kFailed, "シリアルポートは閉じられています。"};
  }
  if (failure_.kind != LinkFault::kNone) return false;
  failure_ = WriteThroughHolds(*port_, byte, whileHeld_);
  return failure_.kind == LinkFault::kNone;
}

bool SerialLink::Close() {
  if (closed_) return drained_;
  if (failure_.kind == LinkFault::kNone) {
    failure_ = DrainThroughHolds(*port_, whileHeld_, stallLimit_);
    drained_ = failure_.kind == LinkFault::kNone;
  }
  port_->Close(/*discard=*/!drained_);
  closed_ = true;
  return drained_;
}

}  // namespace redadado
