#include <gtest/gtest.h>

#include <QRegularExpression>

#include "common/TextHelpers.h"

using namespace userdef;

TEST(TruncateText, CutsToTheLimitWithoutSplittingACharacterAndReportsTheFullLength) {
    const QString emoji = QString::fromUcs4(U"\U0001F600");
    const struct {
        QString text;
        int limit;
        QString cut;
    } cases[] = {
        {QStringLiteral("abcdef"), 4, QStringLiteral("abcd")},
        {QStringLiteral("abcdef"), 6, QStringLiteral("abcdef")},
        {QStringLiteral("abcdef"), 60, QStringLiteral("abcdef")},
        {QString(), 3, QString()},
        {QStringLiteral("abc"), -1, QString()},
        {QStringLiteral("ab") + emoji + QStringLiteral("c"), 3, QStringLiteral("ab")},  // the pair left out whole
        {QStringLiteral("ab") + emoji + QStringLiteral("c"), 4, QStringLiteral("ab") + emoji},
        {QStringLiteral("中文名称"), 2, QStringLiteral("中文")},
    };
    for (const auto& c : cases) {
        QString out = QStringLiteral("stale");
        EXPECT_EQ(TruncateText(c.text, out, c.limit), c.text.size()) << c.text.toStdString();
        EXPECT_EQ(out, c.cut) << c.text.toStdString() << " " << c.limit;
    }
}

TEST(TextToFlag, OnlyTrueValuesGiveOne) {
    for (const QVariant& on : {QVariant("true"), QVariant(" TRUE "), QVariant("1"), QVariant("-1"), QVariant(true)})
        EXPECT_EQ(TextToFlag(on), 1) << on.toString().toStdString();
    for (const QVariant& off : {QVariant("false"), QVariant("0"), QVariant("yes"), QVariant(QString()), QVariant(), QVariant(false)})
        EXPECT_EQ(TextToFlag(off), 0) << off.toString().toStdString();
}

TEST(NewGuidText, RegistryFormWithoutBracesAndRemovedCharacters) {
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}$"))
                    .match(NewGuidText())
                    .hasMatch())
        << NewGuidText().toStdString();
    EXPECT_FALSE(NewGuidText(QStringLiteral("-0123456789")).contains(QRegularExpression("[-0-9]")));
}
