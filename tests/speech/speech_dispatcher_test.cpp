#include "speech/speech_dispatcher_posix.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "speech/speech_guide.h"
#include "support/temp_dir.h"

namespace redadado {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// A speech-dispatcher of the test's own: private configuration, socket and log, the dummy
// output module, and ALSA sent nowhere so that no sound device is needed.
class PrivateSpeechServer {
 public:
  PrivateSpeechServer() {
    std::filesystem::create_directories(dir_ / "conf");
    std::filesystem::create_directories(dir_ / "log");
    std::filesystem::create_directories(dir_ / "home");
    dir_.Write("conf/speechd.conf",
               "LogLevel 5\nAudioOutputMethod \"alsa\"\nAddModule \"dummy\" \"sd_dummy\" \"\"\n"
               "DefaultModule \"dummy\"\nDefaultLanguage \"ja\"\n");
    dir_.Write("home/.asoundrc", "pcm.!default { type null }\n");
    const std::string home = "HOME=" + (dir_ / "home").string();
    const std::string conf = (dir_ / "conf").string();
    const std::string log = (dir_ / "log").string();
    const std::string socket = Socket();
    const char* argv[] = {
        "speech-dispatcher", "-s", "-t",           "0",    "-C", conf.c_str(), "-L",
        log.c_str(),         "-S", socket.c_str(), nullptr};
    const char* envp[] = {home.c_str(), "PATH=/usr/bin:/bin", nullptr};
    const std::string output = (dir_ / "log/output").string();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    const int spawned = posix_spawnp(&pid_, "speech-dispatcher", &actions, nullptr,
                                     const_cast<char**>(argv), const_cast<char**>(envp));
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
      pid_ = 0;
      return;
    }
    for (auto end = Clock::now() + 10s; Clock::now() < end; std::this_thread::sleep_for(20ms)) {
      if (std::filesystem::exists(socket)) break;
    }
  }
  // speech-dispatcher sometimes hangs on its way out, in its output module's shutdown: it gets
  // a few seconds, then it is killed.
  ~PrivateSpeechServer() {
    if (pid_ == 0) return;
    kill(pid_, SIGTERM);
    for (auto end = Clock::now() + 5s; Clock::now() < end; std::this_thread::sleep_for(20ms)) {
      if (waitpid(pid_, nullptr, WNOHANG) == pid_) return;
    }
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }

  bool Running() const { return pid_ != 0 && std::filesystem::exists(Socket()); }
  std::string Socket() const { return (dir_ / "sd.sock").string(); }

  // Waits until the server has queued `text`.
  bool Received(const std::string& text) const {
    const std::string line = "Queueing message |" + text + "|";
    for (auto end = Clock::now() + 10s; Clock::now() < end; std::this_thread::sleep_for(20ms)) {
      if (test::ReadFile(dir_ / "log/speech-dispatcher.log").find(line) != std::string::npos) {
        return true;
      }
    }
    return false;
  }

 private:
  test::TempDir dir_;
  pid_t pid_ = 0;
};

void PointClientsAt(const std::string& socket) {
  setenv("SPEECHD_ADDRESS", ("unix_socket:" + socket).c_str(), 1);
}

TEST(SpeechDispatcher, BothChoicesReachARealServer) {
  PrivateSpeechServer server;
  ASSERT_TRUE(server.Running()) << "speech-dispatcher did not start";
  PointClientsAt(server.Socket());
  Settings settings;
  SpeechGuide guide(settings, PlatformReaderRoutes());
  guide.OpenXpReader();
  settings.values[Settings::kScreenReader] = 1;
  guide.Notice(SpeakingControl::kFileE, SpeechEvent::kEnter, "");
  guide.Notice(SpeakingControl::kBusuE, SpeechEvent::kChange, "2");
  EXPECT_TRUE(server.Received("文章ファイルを呼び出してください"));
  EXPECT_TRUE(server.Received("部数の変更　2"));
  settings.values[Settings::kScreenReader] = 2;
  guide.Notice(SpeakingControl::kButton6, SpeechEvent::kEnter, "");
  EXPECT_TRUE(server.Received("まとめ印刷のボタン　アール"));
}

// The caller never waits on speech: not for a missing library, a missing server, nor a server
// that takes the connection and never answers.
TEST(SpeechDispatcher, AbsentOrSilentServersCostTheCallerNothing) {
  test::TempDir dir;
  const std::string path = (dir / "mute.sock").string();
  PointClientsAt(path);
  const auto start = Clock::now();
  OpenSpeechDispatcher("libspeechd-missing.so.0", true)->Speak("印刷のボタン　ピー");
  OpenSpeechDispatcher(kSpeechDispatcherLibrary, true)->Speak("印刷のボタン　ピー");
  EXPECT_LT(Clock::now() - start, 2s);

  const int mute = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  path.copy(address.sun_path, sizeof address.sun_path - 1);
  ASSERT_EQ(bind(mute, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(listen(mute, 4), 0);
  const auto muteStart = Clock::now();
  {
    auto reader = OpenSpeechDispatcher(kSpeechDispatcherLibrary, true);
    for (int i = 0; i < 100; ++i) reader->Speak("部数の変更　" + std::to_string(i));
    reader->Reset();
  }
  EXPECT_LT(Clock::now() - muteStart, 5s);
  // The mute server stays until the process ends: the reader's thread, still waiting for its
  // answer, then never reaches libspeechd's failure path, which leaks a little.
}

}  // namespace
}  // namespace redadado
