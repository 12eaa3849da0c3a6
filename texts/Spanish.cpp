// Español: los términos de un Windows en español ("< Atrás", "Siguiente >", "Cancelar").
#include "texts/LanguageTables.h"

namespace {

using T = TextId;

constexpr TextEntry kTexts[] = {
    {T::WindowCaption, "Instalación de $ProductName$BitSuffix"},
    {T::BitSuffix, " (64 bits)"},
    {T::SetupTitle, "Instalación"},
    {T::UninstallerTitleSuffix, " - Desinstalación"},
    {T::WarningCaption, "Advertencia"},
    {T::ConfirmCaption, "Confirmar"},
    {T::InformationCaption, "Información"},
    {T::BackButton, "< &Atrás"},
    {T::NextButton, "&Siguiente >"},
    {T::CancelButton, "Cancelar"},
    {T::YesButton, "&Sí"},
    {T::NoButton, "&No"},
    {T::InstallButton, "&Instalar"},
    {T::FinishButton, "&Finalizar"},
    {T::BrowseButton, "&Examinar..."},
    {T::WelcomeHeading, "Bienvenido a la instalación de $ProductName"},
    {T::WelcomeDescription, "Este programa instalará $FullProductName en el equipo."},
    {T::WelcomeStep, "Haga clic en Siguiente para continuar."},
    {T::LicenseHeading, "Contrato de licencia"},
    {T::LicenseStep, "¿Acepta este contrato de licencia? Si elige No, la instalación se cerrará."},
    {T::BundleHeading, "$BundleSelectHeading"},
    {T::BundleDescription, "$BundleSelectDescription"},
    {T::SelectAllButton, "Seleccionar &todo"},
    {T::SelectNoneButton, "&Ninguno"},
    {T::VstHeading, "Instalación de plug-ins VST$BitSuffix"},
    {T::Vst2Description,
     "VST 2 ($PluginDescription) debe instalarse en la carpeta de plug-ins de su host VST. Use el botón Examinar "
     "para seleccionar la carpeta de plug-ins VST 2 adecuada en el equipo."},
    {T::Vst2InstallCheck, "&Instalar VST 2 ($PluginDescription)"},
    {T::Vst2FolderLabel, "Car&peta de plug-ins VST 2$BitSuffix:"},
    {T::Vst2BrowseTitle, "Seleccione la carpeta de plug-ins VST en el equipo:"},
    {T::Vst3InstallCheck, "Instalar VST &3 ($PluginDescription)"},
    {T::OnlyForList, "(Solo para $List)"},
    {T::Vst3Description,
     "Se instalará VST 3 ($PluginDescription) en la carpeta común de plug-ins VST 3 del equipo. (VST 3 es una "
     "versión más reciente de VST que requiere un host VST 3.)"},
    {T::Vst3SharedDescription, "En la carpeta común de plug-ins VST 3, para hosts VST 3."},
    {T::ClapInstallCheck, "Instalar &CLAP ($PluginDescription)"},
    {T::ClapDescription,
     "Se instalará CLAP ($PluginDescription) en la carpeta común de plug-ins CLAP del equipo. (CLAP es un formato "
     "de plug-in más reciente que requiere un host CLAP.)"},
    {T::ClapSharedDescription, "En la carpeta común de plug-ins CLAP, para hosts CLAP."},
    {T::PluginsForProduct, "plug-ins de $ProductName"},
    {T::PluginVersionOfProduct, "versión plug-in de $ProductName"},
    {T::DigiHeading, "Instalación de plug-ins de Pro Tools"},
    {T::DigiDescription, "Seleccione si desea instalar $ProToolsFormats ($PluginDescription) para Pro Tools."},
    {T::RtasInstallCheck, "&Instalar RTAS ($PluginDescription)"},
    {T::RtasDescription,
     "Se instalará RTAS ($PluginDescription) en la carpeta común de plug-ins RTAS del equipo. El formato RTAS es "
     "compatible con Pro Tools 10 y versiones anteriores."},
    {T::AaxInstallCheck, "&Instalar AAX ($PluginDescription)"},
    {T::AaxDescription,
     "Se instalará AAX ($PluginDescription) en la carpeta común de plug-ins AAX del equipo. $AaxInfo"},
    {T::Aax64Info, "El formato AAX de 64 bits sustituye a RTAS y es compatible a partir de Pro Tools 11."},
    {T::Aax32Info, "El formato AAX de 32 bits sustituye a RTAS y requiere Pro Tools 10.3.5 o posterior."},
    {T::PhotoshopHeading, "Instalación del plug-in de Adobe Photoshop"},
    {T::PhotoshopInfo,
     "Adobe Photoshop ($PluginDescription) debe instalarse en la carpeta de plug-ins de Photoshop. Use el botón "
     "Examinar para seleccionar la carpeta de plug-ins en el equipo."},
    {T::PhotoshopInstallCheck, "&Instalar Photoshop ($PluginDescription)"},
    {T::PhotoshopFolderLabel, "&Carpeta de plug-ins de Adobe Photoshop:"},
    {T::PhotoshopBrowseTitle, "Seleccione la carpeta de plug-ins de Adobe Photoshop en el equipo:"},
    {T::DestHeading, "Carpeta de destino"},
    {T::DestDescription,
     "El programa de instalación necesita saber dónde instalar $InstallDescription. Escriba una carpeta a "
     "continuación o use el botón Examinar para elegirla."},
    {T::DestStep, "Si no está seguro, se recomienda usar la carpeta predeterminada que se muestra a continuación."},
    {T::DestFolderLabel, "&Carpeta de destino:"},
    {T::DestBrowseTitle, "Seleccione la carpeta en la que se instalará $ProductName:"},
    {T::NameHeading, "Personalización"},
    {T::NameInfo, "Escriba su nombre completo a continuación para identificarse. $PersonalizeInfo"},
    {T::NameLabel, "Su &nombre:"},
    {T::IconHeading, "Crear accesos directos"},
    {T::IconStartMenuQuestion, "¿Desea crear un acceso directo a $InstallDescription en el menú Inicio?"},
    {T::IconStartMenuCheck, "Crear un acceso directo en el &menú Inicio"},
    {T::IconDesktopQuestion, "¿Desea crear un acceso directo a $InstallDescription en el escritorio?"},
    {T::IconDesktopCheck, "Crear un acceso directo en el &escritorio"},
    {T::InstallStep, "Haga clic en Instalar para empezar a copiar los archivos."},
    {T::CopyHeading, "Copiando archivos"},
    {T::CopyDescription, "El programa de instalación está copiando los archivos."},
    {T::ReadyHeading, "Instalación completada"},
    {T::DefaultCompleteMessage,
     "$ProductName se ha instalado correctamente. Puede iniciar $ProductName desde el menú Inicio o el "
     "escritorio. Lea el archivo Readme.txt para obtener más información."},
    {T::ReadyReadmeQuestion, "¿Desea ver Readme.txt ahora?"},
    {T::ReadyReadmeCheck, "Mostrar &Readme.txt"},
    {T::ReadyStartQuestion, "¿Desea iniciar $ProductName ahora?"},
    {T::ReadyStartCheck, "&Iniciar $ProductName"},
    {T::NoBundleItemWarning, "Debe instalar al menos un elemento."},
    {T::FolderErrorWarning, "No se pudo crear la carpeta '%s'.\rEspecifique un nombre válido."},
    {T::NoNameWarning, "Escriba primero su nombre."},
    {T::CancelQuestion,
     "$FullProductName aún no se ha instalado por completo.\r¿Seguro que desea cancelar la instalación de "
     "$ProductName?"},
    {T::SameMajorQuestion,
     "Se recomienda instalar esta nueva versión de $ProductName\ren la misma carpeta que la copia existente. Así "
     "se asegura\rde que la versión instalada se actualice correctamente.\r\r¿Seguro que desea instalarla en otra "
     "carpeta?"},
    {T::NewMajorQuestion,
     "Se recomienda instalar esta nueva versión de $ProductName\ren una carpeta nueva para conservar la copia "
     "instalada.\r\r¿Seguro que desea sobrescribir la copia existente?"},
    {T::AlreadyRunningError,
     "Ya se está ejecutando otra instalación de $FullProductName.\rEspere a que termine y vuelva a intentarlo."},
    {T::PreparingStatus, "Preparando la instalación..."},
    {T::CopyingStatus, "Copiando archivos..."},
    {T::InitializingStatus, "Inicializando componentes..."},
    {T::CreatingSettingsStatus, "Creando la configuración..."},
    {T::CreatingShortcutsStatus, "Creando accesos directos..."},
    {T::NoAdminRightsMessage,
     "Debe tener derechos de administrador o de usuario avanzado para instalar\r$ProductName en este equipo. La "
     "instalación se cerrará.\r\rInicie sesión con otro usuario y vuelva a intentarlo."},
    {T::Need64BitWindowsMessage,
     "Debe usar una edición de 64 bits de Windows para instalar\rla versión de 64 bits de $ProductName. La "
     "instalación se cerrará.\r\rDescargue y ejecute el instalador de 32 bits."},
    {T::NeedX64EmulationMessage,
     "Este equipo tiene un procesador Arm y su edición de Windows no puede ejecutar programas x64.\r$ProductName "
     "está creado solo para procesadores x64. La instalación se cerrará.\r\rActualice a Windows 11, que ejecuta "
     "programas x64, o use un instalador que incluya plug-ins Arm64."},
    {T::NotEnoughSpaceMessage,
     "No hay suficiente espacio en la unidad de destino.\rLibere espacio y vuelva a intentarlo"},
    {T::PathTooLongMessage,
     "La ruta '%s' es más larga de lo que permite Windows.\rElija una carpeta de destino más corta y vuelva a "
     "intentarlo"},
    {T::CannotInstallFileMessage,
     "No se puede instalar el archivo '%s'.\r\rCierre todas las aplicaciones en ejecución para asegurarse de que "
     "el archivo no está en uso antes de reintentar."},
    {T::FilesInUseMessage,
     "El programa de instalación no puede reemplazar estos archivos porque otro programa los está usando:\r\r%s"},
    {T::ProgramsUsingFilesMessage, "\r\rLos está usando:\r\r%s"},
    {T::MoreFilesInUseLine, "\r... y %s más"},
    {T::CloseProgramsMessage,
     "\r\rCierre el programa (por ejemplo, una aplicación host con el plug-in cargado) y haga clic en Reintentar. "
     "Haga clic en Cancelar para salir de la instalación sin cambiar nada en este equipo."},
    {T::UninstallNoRightsMessage,
     "Debe tener derechos de administrador o de usuario avanzado para desinstalar %s.\rInicie sesión con otro "
     "usuario y vuelva a intentarlo."},
    {T::ConfirmRemovalQuestion, "¿Seguro que desea quitar completamente %s\ry todos sus componentes?"},
    {T::UninstalledMessage, "La desinstalación se completó correctamente."},
    {T::UninstalledWithLeftoversMessage,
     "La desinstalación se completó correctamente.\r\rAlgunos elementos no se pudieron quitar. Quite\r"
     "manualmente los elementos relacionados con %s."},
    {T::ForeignRecordMessage,
     "Los datos de desinstalación de este desinstalador no coinciden con la instalación a la que pertenece.\rNo "
     "se ha quitado nada. Vuelva a instalar el producto para desinstalarlo."},
    {T::NoBatchFolderMessage,
     "No hay ninguna carpeta para el archivo por lotes que quita el desinstalador; el desinstalador y su "
     "carpeta se conservan."},
    {T::ApplicationErrorCaption, "Error de aplicación"},
    {T::ShutdownBlockedReason,
     "El programa de instalación está instalando. Si lo detiene ahora, el producto quedará instalado a "
     "medias."},
    {T::CannotOpenFileMessage, "No se puede abrir el archivo \"%s\"."},
    {T::CannotCreateFileMessage, "No se puede crear el archivo \"%s\"."},
    {T::CannotReadFileMessage, "No se puede leer el archivo \"%s\"."},
    {T::CannotSeekFileMessage, "No se puede ir a una posición del archivo \"%s\"."},
    {T::CannotWriteFileMessage, "No se puede escribir en el archivo \"%s\"."},
};

}  // namespace

const std::span<const TextEntry> kSpanishTexts = kTexts;
