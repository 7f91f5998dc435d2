#include "biodevice.h"

#include <gtest/gtest.h>

namespace {

TEST(RecordText, DeviceShowsEveryFieldInOrder) {
  EXPECT_EQ(toString(biodevice{}), "{baseDir=,command=,version=,name=,id=}");
  const biodevice device{"C:\\dev", "capture.exe", "1.2", "lector", "7"};
  EXPECT_EQ(toString(device), "{baseDir=C:\\dev,command=capture.exe,version=1.2,name=lector,id=7}");
}

TEST(RecordText, InputNeverShowsThePipeNames) {
  const biodeviceInput input{"Coloque el dedo", "15000", "4", "\\\\.\\pipe\\abc", "\\\\.\\pipe\\def"};
  EXPECT_EQ(toString(input), "{message=Coloque el dedo,timeout=15000,debugLevel=4}");
}

TEST(RecordText, OutputShowsSizesAndCode) {
  biodeviceOutput output;
  output.exitCode = 109;
  EXPECT_EQ(toString(output), "{bmp=0 bytes,wsq=0 bytes,exitCode=109}");
  output.bmp.assign(263222, 0);
  output.wsq.assign(2, 0);
  output.exitCode = -1;
  EXPECT_EQ(toString(output), "{bmp=263222 bytes,wsq=2 bytes,exitCode=-1}");
}

}  // namespace
