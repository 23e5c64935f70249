<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pt_PT">
<context>
    <name>SettingsScreenWidget</name>
    <message>
        <source>Report Map Errors</source>
        <translation>Comunicar erros no mapa</translation>
    </message>
</context>
<context>
    <name>global</name>
    <message>
        <source>B</source>
        <translation>B</translation>
    </message>
    <message>
        <source>KB</source>
        <translation>KB</translation>
    </message>
    <message>
        <source>MB</source>
        <translation>MB</translation>
    </message>
    <message>
        <source>GB</source>
        <translation>GB</translation>
    </message>
    <message>
        <source>TB</source>
        <translation>TB</translation>
    </message>
    <message>
        <source>Map updates</source>
        <translation>Atualizações de mapas</translation>
    </message>
    <message>
        <source>Available maps</source>
        <translation>Mapas disponíveis</translation>
    </message>
    <message>
        <source>No maps available</source>
        <translation>Nenhum mapa disponível</translation>
    </message>
    <message>
        <source>Available map updates already downloaded.</source>
        <translation>As atualizações de mapas disponíveis já foram transferidas.</translation>
    </message>
    <message>
        <source>Optional map updates</source>
        <translation>Atualizações de mapas opcionais</translation>
    </message>
    <message>
        <source>Pending map updates</source>
        <translation>Atualizações de mapas pendentes</translation>
    </message>
    <message>
        <source>Accessing information on the USB stick</source>
        <translation>A aceder às informações da pen USB</translation>
    </message>
    <message>
        <source>Please do not disconnect the USB stick from the computer</source>
        <translation>Não desligue a pen USB do computador</translation>
    </message>
    <message>
        <source>Map updates ready to be installed on your vehicle&apos;s navigation system</source>
        <translation>Atualizações de mapas prontas a instalar no sistema de navegação do seu veículo</translation>
    </message>
    <message>
        <source>To complete installation of map updates, connect the USB stick to your vehicle&apos;s navigation system and follow the instructions on the display.</source>
        <translation>Para concluir a instalação das atualizações de mapas, ligue a pen USB ao sistema de navegação do seu veículo e siga as instruções apresentadas no ecrã.</translation>
    </message>
    <message>
        <source>Cancelling download</source>
        <translation>A cancelar a transferência</translation>
    </message>
    <message>
        <source>Map update required</source>
        <translation>Atualização de mapa necessária</translation>
    </message>
    <message>
        <source>Update map</source>
        <translation>Atualizar mapa</translation>
    </message>
    <message>
        <source>Downloading map</source>
        <translation>A transferir o mapa</translation>
    </message>
    <message>
        <source>Manage maps</source>
        <translation>Gerir mapas</translation>
    </message>
    <message>
        <source>Checking for map updates. Please do not disconnect the USB stick.</source>
        <translation>A procurar atualizações de mapas. Não desligue a pen USB.</translation>
    </message>
    <message>
        <source>Something has gone wrong. Please connect the USB stick to your vehicle again.</source>
        <translation>Ocorreu um erro. Volte a ligar a pen USB ao seu veículo.</translation>
    </message>
    <message>
        <source>See help</source>
        <translation>Ver a ajuda</translation>
    </message>
    <message>
        <source>Checking for map updates requires an internet connection. Please check if the computer is connected to the internet.</source>
        <translation>A procura de atualizações de mapas requer uma ligação à Internet. Verifique se o computador está ligado à Internet.</translation>
    </message>
    <message>
        <source>Retry</source>
        <translation>Tentar novamente</translation>
    </message>
    <message>
        <source>Vehicle&apos;s navigation device not registered yet</source>
        <translation>Dispositivo de navegação do veículo ainda não registado</translation>
    </message>
    <message>
        <source>Your vehicle&apos;s navigation device is not registered yet to receive map updates.</source>
        <translation>O dispositivo de navegação do seu veículo ainda não está registado para receber atualizações de mapas.</translation>
    </message>
    <message>
        <source>Update available</source>
        <translation>Atualização disponível</translation>
    </message>
    <message>
        <source>Update maps</source>
        <translation>Atualizar mapas</translation>
    </message>
    <message>
        <source>This USB stick already contains map updates. Please connect it to your vehicle to transfer the map updates to your navigation system.</source>
        <translation>Esta pen USB já contém atualizações de mapas. Ligue-a ao seu veículo para transferir as atualizações de mapas para o sistema de navegação.</translation>
    </message>
    <message>
        <source>Open the main application to download maps for your vehicle&apos;s navigation system.</source>
        <translation>Abra a aplicação principal para transferir mapas para o sistema de navegação do seu veículo.</translation>
    </message>
    <message>
        <source>Open application</source>
        <translation>Abrir a aplicação</translation>
    </message>
    <message>
        <source>Map update server not available</source>
        <translation>Servidor de atualizações de mapas indisponível</translation>
    </message>
    <message>
        <source>Something has gone wrong.</source>
        <translation>Ocorreu um erro.</translation>
    </message>
    <message>
        <source>Map update subscription expired</source>
        <translation>Subscrição de atualizações de mapas expirada</translation>
    </message>
    <message>
        <source>Restore map</source>
        <translation>Restaurar mapa</translation>
    </message>
    <message>
        <source>Your navigation system is up to date</source>
        <translation>O seu sistema de navegação está atualizado</translation>
    </message>
    <message>
        <source>Map update download failed</source>
        <translation>Falha na transferência da atualização de mapa</translation>
    </message>
    <message>
        <source>Dismiss</source>
        <translation>Fechar</translation>
    </message>
    <message>
        <source>Checking your USB stick. Please wait. Please do not disconnect your USB stick.</source>
        <translation>A verificar a pen USB. Aguarde. Não desligue a pen USB.</translation>
    </message>
    <message>
        <source>Insufficient memory space available on the USB stick. Please create some free memory space.</source>
        <translation>Espaço de memória insuficiente na pen USB. Liberte algum espaço.</translation>
    </message>
    <message>
        <source>The USB stick has been removed while the system was still accessing it. Please reconnect the USB stick</source>
        <translation>A pen USB foi removida enquanto o sistema ainda lhe acedia. Volte a ligar a pen USB</translation>
    </message>
    <message>
        <source>Continue</source>
        <translation>Continuar</translation>
    </message>
    <message>
        <source>Insufficient memory space available on the USB stick. Please use another USB stick with more free memory.</source>
        <translation>Espaço de memória insuficiente na pen USB. Utilize outra pen USB com mais espaço livre.</translation>
    </message>
    <message>
        <source>USB stick</source>
        <translation>Pen USB</translation>
    </message>
    <message>
        <source>Connected</source>
        <translation>Ligada</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Erro</translation>
    </message>
    <message>
        <source>Cannot write to USB stick</source>
        <translation>Não é possível escrever na pen USB</translation>
    </message>
    <message>
        <source>Map updates available</source>
        <translation>Atualizações de mapas disponíveis</translation>
    </message>
    <message>
        <source>Checking for map updates</source>
        <translation>A procurar atualizações de mapas</translation>
    </message>
    <message>
        <source>Cannot read from USB stick</source>
        <translation>Não é possível ler a pen USB</translation>
    </message>
    <message>
        <source>Please check your internet connection</source>
        <translation>Verifique a sua ligação à Internet</translation>
    </message>
    <message>
        <source>Map updates ready</source>
        <translation>Atualizações de mapas prontas</translation>
    </message>
    <message>
        <source>Map update server error</source>
        <translation>Erro do servidor de atualizações de mapas</translation>
    </message>
    <message>
        <source>Your vehicle&apos;s navigation system is up to date</source>
        <translation>O sistema de navegação do seu veículo está atualizado</translation>
    </message>
    <message>
        <source>Checking data on USB stick</source>
        <translation>A verificar os dados da pen USB</translation>
    </message>
    <message>
        <source>The USB stick was removed while the application was accessing it</source>
        <translation>A pen USB foi removida enquanto a aplicação lhe acedia</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Definições</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Sair</translation>
    </message>
    <message>
        <source>%1 free of %2</source>
        <translation>%1 livres de %2</translation>
    </message>
    <message>
        <source>Navigation System</source>
        <translation>Sistema de navegação</translation>
    </message>
    <message>
        <source>Cancel map update?</source>
        <translation>Cancelar a atualização de mapa?</translation>
    </message>
    <message>
        <source>Cancelling the map update will delete the map update from the USB stick. For future installation on your vehicle&apos;s navigation system, the map update needs to be downloaded to the USB stick again. Please confirm cancelling this map update.</source>
        <translation>Ao cancelar a atualização de mapa, esta será eliminada da pen USB. Para a instalar mais tarde no sistema de navegação do seu veículo, terá de a transferir novamente para a pen USB. Confirme o cancelamento desta atualização de mapa.</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Sim</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Não</translation>
    </message>
    <message>
        <source>Unsaved changes detected</source>
        <translation>Alterações não guardadas</translation>
    </message>
    <message>
        <source>Unsaved changes detected. Closing this settings window will discard the changes.</source>
        <translation>Existem alterações não guardadas. Se fechar as definições, as alterações serão descartadas.</translation>
    </message>
    <message>
        <source>Yes, discard</source>
        <translation>Sim, descartar</translation>
    </message>
    <message>
        <source>No, go back</source>
        <translation>Não, voltar</translation>
    </message>
    <message>
        <source>Insufficient memory space available on your vehicle&apos;s navigation system</source>
        <translation>Espaço de memória insuficiente no sistema de navegação do seu veículo</translation>
    </message>
    <message>
        <source>Please contact your dealer.</source>
        <translation>Contacte o seu concessionário.</translation>
    </message>
    <message>
        <source>No internet connection</source>
        <translation>Sem ligação à Internet</translation>
    </message>
    <message>
        <source>Downloading map updates requires an internet connection. Please check if the computer is connected to the internet.</source>
        <translation>A transferência de atualizações de mapas requer uma ligação à Internet. Verifique se o computador está ligado à Internet.</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
    <message>
        <source>No USB stick found</source>
        <translation>Nenhuma pen USB encontrada</translation>
    </message>
    <message>
        <source>Connect a USB stick to the computer</source>
        <translation>Ligue uma pen USB ao computador</translation>
    </message>
    <message>
        <source>Quit application</source>
        <translation>Sair da aplicação</translation>
    </message>
    <message>
        <source>The USB stick is in use. Quitting the application results in losing your vehicle&apos;s navigation system map information. To return to the application click No.</source>
        <translation>A pen USB está a ser utilizada. Se sair da aplicação, perderá as informações de mapas do sistema de navegação do seu veículo. Para voltar à aplicação, clique em Não.</translation>
    </message>
    <message>
        <source>Please try again later.</source>
        <translation>Tente novamente mais tarde.</translation>
    </message>
    <message>
        <source>Cancel map update download?</source>
        <translation>Cancelar a transferência da atualização de mapa?</translation>
    </message>
    <message>
        <source>Are you sure you want to cancel the map update download?</source>
        <translation>Tem a certeza de que pretende cancelar a transferência da atualização de mapa?</translation>
    </message>
    <message>
        <source>You can still download a map to restore your system to the latest version you were entitled to. To restore the latest entitled map version click below.</source>
        <translation>Ainda pode transferir um mapa para repor no seu sistema a última versão a que tinha direito. Para restaurar essa versão do mapa, clique abaixo.</translation>
    </message>
    <message>
        <source>Map update download failed due to a device access operation. Please check if all files on the USB stick can be accessed.</source>
        <translation>A transferência da atualização de mapa falhou ao aceder ao dispositivo. Verifique se todos os ficheiros da pen USB estão acessíveis.</translation>
    </message>
    <message>
        <source>Insufficient memory space available</source>
        <translation>Espaço de memória insuficiente</translation>
    </message>
    <message>
        <source>There is insufficient memory space available on the USB stick. Please create some free memory space.</source>
        <translation>A pen USB não tem espaço de memória suficiente. Liberte algum espaço.</translation>
    </message>
    <message>
        <source>%1
