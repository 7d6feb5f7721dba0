#include "cups/cups_job.h"

#include <gtest/gtest.h>

#include <fstream>

#include "support/temp_dir.h"

namespace redadado::cups {
namespace {

struct OptionsCase {
  const char* copies;
  const char* options;
  int expectCopies;             // 0: refused
  int first, last, side, dots;  // side and dots as list items; side -9: none given
  const char* reasonPart;
};

TEST(CupsJobOptions, TakeCopiesOneRangeSideAndDotsByTheToolsNames) {
  const OptionsCase cases[] = {
      {"1", "", 1, 0, 0, -9, 0, ""},
      {"2", "page-ranges=2-3 redadado-dots=large-double", 2, 2, 3, -9, 3, ""},
      {"1", "page-ranges=5 redadado-side=front", 1, 5, 5, 0, 0, ""},
      {"3", "redadado-side=both-in-order redadado-dots=medium-double job-uuid=x", 3, 0, 0, 3, 2,
       ""},
      {"1", "redadado-side=single redadado-dots=1", 1, 0, 0, 4, 1, ""},
      {"0", "", 0, 0, 0, 0, 0, "部数 0"},
      {"1000", "", 0, 0, 0, 0, 0, "部数 1000"},
      {"1", "page-ranges=1-2,5-6", 0, 0, 0, 0, 0, "一つだけ"},
      {"1", "page-ranges=0-3", 0, 0, 0, 0, 0, "page-ranges=0-3"},
      {"1", "redadado-side=sideways", 0, 0, 0, 0, 0, "redadado-side=sideways"},
      {"1", "redadado-dots='very large'", 0, 0, 0, 0, 0, "redadado-dots=very large"},
  };
  for (const OptionsCase& c : cases) {
    SCOPED_TRACE(std::string(c.copies) + " " + c.options);
    const JobOptionsResult result = ParseJobOptions(c.copies, c.options);
    if (c.expectCopies == 0) {
      EXPECT_FALSE(result.options);
      EXPECT_NE(result.reason.find(c.reasonPart), std::string::npos) << result.reason;
      continue;
    }
    ASSERT_TRUE(result.options) << result.reason;
    EXPECT_EQ(result.options->copies, c.expectCopies);
    EXPECT_EQ(result.options->firstPage.value_or(0), c.first);
    EXPECT_EQ(result.options->lastPage.value_or(0), c.last);
    EXPECT_EQ(result.options->side ? ItemOf(*result.options->side) : -9, c.side);
    EXPECT_EQ(ItemOf(result.options->dots), c.dots);
  }
}

TEST(CupsDeviceUri, EveryBaudRateOfTheSettingsAndTheLineParameters) {
  for (const int baud : kBaudRates) {
    const auto result = ParseDeviceUri("redadado:/dev/ttyUSB0?baud=" + std::to_string(baud));
    ASSERT_TRUE(result.target) << result.reason;
    EXPECT_EQ(result.target->line.baudRate, baud);
    EXPECT_EQ(result.target->port, "/dev/ttyUSB0");
  }
  const auto defaults = ParseDeviceUri("redadado:/COM1");
  ASSERT_TRUE(defaults.target);
  EXPECT_EQ(defaults.target->port, "COM1");
  EXPECT_EQ(defaults.target->line.baudRate, 1200);
  EXPECT_EQ(defaults.target->line.dataBits, 8);
  EXPECT_EQ(defaults.target->line.parity, Parity::kNone);
  EXPECT_EQ(defaults.target->line.stopBits, StopBits::kOne);
  EXPECT_TRUE(defaults.target->line.xonXoff);

  EXPECT_TRUE(ParseDeviceUri("redadado:/dev/ttyS0?bits=5+stop=1.5").target);
  const auto full = ParseDeviceUri(
      "redadado:///dev/serial/by-id/usb-FTDI%20A?baud=9600+bits=7&parity=even+stop=2+flow=none");
  ASSERT_TRUE(full.target) << full.reason;
  EXPECT_EQ(full.target->port, "/dev/serial/by-id/usb-FTDI A");
  EXPECT_EQ(full.target->line.dataBits, 7);
  EXPECT_EQ(full.target->line.parity, Parity::kEven);
  EXPECT_EQ(full.target->line.stopBits, StopBits::kTwo);
  EXPECT_FALSE(full.target->line.xonXoff);

  for (const char* bad :
       {"serial:/dev/ttyS0", "redadado:", "redadado:/dev/ttyS0?baud=9601",
        "redadado:/dev/ttyS0?baud=fast", "redadado:/dev/ttyS0?bits=9", "redadado:/dev/ttyS0?bits=4",
        "redadado:/dev/ttyS0?stop=1.5", "redadado:/dev/ttyS0?parity=mark",
        "redadado:/dev/ttyS0?speed=9600", "redadado:/dev/ttyS0?baud", "redadado:/dev/tty%zz"}) {
    const auto result = ParseDeviceUri(bad);
    EXPECT_FALSE(result.target) << bad;
    EXPECT_NE(result.reason.find(bad), std::string::npos) << result.reason;
  }
}

TEST(CupsDiscovery, ListsTheSchemeThenUsbPortsAndRealUarts) {
  test::TempDir dir;
  std::filesystem::create_directories(dir / "dev");
  for (const char* name : {"ttyS0", "ttyS1", "ttyUSB0", "ttyACM0", "tty1", "null"}) {
    std::ofstream(dir / "dev" / name);
  }
  for (const auto& [name, type] : {std::pair{"ttyS0", "0"}, std::pair{"ttyS1", "4"}}) {
    std::filesystem::create_directories(dir / "sys" / name);
    std::ofstream(dir / "sys" / name / "type") << type << "\n";
  }
  const std::string dev = (dir / "dev").string();
  EXPECT_EQ(DiscoveryLines(dir / "dev", dir / "sys"),
            (std::vector<std::string>{
                R"x(serial redadado "Unknown" "Redadado embosser (serial)")x",
                "serial redadado:" + dev + "/ttyACM0 \"Unknown\" \"Redadado embosser on " + dev +
                    "/ttyACM0\"",
                "serial redadado:" + dev + "/ttyS1 \"Unknown\" \"Redadado embosser on " + dev +
                    "/ttyS1\"",
                "serial redadado:" + dev + "/ttyUSB0 \"Unknown\" \"Redadado embosser on " + dev +
                    "/ttyUSB0\""}));
  EXPECT_EQ(StatusLine("ERROR", "a\nb"), "ERROR: a b");
}

}  // namespace
}  // namespace redadado::cups
