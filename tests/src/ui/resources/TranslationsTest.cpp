#include "Config.h"
#include "QtPrinters.h"
#include "Settings.h"

#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTranslator>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <memory>

namespace {

const std::vector<QString> locales = {"en_GB", "en_US", "de_DE", "fr_FR", "fr_CA", "es_ES", "es_MX", "pt_PT", "tr_TR"};

class Translation : public ::testing::TestWithParam<QString> {
protected:
    QTemporaryDir dir;
    const Config config {dir.path()};
};

// The placeholders of a text, sorted ("%1", "%L2", "%n"): a translation that
// drops or adds one shows a wrong or unfilled text.
QStringList Markers(const QString& text)
{
    QStringList markers;
    auto it = QRegularExpression("%(n|L?[0-9]+)").globalMatch(text);
    while (it.hasNext())
        markers << it.next().captured(0);
    markers.sort();
    return markers;
}

struct Entry {
    QString source;
    QStringList translations; // one, or one per plural form
};

// Every entry of a catalogue with its translated texts (empty when unfinished).
std::vector<Entry> Entries(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    QXmlStreamReader xml(&file);
    std::vector<Entry> entries;
    bool numerus = false;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("message"))
            numerus = xml.attributes().value("numerus") == QLatin1String("yes");
        else if (xml.name() == QLatin1String("source"))
            entries.push_back(Entry {xml.readElementText(), {}});
        else if (!entries.empty()
            && (xml.name() == QLatin1String("numerusform") || (xml.name() == QLatin1String("translation") && !numerus)))
            entries.back().translations << xml.readElementText();
    }
    EXPECT_FALSE(xml.hasError()) << path.toStdString() << ": " << xml.errorString().toStdString();
    return entries;
}

QString Catalogue(const QString& locale)
{
    return QString(TESSALY_SOURCE_DIR "/resources/translations/%1.ts").arg(locale);
}

} // namespace

// The compiled catalogue sits where the configuration looks and installs.
TEST_P(Translation, Installs)
{
    EXPECT_EQ(config.FindTranslation(GetParam()), GetParam());
    QTranslator translator;
    ASSERT_TRUE(translator.load(config.GetTranslationFilePath(GetParam())));
    EXPECT_FALSE(translator.isEmpty());
    EXPECT_TRUE(QCoreApplication::installTranslator(&translator));
    QCoreApplication::removeTranslator(&translator);
}

// The user can switch to it (English is the starting language, so switching
// to en_GB goes through another one first).
TEST_P(Translation, SettingsSwitchToIt)
{
    Settings settings(dir.filePath("settings.json"), config, Autostart(dir.filePath("autostart"), "tessaly"));
    if (GetParam() == "en_GB") {
        ASSERT_TRUE(settings.SetLocale("de_DE"));
    }
    EXPECT_TRUE(settings.SetLocale(GetParam()));
    EXPECT_EQ(settings.GetLanguage(), GetParam());
}

// Every translated text keeps the placeholders of its source.
TEST_P(Translation, KeepsThePlaceholders)
{
    const std::vector<Entry> entries = Entries(Catalogue(GetParam()));
    EXPECT_FALSE(entries.empty());
    for (const Entry& entry : entries) {
        for (const QString& translation : entry.translations) {
            if (!translation.isEmpty()) {
                EXPECT_EQ(Markers(translation), Markers(entry.source))
                    << entry.source.toStdString() << " -> " << translation.toStdString();
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Locales, Translation, ::testing::ValuesIn(locales),
    [](const ::testing::TestParamInfo<QString>& info) { return info.param.toStdString(); });
