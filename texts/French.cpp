// Français : les termes d'un Windows français (« < Précédent », « Suivant > », « Annuler »).
#include "texts/LanguageTables.h"

namespace {

using T = TextId;

constexpr TextEntry kTexts[] = {
    {T::WindowCaption, "Installation de $ProductName$BitSuffix"},
    {T::BitSuffix, " (64 bits)"},
    {T::SetupTitle, "Installation"},
    {T::UninstallerTitleSuffix, " – Désinstallation"},
    {T::WarningCaption, "Avertissement"},
    {T::ConfirmCaption, "Confirmer"},
    {T::InformationCaption, "Information"},
    {T::BackButton, "< &Précédent"},
    {T::NextButton, "&Suivant >"},
    {T::CancelButton, "Annuler"},
    {T::YesButton, "&Oui"},
    {T::NoButton, "&Non"},
    {T::InstallButton, "&Installer"},
    {T::FinishButton, "&Terminer"},
    {T::BrowseButton, "Pa&rcourir..."},
    {T::WelcomeHeading, "Bienvenue dans l'installation de $ProductName"},
    {T::WelcomeDescription, "Ce programme va installer $FullProductName sur votre ordinateur."},
    {T::WelcomeStep, "Cliquez sur Suivant pour continuer."},
    {T::LicenseHeading, "Contrat de licence"},
    {T::LicenseStep,
     "Acceptez-vous ce contrat de licence ? Si vous choisissez Non, l'installation sera fermée."},
    {T::BundleHeading, "$BundleSelectHeading"},
    {T::BundleDescription, "$BundleSelectDescription"},
    {T::SelectAllButton, "&Tout sélectionner"},
    {T::SelectNoneButton, "&Aucun"},
    {T::VstHeading, "Installation des plug-ins VST$BitSuffix"},
    {T::Vst2Description,
     "VST 2 ($PluginDescription) doit être installé dans le dossier des plug-ins de votre hôte VST. Cliquez sur "
     "Parcourir pour choisir le bon dossier des plug-ins VST 2 sur votre ordinateur."},
    {T::Vst2InstallCheck, "&Installer VST 2 ($PluginDescription)"},
    {T::Vst2FolderLabel, "&Dossier des plug-ins VST 2$BitSuffix :"},
    {T::Vst2BrowseTitle, "Choisissez le dossier des plug-ins VST sur votre ordinateur :"},
    {T::Vst3InstallCheck, "Installer VST &3 ($PluginDescription)"},
    {T::OnlyForList, "(Uniquement pour $List)"},
    {T::Vst3Description,
     "Installe VST 3 ($PluginDescription) dans le dossier commun des plug-ins VST 3 de votre ordinateur. (VST 3 "
     "est une version plus récente de VST qui nécessite un hôte VST 3.)"},
    {T::Vst3SharedDescription, "Dans le dossier commun VST 3, pour les hôtes VST 3."},
    {T::ClapInstallCheck, "Installer &CLAP ($PluginDescription)"},
    {T::ClapDescription,
     "Installe CLAP ($PluginDescription) dans le dossier commun des plug-ins CLAP de votre ordinateur. (CLAP est "
     "un format de plug-in plus récent qui nécessite un hôte CLAP.)"},
    {T::ClapSharedDescription, "Dans le dossier commun CLAP, pour les hôtes CLAP."},
    {T::PluginsForProduct, "plug-ins de $ProductName"},
    {T::PluginVersionOfProduct, "version plug-in de $ProductName"},
    {T::DigiHeading, "Installation des plug-ins Pro Tools"},
    {T::DigiDescription, "Indiquez si vous voulez installer $ProToolsFormats ($PluginDescription) pour Pro Tools."},
    {T::RtasInstallCheck, "&Installer RTAS ($PluginDescription)"},
    {T::RtasDescription,
     "Installe RTAS ($PluginDescription) dans le dossier commun des plug-ins RTAS de votre ordinateur. Le format "
     "RTAS est pris en charge par Pro Tools 10 et les versions antérieures."},
    {T::AaxInstallCheck, "&Installer AAX ($PluginDescription)"},
    {T::AaxDescription,
     "Installe AAX ($PluginDescription) dans le dossier commun des plug-ins AAX de votre ordinateur. $AaxInfo"},
    {T::Aax64Info, "Le format AAX 64 bits remplace RTAS et est pris en charge à partir de Pro Tools 11."},
    {T::Aax32Info, "Le format AAX 32 bits remplace RTAS et nécessite Pro Tools 10.3.5 ou une version ultérieure."},
    {T::PhotoshopHeading, "Installation du plug-in Adobe Photoshop"},
    {T::PhotoshopInfo,
     "Adobe Photoshop ($PluginDescription) doit être installé dans le dossier des plug-ins de Photoshop. Cliquez "
     "sur Parcourir pour choisir le dossier des plug-ins sur votre ordinateur."},
    {T::PhotoshopInstallCheck, "&Installer Photoshop ($PluginDescription)"},
    {T::PhotoshopFolderLabel, "&Dossier des plug-ins d'Adobe Photoshop :"},
    {T::PhotoshopBrowseTitle, "Choisissez le dossier des plug-ins d'Adobe Photoshop sur votre ordinateur :"},
    {T::DestHeading, "Dossier de destination"},
    {T::DestDescription,
     "Où voulez-vous installer $InstallDescription ? Tapez un dossier ci-dessous ou cliquez sur Parcourir pour "
     "choisir un dossier."},
    {T::DestStep, "En cas de doute, il est conseillé d'utiliser le dossier par défaut indiqué ci-dessous."},
    {T::DestFolderLabel, "&Dossier de destination :"},
    {T::DestBrowseTitle, "Choisissez le dossier dans lequel $ProductName sera installé :"},
    {T::NameHeading, "Personnalisation"},
    {T::NameInfo, "Veuillez entrer votre nom complet ci-dessous pour vous identifier. $PersonalizeInfo"},
    {T::NameLabel, "Votre &nom :"},
    {T::IconHeading, "Créer des raccourcis"},
    {T::IconStartMenuQuestion,
     "Voulez-vous que l'installation crée un raccourci vers $InstallDescription dans le menu Démarrer ?"},
    {T::IconStartMenuCheck, "Créer un raccourci dans le menu &Démarrer"},
    {T::IconDesktopQuestion, "Voulez-vous que l'installation crée un raccourci vers $InstallDescription sur le Bureau ?"},
    {T::IconDesktopCheck, "Créer un raccourci sur le &Bureau"},
    {T::InstallStep, "Cliquez sur Installer pour commencer la copie des fichiers."},
    {T::CopyHeading, "Copie des fichiers"},
    {T::CopyDescription, "L'installation copie les fichiers sur votre ordinateur."},
    {T::ReadyHeading, "Installation terminée"},
    {T::DefaultCompleteMessage,
     "$ProductName a été installé avec succès. Vous pouvez démarrer $ProductName depuis le menu Démarrer ou le "
     "Bureau. Consultez le fichier Readme.txt pour plus d'informations."},
    {T::ReadyReadmeQuestion, "Voulez-vous afficher Readme.txt maintenant ?"},
    {T::ReadyReadmeCheck, "Afficher &Readme.txt"},
    {T::ReadyStartQuestion, "Voulez-vous démarrer $ProductName maintenant ?"},
    {T::ReadyStartCheck, "&Lancer $ProductName"},
    {T::NoBundleItemWarning, "Vous devez installer au moins un élément."},
    {T::FolderErrorWarning, "Impossible de créer le dossier « %s ».\rVeuillez indiquer un nom valide."},
    {T::NoNameWarning, "Veuillez d'abord entrer votre nom."},
    {T::CancelQuestion,
     "$FullProductName n'est pas encore entièrement installé.\rVoulez-vous vraiment annuler l'installation de "
     "$ProductName ?"},
    {T::SameMajorQuestion,
     "Il est conseillé d'installer cette nouvelle version de $ProductName\rdans le même dossier que la copie "
     "existante, afin que\rla version installée soit correctement mise à jour.\r\rVoulez-vous vraiment "
     "l'installer dans un autre dossier ?"},
    {T::NewMajorQuestion,
     "Il est conseillé d'installer cette nouvelle version de $ProductName\rdans un nouveau dossier afin de "
     "conserver la copie installée.\r\rVoulez-vous vraiment remplacer la copie existante ?"},
    {T::AlreadyRunningError,
     "Une autre installation de $FullProductName est déjà en cours.\rAttendez qu'elle se termine, puis "
     "réessayez."},
    {T::PreparingStatus, "Préparation de l'installation..."},
    {T::CopyingStatus, "Copie des fichiers..."},
    {T::InitializingStatus, "Initialisation des composants..."},
    {T::CreatingSettingsStatus, "Création des paramètres..."},
    {T::CreatingShortcutsStatus, "Création des raccourcis..."},
    {T::NoAdminRightsMessage,
     "Vous devez disposer des droits d'administrateur ou d'utilisateur avec pouvoir pour installer\r$ProductName "
     "sur cet ordinateur. L'installation va maintenant se fermer.\r\rOuvrez une session avec un autre compte "
     "d'utilisateur, puis réessayez."},
    {T::Need64BitWindowsMessage,
     "Vous devez utiliser une édition 64 bits de Windows pour installer\rla version 64 bits de $ProductName. "
     "L'installation va maintenant se fermer.\r\rTéléchargez et exécutez plutôt le programme d'installation 32 "
     "bits."},
    {T::NeedX64EmulationMessage,
     "Cet ordinateur a un processeur Arm, et son édition de Windows ne peut pas exécuter de programmes x64.\r"
     "$ProductName est conçu uniquement pour les processeurs x64. L'installation va maintenant se fermer.\r\r"
     "Passez à Windows 11, qui exécute les programmes x64, ou utilisez un programme d'installation qui contient "
     "des plug-ins Arm64."},
    {T::NotEnoughSpaceMessage,
     "L'espace disponible sur le lecteur de destination est insuffisant.\rLibérez de l'espace, puis réessayez"},
    {T::PathTooLongMessage,
     "Le chemin « %s » est plus long que ce que Windows autorise.\rChoisissez un dossier de destination plus "
     "court, puis réessayez"},
    {T::CannotInstallFileMessage,
     "Impossible d'installer le fichier « %s ».\r\rFermez toutes les applications en cours d'exécution afin que "
     "le fichier ne soit plus utilisé, puis réessayez."},
    {T::FilesInUseMessage,
     "L'installation ne peut pas remplacer ces fichiers, car un autre programme les utilise :\r\r%s"},
    {T::ProgramsUsingFilesMessage, "\r\rIls sont utilisés par :\r\r%s"},
    {T::MoreFilesInUseLine, "\r... et %s de plus"},
    {T::CloseProgramsMessage,
     "\r\rFermez le programme (par exemple une application hôte qui a chargé le plug-in), puis cliquez sur "
     "Réessayer. Cliquez sur Annuler pour quitter l'installation sans rien modifier sur cet ordinateur."},
    {T::UninstallNoRightsMessage,
     "Vous devez disposer des droits d'administrateur ou d'utilisateur avec pouvoir pour désinstaller %s.\r"
     "Ouvrez une session avec un autre compte d'utilisateur, puis réessayez."},
    {T::ConfirmRemovalQuestion, "Voulez-vous vraiment supprimer complètement %s\ret tous ses composants ?"},
    {T::UninstalledMessage, "La désinstallation s'est terminée avec succès."},
    {T::UninstalledWithLeftoversMessage,
     "La désinstallation s'est terminée avec succès.\r\rCertains éléments n'ont pas pu être supprimés. "
     "Supprimez\rmanuellement les éléments liés à %s."},
    {T::ForeignRecordMessage,
     "Les données de désinstallation de ce programme ne correspondent pas à l'installation à laquelle il "
     "appartient.\rRien n'a été supprimé. Installez de nouveau le produit pour le désinstaller."},
    {T::NoBatchFolderMessage,
     "Aucun dossier n'est disponible pour le fichier de commandes qui supprime le programme de "
     "désinstallation ; ce programme et son dossier sont conservés."},
    {T::ApplicationErrorCaption, "Erreur d'application"},
    {T::ShutdownBlockedReason,
     "L'installation est en cours. L'interrompre maintenant laisserait le produit à moitié installé."},
    {T::CannotOpenFileMessage, "Impossible d'ouvrir le fichier « %s »."},
    {T::CannotCreateFileMessage, "Impossible de créer le fichier « %s »."},
    {T::CannotReadFileMessage, "Impossible de lire le fichier « %s »."},
    {T::CannotSeekFileMessage, "Impossible de se positionner dans le fichier « %s »."},
    {T::CannotWriteFileMessage, "Impossible d'écrire dans le fichier « %s »."},
};

}  // namespace

const std::span<const TextEntry> kFrenchTexts = kTexts;
