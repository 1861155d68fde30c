#pragma once
// The settings designer's main window: the open form's page shown inert,
// a click selecting a control (Ctrl-click adding one) with the selection
// outlined and every control's instance name and register drawn over it
// (cut short to the control's width, the whole text as its tooltip),
// the docks "Controls" (the placed controls by instance name) and
// "Properties" (the property browser), Edit > Property Pages… (also on the
// context menu), File > Open / Save / Quit and View (the docks).
//
// A form that would make a page write one setting over another, or a
// setting its page does not read, write and restore, is refused: the sheet
// and the browser check the whole form before they apply, and Save checks
// it again. Quit, closing the window and Open ask before unsaved edits are
// dropped. The open sheet follows the selection and the browser's edits.

#include "FormDocument.h"

#include <QMainWindow>
#include <QMessageBox>

#include <functional>
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

    // The window's first place: 1400 x 800, or as much of it as the screen's
    // available area holds with room for the window's frame, centred there.
    static QRect initialGeometry(const QRect& available);
    // Sizes and places the window so on its screen (before it is shown).
    void placeOnScreen();

    bool openForm(const QString& path);
    bool saveForm();
    // With unsaved edits, asks "Save changes to <file>?": true when the
    // designer may drop the form (saved or discarded), false to keep it.
    bool maybeSave();

    FormDocument* document() const { return doc_.get(); }
    SetpointPageView* view() const { return view_; }
    SelectionOutline* outline() const { return outline_; }
    QListWidget* controlList() const { return list_; }
    PropertyBrowser* browser() const { return browser_; }
    PropertySheet* sheet() const { return sheet_; }

    const std::vector<std::string>& selection() const { return selected_; }
    void select(const std::string& instance, bool add = false);
    // The property sheet of the selection's class, or the page named.
    PropertySheet* openPropertyPages(const QString& page = {});

    // The boxes and the file dialog the window shows (replaceable for tests).
    std::function<void(const QString& text)> warn;
    std::function<QMessageBox::StandardButton(const QString& question)> askSave;
    std::function<QString()> chooseFile;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void openFromMenu();
    // The first selected control with settings: the one the browser and
    // the sheet show and apply to ("" when none).
    std::string current() const;
    // Why the first selected control may not take the trial settings.
    QString checkTrial(const PropertyHost& trial) const;
    void showInBrowser();
    void propertySet(const std::vector<std::string>& members);
    bool sheetServes(const std::string& instance) const;
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
