#include "emboss/held_output.h"

#include <gtest/gtest.h>

#include "print_test_support.h"

namespace redadado {
namespace {

using std::chrono::milliseconds;

TEST(HeldOutputGuard, WaitsLongerThanFlowControlHoldsBeforeOfferingToGiveUp) {
  Settings settings;
  // 1200 baud: a 4 KiB buffer drains in some 34 s; fast lines still wait 10 s.
  EXPECT_EQ(HeldOutputGuard::Patience(settings), milliseconds(34133));
  settings.values[Settings::kBaudRate] = 14;
  EXPECT_EQ(HeldOutputGuard::Patience(settings), milliseconds(10000));
  settings.values[Settings::kBaudRate] = 99;  // outside its table: the link would not open
  EXPECT_EQ(HeldOutputGuard::Patience(settings), milliseconds(10000));

  test::TempDir dir;
  Session session{AppPaths(dir.path())};
  session.settings.values[Settings::kBaudRate] = 14;
  test::ScriptedMessages messages;
  HeldOutputGuard guard;
  // No Esc: wait for ever, silently.
  EXPECT_TRUE(guard.KeepWaiting(session.run, session.settings, milliseconds(60000), messages));
  // Esc, but not held long yet.
  session.run.escapeRequested = 1;
  EXPECT_TRUE(guard.KeepWaiting(session.run, session.settings, milliseconds(9999), messages));
  EXPECT_TRUE(messages.texts.empty());
  // Held long: asked once; No goes on waiting for the page's end without asking again.
  messages.answers = {false};
  EXPECT_TRUE(guard.KeepWaiting(session.run, session.settings, milliseconds(10000), messages));
  EXPECT_TRUE(guard.KeepWaiting(session.run, session.settings, milliseconds(20000), messages));
  EXPECT_EQ(messages.texts, std::vector<std::string>{std::string("確認: ") + kAbandonHeldQuestion});
  // Every further Esc during the same hold asks again, at once; No keeps waiting each time.
  for (int press = 1; press <= 2; ++press) {
    ++session.run.escapePresses;
    messages.answers = {false};
    EXPECT_TRUE(guard.KeepWaiting(session.run, session.settings, milliseconds(20010), messages));
    EXPECT_EQ(messages.texts.size(), 1u + static_cast<unsigned>(press));
  }
  EXPECT_TRUE(guard.KeepWaiting(session.run, session.settings, milliseconds(30000), messages));
  EXPECT_EQ(messages.texts.size(), 3u);
  EXPECT_EQ(messages.buttonKinds, std::vector<MessageButtons>(3, MessageButtons::kYesNoDefaultNo));
  messages.texts.resize(1);
  // A later Esc may ask again; Yes gives the run up.
  session.run.escapeRequested = 0;
  EXPECT_TRUE(guard.KeepWaiting(session.run, session.settings, milliseconds(20), messages));
  session.run.escapeRequested = 1;
  messages.answers = {true};
  EXPECT_FALSE(guard.KeepWaiting(session.run, session.settings, milliseconds(10050), messages));
  EXPECT_EQ(messages.texts.size(), 2u);
}

}  // namespace
}  // namespace redadado
