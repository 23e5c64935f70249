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
