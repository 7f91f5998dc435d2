// fuzz_run.h: one seeded fuzz run, bounded by a number of inputs and a time limit (whichever comes
// first), with its outcome counts printed when it ends. VELMAR_FUZZ_INPUTS changes the number of
// inputs for a longer run by hand. Also the mutations the command-line fuzzers share. Test code only.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace velmar::testing {

class FuzzRun {
 public:
  FuzzRun(std::string name, std::uint64_t inputs, std::chrono::seconds limit, std::uint32_t seed)
      : name_(std::move(name)), inputs_(inputs), limit_(limit), seed_(seed), rng_(seed) {
    if (const char* wanted = std::getenv("VELMAR_FUZZ_INPUTS")) inputs_ = std::strtoull(wanted, nullptr, 10);
  }
  FuzzRun(const FuzzRun&) = delete;
  FuzzRun& operator=(const FuzzRun&) = delete;
  ~FuzzRun() {
    std::cout << "fuzz " << name_ << ": " << done_ << " inputs of " << inputs_ << " (seed " << seed_ << ", "
              << elapsedSeconds() << " s of " << limit_.count() << " s)";
    for (const auto& [outcome, count] : outcomes_) std::cout << ", " << outcome << " " << count;
    std::cout << std::endl;
  }

  // Whether another input is due; counts it.
  bool next() {
    if (done_ >= inputs_ || (done_ % 64 == 0 && std::chrono::steady_clock::now() - start_ > limit_)) return false;
    ++done_;
    return true;
  }
  std::mt19937& rng() { return rng_; }
  std::uint32_t below(std::uint32_t n) { return n == 0 ? 0 : rng_() % n; }
  template <class T>
  const T& pick(const std::vector<T>& from) { return from[below(static_cast<std::uint32_t>(from.size()))]; }

  void tally(const std::string& outcome) { ++outcomes_[outcome]; }
  std::uint64_t done() const { return done_; }
  std::uint64_t count(const std::string& outcome) const {
    const auto it = outcomes_.find(outcome);
    return it == outcomes_.end() ? 0 : it->second;
  }

 private:
  double elapsedSeconds() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  }

  std::string name_;
  std::uint64_t inputs_;
  std::chrono::seconds limit_;
  std::uint32_t seed_;
  std::mt19937 rng_;
  std::uint64_t done_ = 0;
  std::map<std::string, std::uint64_t> outcomes_;
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

// Wide texts that parsers tend to mishandle: numbers at and past the 32-bit range, signs and blanks,
// printf conversions, code units that are no characters, an embedded NUL, and long texts.
inline std::vector<std::wstring> awkwardTexts() {
  return {L"",          L"0",           L"-1",          L"+7",          L" 12",        L"\t30000x",
          L"5000",      L"30000",       L"600000",      L"2147483647",  L"2147483648", L"-2147483648",
          L"-2147483649", L"99999999999999999999", L"-",  L"+",           L"abc",        L"%s%n%ls%d",
          L"\\\\.\\pipe\\x", std::wstring(1, L'\xD800'), std::wstring(1, L'\xDFFF'),
          std::wstring(L"a\0b", 3), std::wstring(300, L'\x00F1'), std::wstring(5000, L'x'), L"C:",
          L"C:\\dir\\", L"/", L"\\\\server\\share\\f.exe"};
}

// One to four of: drop, duplicate or swap arguments, replace one with an option or an awkward text,
// insert one, cut or extend one with random code units. args[0], the program path, is kept.
inline void mutateArguments(FuzzRun& run, std::vector<std::wstring>& args, const std::vector<std::wstring>& options) {
  static const std::vector<std::wstring> texts = awkwardTexts();
  const int mutations = 1 + static_cast<int>(run.below(4));
  for (int m = 0; m < mutations; ++m) {
    const std::size_t n = args.size();
    const std::size_t at = 1 + (n > 1 ? run.below(static_cast<std::uint32_t>(n - 1)) : 0);
    switch (run.below(7)) {
      case 0:
        if (at < n) args.erase(args.begin() + static_cast<std::ptrdiff_t>(at));
        break;
      case 1:
        if (at < n) args.insert(args.begin() + static_cast<std::ptrdiff_t>(at), args[at]);
        break;
      case 2:
        if (at < n && n > 2) std::swap(args[at], args[1 + run.below(static_cast<std::uint32_t>(n - 1))]);
        break;
      case 3:
        if (at < n) args[at] = run.pick(options);
        else args.push_back(run.pick(options));
        break;
      case 4:
        if (at < n) args[at] = run.pick(texts);
        else args.push_back(run.pick(texts));
        break;
      case 5:
        args.insert(args.begin() + static_cast<std::ptrdiff_t>(std::min(at, n)),
                    run.below(2) ? run.pick(options) : run.pick(texts));
        break;
      default:
        if (at < n) {
          std::wstring& a = args[at];
          if (run.below(2) && !a.empty()) {
            a.resize(run.below(static_cast<std::uint32_t>(a.size())));
          } else {
            for (std::uint32_t k = 1 + run.below(8); k > 0; --k) a.push_back(static_cast<wchar_t>(run.below(0x10000)));
          }
        }
        break;
    }
  }
}

}  // namespace velmar::testing
