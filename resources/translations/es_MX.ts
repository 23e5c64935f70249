<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es_MX">
<context>
    <name>SettingsScreenWidget</name>
    <message>
        <source>Report Map Errors</source>
        <translation>Notificar errores del mapa</translation>
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
        <translation>Actualizaciones de mapas</translation>
    </message>
    <message>
        <source>Available maps</source>
        <translation>Mapas disponibles</translation>
    </message>
    <message>
        <source>No maps available</source>
        <translation>No hay mapas disponibles</translation>
    </message>
    <message>
        <source>Available map updates already downloaded.</source>
        <translation>Las actualizaciones de mapas disponibles ya se han descargado.</translation>
    </message>
    <message>
        <source>Optional map updates</source>
        <translation>Actualizaciones de mapas opcionales</translation>
    </message>
    <message>
        <source>Pending map updates</source>
        <translation>Actualizaciones de mapas pendientes</translation>
    </message>
    <message>
        <source>Accessing information on the USB stick</source>
        <translation>Accediendo a la información de la memoria USB</translation>
    </message>
    <message>
        <source>Please do not disconnect the USB stick from the computer</source>
        <translation>No desconecte la memoria USB del ordenador</translation>
    </message>
    <message>
        <source>Map updates ready to be installed on your vehicle&apos;s navigation system</source>
        <translation>Actualizaciones de mapas listas para instalar en el sistema de navegación de su vehículo</translation>
    </message>
    <message>
        <source>To complete installation of map updates, connect the USB stick to your vehicle&apos;s navigation system and follow the instructions on the display.</source>
        <translation>Para completar la instalación de las actualizaciones de mapas, conecte la memoria USB al sistema de navegación de su vehículo y siga las instrucciones de la pantalla.</translation>
    </message>
    <message>
        <source>Cancelling download</source>
        <translation>Cancelando la descarga</translation>
    </message>
    <message>
        <source>Map update required</source>
        <translation>Actualización de mapa necesaria</translation>
    </message>
    <message>
        <source>Update map</source>
        <translation>Actualizar mapa</translation>
    </message>
    <message>
        <source>Downloading map</source>
        <translation>Descargando el mapa</translation>
    </message>
    <message>
        <source>Manage maps</source>
        <translation>Gestionar mapas</translation>
    </message>
    <message>
        <source>Checking for map updates. Please do not disconnect the USB stick.</source>
        <translation>Buscando actualizaciones de mapas. No desconecte la memoria USB.</translation>
    </message>
    <message>
        <source>Something has gone wrong. Please connect the USB stick to your vehicle again.</source>
        <translation>Se ha producido un error. Vuelva a conectar la memoria USB a su vehículo.</translation>
    </message>
    <message>
        <source>See help</source>
        <translation>Ver la ayuda</translation>
    </message>
    <message>
        <source>Checking for map updates requires an internet connection. Please check if the computer is connected to the internet.</source>
        <translation>Para buscar actualizaciones de mapas se necesita una conexión a Internet. Compruebe si el ordenador está conectado a Internet.</translation>
    </message>
    <message>
        <source>Retry</source>
        <translation>Reintentar</translation>
    </message>
    <message>
        <source>Vehicle&apos;s navigation device not registered yet</source>
        <translation>Dispositivo de navegación del vehículo aún no registrado</translation>
    </message>
    <message>
        <source>Your vehicle&apos;s navigation device is not registered yet to receive map updates.</source>
        <translation>El dispositivo de navegación de su vehículo aún no está registrado para recibir actualizaciones de mapas.</translation>
    </message>
    <message>
        <source>Update available</source>
        <translation>Actualización disponible</translation>
    </message>
    <message>
        <source>Update maps</source>
        <translation>Actualizar mapas</translation>
    </message>
    <message>
        <source>This USB stick already contains map updates. Please connect it to your vehicle to transfer the map updates to your navigation system.</source>
        <translation>Esta memoria USB ya contiene actualizaciones de mapas. Conéctela a su vehículo para transferir las actualizaciones de mapas a su sistema de navegación.</translation>
    </message>
    <message>
        <source>Open the main application to download maps for your vehicle&apos;s navigation system.</source>
        <translation>Abra la aplicación principal para descargar mapas para el sistema de navegación de su vehículo.</translation>
    </message>
    <message>
        <source>Open application</source>
        <translation>Abrir la aplicación</translation>
    </message>
    <message>
        <source>Map update server not available</source>
        <translation>Servidor de actualizaciones de mapas no disponible</translation>
    </message>
    <message>
        <source>Something has gone wrong.</source>
        <translation>Se ha producido un error.</translation>
    </message>
    <message>
        <source>Map update subscription expired</source>
        <translation>Suscripción de actualizaciones de mapas caducada</translation>
    </message>
    <message>
        <source>Restore map</source>
        <translation>Restaurar mapa</translation>
    </message>
    <message>
        <source>Your navigation system is up to date</source>
        <translation>Su sistema de navegación está actualizado</translation>
    </message>
    <message>
        <source>Map update download failed</source>
        <translation>Error al descargar la actualización de mapa</translation>
    </message>
    <message>
        <source>Dismiss</source>
        <translation>Cerrar</translation>
    </message>
    <message>
        <source>Checking your USB stick. Please wait. Please do not disconnect your USB stick.</source>
        <translation>Comprobando su memoria USB. Espere, por favor. No desconecte la memoria USB.</translation>
    </message>
    <message>
        <source>Insufficient memory space available on the USB stick. Please create some free memory space.</source>
        <translation>No hay suficiente espacio libre en la memoria USB. Libere espacio.</translation>
    </message>
    <message>
        <source>The USB stick has been removed while the system was still accessing it. Please reconnect the USB stick</source>
        <translation>La memoria USB se ha retirado mientras el sistema aún accedía a ella. Vuelva a conectar la memoria USB</translation>
    </message>
    <message>
        <source>Continue</source>
        <translation>Continuar</translation>
    </message>
    <message>
        <source>Insufficient memory space available on the USB stick. Please use another USB stick with more free memory.</source>
        <translation>No hay suficiente espacio libre en la memoria USB. Utilice otra memoria USB con más espacio libre.</translation>
    </message>
    <message>
        <source>USB stick</source>
        <translation>Memoria USB</translation>
    </message>
    <message>
        <source>Connected</source>
        <translation>Conectada</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Cannot write to USB stick</source>
        <translation>No se puede escribir en la memoria USB</translation>
    </message>
    <message>
        <source>Map updates available</source>
        <translation>Actualizaciones de mapas disponibles</translation>
    </message>
    <message>
        <source>Checking for map updates</source>
        <translation>Buscando actualizaciones de mapas</translation>
    </message>
    <message>
        <source>Cannot read from USB stick</source>
        <translation>No se puede leer la memoria USB</translation>
    </message>
    <message>
        <source>Please check your internet connection</source>
        <translation>Compruebe su conexión a Internet</translation>
    </message>
    <message>
        <source>Map updates ready</source>
        <translation>Actualizaciones de mapas listas</translation>
    </message>
    <message>
        <source>Map update server error</source>
        <translation>Error del servidor de actualizaciones de mapas</translation>
    </message>
    <message>
        <source>Your vehicle&apos;s navigation system is up to date</source>
        <translation>El sistema de navegación de su vehículo está actualizado</translation>
    </message>
    <message>
        <source>Checking data on USB stick</source>
        <translation>Comprobando los datos de la memoria USB</translation>
    </message>
    <message>
        <source>The USB stick was removed while the application was accessing it</source>
        <translation>La memoria USB se retiró mientras la aplicación accedía a ella</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Configuración</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Salir</translation>
    </message>
    <message>
        <source>%1 free of %2</source>
        <translation>%1 libres de %2</translation>
    </message>
    <message>
        <source>Navigation System</source>
        <translation>Sistema de navegación</translation>
    </message>
    <message>
        <source>Cancel map update?</source>
        <translation>¿Cancelar la actualización de mapa?</translation>
    </message>
    <message>
        <source>Cancelling the map update will delete the map update from the USB stick. For future installation on your vehicle&apos;s navigation system, the map update needs to be downloaded to the USB stick again. Please confirm cancelling this map update.</source>
        <translation>Al cancelar la actualización de mapa, esta se eliminará de la memoria USB. Para instalarla más adelante en el sistema de navegación de su vehículo, tendrá que volver a descargarla en la memoria USB. Confirme que desea cancelar esta actualización de mapa.</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Sí</translation>
    </message>
    <message>
        <source>No</source>
        <translation>No</translation>
    </message>
    <message>
        <source>Unsaved changes detected</source>
        <translation>Hay cambios sin guardar</translation>
    </message>
    <message>
        <source>Unsaved changes detected. Closing this settings window will discard the changes.</source>
        <translation>Hay cambios sin guardar. Si cierra la configuración, se descartarán los cambios.</translation>
    </message>
    <message>
        <source>Yes, discard</source>
        <translation>Sí, descartar</translation>
    </message>
    <message>
        <source>No, go back</source>
        <translation>No, volver</translation>
    </message>
    <message>
        <source>Insufficient memory space available on your vehicle&apos;s navigation system</source>
        <translation>No hay suficiente espacio libre en el sistema de navegación de su vehículo</translation>
    </message>
    <message>
        <source>Please contact your dealer.</source>
        <translation>Póngase en contacto con su concesionario.</translation>
    </message>
    <message>
        <source>No internet connection</source>
        <translation>Sin conexión a Internet</translation>
    </message>
    <message>
        <source>Downloading map updates requires an internet connection. Please check if the computer is connected to the internet.</source>
        <translation>Para descargar actualizaciones de mapas se necesita una conexión a Internet. Compruebe si el ordenador está conectado a Internet.</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
    <message>
        <source>No USB stick found</source>
        <translation>No se ha encontrado ninguna memoria USB</translation>
    </message>
    <message>
        <source>Connect a USB stick to the computer</source>
        <translation>Conecte una memoria USB al ordenador</translation>
    </message>
    <message>
        <source>Quit application</source>
        <translation>Salir de la aplicación</translation>
    </message>
    <message>
        <source>The USB stick is in use. Quitting the application results in losing your vehicle&apos;s navigation system map information. To return to the application click No.</source>
        <translation>La memoria USB está en uso. Si sale de la aplicación, se perderá la información de mapas del sistema de navegación de su vehículo. Para volver a la aplicación, haga clic en No.</translation>
    </message>
    <message>
        <source>Please try again later.</source>
        <translation>Inténtelo de nuevo más tarde.</translation>
    </message>
    <message>
        <source>Cancel map update download?</source>
        <translation>¿Cancelar la descarga de la actualización de mapa?</translation>
    </message>
    <message>
        <source>Are you sure you want to cancel the map update download?</source>
        <translation>¿Seguro que desea cancelar la descarga de la actualización de mapa?</translation>
    </message>
    <message>
        <source>You can still download a map to restore your system to the latest version you were entitled to. To restore the latest entitled map version click below.</source>
        <translation>Aún puede descargar un mapa para restaurar en su sistema la última versión a la que tenía derecho. Para restaurar esa versión del mapa, haga clic abajo.</translation>
    </message>
    <message>
        <source>Map update download failed due to a device access operation. Please check if all files on the USB stick can be accessed.</source>
        <translation>La descarga de la actualización de mapa ha fallado al acceder al dispositivo. Compruebe si se puede acceder a todos los archivos de la memoria USB.</translation>
    </message>
    <message>
        <source>Insufficient memory space available</source>
        <translation>Espacio libre insuficiente</translation>
    </message>
    <message>
        <source>There is insufficient memory space available on the USB stick. Please create some free memory space.</source>
        <translation>La memoria USB no tiene suficiente espacio libre. Libere espacio.</translation>
    </message>
    <message>
        <source>%1
