// log_file_win.h: the file and directory operations of the writer thread: one log file opened for
// appending in binary mode, directory creation level by level, deletion of old files. Names are
// 8-bit (UTF-8) texts, converted to UTF-16 just before the system call. Windows only; writer thread.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace velmar::log4z {

class LogFile {
 public:
  // Opens (creating if missing) for appending; false when it cannot be opened. size receives the
  // file's current length.
  bool open(const std::string& name, std::uint64_t& size);
  bool isOpen() const noexcept { return static_cast<bool>(file_); }
  bool write(const char* data, std::size_t n) noexcept;
  void flush() noexcept;
  void close() noexcept { file_.reset(); }

 private:
  struct Closer {
    void operator()(std::FILE* f) const noexcept { std::fclose(f); }
  };
  std::unique_ptr<std::FILE, Closer> file_;
};

// Creates each missing level of the directory; failures show up when the file is opened.
void createDirectories(std::string_view directory);

// Deletes a file; false when it could not be deleted.
bool deleteLogFile(const std::string& name);

// The executable's file name without directory and extension; "process" when it cannot be read.
std::string currentProcessName();

}  // namespace velmar::log4z
