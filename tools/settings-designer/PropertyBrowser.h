#pragma once
// The property browser of the selected control: "Alphabetic" and
// "Categorized" tabs of its properties and values, a description pane, and
// a "…" button on each property bound to a page. Names are sorted
// naturally (Nombre2 before Nombre10) and only values are editable; colours
// show as system-colour names or #RRGGBB and are typed the same way.
//
// A value edited in place passes the property sheet's checks: a value the
// property refuses, one that leaves the control unusable, or one the
// owner's check of the whole form refuses is named in a warning and the old
// value kept; a doubtful one is applied only once the user confirms.

#include "editors/PropertyHost.h"

#include <QWidget>

#include <functional>
#include <map>
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

    // The control shown (nullptr: none) and its class; unread: texts shown
    // in place of the values of those properties (stored values that could
    // not be read).
    void setControl(PropertyHost* control, const std::string& cls,
                    const std::map<std::string, std::string>& unread = {});
    void refresh();
    // Sets a property from its text as the browser does; true when kept.
    bool edit(const std::string& member, const QString& text);

    QTreeWidget* alphabetic() const { return alpha_; }
    QTreeWidget* categorized() const { return grouped_; }
    QLabel* description() const { return description_; }
    QTabWidget* tabs() const { return tabs_; }

    std::function<void(const QString& text)> warn;
    std::function<bool(const QString& question)> ask;
    // Why the control with the trial settings may not be kept ("" when it may).
    std::function<QString(const PropertyHost& trial)> check;

signals:
    void pageRequested(const QString& page);
    void propertyEdited(const QString& member);

private:
    void fill(QTreeWidget* tree, bool grouped);
    void describe(QTreeWidgetItem* item);

    PropertyHost* control_ = nullptr;
    std::string cls_;
    std::map<std::string, std::string> unread_;
    QTabWidget* tabs_ = nullptr;
    QTreeWidget* alpha_ = nullptr;
    QTreeWidget* grouped_ = nullptr;
    QLabel* description_ = nullptr;
    bool filling_ = false;
};

} // namespace kova