Downloading - %2 %
%3 of %4</source>
        <translation>%1
Descargando - %2 %
%3 de %4</translation>
    </message>
    <message>
        <source>Map update</source>
        <translation>Actualización de mapa</translation>
    </message>
    <message>
        <source>%1
Cancelling download - %2 %
%3 of %4</source>
        <translation>%1
Cancelando la descarga - %2 %
%3 de %4</translation>
    </message>
    <message>
        <source>Deleting downloaded map update.</source>
        <translation>Eliminando la actualización de mapa descargada.</translation>
    </message>
    <message>
        <source>Confirm map download</source>
        <translation>Confirmar la descarga del mapa</translation>
    </message>
    <message>
        <source>This map download of %1 will restore the current map.</source>
        <translation>Esta descarga de mapa de %1 restaurará el mapa actual.</translation>
    </message>
    <message>
        <source>Confirm optional map update</source>
        <translation>Confirmar la actualización de mapa opcional</translation>
    </message>
    <message>
        <source>This map update download of %1 will refresh the current map with the latest updates.</source>
        <translation>Esta descarga de actualización de %1 pondrá al día el mapa actual con las últimas actualizaciones.</translation>
    </message>
    <message>
        <source>Confirm mandatory map update</source>
        <translation>Confirmar la actualización de mapa obligatoria</translation>
    </message>
    <message>
        <source>There is insufficient memory space available on the USB stick. Please reconnect an USB stick with at least %1 of free memory space to the vehicle&apos;s navigation system.</source>
        <translation>La memoria USB no tiene suficiente espacio libre. Conecte al sistema de navegación del vehículo una memoria USB con al menos %1 de espacio libre.</translation>
    </message>
    <message>
        <source>General</source>
        <translation>General</translation>
    </message>
    <message>
        <source>Subscription</source>
        <translation>Suscripción</translation>
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
        <translation>Guardar configuración</translation>
    </message>
    <message>
        <source>Terms and Conditions</source>
        <translation>Términos y condiciones</translation>
    </message>
    <message>
        <source>Copyright notices applicable to the use of Vexmar&apos;s map data</source>
        <translation>Avisos de derechos de autor aplicables al uso de los datos de mapas de Vexmar</translation>
    </message>
    <message>
        <source>Report Map Errors</source>
        <translation>Notificar errores del mapa</translation>
    </message>
    <message>
        <source>Start %APPNAME% when the computer starts (recommended)</source>
        <translation>Iniciar %APPNAME% al arrancar el ordenador (recomendado)</translation>
    </message>
    <message>
        <source>Version %1</source>
        <translation>Versión %1</translation>
    </message>
    <message>
        <source>This vehicle is entitled to receive map updates until:</source>
        <translation>Este vehículo recibe actualizaciones de mapas hasta:</translation>
    </message>
    <message>
        <source>This vehicle is not yet entitled to receive map updates.</source>
        <translation>Este vehículo aún no tiene derecho a recibir actualizaciones de mapas.</translation>
    </message>
    <message>
        <source>Map update downloading completed</source>
        <translation>Descarga de la actualización de mapa completada</translation>
    </message>
    <message>
        <source>Cancel map update</source>
        <translation>Cancelar actualización</translation>
    </message>
    <message>
        <source>Version %1   |   %2</source>
        <translation>Versión %1   |   %2</translation>
    </message>
    <message>
        <source>Download map</source>
        <translation>Descargar mapa</translation>
    </message>
</context>
</TS>
