#include "support/window_fixture.h"

#include <gtest/gtest.h>

#include <QTimer>

#include "support/run_cli.h"

namespace redadado::test {

MessageAnswer WindowMessages::Show(const std::string& caption, const std::string& text,
                                   MessageIcon icon, MessageButtons buttons) {
  if (onShow) onShow(text);
  return ScriptedMessages::Show(caption, text, icon, buttons);
}

std::optional<std::string> ScriptedChooser::ChooseFile(const std::string& title,
                                                       const std::string&) {
  titles.push_back(title);
  if (answers.empty()) return std::nullopt;
  std::optional<std::string> answer = answers.front();
  answers.pop_front();
  return answer;
}

WindowFixture::WindowFixture() {
  session.settings.values[Settings::kBaudRate] = 14;
  form.AttachWindows(&settings, &escape, &progress, &resume);
  form.show();
}

std::unique_ptr<PtySimulator> WindowFixture::StartSimulator(SimulatorOptions options) {
  options.link = dir / "COM1";
  options.pictures = dir / "embossed";
  options.line = *LineParametersFor(session.settings).parameters;
  if (options.paceBaud == 0) options.paceBaud = 2'560'000;
  std::string error;
  std::unique_ptr<PtySimulator> simulator = PtySimulator::Create(std::move(options), error);
  EXPECT_TRUE(simulator) << error;
  if (simulator) simulator->Start();
  return simulator;
}

SimulatorSession WindowFixture::OnlySession(PtySimulator& simulator) {
  EXPECT_TRUE(simulator.WaitForSessions(1, std::chrono::milliseconds(30000)));
  const std::vector<SimulatorSession> sessions = simulator.Sessions();
  EXPECT_EQ(sessions.size(), 1u);
  return sessions.empty() ? SimulatorSession{} : sessions.front();
}

void WindowFixture::Repeat(std::function<bool()> action) {
  auto* timer = new QTimer(&form);
  QObject::connect(timer, &QTimer::timeout, timer, [timer, action = std::move(action)] {
    if (action()) timer->deleteLater();
  });
  timer->start(2);
}

std::vector<std::uint8_t> CliStream(const TempDir& dir, std::vector<std::string> args) {
  const std::string output = (dir / "cli-stream.bin").string();
  args.insert(args.begin(), "print");
  args.insert(args.end(), {"--output", output});
  const CliResult result = RunCli(args);
  EXPECT_EQ(result.status, 0) << result.err;
  const std::string bytes = ReadFile(output);
  return {bytes.begin(), bytes.end()};
}

std::string Sample(const char* name) {
  return std::string(REDADADO_SAMPLES_DIR) + "/" + name;
}

}  // namespace redadado::test
