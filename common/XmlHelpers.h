#pragma once
// XML helpers: attribute look-up, element building from input controls, the debug file.
#include <QDomElement>
#include <QString>

class QWidget;

namespace userdef {

// Empty text when the element is missing; else the attribute looked up under the lower-cased
// name, trimmed, or defaultValue when there is no such attribute.
QString GetXmlAttr(const QDomElement& element, const QString& name,
                   const QString& defaultValue = {});

// The value an input control holds: a check box "1"/"0", a look-up box its "value" property,
// a line edit, choice or label its text.
QString ControlValue(const QWidget* control);

// When the control would be visible with its window (not hidden by itself or a parent),
// appends <name>value</name> to accumulator, the value escaped for XML.
void AppendXmlElement(QString& accumulator, const QString& name, const QWidget* control);

}  // namespace userdef
