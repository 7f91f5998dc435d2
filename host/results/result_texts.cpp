#include "result_texts.h"

#include <stdexcept>

#include "decimal.h"
#include "result_codes.h"

namespace {

// Texts shared by several codes are written once.
const char kErrAppNotInstalled[] =
    u8"El software de captura biométrica no está correctamente instalado en su PC.";
const char kSolReinstallLatest[] =
    u8"Desinstale versiones anteriores del software de captura biométrica e instale la última versión según "
    u8"el manual de instalación.";
const char kSolReinstallAsAdmin[] =
    u8"Desinstale versiones anteriores del software de captura biométrica e instale la última versión según "
    u8"el manual de instalación.Ejecute nuevamente la prueba con privilegios de Administrador.";
const char kSolJava32[] = u8"Instale la última versión de Java para plataformas de 32bits.";
const char kErrResourcesMissing[] =
    u8"Los recursos requeridos por el software de captura biométrica no existen o no están correctamente "
    u8"instaladas en su PC.";
const char kSolCheckRequirements[] =
    u8"Revise si los requerimientos especificados en el manual de instalación están correctamente "
    u8"instalados.";
const char kSolInstallDriver[] =
    u8"Instale correctamente el driver del dispositivo biométrico siguiendo su manual de instalación.";
const char kSolCheckUsb[] =
    u8"Asegúrese que el dispositivo biométrico se encuentre conectado a un puerto USB y tiene los drivers "
    u8"instalados correctamente, según el manual de instalación.Si el problema persiste reinicie su PC y "
    u8"reintente.";
const char kErrAlreadyRunning[] = u8"El software de captura biométrica ya se está ejecutando.";
const char kSolCloseBrowsers[] =
    u8"Cierre todas las ventanas de los navegadores Web y reintente.Si el problema persiste reinicie su PC.";
const char kErrDirty[] =
    u8"Se ha encontrado impurezas(manchas, suciedad) o una huella en el área de captura del dispositivo "
    u8"biométrico antes de iniciar la captura.";
const char kSolDirty[] =
    u8"Limpie el área de captura del dispositivo biométrico.Coloque el dedo sobre el área de captura sólo "
    u8"cuando el software lo requiera y siga el instructivo de captura de impresiones dactilares.";
const char kErrNotFinished[] = u8"La captura de la impresión dactilar no finalizó correctamente.";
const char kSolRestartReinstall[] =
    u8"Reintente nuevamente, reinicie su PC, reinstale el software de captura biométrica según el manual de "
    u8"instalación.";
const char kErrDiagnosis[] =
    u8"No se completó el diagnóstico de funcionamiento del dispositivo biométrico.";

struct Entry {
  std::int32_t code;
  ResultText text;
};

const Entry kTable[] = {
    {DEV_ERR_JAVA_NOT_FOUND, {u8"Java no está instalado en su PC.", kSolJava32}},
    {DEV_ERR_JAVA_PLATFORM_NOT_SUPPORTED, {u8"Plataforma de Java(x64) no soportada.", kSolJava32}},
    {DEV_ERR_JAVA_VERSION_NOT_SUPPORTED, {u8"Versión de Java no soportada.", kSolJava32}},
    {DEV_ERR_OS_NOT_SUPPORTED, {u8"Sistema Operativo no soportado.", u8"Utilice Windows 7 o superior."}},
    {DEV_ERR_APP_NOT_FOUND,
     {u8"El software de captura biométrica no está instalado en su PC.",
      u8"Instale correctamente el software de captura biométrica según el manual de instalación."}},
    {DEV_ERR_APP_INVALID_REGISTRY, {kErrAppNotInstalled, kSolReinstallLatest}},
    {DEV_ERR_APP_NOT_INITIALIZED,
     {u8"No se ha configurado el dispositivo biométrico por defecto en su PC.",
      u8"Siga el manual de instalación para establecer el dispositivo biométrico a usar."}},
    {DEV_ERR_APP_NOT_FOUND_FILE, {kErrAppNotInstalled, kSolReinstallLatest}},
    {DEV_ERR_DRIVER_INVALID,
     {u8"El driver del dispositivo biométrico seleccionado no existe o no está correctamente instalado en su "
      u8"PC.",
      kSolInstallDriver}},
    {DEV_ERR_DLL_INVALID, {kErrResourcesMissing, kSolCheckRequirements}},
    {DEV_ERR_DRIVER_NOT_SUPPORTED, {kErrResourcesMissing, kSolCheckRequirements}},
    {DEV_ERR_DRIVER_TEST_FAILED,
     {u8"No se logró completar la prueba del dispositivo biométrico.", kSolReinstallAsAdmin}},
    {DEV_ERR_DRIVER_NOT_FOUND,
     {u8"El driver del dispositivo biométrico no está correctamente instalado.", kSolInstallDriver}},
    {DEV_ERR_NOT_CONNECTED,
     {u8"El dispositivo biométrico no se encuentra correctamente conectado a su PC o sus drivers no han sido "
      u8"correctamente instalados.",
      kSolCheckUsb}},
    {DEV_ERR_ALREADY_RUNNING, {kErrAlreadyRunning, kSolCloseBrowsers}},
    {DEV_ERR_TIMEOUT,
     {u8"Tiempo de espera agotado para la captura de la impresión dactilar.",
      u8"Asegúrese de colocar el dedo adecuadamente en el área de captura del dispositivo biométrico en el "
      u8"tiempo requerido por el software.Limpie el área de captura del dispositivo biométrico y "
      u8"reintente.Use el botón de captura manual si lo requiere."}},
    {DEV_ERR_WRONG_FINGERPRINT,
     {u8"No se realizó una captura adecuada.",
      u8"Asegúrese de colocar el dedo en el área de captura del dispositivo biométrico según el instructivo "
      u8"de captura de impresiones dactilares."}},
    {DEV_ERR_JAVA_LOCKED, {kErrAlreadyRunning, kSolCloseBrowsers}},
    {DEV_ERR_DIRTY, {kErrDirty, kSolDirty}},
    {DEV_ERR_CAPTURE_TOO_EARLY, {kErrDirty, kSolDirty}},
    {DEV_ERR_CANCELLED,
     {u8"La captura biométrica fue cancelada por el usuario.", u8"Reintente el proceso de captura nuevamente."}},
    {DEV_ERR_WSQ_CONVERSION, {kErrNotFinished, u8"Reintente la captura de la impresión dactilar."}},
    {DEV_ERR_INTERNAL_APP, {u8"No se pudo iniciar el dispositivo biométrico.", kSolRestartReinstall}},
    {DEV_ERR_INTERNAL_DEVICE, {u8"El dispositivo biométrico ha reportado fallos internos.", kSolRestartReinstall}},
    {DEV_ERR_USB_FAILURE,
     {u8"El dispositivo biométrico ha reportado fallos en la conexión USB.", kSolRestartReinstall}},
    {DEV_ERR_NOT_DETECTED,
     {u8"El dispositivo biométrico no se encuentra correctamente conectado a su PC.", kSolCheckUsb}},
    {DEV_ERR_FAKE_FINGER,
     {u8"Se ha detectado una falsa impresión dactilar en el dispositivo biométrico.",
      u8"Asegúrese de que la impresión dactilar no contenga impurezas.No intente transgredir la seguridad "
      u8"del sistema."}},
    {DEV_ERR_FAULTY_FINGER,
     {u8"El dispositivo biométrico no pudo capturar la impresión dactilar porque no es adecuada.",
      u8"Reintente la captura, si el problema persiste revise el instructivo de captura de impresiones "
      u8"dactilares."}},
    {DEV_ERR_LOCKED_DEVICE, {kErrAlreadyRunning, kSolCloseBrowsers}},
    {DEV_ERR_INIT_FAIL_NBIOF,
     {kErrNotFinished,
      u8"Asegúrese de colocar el dedo adecuadamente en el área de captura del dispositivo biométrico en el "
      u8"tiempo requerido por el software.Limpie el área de captura del dispositivo biométrico.Si el "
      u8"problema persiste reintente nuevamente, reinicie su PC, reinstale el software de captura "
      u8"biométrica según el manual de instalación."}},
    {DEV_ERR_DLL_INVALID_PLATFORM, {kErrDiagnosis, kSolReinstallAsAdmin}},
    {DEV_ERR_OUTDATED_APP,
     {u8"Su versión del aplicativo de captura necesita ser actualizada.", kSolReinstallLatest}},
    {DEV_ERR_FAILURE, {kErrDiagnosis, kSolRestartReinstall}},
};

}  // namespace

ResultText findResultText(std::int32_t code) {
  for (const Entry& entry : kTable) {
    if (entry.code == code) return entry.text;
  }
  return {};
}

void resultTexts(std::string code, std::string& error, std::string& solution) {
  const DecimalParse parsed = parseDecimal(code);
  if (parsed.status == DecimalParse::kNoNumber) throw std::invalid_argument("invalid stoi argument");
  if (parsed.status == DecimalParse::kOutOfRange) throw std::out_of_range("stoi argument out of range");
  const ResultText text = findResultText(parsed.value);
  if (text.error == nullptr) return;
  error = text.error;
  solution = text.solution;
}
