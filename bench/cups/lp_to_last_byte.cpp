// A measurement, not a check: the time from `lp` to the last byte at the simulator for the
// sample, through the CUPS test's private scheduler. The embosser takes bytes at the line's own
// speed, 256000 baud. Run after a build: bench/cups/measure-lp-to-last-byte

#include <gtest/gtest.h>

#include <chrono>
#include <iostream>

#include "cups/cups_queue.h"

namespace redadado::cups {
namespace {

TEST_F(CupsQueue, LpToLastByte) {
  SimulatorOptions lineSpeed;
  lineSpeed.paceBaud = 256000;
  auto embosser = StartEmbosser(lineSpeed);
  ASSERT_TRUE(embosser);
  for (int run = 0; run < 3; ++run) {
    const auto start = Clock::now();
    ASSERT_GT(Lp("-o redadado-side=front", Sample("taketori.bse")), 0);
    const std::size_t bytes = Received(*embosser, run).size();
    const auto elapsed = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    std::cout << "lp to last byte: " << elapsed << " ms for " << bytes << " bytes" << std::endl;
  }
}

}  // namespace
}  // namespace redadado::cups
