// batch.cpp: options, the list of files, the workers, the progress line and the summary.
#include "batch.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <map>
#include <mutex>
#include <thread>
#include <utility>

#include "arguments.h"
#include "conversions.h"
#include "file_bytes.h"
#include "grey_image_file.h"
#include "image_files.h"

namespace wsq_tool {
namespace {

namespace fs = std::filesystem;

constexpr int kOk = 0;
constexpr int kFailed = 1;
constexpr int kUsage = 2;

const char kBatchUsage[] =
    "usage: wsq --batch [--rate R] [--size WxH] [--out DIR] [--jobs N] PATH...\n"
    "       wsq --batch --decode [--format pgm|bmp|raw] [--out DIR] [--jobs N] PATH...\n";

struct Options {
  float rate = 0.75f;
  int rawWidth = 0, rawHeight = 0;  // 0: no --size
  std::string outDir;
  int jobs = 0;  // 0: one a core
  bool decode = false;
  ImageFormat format = ImageFormat::Pgm;
  std::vector<std::string> paths;
};

// One file of the batch and what became of it.
struct Job {
  std::string input, output;
  std::string error;  // empty when converted
};

std::string lowerExtension(const fs::path& path) {
  std::string ext = path.extension().u8string();
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext;
}

const char* formatExtension(ImageFormat format) {
  return format == ImageFormat::Bmp ? ".bmp" : format == ImageFormat::Raw ? ".raw" : ".pgm";
}

bool parseSize(const std::string& text, int& width, int& height) {
  const size_t x = text.find_first_of("xX");
  return x != std::string::npos && parseSide(text.substr(0, x), width) && parseSide(text.substr(x + 1), height);
}

bool parseOptions(const std::vector<std::string>& args, Options& options, std::ostream& err) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool hasValue = i + 1 < args.size();
    if (a == "--decode") {
      options.decode = true;
    } else if (a == "--rate" && hasValue) {
      if (!parseBitRate(args[++i], options.rate)) {
        err << "wsq: bit rate must be a number above 0 and at most 64, got '" << args[i] << "'\n";
        return false;
      }
    } else if (a == "--size" && hasValue) {
      if (!parseSize(args[++i], options.rawWidth, options.rawHeight)) {
        err << "wsq: --size must be WIDTHxHEIGHT, each from 1 to 65535, got '" << args[i] << "'\n";
        return false;
      }
    } else if (a == "--out" && hasValue) {
      options.outDir = args[++i];
    } else if (a == "--jobs" && hasValue) {
      int jobs = 0;
      if (!parseSide(args[++i], jobs) || jobs > 256) {
        err << "wsq: --jobs must be a whole number from 1 to 256, got '" << args[i] << "'\n";
        return false;
      }
      options.jobs = jobs;
    } else if (a == "--format" && hasValue) {
      options.format = imageFormatOf("." + args[++i]);
      if (options.format == ImageFormat::Unknown) {
        err << "wsq: --format must be pgm, bmp or raw, got '" << args[i] << "'\n";
        return false;
      }
    } else if (a.size() > 2 && a.compare(0, 2, "--") == 0) {
      err << "wsq: unknown option or option without its value: '" << a << "'\n" << kBatchUsage;
      return false;
    } else {
      options.paths.push_back(a);
    }
  }
  if (options.paths.empty()) {
    err << "wsq: no files or folders to convert\n" << kBatchUsage;
    return false;
  }
  return true;
}

bool isInputOf(const Options& options, const fs::path& path) {
  const std::string ext = lowerExtension(path);
  if (options.decode) return ext == ".wsq";
  return ext == ".pgm" || ext == ".bmp" || ext == ".raw";
}

