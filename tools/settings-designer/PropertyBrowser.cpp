#include "PropertyBrowser.h"

#include "ColourText.h"
#include "PropertySheet.h"
#include "editors/DesignMetadata.h"
#include "editors/PropertyNumbers.h"
#include "editors/PropertyPage.h"

#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cctype>
#include <set>

namespace kova {

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

bool isColour(const std::string& member) { return member.ends_with("Color"); }

// A problem that already names the property it is about is said once;
// the others are said as a problem of the member edited.
std::string refusal(const std::string& member, const std::string& problem)
{
    const std::string prefix = "Invalid value for ";
    return problem.starts_with(prefix) ? problem : prefix + member + ": " + problem;
}

// Names ordered as read: letters without letter case, digit runs by value.
bool naturalLess(const std::string& a, const std::string& b)
{
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (std::isdigit(static_cast<unsigned char>(a[i])) && std::isdigit(static_cast<unsigned char>(b[j]))) {
            std::size_t ie = i, je = j;
            while (ie < a.size() && std::isdigit(static_cast<unsigned char>(a[ie])))
                ++ie;
            while (je < b.size() && std::isdigit(static_cast<unsigned char>(b[je])))
                ++je;
            const std::string x = a.substr(i, ie - i), y = b.substr(j, je - j);
            if (x.size() != y.size() || x != y)
                return x.size() != y.size() ? x.size() < y.size() : x < y;
            i = ie;
            j = je;
            continue;
        }
        const int ca = std::tolower(static_cast<unsigned char>(a[i])), cb = std::tolower(static_cast<unsigned char>(b[j]));
        if (ca != cb)
            return ca < cb;
        ++i;
        ++j;
    }
    return a.size() - i < b.size() - j;
}

// Only the value column opens an editor.
class ValueDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        return index.column() == 1 ? QStyledItemDelegate::createEditor(parent, option, index) : nullptr;
    }
};

QString valueText(const std::string& member, const PropValue& v)
{
    if (isColour(member))
        if (const auto* n = std::get_if<std::int64_t>(&v); n && *n >= 0 && *n <= 0xFFFFFFFFll)
            return colourText(static_cast<std::uint32_t>(*n));
    return q(propText(v));
}

// A typed text as the property's value, as the property pages hand it on:
// the value shown, untouched, stays the value; any other text goes to the
// property to convert with its own rules. A colour is typed by its name or
// as #RRGGBB.
PropValue fromText(const std::string& member, const std::optional<PropValue>& current, const QString& text)
{
    if (isColour(member))
        if (const auto c = colourFromText(text))
            return std::int64_t{*c};
    if (current && text == valueText(member, *current))
        return *current;
    return text.toStdString();
}

} // namespace

PropertyBrowser::PropertyBrowser(QWidget* parent) : QWidget(parent)
{
    warn = [this](const QString& text) { QMessageBox::warning(this, PropertySheet::kTitle, text); };
    ask = [this](const QString& question) {
        return QMessageBox::question(this, PropertySheet::kTitle, question) == QMessageBox::Yes;
    };
    auto* layout = new QVBoxLayout(this);
    tabs_ = new QTabWidget;
    alpha_ = new QTreeWidget;
    grouped_ = new QTreeWidget;
    for (QTreeWidget* t : {alpha_, grouped_}) {
        t->setColumnCount(3);
        t->setHeaderLabels({QStringLiteral("Property"), QStringLiteral("Value"), QString()});
        t->setItemDelegate(new ValueDelegate(t));
        t->setRootIsDecorated(t == grouped_);
        t->header()->setStretchLastSection(false);
        t->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
        t->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
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

void PropertyBrowser::setControl(PropertyHost* control, const std::string& cls,
                                 const std::map<std::string, std::string>& unread)
{
    control_ = control;
    cls_ = cls;
    unread_ = unread;
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
        std::sort(sorted.begin(), sorted.end(), naturalLess);
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
            if (auto u = unread_.find(m); u != unread_.end()) {
                item->setText(1, q(u->second));
                item->setForeground(1, Qt::red);
                item->setToolTip(1, QStringLiteral("The stored value could not be read: set one"));
            } else {
                item->setText(1, valueText(m, *control_->getProperty(m)));
            }
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
    // Wide enough for every name, value and button: nothing is cut off.
    tree->header()->resizeSections(QHeaderView::ResizeToContents);
    tree->setMinimumWidth(2 * tree->frameWidth() + tree->verticalScrollBar()->sizeHint().width() +
                          tree->header()->length());
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
    const PropValue v = fromText(member, control_->getProperty(member), text);
    std::unique_ptr<PropertyHost> trial = scratchCopy(*control_);
    std::string why;
    if (std::string problem = numberTextProblem(member, text.toStdString()); !problem.empty())
        why = problem;
    else if (!numberTextAcceptable(member, text.toStdString()) || !trial || !trial->setProperty(member, v))
        why = "Invalid value for " + member;
    else if (std::string problem = settingsProblem(*trial); !problem.empty())
        why = refusal(member, problem);
    else if (check)
        why = check(*trial).toStdString();
    if (!why.empty()) {
        warn(q(why));
        refresh();
        return false;
    }
    if (const std::string doubt = settingsDoubt(*trial); !doubt.empty() && !(ask && ask(q(doubt)))) {
        refresh();
        return false;
    }
    control_->setProperty(member, v);
    unread_.erase(member);
    refresh();
    emit propertyEdited(q(member));
    return true;
}

} // namespace kova
