#pragma once
// A page form file open in the settings designer: the page built from it
// (controls with their settings loaded, never initialised from a relay),
// and the file written back in its one canonical form - the whole file as
// Qt's indented JSON writes it, its "settings" as the controls save them
// (keys in lower case, write defaults left out), everything else as read.
// It keeps what opening could not take (see SettingFault) and refuses to
// save while any of it, or any problem of the form's consistency check,
// remains.

#include "pages/FormCheck.h"
#include "pages/OfflinePageHost.h"
#include "pages/SetpointPage.h"

#include <QJsonObject>
#include <QString>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace kova {

// A stored setting that opening could not take: a value that does not
// convert (the control holds the key's read default instead) or a key the
// control's settings do not know.
struct SettingFault {
    std::string control;
    std::string key;     // as stored
    std::string member;  // the property the key sets ("" for none)
    PropValue value;     // as stored
    bool unknown = false;
    std::string why;     // why a number is refused ("is negative"; "" when nothing more is known)
    // "PhaseCT(0): \"min\": \"5O\" could not be read", "PhaseCT(0): \"min\": -1 is negative"
    std::string text() const;
};

class FormDocument {
public:
    // Reads a form file; nullptr with error set when it cannot be used.
    static std::unique_ptr<FormDocument> open(const QString& path, QString* error);

    const QString& path() const { return path_; }
    SetpointPage& page() { return *page_; }
    // The class of a placed control ("" for controls without settings).
    std::string className(const std::string& instance) const;
    // The control with settings of that instance name, or nullptr.
    PropertyHost* control(const std::string& instance);

    // The file's text with the controls' present settings.
    QByteArray text() const;
    // Writes text(); refused, with the reasons in error, while saveRefusals()
    // holds any. A failed write leaves the old file, with the path and the
    // system's reason in error.
    bool save(const QString& path, QString* error) const;

    const std::vector<SettingFault>& faults() const { return faults_; }
    // One message listing every fault: file, control, key and value ("" when none).
    QString faultsMessage() const;
    // A property set by the user mends the faulty value stored for it.
    void mended(const std::string& instance, const std::string& member);
    // The stored texts of a control's unreadable values, by property.
    std::map<std::string, std::string> unreadValues(const std::string& instance) const;

    // The form with the controls' present settings; with a trial, that
    // control's settings in place of the instance's.
    PageForm presentForm(const std::string& instance = {}, const PropertyHost* trial = nullptr) const;
    // The consistency problems the trial settings would add to the form.
    std::vector<std::string> problemsAdded(const std::string& instance, const PropertyHost& trial) const;
    // Why the form may not be saved: its faults, settings that leave a
    // control unusable, and consistency problems.
    std::vector<std::string> saveRefusals() const;

    // The canonical text of a form object with the given settings.
    static QByteArray canonicalText(QJsonObject form, const PropertyStore& settings);

private:
    FormDocument() = default;

    QString path_;
    QJsonObject original_;
    OfflinePageHost host_;
    std::unique_ptr<SetpointPage> page_;
    std::vector<SettingFault> faults_;
};

} // namespace kova
