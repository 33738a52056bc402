// Every resource key the program uses has a text in every language, and the text files agree.
#include <gtest/gtest.h>

#include <QDirIterator>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>

#include "platform/pub/ResourceTexts.h"
#include "resources/texts/Texts.h"

using platform::pub::ResourceTexts;

namespace {

const QStringList kLanguages = {"zh-CN", "zh-TW", "en-US"};

// Key -> first place it is used, from the string literals of the component and the desk, and
// the captions of every toolbar button: those of the toolbar definitions and of the designed
// toolbars, "Q9.AA.TOOLBAR.<name>".
QMap<QString, QString> keysInSources() {
    static const QRegularExpression literal(QStringLiteral("\"(Q9\\.[A-Za-z0-9_.\\-]+)\""));
    static const QRegularExpression definedButton(QStringLiteral("\"key\": *\"(\\w+)\""));
    static const QRegularExpression designedToolbar(
        QStringLiteral("<widget class=\"QToolBar\".*?</widget>"),
        QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression designedButton(QStringLiteral("<addaction name=\"([A-Z]\\w*)\""));
    QMap<QString, QString> out;
    const auto add = [&](const QString& key, const QString& path) {
        if (!out.contains(key)) out.insert(key, path);
    };
    const QString root = QStringLiteral(USERDEF_SOURCE_DIR);
    for (const char* folder : {"entry", "common", "catalogue", "itemdef", "archive", "carryover",
                               "cover", "controls", "app", "resources/icons"}) {
        QDirIterator it(root + QLatin1Char('/') + QLatin1String(folder),
                        {"*.cpp", "*.h", "*.ui", "toolbars.json"}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly)) continue;
            const QString text = QString::fromUtf8(file.readAll());
            const QString where = path.mid(root.size() + 1);
            // A key ending in "." is a prefix the code completes (the toolbar captions).
            for (auto m = literal.globalMatch(text); m.hasNext();)
                if (const QString key = m.next().captured(1); !key.endsWith(QLatin1Char('.'))) add(key, where);
            QStringList buttons;
            if (path.endsWith(QLatin1String(".json")))
                for (auto m = definedButton.globalMatch(text); m.hasNext();) buttons << m.next().captured(1);
            for (auto bar = designedToolbar.globalMatch(text); bar.hasNext();)
                for (auto m = designedButton.globalMatch(bar.next().captured(0)); m.hasNext();)
                    buttons << m.next().captured(1);
            for (const QString& b : buttons) add(QStringLiteral("Q9.AA.TOOLBAR.") + b, where);
        }
    }
    return out;
}

QSet<QString> placeholders(const QString& text) {
    static const QRegularExpression re(QStringLiteral("%(\\d+)"));
    QSet<QString> out;
    for (auto m = re.globalMatch(text); m.hasNext();) out.insert(m.next().captured(0));
    return out;
}

}  // namespace

TEST(ResourceKeys, EveryKeyTheSourcesUseHasATextInEveryLanguage) {
    const QMap<QString, QString> used = keysInSources();
    ASSERT_FALSE(used.isEmpty()) << "no keys found under " << USERDEF_SOURCE_DIR;
    for (const QString& language : kLanguages) {
        const ResourceTexts texts(language);
        for (auto it = used.begin(); it != used.end(); ++it)
            EXPECT_TRUE(texts.contains(it.key()) && !texts.text(it.key()).isEmpty())
                << it.key().toStdString() << " (used in " << it.value().toStdString()
                << ") has no " << language.toStdString() << " text";
    }
}

TEST(ResourceKeys, TextFilesAreValidAndTheLanguagesAgree) {
    QMap<QString, QMap<QString, QJsonObject>> areas;  // area -> language -> texts
    for (const QString& language : kLanguages) {
        const QStringList files = resources::texts::files(language);
        ASSERT_FALSE(files.isEmpty()) << language.toStdString();
        for (const QString& path : files) {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
            QJsonParseError error;
            const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &error);
            ASSERT_TRUE(doc.isObject()) << path.toStdString() << ": "
                                        << error.errorString().toStdString();
            const QString area = QFileInfo(path).fileName().section('.', 0, 0);
            areas[area][language] = doc.object();
        }
        EXPECT_TRUE(ResourceTexts(language).loadErrors().isEmpty())
            << ResourceTexts(language).loadErrors().join("; ").toStdString();
    }
    for (auto area = areas.begin(); area != areas.end(); ++area) {
        const QJsonObject reference = area->value("zh-CN");
        for (const QString& language : kLanguages) {
            const QJsonObject texts = area->value(language);
            EXPECT_EQ(texts.keys(), reference.keys())
                << area.key().toStdString() << " differs in " << language.toStdString();
            for (const QString& key : texts.keys()) {
                const QString text = texts.value(key).toString();
                EXPECT_FALSE(text.isEmpty()) << key.toStdString() << " " << language.toStdString();
                // A format text takes the same values in every language.
                EXPECT_EQ(placeholders(text), placeholders(reference.value(key).toString()))
                    << key.toStdString() << " " << language.toStdString();
            }
        }
    }
}
