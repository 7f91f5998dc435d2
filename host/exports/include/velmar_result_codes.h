/* velmar_result_codes.h: the result codes of velmar-device (the value captureJson returns, the
 * "exitcode" of the JSON line, a capture application's exit code), with their names, when they
 * happen, whether the same request made again can help, and, in the table below, the Spanish error
 * and solution texts the JSON line carries. Compiles as C (C99) and as C++. Numbers not listed here
 * have no meaning and no texts.
 *
 * Written from the host's table of result codes (the same as sdk/velmar_result_codes.json and the
 * table in README); do not edit. */
#ifndef VELMAR_RESULT_CODES_H
#define VELMAR_RESULT_CODES_H

/* Whether the same request, made again, can end in a capture. */
#define VELMAR_RETRY_YES 1            /* the cause passes: the finger, the person, a busy device */
#define VELMAR_RETRY_AFTER_FIX 2      /* only after someone does what the solution text says */
#define VELMAR_RETRY_NOT_APPLICABLE 0 /* success, or a code this version never produces */

/* A capture: "wsq" and "jpg" carry the print. Retry: n/a. */
#define DEV_SUCCESS 0
/* Not produced by this version; defined so that callers written for earlier versions keep their
 * handling. Retry: n/a. */
#define DEV_ERR_JAVA_NOT_FOUND 101
/* Not produced by this version; defined so that callers written for earlier versions keep their
 * handling. Retry: n/a. */
#define DEV_ERR_JAVA_PLATFORM_NOT_SUPPORTED 102
/* Not produced by this version; defined so that callers written for earlier versions keep their
 * handling. Retry: n/a. */
#define DEV_ERR_JAVA_VERSION_NOT_SUPPORTED 103
/* Not produced by this version; defined so that callers written for earlier versions keep their
 * handling. Retry: n/a. */
#define DEV_ERR_OS_NOT_SUPPORTED 104
/* Not produced by this version; defined so that callers written for earlier versions keep their
 * handling. Retry: n/a. */
#define DEV_ERR_APP_NOT_FOUND 105
/* Not produced by this version; defined so that callers written for earlier versions keep their
 * handling. Retry: n/a. */
#define DEV_ERR_APP_INVALID_REGISTRY 106
/* Not produced by this version; defined so that callers written for earlier versions keep their
 * handling. Retry: n/a. */
#define DEV_ERR_APP_NOT_INITIALIZED 107
/* Not produced by this version; defined so that callers written for earlier versions keep their
 * handling. Retry: n/a. */
#define DEV_ERR_APP_NOT_FOUND_FILE 108
/* The capture application ended without sending anything: it crashed, was ended, or could not
 * start (a scanner library missing or of the wrong bitness does this every time: run
 * velmar-device.exe --diagnose). Retry: yes. */
#define DEV_ERR_DRIVER_INVALID 109
/* Not produced by this version; defined so that callers written for earlier versions keep their
 * handling. Retry: n/a. */
#define DEV_ERR_DLL_INVALID 110
/* Not produced by this version; defined so that callers written for earlier versions keep their
 * handling. Retry: n/a. */
#define DEV_ERR_DRIVER_NOT_SUPPORTED 111
/* Not produced by this version; defined so that callers written for earlier versions keep their
 * handling. Retry: n/a. */
#define DEV_ERR_DRIVER_TEST_FAILED 112
/* Not produced by this version; defined so that callers written for earlier versions keep their
 * handling. Retry: n/a. */
#define DEV_ERR_DRIVER_NOT_FOUND 113
/* Not produced by this version; defined so that callers written for earlier versions keep their
 * handling. Retry: n/a. */
#define DEV_ERR_NOT_CONNECTED 201
/* A capture with the same capture application is already running, in this process or another one
 * (its single-instance mutex is taken). Retry: yes. */
#define DEV_ERR_ALREADY_RUNNING 202
/* No finger was accepted in time: capture-a allows at most 30 s, capture-b the request's "timeout"
 * (45 s by default). Retry: yes. */
#define DEV_ERR_TIMEOUT 203
/* The image held no finger, or more than one, once cut out (segmentation). Retry: yes. */
#define DEV_ERR_WRONG_FINGERPRINT 204
/* Not produced by this version; defined so that callers written for earlier versions keep their
 * handling. Retry: n/a. */
