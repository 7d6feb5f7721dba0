#include "cups/cups_job.h"

#include <cups/cups.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <fstream>

#include <unistd.h>

namespace redadado::cups {

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// %XX escapes of a URI part; nothing when one is broken.
std::optional<std::string> PercentDecoded(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      out += text[i];
      continue;
    }
    if (i + 2 >= text.size()) return std::nullopt;
    const int high = HexValue(text[i + 1]);
    const int low = HexValue(text[i + 2]);
    if (high < 0 || low < 0) return std::nullopt;
    out += static_cast<char>(high * 16 + low);
    i += 2;
  }
  return out;
}

// Applies one name=value of the URI to `line`; the reason when it cannot.
std::optional<std::string> ApplyUriOption(std::string_view name, std::string_view value,
                                          LineParameters& line) {
  const std::string shown = std::string(name) + "=" + std::string(value);
  if (name == "baud") {
    const auto baud = ParseNumber(value, 1, 10'000'000);
    if (!baud || std::find(kBaudRates.begin(), kBaudRates.end(), *baud) == kBaudRates.end()) {
      return shown +
             ": ボーレートは 110, 300, 600, 1200, 2400, 4800, 9600, 14400, 19200, "
             "38400, 56000, 57600, 115200, 128000, 256000 のどれかです。";
    }
    line.baudRate = *baud;
  } else if (name == "bits") {
    // 4 data bits, though in the settings table, is beyond a Linux serial port.
    const auto bits = ParseNumber(value, 5, kDataBits.back());
    if (!bits) return shown + ": データビットは 5〜8 です。";
    line.dataBits = *bits;
  } else if (name == "parity") {
    if (value == "none") {
      line.parity = Parity::kNone;
    } else if (value == "odd") {
      line.parity = Parity::kOdd;
    } else if (value == "even") {
      line.parity = Parity::kEven;
    } else {
      return shown + ": パリティは none、odd、even のどれかです。";
    }
  } else if (name == "stop") {
    if (value == "1") {
      line.stopBits = StopBits::kOne;
    } else if (value == "1.5") {
      line.stopBits = StopBits::kOneAndHalf;
    } else if (value == "2") {
      line.stopBits = StopBits::kTwo;
    } else {
      return shown + ": ストップビットは 1、1.5、2 のどれかです。";
    }
  } else if (name == "flow") {
    if (value != "xonxoff" && value != "none") {
      return shown + ": フロー制御は xonxoff か none です。";
    }
    line.xonXoff = value == "xonxoff";
  } else {
    return shown + ": 使えるのは baud、bits、parity、stop、flow です。";
  }
  return std::nullopt;
}

bool IsRealUart(const std::filesystem::path& sysClassTty, const std::string& name) {
  // Legacy ttyS nodes exist whether or not a UART stands behind them; type 0 is none.
  std::ifstream type(sysClassTty / name / "type");
  int value = 0;
  return static_cast<bool>(type >> value) && value != 0;
}

}  // namespace

JobOptionsResult ParseJobOptions(std::string_view copies, const char* options) {
  JobOptionsResult result;
  PrintOptions print;
  const auto copyCount = ParseNumber(copies, 1, 999);
  if (!copyCount) {
    result.reason = "部数 " + std::string(copies) + " は使えません（1〜999）。";
    return result;
  }
  print.copies = *copyCount;

  cups_option_t* parsed = nullptr;
  const int count = cupsParseOptions(options, 0, &parsed);
  const auto option = [&](const char* name) -> std::optional<std::string_view> {
    const char* value = cupsGetOption(name, count, parsed);
    if (value == nullptr) return std::nullopt;
    return std::string_view(value);
  };
  if (const auto ranges = option("page-ranges")) {
    const auto range = ParsePageRange(*ranges);
    if (ranges->find(',') != std::string_view::npos) {
      result.reason = "ページ範囲は一つだけ指定できます（page-ranges=" + std::string(*ranges) +
                      "）。ほかの範囲は別のジョブで送ってください。";
    } else if (!range) {
      result.reason = "ページ範囲 page-ranges=" + std::string(*ranges) +
                      " は使えません（1〜999 のページで A-B）。";
    } else {
      print.firstPage = range->first;
      print.lastPage = range->second;
    }
  }
  if (const auto side = option("redadado-side"); side && result.reason.empty()) {
    print.side = ParseSideMode(*side);
    if (!print.side) {
      result.reason = "redadado-side=" + std::string(*side) +
                      " は使えません。front、back、both、both-in-order、single のどれかです。";
    }
  }
  if (const auto dots = option("redadado-dots"); dots && result.reason.empty()) {
    const auto kind = ParseDotKind(*dots);
    if (!kind) {
      result.reason = "redadado-dots=" + std::string(*dots) +
                      " は使えません。medium、large、medium-double、large-double のどれかです。";
    } else {
      print.dots = *kind;
    }
  }
  cupsFreeOptions(count, parsed);
  if (result.reason.empty()) result.options = print;
  return result;
}

