#pragma once
// The property sheet: one tab captioned with the page's name, OK, Cancel
// and Apply. Apply is enabled while the page holds edits and exactly one
// control is selected; with several the sheet says "Select one control".
// The page is filled when the sheet is shown and whenever the selection
// changes; the sheet clears the page's changed flag after a successful
// apply. Enter presses OK.
//
// Before it applies, the sheet tries the page on a copy of the control and
// lets its owner check the copy against the rest of the form (check); a
// refusal is shown and nothing is written. Stored values the document could
// not read are shown as stored, so applying refuses them until mended.

#include "editors/PropertyPage.h"

#include <QDialog>

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

class QLabel;
class QPushButton;
class QTabWidget;

namespace kova {

class PropertyPageWidget;

class PropertySheet : public QDialog {
    Q_OBJECT
public:
    explicit PropertySheet(const PropertyPageDef& def, QWidget* parent = nullptr);
    ~PropertySheet() override;

    PropertyPage& page() { return *page_; }
    PropertyPageWidget* pageWidget() const { return widget_; }
    QTabWidget* tabs() const { return tabs_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* applyButton() const { return apply_; }
    QLabel* note() const { return note_; }

    // Fills the page from the selection; unread: texts shown in place of
    // the first control's values of those properties.
    void setSelection(const std::vector<PropertyHost*>& selected,
                      const std::map<std::string, std::string>& unread = {});
    // Fills the page again after a property of the control was set
    // elsewhere: fields the user edited keep their text, except the one of
    // that property.
    void refill(const std::string& member, const std::map<std::string, std::string>& unread = {});
    // Applies the page; true when written.
    bool apply();

    // The boxes the sheet shows (replaceable for tests).
    std::function<void(const QString& text)> warn;
    std::function<bool(const QString& question)> ask;
    // Why a control with the trial settings may not be applied ("" when it may).
    std::function<QString(const PropertyHost& trial)> check;

    static inline const QString kTitle = QStringLiteral("Settings Designer");

signals:
    void applied();

private:
    void updateButtons();
    void showUnread(const std::map<std::string, std::string>& unread);

    std::unique_ptr<PropertyPage> page_;
    std::vector<PropertyHost*> selected_;
    std::set<std::string> userEdited_;
    PropertyPageWidget* widget_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    QLabel* note_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* apply_ = nullptr;
};

} // namespace kova
