#pragma once
// Helpers of the settings designer's tests: form copies to edit, fields
// found by caption, clicks on placed controls.

#include <QJsonValue>
#include <QString>
#include <Qt>

class QLineEdit;
class QWidget;

namespace kova {
class DesignerWindow;
}

namespace kova::test {

QByteArray readAll(const QString& path);
// A writable copy of a built-in form in folder dir; its path.
QString copyForm(const QString& dir, const QString& form);
// Sets key of a control's stored settings in a form file; an undefined
// value removes the key.
void setStoredSetting(const QString& path, const QString& control, const QString& key, const QJsonValue& value);

// The text field whose caption label reads caption.
QLineEdit* byCaption(QWidget* page, const QString& caption);
void clickControl(DesignerWindow& w, const char* name, Qt::KeyboardModifiers mods = {});

} // namespace kova::test
