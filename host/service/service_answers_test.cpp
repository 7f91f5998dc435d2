#include "service_answers.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

namespace {

using nlohmann::json;

TEST(ServiceAnswers, InfoAndCancelAsJson) {
  EXPECT_EQ(json::parse(infoJson("1.0.0", true, {{"futronic", true}, {"dpfpdd", false}})),
            json::parse(R"({"version": "1.0.0", "busy": true,
                            "devices": [{"name": "futronic", "installed": true}, {"name": "dpfpdd", "installed": false}]})"));
  EXPECT_EQ(json::parse(cancelJson(true)), json::parse(R"({"cancelled": true})"));
  EXPECT_EQ(json::parse(cancelJson(false)), json::parse(R"({"cancelled": false})"));
}

TEST(RequestLogLine, OneLineWhateverTheRequestSent) {
  EXPECT_EQ(requestLogLine("POST", "/v1/capture", "http://localhost:8080", 200, 1234),
            "http POST /v1/capture origin http://localhost:8080 status 200 1234 ms");
  EXPECT_EQ(requestLogLine("GET", "/v1/info", "", 403, 0), "http GET /v1/info origin - status 403 0 ms");
  EXPECT_EQ(requestLogLine("POST", "/v1/capture", "", 200, 1250, 1200),
            "http POST /v1/capture origin - status 200 1250 ms (capture 1200 ms)");
  const std::string forged = requestLogLine("GET", "/x\r\nFATAL forged", "a\nb", 404, 1);
  EXPECT_EQ(forged.find_first_of("\r\n"), std::string::npos) << forged;
  EXPECT_LT(requestLogLine("GET", std::string(100000, 'p'), std::string(100000, 'o'), 404, 1).size(), 600u);
}

}  // namespace