#define DEV_ERR_JAVA_LOCKED 205
/* capture-b: the reader found dirt or a latent print on its capture area. Retry: yes. */
#define DEV_ERR_DIRTY 206
/* capture-b: the finger lay on the reader before it was ready. Retry: yes. */
#define DEV_ERR_CAPTURE_TOO_EARLY 207
/* The person closed the capture window or pressed Escape or Cancelar, the capture was cancelled by
 * the caller, or the reader reported the capture cancelled. Retry: yes. */
#define DEV_ERR_CANCELLED 208
/* The WSQ could not be made: capture-a's encoder failed, or capture-b's converter wsq.exe is
 * missing, failed or wrote no whole WSQ. Retry: yes. */
#define DEV_ERR_WSQ_CONVERSION 210
/* The request could not be read, the capture application could not be started (wrong "command"
 * path), the host's pipes could not be made, or the capture application failed while starting.
 * Retry: after-fix. */
#define DEV_ERR_INTERNAL_APP 211
/* The scanner or reader reported an internal fault (opening it, reading a frame or a report).
 * Retry: yes. */
#define DEV_ERR_INTERNAL_DEVICE 212
/* capture-b: the reader reported a failure of its USB connection. Retry: yes. */
#define DEV_ERR_USB_FAILURE 213
/* No scanner or reader is connected. Retry: after-fix. */
#define DEV_ERR_NOT_DETECTED 214
/* capture-b: the reader judged the finger to be fake. Retry: yes. */
#define DEV_ERR_FAKE_FINGER 215
/* capture-b: the reader could not take a usable image of the finger. Retry: yes. */
#define DEV_ERR_FAULTY_FINGER 216
/* capture-b: the reader is busy, held by another program. Retry: yes. */
#define DEV_ERR_LOCKED_DEVICE 217
/* Not produced by this version; defined so that callers written for earlier versions keep their
 * handling. Retry: n/a. */
#define DEV_ERR_INIT_FAIL_NBIOF 219
/* Not produced by this version; defined so that callers written for earlier versions keep their
 * handling. Retry: n/a. */
#define DEV_ERR_DLL_INVALID_PLATFORM 220
/* capture-b was started with -vr naming a version newer than its own (the host never passes -vr).
 * Retry: after-fix. */
#define DEV_ERR_OUTDATED_APP 221
/* The capture went wrong in a way no other code names: the data received was not a whole WSQ and a
 * valid image, or the host stopped waiting for a capture application that did not end. Retry: yes. */
#define DEV_ERR_FAILURE 299

/* The whole table (UTF-8 texts; empty for DEV_SUCCESS), for a program that shows the texts itself:
 * define VELMAR_RESULT_CODE_TABLE in one source file before including this header. */
#ifdef VELMAR_RESULT_CODE_TABLE
typedef struct velmar_result_code_entry {
  int code;
  const char* name;
  const char* error;    /* Spanish error text, UTF-8 */
  const char* solution; /* Spanish solution text, UTF-8 */
  int retry;            /* VELMAR_RETRY_... */
} velmar_result_code_entry;

