#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDomDocument>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QWidget>
#include <memory>

#include "common/XmlHelpers.h"
#include "host/Quote.h"

using namespace userdef;

namespace {

QDomElement rootOf(QDomDocument& doc, const QString& text) {
    doc.setContent(text);
    return doc.documentElement();
}

}  // namespace

TEST(GetXmlAttr, ReadsTheLowerCaseNameTrimmed) {
    QDomDocument doc;
    const QDomElement root = rootOf(doc, QStringLiteral("<Para classcode='  01 ' Other='x'/>"));
    EXPECT_EQ(GetXmlAttr(root, QStringLiteral("ClassCode")), QStringLiteral("01"));
    EXPECT_EQ(GetXmlAttr(root, QStringLiteral("classcode"), QStringLiteral("d")),
              QStringLiteral("01"));
    // Looked up under the lower-cased name only: "Other" is not "other".
    EXPECT_EQ(GetXmlAttr(root, QStringLiteral("Other"), QStringLiteral("d")), QStringLiteral("d"));
    EXPECT_EQ(GetXmlAttr(root, QStringLiteral("missing"), QStringLiteral("dflt")),
              QStringLiteral("dflt"));
    EXPECT_EQ(GetXmlAttr(root, QStringLiteral("missing")), QString());
}

TEST(GetXmlAttr, MissingElementGivesEmptyTextEvenWithADefault) {
    EXPECT_EQ(GetXmlAttr(QDomElement(), QStringLiteral("classcode"), QStringLiteral("dflt")),
              QString());
    QDomDocument broken;
    EXPECT_EQ(GetXmlAttr(rootOf(broken, QStringLiteral("<Para classcode='1'")),
                         QStringLiteral("classcode"), QStringLiteral("dflt")),
              QString());
}

class AppendXmlElementTest : public ::testing::Test {
protected:
    void SetUp() override {
        window = std::make_unique<QWidget>();  // never shown, as under a test
        layout = new QVBoxLayout(window.get());
    }
    template <class W>
    W* add() {
        auto* w = new W(window.get());
        layout->addWidget(w);
        return w;
    }
    std::unique_ptr<QWidget> window;
    QVBoxLayout* layout = nullptr;
};

TEST_F(AppendXmlElementTest, TakesEachControlsValue) {
    auto* edit = add<QLineEdit>();
    edit->setText(QStringLiteral("名称"));
    auto* check = add<QCheckBox>();
    check->setChecked(true);
    auto* unchecked = add<QCheckBox>();
    auto* combo = add<QComboBox>();
    combo->addItems({QStringLiteral("A"), QStringLiteral("B")});
    combo->setCurrentIndex(1);
    auto* label = add<QLabel>();
    label->setText(QStringLiteral("L"));
    auto* lookUp = add<QLineEdit>();
    lookUp->setText(QStringLiteral("shown name"));
    lookUp->setProperty("value", QStringLiteral("code-7"));

    QString xml = QStringLiteral("<r>");
    AppendXmlElement(xml, QStringLiteral("cName"), edit);
    AppendXmlElement(xml, QStringLiteral("bOn"), check);
    AppendXmlElement(xml, QStringLiteral("bOff"), unchecked);
    AppendXmlElement(xml, QStringLiteral("cKind"), combo);
    AppendXmlElement(xml, QStringLiteral("cLabel"), label);
    AppendXmlElement(xml, QStringLiteral("cRef"), lookUp);
    EXPECT_EQ(xml, QStringLiteral("<r><cName>名称</cName><bOn>1</bOn><bOff>0</bOff><cKind>B</cKind>"
                                  "<cLabel>L</cLabel><cRef>code-7</cRef>"));
}

// The caller names the controls of the document: one on a tab page behind another still counts.
TEST_F(AppendXmlElementTest, HiddenControlsCountAndNullOnesAddNothing) {
    auto* frame = add<QWidget>();
    auto* inner = new QLineEdit(frame);
    inner->setText(QStringLiteral("y"));
    frame->hide();
    QString xml = QStringLiteral("<r>");
    AppendXmlElement(xml, QStringLiteral("b"), inner);
    AppendXmlElement(xml, QStringLiteral("c"), nullptr);
    EXPECT_EQ(xml, QStringLiteral("<r><b>y</b>"));
}

// What no document can carry is found wherever it stands; what it can carry passes and parses.
TEST(XmlUnfitMessage, NamesTheTextAndTheCharacter) {
    const QString lone = QStringLiteral("a") + QChar(0xDC00);
    struct Case {
        QString text;
        const char* code;  // nullptr: fits
    };
    for (const Case& c : {Case{QStringLiteral("x\x01" "y"), "U+0001"}, Case{lone, "U+DC00"},
                          Case{QStringLiteral("z") + QChar(0xFFFE), "U+FFFE"}, Case{QStringLiteral("&\x1f"), "U+001F"},
                          Case{QStringLiteral("tab\tline\nret\r"), nullptr},
                          Case{QString::fromUtf8("\xF0\xA0\x80\x8B<&>"), nullptr}}) {
        const QString doc = QStringLiteral("<r><a>ok</a><b>") + host::xmlText(c.text) +
                            QStringLiteral("</b></r>");
        const QString message = XmlUnfitMessage(doc);
        if (!c.code) {
            EXPECT_TRUE(message.isEmpty()) << message.toStdString();
            QDomDocument parsed;
            ASSERT_TRUE(parsed.setContent(doc)) << doc.toStdString();
            EXPECT_EQ(parsed.documentElement().lastChildElement().text(), c.text);
            const QString attribute = QStringLiteral("<r a='") + host::xmlText(c.text) +
                                      QStringLiteral("'/>");
            ASSERT_TRUE(parsed.setContent(attribute)) << attribute.toStdString();
            EXPECT_EQ(parsed.documentElement().attribute(QStringLiteral("a")), c.text);
            continue;
        }
        EXPECT_TRUE(message.contains(QLatin1String(c.code))) << message.toStdString();
        EXPECT_TRUE(message.contains(c.text.left(1))) << message.toStdString();  // the text, unescaped
    }
}

TEST_F(AppendXmlElementTest, MarkupInAValueCannotBreakTheDocument) {
    auto* edit = add<QLineEdit>();
    edit->setText(QStringLiteral("a</cName><cId>1</cId>&'\""));
    QString xml = QStringLiteral("<Userdef>");
    AppendXmlElement(xml, QStringLiteral("cName"), edit);
    xml += QStringLiteral("</Userdef>");
    QDomDocument doc;
    ASSERT_TRUE(doc.setContent(xml)) << xml.toStdString();
    const QDomElement root = doc.documentElement();
    EXPECT_EQ(root.childNodes().count(), 1);
    EXPECT_EQ(root.firstChildElement(QStringLiteral("cName")).text(), edit->text());
}
