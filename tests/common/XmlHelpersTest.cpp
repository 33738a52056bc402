// The documents the windows send: each control's value, escaped; what no document can carry is
// named, what it can carry parses back as typed.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDomDocument>
#include <QLabel>
#include <QLineEdit>

#include "common/XmlHelpers.h"
#include "host/Quote.h"
#include "tests/support/HostileTexts.h"

using namespace userdef;

TEST(AppendXmlElement, EachControlGivesItsValueAndNoTextBreaksTheDocument) {
    QWidget window;  // never shown: a control on a tab behind another counts all the same
    QLineEdit edit(&window), lookUp(&window);
    QCheckBox on(&window), off(&window);
    QComboBox combo(&window);
    QLabel label(QStringLiteral("L"), &window);
    on.setChecked(true);
    combo.addItems({QStringLiteral("A"), QStringLiteral("B")});
    combo.setCurrentIndex(1);
    lookUp.setText(QStringLiteral("shown name"));
    lookUp.setProperty("value", QStringLiteral("code-7"));
    for (const QString& text : testsupport::hostileTexts()) {
        SCOPED_TRACE(testsupport::traceText(text));
        edit.setText(text);
        QString xml = QStringLiteral("<r>");
        const std::pair<const char*, const QWidget*> controls[] = {
            {"cName", &edit}, {"bOn", &on}, {"bOff", &off}, {"cKind", &combo},
            {"cLabel", &label}, {"cRef", &lookUp}, {"cNone", nullptr}};
        for (const auto& [name, control] : controls) AppendXmlElement(xml, QString::fromLatin1(name), control);
        QDomDocument doc;
        ASSERT_TRUE(doc.setContent(xml + QStringLiteral("</r>")));
        QStringList values;
        for (QDomElement e = doc.documentElement().firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
            values << e.tagName() + QLatin1Char('=') + e.text();
        EXPECT_EQ(values, (QStringList{QStringLiteral("cName=") + text, "bOn=1", "bOff=0", "cKind=B",
                                       "cLabel=L", "cRef=code-7"}));
    }
}

TEST(XmlUnfitMessage, NamesTheTextAndTheCharacterAndPassesWhatADocumentCarries) {
    const struct {
        QString text;
        const char* code;
    } unfit[] = {{QStringLiteral("x\x01" "y"), "U+0001"},
                 {QStringLiteral("a") + QChar(0xDC00), "U+DC00"},
                 {QStringLiteral("z") + QChar(0xFFFE), "U+FFFE"},
                 {QStringLiteral("&\x1f"), "U+001F"}};
    for (const auto& c : unfit) {
        const QString message = XmlUnfitMessage(QStringLiteral("<r><a>ok</a><b>") + host::xmlText(c.text) +
                                                QStringLiteral("</b></r>"));
        EXPECT_TRUE(message.contains(QLatin1String(c.code))) << message.toStdString();
        EXPECT_TRUE(message.contains(c.text.left(1))) << message.toStdString();  // the text, unescaped
    }
    for (const QString& text : testsupport::hostileTexts()) {
        SCOPED_TRACE(testsupport::traceText(text));
        const QString attribute = QStringLiteral("<r a='") + host::xmlText(text) + QStringLiteral("'/>");
        EXPECT_EQ(XmlUnfitMessage(attribute), QString());
        QDomDocument parsed;
        ASSERT_TRUE(parsed.setContent(attribute));
        EXPECT_EQ(parsed.documentElement().attribute(QStringLiteral("a")), text);
    }
}
