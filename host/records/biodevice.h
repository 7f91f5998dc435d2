// biodevice.h: the request and result records that capture and toJsonString exchange with callers,
// and their text forms (used in log lines only). Plain values; no thread rules of their own.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Which capture application to run. Only command is used; the rest is carried and logged.
struct biodevice {
  std::string baseDir;
  std::string command;
  std::string version;
  std::string name;
  std::string id;
};

// Options of one capture, as decimal or plain 8-bit texts.
struct biodeviceInput {
  std::string message;
  std::string timeout;
  std::string debugLevel;
  std::string wsqPipeName;  // always overwritten by capture
  std::string bmpPipeName;  // always overwritten by capture
};

// Result of one capture.
struct biodeviceOutput {
  std::vector<std::uint8_t> bmp;
  std::vector<std::uint8_t> wsq;
  std::int32_t exitCode = 0;
};

// {baseDir=...,command=...,version=...,name=...,id=...}
std::string toString(const biodevice& device);
// {message=...,timeout=...,debugLevel=...}; the pipe names are never shown.
std::string toString(const biodeviceInput& input);
// {bmp=N bytes,wsq=N bytes,exitCode=N}
std::string toString(const biodeviceOutput& output);
