// Nederlands: de termen van een Nederlandse Windows ("< Vorige", "Volgende >", "Annuleren", "Bladeren...").
#include "texts/LanguageTables.h"

namespace {

using T = TextId;

constexpr TextEntry kTexts[] = {
    {T::WindowCaption, "Installatie van $ProductName$BitSuffix"},
    {T::BitSuffix, " (64-bits)"},
    {T::SetupTitle, "Installatie"},
    {T::UninstallerTitleSuffix, " - Verwijderen"},
    {T::WarningCaption, "Waarschuwing"},
    {T::ConfirmCaption, "Bevestigen"},
    {T::InformationCaption, "Informatie"},
    {T::BackButton, "< Vo&rige"},
    {T::NextButton, "&Volgende >"},
    {T::CancelButton, "Annuleren"},
    {T::YesButton, "&Ja"},
    {T::NoButton, "&Nee"},
    {T::InstallButton, "&Installeren"},
    {T::FinishButton, "&Voltooien"},
    {T::BrowseButton, "&Bladeren..."},
    {T::WelcomeHeading, "Welkom bij de installatie van $ProductName"},
    {T::WelcomeDescription, "Dit programma installeert $FullProductName op uw computer."},
    {T::WelcomeStep, "Klik op Volgende om door te gaan."},
    {T::LicenseHeading, "Licentieovereenkomst"},
    {T::LicenseStep, "Gaat u akkoord met deze licentieovereenkomst? Als u Nee kiest, wordt de installatie gesloten."},
    {T::BundleHeading, "$BundleSelectHeading"},
    {T::BundleDescription, "$BundleSelectDescription"},
    {T::SelectAllButton, "&Alles selecteren"},
    {T::SelectNoneButton, "&Niets selecteren"},
    {T::VstHeading, "Installatie van VST-plug-ins$BitSuffix"},
    {T::Vst2Description,
     "VST 2 ($PluginDescription) moet worden geïnstalleerd in de plug-inmap van uw VST-host. Gebruik de knop "
     "Bladeren om de juiste VST 2-plug-inmap op uw computer te selecteren."},
    {T::Vst2InstallCheck, "VST 2 &installeren ($PluginDescription)"},
    {T::Vst2FolderLabel, "&Map voor VST 2-plug-ins$BitSuffix:"},
    {T::Vst2BrowseTitle, "Selecteer de VST-plug-inmap op uw computer:"},
    {T::Vst3InstallCheck, "VST &3 installeren ($PluginDescription)"},
    {T::OnlyForList, "(Alleen voor $List)"},
    {T::Vst3Description,
     "Hiermee wordt VST 3 ($PluginDescription) geïnstalleerd in de gemeenschappelijke VST 3-plug-inmap op uw "
     "computer. (VST 3 is een nieuwere versie van VST waarvoor een VST 3-host nodig is.)"},
    {T::Vst3SharedDescription, "In de gemeenschappelijke VST 3-plug-inmap, voor VST 3-hosts."},
    {T::ClapInstallCheck, "&CLAP installeren ($PluginDescription)"},
    {T::ClapDescription,
     "Hiermee wordt CLAP ($PluginDescription) geïnstalleerd in de gemeenschappelijke CLAP-plug-inmap op uw "
     "computer. (CLAP is een nieuwer plug-informaat waarvoor een CLAP-host nodig is.)"},
    {T::ClapSharedDescription, "In de gemeenschappelijke CLAP-plug-inmap, voor CLAP-hosts."},
    {T::PluginsForProduct, "plug-ins voor $ProductName"},
    {T::PluginVersionOfProduct, "plug-inversie van $ProductName"},
    {T::DigiHeading, "Installatie van Pro Tools-plug-ins"},
    {T::DigiDescription, "Geef aan of $ProToolsFormats ($PluginDescription) voor Pro Tools moet worden geïnstalleerd."},
    {T::RtasInstallCheck, "RTAS &installeren ($PluginDescription)"},
    {T::RtasDescription,
     "Hiermee wordt RTAS ($PluginDescription) geïnstalleerd in de gemeenschappelijke RTAS-plug-inmap op uw "
     "computer. Het RTAS-formaat wordt ondersteund door Pro Tools 10 en eerdere versies."},
    {T::AaxInstallCheck, "AAX &installeren ($PluginDescription)"},
    {T::AaxDescription,
     "Hiermee wordt AAX ($PluginDescription) geïnstalleerd in de gemeenschappelijke AAX-plug-inmap op uw "
     "computer. $AaxInfo"},
    {T::Aax64Info, "Het 64-bits AAX-formaat vervangt RTAS en wordt ondersteund vanaf Pro Tools 11."},
    {T::Aax32Info, "Het 32-bits AAX-formaat vervangt RTAS en vereist Pro Tools 10.3.5 of later."},
    {T::PhotoshopHeading, "Installatie van de Adobe Photoshop-plug-in"},
    {T::PhotoshopInfo,
     "Adobe Photoshop ($PluginDescription) moet worden geïnstalleerd in de plug-inmap van Photoshop. Gebruik de "
     "knop Bladeren om de plug-inmap op uw computer te selecteren."},
    {T::PhotoshopInstallCheck, "Photoshop &installeren ($PluginDescription)"},
    {T::PhotoshopFolderLabel, "&Map voor Adobe Photoshop-plug-ins:"},
    {T::PhotoshopBrowseTitle, "Selecteer de plug-inmap van Adobe Photoshop op uw computer:"},
    {T::DestHeading, "Doelmap"},
    {T::DestDescription,
     "Waar moet $InstallDescription worden geïnstalleerd? Typ hieronder een map of gebruik de knop Bladeren om "
     "een map te kiezen."},
    {T::DestStep, "Als u het niet zeker weet, kunt u het beste de standaardmap hieronder gebruiken."},
    {T::DestFolderLabel, "&Doelmap:"},
    {T::DestBrowseTitle, "Selecteer de map waarin $ProductName wordt geïnstalleerd:"},
    {T::NameHeading, "Persoonlijke gegevens"},
    {T::NameInfo, "Voer hieronder uw volledige naam in. $PersonalizeInfo"},
    {T::NameLabel, "Uw &naam:"},
    {T::IconHeading, "Snelkoppelingen maken"},
    {T::IconStartMenuQuestion, "Wilt u een snelkoppeling naar $InstallDescription in het menu Start laten maken?"},
    {T::IconStartMenuCheck, "Een snelkoppeling in het menu &Start maken"},
    {T::IconDesktopQuestion, "Wilt u een snelkoppeling naar $InstallDescription op het bureaublad laten maken?"},
    {T::IconDesktopCheck, "Een snelkoppeling op het &bureaublad maken"},
    {T::InstallStep, "Klik op Installeren om te beginnen met het kopiëren van de bestanden."},
    {T::CopyHeading, "Bestanden kopiëren"},
    {T::CopyDescription, "De bestanden worden nu naar uw computer gekopieerd."},
    {T::ReadyHeading, "Installatie voltooid"},
    {T::DefaultCompleteMessage,
     "$ProductName is geïnstalleerd. U kunt $ProductName starten via het menu Start of het bureaublad. Lees het "
     "bestand Readme.txt voor meer informatie."},
    {T::ReadyReadmeQuestion, "Wilt u Readme.txt nu weergeven?"},
    {T::ReadyReadmeCheck, "&Readme.txt weergeven"},
    {T::ReadyStartQuestion, "Wilt u $ProductName nu starten?"},
    {T::ReadyStartCheck, "$ProductName &starten"},
    {T::NoBundleItemWarning, "U moet ten minste één onderdeel installeren."},
    {T::FolderErrorWarning, "De map '%s' kan niet worden gemaakt.\rGeef een geldige naam op."},
    {T::NoNameWarning, "Voer eerst uw naam in."},
    {T::CancelQuestion,
     "$FullProductName is nog niet volledig geïnstalleerd.\rWeet u zeker dat u de installatie van $ProductName "
     "wilt annuleren?"},
    {T::SameMajorQuestion,
     "Het wordt aanbevolen deze nieuwe versie van $ProductName\rin dezelfde map als uw bestaande kopie te "
     "installeren. Zo wordt\ruw geïnstalleerde versie correct bijgewerkt.\r\rWeet u zeker dat u in een andere "
     "map wilt installeren?"},
    {T::NewMajorQuestion,
     "Het wordt aanbevolen deze nieuwe versie van $ProductName\rin een nieuwe map te installeren, zodat uw "
     "geïnstalleerde kopie behouden blijft.\r\rWeet u zeker dat u uw bestaande kopie wilt overschrijven?"},
    {T::AlreadyRunningError,
     "Er wordt al een andere installatie van $FullProductName uitgevoerd.\rWacht tot deze klaar is en probeer "
     "het daarna opnieuw."},
    {T::PreparingStatus, "Installatie voorbereiden..."},
    {T::CopyingStatus, "Bestanden kopiëren..."},
    {T::InitializingStatus, "Onderdelen initialiseren..."},
    {T::CreatingSettingsStatus, "Instellingen maken..."},
    {T::CreatingShortcutsStatus, "Snelkoppelingen maken..."},
    {T::NoAdminRightsMessage,
     "U hebt beheerders- of Power User-rechten nodig om\r$ProductName op deze computer te installeren. De "
     "installatie wordt nu gesloten.\r\rMeld u aan als een andere gebruiker en probeer het opnieuw."},
    {T::Need64BitWindowsMessage,
     "U hebt een 64-bits editie van Windows nodig om\rde 64-bits versie van $ProductName te installeren. De "
     "installatie wordt nu gesloten.\r\rDownload en start in plaats daarvan het 32-bits installatieprogramma."},
    {T::NeedX64EmulationMessage,
     "Deze computer heeft een Arm-processor en deze editie van Windows kan geen x64-programma's uitvoeren.\r"
     "$ProductName is alleen gemaakt voor x64-processors. De installatie wordt nu gesloten.\r\rWerk bij naar "
     "Windows 11, dat x64-programma's uitvoert, of gebruik een installatieprogramma met Arm64-plug-ins."},
    {T::NotEnoughSpaceMessage,
     "Er is niet genoeg ruimte op het doelstation.\rMaak ruimte vrij en probeer het daarna opnieuw"},
    {T::PathTooLongMessage,
     "Het pad '%s' is langer dan Windows toestaat.\rKies een kortere doelmap en probeer het daarna opnieuw"},
    {T::CannotInstallFileMessage,
     "Het bestand '%s' kan niet worden geïnstalleerd.\r\rSluit alle actieve toepassingen, zodat het bestand niet "
     "in gebruik is, en probeer het opnieuw."},
    {T::FilesInUseMessage,
     "Deze bestanden kunnen niet worden vervangen, omdat een ander programma ze gebruikt:\r\r%s"},
    {T::ProgramsUsingFilesMessage, "\r\rZe worden gebruikt door:\r\r%s"},
    {T::MoreFilesInUseLine, "\r... en nog %s"},
    {T::CloseProgramsMessage,
     "\r\rSluit het programma (bijvoorbeeld een hosttoepassing waarin de plug-in is geladen) en klik op Opnieuw. "
     "Klik op Annuleren om de installatie te beëindigen zonder iets op deze computer te wijzigen."},
    {T::UninstallNoRightsMessage,
     "U hebt beheerders- of Power User-rechten nodig om %s te verwijderen.\rMeld u aan als een andere gebruiker "
     "en probeer het opnieuw."},
    {T::ConfirmRemovalQuestion, "Weet u zeker dat u %s\ren alle onderdelen volledig wilt verwijderen?"},
    {T::UninstalledMessage, "Het verwijderen is voltooid."},
    {T::UninstalledWithLeftoversMessage,
     "Het verwijderen is voltooid.\r\rSommige onderdelen konden niet worden verwijderd. Verwijder\rde onderdelen "
     "van %s handmatig."},
    {T::ForeignRecordMessage,
     "De verwijderingsgegevens van dit programma passen niet bij de installatie waartoe het behoort.\rEr is niets "
     "verwijderd. Installeer het product opnieuw om het te verwijderen."},
    {T::NoBatchFolderMessage,
     "Er is geen map voor het batchbestand dat het verwijderprogramma verwijdert; het programma en de map "
     "ervan blijven staan."},
    {T::ApplicationErrorCaption, "Toepassingsfout"},
    {T::ShutdownBlockedReason,
     "Setup is bezig met installeren. Als u nu stopt, blijft het product half geïnstalleerd achter."},
    {T::CannotOpenFileMessage, "Kan het bestand \"%s\" niet openen."},
    {T::CannotCreateFileMessage, "Kan het bestand \"%s\" niet maken."},
    {T::CannotReadFileMessage, "Kan het bestand \"%s\" niet lezen."},
    {T::CannotSeekFileMessage, "Kan niet naar een positie in het bestand \"%s\" gaan."},
    {T::CannotWriteFileMessage, "Kan niet naar het bestand \"%s\" schrijven."},
};

}  // namespace

const std::span<const TextEntry> kDutchTexts = kTexts;
