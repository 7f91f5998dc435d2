// segmentation.h: everything of the finger segmentation component in one include.
#pragma once

#include "crop_fill.h"
#include "fingerprint_segmentation.h"
#include "gray_image.h"
#include "image_writers.h"
#include "morphology.h"
#include "region_labeling.h"
#include "segmentation_log.h"
