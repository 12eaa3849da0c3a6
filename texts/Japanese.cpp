// 日本語: 日本語版 Windows の用語 (「< 戻る(&B)」「次へ(&N) >」「キャンセル」「参照(&R)...」)。
#include "texts/LanguageTables.h"

namespace {

using T = TextId;

constexpr TextEntry kTexts[] = {
    {T::WindowCaption, "$ProductName セットアップ$BitSuffix"},
    {T::BitSuffix, " (64 ビット)"},
    {T::SetupTitle, "セットアップ"},
    {T::UninstallerTitleSuffix, " アンインストール"},
    {T::WarningCaption, "警告"},
    {T::ConfirmCaption, "確認"},
    {T::InformationCaption, "情報"},
    {T::BackButton, "< 戻る(&B)"},
    {T::NextButton, "次へ(&N) >"},
    {T::CancelButton, "キャンセル"},
    {T::YesButton, "はい(&Y)"},
    {T::NoButton, "いいえ(&N)"},
    {T::InstallButton, "インストール(&I)"},
    {T::FinishButton, "完了(&F)"},
    {T::BrowseButton, "参照(&R)..."},
    {T::WelcomeHeading, "$ProductName セットアップへようこそ"},
    {T::WelcomeDescription, "このプログラムは、$FullProductName をコンピューターにインストールします。"},
    {T::WelcomeStep, "続行するには [次へ] をクリックしてください。"},
    {T::LicenseHeading, "使用許諾契約"},
    {T::LicenseStep, "この使用許諾契約に同意しますか? [いいえ] を選ぶと、セットアップを終了します。"},
    {T::BundleHeading, "$BundleSelectHeading"},
    {T::BundleDescription, "$BundleSelectDescription"},
    {T::SelectAllButton, "すべて選択(&A)"},
    {T::SelectNoneButton, "選択解除(&O)"},
    {T::VstHeading, "VST プラグインのインストール$BitSuffix"},
    {T::Vst2Description,
     "VST 2 ($PluginDescription) は、お使いの VST ホストのプラグイン フォルダーにインストールする必要があります。"
     "[参照] をクリックして、コンピューター上の正しい VST 2 プラグイン フォルダーを選んでください。"},
    {T::Vst2InstallCheck, "VST 2 をインストールする ($PluginDescription)(&I)"},
    {T::Vst2FolderLabel, "VST 2 プラグイン フォルダー$BitSuffix(&F):"},
    {T::Vst2BrowseTitle, "コンピューター上の VST プラグイン フォルダーを選んでください:"},
    {T::Vst3InstallCheck, "VST 3 をインストールする ($PluginDescription)(&3)"},
    {T::OnlyForList, "($List のみ)"},
    {T::Vst3Description,
     "VST 3 ($PluginDescription) を、コンピューターの共通 VST 3 プラグイン フォルダーにインストールします。"
     "(VST 3 は VST の新しいバージョンで、VST 3 ホストが必要です。)"},
    {T::Vst3SharedDescription, "共通 VST 3 プラグイン フォルダーへ (VST 3 ホスト用)。"},
    {T::ClapInstallCheck, "CLAP をインストールする ($PluginDescription)(&C)"},
    {T::ClapDescription,
     "CLAP ($PluginDescription) を、コンピューターの共通 CLAP プラグイン フォルダーにインストールします。"
     "(CLAP は新しいプラグイン形式で、CLAP ホストが必要です。)"},
    {T::ClapSharedDescription, "共通 CLAP プラグイン フォルダーへ (CLAP ホスト用)。"},
    {T::PluginsForProduct, "$ProductName 用プラグイン"},
    {T::PluginVersionOfProduct, "$ProductName のプラグイン版"},
    {T::DigiHeading, "Pro Tools プラグインのインストール"},
    {T::DigiDescription, "Pro Tools 用の $ProToolsFormats ($PluginDescription) をインストールするかどうかを選んでください。"},
    {T::RtasInstallCheck, "RTAS をインストールする ($PluginDescription)(&I)"},
    {T::RtasDescription,
     "RTAS ($PluginDescription) を、コンピューターの共通 RTAS プラグイン フォルダーにインストールします。"
     "RTAS 形式は Pro Tools 10 以前のバージョンでサポートされています。"},
    {T::AaxInstallCheck, "AAX をインストールする ($PluginDescription)(&I)"},
    {T::AaxDescription,
     "AAX ($PluginDescription) を、コンピューターの共通 AAX プラグイン フォルダーにインストールします。$AaxInfo"},
    {T::Aax64Info, "64 ビット AAX 形式は RTAS に代わるもので、Pro Tools 11 以降でサポートされています。"},
    {T::Aax32Info, "32 ビット AAX 形式は RTAS に代わるもので、Pro Tools 10.3.5 以降が必要です。"},
    {T::PhotoshopHeading, "Adobe Photoshop プラグインのインストール"},
    {T::PhotoshopInfo,
     "Adobe Photoshop ($PluginDescription) は、Photoshop のプラグイン フォルダーにインストールする必要があります。"
     "[参照] をクリックして、コンピューター上のプラグイン フォルダーを選んでください。"},
    {T::PhotoshopInstallCheck, "Photoshop をインストールする ($PluginDescription)(&I)"},
    {T::PhotoshopFolderLabel, "Adobe Photoshop プラグイン フォルダー(&F):"},
    {T::PhotoshopBrowseTitle, "コンピューター上の Adobe Photoshop プラグイン フォルダーを選んでください:"},
    {T::DestHeading, "インストール先フォルダー"},
    {T::DestDescription,
     "$InstallDescription のインストール先を指定してください。下にフォルダーを入力するか、[参照] をクリックして"
     "フォルダーを選んでください。"},
    {T::DestStep, "よくわからない場合は、下に表示されている既定のフォルダーを使うことをお勧めします。"},
    {T::DestFolderLabel, "インストール先フォルダー(&F):"},
    {T::DestBrowseTitle, "$ProductName をインストールするフォルダーを選んでください:"},
    {T::NameHeading, "ユーザー情報"},
    {T::NameInfo, "ご本人を確認するため、下にフルネームを入力してください。$PersonalizeInfo"},
    {T::NameLabel, "名前(&A):"},
    {T::IconHeading, "ショートカットの作成"},
    {T::IconStartMenuQuestion, "$InstallDescription へのショートカットをスタート メニューに作成しますか?"},
    {T::IconStartMenuCheck, "スタート メニューにショートカットを作成する(&S)"},
    {T::IconDesktopQuestion, "$InstallDescription へのショートカットをデスクトップに作成しますか?"},
    {T::IconDesktopCheck, "デスクトップにショートカットを作成する(&D)"},
    {T::InstallStep, "[インストール] をクリックすると、ファイルのコピーを開始します。"},
    {T::CopyHeading, "ファイルのコピー"},
    {T::CopyDescription, "ファイルをコンピューターにコピーしています。"},
    {T::ReadyHeading, "インストールの完了"},
    {T::DefaultCompleteMessage,
     "$ProductName は正常にインストールされました。$ProductName はスタート メニューまたはデスクトップから起動"
     "できます。詳しくは Readme.txt ファイルをお読みください。"},
    {T::ReadyReadmeQuestion, "Readme.txt を今すぐ表示しますか?"},
    {T::ReadyReadmeCheck, "Readme.txt を表示する(&R)"},
    {T::ReadyStartQuestion, "$ProductName を今すぐ起動しますか?"},
    {T::ReadyStartCheck, "$ProductName を起動する(&S)"},
    {T::NoBundleItemWarning, "少なくとも 1 つの項目をインストールする必要があります。"},
    {T::FolderErrorWarning, "フォルダー '%s' を作成できませんでした。\r有効な名前を指定してください。"},
    {T::NoNameWarning, "先に名前を入力してください。"},
    {T::CancelQuestion,
     "$FullProductName のインストールはまだ完了していません。\r$ProductName のセットアップを中止してもよろしいですか?"},
    {T::SameMajorQuestion,
     "$ProductName のこの新しいバージョンは、既存のコピーと\r同じフォルダーにインストールすることをお勧めします。"
     "そうすると、\rインストール済みのバージョンが正しくアップグレードされます。\r\r別のフォルダーにインストール"
     "してもよろしいですか?"},
    {T::NewMajorQuestion,
     "$ProductName のこの新しいバージョンは、インストール済みのコピーを\r残すために新しいフォルダーにインストール"
     "することをお勧めします。\r\r既存のコピーを上書きしてもよろしいですか?"},
    {T::AlreadyRunningError,
     "$FullProductName の別のセットアップが既に実行中です。\r終了するのを待ってから、もう一度やり直してください。"},
    {T::PreparingStatus, "インストールを準備しています..."},
    {T::CopyingStatus, "ファイルをコピーしています..."},
    {T::InitializingStatus, "コンポーネントを初期化しています..."},
    {T::CreatingSettingsStatus, "設定を作成しています..."},
    {T::CreatingShortcutsStatus, "ショートカットを作成しています..."},
    {T::NoAdminRightsMessage,
     "このコンピューターに $ProductName をインストールするには、\r管理者または Power Users の権限が必要です。"
     "セットアップを終了します。\r\r別のユーザーでログオンして、もう一度やり直してください。"},
    {T::Need64BitWindowsMessage,
     "$ProductName の 64 ビット版をインストールするには、\r64 ビット版の Windows が必要です。セットアップを終了"
     "します。\r\r代わりに 32 ビット版のインストーラーをダウンロードして実行してください。"},
    {T::NeedX64EmulationMessage,
     "このコンピューターは Arm プロセッサを搭載しており、このエディションの Windows では x64 プログラムを実行"
     "できません。\r$ProductName は x64 プロセッサ専用です。セットアップを終了します。\r\rx64 プログラムを実行"
     "できる Windows 11 に更新するか、Arm64 プラグインを含むインストーラーを使ってください。"},
    {T::NotEnoughSpaceMessage,
     "インストール先のドライブに十分な空き領域がありません。\r空き領域を増やしてから、もう一度やり直してください"},
    {T::PathTooLongMessage,
     "パス '%s' は Windows で使える長さを超えています。\rもっと短いインストール先フォルダーを選んでから、もう一度"
     "やり直してください"},
    {T::CannotInstallFileMessage,
     "ファイル '%s' をインストールできません。\r\r再試行する前に、実行中のアプリケーションをすべて閉じて、ファイル"
     "が使用されていないことを確認してください。"},
    {T::FilesInUseMessage, "次のファイルは別のプログラムが使用しているため、置き換えることができません:\r\r%s"},
    {T::ProgramsUsingFilesMessage, "\r\r使用しているプログラム:\r\r%s"},
    {T::MoreFilesInUseLine, "\r... ほか %s 個"},
    {T::CloseProgramsMessage,
     "\r\rプログラム (プラグインを読み込んでいるホスト アプリケーションなど) を閉じてから、[再試行] をクリック"
     "してください。[キャンセル] をクリックすると、このコンピューターを何も変更せずにセットアップを終了します。"},
    {T::UninstallNoRightsMessage,
     "%s をアンインストールするには、管理者または Power Users の権限が必要です。\r別のユーザーでログオンして、"
     "もう一度やり直してください。"},
    {T::ConfirmRemovalQuestion, "%s と\rそのすべてのコンポーネントを完全に削除してもよろしいですか?"},
    {T::UninstalledMessage, "アンインストールは正常に完了しました。"},
    {T::UninstalledWithLeftoversMessage,
     "アンインストールは正常に完了しました。\r\r一部の項目を削除できませんでした。%s に関連する\r項目を手動で"
     "削除してください。"},
    {T::ForeignRecordMessage,
     "このアンインストーラーのアンインストール データは、対応するインストールと一致しません。\r何も削除されて"
     "いません。アンインストールするには、製品をもう一度インストールしてください。"},
    {T::NoBatchFolderMessage, "アンインストーラーを削除するバッチ ファイルを置くフォルダーがありません。アンインストーラーとそのフォルダーは残ります。"},
    {T::ApplicationErrorCaption, "アプリケーション エラー"},
    {T::ShutdownBlockedReason, "セットアップはインストール中です。今中止すると、製品は一部だけインストールされたままになります。"},
    {T::CannotOpenFileMessage, "ファイル \"%s\" を開けません。"},
    {T::CannotCreateFileMessage, "ファイル \"%s\" を作成できません。"},
    {T::CannotReadFileMessage, "ファイル \"%s\" を読み取れません。"},
    {T::CannotSeekFileMessage, "ファイル \"%s\" 内の位置に移動できません。"},
    {T::CannotWriteFileMessage, "ファイル \"%s\" に書き込めません。"},
};

}  // namespace

const std::span<const TextEntry> kJapaneseTexts = kTexts;