// The files to convert, in the order given, each folder's files sorted by name; each output named and
// placed. A path that is neither file nor folder, and an output that another input already makes,
// become failed jobs.
std::vector<Job> listJobs(const Options& options) {
  std::vector<Job> jobs;
  for (const std::string& text : options.paths) {
    const fs::path path = fs::u8path(text);
    std::error_code ec;
    if (fs::is_directory(path, ec)) {
      std::vector<fs::path> files;
      for (fs::directory_iterator it(path, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code fileEc;
        if (it->is_regular_file(fileEc) && isInputOf(options, it->path())) files.push_back(it->path());
      }
      if (ec) {
        jobs.push_back({text, "", "cannot list the folder: " + ec.message()});
        continue;
      }
      std::sort(files.begin(), files.end());
      for (const fs::path& f : files) jobs.push_back({f.u8string(), "", ""});
    } else if (fs::exists(path, ec)) {
      jobs.push_back({text, "", ""});
    } else {
      jobs.push_back({text, "", "no such file or folder"});
    }
  }
  std::map<std::string, std::string> madeBy;
  for (Job& job : jobs) {
    if (!job.error.empty()) continue;
    const fs::path input = fs::u8path(job.input);
    const fs::path name = input.stem().u8string() + (options.decode ? formatExtension(options.format) : ".wsq");
    job.output = (options.outDir.empty() ? input.parent_path() / name : fs::u8path(options.outDir) / name).u8string();
    const auto made = madeBy.emplace(job.output, job.input);
    if (!made.second) job.error = "its output " + job.output + " is also the output of " + made.first->second;
  }
  return jobs;
}

// Converts one file; returns the reason it failed, or an empty text.
std::string convert(const Options& options, const Job& job) {
  std::string error;
  if (options.decode) {
    int width = 0, height = 0;
    decodeToFile(job.input, options.format, job.output, width, height, error);
    return error;
  }
  size_t streamBytes = 0;
  if (lowerExtension(fs::u8path(job.input)) == ".raw") {
    if (options.rawWidth == 0) return "a .raw file needs its size: --size WIDTHxHEIGHT";
    FileBuffer pixels;
    if (!readFileBuffer(job.input, pixels, error)) return error;
    const size_t expected = static_cast<size_t>(options.rawWidth) * static_cast<size_t>(options.rawHeight);
    if (pixels.size() != expected) {
      return "holds " + std::to_string(pixels.size()) + " bytes, " + std::to_string(options.rawWidth) + " x " +
             std::to_string(options.rawHeight) + " needs " + std::to_string(expected);
    }
    encodeToFile(pixels.data(), pixels.size(), options.rawWidth, options.rawHeight, options.rate, job.output,
                 streamBytes, error);
    return error;
  }
  std::vector<unsigned char> bytes;
  if (!readFileBytes(job.input, bytes, error)) return error;
  velmar::synthetic::GreyImage picture;
  if (!velmar::synthetic::decodeGreyImage(bytes, picture, error)) return "not a picture this program reads: " + error;
  encodeToFile(picture.pixels.data(), picture.pixels.size(), picture.width, picture.height, options.rate,
               job.output, streamBytes, error);
  return error;
}

}  // namespace

int runBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool progress) {
  Options options;
  if (!parseOptions(args, options, err)) return kUsage;
  if (!options.outDir.empty()) {
    std::error_code ec;
    fs::create_directories(fs::u8path(options.outDir), ec);
    if (ec) {
      err << "wsq: cannot create the output folder '" << options.outDir << "': " << ec.message() << "\n";
      return kFailed;
    }
  }
  const auto start = std::chrono::steady_clock::now();
  std::vector<Job> jobs = listJobs(options);
  if (jobs.empty()) {
    err << "wsq: no " << (options.decode ? ".wsq" : ".pgm, .bmp or .raw") << " files found\n";
    return kFailed;
  }

  // Workers take the next job until none is left; the calling thread shows the progress meanwhile.
  std::atomic<size_t> next{0};
  std::atomic<size_t> finished{0}, failures{0};
  std::mutex mutex;
  std::condition_variable changed;
  const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
  const size_t workers = std::min(jobs.size(), static_cast<size_t>(options.jobs > 0 ? options.jobs : cores));
  auto work = [&] {
    for (size_t i = next++; i < jobs.size(); i = next++) {
      Job& job = jobs[i];
      if (job.error.empty()) {
        try {
          job.error = convert(options, job);
        } catch (const std::exception& e) {
          job.error = e.what();
        }
      }
      if (!job.error.empty()) ++failures;
      {
        std::lock_guard<std::mutex> lock(mutex);
        ++finished;
      }
      changed.notify_one();
    }
  };
  std::vector<std::thread> threads;
  for (size_t t = 0; t < workers; ++t) threads.emplace_back(work);
  auto showProgress = [&] {
    if (progress) err << "\rwsq: " << finished << " of " << jobs.size() << " files, " << failures << " failed" << std::flush;
  };
  {
    std::unique_lock<std::mutex> lock(mutex);
    while (finished < jobs.size()) {
      showProgress();
      changed.wait_for(lock, std::chrono::milliseconds(200));
    }
  }
  for (std::thread& t : threads) t.join();
  showProgress();
  if (progress) err << "\r" << std::string(60, ' ') << "\r" << std::flush;
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

  for (const Job& job : jobs) {
    if (!job.error.empty()) err << "wsq: failed: " << job.input << ": " << job.error << "\n";
  }
  char rate[64];
  std::snprintf(rate, sizeof rate, "%.2f s (%.1f files/s)", seconds, seconds > 0 ? jobs.size() / seconds : 0.0);
  out << "wsq: " << jobs.size() << " files in " << rate << " on " << workers << " threads: "
      << jobs.size() - failures << " converted, " << failures << " failed\n";
  return failures == 0 ? kOk : kFailed;
}

}  // namespace wsq_tool
