#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "emboss/print_options.h"
#include "emboss/serial_link.h"

namespace redadado::cups {

// The document formats of the queue: what users send, and what only the filter makes.
inline constexpr const char* kBseType = "application/x-redadado-bse";
inline constexpr const char* kBesType = "application/x-redadado-bes";
inline constexpr const char* kEmbosserStreamType = "application/x-redadado-embosser";

// Nobody stands at a shared embosser to turn the paper over between the fronts and the backs.
inline constexpr const char* kBackSideRefused =
    "両面印刷の裏（偶数ページ）は用紙を裏返してから印刷するため、共有の印刷キューでは続けて"
    "印刷できません。表を redadado-side=front、裏を redadado-side=back として、二つのジョブで"
    "送ってください。";

// What the filter writes instead of a stream for a document it refuses, before the reason and a
// line feed. The backend then sends nothing and cancels the job with the reason, which no
// embosser stream (it starts with ESC) can be mistaken for.
inline constexpr std::string_view kRefusalMark = "redadado-refused: ";

// The backend's printer state message while the embosser has stopped taking data.
inline constexpr const char* kEmbosserHeld =
    "点字プリンターがデータを受け取っていません（XOFF）。用紙、紙詰まり、電源を確かめてください。";

struct JobOptionsResult {
  std::optional<PrintOptions> options;
  std::string reason;  // set when an option cannot be used
};

// The job's copies (the filter's fourth argument) and its option string (the fifth): copies,
// page-ranges (one range), redadado-side and redadado-dots with the command-line tool's names.
JobOptionsResult ParseJobOptions(std::string_view copies, const char* options);

// Where the queue's device URI points and how the line is set up.
struct DeviceTarget {
  std::string port;  // a device path, or COMn
  LineParameters line;
};

struct DeviceUriResult {
  std::optional<DeviceTarget> target;
  std::string reason;
};

// redadado:/dev/ttyUSB0?baud=9600+parity=even or redadado:/COM1; options baud (the 15 rates of
// the settings), bits (5..8), parity (none|odd|even), stop (1|1.5|2), flow (xonxoff|none),
// separated by + or &. What is not given is the settings' default: 1200 baud, 8 bits, no
// parity, one stop bit, Xon/Xoff.
DeviceUriResult ParseDeviceUri(std::string_view uri);

// The backend's device discovery: the scheme, then every serial port found under `dev`
// (ttyUSB*, ttyACM*, and the ttyS* whose `sysClassTty`/NAME/type names a real UART), one line
// each in the backend format.
std::vector<std::string> DiscoveryLines(const std::filesystem::path& dev,
                                        const std::filesystem::path& sysClassTty);

// The text on one line: line breaks and every other control character turned into spaces.
std::string OneLine(std::string_view text);
// A message as one CUPS status line: "ERROR: text".
std::string StatusLine(std::string_view prefix, std::string_view text);
// Writes a status line to standard error in one write: the filter and the backend share the
// scheduler's status pipe, and lines written piecemeal interleave there (an ERROR read as a
// PAGE line, its reason lost).
void Status(std::string_view prefix, std::string_view text);

}  // namespace redadado::cups
