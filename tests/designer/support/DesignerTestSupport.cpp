#include "designer/support/DesignerTestSupport.h"

#include "DesignerWindow.h"
#include "pages/SetpointPageView.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>

namespace kova::test {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

QString copyForm(const QString& dir, const QString& form)
{
    const QString copy = QDir(dir).filePath(form + QStringLiteral(".json"));
    QFile::remove(copy);
    QFile::copy(qEnvironmentVariable("KOVA_SOURCE_DIR") + QStringLiteral("/pages/forms/") + form +
                    QStringLiteral(".json"),
                copy);
    QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
    return copy;
}

void setStoredSetting(const QString& path, const QString& control, const QString& key, const QJsonValue& value)
{
    QJsonObject form = QJsonDocument::fromJson(readAll(path)).object();
    QJsonObject settings = form[QStringLiteral("settings")].toObject();
    QJsonObject bag = settings[control].toObject();
    if (value.isUndefined())
        bag.remove(key);
    else
        bag[key] = value;
    settings[control] = bag;
    form[QStringLiteral("settings")] = settings;
    QFile f(path);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(QJsonDocument(form).toJson(QJsonDocument::Indented));
}

QLineEdit* byCaption(QWidget* page, const QString& caption)
{
    for (QLabel* l : page->findChildren<QLabel*>())
        if (l->text() == caption)
            return qobject_cast<QLineEdit*>(l->buddy());
    return nullptr;
}

void clickControl(DesignerWindow& w, const char* name, Qt::KeyboardModifiers mods)
{
    QWidget* c = w.view()->widget(name);
    QTest::mouseClick(w.view(), Qt::LeftButton, mods, c->mapTo(w.view(), c->rect().center()));
}

} // namespace kova::test
