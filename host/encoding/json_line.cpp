#include "json_line.h"

std::string makeJsonLine(const std::string& wsq64, const std::string& jpg64, const std::string& exitCode,
                         const std::string& error, const std::string& solution) {
  return "{\"wsq\":\"" + wsq64 + "\",\"jpg\":\"" + jpg64 + "\",\"exitcode\":\"" + exitCode + "\",\"error\":\"" +
         error + "\",\"solution\":\"" + solution + "\"}";
}
