<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_CA">
<context>
    <name>SettingsScreenWidget</name>
    <message>
        <source>Report Map Errors</source>
        <translation>Signaler des erreurs de carte</translation>
    </message>
</context>
<context>
    <name>global</name>
    <message>
        <source>B</source>
        <translation>o</translation>
    </message>
    <message>
        <source>KB</source>
        <translation>Ko</translation>
    </message>
    <message>
        <source>MB</source>
        <translation>Mo</translation>
    </message>
    <message>
        <source>GB</source>
        <translation>Go</translation>
    </message>
    <message>
        <source>TB</source>
        <translation>To</translation>
    </message>
    <message>
        <source>Map updates</source>
        <translation>Mises à jour de cartes</translation>
    </message>
    <message>
        <source>Available maps</source>
        <translation>Cartes disponibles</translation>
    </message>
    <message>
        <source>No maps available</source>
        <translation>Aucune carte disponible</translation>
    </message>
    <message>
        <source>Available map updates already downloaded.</source>
        <translation>Les mises à jour de cartes disponibles ont déjà été téléchargées.</translation>
    </message>
    <message>
        <source>Optional map updates</source>
        <translation>Mises à jour de cartes facultatives</translation>
    </message>
    <message>
        <source>Pending map updates</source>
        <translation>Mises à jour de cartes en attente</translation>
    </message>
    <message>
        <source>Accessing information on the USB stick</source>
        <translation>Accès aux informations de la clé USB</translation>
    </message>
    <message>
        <source>Please do not disconnect the USB stick from the computer</source>
        <translation>Veuillez ne pas débrancher la clé USB de l&apos;ordinateur</translation>
    </message>
    <message>
        <source>Map updates ready to be installed on your vehicle&apos;s navigation system</source>
        <translation>Mises à jour de cartes prêtes à être installées sur le système de navigation de votre véhicule</translation>
    </message>
    <message>
        <source>To complete installation of map updates, connect the USB stick to your vehicle&apos;s navigation system and follow the instructions on the display.</source>
        <translation>Pour terminer l&apos;installation des mises à jour de cartes, branchez la clé USB sur le système de navigation de votre véhicule et suivez les instructions à l&apos;écran.</translation>
    </message>
    <message>
        <source>Cancelling download</source>
        <translation>Annulation du téléchargement</translation>
    </message>
    <message>
        <source>Map update required</source>
        <translation>Mise à jour de carte requise</translation>
    </message>
    <message>
        <source>Update map</source>
        <translation>Mettre à jour la carte</translation>
    </message>
    <message>
        <source>Downloading map</source>
        <translation>Téléchargement de la carte</translation>
    </message>
    <message>
        <source>Manage maps</source>
        <translation>Gérer les cartes</translation>
    </message>
    <message>
        <source>Checking for map updates. Please do not disconnect the USB stick.</source>
        <translation>Recherche de mises à jour de cartes. Veuillez ne pas débrancher la clé USB.</translation>
    </message>
    <message>
        <source>Something has gone wrong. Please connect the USB stick to your vehicle again.</source>
        <translation>Une erreur s&apos;est produite. Veuillez rebrancher la clé USB sur votre véhicule.</translation>
    </message>
    <message>
        <source>See help</source>
        <translation>Voir l&apos;aide</translation>
    </message>
    <message>
        <source>Checking for map updates requires an internet connection. Please check if the computer is connected to the internet.</source>
        <translation>La recherche de mises à jour de cartes nécessite une connexion Internet. Veuillez vérifier que l&apos;ordinateur est connecté à Internet.</translation>
    </message>
    <message>
        <source>Retry</source>
        <translation>Réessayer</translation>
    </message>
    <message>
        <source>Vehicle&apos;s navigation device not registered yet</source>
        <translation>Appareil de navigation du véhicule pas encore enregistré</translation>
    </message>
    <message>
        <source>Your vehicle&apos;s navigation device is not registered yet to receive map updates.</source>
        <translation>L&apos;appareil de navigation de votre véhicule n&apos;est pas encore enregistré pour recevoir des mises à jour de cartes.</translation>
    </message>
    <message>
        <source>Update available</source>
        <translation>Mise à jour disponible</translation>
    </message>
    <message>
        <source>Update maps</source>
        <translation>Mettre à jour les cartes</translation>
    </message>
    <message>
        <source>This USB stick already contains map updates. Please connect it to your vehicle to transfer the map updates to your navigation system.</source>
        <translation>Cette clé USB contient déjà des mises à jour de cartes. Veuillez la brancher sur votre véhicule pour transférer les mises à jour de cartes vers votre système de navigation.</translation>
    </message>
    <message>
        <source>Open the main application to download maps for your vehicle&apos;s navigation system.</source>
        <translation>Ouvrez l&apos;application principale pour télécharger des cartes pour le système de navigation de votre véhicule.</translation>
    </message>
    <message>
        <source>Open application</source>
        <translation>Ouvrir l&apos;application</translation>
    </message>
    <message>
        <source>Map update server not available</source>
        <translation>Serveur de mises à jour de cartes indisponible</translation>
    </message>
    <message>
        <source>Something has gone wrong.</source>
        <translation>Une erreur s&apos;est produite.</translation>
    </message>
    <message>
        <source>Map update subscription expired</source>
        <translation>Abonnement aux mises à jour de cartes expiré</translation>
    </message>
    <message>
        <source>Restore map</source>
        <translation>Restaurer la carte</translation>
    </message>
    <message>
        <source>Your navigation system is up to date</source>
        <translation>Votre système de navigation est à jour</translation>
    </message>
    <message>
        <source>Map update download failed</source>
        <translation>Échec du téléchargement de la mise à jour de carte</translation>
    </message>
    <message>
        <source>Dismiss</source>
        <translation>Fermer</translation>
    </message>
    <message>
        <source>Checking your USB stick. Please wait. Please do not disconnect your USB stick.</source>
        <translation>Vérification de votre clé USB. Veuillez patienter. Veuillez ne pas débrancher votre clé USB.</translation>
    </message>
    <message>
        <source>Insufficient memory space available on the USB stick. Please create some free memory space.</source>
        <translation>Espace mémoire insuffisant sur la clé USB. Veuillez libérer de l&apos;espace.</translation>
    </message>
    <message>
        <source>The USB stick has been removed while the system was still accessing it. Please reconnect the USB stick</source>
        <translation>La clé USB a été retirée alors que le système y accédait encore. Veuillez rebrancher la clé USB</translation>
    </message>
    <message>
        <source>Continue</source>
        <translation>Continuer</translation>
    </message>
    <message>
        <source>Insufficient memory space available on the USB stick. Please use another USB stick with more free memory.</source>
        <translation>Espace mémoire insuffisant sur la clé USB. Veuillez utiliser une autre clé USB disposant de plus d&apos;espace libre.</translation>
    </message>
    <message>
        <source>USB stick</source>
        <translation>Clé USB</translation>
    </message>
    <message>
        <source>Connected</source>
        <translation>Connectée</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Erreur</translation>
    </message>
    <message>
        <source>Cannot write to USB stick</source>
        <translation>Impossible d&apos;écrire sur la clé USB</translation>
    </message>
    <message>
        <source>Map updates available</source>
        <translation>Mises à jour de cartes disponibles</translation>
    </message>
    <message>
        <source>Checking for map updates</source>
        <translation>Recherche de mises à jour de cartes</translation>
    </message>
    <message>
        <source>Cannot read from USB stick</source>
        <translation>Impossible de lire la clé USB</translation>
    </message>
    <message>
        <source>Please check your internet connection</source>
        <translation>Veuillez vérifier votre connexion Internet</translation>
    </message>
    <message>
        <source>Map updates ready</source>
        <translation>Mises à jour de cartes prêtes</translation>
    </message>
    <message>
        <source>Map update server error</source>
        <translation>Erreur du serveur de mises à jour de cartes</translation>
    </message>
    <message>
        <source>Your vehicle&apos;s navigation system is up to date</source>
        <translation>Le système de navigation de votre véhicule est à jour</translation>
    </message>
    <message>
        <source>Checking data on USB stick</source>
        <translation>Vérification des données de la clé USB</translation>
    </message>
    <message>
        <source>The USB stick was removed while the application was accessing it</source>
        <translation>La clé USB a été retirée pendant que l&apos;application y accédait</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Paramètres</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Quitter</translation>
    </message>
    <message>
        <source>%1 free of %2</source>
        <translation>%1 libres sur %2</translation>
    </message>
    <message>
        <source>Navigation System</source>
        <translation>Système de navigation</translation>
    </message>
    <message>
        <source>Cancel map update?</source>
        <translation>Annuler la mise à jour de carte&#xa0;?</translation>
    </message>
    <message>
        <source>Cancelling the map update will delete the map update from the USB stick. For future installation on your vehicle&apos;s navigation system, the map update needs to be downloaded to the USB stick again. Please confirm cancelling this map update.</source>
        <translation>L&apos;annulation de la mise à jour de carte la supprimera de la clé USB. Pour l&apos;installer ultérieurement sur le système de navigation de votre véhicule, il faudra de nouveau la télécharger sur la clé USB. Veuillez confirmer l&apos;annulation de cette mise à jour de carte.</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Oui</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Non</translation>
    </message>
    <message>
        <source>Unsaved changes detected</source>
        <translation>Modifications non enregistrées</translation>
    </message>
    <message>
        <source>Unsaved changes detected. Closing this settings window will discard the changes.</source>
        <translation>Certaines modifications n&apos;ont pas été enregistrées. Si vous fermez les paramètres, elles seront perdues.</translation>
    </message>
    <message>
        <source>Yes, discard</source>
        <translation>Oui, abandonner</translation>
    </message>
    <message>
        <source>No, go back</source>
        <translation>Non, revenir</translation>
    </message>
    <message>
        <source>Insufficient memory space available on your vehicle&apos;s navigation system</source>
        <translation>Espace mémoire insuffisant sur le système de navigation de votre véhicule</translation>
    </message>
    <message>
        <source>Please contact your dealer.</source>
        <translation>Veuillez contacter votre concessionnaire.</translation>
    </message>
    <message>
        <source>No internet connection</source>
        <translation>Aucune connexion Internet</translation>
    </message>
    <message>
        <source>Downloading map updates requires an internet connection. Please check if the computer is connected to the internet.</source>
        <translation>Le téléchargement de mises à jour de cartes nécessite une connexion Internet. Veuillez vérifier que l&apos;ordinateur est connecté à Internet.</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>No USB stick found</source>
        <translation>Aucune clé USB détectée</translation>
    </message>
    <message>
        <source>Connect a USB stick to the computer</source>
        <translation>Branchez une clé USB sur l&apos;ordinateur</translation>
    </message>
    <message>
        <source>Quit application</source>
        <translation>Quitter l&apos;application</translation>
    </message>
    <message>
        <source>The USB stick is in use. Quitting the application results in losing your vehicle&apos;s navigation system map information. To return to the application click No.</source>
        <translation>La clé USB est en cours d&apos;utilisation. Quitter l&apos;application entraînera la perte des informations cartographiques du système de navigation de votre véhicule. Pour revenir à l&apos;application, cliquez sur Non.</translation>
    </message>
    <message>
        <source>Please try again later.</source>
        <translation>Veuillez réessayer plus tard.</translation>
    </message>
    <message>
        <source>Cancel map update download?</source>
        <translation>Annuler le téléchargement de la mise à jour de carte&#xa0;?</translation>
    </message>
    <message>
        <source>Are you sure you want to cancel the map update download?</source>
        <translation>Voulez-vous vraiment annuler le téléchargement de la mise à jour de carte&#xa0;?</translation>
    </message>
    <message>
        <source>You can still download a map to restore your system to the latest version you were entitled to. To restore the latest entitled map version click below.</source>
        <translation>Vous pouvez encore télécharger une carte pour rétablir sur votre système la dernière version à laquelle vous aviez droit. Pour restaurer cette version de carte, cliquez ci-dessous.</translation>
    </message>
    <message>
        <source>Map update download failed due to a device access operation. Please check if all files on the USB stick can be accessed.</source>
        <translation>Le téléchargement de la mise à jour de carte a échoué lors d&apos;un accès au périphérique. Veuillez vérifier que tous les fichiers de la clé USB sont accessibles.</translation>
    </message>
    <message>
        <source>Insufficient memory space available</source>
        <translation>Espace mémoire insuffisant</translation>
    </message>
    <message>
        <source>There is insufficient memory space available on the USB stick. Please create some free memory space.</source>
        <translation>L&apos;espace mémoire disponible sur la clé USB est insuffisant. Veuillez libérer de l&apos;espace.</translation>
    </message>
    <message>
        <source>%1
