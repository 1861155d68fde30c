#pragma once
// The property browser of the selected control: "Alphabetic" and
// "Categorized" tabs of its properties and values, a description pane, and
// a "…" button on each property bound to a page. A value is edited in
// place; a value the property refuses, or one that leaves the control
// unusable, is named in a warning and the old value kept.

#include "editors/PropertyHost.h"

#include <QWidget>

#include <functional>
#include <string>

class QLabel;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace kova {

class PropertyBrowser : public QWidget {
    Q_OBJECT
public:
    explicit PropertyBrowser(QWidget* parent = nullptr);

    // The control shown (nullptr: none) and its class.
    void setControl(PropertyHost* control, const std::string& cls);
    void refresh();
    // Sets a property from its text as the browser does; true when kept.
    bool edit(const std::string& member, const QString& text);

    QTreeWidget* alphabetic() const { return alpha_; }
    QTreeWidget* categorized() const { return grouped_; }
    QLabel* description() const { return description_; }
    QTabWidget* tabs() const { return tabs_; }

    std::function<void(const QString& text)> warn;

signals:
    void pageRequested(const QString& page);
    void propertyEdited();

private:
    void fill(QTreeWidget* tree, bool grouped);
    void describe(QTreeWidgetItem* item);

    PropertyHost* control_ = nullptr;
    std::string cls_;
    QTabWidget* tabs_ = nullptr;
    QTreeWidget* alpha_ = nullptr;
    QTreeWidget* grouped_ = nullptr;
    QLabel* description_ = nullptr;
    bool filling_ = false;
};

} // namespace kova
