// file_bytes.h: whole-file reads and writes for the wsq program, with UTF-8 paths on every platform.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace wsq_tool {

// Bytes somebody else owns, written as they stand.
struct ByteRun {
  const unsigned char* data;
  size_t size;
};

// Reads the whole file. Returns false with `error` set when it cannot be opened or read.
bool readFileBytes(const std::string& path, std::vector<unsigned char>& bytes, std::string& error);

// A whole file held in the codec's working memory (an image-sized file on huge pages where the system
// has them), for pixels that go straight to the encoder.
class FileBuffer {
 public:
  FileBuffer() = default;
  ~FileBuffer();
  FileBuffer(const FileBuffer&) = delete;
  FileBuffer& operator=(const FileBuffer&) = delete;
  const unsigned char* data() const { return data_; }
  size_t size() const { return size_; }

 private:
  friend bool readFileBuffer(const std::string& path, FileBuffer& buffer, std::string& error);
  unsigned char* data_ = nullptr;
  size_t size_ = 0;
};
// Reads the whole file into `buffer`, like readFileBytes.
bool readFileBuffer(const std::string& path, FileBuffer& buffer, std::string& error);

// Writes `bytes` so that `path` appears only complete: into a temporary file beside it, then renamed
// over `path`. Returns false with `error` set, leaving no partial file behind.
bool writeFileBytes(const std::string& path, const std::vector<unsigned char>& bytes, std::string& error);
// The same for a file made of `runs` one after the other (nothing is gathered into one buffer first).
bool writeFileRuns(const std::string& path, const std::vector<ByteRun>& runs, std::string& error);

// UTF-16 command-line arguments (Windows) to UTF-8.
std::string utf8FromWide(const std::wstring& text);

}  // namespace wsq_tool
