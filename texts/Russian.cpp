// Русский: термины русской Windows («< Назад», «Далее >», «Отмена», «Обзор...»).
#include "texts/LanguageTables.h"

namespace {

using T = TextId;

constexpr TextEntry kTexts[] = {
    {T::WindowCaption, "Установка $ProductName$BitSuffix"},
    {T::BitSuffix, " (64-разрядная версия)"},
    {T::SetupTitle, "Установка"},
    {T::UninstallerTitleSuffix, " — удаление"},
    {T::WarningCaption, "Предупреждение"},
    {T::ConfirmCaption, "Подтверждение"},
    {T::InformationCaption, "Сведения"},
    {T::BackButton, "< &Назад"},
    {T::NextButton, "&Далее >"},
    {T::CancelButton, "Отмена"},
    {T::YesButton, "&Да"},
    {T::NoButton, "Н&ет"},
    {T::InstallButton, "&Установить"},
    {T::FinishButton, "&Готово"},
    {T::BrowseButton, "&Обзор..."},
    {T::WelcomeHeading, "Вас приветствует программа установки $ProductName"},
    {T::WelcomeDescription, "Эта программа установит $FullProductName на ваш компьютер."},
    {T::WelcomeStep, "Чтобы продолжить, нажмите кнопку «Далее»."},
    {T::LicenseHeading, "Лицензионное соглашение"},
    {T::LicenseStep, "Вы принимаете условия лицензионного соглашения? Если выбрать «Нет», установка будет закрыта."},
    {T::BundleHeading, "$BundleSelectHeading"},
    {T::BundleDescription, "$BundleSelectDescription"},
    {T::SelectAllButton, "Выбрать &все"},
    {T::SelectNoneButton, "&Снять выбор"},
    {T::VstHeading, "Установка VST-плагинов$BitSuffix"},
    {T::Vst2Description,
     "VST 2 ($PluginDescription) нужно установить в папку плагинов вашего VST-хоста. Нажмите кнопку «Обзор», "
     "чтобы выбрать нужную папку VST 2-плагинов на компьютере."},
    {T::Vst2InstallCheck, "&Установить VST 2 ($PluginDescription)"},
    {T::Vst2FolderLabel, "&Папка VST 2-плагинов$BitSuffix:"},
    {T::Vst2BrowseTitle, "Выберите папку VST-плагинов на компьютере:"},
    {T::Vst3InstallCheck, "Установить VST &3 ($PluginDescription)"},
    {T::OnlyForList, "(Только для $List)"},
    {T::Vst3Description,
     "VST 3 ($PluginDescription) будет установлен в общую папку VST 3-плагинов на компьютере. (VST 3 — более "
     "новая версия VST, для которой нужен VST 3-хост.)"},
    {T::Vst3SharedDescription, "В общую папку VST 3-плагинов, для VST 3-хостов."},
    {T::ClapInstallCheck, "Установить &CLAP ($PluginDescription)"},
    {T::ClapDescription,
     "CLAP ($PluginDescription) будет установлен в общую папку CLAP-плагинов на компьютере. (CLAP — более новый "
     "формат плагинов, для которого нужен CLAP-хост.)"},
    {T::ClapSharedDescription, "В общую папку CLAP-плагинов, для CLAP-хостов."},
    {T::PluginsForProduct, "плагины $ProductName"},
    {T::PluginVersionOfProduct, "плагин $ProductName"},
    {T::DigiHeading, "Установка плагинов Pro Tools"},
    {T::DigiDescription, "Выберите, устанавливать ли $ProToolsFormats ($PluginDescription) для Pro Tools."},
    {T::RtasInstallCheck, "&Установить RTAS ($PluginDescription)"},
    {T::RtasDescription,
     "RTAS ($PluginDescription) будет установлен в общую папку RTAS-плагинов на компьютере. Формат RTAS "
     "поддерживается Pro Tools 10 и более ранними версиями."},
    {T::AaxInstallCheck, "&Установить AAX ($PluginDescription)"},
    {T::AaxDescription,
     "AAX ($PluginDescription) будет установлен в общую папку AAX-плагинов на компьютере. $AaxInfo"},
    {T::Aax64Info, "64-разрядный формат AAX заменяет RTAS и поддерживается начиная с Pro Tools 11."},
    {T::Aax32Info, "32-разрядный формат AAX заменяет RTAS и требует Pro Tools 10.3.5 или более поздней версии."},
    {T::PhotoshopHeading, "Установка плагина Adobe Photoshop"},
    {T::PhotoshopInfo,
     "Adobe Photoshop ($PluginDescription) нужно установить в папку плагинов Photoshop. Нажмите кнопку «Обзор», "
     "чтобы выбрать папку плагинов на компьютере."},
    {T::PhotoshopInstallCheck, "&Установить Photoshop ($PluginDescription)"},
    {T::PhotoshopFolderLabel, "&Папка плагинов Adobe Photoshop:"},
    {T::PhotoshopBrowseTitle, "Выберите папку плагинов Adobe Photoshop на компьютере:"},
    {T::DestHeading, "Папка установки"},
    {T::DestDescription,
     "Укажите, куда установить $InstallDescription. Введите папку ниже или нажмите кнопку «Обзор», чтобы выбрать "
     "папку."},
    {T::DestStep, "Если вы не уверены, рекомендуется использовать папку по умолчанию, указанную ниже."},
    {T::DestFolderLabel, "&Папка установки:"},
    {T::DestBrowseTitle, "Выберите папку, в которую будет установлен $ProductName:"},
    {T::NameHeading, "Сведения о пользователе"},
    {T::NameInfo, "Введите ниже ваше полное имя. $PersonalizeInfo"},
    {T::NameLabel, "Ваше &имя:"},
    {T::IconHeading, "Создание ярлыков"},
    {T::IconStartMenuQuestion, "Создать ярлык $InstallDescription в меню «Пуск»?"},
    {T::IconStartMenuCheck, "Создать ярлык в меню «&Пуск»"},
    {T::IconDesktopQuestion, "Создать ярлык $InstallDescription на рабочем столе?"},
    {T::IconDesktopCheck, "Создать ярлык на &рабочем столе"},
    {T::InstallStep, "Нажмите «Установить», чтобы начать копирование файлов."},
    {T::CopyHeading, "Копирование файлов"},
    {T::CopyDescription, "Программа установки копирует файлы на компьютер."},
    {T::ReadyHeading, "Установка завершена"},
    {T::DefaultCompleteMessage,
     "Установка $ProductName успешно завершена. Запустить $ProductName можно из меню «Пуск» или с рабочего "
     "стола. Дополнительные сведения см. в файле Readme.txt."},
    {T::ReadyReadmeQuestion, "Открыть файл Readme.txt сейчас?"},
    {T::ReadyReadmeCheck, "Показать &Readme.txt"},
    {T::ReadyStartQuestion, "Запустить $ProductName сейчас?"},
    {T::ReadyStartCheck, "&Запустить $ProductName"},
    {T::NoBundleItemWarning, "Нужно установить хотя бы один элемент."},
    {T::FolderErrorWarning, "Не удалось создать папку «%s».\rУкажите допустимое имя."},
    {T::NoNameWarning, "Сначала введите ваше имя."},
    {T::CancelQuestion,
     "Установка $FullProductName ещё не завершена.\rВы действительно хотите прервать установку $ProductName?"},
    {T::SameMajorQuestion,
     "Новую версию $ProductName рекомендуется установить\rв ту же папку, что и существующую копию. Тогда\r"
     "установленная версия будет правильно обновлена.\r\rВы действительно хотите установить её в другую папку?"},
    {T::NewMajorQuestion,
     "Новую версию $ProductName рекомендуется установить\rв новую папку, чтобы сохранить установленную копию.\r\r"
     "Вы действительно хотите перезаписать существующую копию?"},
    {T::AlreadyRunningError,
     "Уже выполняется другая установка $FullProductName.\rДождитесь её завершения и повторите попытку."},
    {T::PreparingStatus, "Подготовка к установке..."},
    {T::CopyingStatus, "Копирование файлов..."},
    {T::InitializingStatus, "Инициализация компонентов..."},
    {T::CreatingSettingsStatus, "Создание параметров..."},
    {T::CreatingShortcutsStatus, "Создание ярлыков..."},
    {T::NoAdminRightsMessage,
     "Для установки $ProductName на этот компьютер нужны права\rадминистратора или опытного пользователя. "
     "Программа установки будет закрыта.\r\rВойдите в систему под другой учётной записью и повторите попытку."},
    {T::Need64BitWindowsMessage,
     "Для установки 64-разрядной версии $ProductName\rнужен 64-разрядный выпуск Windows. Программа установки "
     "будет закрыта.\r\rЗагрузите и запустите 32-разрядную программу установки."},
    {T::NeedX64EmulationMessage,
     "В этом компьютере процессор Arm, и его выпуск Windows не может запускать программы x64.\r$ProductName "
     "создан только для процессоров x64. Программа установки будет закрыта.\r\rОбновитесь до Windows 11, которая "
     "запускает программы x64, или используйте программу установки с плагинами Arm64."},
    {T::NotEnoughSpaceMessage,
     "На диске назначения недостаточно места.\rОсвободите место и повторите попытку"},
    {T::PathTooLongMessage,
     "Путь «%s» длиннее, чем допускает Windows.\rВыберите более короткую папку установки и повторите попытку"},
    {T::CannotInstallFileMessage,
     "Не удаётся установить файл «%s».\r\rЗакройте все работающие приложения, чтобы файл не использовался, и "
     "повторите попытку."},
    {T::FilesInUseMessage,
     "Программа установки не может заменить эти файлы, так как они используются другой программой:\r\r%s"},
    {T::ProgramsUsingFilesMessage, "\r\rИх использует:\r\r%s"},
    {T::MoreFilesInUseLine, "\r... и ещё %s"},
    {T::CloseProgramsMessage,
     "\r\rЗакройте программу (например, хост-приложение с загруженным плагином) и нажмите «Повторить». Нажмите "
     "«Отмена», чтобы выйти из программы установки, ничего не меняя на этом компьютере."},
    {T::UninstallNoRightsMessage,
     "Для удаления %s нужны права администратора или опытного пользователя.\rВойдите в систему под другой учётной "
     "записью и повторите попытку."},
    {T::ConfirmRemovalQuestion, "Вы действительно хотите полностью удалить %s\rи все его компоненты?"},
    {T::UninstalledMessage, "Удаление успешно завершено."},
    {T::UninstalledWithLeftoversMessage,
     "Удаление успешно завершено.\r\rНекоторые элементы удалить не удалось. Удалите\rэлементы, относящиеся к %s, "
     "вручную."},
    {T::ForeignRecordMessage,
     "Данные удаления этой программы не соответствуют установке, к которой она относится.\rНичего не удалено. "
     "Установите продукт заново, чтобы удалить его."},
    {T::NoBatchFolderMessage,
     "Нет папки для пакетного файла, который удаляет программу удаления; программа удаления и её папка "
     "остаются."},
    {T::ApplicationErrorCaption, "Ошибка приложения"},
    {T::ShutdownBlockedReason,
     "Программа установки выполняет установку. Если прервать её сейчас, продукт останется установленным не "
     "полностью."},
    {T::CannotOpenFileMessage, "Не удается открыть файл \"%s\"."},
    {T::CannotCreateFileMessage, "Не удается создать файл \"%s\"."},
    {T::CannotReadFileMessage, "Не удается прочитать файл \"%s\"."},
    {T::CannotSeekFileMessage, "Не удается перейти к позиции в файле \"%s\"."},
    {T::CannotWriteFileMessage, "Не удается записать файл \"%s\"."},
};

}  // namespace

const std::span<const TextEntry> kRussianTexts = kTexts;
