<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="tr_TR">
<context>
    <name>SettingsScreenWidget</name>
    <message>
        <source>Report Map Errors</source>
        <translation>Harita hatalarını bildir</translation>
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
        <translation>Harita güncellemeleri</translation>
    </message>
    <message>
        <source>Available maps</source>
        <translation>Kullanılabilir haritalar</translation>
    </message>
    <message>
        <source>No maps available</source>
        <translation>Kullanılabilir harita yok</translation>
    </message>
    <message>
        <source>Available map updates already downloaded.</source>
        <translation>Mevcut harita güncellemeleri zaten indirildi.</translation>
    </message>
    <message>
        <source>Optional map updates</source>
        <translation>İsteğe bağlı harita güncellemeleri</translation>
    </message>
    <message>
        <source>Pending map updates</source>
        <translation>Bekleyen harita güncellemeleri</translation>
    </message>
    <message>
        <source>Accessing information on the USB stick</source>
        <translation>USB bellekteki bilgilere erişiliyor</translation>
    </message>
    <message>
        <source>Please do not disconnect the USB stick from the computer</source>
        <translation>Lütfen USB belleği bilgisayardan çıkarmayın</translation>
    </message>
    <message>
        <source>Map updates ready to be installed on your vehicle&apos;s navigation system</source>
        <translation>Harita güncellemeleri aracınızın navigasyon sistemine yüklenmeye hazır</translation>
    </message>
    <message>
        <source>To complete installation of map updates, connect the USB stick to your vehicle&apos;s navigation system and follow the instructions on the display.</source>
        <translation>Harita güncellemelerinin kurulumunu tamamlamak için USB belleği aracınızın navigasyon sistemine takın ve ekrandaki talimatları izleyin.</translation>
    </message>
    <message>
        <source>Cancelling download</source>
        <translation>İndirme iptal ediliyor</translation>
    </message>
    <message>
        <source>Map update required</source>
        <translation>Harita güncellemesi gerekli</translation>
    </message>
    <message>
        <source>Update map</source>
        <translation>Haritayı güncelle</translation>
    </message>
    <message>
        <source>Downloading map</source>
        <translation>Harita indiriliyor</translation>
    </message>
    <message>
        <source>Manage maps</source>
        <translation>Haritaları yönet</translation>
    </message>
    <message>
        <source>Checking for map updates. Please do not disconnect the USB stick.</source>
        <translation>Harita güncellemeleri denetleniyor. Lütfen USB belleği çıkarmayın.</translation>
    </message>
    <message>
        <source>Something has gone wrong. Please connect the USB stick to your vehicle again.</source>
        <translation>Bir sorun oluştu. Lütfen USB belleği aracınıza yeniden takın.</translation>
    </message>
    <message>
        <source>See help</source>
        <translation>Yardıma bakın</translation>
    </message>
    <message>
        <source>Checking for map updates requires an internet connection. Please check if the computer is connected to the internet.</source>
        <translation>Harita güncellemelerini denetlemek için internet bağlantısı gerekir. Lütfen bilgisayarın internete bağlı olup olmadığını kontrol edin.</translation>
    </message>
    <message>
        <source>Retry</source>
        <translation>Yeniden dene</translation>
    </message>
    <message>
        <source>Vehicle&apos;s navigation device not registered yet</source>
        <translation>Aracın navigasyon cihazı henüz kayıtlı değil</translation>
    </message>
    <message>
        <source>Your vehicle&apos;s navigation device is not registered yet to receive map updates.</source>
        <translation>Aracınızın navigasyon cihazı henüz harita güncellemesi almak için kayıtlı değil.</translation>
    </message>
    <message>
        <source>Update available</source>
        <translation>Güncelleme var</translation>
    </message>
    <message>
        <source>Update maps</source>
        <translation>Haritaları güncelle</translation>
    </message>
    <message>
        <source>This USB stick already contains map updates. Please connect it to your vehicle to transfer the map updates to your navigation system.</source>
        <translation>Bu USB bellekte zaten harita güncellemeleri var. Harita güncellemelerini navigasyon sisteminize aktarmak için belleği aracınıza takın.</translation>
    </message>
    <message>
        <source>Open the main application to download maps for your vehicle&apos;s navigation system.</source>
        <translation>Aracınızın navigasyon sistemi için harita indirmek üzere ana uygulamayı açın.</translation>
    </message>
    <message>
        <source>Open application</source>
        <translation>Uygulamayı aç</translation>
    </message>
    <message>
        <source>Map update server not available</source>
        <translation>Harita güncelleme sunucusuna ulaşılamıyor</translation>
    </message>
    <message>
        <source>Something has gone wrong.</source>
        <translation>Bir sorun oluştu.</translation>
    </message>
    <message>
        <source>Map update subscription expired</source>
        <translation>Harita güncelleme aboneliğinin süresi doldu</translation>
    </message>
    <message>
        <source>Restore map</source>
        <translation>Haritayı geri yükle</translation>
    </message>
    <message>
        <source>Your navigation system is up to date</source>
        <translation>Navigasyon sisteminiz güncel</translation>
    </message>
    <message>
        <source>Map update download failed</source>
        <translation>Harita güncellemesi indirilemedi</translation>
    </message>
    <message>
        <source>Dismiss</source>
        <translation>Kapat</translation>
    </message>
    <message>
        <source>Checking your USB stick. Please wait. Please do not disconnect your USB stick.</source>
        <translation>USB belleğiniz denetleniyor. Lütfen bekleyin. Lütfen USB belleğinizi çıkarmayın.</translation>
    </message>
    <message>
        <source>Insufficient memory space available on the USB stick. Please create some free memory space.</source>
        <translation>USB bellekte yeterli boş alan yok. Lütfen biraz yer açın.</translation>
    </message>
    <message>
        <source>The USB stick has been removed while the system was still accessing it. Please reconnect the USB stick</source>
        <translation>USB bellek, sistem hâlâ ona erişirken çıkarıldı. Lütfen USB belleği yeniden takın</translation>
    </message>
    <message>
        <source>Continue</source>
        <translation>Devam et</translation>
    </message>
    <message>
        <source>Insufficient memory space available on the USB stick. Please use another USB stick with more free memory.</source>
        <translation>USB bellekte yeterli boş alan yok. Lütfen daha fazla boş alanı olan başka bir USB bellek kullanın.</translation>
    </message>
    <message>
        <source>USB stick</source>
        <translation>USB bellek</translation>
    </message>
    <message>
        <source>Connected</source>
        <translation>Bağlı</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Hata</translation>
    </message>
    <message>
        <source>Cannot write to USB stick</source>
        <translation>USB belleğe yazılamıyor</translation>
    </message>
    <message>
        <source>Map updates available</source>
        <translation>Harita güncellemeleri var</translation>
    </message>
    <message>
        <source>Checking for map updates</source>
        <translation>Harita güncellemeleri denetleniyor</translation>
    </message>
    <message>
        <source>Cannot read from USB stick</source>
        <translation>USB bellekten okunamıyor</translation>
    </message>
    <message>
        <source>Please check your internet connection</source>
        <translation>Lütfen internet bağlantınızı kontrol edin</translation>
    </message>
    <message>
        <source>Map updates ready</source>
        <translation>Harita güncellemeleri hazır</translation>
    </message>
    <message>
        <source>Map update server error</source>
        <translation>Harita güncelleme sunucusu hatası</translation>
    </message>
    <message>
        <source>Your vehicle&apos;s navigation system is up to date</source>
        <translation>Aracınızın navigasyon sistemi güncel</translation>
    </message>
    <message>
        <source>Checking data on USB stick</source>
        <translation>USB bellekteki veriler denetleniyor</translation>
    </message>
    <message>
        <source>The USB stick was removed while the application was accessing it</source>
        <translation>USB bellek, uygulama ona erişirken çıkarıldı</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Ayarlar</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Çıkış</translation>
    </message>
    <message>
        <source>%1 free of %2</source>
        <translation>%1 boş, toplam %2</translation>
    </message>
    <message>
        <source>Navigation System</source>
        <translation>Navigasyon sistemi</translation>
    </message>
    <message>
        <source>Cancel map update?</source>
        <translation>Harita güncellemesi iptal edilsin mi?</translation>
    </message>
    <message>
        <source>Cancelling the map update will delete the map update from the USB stick. For future installation on your vehicle&apos;s navigation system, the map update needs to be downloaded to the USB stick again. Please confirm cancelling this map update.</source>
        <translation>Harita güncellemesini iptal ederseniz güncelleme USB bellekten silinir. Daha sonra aracınızın navigasyon sistemine kurmak için harita güncellemesinin USB belleğe yeniden indirilmesi gerekir. Lütfen bu harita güncellemesinin iptalini onaylayın.</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Evet</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Hayır</translation>
    </message>
    <message>
        <source>Unsaved changes detected</source>
        <translation>Kaydedilmemiş değişiklikler var</translation>
    </message>
    <message>
        <source>Unsaved changes detected. Closing this settings window will discard the changes.</source>
        <translation>Kaydedilmemiş değişiklikler var. Ayarlar kapatılırsa değişiklikler silinecek.</translation>
    </message>
    <message>
        <source>Yes, discard</source>
        <translation>Evet, sil</translation>
    </message>
    <message>
        <source>No, go back</source>
        <translation>Hayır, geri dön</translation>
    </message>
    <message>
        <source>Insufficient memory space available on your vehicle&apos;s navigation system</source>
        <translation>Aracınızın navigasyon sisteminde yeterli bellek alanı yok</translation>
    </message>
    <message>
        <source>Please contact your dealer.</source>
        <translation>Lütfen bayinizle iletişime geçin.</translation>
    </message>
    <message>
        <source>No internet connection</source>
        <translation>İnternet bağlantısı yok</translation>
    </message>
    <message>
        <source>Downloading map updates requires an internet connection. Please check if the computer is connected to the internet.</source>
        <translation>Harita güncellemelerini indirmek için internet bağlantısı gerekir. Lütfen bilgisayarın internete bağlı olup olmadığını kontrol edin.</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>İptal</translation>
    </message>
    <message>
        <source>No USB stick found</source>
        <translation>USB bellek bulunamadı</translation>
    </message>
    <message>
        <source>Connect a USB stick to the computer</source>
        <translation>Bilgisayara bir USB bellek takın</translation>
    </message>
    <message>
        <source>Quit application</source>
        <translation>Uygulamadan çık</translation>
    </message>
    <message>
        <source>The USB stick is in use. Quitting the application results in losing your vehicle&apos;s navigation system map information. To return to the application click No.</source>
        <translation>USB bellek kullanımda. Uygulamadan çıkarsanız aracınızın navigasyon sistemine ait harita bilgileri kaybolur. Uygulamaya dönmek için Hayır&apos;a tıklayın.</translation>
    </message>
    <message>
        <source>Please try again later.</source>
        <translation>Lütfen daha sonra yeniden deneyin.</translation>
    </message>
    <message>
        <source>Cancel map update download?</source>
        <translation>Harita güncellemesinin indirilmesi iptal edilsin mi?</translation>
    </message>
    <message>
        <source>Are you sure you want to cancel the map update download?</source>
        <translation>Harita güncellemesinin indirilmesini iptal etmek istediğinizden emin misiniz?</translation>
    </message>
    <message>
        <source>You can still download a map to restore your system to the latest version you were entitled to. To restore the latest entitled map version click below.</source>
        <translation>Sisteminizi hak kazandığınız son sürüme geri döndürmek için yine de bir harita indirebilirsiniz. Hak kazandığınız son harita sürümünü geri yüklemek için aşağıya tıklayın.</translation>
    </message>
    <message>
        <source>Map update download failed due to a device access operation. Please check if all files on the USB stick can be accessed.</source>
        <translation>Harita güncellemesi, aygıta erişim sırasında indirilemedi. Lütfen USB bellekteki tüm dosyalara erişilebildiğini kontrol edin.</translation>
    </message>
    <message>
        <source>Insufficient memory space available</source>
        <translation>Yetersiz bellek alanı</translation>
    </message>
    <message>
        <source>There is insufficient memory space available on the USB stick. Please create some free memory space.</source>
        <translation>USB bellekte yeterli boş alan yok. Lütfen biraz yer açın.</translation>
    </message>
    <message>
        <source>%1
