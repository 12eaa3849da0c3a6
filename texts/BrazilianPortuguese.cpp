// Português do Brasil: os termos do Windows em português ("< Voltar", "Avançar >", "Cancelar").
#include "texts/LanguageTables.h"

namespace {

using T = TextId;

constexpr TextEntry kTexts[] = {
    {T::WindowCaption, "Instalação do $ProductName$BitSuffix"},
    {T::BitSuffix, " (64 bits)"},
    {T::SetupTitle, "Instalação"},
    {T::UninstallerTitleSuffix, " - Desinstalação"},
    {T::WarningCaption, "Aviso"},
    {T::ConfirmCaption, "Confirmar"},
    {T::InformationCaption, "Informação"},
    {T::BackButton, "< &Voltar"},
    {T::NextButton, "&Avançar >"},
    {T::CancelButton, "Cancelar"},
    {T::YesButton, "&Sim"},
    {T::NoButton, "&Não"},
    {T::InstallButton, "&Instalar"},
    {T::FinishButton, "&Concluir"},
    {T::BrowseButton, "&Procurar..."},
    {T::WelcomeHeading, "Bem-vindo à instalação do $ProductName"},
    {T::WelcomeDescription, "Este programa instalará o $FullProductName no computador."},
    {T::WelcomeStep, "Clique em Avançar para continuar."},
    {T::LicenseHeading, "Contrato de Licença"},
    {T::LicenseStep, "Você aceita este contrato de licença? Se escolher Não, a instalação será fechada."},
    {T::BundleHeading, "$BundleSelectHeading"},
    {T::BundleDescription, "$BundleSelectDescription"},
    {T::SelectAllButton, "Selecionar &tudo"},
    {T::SelectNoneButton, "&Nenhum"},
    {T::VstHeading, "Instalação de plug-ins VST$BitSuffix"},
    {T::Vst2Description,
     "O VST 2 ($PluginDescription) precisa ser instalado na pasta de plug-ins do seu host VST. Use o botão "
     "Procurar para selecionar a pasta de plug-ins VST 2 correta no computador."},
    {T::Vst2InstallCheck, "&Instalar VST 2 ($PluginDescription)"},
    {T::Vst2FolderLabel, "Pa&sta de plug-ins VST 2$BitSuffix:"},
    {T::Vst2BrowseTitle, "Selecione a pasta de plug-ins VST no computador:"},
    {T::Vst3InstallCheck, "Instalar VST &3 ($PluginDescription)"},
    {T::OnlyForList, "(Somente para $List)"},
    {T::Vst3Description,
     "Instala o VST 3 ($PluginDescription) na pasta comum de plug-ins VST 3 do computador. (O VST 3 é uma versão "
     "mais recente do VST que exige um host VST 3.)"},
    {T::Vst3SharedDescription, "Na pasta comum de plug-ins VST 3, para hosts VST 3."},
    {T::ClapInstallCheck, "Instalar &CLAP ($PluginDescription)"},
    {T::ClapDescription,
     "Instala o CLAP ($PluginDescription) na pasta comum de plug-ins CLAP do computador. (O CLAP é um formato de "
     "plug-in mais recente que exige um host CLAP.)"},
    {T::ClapSharedDescription, "Na pasta comum de plug-ins CLAP, para hosts CLAP."},
    {T::PluginsForProduct, "plug-ins do $ProductName"},
    {T::PluginVersionOfProduct, "versão plug-in do $ProductName"},
    {T::DigiHeading, "Instalação de plug-ins do Pro Tools"},
    {T::DigiDescription, "Selecione se deseja instalar o $ProToolsFormats ($PluginDescription) para o Pro Tools."},
    {T::RtasInstallCheck, "&Instalar RTAS ($PluginDescription)"},
    {T::RtasDescription,
     "Instala o RTAS ($PluginDescription) na pasta comum de plug-ins RTAS do computador. O formato RTAS é "
     "compatível com o Pro Tools 10 e versões anteriores."},
    {T::AaxInstallCheck, "&Instalar AAX ($PluginDescription)"},
    {T::AaxDescription,
     "Instala o AAX ($PluginDescription) na pasta comum de plug-ins AAX do computador. $AaxInfo"},
    {T::Aax64Info, "O formato AAX de 64 bits substitui o RTAS e é compatível a partir do Pro Tools 11."},
    {T::Aax32Info, "O formato AAX de 32 bits substitui o RTAS e exige o Pro Tools 10.3.5 ou posterior."},
    {T::PhotoshopHeading, "Instalação do plug-in do Adobe Photoshop"},
    {T::PhotoshopInfo,
     "O Adobe Photoshop ($PluginDescription) precisa ser instalado na pasta de plug-ins do Photoshop. Use o botão "
     "Procurar para selecionar a pasta de plug-ins no computador."},
    {T::PhotoshopInstallCheck, "&Instalar Photoshop ($PluginDescription)"},
    {T::PhotoshopFolderLabel, "Pa&sta de plug-ins do Adobe Photoshop:"},
    {T::PhotoshopBrowseTitle, "Selecione a pasta de plug-ins do Adobe Photoshop no computador:"},
    {T::DestHeading, "Pasta de Destino"},
    {T::DestDescription,
     "A instalação precisa saber onde instalar o $InstallDescription. Digite uma pasta abaixo ou use o botão "
     "Procurar para escolher uma pasta."},
    {T::DestStep, "Se não tiver certeza, é recomendável usar a pasta padrão mostrada abaixo."},
    {T::DestFolderLabel, "Pa&sta de destino:"},
    {T::DestBrowseTitle, "Selecione a pasta em que o $ProductName será instalado:"},
    {T::NameHeading, "Personalização"},
    {T::NameInfo, "Digite seu nome completo abaixo para se identificar. $PersonalizeInfo"},
    {T::NameLabel, "Seu &nome:"},
    {T::IconHeading, "Criar Atalhos"},
    {T::IconStartMenuQuestion, "Deseja que a instalação crie um atalho para o $InstallDescription no menu Iniciar?"},
    {T::IconStartMenuCheck, "Criar um atalho no &menu Iniciar"},
    {T::IconDesktopQuestion, "Deseja que a instalação crie um atalho para o $InstallDescription na área de trabalho?"},
    {T::IconDesktopCheck, "Criar um atalho na área de &trabalho"},
    {T::InstallStep, "Clique em Instalar para começar a copiar os arquivos."},
    {T::CopyHeading, "Copiando Arquivos"},
    {T::CopyDescription, "A instalação está copiando os arquivos para o computador."},
    {T::ReadyHeading, "Instalação Concluída"},
    {T::DefaultCompleteMessage,
     "O $ProductName foi instalado com êxito. Você pode iniciar o $ProductName pelo menu Iniciar ou pela área de "
     "trabalho. Leia o arquivo Readme.txt para obter mais informações."},
    {T::ReadyReadmeQuestion, "Deseja ver o arquivo Readme.txt agora?"},
    {T::ReadyReadmeCheck, "Exibir &Readme.txt"},
    {T::ReadyStartQuestion, "Deseja iniciar o $ProductName agora?"},
    {T::ReadyStartCheck, "&Iniciar o $ProductName"},
    {T::NoBundleItemWarning, "Você precisa instalar pelo menos um item."},
    {T::FolderErrorWarning, "Não foi possível criar a pasta '%s'.\rEspecifique um nome válido."},
    {T::NoNameWarning, "Digite seu nome primeiro."},
    {T::CancelQuestion,
     "O $FullProductName ainda não foi totalmente instalado.\rTem certeza de que deseja cancelar a instalação do "
     "$ProductName?"},
    {T::SameMajorQuestion,
     "É recomendável instalar esta nova versão do $ProductName\rna mesma pasta da cópia existente. Isso garante\r"
     "que a versão instalada seja atualizada corretamente.\r\rTem certeza de que deseja instalá-la em outra pasta?"},
    {T::NewMajorQuestion,
     "É recomendável instalar esta nova versão do $ProductName\rem uma nova pasta para preservar a cópia "
     "instalada.\r\rTem certeza de que deseja substituir a cópia existente?"},
    {T::AlreadyRunningError,
     "Outra instalação do $FullProductName já está em execução.\rAguarde até que ela termine e tente novamente."},
    {T::PreparingStatus, "Preparando a instalação..."},
    {T::CopyingStatus, "Copiando arquivos..."},
    {T::InitializingStatus, "Inicializando componentes..."},
    {T::CreatingSettingsStatus, "Criando configurações..."},
    {T::CreatingShortcutsStatus, "Criando atalhos..."},
    {T::NoAdminRightsMessage,
     "Você precisa ter direitos de Administrador ou de Usuário Avançado para instalar\ro $ProductName neste "
     "computador. A instalação será fechada.\r\rFaça logon com outro usuário e tente novamente."},
    {T::Need64BitWindowsMessage,
     "Você precisa usar uma edição de 64 bits do Windows para instalar\ra versão de 64 bits do $ProductName. A "
     "instalação será fechada.\r\rBaixe e execute o instalador de 32 bits."},
    {T::NeedX64EmulationMessage,
     "Este computador tem um processador Arm, e a edição do Windows dele não executa programas x64.\rO "
     "$ProductName foi criado apenas para processadores x64. A instalação será fechada.\r\rAtualize para o "
     "Windows 11, que executa programas x64, ou use um instalador que contenha plug-ins Arm64."},
    {T::NotEnoughSpaceMessage,
     "Não há espaço suficiente na unidade de destino.\rLibere espaço e tente novamente"},
    {T::PathTooLongMessage,
     "O caminho '%s' é mais longo do que o Windows permite.\rEscolha uma pasta de destino mais curta e tente "
     "novamente"},
    {T::CannotInstallFileMessage,
     "Não é possível instalar o arquivo '%s'.\r\rFeche todos os aplicativos em execução para garantir que o "
     "arquivo não esteja em uso antes de tentar novamente."},
    {T::FilesInUseMessage,
     "A instalação não pode substituir estes arquivos porque outro programa os está usando:\r\r%s"},
    {T::ProgramsUsingFilesMessage, "\r\rEles estão em uso por:\r\r%s"},
    {T::MoreFilesInUseLine, "\r... e mais %s"},
    {T::CloseProgramsMessage,
     "\r\rFeche o programa (como um aplicativo host com o plug-in carregado) e clique em Repetir. Clique em "
     "Cancelar para sair da instalação sem alterar nada neste computador."},
    {T::UninstallNoRightsMessage,
     "Você precisa ter direitos de Administrador ou de Usuário Avançado para desinstalar o %s.\rFaça logon com "
     "outro usuário e tente novamente."},
    {T::ConfirmRemovalQuestion, "Tem certeza de que deseja remover completamente o %s\re todos os seus componentes?"},
    {T::UninstalledMessage, "Desinstalação concluída com êxito."},
    {T::UninstalledWithLeftoversMessage,
     "Desinstalação concluída com êxito.\r\rAlguns itens não puderam ser removidos. Remova\rmanualmente os itens "
     "relacionados ao %s."},
    {T::ForeignRecordMessage,
     "Os dados de desinstalação deste desinstalador não correspondem à instalação à qual ele pertence.\rNada foi "
     "removido. Instale o produto novamente para desinstalá-lo."},
    {T::NoBatchFolderMessage,
     "Não há uma pasta para o arquivo em lotes que remove o desinstalador; o desinstalador e sua pasta "
     "permanecem."},
    {T::ApplicationErrorCaption, "Erro de aplicativo"},
    {T::ShutdownBlockedReason,
     "A instalação está em andamento. Interrompê-la agora deixaria o produto instalado pela metade."},
    {T::CannotOpenFileMessage, "Não é possível abrir o arquivo \"%s\"."},
    {T::CannotCreateFileMessage, "Não é possível criar o arquivo \"%s\"."},
    {T::CannotReadFileMessage, "Não é possível ler o arquivo \"%s\"."},
    {T::CannotSeekFileMessage, "Não é possível mover para uma posição no arquivo \"%s\"."},
    {T::CannotWriteFileMessage, "Não é possível gravar no arquivo \"%s\"."},
};

}  // namespace

const std::span<const TextEntry> kBrazilianPortugueseTexts = kTexts;
