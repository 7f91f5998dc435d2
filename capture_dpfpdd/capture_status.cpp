// capture_status.cpp: the final status table.
#include "capture_status.h"

#include "result_codes.h"

namespace capture_b {

CaptureStatus captureStatus(int32_t code) {
  switch (code) {
    case DEV_SUCCESS: return {L"CAPTURA CORRECTA", L"SUCCESS"};
    case DEV_ERR_TIMEOUT: return {L"SE ACABO EL TIEMPO DE ESPERA", L"TIMEOUT"};
    case DEV_ERR_WRONG_FINGERPRINT: return {L"ERROR EN LA CAPTURA DE HUELLA", L"WRONG FINGERPRINT"};
    case DEV_ERR_DIRTY: return {L"ÁREA DE CAPTURA SUCIA", L"DIRTY"};
    case DEV_ERR_CAPTURE_TOO_EARLY: return {L"CAPTURA DEMASIADO TEMPRANO", L"CAPTURE TOO EARLY"};
    case DEV_ERR_CANCELLED: return {L"NO SE REALIZÓ CAPTURA", L"CANCELLED"};
    case DEV_ERR_WSQ_CONVERSION: return {L"PROBLEMA DE CONVERSIÓN", L"WSQ CONVERSION"};
    case DEV_ERR_FAKE_FINGER: return {L"DEDO FALSO", L"FAKE FINGER"};
    case DEV_ERR_FAILURE: return {L"ERROR INTERNO DESCONOCIDO", L"FAILURE"};
    default: return {L"ERROR DESCONOCIDO", L"UNKNOWN"};
  }
}

}  // namespace capture_b
