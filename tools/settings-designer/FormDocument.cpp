#include "FormDocument.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QSaveFile>

namespace kova {

std::unique_ptr<FormDocument> FormDocument::open(const QString& path, QString* error)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        *error = path + QStringLiteral(": ") + f.errorString();
        return nullptr;
    }
    const QByteArray text = f.readAll();
    std::string why;
    auto form = readPageForm(text.toStdString(), QFileInfo(path).completeBaseName().toStdString(), &why);
    if (!form) {
        *error = QString::fromStdString(why);
        return nullptr;
    }
    std::unique_ptr<FormDocument> doc(new FormDocument);
    doc->path_ = path;
    doc->original_ = QJsonDocument::fromJson(text).object();
    doc->page_ = std::make_unique<SetpointPage>(std::move(*form), doc->host_);
    return doc;
}

std::string FormDocument::className(const std::string& instance) const
{
    const auto& controls = page_->form().controls;
    auto it = controls.find(instance);
    if (it == controls.end() || it->second == "ComboBox")
        return {};
    return it->second;
}

PropertyHost* FormDocument::control(const std::string& instance)
{
    if (ValueEditorModel* e = page_->editor(instance))
        return e;
    return page_->selector(instance);
}

QByteArray FormDocument::text() const
{
    PropertyStore store;
    const PageForm& form = page_->form();
    for (const auto& [name, kind] : form.controls) {
        PropertyHost* c = const_cast<FormDocument*>(this)->control(name);
        if (!c)
            continue;
        PropertyBag bag;
        c->saveSettings(bag);
        if (!bag.empty() || form.settings.find(name))
            store.bag(name) = bag;
    }
    return canonicalText(original_, store);
}

QByteArray FormDocument::canonicalText(QJsonObject form, const PropertyStore& settings)
{
    form[QStringLiteral("settings")] = QJsonDocument::fromJson(QByteArray::fromStdString(settings.toJson())).object();
    return QJsonDocument(form).toJson(QJsonDocument::Indented);
}

bool FormDocument::save(const QString& path, QString* error) const
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(text()) < 0 || !f.commit()) {
        *error = path + QStringLiteral(": ") + f.errorString();
        return false;
    }
    return true;
}

} // namespace kova
