// fingerprint_adapter.h: velmar-capture-b's use of the shared segmentation component: the settings of a
// captured image, the 512 x 512 normalised finger, PGM debug images and BMP file images. Plain pixel
// vectors in and out.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace capture_b {

constexpr int kOutputSide = 512;

// Normalises the captured image (width x height grey bytes) into `output` (512 x 512). With `dump`,
// the segmentation also writes its debug images named with `runId`. False when the image does not
// hold exactly one finger.
bool normaliseFinger(const std::vector<uint8_t>& pixels, int width, int height, bool dump,
                     std::vector<uint8_t>& output);

// Writes the image as a PGM file. False (and logged) when it cannot be written.
bool writeDebugPgm(const std::wstring& path, const std::vector<uint8_t>& pixels, int width, int height);

// The 8-bit grey BMP file image of the pixels; empty when the image is empty.
std::vector<uint8_t> bmpFileOf(const std::vector<uint8_t>& pixels, int width, int height);

}  // namespace capture_b
