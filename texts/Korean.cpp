// 한국어: 한국어판 Windows의 용어("< 뒤로(&B)", "다음(&N) >", "취소", "찾아보기(&R)...").
#include "texts/LanguageTables.h"

namespace {

using T = TextId;

constexpr TextEntry kTexts[] = {
    {T::WindowCaption, "$ProductName 설치$BitSuffix"},
    {T::BitSuffix, " (64비트)"},
    {T::SetupTitle, "설치"},
    {T::UninstallerTitleSuffix, " 제거"},
    {T::WarningCaption, "경고"},
    {T::ConfirmCaption, "확인"},
    {T::InformationCaption, "정보"},
    {T::BackButton, "< 뒤로(&B)"},
    {T::NextButton, "다음(&N) >"},
    {T::CancelButton, "취소"},
    {T::YesButton, "예(&Y)"},
    {T::NoButton, "아니요(&N)"},
    {T::InstallButton, "설치(&I)"},
    {T::FinishButton, "마침(&F)"},
    {T::BrowseButton, "찾아보기(&R)..."},
    {T::WelcomeHeading, "$ProductName 설치를 시작합니다"},
    {T::WelcomeDescription, "이 프로그램은 컴퓨터에 $FullProductName을(를) 설치합니다."},
    {T::WelcomeStep, "계속하려면 [다음]을 클릭하십시오."},
    {T::LicenseHeading, "사용권 계약"},
    {T::LicenseStep, "이 사용권 계약에 동의하십니까? [아니요]를 선택하면 설치가 종료됩니다."},
    {T::BundleHeading, "$BundleSelectHeading"},
    {T::BundleDescription, "$BundleSelectDescription"},
    {T::SelectAllButton, "모두 선택(&A)"},
    {T::SelectNoneButton, "선택 안 함(&O)"},
    {T::VstHeading, "VST 플러그인 설치$BitSuffix"},
    {T::Vst2Description,
     "VST 2($PluginDescription)는 사용 중인 VST 호스트의 플러그인 폴더에 설치해야 합니다. [찾아보기] 단추를 "
     "클릭하여 컴퓨터에서 올바른 VST 2 플러그인 폴더를 선택하십시오."},
    {T::Vst2InstallCheck, "VST 2 설치($PluginDescription)(&I)"},
    {T::Vst2FolderLabel, "VST 2 플러그인 폴더$BitSuffix(&F):"},
    {T::Vst2BrowseTitle, "컴퓨터에서 VST 플러그인 폴더를 선택하십시오:"},
    {T::Vst3InstallCheck, "VST 3 설치($PluginDescription)(&3)"},
    {T::OnlyForList, "($List 전용)"},
    {T::Vst3Description,
     "VST 3($PluginDescription)를 컴퓨터의 공용 VST 3 플러그인 폴더에 설치합니다. (VST 3은 VST의 최신 버전이며 "
     "VST 3 호스트가 필요합니다.)"},
    {T::Vst3SharedDescription, "공용 VST 3 플러그인 폴더에 설치합니다(VST 3 호스트용)."},
    {T::ClapInstallCheck, "CLAP 설치($PluginDescription)(&C)"},
    {T::ClapDescription,
     "CLAP($PluginDescription)를 컴퓨터의 공용 CLAP 플러그인 폴더에 설치합니다. (CLAP은 최신 플러그인 형식이며 "
     "CLAP 호스트가 필요합니다.)"},
    {T::ClapSharedDescription, "공용 CLAP 플러그인 폴더에 설치합니다(CLAP 호스트용)."},
    {T::PluginsForProduct, "$ProductName용 플러그인"},
    {T::PluginVersionOfProduct, "$ProductName 플러그인 버전"},
    {T::DigiHeading, "Pro Tools 플러그인 설치"},
    {T::DigiDescription, "Pro Tools용 $ProToolsFormats($PluginDescription)를 설치할지 선택하십시오."},
    {T::RtasInstallCheck, "RTAS 설치($PluginDescription)(&I)"},
    {T::RtasDescription,
     "RTAS($PluginDescription)를 컴퓨터의 공용 RTAS 플러그인 폴더에 설치합니다. RTAS 형식은 Pro Tools 10 이하 "
     "버전에서 지원됩니다."},
    {T::AaxInstallCheck, "AAX 설치($PluginDescription)(&I)"},
    {T::AaxDescription, "AAX($PluginDescription)를 컴퓨터의 공용 AAX 플러그인 폴더에 설치합니다. $AaxInfo"},
    {T::Aax64Info, "64비트 AAX 형식은 RTAS를 대체하며 Pro Tools 11부터 지원됩니다."},
    {T::Aax32Info, "32비트 AAX 형식은 RTAS를 대체하며 Pro Tools 10.3.5 이상이 필요합니다."},
    {T::PhotoshopHeading, "Adobe Photoshop 플러그인 설치"},
    {T::PhotoshopInfo,
     "Adobe Photoshop($PluginDescription)는 Photoshop 플러그인 폴더에 설치해야 합니다. [찾아보기] 단추를 클릭하여 "
     "컴퓨터에서 플러그인 폴더를 선택하십시오."},
    {T::PhotoshopInstallCheck, "Photoshop 설치($PluginDescription)(&I)"},
    {T::PhotoshopFolderLabel, "Adobe Photoshop 플러그인 폴더(&F):"},
    {T::PhotoshopBrowseTitle, "컴퓨터에서 Adobe Photoshop 플러그인 폴더를 선택하십시오:"},
    {T::DestHeading, "대상 폴더"},
    {T::DestDescription,
     "$InstallDescription을(를) 설치할 위치를 지정해야 합니다. 아래에 폴더를 입력하거나 [찾아보기] 단추를 "
     "클릭하여 폴더를 선택하십시오."},
    {T::DestStep, "잘 모르는 경우 아래에 표시된 기본 폴더를 사용하는 것이 좋습니다."},
    {T::DestFolderLabel, "대상 폴더(&F):"},
    {T::DestBrowseTitle, "$ProductName을(를) 설치할 폴더를 선택하십시오:"},
    {T::NameHeading, "사용자 정보"},
    {T::NameInfo, "아래에 전체 이름을 입력하십시오. $PersonalizeInfo"},
    {T::NameLabel, "이름(&A):"},
    {T::IconHeading, "바로 가기 만들기"},
    {T::IconStartMenuQuestion, "시작 메뉴에 $InstallDescription 바로 가기를 만드시겠습니까?"},
    {T::IconStartMenuCheck, "시작 메뉴에 바로 가기 만들기(&S)"},
    {T::IconDesktopQuestion, "바탕 화면에 $InstallDescription 바로 가기를 만드시겠습니까?"},
    {T::IconDesktopCheck, "바탕 화면에 바로 가기 만들기(&D)"},
    {T::InstallStep, "파일 복사를 시작하려면 [설치]를 클릭하십시오."},
    {T::CopyHeading, "파일 복사 중"},
    {T::CopyDescription, "컴퓨터에 파일을 복사하고 있습니다."},
    {T::ReadyHeading, "설치 완료"},
    {T::DefaultCompleteMessage,
     "$ProductName이(가) 설치되었습니다. 시작 메뉴나 바탕 화면에서 $ProductName을(를) 시작할 수 있습니다. 자세한 "
     "내용은 Readme.txt 파일을 읽어 보십시오."},
    {T::ReadyReadmeQuestion, "지금 Readme.txt를 보시겠습니까?"},
    {T::ReadyReadmeCheck, "Readme.txt 표시(&R)"},
    {T::ReadyStartQuestion, "지금 $ProductName을(를) 시작하시겠습니까?"},
    {T::ReadyStartCheck, "$ProductName 시작(&S)"},
    {T::NoBundleItemWarning, "항목을 하나 이상 설치해야 합니다."},
    {T::FolderErrorWarning, "'%s' 폴더를 만들 수 없습니다.\r올바른 이름을 지정하십시오."},
    {T::NoNameWarning, "먼저 이름을 입력하십시오."},
    {T::CancelQuestion,
     "$FullProductName이(가) 아직 완전히 설치되지 않았습니다.\r$ProductName 설치를 취소하시겠습니까?"},
    {T::SameMajorQuestion,
     "$ProductName의 새 버전은 기존 복사본과\r같은 폴더에 설치하는 것이 좋습니다. 그래야\r설치된 버전이 올바르게 "
     "업그레이드됩니다.\r\r다른 폴더에 설치하시겠습니까?"},
    {T::NewMajorQuestion,
     "$ProductName의 새 버전은 설치된 복사본을 보존하도록\r새 폴더에 설치하는 것이 좋습니다.\r\r기존 복사본을 "
     "덮어쓰시겠습니까?"},
    {T::AlreadyRunningError,
     "$FullProductName의 다른 설치가 이미 실행 중입니다.\r완료될 때까지 기다린 후 다시 시도하십시오."},
    {T::PreparingStatus, "설치를 준비하는 중..."},
    {T::CopyingStatus, "파일을 복사하는 중..."},
    {T::InitializingStatus, "구성 요소를 초기화하는 중..."},
    {T::CreatingSettingsStatus, "설정을 만드는 중..."},
    {T::CreatingShortcutsStatus, "바로 가기를 만드는 중..."},
    {T::NoAdminRightsMessage,
     "이 컴퓨터에 $ProductName을(를) 설치하려면\r관리자 또는 고급 사용자 권한이 있어야 합니다. 설치가 "
     "종료됩니다.\r\r다른 사용자로 로그온한 후 다시 시도하십시오."},
    {T::Need64BitWindowsMessage,
     "$ProductName 64비트 버전을 설치하려면\r64비트 버전의 Windows를 실행해야 합니다. 설치가 종료됩니다.\r\r"
     "대신 32비트 설치 프로그램을 다운로드하여 실행하십시오."},
    {T::NeedX64EmulationMessage,
     "이 컴퓨터에는 Arm 프로세서가 있으며 이 Windows 버전에서는 x64 프로그램을 실행할 수 없습니다.\r"
     "$ProductName은(는) x64 프로세서 전용입니다. 설치가 종료됩니다.\r\rx64 프로그램을 실행하는 Windows 11로 "
     "업데이트하거나 Arm64 플러그인이 포함된 설치 프로그램을 사용하십시오."},
    {T::NotEnoughSpaceMessage, "대상 드라이브에 공간이 부족합니다.\r공간을 확보한 후 다시 시도하십시오"},
    {T::PathTooLongMessage,
     "'%s' 경로가 Windows에서 허용하는 길이보다 깁니다.\r더 짧은 대상 폴더를 선택한 후 다시 시도하십시오"},
    {T::CannotInstallFileMessage,
     "'%s' 파일을 설치할 수 없습니다.\r\r다시 시도하기 전에 실행 중인 모든 응용 프로그램을 닫아 파일이 사용 "
     "중이 아닌지 확인하십시오."},
    {T::FilesInUseMessage, "다른 프로그램이 사용 중이므로 다음 파일을 바꿀 수 없습니다.\r\r%s"},
    {T::ProgramsUsingFilesMessage, "\r\r사용 중인 프로그램:\r\r%s"},
    {T::MoreFilesInUseLine, "\r... 외 %s개"},
    {T::CloseProgramsMessage,
     "\r\r프로그램(예: 플러그인을 로드한 호스트 응용 프로그램)을 닫은 후 [다시 시도]를 클릭하십시오. [취소]를 "
     "클릭하면 이 컴퓨터에서 아무것도 변경하지 않고 설치를 종료합니다."},
    {T::UninstallNoRightsMessage,
     "%s을(를) 제거하려면 관리자 또는 고급 사용자 권한이 있어야 합니다.\r다른 사용자로 로그온한 후 다시 "
     "시도하십시오."},
    {T::ConfirmRemovalQuestion, "%s 및\r해당 구성 요소를 모두 완전히 제거하시겠습니까?"},
    {T::UninstalledMessage, "제거가 완료되었습니다."},
    {T::UninstalledWithLeftoversMessage,
     "제거가 완료되었습니다.\r\r일부 항목을 제거할 수 없습니다. %s 관련 항목을\r수동으로 제거하십시오."},
    {T::ForeignRecordMessage,
     "이 제거 프로그램의 제거 데이터가 해당 설치와 일치하지 않습니다.\r아무것도 제거되지 않았습니다. 제거하려면 "
     "제품을 다시 설치하십시오."},
};

}  // namespace

const std::span<const TextEntry> kKoreanTexts = kTexts;
