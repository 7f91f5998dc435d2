// http_service_win.h: the local web service's HTTP layer over Boost.Beast: one listening socket on
// 127.0.0.1, one thread for every connection's input and output, the blocking work (a capture, the
// diagnostics, waiting for a cancel to take) on worker threads. What a request may do is decided by
// request_policy.h; a capture goes through the console's answer path (request_answer_win.h).
#pragma once

#include <memory>
#include <stdexcept>
#include <string>

#include "request_policy.h"

// The port could not be taken; what() names it.
class ListenError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class HttpService {
 public:
  // programFolder: where capture\<device>\... is looked up (the program's own folder).
  HttpService(ServicePolicy policy, std::wstring programFolder);
  ~HttpService();
  HttpService(const HttpService&) = delete;
  HttpService& operator=(const HttpService&) = delete;

  // Takes 127.0.0.1:port. Throws ListenError ("port 4750 is in use", ...).
  void listen();

  // Serves until stop(); then waits, bounded, for a running capture to end and its answer to be sent.
  void run();

  // Stops accepting, cancels a running capture and makes run() return. Any thread, any number of
  // times.
  void stop() noexcept;

  struct State;  // shared with the connections and worker threads, which may outlive a call

 private:
  std::shared_ptr<State> state_;
};
