#pragma once
// The settings designer's main window: the open form's page shown inert,
// a click selecting a control (Ctrl-click adding one) with the selection
// outlined, the docks "Controls" (the placed controls by instance name) and
// "Properties" (the property browser), Edit > Property Pages… (also on the
// context menu) and File > Open / Save.

#include "FormDocument.h"

#include <QMainWindow>

#include <memory>
#include <string>
#include <vector>

class QListWidget;
class QScrollArea;

namespace kova {

class PropertyBrowser;
class PropertySheet;
class SetpointPageView;
class SelectionOutline;

class DesignerWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit DesignerWindow(QWidget* parent = nullptr);
    ~DesignerWindow() override;

    bool openForm(const QString& path);
    bool saveForm();

    FormDocument* document() const { return doc_.get(); }
    SetpointPageView* view() const { return view_; }
    QListWidget* controlList() const { return list_; }
    PropertyBrowser* browser() const { return browser_; }
    PropertySheet* sheet() const { return sheet_; }

    const std::vector<std::string>& selection() const { return selected_; }
    void select(const std::string& instance, bool add = false);
    // The property sheet of the selection's class, or the page named.
    PropertySheet* openPropertyPages(const QString& page = {});

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setSelection(std::vector<std::string> names);
    std::vector<PropertyHost*> selectedControls();
    std::string controlAt(const QPoint& viewPos) const;
    void report(const QString& text);

    std::unique_ptr<FormDocument> doc_;
    SetpointPageView* view_ = nullptr;
    SelectionOutline* outline_ = nullptr;
    QScrollArea* scroll_ = nullptr;
    QListWidget* list_ = nullptr;
    PropertyBrowser* browser_ = nullptr;
    PropertySheet* sheet_ = nullptr;
    std::vector<std::string> selected_;
    bool syncing_ = false;
};

} // namespace kova
