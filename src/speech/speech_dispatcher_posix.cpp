#include "speech/speech_dispatcher_posix.h"

#include <dlfcn.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <utility>

namespace redadado {

namespace {

// The few libspeechd calls used, declared here so the library is needed only at run time.
struct SpdConnection;
struct SpdAddress {  // SPDConnectionAddress
  int method;
  char* unixSocketName;
  char* inetSocketHost;
  int inetSocketPort;
  char* dbusBus;
};
constexpr int kSpdMethodUnixSocket = 0;
using SpdDefaultAddress = SpdAddress* (*)(char** error);
using SpdFreeAddress = void (*)(SpdAddress*);
using SpdOpen2 = SpdConnection* (*)(const char* client, const char* connection, const char* user,
                                    int mode, const SpdAddress* address, int autospawn,
                                    char** error);
using SpdSay = int (*)(SpdConnection*, int priority, const char* text);
using SpdCancel = int (*)(SpdConnection*);
using SpdClose = void (*)(SpdConnection*);
using SpdSetLanguage = int (*)(SpdConnection*, const char* language);
constexpr int kSpdModeSingle = 0;
constexpr int kSpdPriorityText = 3;  // a newer text of ours cuts an older one short

// Texts waiting while the server is slow: beyond this the oldest are dropped, since a listener
// only wants what the focus says now.
constexpr std::size_t kQueueLimit = 32;
constexpr auto kCloseWait = std::chrono::seconds(1);

struct Request {
  bool cancel = false;
  std::string text;
};

// What the worker thread shares with the readers. It outlives them when the server never answers:
// the thread keeps it until its call returns.
struct Channel {
  void* library = nullptr;
  SpdDefaultAddress defaultAddress = nullptr;
  SpdFreeAddress freeAddress = nullptr;
  SpdOpen2 open2 = nullptr;
  SpdSay say = nullptr;
  SpdCancel cancel = nullptr;
  SpdClose close = nullptr;
  SpdSetLanguage setLanguage = nullptr;

  std::mutex mutex;
  std::condition_variable wake;
  std::deque<Request> queue;
  bool stopping = false;
  bool finished = false;

  SpdConnection* connection = nullptr;  // only the worker touches it
  bool unreachable = false;

  ~Channel() {
    if (connection) close(connection);
    if (library) dlclose(library);
  }

  bool Load(const char* name) {
    library = dlopen(name, RTLD_NOW | RTLD_LOCAL);
    if (!library) return false;
    defaultAddress = reinterpret_cast<SpdDefaultAddress>(dlsym(library, "spd_get_default_address"));
    freeAddress = reinterpret_cast<SpdFreeAddress>(dlsym(library, "SPDConnectionAddress__free"));
    open2 = reinterpret_cast<SpdOpen2>(dlsym(library, "spd_open2"));
    say = reinterpret_cast<SpdSay>(dlsym(library, "spd_say"));
    cancel = reinterpret_cast<SpdCancel>(dlsym(library, "spd_cancel"));
    close = reinterpret_cast<SpdClose>(dlsym(library, "spd_close"));
    setLanguage = reinterpret_cast<SpdSetLanguage>(dlsym(library, "spd_set_language"));
    return defaultAddress && freeAddress && open2 && say && cancel && close && setLanguage;
  }

  // Connects once; a server that is not there is not asked again. No autospawn: the
  // application never starts a speech server of its own behind the user's back.
  bool Connected() {
    if (connection) return true;
    if (unreachable) return false;
    // The address is fetched here rather than by spd_open2, which leaks parts of it when the
    // server is missing; a socket that does not exist is not worth a try.
    char* error = nullptr;
    SpdAddress* address = defaultAddress(&error);
    std::free(error);
    error = nullptr;
    if (address && (address->method != kSpdMethodUnixSocket ||
                    (address->unixSocketName && access(address->unixSocketName, F_OK) == 0))) {
      connection = open2("redadado", "main", nullptr, kSpdModeSingle, address, 0, &error);
      std::free(error);
    }
    if (address) freeAddress(address);
    if (!connection) {
      unreachable = true;
      return false;
    }
    setLanguage(connection, "ja");
    return true;
  }

  void Serve(const Request& request) {
    if (!Connected()) return;
    const int result = request.cancel ? cancel(connection)
                                      : say(connection, kSpdPriorityText, request.text.c_str());
    if (result < 0) {  // the server went away: connect afresh at the next text
      close(connection);
      connection = nullptr;
    }
  }

  void Run() {
    // A server that closes its end must not kill the application through SIGPIPE.
    sigset_t pipe;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe, nullptr);
    std::unique_lock lock(mutex);
    for (;;) {
      wake.wait(lock, [this] { return stopping || !queue.empty(); });
      if (queue.empty()) break;
      Request request = std::move(queue.front());
      queue.pop_front();
      lock.unlock();
      Serve(request);
      lock.lock();
    }
    finished = true;
    wake.notify_all();
  }
};

// Owns the worker; shared by the readers of one process.
class Link {
 public:
  explicit Link(const char* library) : channel_(std::make_shared<Channel>()) {
    if (!channel_->Load(library)) channel_.reset();
  }
  Link(const Link&) = delete;
  Link& operator=(const Link&) = delete;

  ~Link() {
    if (!worker_.joinable()) return;
    bool finished;
    {
      std::unique_lock lock(channel_->mutex);
      channel_->stopping = true;
      channel_->wake.notify_all();
      finished = channel_->wake.wait_for(lock, kCloseWait, [this] { return channel_->finished; });
    }
    if (finished) {
      worker_.join();
    } else {
      worker_.detach();  // stuck in a server that does not answer; it holds its own channel
    }
  }

  void Post(Request request) {
    if (!channel_) return;
    std::lock_guard lock(channel_->mutex);
    if (!worker_.joinable()) worker_ = std::thread([channel = channel_] { channel->Run(); });
    if (channel_->queue.size() >= kQueueLimit) channel_->queue.pop_front();
    channel_->queue.push_back(std::move(request));
    channel_->wake.notify_all();
  }

 private:
  std::shared_ptr<Channel> channel_;
  std::thread worker_;
};

class SpeechDispatcherReader : public Reader {
 public:
  SpeechDispatcherReader(const char* library, bool withReset)
      : link_(library), withReset_(withReset) {}

  void Speak(const std::string& text) override { link_.Post({false, text}); }
  void Reset() override {
    if (withReset_) link_.Post({true, {}});
  }

 private:
  Link link_;
  bool withReset_;
};

}  // namespace

std::unique_ptr<Reader> OpenSpeechDispatcher(const char* library, bool withReset) {
  return std::make_unique<SpeechDispatcherReader>(library, withReset);
}

// Neither reader library exists here; both choices speak through speech-dispatcher, and the
// PC-Talker route keeps its reset before the file field.
ReaderRoutes PlatformReaderRoutes() {
  return {.openPcTalker = [] { return OpenSpeechDispatcher(kSpeechDispatcherLibrary, true); },
          .openXpReader = [] { return OpenSpeechDispatcher(kSpeechDispatcherLibrary, false); }};
}

}  // namespace redadado
