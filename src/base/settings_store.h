#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>

namespace redadado {

// The seven settings values, in the order of NEF.ini. Each is an index into one item list of
// the settings dialog.
struct Settings {
  enum Index { kBaudRate, kPort, kFlowControl, kDataBits, kStopBits, kParity, kScreenReader };
  static constexpr std::size_t kCount = 7;

  std::array<int, kCount> values = Defaults();

  int baudRateIndex() const { return values[kBaudRate]; }
  int portIndex() const { return values[kPort]; }
  int flowControlIndex() const { return values[kFlowControl]; }
  int dataBitsIndex() const { return values[kDataBits]; }
  int stopBitsIndex() const { return values[kStopBits]; }
  int parityIndex() const { return values[kParity]; }
  int screenReaderChoice() const { return values[kScreenReader]; }

  // 1200 baud, COM1, Xon/Xoff, 8 data bits, 1 stop bit, no parity, no speech.
  static constexpr std::array<int, kCount> Defaults() { return {3, 0, 0, 4, 0, 0, 0}; }
  // Largest valid index of each value (all start at 0).
  static constexpr std::array<int, kCount> Maxima() { return {14, 8, 1, 4, 2, 2, 2}; }
};

// Reads the settings text: "%d"-style numbers separated by any white space, stopping at the
// first item that is not a number. Values not read, and values outside their range, keep their
// defaults, so no index ever leaves its table.
Settings ParseSettings(const std::string& text);

// The file content: exactly "%d %d %d %d %d %d %d", no line end.
std::string FormatSettings(const Settings& settings);

// A missing or unreadable file gives the defaults.
Settings LoadSettings(const std::filesystem::path& file);

// Writes a temporary file beside `file` and renames it over, so a crash or a full disk never
// leaves a truncated settings file. Returns the reason when the settings could not be saved.
std::optional<std::string> SaveSettings(const Settings& settings,
                                        const std::filesystem::path& file);

// The message shown when saving fails.
inline constexpr const char* kSettingsNotSaved = "設定は保存できませんでした。";

}  // namespace redadado
