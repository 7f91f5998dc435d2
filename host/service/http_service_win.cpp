#include "http_service_win.h"

#include <windows.h>

#include <boost/asio.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <optional>
#include <thread>
#include <utility>

#include "answer_line.h"
#include "capture_body.h"
#include "diagnose_json.h"
#include "host_log.h"
#include "request_answer_win.h"
#include "result_codes.h"
#include "running_captures_win.h"
#include "service_answers.h"
#include "win/utf8_wide.h"

namespace beast = boost::beast;
namespace http = beast::http;
namespace net = boost::asio;
using tcp = net::ip::tcp;
using Clock = std::chrono::steady_clock;

namespace {

// The head and body of one request must arrive within this time, and a kept-alive connection may stay
// idle this long between requests; then the connection is closed.
constexpr auto kRequestTime = std::chrono::seconds(5);
constexpr std::uint32_t kHeadLimit = 8 * 1024;
// Connections beyond this number are closed as soon as they are accepted.
constexpr int kMaxConnections = 32;
// A cancel asked for while the capture application is still starting waits this long for its window.
constexpr auto kCancelTakes = std::chrono::seconds(3);
// After a stop, a running capture gets this long to end and have its answer sent.
constexpr auto kStopWait = std::chrono::seconds(8);

struct Answer {
  int status = 200;
  std::string body;
  long long captureMilliseconds = -1;  // a capture's answer path, for the log line
};

}  // namespace

struct HttpService::State : std::enable_shared_from_this<State> {
  ServicePolicy policy;
  std::wstring folder;
  net::io_context io{1};
  tcp::acceptor acceptor{io};
  net::steady_timer stopTimer{io};
  std::atomic<bool> busy{false};           // a capture runs
  std::atomic<bool> captureAnswering{false};  // a capture runs or its answer is being sent
  std::atomic<int> connections{0};
  std::atomic<bool> stopping{false};

  void accept();
  void waitForCaptureThenStop(Clock::time_point deadline, Clock::time_point nextCancel);

  std::wstring applicationPath(const CaptureDevice& device) const {
    return folder + L"\\" + velmar::win::wideFromUtf8(device.relativePath);
  }
  bool installed(const CaptureDevice& device) const {
    const DWORD attributes = GetFileAttributesW(applicationPath(device).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
  }
};

namespace {

using State = HttpService::State;

std::string info(const State& state) {
  std::vector<std::pair<std::string, bool>> devices;
  for (const CaptureDevice& device : captureDevices()) devices.emplace_back(device.name, state.installed(device));
  return infoJson(VELMAR_PRODUCT_VERSION, state.busy.load(), devices);
}

Answer diagnose() {
  char* line = nullptr;
  diagnoseJson(&line);
  if (!line) return {500, refusalJson(500, "the diagnostics report could not be made")};
  Answer answer;
  answer.body = line;
  std::free(line);
  return answer;
}

// Closes the running capture's windows; a capture application still starting has no window yet, so
// the cancel is tried again until one is reached, the capture has ended, or the time is up.
Answer cancel(const std::shared_ptr<State>& state) {
  const Clock::time_point deadline = Clock::now() + kCancelTakes;
  for (;;) {
    if (cancelRunningCaptures() > 0) return {200, cancelJson(true)};
    if (!state->busy || Clock::now() >= deadline) return {200, cancelJson(false)};
    Sleep(100);
  }
}

// One client connection: requests read one after the other, each answered before the next is read.
class Connection : public std::enable_shared_from_this<Connection> {
 public:
  Connection(tcp::socket socket, std::shared_ptr<State> state)
      : stream_(std::move(socket)), state_(std::move(state)) {}
  ~Connection() { --state_->connections; }

  void readHead() {
    parser_.emplace();
    parser_->header_limit(kHeadLimit);
    parser_->body_limit(state_->policy.bodyLimit);
    stream_.expires_after(kRequestTime);
    http::async_read_header(stream_, buffer_, *parser_,
                            [self = shared_from_this()](beast::error_code ec, std::size_t) { self->onHead(ec); });
  }

