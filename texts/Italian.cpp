// Italiano: i termini di un Windows italiano ("< Indietro", "Avanti >", "Annulla", "Sfoglia...").
#include "texts/LanguageTables.h"

namespace {

using T = TextId;

constexpr TextEntry kTexts[] = {
    {T::WindowCaption, "Installazione di $ProductName$BitSuffix"},
    {T::BitSuffix, " (64 bit)"},
    {T::SetupTitle, "Installazione"},
    {T::UninstallerTitleSuffix, " - Disinstallazione"},
    {T::WarningCaption, "Avviso"},
    {T::ConfirmCaption, "Conferma"},
    {T::InformationCaption, "Informazioni"},
    {T::BackButton, "< &Indietro"},
    {T::NextButton, "&Avanti >"},
    {T::CancelButton, "Annulla"},
    {T::YesButton, "&Sì"},
    {T::NoButton, "&No"},
    {T::InstallButton, "I&nstalla"},
    {T::FinishButton, "&Fine"},
    {T::BrowseButton, "&Sfoglia..."},
    {T::WelcomeHeading, "Benvenuti nell'installazione di $ProductName"},
    {T::WelcomeDescription, "Questo programma installerà $FullProductName nel computer."},
    {T::WelcomeStep, "Fare clic su Avanti per continuare."},
    {T::LicenseHeading, "Contratto di licenza"},
    {T::LicenseStep, "Accettare il contratto di licenza? Se si sceglie No, l'installazione verrà chiusa."},
    {T::BundleHeading, "$BundleSelectHeading"},
    {T::BundleDescription, "$BundleSelectDescription"},
    {T::SelectAllButton, "Seleziona &tutto"},
    {T::SelectNoneButton, "&Nessuno"},
    {T::VstHeading, "Installazione dei plug-in VST$BitSuffix"},
    {T::Vst2Description,
     "VST 2 ($PluginDescription) deve essere installato nella cartella dei plug-in dell'host VST. Usare il "
     "pulsante Sfoglia per selezionare la cartella dei plug-in VST 2 corretta nel computer."},
    {T::Vst2InstallCheck, "Installa &VST 2 ($PluginDescription)"},
    {T::Vst2FolderLabel, "Car&tella dei plug-in VST 2$BitSuffix:"},
    {T::Vst2BrowseTitle, "Selezionare la cartella dei plug-in VST nel computer:"},
    {T::Vst3InstallCheck, "Installa VST &3 ($PluginDescription)"},
    {T::OnlyForList, "(Solo per $List)"},
    {T::Vst3Description,
     "Verrà installato VST 3 ($PluginDescription) nella cartella comune dei plug-in VST 3 del computer. (VST 3 è "
     "una versione più recente di VST che richiede un host VST 3.)"},
    {T::Vst3SharedDescription, "Nella cartella comune dei plug-in VST 3, per host VST 3."},
    {T::ClapInstallCheck, "Installa &CLAP ($PluginDescription)"},
    {T::ClapDescription,
     "Verrà installato CLAP ($PluginDescription) nella cartella comune dei plug-in CLAP del computer. (CLAP è un "
     "formato di plug-in più recente che richiede un host CLAP.)"},
    {T::ClapSharedDescription, "Nella cartella comune dei plug-in CLAP, per host CLAP."},
    {T::PluginsForProduct, "plug-in di $ProductName"},
    {T::PluginVersionOfProduct, "versione plug-in di $ProductName"},
    {T::DigiHeading, "Installazione dei plug-in Pro Tools"},
    {T::DigiDescription, "Scegliere se installare $ProToolsFormats ($PluginDescription) per Pro Tools."},
    {T::RtasInstallCheck, "Installa &RTAS ($PluginDescription)"},
    {T::RtasDescription,
     "Verrà installato RTAS ($PluginDescription) nella cartella comune dei plug-in RTAS del computer. Il formato "
     "RTAS è supportato da Pro Tools 10 e versioni precedenti."},
    {T::AaxInstallCheck, "Installa AA&X ($PluginDescription)"},
    {T::AaxDescription,
     "Verrà installato AAX ($PluginDescription) nella cartella comune dei plug-in AAX del computer. $AaxInfo"},
    {T::Aax64Info, "Il formato AAX a 64 bit sostituisce RTAS ed è supportato a partire da Pro Tools 11."},
    {T::Aax32Info, "Il formato AAX a 32 bit sostituisce RTAS e richiede Pro Tools 10.3.5 o versioni successive."},
    {T::PhotoshopHeading, "Installazione del plug-in di Adobe Photoshop"},
    {T::PhotoshopInfo,
     "Adobe Photoshop ($PluginDescription) deve essere installato nella cartella dei plug-in di Photoshop. Usare "
     "il pulsante Sfoglia per selezionare la cartella dei plug-in nel computer."},
    {T::PhotoshopInstallCheck, "Installa &Photoshop ($PluginDescription)"},
    {T::PhotoshopFolderLabel, "&Cartella dei plug-in di Adobe Photoshop:"},
    {T::PhotoshopBrowseTitle, "Selezionare la cartella dei plug-in di Adobe Photoshop nel computer:"},
    {T::DestHeading, "Cartella di destinazione"},
    {T::DestDescription,
     "Indicare dove installare $InstallDescription. Digitare una cartella qui sotto oppure usare il pulsante "
     "Sfoglia per sceglierne una."},
    {T::DestStep, "In caso di dubbio, si consiglia di usare la cartella predefinita indicata qui sotto."},
    {T::DestFolderLabel, "&Cartella di destinazione:"},
    {T::DestBrowseTitle, "Selezionare la cartella in cui verrà installato $ProductName:"},
    {T::NameHeading, "Personalizzazione"},
    {T::NameInfo, "Immettere qui sotto il proprio nome completo. $PersonalizeInfo"},
    {T::NameLabel, "N&ome:"},
    {T::IconHeading, "Crea collegamenti"},
    {T::IconStartMenuQuestion, "Creare un collegamento a $InstallDescription nel menu Start?"},
    {T::IconStartMenuCheck, "Crea un collegamento nel menu &Start"},
    {T::IconDesktopQuestion, "Creare un collegamento a $InstallDescription sul desktop?"},
    {T::IconDesktopCheck, "Crea un collegamento sul &desktop"},
    {T::InstallStep, "Fare clic su Installa per iniziare a copiare i file."},
    {T::CopyHeading, "Copia dei file"},
    {T::CopyDescription, "Il programma di installazione sta copiando i file nel computer."},
    {T::ReadyHeading, "Installazione completata"},
    {T::DefaultCompleteMessage,
     "$ProductName è stato installato correttamente. È possibile avviare $ProductName dal menu Start o dal "
     "desktop. Per ulteriori informazioni, leggere il file Readme.txt."},
    {T::ReadyReadmeQuestion, "Visualizzare ora il file Readme.txt?"},
    {T::ReadyReadmeCheck, "Mostra &Readme.txt"},
    {T::ReadyStartQuestion, "Avviare ora $ProductName?"},
    {T::ReadyStartCheck, "&Avvia $ProductName"},
    {T::NoBundleItemWarning, "È necessario installare almeno un elemento."},
    {T::FolderErrorWarning, "Impossibile creare la cartella '%s'.\rSpecificare un nome valido."},
    {T::NoNameWarning, "Immettere prima il proprio nome."},
    {T::CancelQuestion,
     "$FullProductName non è ancora stato installato completamente.\rAnnullare l'installazione di $ProductName?"},
    {T::SameMajorQuestion,
     "Si consiglia di installare questa nuova versione di $ProductName\rnella stessa cartella della copia "
     "esistente. In questo modo\rla versione installata verrà aggiornata correttamente.\r\rInstallarla comunque "
     "in un'altra cartella?"},
    {T::NewMajorQuestion,
     "Si consiglia di installare questa nuova versione di $ProductName\rin una nuova cartella per conservare la "
     "copia installata.\r\rSovrascrivere comunque la copia esistente?"},
    {T::AlreadyRunningError,
     "È già in corso un'altra installazione di $FullProductName.\rAttendere che finisca, quindi riprovare."},
    {T::PreparingStatus, "Preparazione dell'installazione..."},
    {T::CopyingStatus, "Copia dei file..."},
    {T::InitializingStatus, "Inizializzazione dei componenti..."},
    {T::CreatingSettingsStatus, "Creazione delle impostazioni..."},
    {T::CreatingShortcutsStatus, "Creazione dei collegamenti..."},
    {T::NoAdminRightsMessage,
     "Per installare $ProductName in questo computer sono necessari\ri diritti di amministratore o di utente "
     "esperto. L'installazione verrà chiusa.\r\rAccedere con un altro utente e riprovare."},
    {T::Need64BitWindowsMessage,
     "Per installare la versione a 64 bit di $ProductName\rè necessaria un'edizione a 64 bit di Windows. "
     "L'installazione verrà chiusa.\r\rScaricare ed eseguire invece il programma di installazione a 32 bit."},
    {T::NeedX64EmulationMessage,
     "Questo computer ha un processore Arm e la sua edizione di Windows non può eseguire programmi x64.\r"
     "$ProductName è realizzato solo per processori x64. L'installazione verrà chiusa.\r\rAggiornare a Windows 11, "
     "che esegue programmi x64, oppure usare un programma di installazione che contiene plug-in Arm64."},
    {T::NotEnoughSpaceMessage,
     "Lo spazio disponibile nell'unità di destinazione non è sufficiente.\rLiberare spazio e riprovare"},
    {T::PathTooLongMessage,
     "Il percorso '%s' è più lungo di quanto consentito da Windows.\rScegliere una cartella di destinazione più "
     "breve e riprovare"},
    {T::CannotInstallFileMessage,
     "Impossibile installare il file '%s'.\r\rChiudere tutte le applicazioni in esecuzione per assicurarsi che il "
     "file non sia in uso prima di riprovare."},
    {T::FilesInUseMessage,
     "Impossibile sostituire questi file perché sono utilizzati da un altro programma:\r\r%s"},
    {T::ProgramsUsingFilesMessage, "\r\rSono utilizzati da:\r\r%s"},
    {T::MoreFilesInUseLine, "\r... e altri %s"},
    {T::CloseProgramsMessage,
     "\r\rChiudere il programma (ad esempio un'applicazione host con il plug-in caricato) e fare clic su Riprova. "
     "Fare clic su Annulla per uscire dall'installazione senza modificare nulla nel computer."},
    {T::UninstallNoRightsMessage,
     "Per disinstallare %s sono necessari i diritti di amministratore o di utente esperto.\rAccedere con un altro "
     "utente e riprovare."},
    {T::ConfirmRemovalQuestion, "Rimuovere completamente %s\re tutti i relativi componenti?"},
    {T::UninstalledMessage, "Disinstallazione completata correttamente."},
    {T::UninstalledWithLeftoversMessage,
     "Disinstallazione completata correttamente.\r\rAlcuni elementi non sono stati rimossi. Rimuovere\r"
     "manualmente gli elementi relativi a %s."},
    {T::ForeignRecordMessage,
     "I dati di disinstallazione di questo programma non corrispondono all'installazione a cui appartiene.\rNon è "
     "stato rimosso nulla. Installare di nuovo il prodotto per disinstallarlo."},
    {T::NoBatchFolderMessage,
     "Non esiste una cartella per il file batch che rimuove il programma di disinstallazione; il programma "
     "e la sua cartella rimangono."},
    {T::ApplicationErrorCaption, "Errore dell'applicazione"},
    {T::ShutdownBlockedReason,
     "Installazione in corso. Interromperla ora lascerebbe il prodotto installato solo in parte."},
    {T::CannotOpenFileMessage, "Impossibile aprire il file \"%s\"."},
    {T::CannotCreateFileMessage, "Impossibile creare il file \"%s\"."},
    {T::CannotReadFileMessage, "Impossibile leggere il file \"%s\"."},
    {T::CannotSeekFileMessage, "Impossibile spostarsi in una posizione del file \"%s\"."},
    {T::CannotWriteFileMessage, "Impossibile scrivere nel file \"%s\"."},
};

}  // namespace

const std::span<const TextEntry> kItalianTexts = kTexts;
