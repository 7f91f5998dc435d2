// jpeg_probe_win.h: whether GDI+ starts and offers the image/jpeg encoder the JSON line's preview needs.
#pragma once

#include "diagnostic_facts.h"

JpegFacts probeJpeg();
