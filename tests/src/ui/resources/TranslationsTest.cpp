#include "../UiTest.h"

#include "Config.h"
#include "MainWindow.h"
#include "Settings.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTranslator>
#include <QXmlStreamReader>

#include <map>
#include <utility>

namespace {

const std::vector<QString> locales = {"en_GB", "en_US", "de_DE", "fr_FR", "fr_CA", "es_ES", "es_MX", "pt_PT", "tr_TR"};

class Translation : public ::testing::TestWithParam<QString> {
protected:
    QTemporaryDir dir;
    const Config config {dir.path()};
};

// The markup of a text, sorted: its placeholders ("%1", "%L2", "%n", the
// application name's "%APPNAME%") and its HTML tags. A translation that drops
// or adds one shows a wrong or unfilled text, or breaks the rich text.
QStringList Markup(const QString& text)
{
    static const QRegularExpression markup("%(?:n|L?[0-9]+|[A-Z]+%)|</?[A-Za-z][A-Za-z0-9]*");
    QStringList found;
    auto it = markup.globalMatch(text);
    while (it.hasNext())
        found << it.next().captured(0);
    found.sort();
    return found;
}

struct Entry {
    QString context;
    QString source;
    bool finished = false; // neither unfinished nor left behind by the sources
    QStringList translations; // one, or one per plural form
};

// Every entry of a catalogue with its translated texts.
std::vector<Entry> Entries(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    QXmlStreamReader xml(&file);
    std::vector<Entry> entries;
    QString context;
    bool numerus = false;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (xml.name() == QLatin1String("message")) {
            numerus = xml.attributes().value("numerus") == QLatin1String("yes");
        } else if (xml.name() == QLatin1String("source")) {
            entries.push_back(Entry {context, xml.readElementText(), false, {}});
        } else if (!entries.empty() && xml.name() == QLatin1String("translation")) {
            entries.back().finished = xml.attributes().value("type").isEmpty();
            if (!numerus)
                entries.back().translations << xml.readElementText();
        } else if (!entries.empty() && xml.name() == QLatin1String("numerusform")) {
            entries.back().translations << xml.readElementText();
        }
    }
    EXPECT_FALSE(xml.hasError()) << path.toStdString() << ": " << xml.errorString().toStdString();
    return entries;
}

// The texts the program shows, read from the sources afresh the way the update
// script reads them, so a text added without running the script is caught too.
const std::vector<Entry>& TextsOfTheSources()
{
    static const std::vector<Entry> texts = [] {
        QTemporaryDir dir;
        const QString output = dir.filePath("sources.ts");
        QProcess lupdate;
        lupdate.setWorkingDirectory(TESSALY_SOURCE_DIR);
        lupdate.setProcessChannelMode(QProcess::ForwardedChannels);
        lupdate.start(TESSALY_LUPDATE,
            {"-silent", "-locations", "none", "-extensions", "cpp,h,ui", "src", "Sources", "devicediscovery", "-ts",
                output});
        EXPECT_TRUE(lupdate.waitForFinished(60000));
        EXPECT_EQ(lupdate.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(lupdate.exitCode(), 0);
        return Entries(output);
    }();
    return texts;
}

QString Catalogue(const QString& locale)
{
    return QString(TESSALY_SOURCE_DIR "/resources/translations/%1.ts").arg(locale);
}

} // namespace

// The compiled catalogue sits where the configuration looks, the user can
// switch to it (English is the starting language, so switching to en_GB goes
// through another one first), and the header's capitals follow the language's
// rules: only Turkish capitalises "i" as a dotted capital.
TEST_P(Translation, InstallsAndTheHeaderCapitalisesByItsRules)
{
    EXPECT_EQ(config.FindTranslation(GetParam()), GetParam());
    QTranslator translator;
    ASSERT_TRUE(translator.load(config.GetTranslationFilePath(GetParam())));
    EXPECT_FALSE(translator.isEmpty());
    if (GetParam() == "en_GB") {
        ASSERT_TRUE(Settings::Instance().SetLocale("de_DE"));
    }
    ASSERT_TRUE(Settings::Instance().SetLocale(GetParam()));
    EXPECT_EQ(Settings::Instance().GetLanguage(), GetParam());
    SilentUi ui;
    const Ui::MainWindow window(&ui);
    const QString header = Child<QPushButton>(&window, "pushButtonMapUpdates")->text();
    EXPECT_EQ(header, GetParam() == "tr_TR" ? QString::fromUtf8("HARİTA GÜNCELLEMELERİ") : header.toUpper());
}

// Every text of the sources has a finished, non-empty translation in its
// context, with the markup of its source.
TEST_P(Translation, TranslatesEveryTextOfTheSources)
{
    std::map<std::pair<QString, QString>, Entry> catalogue;
    for (Entry& entry : Entries(Catalogue(GetParam())))
        catalogue[{entry.context, entry.source}] = std::move(entry);
    const std::vector<Entry>& texts = TextsOfTheSources();
    ASSERT_FALSE(texts.empty());
    for (const Entry& text : texts) {
        const std::string where = text.context.toStdString() + ": " + text.source.toStdString();
        const auto found = catalogue.find({text.context, text.source});
        if (found == catalogue.end()) {
            ADD_FAILURE() << "no entry for " << where;
            continue;
        }
        EXPECT_TRUE(found->second.finished) << where;
        EXPECT_FALSE(found->second.translations.isEmpty()) << where;
        for (const QString& translation : found->second.translations) {
            EXPECT_FALSE(translation.isEmpty()) << where;
            EXPECT_EQ(Markup(translation), Markup(text.source)) << where << " -> " << translation.toStdString();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Locales, Translation, ::testing::ValuesIn(locales),
    [](const ::testing::TestParamInfo<QString>& info) { return info.param.toStdString(); });