DeviceUriResult ParseDeviceUri(std::string_view uri) {
  DeviceUriResult result;
  const auto refuse = [&](const std::string& why) {
    result.reason = "デバイス URI " + std::string(uri) + " は使えません: " + why;
    return result;
  };
  constexpr std::string_view kScheme = "redadado:";
  if (!uri.starts_with(kScheme)) return refuse("redadado: で始まっていません。");
  std::string_view rest = uri.substr(kScheme.size());
  if (rest.starts_with("//")) rest.remove_prefix(2);  // an empty authority
  const std::size_t query = rest.find('?');
  const auto path = PercentDecoded(rest.substr(0, query));
  if (!path || path->size() < 2 || path->front() != '/') {
    return refuse("ポートを /dev/ttyUSB0 や /COM1 のように書いてください。");
  }
  DeviceTarget target;
  target.line = *LineParametersFor(Settings{}).parameters;
  if (std::any_of(path->begin(), path->end(),
                  [](unsigned char c) { return c < 0x20 || c == 0x7F; })) {
    return refuse("制御文字（%00 など）は使えません。");
  }
  const std::string_view name = std::string_view(*path).substr(1);
  if (IsComPortName(name) && !ComPortNumber(name)) return refuse(kComPortRange);
  target.port = IsComPortName(name) ? std::string(name) : *path;
  target.line.portName = target.port;
  if (query != std::string_view::npos) {
    std::string_view options = rest.substr(query + 1);
    while (!options.empty()) {
      const std::size_t end = options.find_first_of("+&");
      const std::string_view item = options.substr(0, end);
      options = end == std::string_view::npos ? std::string_view() : options.substr(end + 1);
      if (item.empty()) continue;
      const std::size_t equals = item.find('=');
      if (equals == std::string_view::npos)
        return refuse(std::string(item) + " に値がありません。");
      if (const auto why =
              ApplyUriOption(item.substr(0, equals), item.substr(equals + 1), target.line)) {
        return refuse(*why);
      }
    }
  }
  if (target.line.stopBits == StopBits::kOneAndHalf && target.line.dataBits != 5) {
    return refuse("1.5 ストップビットは 5 データビットのときだけ使えます。");
  }
  result.target = target;
  return result;
}

std::vector<std::string> DiscoveryLines(const std::filesystem::path& dev,
                                        const std::filesystem::path& sysClassTty) {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(dev, error)) {
    const std::string name = entry.path().filename().string();
    const bool usb = name.starts_with("ttyUSB") || name.starts_with("ttyACM");
    if (usb || (name.starts_with("ttyS") && IsRealUart(sysClassTty, name))) names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  std::vector<std::string> lines = {"serial redadado \"Unknown\" \"Redadado embosser (serial)\""};
  for (const std::string& name : names) {
    const std::string device = (dev / name).string();
    lines.push_back("serial redadado:" + device + " \"Unknown\" \"Redadado embosser on " + device +
                    "\"");
  }
  return lines;
}

std::string OneLine(std::string_view text) {
  std::string line;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    line += byte < 0x20 || byte == 0x7F ? ' ' : c;
  }
  return line;
}

std::string StatusLine(std::string_view prefix, std::string_view text) {
  return std::string(prefix) + ": " + OneLine(text);
}

void Status(std::string_view prefix, std::string_view text) {
  const std::string line = StatusLine(prefix, text) + "\n";
  std::size_t written = 0;
  while (written < line.size()) {
    const ssize_t put = ::write(STDERR_FILENO, line.data() + written, line.size() - written);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return;  // nobody reads the status any more
    written += static_cast<std::size_t>(put);
  }
}

}  // namespace redadado::cups
