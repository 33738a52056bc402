#include <gtest/gtest.h>

#include <QDomDocument>
#include <QFile>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QTemporaryDir>

#include "common/XmlFile.h"
#include "tests/support/ScopedEnv.h"

using namespace userdef;

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class WriteXmlFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        SetComponentFolder(dir.path());
    }
    void TearDown() override { SetComponentFolder({}); }
    QTemporaryDir dir;
    testsupport::ScopedEnv dataHome{"XDG_DATA_HOME", QFile::encodeName(dir.filePath(QStringLiteral("userdata")))};
};

}  // namespace

// The file keeps its name inside the component folder, whatever the name says, and is replaced.
TEST_F(WriteXmlFileTest, ChineseTextIsWrittenAsGb2312UnderItsDeclarationReplacingTheFile) {
    ASSERT_TRUE(WriteXmlFile(QStringLiteral("<a>first, a longer text</a>"), QStringLiteral("out.xml")));
    QString path;
    ASSERT_TRUE(WriteXmlFile(QStringLiteral("<r a='单据头'>扩展</r>"), QStringLiteral("../escape/out.xml"), &path));
    EXPECT_EQ(path, dir.filePath(QStringLiteral("out.xml")));
    const QByteArray bytes = readAll(path);
    const QByteArray expected = QByteArray("<?xml version='1.0' encoding='gb2312' ?> <r a='") +
                                QByteArray::fromHex("b5a5beddcdb7") + "'>" +
                                QByteArray::fromHex("c0a9d5b9") + "</r>\n";
    EXPECT_EQ(bytes.toHex(), expected.toHex());
    // A standard parser reads it back to the same text through the declaration.
    QDomDocument doc;
    if (QStringDecoder("GB2312").isValid()) {
        ASSERT_TRUE(doc.setContent(bytes));
        EXPECT_EQ(doc.documentElement().text(), QStringLiteral("扩展"));
    }
    QString error;
    EXPECT_FALSE(WriteXmlFile(QStringLiteral("<b/>"), QString(), nullptr, &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST_F(WriteXmlFileTest, TextOutsideGb2312FallsBackToUtf8AndStaysReadable) {
    const QString text = QStringLiteral("<r>") + QString::fromUcs4(U"\U0001F600") +
                         QStringLiteral("한국어 单据</r>");
    QString path;
    ASSERT_TRUE(WriteXmlFile(text, QStringLiteral("out.xml"), &path));
    const QByteArray bytes = readAll(path);
    EXPECT_TRUE(bytes.startsWith("<?xml version='1.0' encoding='utf-8' ?> "));
    EXPECT_TRUE(bytes.endsWith("</r>\n"));
    QDomDocument doc;
    ASSERT_TRUE(doc.setContent(bytes));
    EXPECT_EQ(doc.documentElement().text(),
              QString::fromUcs4(U"\U0001F600") + QStringLiteral("한국어 单据"));
}

TEST_F(WriteXmlFileTest, UnwritableComponentFolderFallsBackToTheUserDataFolder) {
    // A folder below a plain file can never be created, not even by root.
    QFile blocker(dir.filePath(QStringLiteral("plainfile")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    SetComponentFolder(dir.filePath(QStringLiteral("plainfile/component")));
    QString path;
    ASSERT_TRUE(WriteXmlFile(QStringLiteral("<r/>"), QStringLiteral("out.xml"), &path));
    EXPECT_TRUE(path.startsWith(dir.filePath(QStringLiteral("userdata")))) << path.toStdString();
    EXPECT_EQ(readAll(path), QByteArray("<?xml version='1.0' encoding='gb2312' ?> <r/>\n"));

    testsupport::ScopedEnv blocked("XDG_DATA_HOME", QFile::encodeName(dir.filePath(QStringLiteral("plainfile/data"))));
    QString error;
    EXPECT_FALSE(WriteXmlFile(QStringLiteral("<r/>"), QStringLiteral("out.xml"), nullptr, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("plainfile"))) << error.toStdString();
}