static const velmar_result_code_entry velmar_result_code_table[] = {
    {DEV_SUCCESS, "DEV_SUCCESS",
     "",
     "",
     VELMAR_RETRY_NOT_APPLICABLE},
    {DEV_ERR_JAVA_NOT_FOUND, "DEV_ERR_JAVA_NOT_FOUND",
     "Java no est\303\241 instalado en su PC.",
     "Instale la \303\272ltima versi\303\263n de Java para plataformas de 32bits.",
     VELMAR_RETRY_NOT_APPLICABLE},
    {DEV_ERR_JAVA_PLATFORM_NOT_SUPPORTED, "DEV_ERR_JAVA_PLATFORM_NOT_SUPPORTED",
     "Plataforma de Java(x64) no soportada.",
     "Instale la \303\272ltima versi\303\263n de Java para plataformas de 32bits.",
     VELMAR_RETRY_NOT_APPLICABLE},
    {DEV_ERR_JAVA_VERSION_NOT_SUPPORTED, "DEV_ERR_JAVA_VERSION_NOT_SUPPORTED",
     "Versi\303\263n de Java no soportada.",
     "Instale la \303\272ltima versi\303\263n de Java para plataformas de 32bits.",
     VELMAR_RETRY_NOT_APPLICABLE},
    {DEV_ERR_OS_NOT_SUPPORTED, "DEV_ERR_OS_NOT_SUPPORTED",
     "Sistema Operativo no soportado.",
     "Utilice Windows 7 o superior.",
     VELMAR_RETRY_NOT_APPLICABLE},
    {DEV_ERR_APP_NOT_FOUND, "DEV_ERR_APP_NOT_FOUND",
     "El software de captura biom\303\251trica no est\303\241 instalado en su PC.",
     "Instale correctamente el software de captura biom\303\251trica seg\303\272n el manual de instalaci\303\263n.",
     VELMAR_RETRY_NOT_APPLICABLE},
    {DEV_ERR_APP_INVALID_REGISTRY, "DEV_ERR_APP_INVALID_REGISTRY",
     "El software de captura biom\303\251trica no est\303\241 correctamente instalado en su PC.",
     "Desinstale versiones anteriores del software de captura biom\303\251trica e instale la \303\272ltima versi\303\263n seg\303\272n el manual de instalaci\303\263n.",
     VELMAR_RETRY_NOT_APPLICABLE},
    {DEV_ERR_APP_NOT_INITIALIZED, "DEV_ERR_APP_NOT_INITIALIZED",
     "No se ha configurado el dispositivo biom\303\251trico por defecto en su PC.",
     "Siga el manual de instalaci\303\263n para establecer el dispositivo biom\303\251trico a usar.",
     VELMAR_RETRY_NOT_APPLICABLE},
    {DEV_ERR_APP_NOT_FOUND_FILE, "DEV_ERR_APP_NOT_FOUND_FILE",
     "El software de captura biom\303\251trica no est\303\241 correctamente instalado en su PC.",
     "Desinstale versiones anteriores del software de captura biom\303\251trica e instale la \303\272ltima versi\303\263n seg\303\272n el manual de instalaci\303\263n.",
     VELMAR_RETRY_NOT_APPLICABLE},
    {DEV_ERR_DRIVER_INVALID, "DEV_ERR_DRIVER_INVALID",
     "El driver del dispositivo biom\303\251trico seleccionado no existe o no est\303\241 correctamente instalado en su PC.",
     "Instale correctamente el driver del dispositivo biom\303\251trico siguiendo su manual de instalaci\303\263n.",
     VELMAR_RETRY_YES},
    {DEV_ERR_DLL_INVALID, "DEV_ERR_DLL_INVALID",
     "Los recursos requeridos por el software de captura biom\303\251trica no existen o no est\303\241n correctamente instaladas en su PC.",
     "Revise si los requerimientos especificados en el manual de instalaci\303\263n est\303\241n correctamente instalados.",
     VELMAR_RETRY_NOT_APPLICABLE},
    {DEV_ERR_DRIVER_NOT_SUPPORTED, "DEV_ERR_DRIVER_NOT_SUPPORTED",
     "Los recursos requeridos por el software de captura biom\303\251trica no existen o no est\303\241n correctamente instaladas en su PC.",
     "Revise si los requerimientos especificados en el manual de instalaci\303\263n est\303\241n correctamente instalados.",
     VELMAR_RETRY_NOT_APPLICABLE},
    {DEV_ERR_DRIVER_TEST_FAILED, "DEV_ERR_DRIVER_TEST_FAILED",
     "No se logr\303\263 completar la prueba del dispositivo biom\303\251trico.",
     "Desinstale versiones anteriores del software de captura biom\303\251trica e instale la \303\272ltima versi\303\263n seg\303\272n el manual de instalaci\303\263n.Ejecute nuevamente la prueba con privilegios de Administrador.",
     VELMAR_RETRY_NOT_APPLICABLE},
    {DEV_ERR_DRIVER_NOT_FOUND, "DEV_ERR_DRIVER_NOT_FOUND",
     "El driver del dispositivo biom\303\251trico no est\303\241 correctamente instalado.",
     "Instale correctamente el driver del dispositivo biom\303\251trico siguiendo su manual de instalaci\303\263n.",
     VELMAR_RETRY_NOT_APPLICABLE},
    {DEV_ERR_NOT_CONNECTED, "DEV_ERR_NOT_CONNECTED",
     "El dispositivo biom\303\251trico no se encuentra correctamente conectado a su PC o sus drivers no han sido correctamente instalados.",
     "Aseg\303\272rese que el dispositivo biom\303\251trico se encuentre conectado a un puerto USB y tiene los drivers instalados correctamente, seg\303\272n el manual de instalaci\303\263n.Si el problema persiste reinicie su PC y reintente.",
     VELMAR_RETRY_NOT_APPLICABLE},
    {DEV_ERR_ALREADY_RUNNING, "DEV_ERR_ALREADY_RUNNING",
     "El software de captura biom\303\251trica ya se est\303\241 ejecutando.",
     "Cierre todas las ventanas de los navegadores Web y reintente.Si el problema persiste reinicie su PC.",
     VELMAR_RETRY_YES},
    {DEV_ERR_TIMEOUT, "DEV_ERR_TIMEOUT",
     "Tiempo de espera agotado para la captura de la impresi\303\263n dactilar.",
     "Aseg\303\272rese de colocar el dedo adecuadamente en el \303\241rea de captura del dispositivo biom\303\251trico en el tiempo requerido por el software.Limpie el \303\241rea de captura del dispositivo biom\303\251trico y reintente.Use el bot\303\263n de captura manual si lo requiere.",
     VELMAR_RETRY_YES},
    {DEV_ERR_WRONG_FINGERPRINT, "DEV_ERR_WRONG_FINGERPRINT",
     "No se realiz\303\263 una captura adecuada.",
     "Aseg\303\272rese de colocar el dedo en el \303\241rea de captura del dispositivo biom\303\251trico seg\303\272n el instructivo de captura de impresiones dactilares.",
     VELMAR_RETRY_YES},
    {DEV_ERR_JAVA_LOCKED, "DEV_ERR_JAVA_LOCKED",
     "El software de captura biom\303\251trica ya se est\303\241 ejecutando.",
     "Cierre todas las ventanas de los navegadores Web y reintente.Si el problema persiste reinicie su PC.",
     VELMAR_RETRY_NOT_APPLICABLE},
    {DEV_ERR_DIRTY, "DEV_ERR_DIRTY",
     "Se ha encontrado impurezas(manchas, suciedad) o una huella en el \303\241rea de captura del dispositivo biom\303\251trico antes de iniciar la captura.",
     "Limpie el \303\241rea de captura del dispositivo biom\303\251trico.Coloque el dedo sobre el \303\241rea de captura s\303\263lo cuando el software lo requiera y siga el instructivo de captura de impresiones dactilares.",
     VELMAR_RETRY_YES},
    {DEV_ERR_CAPTURE_TOO_EARLY, "DEV_ERR_CAPTURE_TOO_EARLY",
     "Se ha encontrado impurezas(manchas, suciedad) o una huella en el \303\241rea de captura del dispositivo biom\303\251trico antes de iniciar la captura.",
     "Limpie el \303\241rea de captura del dispositivo biom\303\251trico.Coloque el dedo sobre el \303\241rea de captura s\303\263lo cuando el software lo requiera y siga el instructivo de captura de impresiones dactilares.",
     VELMAR_RETRY_YES},
    {DEV_ERR_CANCELLED, "DEV_ERR_CANCELLED",
     "La captura biom\303\251trica fue cancelada por el usuario.",
     "Reintente el proceso de captura nuevamente.",
     VELMAR_RETRY_YES},
    {DEV_ERR_WSQ_CONVERSION, "DEV_ERR_WSQ_CONVERSION",
     "La captura de la impresi\303\263n dactilar no finaliz\303\263 correctamente.",
     "Reintente la captura de la impresi\303\263n dactilar.",
     VELMAR_RETRY_YES},
    {DEV_ERR_INTERNAL_APP, "DEV_ERR_INTERNAL_APP",
     "No se pudo iniciar el dispositivo biom\303\251trico.",
     "Reintente nuevamente, reinicie su PC, reinstale el software de captura biom\303\251trica seg\303\272n el manual de instalaci\303\263n.",
     VELMAR_RETRY_AFTER_FIX},
    {DEV_ERR_INTERNAL_DEVICE, "DEV_ERR_INTERNAL_DEVICE",
     "El dispositivo biom\303\251trico ha reportado fallos internos.",
     "Reintente nuevamente, reinicie su PC, reinstale el software de captura biom\303\251trica seg\303\272n el manual de instalaci\303\263n.",
     VELMAR_RETRY_YES},
    {DEV_ERR_USB_FAILURE, "DEV_ERR_USB_FAILURE",
     "El dispositivo biom\303\251trico ha reportado fallos en la conexi\303\263n USB.",
     "Reintente nuevamente, reinicie su PC, reinstale el software de captura biom\303\251trica seg\303\272n el manual de instalaci\303\263n.",
     VELMAR_RETRY_YES},
    {DEV_ERR_NOT_DETECTED, "DEV_ERR_NOT_DETECTED",
     "El dispositivo biom\303\251trico no se encuentra correctamente conectado a su PC.",
     "Aseg\303\272rese que el dispositivo biom\303\251trico se encuentre conectado a un puerto USB y tiene los drivers instalados correctamente, seg\303\272n el manual de instalaci\303\263n.Si el problema persiste reinicie su PC y reintente.",
     VELMAR_RETRY_AFTER_FIX},
    {DEV_ERR_FAKE_FINGER, "DEV_ERR_FAKE_FINGER",
     "Se ha detectado una falsa impresi\303\263n dactilar en el dispositivo biom\303\251trico.",
     "Aseg\303\272rese de que la impresi\303\263n dactilar no contenga impurezas.No intente transgredir la seguridad del sistema.",
     VELMAR_RETRY_YES},
    {DEV_ERR_FAULTY_FINGER, "DEV_ERR_FAULTY_FINGER",
     "El dispositivo biom\303\251trico no pudo capturar la impresi\303\263n dactilar porque no es adecuada.",
     "Reintente la captura, si el problema persiste revise el instructivo de captura de impresiones dactilares.",
     VELMAR_RETRY_YES},
    {DEV_ERR_LOCKED_DEVICE, "DEV_ERR_LOCKED_DEVICE",
     "El software de captura biom\303\251trica ya se est\303\241 ejecutando.",
     "Cierre todas las ventanas de los navegadores Web y reintente.Si el problema persiste reinicie su PC.",
     VELMAR_RETRY_YES},
    {DEV_ERR_INIT_FAIL_NBIOF, "DEV_ERR_INIT_FAIL_NBIOF",
     "La captura de la impresi\303\263n dactilar no finaliz\303\263 correctamente.",
     "Aseg\303\272rese de colocar el dedo adecuadamente en el \303\241rea de captura del dispositivo biom\303\251trico en el tiempo requerido por el software.Limpie el \303\241rea de captura del dispositivo biom\303\251trico.Si el problema persiste reintente nuevamente, reinicie su PC, reinstale el software de captura biom\303\251trica seg\303\272n el manual de instalaci\303\263n.",
     VELMAR_RETRY_NOT_APPLICABLE},
    {DEV_ERR_DLL_INVALID_PLATFORM, "DEV_ERR_DLL_INVALID_PLATFORM",
     "No se complet\303\263 el diagn\303\263stico de funcionamiento del dispositivo biom\303\251trico.",
     "Desinstale versiones anteriores del software de captura biom\303\251trica e instale la \303\272ltima versi\303\263n seg\303\272n el manual de instalaci\303\263n.Ejecute nuevamente la prueba con privilegios de Administrador.",
     VELMAR_RETRY_NOT_APPLICABLE},
    {DEV_ERR_OUTDATED_APP, "DEV_ERR_OUTDATED_APP",
     "Su versi\303\263n del aplicativo de captura necesita ser actualizada.",
     "Desinstale versiones anteriores del software de captura biom\303\251trica e instale la \303\272ltima versi\303\263n seg\303\272n el manual de instalaci\303\263n.",
     VELMAR_RETRY_AFTER_FIX},
    {DEV_ERR_FAILURE, "DEV_ERR_FAILURE",
     "No se complet\303\263 el diagn\303\263stico de funcionamiento del dispositivo biom\303\251trico.",
     "Reintente nuevamente, reinicie su PC, reinstale el software de captura biom\303\251trica seg\303\272n el manual de instalaci\303\263n.",
     VELMAR_RETRY_YES},
};
#endif /* VELMAR_RESULT_CODE_TABLE */

#endif /* VELMAR_RESULT_CODES_H */
