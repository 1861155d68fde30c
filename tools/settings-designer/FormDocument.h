#pragma once
// A page form file open in the settings designer: the page built from it
// (controls with their settings loaded, never initialised from a relay),
// and the file written back in its one canonical form - the whole file as
// Qt's indented JSON writes it, its "settings" as the controls save them
// (keys in lower case, write defaults left out), everything else as read.

#include "pages/PageHost.h"
#include "pages/SetpointPage.h"

#include <QJsonObject>
#include <QString>

#include <memory>
#include <string>
#include <vector>

namespace kova {

// A host under which a page never reaches a relay or the program.
class DesignPageHost : public PageHost {
public:
    RegisterImages& images() override { return images_; }
    bool online() const override { return false; }
    bool imprimiendo() const override { return false; }
    void setHabilitaReset(bool) override {}
    void enableMainWindow(bool) override {}
    std::optional<RequestSlot> queueRequest(int, int) override { return std::nullopt; }
    bool requestWaiting(int) const override { return false; }
    void beginStore(const std::vector<RequestSlot>&, const std::vector<int>&) override {}
    void message(const std::string&, const std::string&, Icon) override {}
    void setListener(PageLinkListener*) override {}
    bool comunicando() const override { return false; }
    bool question(const std::string&, const std::string&, Icon) override { return false; }
    bool cerrarPagina() const override { return false; }
    void setCerrarPagina(bool) override {}
    bool Devuelve_Datos(std::int32_t) override { return false; }
    NumOrText DatosDeVariables(std::int16_t) const override { return {}; }
    std::string fileEvent(int, int) const override { return {}; }

private:
    RegisterImages images_;
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
    bool save(const QString& path, QString* error) const;

    // The canonical text of a form object with the given settings.
    static QByteArray canonicalText(QJsonObject form, const PropertyStore& settings);

private:
    FormDocument() = default;

    QString path_;
    QJsonObject original_;
    DesignPageHost host_;
    std::unique_ptr<SetpointPage> page_;
};

} // namespace kova
