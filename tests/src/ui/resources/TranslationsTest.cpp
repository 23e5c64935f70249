#include "../UiTest.h"

// The markup of a text, sorted: its placeholders ("%1", "%L2", "%n", the application name's "%APPNAME%") and its HTML
// tags. A translation that drops or adds one shows a wrong or unfilled text, or breaks the rich text.
static QStringList Markup(const QString& text)
{
    QStringList found;
    for (auto it = QRegularExpression("%(?:n|L?[0-9]+|[A-Z]+%)|</?[A-Za-z][A-Za-z0-9]*").globalMatch(text);
         it.hasNext();)
        found << it.next().captured(0);
    found.sort();
    return found;
}

// By context and source: the translations (one, or one per plural form); none when unfinished or obsolete.
using Entries = std::map<std::pair<QString, QString>, QStringList>;

static Entries Read(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    QXmlStreamReader xml(&file);
    Entries entries;
    QString context;
    QStringList* entry = nullptr;
    bool numerus = false, finished = false;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QString name = xml.name().toString();
        if (name == "name")
            context = xml.readElementText();
        else if (name == "message")
            numerus = xml.attributes().value("numerus") == QLatin1String("yes");
        else if (name == "source")
            entry = &entries[{context, xml.readElementText()}];
        else if (name == "translation")
            finished = xml.attributes().value("type").isEmpty();
        if (entry && finished && name == (numerus ? "numerusform" : "translation"))
            *entry << xml.readElementText();
    }
    EXPECT_FALSE(xml.hasError()) << path.toStdString() << ": " << xml.errorString().toStdString();
    return entries;
}

// The texts the program shows, read from the sources afresh the way the update
// script reads them, so a text added without running the script is caught too.
static const Entries& TextsOfTheSources()
{
    static const Entries texts = [] {
        QTemporaryDir dir;
        QProcess lupdate;
        lupdate.setWorkingDirectory(TESSALY_SOURCE_DIR);
        lupdate.start(TESSALY_LUPDATE,
            {"-silent", "-locations", "none", "-extensions", "cpp,h,ui", "src", "Sources", "devicediscovery", "-ts",
                dir.filePath("sources.ts")});
        EXPECT_TRUE(
            lupdate.waitForFinished(60000) && lupdate.exitStatus() == QProcess::NormalExit && lupdate.exitCode() == 0)
            << lupdate.readAllStandardError().toStdString();
        return Read(dir.filePath("sources.ts"));
    }();
    return texts;
}

class Translation : public ::testing::TestWithParam<QString> { };

// Every text of the sources has a finished translation with its markup; the user can switch to
// the catalogue (from another one for en_GB, the start); only Turkish capitalises "i" dotted.
TEST_P(Translation, CatalogueIsCompleteAndInstalls)
{
    const Entries catalogue = Read(TESSALY_SOURCE_DIR "/resources/translations/" + GetParam() + ".ts");
    ASSERT_FALSE(TextsOfTheSources().empty());
    for (const auto& [text, source] : TextsOfTheSources()) {
        const std::string where = text.first.toStdString() + ": " + text.second.toStdString();
        const auto found = catalogue.find(text);
        ASSERT_NE(found, catalogue.end()) << "no entry for " << where;
        EXPECT_FALSE(found->second.isEmpty()) << "unfinished: " << where;
        for (const QString& translation : found->second) {
            EXPECT_FALSE(translation.isEmpty()) << where;
            EXPECT_EQ(Markup(translation), Markup(text.second)) << where << " -> " << translation.toStdString();
        }
    }
    EXPECT_EQ(Config::Instance().FindTranslation(GetParam()), GetParam());
    QTranslator translator;
    ASSERT_TRUE(translator.load(Config::Instance().GetTranslationFilePath(GetParam())));
    EXPECT_FALSE(translator.isEmpty());
    ASSERT_TRUE(GetParam() != "en_GB" || Settings::Instance().SetLocale("de_DE"));
    ASSERT_TRUE(Settings::Instance().SetLocale(GetParam()));
    EXPECT_EQ(Settings::Instance().GetLanguage(), GetParam());
    SilentUi ui;
    const Ui::MainWindow window(&ui);
    const QString header = Child<QPushButton>(&window, "pushButtonMapUpdates")->text();
    EXPECT_EQ(header, GetParam() == "tr_TR" ? QString::fromUtf8("HARİTA GÜNCELLEMELERİ") : header.toUpper());
}

INSTANTIATE_TEST_SUITE_P(Locales, Translation,
    ::testing::Values("en_GB", "en_US", "de_DE", "fr_FR", "fr_CA", "es_ES", "es_MX", "pt_PT", "tr_TR"),
    [](const ::testing::TestParamInfo<QString>& info) { return info.param.toStdString(); });