Downloading - %2 %
%3 of %4</source>
        <translation>%1
A transferir - %2 %
%3 de %4</translation>
    </message>
    <message>
        <source>Map update</source>
        <translation>Atualização de mapa</translation>
    </message>
    <message>
        <source>%1
Cancelling download - %2 %
%3 of %4</source>
        <translation>%1
A cancelar a transferência - %2 %
%3 de %4</translation>
    </message>
    <message>
        <source>Deleting downloaded map update.</source>
        <translation>A eliminar a atualização de mapa transferida.</translation>
    </message>
    <message>
        <source>Confirm map download</source>
        <translation>Confirmar a transferência do mapa</translation>
    </message>
    <message>
        <source>This map download of %1 will restore the current map.</source>
        <translation>Esta transferência de mapa de %1 irá restaurar o mapa atual.</translation>
    </message>
    <message>
        <source>Confirm optional map update</source>
        <translation>Confirmar a atualização de mapa opcional</translation>
    </message>
    <message>
        <source>This map update download of %1 will refresh the current map with the latest updates.</source>
        <translation>Esta transferência de atualização de %1 irá atualizar o mapa atual com as últimas atualizações.</translation>
    </message>
    <message>
        <source>Confirm mandatory map update</source>
        <translation>Confirmar a atualização de mapa obrigatória</translation>
    </message>
    <message>
        <source>There is insufficient memory space available on the USB stick. Please reconnect an USB stick with at least %1 of free memory space to the vehicle&apos;s navigation system.</source>
        <translation>A pen USB não tem espaço de memória suficiente. Ligue ao sistema de navegação do veículo uma pen USB com pelo menos %1 de espaço livre.</translation>
    </message>
    <message>
        <source>General</source>
        <translation>Geral</translation>
    </message>
    <message>
        <source>Subscription</source>
        <translation>Subscrição</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Acerca de</translation>
    </message>
    <message>
        <source>Language:</source>
        <translation>Idioma:</translation>
    </message>
    <message>
        <source>Save settings</source>
        <translation>Guardar definições</translation>
    </message>
    <message>
        <source>Terms and Conditions</source>
        <translation>Termos e condições</translation>
    </message>
    <message>
        <source>Copyright notices applicable to the use of Vexmar&apos;s map data</source>
        <translation>Avisos de direitos de autor aplicáveis à utilização dos dados de mapas da Vexmar</translation>
    </message>
    <message>
        <source>Report Map Errors</source>
        <translation>Comunicar erros no mapa</translation>
    </message>
    <message>
        <source>Start %APPNAME% when the computer starts (recommended)</source>
        <translation>Iniciar %APPNAME% ao arrancar o computador (recomendado)</translation>
    </message>
    <message>
        <source>Version %1</source>
        <translation>Versão %1</translation>
    </message>
    <message>
        <source>This vehicle is entitled to receive map updates until:</source>
        <translation>Este veículo recebe atualizações de mapas até:</translation>
    </message>
    <message>
        <source>This vehicle is not yet entitled to receive map updates.</source>
        <translation>Este veículo ainda não tem direito a receber atualizações de mapas.</translation>
    </message>
    <message>
        <source>Map update downloading completed</source>
        <translation>Transferência da atualização de mapa concluída</translation>
    </message>
    <message>
        <source>Cancel map update</source>
        <translation>Cancelar atualização</translation>
    </message>
    <message>
        <source>Version %1   |   %2</source>
        <translation>Versão %1   |   %2</translation>
    </message>
    <message>
        <source>Download map</source>
        <translation>Transferir mapa</translation>
    </message>
</context>
</TS>
