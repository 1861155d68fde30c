#include "FormDocument.h"

#include "editors/Bits.h"
#include "editors/PropertyNumbers.h"
#include "editors/PropertyPage.h"
#include "pages/SettingModels.h"
#include "platform/WholeFileWriter.h"
#include "text/NumberText.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>

#include <algorithm>

namespace kova {

namespace {

// A stored value as the form file writes it, a number in plain decimals.
std::string jsonText(const PropValue& v)
{
    QJsonValue j;
    if (auto b = std::get_if<bool>(&v))
        j = *b;
    else if (auto i = std::get_if<std::int64_t>(&v))
        j = static_cast<qint64>(*i);
    else if (auto d = std::get_if<double>(&v))
        return plainNumber(*d);
    else
        j = QString::fromStdString(std::get<std::string>(v));
    const QByteArray a = QJsonDocument(QJsonArray{j}).toJson(QJsonDocument::Compact);
    return a.mid(1, a.size() - 2).toStdString();
}

// What opening cannot take from one control's stored settings.
std::vector<SettingFault> faultsOf(const std::string& name, PropertyHost& control, const PropertyBag& bag)
{
    std::vector<SettingFault> faults;
    const std::vector<std::string> refused = control.loadSettings(bag);
    auto fault = [&](const PropertyHost::Setting& s) {
        const PropValue v = bag.read(s.key, s.readDefault);
        faults.push_back({name, PropertyBag::lowerKey(s.key), s.member ? s.member : "", v, false,
                          s.member ? numberTextReason(s.member, propText(v)) : ""});
    };
    for (const std::string& key : refused)
        for (const PropertyHost::Setting& s : control.settings())
            if (PropertyBag::lowerKey(s.key) == PropertyBag::lowerKey(key))
                fault(s);
    // A stored number its property's rule refuses (a fraction in a whole
    // number, a sign, a fifth decimal in a scale) is not taken as some other
    // number either.
    const auto refusedText = [](const char* member, const std::string& text) {
        return !numberTextAcceptable(member, text) || !numberTextReason(member, text).empty();
    };
    for (const PropertyHost::Setting& s : control.settings())
        if (bag.contains(s.key) && s.member && refusedText(s.member, propText(bag.read(s.key, s.readDefault))) &&
            std::none_of(refused.begin(), refused.end(), [&](const std::string& key) {
                return PropertyBag::lowerKey(key) == PropertyBag::lowerKey(s.key);
            }))
            fault(s);
    for (const std::string& key : control.unknownKeys(bag))
        faults.push_back({name, key, "", bag.entries().at(key), true, ""});
    return faults;
}

// Takes the faulty entries out of a form's stored settings, so the form is
// read as if they were absent (their keys' read defaults), and lists them.
std::vector<SettingFault> takeFaults(QJsonObject& form)
{
    std::vector<SettingFault> all;
    QJsonObject settings = form.value(QStringLiteral("settings")).toObject();
    const QJsonObject controls = form.value(QStringLiteral("controls")).toObject();
    PropertyStore store;
    if (!store.fromJson(QJsonDocument(settings).toJson().toStdString()))
        return all;  // the reader names what is wrong with it
    for (const auto& [name, bag] : store.bags()) {
        const auto model = makeSettingControl(controls.value(QString::fromStdString(name)).toString().toStdString());
        if (!model)
            continue;
        const std::vector<SettingFault> faults = faultsOf(name, *model, bag);
        QJsonObject stored = settings.value(QString::fromStdString(name)).toObject();
        for (const SettingFault& f : faults)
            for (const QString& key : stored.keys())
                if (PropertyBag::lowerKey(key.toStdString()) == f.key)
                    stored.remove(key);
        settings[QString::fromStdString(name)] = stored;
        all.insert(all.end(), faults.begin(), faults.end());
    }
    form[QStringLiteral("settings")] = settings;
    return all;
}

} // namespace

std::string SettingFault::text() const
{
    return control + ": \"" + key + "\": " + jsonText(value) +
           (unknown ? " is not one of its settings" : why.empty() ? " could not be read" : " " + why);
}

std::unique_ptr<FormDocument> FormDocument::open(const QString& path, QString* error)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        *error = path + QStringLiteral(": ") + f.errorString();
        return nullptr;
    }
    const QByteArray text = f.readAll();
    std::unique_ptr<FormDocument> doc(new FormDocument);
    doc->path_ = path;
    doc->original_ = QJsonDocument::fromJson(text).object();
    QJsonObject taken = doc->original_;
    doc->faults_ = takeFaults(taken);
    const QByteArray readable = doc->faults_.empty() ? text : QJsonDocument(taken).toJson();
    std::string why;
    auto form = readPageForm(readable.toStdString(), QFileInfo(path).completeBaseName().toStdString(), &why);
    if (!form) {
        *error = QString::fromStdString(why);
        return nullptr;
    }
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