Downloading - %2 %
%3 of %4</source>
        <translation>%1
Téléchargement - %2 %
%3 sur %4</translation>
    </message>
    <message>
        <source>Map update</source>
        <translation>Mise à jour de carte</translation>
    </message>
    <message>
        <source>%1
Cancelling download - %2 %
%3 of %4</source>
        <translation>%1
Annulation du téléchargement - %2 %
%3 sur %4</translation>
    </message>
    <message>
        <source>Deleting downloaded map update.</source>
        <translation>Suppression de la mise à jour de carte téléchargée.</translation>
    </message>
    <message>
        <source>Confirm map download</source>
        <translation>Confirmer le téléchargement de la carte</translation>
    </message>
    <message>
        <source>This map download of %1 will restore the current map.</source>
        <translation>Ce téléchargement de carte de %1 restaurera la carte actuelle.</translation>
    </message>
    <message>
        <source>Confirm optional map update</source>
        <translation>Confirmer la mise à jour de carte facultative</translation>
    </message>
    <message>
        <source>This map update download of %1 will refresh the current map with the latest updates.</source>
        <translation>Ce téléchargement de mise à jour de %1 actualisera la carte actuelle avec les dernières mises à jour.</translation>
    </message>
    <message>
        <source>Confirm mandatory map update</source>
        <translation>Confirmer la mise à jour de carte obligatoire</translation>
    </message>
    <message>
        <source>There is insufficient memory space available on the USB stick. Please reconnect an USB stick with at least %1 of free memory space to the vehicle&apos;s navigation system.</source>
        <translation>L&apos;espace mémoire disponible sur la clé USB est insuffisant. Veuillez brancher sur le système de navigation du véhicule une clé USB disposant d&apos;au moins %1 d&apos;espace libre.</translation>
    </message>
    <message>
        <source>General</source>
        <translation>Général</translation>
    </message>
    <message>
        <source>Subscription</source>
        <translation>Abonnement</translation>
    </message>
    <message>
        <source>About</source>
        <translation>À propos</translation>
    </message>
    <message>
        <source>Language:</source>
        <translation>Langue&#xa0;:</translation>
    </message>
    <message>
        <source>Save settings</source>
        <translation>Enregistrer les paramètres</translation>
    </message>
    <message>
        <source>Terms and Conditions</source>
        <translation>Conditions générales</translation>
    </message>
    <message>
        <source>Copyright notices applicable to the use of Vexmar&apos;s map data</source>
        <translation>Droits d&apos;auteur des données cartographiques de Vexmar</translation>
    </message>
    <message>
        <source>Report Map Errors</source>
        <translation>Signaler des erreurs de carte</translation>
    </message>
    <message>
        <source>Start %APPNAME% when the computer starts (recommended)</source>
        <translation>Lancer %APPNAME% avec l&apos;ordinateur (recommandé)</translation>
    </message>
    <message>
        <source>Version %1</source>
        <translation>Version %1</translation>
    </message>
    <message>
        <source>This vehicle is entitled to receive map updates until:</source>
        <translation>Ce véhicule reçoit les mises à jour de cartes jusqu&apos;au&#xa0;:</translation>
    </message>
    <message>
        <source>This vehicle is not yet entitled to receive map updates.</source>
        <translation>Ce véhicule n&apos;a pas encore droit aux mises à jour de cartes.</translation>
    </message>
    <message>
        <source>Map update downloading completed</source>
        <translation>Téléchargement de la mise à jour de carte terminé</translation>
    </message>
    <message>
        <source>Cancel map update</source>
        <translation>Annuler la mise à jour</translation>
    </message>
    <message>
        <source>Version %1   |   %2</source>
        <translation>Version %1   |   %2</translation>
    </message>
    <message>
        <source>Download map</source>
        <translation>Télécharger la carte</translation>
    </message>
</context>
</TS>