// Every text the window and the popup show fits its button or label in every language: a longer translation must
// not be cut off.
class TranslatedTextsFit : public UiTest, public ::testing::WithParamInterface<QString> {
protected:
    void SetUp() override
    {
        Fonts::Load();
        ASSERT_TRUE(Settings::Instance().SetLocale(GetParam()) || GetParam() == "en_GB");
        emit facade->UpdateLocale();
        SelectStick();
        MapStorage::Instance().SetSubscription({QDate(2025, 12, 31), 6'500'000'000, 16'000'000'000});
    }
    void TearDown() override { Settings::Instance().SetLocale("en_GB"); }
    static void Offer(MapInfo::Type type, MapInfo::State state)
    {
        MapStorage::Instance().Clear();
        MapInfo map = Map("offer", type, state);
        map.name = L"Europe West 2023.05";
        Store(map);
    }
    static void Check(QWidget& top, const std::string& scene) // the texts on show that their widget cuts off
    {
        top.grab(); // lays out and polishes what is on show, as painting it would
        QCoreApplication::processEvents(); // word-wrapped labels settle their height after a layout pass
        QStringList clipped;
        for (const QAbstractButton* button : top.findChildren<QAbstractButton*>())
            if (button->isVisibleTo(&top) && !button->text().isEmpty() && button->width() < button->sizeHint().width())
                clipped << button->objectName() + ": " + button->text();
        for (const QLabel* label : top.findChildren<QLabel*>())
            if (label->isVisibleTo(&top) && !label->text().isEmpty()
                && (label->wordWrap() ? label->height() < label->heightForWidth(label->width())
                                      : label->width() < label->sizeHint().width()))
                clipped << label->objectName() + ": " + label->text();
        EXPECT_EQ(clipped, QStringList()) << scene;
    }
};

TEST_P(TranslatedTextsFit, InTheWindowAndThePopup)
{
    const auto roots = [] {
        MapStorage::Instance().Clear();
        for (const char* id : {"eu-west", "eu-east"})
            Store(Map(id, MapInfo::Optional, MapInfo::Available, "EUR", true));
    };
    const auto offer = [](MapInfo::Type type, MapInfo::State state) { return [=] { Offer(type, state); }; };
    const std::tuple<std::function<void()>, State> scenes[]
        = {{roots, State::RootUpdate}, {offer(MapInfo::Optional, MapInfo::Available), State::OptionalUpdate},
            {offer(MapInfo::Installed, MapInfo::Available), State::SubscriptionExpired},
            {offer(MapInfo::Mandatory, MapInfo::Available), State::MandatoryUpdate},
            {offer(MapInfo::Optional, MapInfo::Downloading), State::MapDownload},
            {offer(MapInfo::Optional, MapInfo::Deleting), State::CancelDownload},
            {offer(MapInfo::Optional, MapInfo::Pending), State::PendingUpdate},
            {offer(MapInfo::Optional, MapInfo::Downloading), State::NoConnection},
            {offer(MapInfo::Optional, MapInfo::Downloading), State::ServerError},
            {offer(MapInfo::Installed, MapInfo::Available), State::UpToDate},
            {offer(MapInfo::Installed, MapInfo::Available), State::UsbCheck},
            {offer(MapInfo::Optional, MapInfo::Available), State::UsbBlocked},
            {offer(MapInfo::Optional, MapInfo::Available), State::UsbFull},
            {offer(MapInfo::Optional, MapInfo::Downloading), State::UsbTooSmall}};
    window->resize(800, 600);
    for (const auto& [seed, state] : scenes) {
        seed();
        window->SetState(state);
        window->ShowMapsPage();
        Check(*window, PrintToString(state));
    }
    const std::pair<const char*, std::function<void()>> prompts[]
        = {{"update prompt",
               [this] {
                   Offer(MapInfo::Optional, MapInfo::Available);
                   window->ShowUpdateMapMessage(MapStorage::Instance().GetOptionalMap());
               }},
            {"stop download prompt", [this] { window->ShowStopDownloadMessage(); }},
            {"discard update prompt", [this] { window->ShowDiscardUpdateMessage(); }},
            {"discard settings prompt", [this] { window->ShowDiscardSettingsMessage(false); }},
            {"quit prompt", [this] { window->ShowQuitApplicationMessage(); }},
            {"no stick", [this] { window->SetNoUsb(); }}, {"settings", [this] { window->ShowSettingsPage(); }},
            {"settings, subscription", [this] { Click(Button("pushButtonSubscription")); }},
            {"settings, about", [this] { Click(Button("pushButtonAbout")); }}};
    for (const auto& [scene, show] : prompts) {
        show();
        Check(*window, scene);
    }
    for (int value = 0; value <= static_cast<int>(State::UsbTooSmall); ++value) {
        popup->SetState(static_cast<State>(value));
        popup->show();
        Check(*popup, "popup " + PrintToString(static_cast<State>(value)));
        popup->SetState(State::MapDownload); // releases a held message
    }
}

INSTANTIATE_TEST_SUITE_P(Locales, TranslatedTextsFit,
    ::testing::Values("en_GB", "en_US", "de_DE", "fr_FR", "fr_CA", "es_ES", "es_MX", "pt_PT", "tr_TR"),
    [](const ::testing::TestParamInfo<QString>& info) { return info.param.toStdString(); });
