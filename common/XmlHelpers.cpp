#include "common/XmlHelpers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

#include "common/Globals.h"
#include "common/ShowMsg.h"
#include "host/IPub.h"
#include "host/Quote.h"

namespace userdef {

QString GetXmlAttr(const QDomElement& element, const QString& name, const QString& defaultValue) {
    if (element.isNull()) return {};
    const QString key = name.toLower();
    if (!element.hasAttribute(key)) return defaultValue;
    return element.attribute(key).trimmed();
}

QString ControlValue(const QWidget* control) {
    if (!control) return {};
    if (const auto* check = qobject_cast<const QCheckBox*>(control))
        return check->checkState() == Qt::Checked ? QStringLiteral("1") : QStringLiteral("0");
    const QVariant value = control->property("value");
    if (value.isValid()) return value.toString();
    if (const auto* edit = qobject_cast<const QLineEdit*>(control)) return edit->text();
    if (const auto* combo = qobject_cast<const QComboBox*>(control)) return combo->currentText();
    if (const auto* label = qobject_cast<const QLabel*>(control)) return label->text();
    return control->property("text").toString();
}

void AppendXmlElement(QString& accumulator, const QString& name, const QWidget* control) {
    if (!control) return;
    accumulator += QLatin1Char('<') + name + QLatin1Char('>') +
                   host::xmlText(ControlValue(control)) + QStringLiteral("</") + name +
                   QLatin1Char('>');
}

QString XmlUnfitMessage(const QString& document) {
    const qsizetype at = host::xmlUnfitAt(document);
    if (at < 0) return {};
    // The text that holds it: from the markup before it to the markup after it, as typed.
    const qsizetype from = document.lastIndexOf(QLatin1Char('>'), at) + 1;
    qsizetype to = document.indexOf(QLatin1Char('<'), at);
    if (to < 0) to = document.size();
    QString shown = document.mid(from, to - from);
    for (qsizetype i = host::xmlUnfitAt(shown); i >= 0; i = host::xmlUnfitAt(shown))
        shown[i] = QChar::ReplacementCharacter;
    shown.replace(QStringLiteral("&lt;"), QStringLiteral("<"))
        .replace(QStringLiteral("&gt;"), QStringLiteral(">"))
        .replace(QStringLiteral("&quot;"), QStringLiteral("\""))
        .replace(QStringLiteral("&apos;"), QStringLiteral("'"))
        .replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    const QString code =
        QStringLiteral("U+%1").arg(uint(document.at(at).unicode()), 4, 16, QLatin1Char('0')).toUpper();
    const QString key = QStringLiteral("Q9.AA.ARCHIVE.COMMON.xmltext_unfit");
    return g_Pub ? g_Pub->GetResFormatString(key, {shown, code})
                 : key + QLatin1Char(' ') + shown + QLatin1Char(' ') + code;
}

bool CheckXmlDocument(const QString& document) {
    const QString message = XmlUnfitMessage(document);
    if (message.isEmpty()) return true;
    ShowMsg(message);
    return false;
}

}  // namespace userdef