QString FormDocument::faultsMessage() const
{
    if (faults_.empty())
        return {};
    QString text = QFileInfo(path_).fileName() + QStringLiteral(": these settings could not be taken:");
    for (const SettingFault& f : faults_)
        text += QStringLiteral("\n") + QString::fromStdString(f.text());
    return text + QStringLiteral("\nThe form cannot be saved until each of them is mended.");
}

void FormDocument::mended(const std::string& instance, const std::string& member)
{
    std::erase_if(faults_, [&](const SettingFault& f) {
        return !f.unknown && !member.empty() && f.control == instance && f.member == member;
    });
}

std::map<std::string, std::string> FormDocument::unreadValues(const std::string& instance) const
{
    std::map<std::string, std::string> values;
    for (const SettingFault& f : faults_)
        if (!f.unknown && !f.member.empty() && f.control == instance)
            values[f.member] = propText(f.value);
    return values;
}

PageForm FormDocument::presentForm(const std::string& instance, const PropertyHost* trial) const
{
    PageForm form = page_->form();
    PropertyStore store;
    for (const auto& [name, kind] : form.controls) {
        const PropertyHost* c = name == instance && trial ? trial : const_cast<FormDocument*>(this)->control(name);
        if (c)
            c->saveSettings(store.bag(name));
    }
    form.settings = store;
    return form;
}

std::vector<std::string> FormDocument::problemsAdded(const std::string& instance, const PropertyHost& trial) const
{
    std::vector<std::string> before, added;
    for (const FormProblem& p : formProblems(presentForm()))
        before.push_back(p.text);
    for (const FormProblem& p : formProblems(presentForm(instance, &trial)))
        if (std::find(before.begin(), before.end(), p.text) == before.end())
            added.push_back(p.text);
    return added;
}

std::vector<std::string> FormDocument::saveRefusals() const
{
    std::vector<std::string> why;
    for (const SettingFault& f : faults_)
        why.push_back(f.text());
    // Settings the sheet would not apply (a hand-edited Min above Max, a
    // width no list offers) are not written either. A control with a value
    // not taken is judged once it is mended, not by the default in its place.
    for (const auto& [name, kind] : page_->form().controls)
        if (const PropertyHost* c = const_cast<FormDocument*>(this)->control(name))
            if (std::none_of(faults_.begin(), faults_.end(),
                             [&](const SettingFault& f) { return !f.unknown && f.control == name; }))
                if (std::string problem = settingsProblem(*c); !problem.empty())
                    why.push_back(name + ": " + problem);
    for (const FormProblem& p : formProblems(presentForm()))
        why.push_back(p.text);
    return why;
}

bool FormDocument::save(const QString& path, QString* error) const
{
    if (const auto why = saveRefusals(); !why.empty()) {
        *error = QFileInfo(path).fileName() + QStringLiteral(" was not saved:");
        for (const std::string& w : why)
            *error += QStringLiteral("\n") + QString::fromStdString(w);
        return false;
    }
    const QByteArray content = text();
    std::string reason;
    if (writeWholeFile(QFile::encodeName(path).toStdString(), std::string_view(content.data(), content.size()),
                       &reason))
        return true;
    *error = path + QStringLiteral(": ") + QString::fromStdString(reason);
    return false;
}

} // namespace kova