 private:
  void onHead(beast::error_code ec) {
    started_ = Clock::now();
    // A declared length above the limit ends the head's reading; the head itself is whole and the
    // decision refuses it (413, or 403 first for a caller that may not call at all).
    const bool tooLarge = ec == http::error::body_limit;
    if (tooLarge) ec = {};
    if (ec) {
      // A connection that closed, went idle or timed out between requests just ends; one that sent
      // something that is not an HTTP head is told so.
      if (ec == http::error::end_of_stream || ec == beast::error::timeout || ec == net::error::operation_aborted ||
          ec == net::error::connection_reset || ec == net::error::eof) {
        return close();
      }
      method_ = "-";
      path_ = "-";
      decision_ = HeadDecision{};
      return answer({400, refusalJson(400, "not an HTTP/1.1 request head")}, false);
    }
    const auto& request = parser_->get();
    HttpRequestHead head;
    head.method = std::string(request.method_string());
    head.target = std::string(request.target());
    for (auto [at, end] = request.equal_range(http::field::host); at != end; ++at) head.hosts.emplace_back(at->value());
    for (auto [at, end] = request.equal_range(http::field::origin); at != end; ++at) head.origins.emplace_back(at->value());
    if (const auto length = parser_->content_length()) head.contentLength = *length;
    if (tooLarge && !head.contentLength) head.contentLength = state_->policy.bodyLimit + 1;
    method_ = head.method;
    path_ = std::string(targetPath(head.target));
    origin_ = head.origins.empty() ? std::string() : head.origins.front();

    decision_ = decideHead(head, state_->policy);
    if (decision_.endpoint == Endpoint::kRefused) return refuse(decision_);
    if (decision_.endpoint == Endpoint::kPreflight) return answer({decision_.status, {}});
    if (parser_->is_done()) return dispatch();
    const auto expect = request.find(http::field::expect);
    if (expect != request.end() && beast::iequals(expect->value(), "100-continue")) {
      // The client waits for a word before it sends its body (curl does for bodies above 1 KB).
      auto goOn = std::make_shared<http::response<http::empty_body>>(http::status::continue_, 11);
      return http::async_write(stream_, *goOn, [self = shared_from_this(), goOn](beast::error_code ec, std::size_t) {
        if (ec) return self->close();
        self->readBody();
      });
    }
    readBody();
  }

  void readBody() {
    http::async_read(stream_, buffer_, *parser_,
                     [self = shared_from_this()](beast::error_code ec, std::size_t) { self->onBody(ec); });
  }

  void onBody(beast::error_code ec) {
    if (ec == http::error::body_limit) {
      return refuse(refuseAfterHead(decision_, 413,
                                    "the body is larger than " + std::to_string(state_->policy.bodyLimit) + " bytes"));
    }
    if (ec) return close();
    dispatch();
  }

  void dispatch() {
    switch (decision_.endpoint) {
      case Endpoint::kInfo:
        return answer({200, info(*state_)});
      case Endpoint::kDiagnose:
        aside([] { return diagnose(); });
        return;
      case Endpoint::kCancel:
        aside([state = state_] { return cancel(state); });
        return;
      case Endpoint::kCapture:
        return capture();
      default:
        return refuse(refuseAfterHead(decision_, 404, "no endpoint"));
    }
  }

  void capture() {
    const CaptureBody body = readCaptureBody(parser_->get().body());
    if (!body.read) return refuse(refuseAfterHead(decision_, 400, body.reason));
    const auto& devices = captureDevices();
    const auto device = std::find_if(devices.begin(), devices.end(),
                                     [&](const CaptureDevice& d) { return d.name == body.device; });
    bool idle = false;
    if (state_->stopping || !state_->busy.compare_exchange_strong(idle, true)) {
      // One capture at a time, as the capture applications allow: answered as a second capture is.
      return answer({409, failedCaptureJson(DEV_ERR_ALREADY_RUNNING)});
    }
    state_->captureAnswering = true;
    capturing_ = true;
    const std::string line = captureRequestLine(body, velmar::win::utf8FromWide(state_->applicationPath(*device)));
    const bool started = aside([state = state_, line] {
      const Clock::time_point start = Clock::now();
      const RequestAnswer result = answerRequestLine(line);
      state->busy = false;
      const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
      return Answer{200, answerOutput(result.json), took};
    });
    if (!started) state_->busy = false;
  }

  // Runs blocking work on a thread of its own and answers with its result on the connection's thread.
  // The thread holds the connection, so the answer always has a socket to go to. Returns false, after
  // answering 500, when no thread could be started.
  bool aside(std::function<Answer()> work) {
    stream_.expires_never();
    try {
      std::thread([self = shared_from_this(), work = std::move(work)] {
        Answer result;
        try {
          result = work();
        } catch (...) {
          result = {500, refusalJson(500, "the service could not answer")};
        }
        net::post(self->stream_.get_executor(), [self, result = std::move(result)] { self->answer(result); });
      }).detach();
      return true;
    } catch (const std::exception& e) {
      hostLog(LOG_ERROR, std::string("http service: no thread for the request: ") + e.what());
      answer({500, refusalJson(500, "the service could not start the work")});
      return false;
    }
  }

  void refuse(const HeadDecision& decision) {
    decision_ = decision;
    // A body left unread cannot be skipped safely: the connection ends with the answer.
    answer({decision.status, refusalJson(decision.status, decision.reason)}, parser_->is_done());
  }

  void answer(const Answer& result, bool keepOpen = true) {
    auto response = std::make_shared<http::response<http::string_body>>(static_cast<http::status>(result.status), 11);
    response->set(http::field::server, "velmar-device");
    response->set(http::field::cache_control, "no-store");
    for (const auto& [name, value] : decision_.headers) response->set(name, value);
    if (!result.body.empty()) {
      response->set(http::field::content_type, "application/json; charset=utf-8");
      response->body() = result.body;
    }
    const bool keepAlive = keepOpen && parser_ && parser_->is_header_done() && parser_->get().keep_alive() &&
                           !state_->stopping;
    response->keep_alive(keepAlive);
    response->prepare_payload();
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - started_).count();
    hostLog(LOG_INFO, requestLogLine(method_, path_, origin_, result.status, took, result.captureMilliseconds));

