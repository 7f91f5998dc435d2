// resource.h: resource ids of velmar-capture-b's dialog and icon.
#pragma once

#define IDD_CAPTURE 101
#define IDI_VELMAR 117
#define IDC_IMAGE_FRAME 1001
#define IDC_MESSAGE_LABEL 1003
#define IDC_STATUS_LABEL 1006
#define IDC_CAPTURE_BUTTON 1008
#define IDC_VERSION_LABEL 1009
