// Deutsch: the terms of a German Windows ("< Zurück", "Weiter >", "Abbrechen", "Durchsuchen...").
#include "texts/LanguageTables.h"

namespace {

using T = TextId;

constexpr TextEntry kTexts[] = {
    {T::WindowCaption, "Setup von $ProductName$BitSuffix"},
    {T::BitSuffix, " (64-Bit)"},
    {T::SetupTitle, "Setup"},
    {T::UninstallerTitleSuffix, " – Deinstallation"},
    {T::WarningCaption, "Warnung"},
    {T::ConfirmCaption, "Bestätigen"},
    {T::InformationCaption, "Information"},
    {T::BackButton, "< &Zurück"},
    {T::NextButton, "&Weiter >"},
    {T::CancelButton, "Abbrechen"},
    {T::YesButton, "&Ja"},
    {T::NoButton, "&Nein"},
    {T::InstallButton, "&Installieren"},
    {T::FinishButton, "&Fertig stellen"},
    {T::BrowseButton, "&Durchsuchen..."},
    {T::WelcomeHeading, "Willkommen beim Setup von $ProductName"},
    {T::WelcomeDescription, "Dieses Programm installiert $FullProductName auf Ihrem Computer."},
    {T::WelcomeStep, "Klicken Sie auf „Weiter“, um fortzufahren."},
    {T::LicenseHeading, "Lizenzvertrag"},
    {T::LicenseStep,
     "Akzeptieren Sie diesen Lizenzvertrag? Wenn Sie „Nein“ wählen, wird das Setup beendet."},
    {T::BundleHeading, "$BundleSelectHeading"},
    {T::BundleDescription, "$BundleSelectDescription"},
    {T::SelectAllButton, "&Alle auswählen"},
    {T::SelectNoneButton, "&Keine auswählen"},
    {T::VstHeading, "Installation der VST-Plug-ins$BitSuffix"},
    {T::Vst2Description,
     "VST 2 ($PluginDescription) wird in den Plug-in-Ordner Ihres VST-Hosts installiert. Wählen Sie mit "
     "„Durchsuchen“ den richtigen VST 2-Plug-in-Ordner auf Ihrem Computer aus."},
    {T::Vst2InstallCheck, "VST 2 &installieren ($PluginDescription)"},
    {T::Vst2FolderLabel, "VST 2-Plug-in-&Ordner$BitSuffix:"},
    {T::Vst2BrowseTitle, "Wählen Sie den VST-Plug-in-Ordner auf Ihrem Computer aus:"},
    {T::Vst3InstallCheck, "VST &3 installieren ($PluginDescription)"},
    {T::OnlyForList, "(Nur für $List)"},
    {T::Vst3Description,
     "VST 3 ($PluginDescription) wird in den gemeinsamen VST 3-Plug-in-Ordner Ihres Computers installiert. "
     "(VST 3 ist eine neuere Version von VST und erfordert einen VST 3-Host.)"},
    {T::Vst3SharedDescription, "In den gemeinsamen VST 3-Plug-in-Ordner, für VST 3-Hosts."},
    {T::ClapInstallCheck, "&CLAP installieren ($PluginDescription)"},
    {T::ClapDescription,
     "CLAP ($PluginDescription) wird in den gemeinsamen CLAP-Plug-in-Ordner Ihres Computers installiert. "
     "(CLAP ist ein neueres Plug-in-Format und erfordert einen CLAP-Host.)"},
    {T::ClapSharedDescription, "In den gemeinsamen CLAP-Plug-in-Ordner, für CLAP-Hosts."},
    {T::PluginsForProduct, "Plug-ins für $ProductName"},
    {T::PluginVersionOfProduct, "Plug-in-Version von $ProductName"},
    {T::DigiHeading, "Installation der Pro Tools-Plug-ins"},
    {T::DigiDescription,
     "Wählen Sie, ob $ProToolsFormats ($PluginDescription) für Pro Tools installiert werden soll."},
    {T::RtasInstallCheck, "RTAS &installieren ($PluginDescription)"},
    {T::RtasDescription,
     "RTAS ($PluginDescription) wird in den gemeinsamen RTAS-Plug-in-Ordner Ihres Computers installiert. Das "
     "RTAS-Format wird von Pro Tools 10 und älteren Versionen unterstützt."},
    {T::AaxInstallCheck, "AAX &installieren ($PluginDescription)"},
    {T::AaxDescription,
     "AAX ($PluginDescription) wird in den gemeinsamen AAX-Plug-in-Ordner Ihres Computers installiert. $AaxInfo"},
    {T::Aax64Info, "Das 64-Bit-AAX-Format ersetzt RTAS und wird ab Pro Tools 11 unterstützt."},
    {T::Aax32Info, "Das 32-Bit-AAX-Format ersetzt RTAS und erfordert Pro Tools 10.3.5 oder höher."},
    {T::PhotoshopHeading, "Installation des Adobe Photoshop-Plug-ins"},
    {T::PhotoshopInfo,
     "Adobe Photoshop ($PluginDescription) wird in den Plug-in-Ordner von Photoshop installiert. Wählen Sie mit "
     "„Durchsuchen“ den Plug-in-Ordner auf Ihrem Computer aus."},
    {T::PhotoshopInstallCheck, "Photoshop &installieren ($PluginDescription)"},
    {T::PhotoshopFolderLabel, "Plug-in-&Ordner von Adobe Photoshop:"},
    {T::PhotoshopBrowseTitle, "Wählen Sie den Plug-in-Ordner von Adobe Photoshop auf Ihrem Computer aus:"},
    {T::DestHeading, "Zielordner"},
    {T::DestDescription,
     "Wohin soll $InstallDescription installiert werden? Geben Sie unten einen Ordner ein, oder wählen Sie mit "
     "„Durchsuchen“ einen Ordner aus."},
    {T::DestStep, "Wenn Sie unsicher sind, verwenden Sie am besten den unten angezeigten Standardordner."},
    {T::DestFolderLabel, "Ziel&ordner:"},
    {T::DestBrowseTitle, "Wählen Sie den Ordner aus, in den $ProductName installiert werden soll:"},
    {T::NameHeading, "Personalisierung"},
    {T::NameInfo, "Bitte geben Sie unten Ihren vollständigen Namen ein. $PersonalizeInfo"},
    {T::NameLabel, "Ihr &Name:"},
    {T::IconHeading, "Verknüpfungen erstellen"},
    {T::IconStartMenuQuestion, "Soll Setup im Startmenü eine Verknüpfung zu $InstallDescription erstellen?"},
    {T::IconStartMenuCheck, "Verknüpfung im &Startmenü erstellen"},
    {T::IconDesktopQuestion, "Soll Setup auf dem Desktop eine Verknüpfung zu $InstallDescription erstellen?"},
    {T::IconDesktopCheck, "Verknüpfung auf dem &Desktop erstellen"},
    {T::InstallStep, "Klicken Sie auf „Installieren“, um mit dem Kopieren zu beginnen."},
    {T::CopyHeading, "Dateien werden kopiert"},
    {T::CopyDescription, "Setup kopiert jetzt die Dateien auf Ihren Computer."},
    {T::ReadyHeading, "Installation abgeschlossen"},
    {T::DefaultCompleteMessage,
     "$ProductName wurde erfolgreich installiert. Sie können $ProductName über das Startmenü oder den Desktop "
     "starten. Weitere Informationen finden Sie in der Datei Readme.txt."},
    {T::ReadyReadmeQuestion, "Möchten Sie jetzt die Datei Readme.txt ansehen?"},
    {T::ReadyReadmeCheck, "&Readme.txt anzeigen"},
    {T::ReadyStartQuestion, "Möchten Sie $ProductName jetzt starten?"},
    {T::ReadyStartCheck, "$ProductName &starten"},
    {T::NoBundleItemWarning, "Sie müssen mindestens ein Element installieren."},
    {T::FolderErrorWarning, "Der Ordner „%s“ konnte nicht erstellt werden.\rBitte geben Sie einen gültigen Namen an."},
    {T::NoNameWarning, "Bitte geben Sie zuerst Ihren Namen ein."},
    {T::CancelQuestion,
     "$FullProductName ist noch nicht vollständig installiert.\rMöchten Sie das Setup von $ProductName wirklich "
     "abbrechen?"},
    {T::SameMajorQuestion,
     "Es wird empfohlen, diese neue Version von $ProductName\rin denselben Ordner wie die vorhandene Kopie zu "
     "installieren. So wird\rIhre installierte Version ordnungsgemäß aktualisiert.\r\rMöchten Sie wirklich in "
     "einen anderen Ordner installieren?"},
    {T::NewMajorQuestion,
     "Es wird empfohlen, diese neue Version von $ProductName\rin einen neuen Ordner zu installieren, damit die "
     "installierte Kopie erhalten bleibt.\r\rMöchten Sie die vorhandene Kopie wirklich überschreiben?"},
    {T::AlreadyRunningError,
     "Ein anderes Setup von $FullProductName wird bereits ausgeführt.\rBitte warten Sie, bis es beendet ist, und "
     "versuchen Sie es dann erneut."},
    {T::PreparingStatus, "Installation wird vorbereitet..."},
    {T::CopyingStatus, "Dateien werden kopiert..."},
    {T::InitializingStatus, "Komponenten werden initialisiert..."},
    {T::CreatingSettingsStatus, "Einstellungen werden erstellt..."},
    {T::CreatingShortcutsStatus, "Verknüpfungen werden erstellt..."},
    {T::NoAdminRightsMessage,
     "Zum Installieren von $ProductName auf diesem Computer\rbenötigen Sie Administrator- oder Hauptbenutzerrechte. "
     "Setup wird jetzt beendet.\r\rBitte melden Sie sich als anderer Benutzer an, und versuchen Sie es erneut."},
    {T::Need64BitWindowsMessage,
     "Zum Installieren der 64-Bit-Version von $ProductName\rbenötigen Sie eine 64-Bit-Version von Windows. Setup "
     "wird jetzt beendet.\r\rBitte laden Sie stattdessen das 32-Bit-Setup herunter, und führen Sie es aus."},
    {T::NeedX64EmulationMessage,
     "Dieser Computer hat einen Arm-Prozessor, und seine Windows-Version kann keine x64-Programme ausführen.\r"
     "$ProductName ist nur für x64-Prozessoren erstellt. Setup wird jetzt beendet.\r\rBitte aktualisieren Sie auf "
     "Windows 11, das x64-Programme ausführt, oder verwenden Sie ein Setup mit Arm64-Plug-ins."},
    {T::NotEnoughSpaceMessage,
     "Auf dem Ziellaufwerk ist nicht genügend Speicherplatz vorhanden.\rBitte geben Sie Speicherplatz frei, und "
     "versuchen Sie es dann erneut"},
    {T::PathTooLongMessage,
     "Der Pfad „%s“ ist länger, als Windows zulässt.\rBitte wählen Sie einen kürzeren Zielordner, und versuchen Sie "
     "es dann erneut"},
    {T::CannotInstallFileMessage,
     "Die Datei „%s“ kann nicht installiert werden.\r\rBitte schließen Sie alle laufenden Anwendungen, damit die "
     "Datei nicht verwendet wird, und wiederholen Sie den Vorgang."},
    {T::FilesInUseMessage,
     "Setup kann diese Dateien nicht ersetzen, weil ein anderes Programm sie verwendet:\r\r%s"},
    {T::ProgramsUsingFilesMessage, "\r\rSie werden verwendet von:\r\r%s"},
    {T::MoreFilesInUseLine, "\r... und %s weitere"},
    {T::CloseProgramsMessage,
     "\r\rBitte schließen Sie das Programm (etwa eine Host-Anwendung, die das Plug-in geladen hat), und klicken "
     "Sie auf „Wiederholen“. Klicken Sie auf „Abbrechen“, um das Setup zu beenden, ohne etwas auf diesem Computer "
     "zu ändern."},
    {T::UninstallNoRightsMessage,
     "Zum Deinstallieren von %s benötigen Sie Administrator- oder Hauptbenutzerrechte.\rBitte melden Sie sich als "
     "anderer Benutzer an, und versuchen Sie es erneut."},
    {T::ConfirmRemovalQuestion, "Möchten Sie %s\rund alle zugehörigen Komponenten wirklich vollständig entfernen?"},
    {T::UninstalledMessage, "Die Deinstallation wurde erfolgreich abgeschlossen."},
    {T::UninstalledWithLeftoversMessage,
     "Die Deinstallation wurde erfolgreich abgeschlossen.\r\rEinige Elemente konnten nicht entfernt werden. "
     "Entfernen Sie die\rElemente von %s bitte manuell."},
    {T::ForeignRecordMessage,
     "Die Deinstallationsdaten dieses Deinstallationsprogramms passen nicht zu seiner Installation.\rEs wurde "
     "nichts entfernt. Installieren Sie das Produkt erneut, um es zu deinstallieren."},
    {T::NoBatchFolderMessage,
     "Es gibt keinen Ordner für die Batchdatei, die das Deinstallationsprogramm entfernt; das "
     "Deinstallationsprogramm und sein Ordner bleiben bestehen."},
    {T::ApplicationErrorCaption, "Anwendungsfehler"},
    {T::ShutdownBlockedReason,
     "Setup installiert gerade. Ein Abbruch jetzt würde das Produkt nur zum Teil installiert zurücklassen."},
    {T::CannotOpenFileMessage, "Die Datei „%s“ kann nicht geöffnet werden."},
    {T::CannotCreateFileMessage, "Die Datei „%s“ kann nicht erstellt werden."},
    {T::CannotReadFileMessage, "Die Datei „%s“ kann nicht gelesen werden."},
    {T::CannotSeekFileMessage, "In der Datei „%s“ kann keine Position angesteuert werden."},
    {T::CannotWriteFileMessage, "In die Datei „%s“ kann nicht geschrieben werden."},
};

}  // namespace

const std::span<const TextEntry> kGermanTexts = kTexts;
