// Every resource key the program uses has a text in every language, and the text files agree.
#include <gtest/gtest.h>

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QSet>

#include "platform/pub/ResourceTexts.h"

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
                               "cover", "history", "controls", "app", "resources/icons"}) {
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

// The text files load without complaint and every language has the same keys, each with a text
// taking the same values.
TEST(ResourceKeys, TextFilesLoadAndTheLanguagesAgree) {
    const ResourceTexts reference(QStringLiteral("zh-CN"));
    ASSERT_GT(reference.count(), 0);
    for (const QString& language : kLanguages) {
        const ResourceTexts texts(language);
        EXPECT_TRUE(texts.loadErrors().isEmpty()) << texts.loadErrors().join("; ").toStdString();
        EXPECT_EQ(texts.keys(), reference.keys()) << language.toStdString();
        for (const QString& key : texts.keys()) {
            EXPECT_FALSE(texts.text(key).isEmpty()) << key.toStdString() << " " << language.toStdString();
            EXPECT_EQ(placeholders(texts.text(key)), placeholders(reference.text(key)))
                << key.toStdString() << " " << language.toStdString();
        }
    }
}