Downloading - %2 %
%3 of %4</source>
        <translation>%1
İndiriliyor - %%2
%3 / %4</translation>
    </message>
    <message>
        <source>Map update</source>
        <translation>Harita güncellemesi</translation>
    </message>
    <message>
        <source>%1
Cancelling download - %2 %
%3 of %4</source>
        <translation>%1
İndirme iptal ediliyor - %%2
%3 / %4</translation>
    </message>
    <message>
        <source>Deleting downloaded map update.</source>
        <translation>İndirilen harita güncellemesi siliniyor.</translation>
    </message>
    <message>
        <source>Confirm map download</source>
        <translation>Harita indirmeyi onaylayın</translation>
    </message>
    <message>
        <source>This map download of %1 will restore the current map.</source>
        <translation>%1 boyutundaki bu harita indirmesi mevcut haritayı geri yükleyecek.</translation>
    </message>
    <message>
        <source>Confirm optional map update</source>
        <translation>İsteğe bağlı harita güncellemesini onaylayın</translation>
    </message>
    <message>
        <source>This map update download of %1 will refresh the current map with the latest updates.</source>
        <translation>%1 boyutundaki bu harita güncellemesi, mevcut haritayı en son güncellemelerle yenileyecek.</translation>
    </message>
    <message>
        <source>Confirm mandatory map update</source>
        <translation>Zorunlu harita güncellemesini onaylayın</translation>
    </message>
    <message>
        <source>There is insufficient memory space available on the USB stick. Please reconnect an USB stick with at least %1 of free memory space to the vehicle&apos;s navigation system.</source>
        <translation>USB bellekte yeterli boş alan yok. Lütfen aracın navigasyon sistemine en az %1 boş alanı olan bir USB bellek takın.</translation>
    </message>
    <message>
        <source>General</source>
        <translation>Genel</translation>
    </message>
    <message>
        <source>Subscription</source>
        <translation>Abonelik</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Hakkında</translation>
    </message>
    <message>
        <source>Language:</source>
        <translation>Dil:</translation>
    </message>
    <message>
        <source>Save settings</source>
        <translation>Ayarları kaydet</translation>
    </message>
    <message>
        <source>Terms and Conditions</source>
        <translation>Şartlar ve koşullar</translation>
    </message>
    <message>
        <source>Copyright notices applicable to the use of Vexmar&apos;s map data</source>
        <translation>Vexmar harita verilerinin kullanımına ilişkin telif hakkı bildirimleri</translation>
    </message>
    <message>
        <source>Report Map Errors</source>
        <translation>Harita hatalarını bildir</translation>
    </message>
    <message>
        <source>Start %APPNAME% when the computer starts (recommended)</source>
        <translation>Bilgisayar açıldığında %APPNAME% başlatılsın (önerilir)</translation>
    </message>
    <message>
        <source>Version %1</source>
        <translation>Sürüm %1</translation>
    </message>
    <message>
        <source>This vehicle is entitled to receive map updates until:</source>
        <translation>Bu aracın harita güncellemesi alma hakkının bitiş tarihi:</translation>
    </message>
    <message>
        <source>This vehicle is not yet entitled to receive map updates.</source>
        <translation>Bu aracın henüz harita güncellemesi alma hakkı yok.</translation>
    </message>
    <message>
        <source>Map update downloading completed</source>
        <translation>Harita güncellemesinin indirilmesi tamamlandı</translation>
    </message>
    <message>
        <source>Cancel map update</source>
        <translation>Güncellemeyi iptal et</translation>
    </message>
    <message>
        <source>Version %1   |   %2</source>
        <translation>Sürüm %1   |   %2</translation>
    </message>
    <message>
        <source>Download map</source>
        <translation>Haritayı indir</translation>
    </message>
</context>
</TS>