    stream_.expires_after(kRequestTime);
    http::async_write(stream_, *response, [self = shared_from_this(), response, keepAlive](beast::error_code ec, std::size_t) {
      self->answered();
      if (ec || !keepAlive) return self->close();
      self->readHead();
    });
  }

  void answered() {
    if (capturing_) {
      capturing_ = false;
      state_->captureAnswering = false;
    }
  }

  // Ends the connection: no more to send, then what the client still sends (a refused body) is read
  // and dropped for a moment, so that closing does not reset the connection before the client has read
  // the answer.
  void close() {
    beast::error_code ignored;
    stream_.socket().shutdown(tcp::socket::shutdown_send, ignored);
    stream_.expires_after(std::chrono::seconds(2));
    drain();
  }

  void drain() {
    stream_.async_read_some(net::buffer(drained_), [self = shared_from_this()](beast::error_code ec, std::size_t) {
      if (ec) return self->stream_.close();
      self->drain();
    });
  }

  beast::tcp_stream stream_;
  beast::flat_buffer buffer_;
  std::optional<http::request_parser<http::string_body>> parser_;
  std::shared_ptr<State> state_;
  HeadDecision decision_;
  Clock::time_point started_ = Clock::now();
  std::string method_, path_, origin_;
  bool capturing_ = false;
  char drained_[4096];
};

}  // namespace

void HttpService::State::accept() {
  acceptor.async_accept(net::make_strand(io), [self = shared_from_this()](beast::error_code ec, tcp::socket socket) {
    if (ec == net::error::operation_aborted || !self->acceptor.is_open()) return;
    if (!ec) {
      if (self->connections.load() >= kMaxConnections) {
        hostLog(LOG_WARN, "http connection closed at once: " + std::to_string(kMaxConnections) + " connections open");
        beast::error_code ignored;
        socket.close(ignored);
      } else {
        ++self->connections;
        std::make_shared<Connection>(std::move(socket), self)->readHead();
      }
    }
    self->accept();
  });
}

void HttpService::State::waitForCaptureThenStop(Clock::time_point deadline, Clock::time_point nextCancel) {
  if (!captureAnswering || Clock::now() >= deadline) {
    if (captureAnswering) hostLog(LOG_WARN, "http service stopped before the running capture ended");
    io.stop();
    return;
  }
  // The capture application may still be starting: its window is closed as soon as it has one.
  if (busy && Clock::now() >= nextCancel && cancelRunningCaptures() > 0) nextCancel = deadline;
  stopTimer.expires_after(std::chrono::milliseconds(100));
  stopTimer.async_wait([self = shared_from_this(), deadline, nextCancel](beast::error_code) {
    self->waitForCaptureThenStop(deadline, nextCancel);
  });
}

HttpService::HttpService(ServicePolicy policy, std::wstring programFolder) : state_(std::make_shared<State>()) {
  state_->policy = std::move(policy);
  state_->folder = std::move(programFolder);
}

HttpService::~HttpService() = default;

void HttpService::listen() {
  const std::string where = "port " + std::to_string(state_->policy.port);
  const tcp::endpoint endpoint(net::ip::make_address_v4("127.0.0.1"), state_->policy.port);
  beast::error_code ec;
  state_->acceptor.open(endpoint.protocol(), ec);
  if (ec) throw ListenError("cannot open a socket for " + where + ": " + std::to_string(ec.value()));
  // No other socket may share the port (Windows would otherwise let a second listener take it).
  state_->acceptor.set_option(net::detail::socket_option::boolean<SOL_SOCKET, SO_EXCLUSIVEADDRUSE>(true), ec);
  state_->acceptor.bind(endpoint, ec);
  if (ec == net::error::address_in_use || ec == net::error::access_denied) {
    throw ListenError(where + " is in use (bind failed with " + std::to_string(ec.value()) + ")");
  }
  if (ec) throw ListenError("cannot listen on 127.0.0.1 " + where + " (bind failed with " + std::to_string(ec.value()) + ")");
  state_->acceptor.listen(net::socket_base::max_listen_connections, ec);
  if (ec) throw ListenError("cannot listen on 127.0.0.1 " + where + " (listen failed with " + std::to_string(ec.value()) + ")");
}

void HttpService::run() {
  state_->accept();
  // A handler that throws (an allocation failure) ends that one handler, not the service.
  for (;;) {
    try {
      state_->io.run();
      return;
    } catch (const std::exception& e) {
      hostLog(LOG_ERROR, std::string("http service: ") + e.what());
    }
  }
}

void HttpService::stop() noexcept {
  if (state_->stopping.exchange(true)) return;
  try {
    net::post(state_->io, [state = state_] {
      beast::error_code ignored;
      state->acceptor.close(ignored);
      hostLog(LOG_INFO, "http service stopping");
      state->waitForCaptureThenStop(Clock::now() + kStopWait, Clock::now());
    });
  } catch (...) {
    state_->io.stop();
  }
}
