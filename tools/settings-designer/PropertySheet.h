#pragma once
// The property sheet: one tab captioned with the page's name, OK, Cancel
// and Apply. Apply is enabled while the page holds edits and exactly one
// control is selected; with several the sheet says "Select one control".
// The page is filled when the sheet is shown and whenever the selection
// changes; the sheet clears the page's changed flag after a successful
// apply.

#include "editors/PropertyPage.h"

#include <QDialog>

#include <functional>
#include <memory>
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

    void setSelection(const std::vector<PropertyHost*>& selected);
    // Applies the page; true when written.
    bool apply();

    // The boxes the sheet shows (replaceable for tests).
    std::function<void(const QString& text)> warn;
    std::function<bool(const QString& question)> ask;

    static inline const QString kTitle = QStringLiteral("Settings Designer");

signals:
    void applied();

private:
    void updateButtons();

    std::unique_ptr<PropertyPage> page_;
    std::vector<PropertyHost*> selected_;
    PropertyPageWidget* widget_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    QLabel* note_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* apply_ = nullptr;
};

} // namespace kova
