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

// Writes "<?xml version='1.0' encoding='gb2312' ?> " and the text, as one line ended by a line
// break, into fileName in the component's folder, replacing the file. The bytes follow the
// declared encoding; text that GB2312 cannot hold is written as UTF-8 under a utf-8
// declaration. When the component's folder is not writable the file goes to the per-user data
// folder. Returns false with a reason in error when neither can be written; path receives the
// file written.
bool WriteXmlFile(const QString& xmlText, const QString& fileName, QString* path = nullptr,
                  QString* error = nullptr);

// The component's folder (the executable's folder unless set); an empty folder restores it.
QString ComponentFolder();
void SetComponentFolder(const QString& folder);

// The bytes WriteXmlFile writes for a text: declaration, text, line break.
QByteArray XmlFileBytes(const QString& xmlText);

}  // namespace userdef
