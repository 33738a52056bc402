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

// Appends <name>value</name> to accumulator, the control's value escaped for XML; a null control
// adds nothing. The caller passes the controls that belong to the document: whether a control
// shows at the moment (another tab page may be in front) does not matter.
void AppendXmlElement(QString& accumulator, const QString& name, const QWidget* control);

// Empty when every character of the document fits XML; else the message that names the text
// holding the first character that does not, and its code ("Q9.AA.ARCHIVE.COMMON.xmltext_unfit").
QString XmlUnfitMessage(const QString& document);
// Shows XmlUnfitMessage, if any, and answers whether the document may go to the server.
bool CheckXmlDocument(const QString& document);

}  // namespace userdef
