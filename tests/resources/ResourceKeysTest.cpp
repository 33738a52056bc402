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

// Key -> first place it is used, from the string literals of the component and the desk.
QMap<QString, QString> keysInSources() {
    static const QRegularExpression literal(QStringLiteral("\"(Q9\\.[A-Za-z0-9_.\\-]+)\""));
    QMap<QString, QString> out;
    const QString root = QStringLiteral(USERDEF_SOURCE_DIR);
    for (const char* folder : {"entry", "common", "catalogue", "itemdef", "archive", "carryover",
                               "cover", "controls", "app"}) {
        QDirIterator it(root + QLatin1Char('/') + QLatin1String(folder),
                        {"*.cpp", "*.h", "*.ui"}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly)) continue;
            const QString text = QString::fromUtf8(file.readAll());
            for (auto m = literal.globalMatch(text); m.hasNext();) {
                const QString key = m.next().captured(1);
                // A key ending in "." is a prefix the code completes (toolbar captions).
                if (key.endsWith(QLatin1Char('.'))) continue;
                if (!out.contains(key)) out.insert(key, path.mid(root.size() + 1));
            }
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

TEST(ResourceKeys, ToolbarCaptionsExistForEveryButton) {
    const QStringList buttons = {"Add", "Delete", "Modify", "Define", "Archive", "MakeVouchSet",
                                 "Refresh", "Print", "Preview", "SaveFile", "SetUp", "Help",
                                 "Exit", "Back", "SaveRs", "Seek", "Filter", "Start", "First",
                                 "Previous", "Next", "Last", "Pos", "Locate", "Edit",
                                 "BatchModify", "About", "Search"};
    for (const QString& language : kLanguages) {
        const ResourceTexts texts(language);
        for (const QString& b : buttons)
            EXPECT_TRUE(texts.contains("Q9.AA.TOOLBAR." + b)) << b.toStdString() << " "
                                                              << language.toStdString();
    }
}
