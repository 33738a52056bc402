#include "common/XmlHelpers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

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
    if (!control || !control->isVisibleTo(control->window())) return;
    accumulator += QLatin1Char('<') + name + QLatin1Char('>') +
                   host::xmlText(ControlValue(control)) + QStringLiteral("</") + name +
                   QLatin1Char('>');
}

}  // namespace userdef
