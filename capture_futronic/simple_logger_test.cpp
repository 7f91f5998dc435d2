#include "simple_logger.h"

#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <thread>

#include "testing/temp_dir.h"

namespace SimpleLogger {
namespace {

using velmar::testing::readBytes;
using velmar::testing::TempDir;

const LocalTime kDay{2024, 1, 5, 9, 30, 7};

void useFixedClock(Log& log, unsigned long threadId = 2764) {
  log.setClock([] { return kDay; });
  log.setThreadIdSource([threadId] { return threadId; });
}

struct DecorateCase {
  const char* name;
  uint32_t mask;
  unsigned long threadId;
  const wchar_t* function;
  const wchar_t* file;
  int32_t line;
  int32_t level;
  const wchar_t* want;
};

TEST(SimpleLoggerDecorate, FieldsBlanksAndOrder) {
  const DecorateCase cases[] = {
      {"default mask, program call", 0x7E, 2764, nullptr, nullptr, 0, 2,
       L"20240105T093007 2764 Futronic INF msg"},
      {"plain sink", 0, 2764, L"f", L"x.cpp", 12, 5, L"msg"},
      {"all fields", 0x7F, 7, L"fn", L"x.cpp", 12, 5, L"20240105T093007 7 Futronic ERR fn x.cpp 12 msg"},
      {"function given, line 0", 0x7E, 7, L"fn", nullptr, 0, 1, L"20240105T093007 7 Futronic DBG fn msg"},
      {"thread 0 clears the flag", 0x18, 0, nullptr, nullptr, 0, 1, L"20240105T093007 msg"},
      {"thread 0 then name", 0x38, 0, nullptr, nullptr, 0, 1, L"20240105T093007 Futronic msg"},
      {"no line bit: blank before message", 0x68, 1, nullptr, nullptr, 0, 4,
       L"20240105T093007 Futronic WRN msg"},
      {"level 3 has empty text", 0x40, 1, nullptr, nullptr, 0, 3, L" msg"},
      {"level 9 has empty text", 0x60, 1, nullptr, nullptr, 0, 9, L"Futronic  msg"},
      {"line alone", 0x02, 1, nullptr, nullptr, 42, 1, L"42 msg"},
      {"file without function", 0x45, 1, nullptr, L"a.c", 0, 0, L"ALL a.c msg"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    LineFields f;
    f.time = kDay;
    f.threadId = c.threadId;
    f.name = L"Futronic";
    f.level = c.level;
    f.function = c.function;
    f.file = c.file;
    f.line = c.line;
    EXPECT_EQ(decorateLine(c.mask, f, L"msg"), c.want);
  }
}

TEST(SimpleLoggerDecorate, LevelTexts) {
  const struct { int32_t level; const wchar_t* text; } cases[] = {
      {0, L"ALL"}, {1, L"DBG"}, {2, L"INF"}, {3, L""}, {4, L"WRN"}, {5, L"ERR"}, {6, L""}, {-1, L""}};
  for (const auto& c : cases) EXPECT_EQ(std::wstring(levelText(c.level)), c.text) << c.level;
}

std::wstring format(const wchar_t* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  std::wstring s = formatMessage(fmt, args);
  va_end(args);
  return s;
}

TEST(SimpleLoggerFormat, LongestKeptLongerReplacedByFormat) {
  const std::wstring fits(2047, L'a');
  EXPECT_EQ(format(L"%ls", fits.c_str()), fits);
  const std::wstring tooLong(2048, L'a');
  EXPECT_EQ(format(L"%ls", tooLong.c_str()), L"%ls");
  EXPECT_EQ(format(L"x%lsy", std::wstring(2046, L'b').c_str()), L"x%lsy");
  EXPECT_EQ(format(L"-finalizando con %d-", 203), L"-finalizando con 203-");
}

TEST(SimpleLoggerFormat, BareSIsAWideString) {
  EXPECT_EQ(format(L"Procesado: -p '%s' %d%% %5s|%-3s|", L"p\\x", 7, L"ab", L"c"),
            L"Procesado: -p 'p\\x' 7%    ab|c  |");
  EXPECT_EQ(format(L"%ls y %s", L"uno", L"dos"), L"uno y dos");
  EXPECT_EQ(wideStringFormat(L"%s %ls %%s %hs %5.2s"), L"%ls %ls %%s %hs %5.2ls");
  // The unformatted fallback keeps the caller's own format text.
  EXPECT_EQ(format(L"%s", std::wstring(3000, L'a').c_str()), L"%s");
}

TEST(SimpleLoggerEncode, Latin1AndLineEnds) {
  EXPECT_EQ(encodeLine(L"impresi\u00f3n \u00e1\u00ed\u00e9\u00fa"), "impresi\xf3n \xe1\xed\xe9\xfa");
  EXPECT_EQ(encodeLine(L"a\nb"), "a\r\nb");
  EXPECT_EQ(encodeLine(L"\u20ac\u00ff"), "?\xff");
}

TEST(SimpleLoggerFile, MainFileBytes) {
  TempDir dir;
  const auto prefix = (dir.path() / "Futronic").wstring();
  {
    Log log(L"Futronic");
    useFixedClock(log);
    log.open(prefix, L".log", false);
    log.info(L"-iniciando-");
    log.debug(L"Procesado: -p '%ls'", L"\\\\.\\pipe\\x");
    log.write(LEVEL_WRN, nullptr, nullptr, 0, L"Deteniendo captura en curso");
    log.error(L"No se pudo procesar impresi\u00f3n dactilar a compresi\u00f3n WSQ. \nVerifique.");
  }
  EXPECT_EQ(readBytes(dir / "Futronic20240105.log"),
            "\r\n"
            "20240105T093007 2764 Futronic INF -iniciando-\r\n"
            "20240105T093007 2764 Futronic DBG Procesado: -p '\\\\.\\pipe\\x'\r\n"
            "20240105T093007 2764 Futronic WRN Deteniendo captura en curso\r\n"
            "20240105T093007 2764 Futronic ERR No se pudo procesar impresi\xf3n dactilar a "
            "compresi\xf3n WSQ. \r\nVerifique.\r\n");
}

TEST(SimpleLoggerFile, TwoRunsAppendEachWithEmptyLine) {
  TempDir dir;
  const auto prefix = (dir.path() / "Futronic").wstring();
  for (int run = 0; run < 2; ++run) {
    Log log(L"Futronic");
    useFixedClock(log);
    log.open(prefix, L".log", false);
    log.info(L"-finalizando con %d-", run);
  }
  EXPECT_EQ(readBytes(dir / "Futronic20240105.log"),
            "\r\n20240105T093007 2764 Futronic INF -finalizando con 0-\r\n"
            "\r\n20240105T093007 2764 Futronic INF -finalizando con 1-\r\n");
}

TEST(SimpleLoggerFile, PlainSinkWritesMessageAlone) {
  TempDir dir;
  {
    Log log(L"Futronic");
    useFixedClock(log);
    log.open((dir.path() / "p").wstring(), L".txt", true);
    log.debug(L"solo %d", 1);
  }
  EXPECT_EQ(readBytes(dir / "p20240105.txt"), "\r\nsolo 1\r\n");
}

// What `-v N` does: an extra default-named file with minimum level N beside the main file.
struct ExtraFileCase {
  const char* name;
  int32_t minLevel;
  const char* wantExtra;
  int mainEmptyLines;
};

TEST(SimpleLoggerFile, ExtraFileLevels) {
  const char* kLines[] = {
      "20240105T093007 9 Futronic DBG d\r\n", "20240105T093007 9 Futronic INF i\r\n",
      "20240105T093007 9 Futronic WRN w\r\n", "20240105T093007 9 Futronic ERR e\r\n"};
  const ExtraFileCase cases[] = {
      {"-v 2: no DBG", 2, "\r\n%1%2%3", 2},
      {"-v 6: only the empty line", 6, "\r\n", 2},
      {"-v 0: everything", 0, "\r\n%0%1%2%3", 2},
      {"level 9: no empty line anywhere", 9, "", 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir(/*enter=*/true);
    {
      Log log(L"Futronic");
      useFixedClock(log, 9);
      log.open(L"Futronic", L".log", false);
      log.addFile(L"", false, c.minLevel);
      log.debug(L"d");
      log.info(L"i");
      log.write(LEVEL_WRN, nullptr, nullptr, 0, L"w");
      log.error(L"e");
    }
    std::string want;
    for (const char* p = c.wantExtra; *p; ++p) {
      if (*p == '%') want += kLines[*++p - '0'];
      else want += *p;
    }
    EXPECT_EQ(readBytes("log20240105.log"), want);
    std::string main(c.mainEmptyLines == 2 ? "\r\n\r\n" : "\r\n");
    for (const char* line : kLines) main += line;
    EXPECT_EQ(readBytes("Futronic20240105.log"), main);
  }
}

TEST(SimpleLoggerFile, FolderTakesTheNamedFilesButNotFullPaths) {
  TempDir work(/*enter=*/true);
  TempDir folder;
  TempDir elsewhere;
  {
    Log log(L"Futronic");
    useFixedClock(log);
    log.setFolder(folder.path().wstring());
    log.open(L"Futronic", L".log", false);
    log.addFile(L"", false, 2);                                  // what -v 2 adds
    log.addFile((elsewhere.path() / "full.log").wstring(), false, 5);
    log.info(L"i");
  }
  EXPECT_EQ(readBytes(folder / "Futronic20240105.log"), "\r\n\r\n\r\n20240105T093007 2764 Futronic INF i\r\n");
  EXPECT_EQ(readBytes(folder / "log20240105.log"), "\r\n\r\n20240105T093007 2764 Futronic INF i\r\n");
  EXPECT_EQ(readBytes(elsewhere / "full.log"), "\r\n");
  EXPECT_TRUE(std::filesystem::is_empty(work.path()));
}

TEST(SimpleLoggerFile, UnopenableFileIsSilentAndOthersStillWrite) {
  TempDir dir;
  Log log(L"Futronic");
  useFixedClock(log);
  log.open((dir.path() / "missing-folder" / "Futronic").wstring(), L".log", false);
  log.addFile((dir.path() / "ok.log").wstring(), false, 0);
  log.info(L"x");
  EXPECT_EQ(log.sinkCount(), 2u);
  EXPECT_EQ(readBytes(dir / "ok.log"), "\r\n20240105T093007 2764 Futronic INF x\r\n");
}

TEST(SimpleLoggerFile, NoSinksWritesNothing) {
  Log log(L"Futronic");
  log.info(L"nothing %d", 1);  // must neither crash nor create anything
  EXPECT_EQ(log.sinkCount(), 0u);
}

TEST(SimpleLoggerFile, ConcurrentLinesStayWhole) {
  TempDir dir;
  const auto file = (dir.path() / "t.log").wstring();
  {
    Log log(L"Futronic");
    log.addFile(file, false, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
      threads.emplace_back([&log, t] {
        for (int i = 0; i < 200; ++i) log.debug(L"hilo %d linea %d %ls", t, i, L"abcdefghijklmnop");
      });
    }
    for (auto& th : threads) th.join();
  }
  std::istringstream in(readBytes(dir / "t.log"));
  const std::regex line(R"(\d{8}T\d{6} \d+ Futronic DBG hilo [0-3] linea \d+ abcdefghijklmnop\r)");
  std::string text;
  int lines = 0;
  std::getline(in, text);
  EXPECT_EQ(text, "\r");
  while (std::getline(in, text)) {
    EXPECT_TRUE(std::regex_match(text, line)) << text;
    ++lines;
  }
  EXPECT_EQ(lines, 800);
}

}  // namespace
}  // namespace SimpleLogger
