#include "PropertyBrowser.h"

#include "PropertySheet.h"
#include "editors/DesignMetadata.h"
#include "editors/PropertyPage.h"

#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <set>

namespace kova {

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

// A typed text as the property's value: a number stays a number where the
// property holds one, anything else goes as text for the property to convert.
PropValue fromText(const std::optional<PropValue>& current, const QString& text)
{
    bool ok = false;
    if (current && std::holds_alternative<std::int64_t>(*current)) {
        const qlonglong n = text.trimmed().toLongLong(&ok);
        if (ok && QString::number(n) == text.trimmed())
            return std::int64_t{n};
    }
    if (current && std::holds_alternative<double>(*current)) {
        const double d = text.trimmed().toDouble(&ok);
        if (ok)
            return d;
    }
    return text.toStdString();
}

} // namespace

PropertyBrowser::PropertyBrowser(QWidget* parent) : QWidget(parent)
{
    warn = [this](const QString& text) { QMessageBox::warning(this, PropertySheet::kTitle, text); };
    auto* layout = new QVBoxLayout(this);
    tabs_ = new QTabWidget;
    alpha_ = new QTreeWidget;
    grouped_ = new QTreeWidget;
    for (QTreeWidget* t : {alpha_, grouped_}) {
        t->setColumnCount(3);
        t->setHeaderLabels({QStringLiteral("Property"), QStringLiteral("Value"), QString()});
        t->header()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
        connect(t, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) { describe(item); });
        connect(t, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int column) {
            if (filling_ || column != 1 || item->data(0, Qt::UserRole).toString().isEmpty())
                return;
            // Edited after the tree has finished with the item (edit rebuilds it).
            const std::string member = item->data(0, Qt::UserRole).toString().toStdString();
            const QString text = item->text(1);
            QMetaObject::invokeMethod(this, [this, member, text] { edit(member, text); }, Qt::QueuedConnection);
        });
    }
    tabs_->addTab(alpha_, QStringLiteral("Alphabetic"));
    tabs_->addTab(grouped_, QStringLiteral("Categorized"));
    layout->addWidget(tabs_, 1);
    description_ = new QLabel;
    description_->setWordWrap(true);
    description_->setObjectName(QStringLiteral("description"));
    layout->addWidget(description_);
}

void PropertyBrowser::setControl(PropertyHost* control, const std::string& cls)
{
    control_ = control;
    cls_ = cls;
    refresh();
}

void PropertyBrowser::refresh()
{
    fill(alpha_, false);
    fill(grouped_, true);
    description_->clear();
}

void PropertyBrowser::fill(QTreeWidget* tree, bool grouped)
{
    filling_ = true;
    tree->clear();
    if (control_) {
        std::set<std::string> members;
        for (const auto& s : control_->settings())
            if (s.member)
                members.insert(s.member);
        std::map<std::string, QTreeWidgetItem*> groups;
        std::vector<std::string> sorted(members.begin(), members.end());
        std::sort(sorted.begin(), sorted.end(), [](const std::string& a, const std::string& b) {
            return QString::compare(q(a), q(b), Qt::CaseInsensitive) < 0;
        });
        for (const std::string& m : sorted) {
            const PropertyInfo info = propertyInfo(cls_, m);
            QTreeWidgetItem* parent = nullptr;
            if (grouped) {
                const std::string g = info.category.empty() ? "Misc" : info.category;
                QTreeWidgetItem*& item = groups[g];
                if (!item) {
                    item = new QTreeWidgetItem(tree, {q(g)});
                    item->setExpanded(true);
                }
                parent = item;
            }
            auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree);
            item->setText(0, q(m));
            item->setData(0, Qt::UserRole, q(m));
            item->setText(1, q(propText(*control_->getProperty(m))));
            item->setFlags(item->flags() | Qt::ItemIsEditable);
            if (!info.boundPage.empty()) {
                auto* more = new QToolButton;
                more->setText(QStringLiteral("…"));
                more->setObjectName(q("more_" + m));
                more->setToolTip(q(info.boundPage));
                const QString page = q(info.boundPage);
                connect(more, &QToolButton::clicked, this, [this, page] { emit pageRequested(page); });
                tree->setItemWidget(item, 2, more);
            }
        }
        if (grouped)
            tree->expandAll();
    }
    filling_ = false;
}

void PropertyBrowser::describe(QTreeWidgetItem* item)
{
    const QString member = item ? item->data(0, Qt::UserRole).toString() : QString();
    description_->setText(member.isEmpty() ? QString()
                                           : q(propertyInfo(cls_, member.toStdString()).description));
}

bool PropertyBrowser::edit(const std::string& member, const QString& text)
{
    if (!control_)
        return false;
    const PropValue v = fromText(control_->getProperty(member), text);
    std::unique_ptr<PropertyHost> trial = scratchCopy(*control_);
    std::string why;
    if (!trial || !trial->setProperty(member, v))
        why = "Invalid value for " + member;
    else if (std::string problem = settingsProblem(*trial); !problem.empty())
        why = "Invalid value for " + member + ": " + problem;
    if (!why.empty()) {
        warn(q(why));
        refresh();
        return false;
    }
    control_->setProperty(member, v);
    refresh();
    emit propertyEdited();
    return true;
}

} // namespace kova
