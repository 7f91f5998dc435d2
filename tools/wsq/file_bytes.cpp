// file_bytes.cpp: file access through the C library; Windows gets its wide-character calls so that paths
// outside the ANSI code page work.
#include "file_bytes.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <algorithm>
#include <memory>

#include "wsq_memory.h"

namespace wsq_tool {
namespace {

#ifdef _WIN32
std::wstring wideFromUtf8(const std::string& text) {
  std::wstring out;
  for (size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    unsigned long cp;
    int extra;
    if (c < 0x80) { cp = c; extra = 0; }
    else if ((c & 0xE0) == 0xC0) { cp = c & 0x1F; extra = 1; }
    else if ((c & 0xF0) == 0xE0) { cp = c & 0x0F; extra = 2; }
    else { cp = c & 0x07; extra = 3; }
    ++i;
    for (int k = 0; k < extra && i < text.size(); ++k, ++i) {
      cp = (cp << 6) | (static_cast<unsigned char>(text[i]) & 0x3F);
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<wchar_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<wchar_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<wchar_t>(cp));
    }
  }
  return out;
}

FILE* openFile(const std::string& path, const char* mode) {
  const std::wstring wideMode(mode, mode + std::strlen(mode));
  return _wfopen(wideFromUtf8(path).c_str(), wideMode.c_str());
}
int removeFile(const std::string& path) { return _wremove(wideFromUtf8(path).c_str()); }
int renameFile(const std::string& from, const std::string& to) {
  return _wrename(wideFromUtf8(from).c_str(), wideFromUtf8(to).c_str());
}
#else
FILE* openFile(const std::string& path, const char* mode) { return std::fopen(path.c_str(), mode); }
int removeFile(const std::string& path) { return std::remove(path.c_str()); }
int renameFile(const std::string& from, const std::string& to) { return std::rename(from.c_str(), to.c_str()); }
#endif

struct FileCloser {
  void operator()(FILE* f) const { std::fclose(f); }
};
using UniqueFile = std::unique_ptr<FILE, FileCloser>;

std::string describe(const std::string& what, const std::string& path) {
  return what + " '" + path + "': " + std::strerror(errno);
}

// Appends what is left of an open file to `bytes`; false when reading fails.
bool appendRest(FILE* file, std::vector<unsigned char>& bytes) {
  unsigned char buffer[65536];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.insert(bytes.end(), buffer, buffer + got);
  return std::ferror(file) == 0;
}

// The size of an open file, which is left at its start; -1 when it has none it can tell (a pipe).
long sizeOf(FILE* file) {
  if (std::fseek(file, 0, SEEK_END) != 0) return -1;
  const long size = std::ftell(file);
  std::rewind(file);
  return size;
}

// `size` bytes of the codec's working memory into `buffer`; false with `error` set when there are none.
bool allocateBuffer(unsigned char*& buffer, size_t size, const std::string& path, std::string& error) {
  buffer = static_cast<unsigned char*>(wsq::wsqAllocateUninitialised(size, 0));
  if (buffer == nullptr) error = "out of memory reading '" + path + "'";
  return buffer != nullptr;
}

}  // namespace

bool readFileBytes(const std::string& path, std::vector<unsigned char>& bytes, std::string& error) {
  UniqueFile file(openFile(path, "rb"));
  if (!file) {
    error = describe("cannot open", path);
    return false;
  }
  // Read at the size the file has now, in one allocation and one call, then on in case it grew.
  bytes.clear();
  const long size = sizeOf(file.get());
  if (size > 0) bytes.resize(static_cast<size_t>(size));
  bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file.get()));
  if (!appendRest(file.get(), bytes)) {
    error = describe("cannot read", path);
    return false;
  }
  return true;
}

FileBuffer::~FileBuffer() { wsq::wsqFree(data_); }

bool readFileBuffer(const std::string& path, FileBuffer& buffer, std::string& error) {
  wsq::wsqFree(buffer.data_);
  buffer.data_ = nullptr;
  buffer.size_ = 0;
  UniqueFile file(openFile(path, "rb"));
  if (!file) {
    error = describe("cannot open", path);
    return false;
  }
  const long size = sizeOf(file.get());
  if (size < 0) {
    // Not a file of known size (a pipe): read it as it comes, then move it over.
    std::vector<unsigned char> bytes;
    if (!appendRest(file.get(), bytes)) {
      error = describe("cannot read", path);
      return false;
    }
    if (!allocateBuffer(buffer.data_, bytes.size(), path, error)) return false;
    std::copy(bytes.begin(), bytes.end(), buffer.data_);
    buffer.size_ = bytes.size();
    return true;
  }
  if (!allocateBuffer(buffer.data_, static_cast<size_t>(size), path, error)) return false;
  buffer.size_ = std::fread(buffer.data_, 1, static_cast<size_t>(size), file.get());
  if (std::ferror(file.get())) {
    error = describe("cannot read", path);
    return false;
  }
  if (buffer.size_ != static_cast<size_t>(size) || std::fgetc(file.get()) != EOF) {
    error = "cannot read '" + path + "': it changed while it was read";
    return false;
  }
  return true;
}

bool writeFileBytes(const std::string& path, const std::vector<unsigned char>& bytes, std::string& error) {
  return writeFileRuns(path, {{bytes.data(), bytes.size()}}, error);
}

bool writeFileRuns(const std::string& path, const std::vector<ByteRun>& runs, std::string& error) {
  const std::string temporary = path + ".part";
  {
    UniqueFile file(openFile(temporary, "wb"));
    if (!file) {
      error = describe("cannot create", temporary);
      return false;
    }
    bool written = true;
    for (const ByteRun& run : runs) {
      written = written && (run.size == 0 || std::fwrite(run.data, 1, run.size, file.get()) == run.size);
    }
    const bool flushed = std::fflush(file.get()) == 0;
    if (!written || !flushed) {
      error = describe("cannot write", temporary);
      file.reset();
      removeFile(temporary);
      return false;
    }
    if (std::fclose(file.release()) != 0) {
      error = describe("cannot write", temporary);
      removeFile(temporary);
      return false;
    }
  }
  // Renaming does not replace an existing file everywhere: remove it first.
  removeFile(path);
  if (renameFile(temporary, path) != 0) {
    error = describe("cannot rename to", path);
    removeFile(temporary);
    return false;
  }
  return true;
}

std::string utf8FromWide(const std::wstring& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    unsigned long cp = static_cast<unsigned long>(text[i]) & 0xFFFFFFFFul;
    if (sizeof(wchar_t) == 2 && cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size()) {
      const unsigned long low = static_cast<unsigned long>(text[i + 1]);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
        ++i;
      }
    }
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }
  return out;
}

}  // namespace wsq_tool
