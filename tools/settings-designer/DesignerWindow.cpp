#include "DesignerWindow.h"

#include "PropertyBrowser.h"
#include "PropertySheet.h"
#include "editors/DesignMetadata.h"
#include "pages/SetpointPageView.h"

#include <QContextMenuEvent>
#include <QDockWidget>
#include <QFileInfo>
#include <QFileDialog>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>

#include <algorithm>
#include <cstdio>

namespace kova {

// Outlines the selected controls over the page.
class SelectionOutline : public QWidget {
public:
    SelectionOutline(SetpointPageView* view) : QWidget(view), view_(view)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        resize(view->size());
        raise();
    }
    std::vector<std::string> names;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setPen(QPen(Qt::blue, 2, Qt::DashLine));
        for (const std::string& n : names)
            if (QWidget* w = view_->widget(n))
                p.drawRect(QRect(w->mapTo(view_, QPoint(0, 0)), w->size()).adjusted(-2, -2, 1, 1));
    }

private:
    SetpointPageView* view_;
};

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

} // namespace

DesignerWindow::DesignerWindow(QWidget* parent) : QMainWindow(parent)
{
    setWindowTitle(PropertySheet::kTitle);
    scroll_ = new QScrollArea;
    setCentralWidget(scroll_);

    list_ = new QListWidget;
    list_->setObjectName(QStringLiteral("controls"));
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    connect(list_, &QListWidget::itemSelectionChanged, this, [this] {
        if (syncing_)
            return;
        std::vector<std::string> names;
        for (int i = 0; i < list_->count(); ++i)
            if (list_->item(i)->isSelected())
                names.push_back(list_->item(i)->text().toStdString());
        setSelection(names);
    });
    auto* controls = new QDockWidget(QStringLiteral("Controls"), this);
    controls->setObjectName(QStringLiteral("ControlsDock"));
    controls->setWidget(list_);
    addDockWidget(Qt::LeftDockWidgetArea, controls);

    browser_ = new PropertyBrowser;
    connect(browser_, &PropertyBrowser::pageRequested, this, [this](const QString& page) { openPropertyPages(page); });
    connect(browser_, &PropertyBrowser::propertyEdited, this, [this] { setWindowModified(true); });
    auto* properties = new QDockWidget(QStringLiteral("Properties"), this);
    properties->setObjectName(QStringLiteral("PropertiesDock"));
    properties->setWidget(browser_);
    addDockWidget(Qt::RightDockWidgetArea, properties);

    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->addAction(QStringLiteral("&Open…"), QKeySequence::Open, this, [this] {
        const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Open Form"), QString(),
                                                          QStringLiteral("Page forms (*.json)"));
        if (!path.isEmpty())
            openForm(path);
    });
    file->addAction(QStringLiteral("&Save"), QKeySequence::Save, this, [this] { saveForm(); });
    file->addSeparator();
    file->addAction(QStringLiteral("&Quit"), QKeySequence::Quit, this, &QWidget::close);
    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    edit->addAction(QStringLiteral("Property Pages…"), this, [this] { openPropertyPages(); });
}

DesignerWindow::~DesignerWindow()
{
    delete sheet_;
    delete scroll_->takeWidget();
}

void DesignerWindow::report(const QString& text)
{
    std::fprintf(stderr, "settings-designer: %s\n", text.toLocal8Bit().constData());
    QMessageBox::warning(this, PropertySheet::kTitle, text);
}

bool DesignerWindow::openForm(const QString& path)
{
    QString error;
    auto doc = FormDocument::open(path, &error);
    if (!doc) {
        report(error);
        return false;
    }
    delete sheet_;
    sheet_ = nullptr;
    selected_.clear();
    browser_->setControl(nullptr, {});
    delete scroll_->takeWidget();
    doc_ = std::move(doc);

    view_ = new SetpointPageView(doc_->page(), nullptr);
    view_->setDesignMode();
    view_->setWindowFlags(Qt::Widget);
    view_->installEventFilter(this);
    scroll_->setWidget(view_);
    outline_ = new SelectionOutline(view_);

    syncing_ = true;
    list_->clear();
    for (const auto& [name, kind] : doc_->page().form().controls)
        list_->addItem(q(name));
    syncing_ = false;
    setWindowTitle(QFileInfo(path).fileName() + QStringLiteral("[*] - ") + PropertySheet::kTitle);
    setWindowModified(false);
    return true;
}

bool DesignerWindow::saveForm()
{
    if (!doc_)
        return false;
    QString error;
    if (!doc_->save(doc_->path(), &error)) {
        report(error);
        return false;
    }
    setWindowModified(false);
    return true;
}

void DesignerWindow::select(const std::string& instance, bool add)
{
    std::vector<std::string> names = add ? selected_ : std::vector<std::string>{};
    if (std::find(names.begin(), names.end(), instance) == names.end())
        names.push_back(instance);
    setSelection(names);
}

void DesignerWindow::setSelection(std::vector<std::string> names)
{
    selected_ = std::move(names);
    syncing_ = true;
    for (int i = 0; i < list_->count(); ++i) {
        const std::string n = list_->item(i)->text().toStdString();
        list_->item(i)->setSelected(std::find(selected_.begin(), selected_.end(), n) != selected_.end());
    }
    syncing_ = false;
    if (outline_) {
        outline_->names = selected_;
        outline_->update();
    }
    if (selected_.empty())
        browser_->setControl(nullptr, {});
    else
        browser_->setControl(doc_->control(selected_.front()), doc_->className(selected_.front()));
    if (sheet_ && sheet_->isVisible())
        sheet_->setSelection(selectedControls());
}

std::vector<PropertyHost*> DesignerWindow::selectedControls()
{
    std::vector<PropertyHost*> out;
    for (const std::string& n : selected_)
        if (PropertyHost* c = doc_->control(n))
            out.push_back(c);
    return out;
}

PropertySheet* DesignerWindow::openPropertyPages(const QString& page)
{
    if (!doc_ || selected_.empty())
        return nullptr;
    const std::string name = page.isEmpty() ? propertyPageOf(doc_->className(selected_.front())) : page.toStdString();
    const PropertyPageDef* def = propertyPageDef(name);
    if (!def)
        return nullptr;
    delete sheet_;
    sheet_ = new PropertySheet(*def, this);
    connect(sheet_, &PropertySheet::applied, this, [this] {
        browser_->refresh();
        setWindowModified(true);
    });
    sheet_->show();
    sheet_->setSelection(selectedControls());
    return sheet_;
}

std::string DesignerWindow::controlAt(const QPoint& viewPos) const
{
    for (const auto& [name, kind] : doc_->page().form().controls) {
        QWidget* w = view_->widget(name);
        if (w && w->isVisible() && QRect(w->mapTo(view_, QPoint(0, 0)), w->size()).contains(viewPos))
            return name;
    }
    return {};
}

bool DesignerWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != view_ || !view_)
        return QMainWindow::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Resize:
        if (outline_)
            outline_->resize(view_->size());
        break;
    case QEvent::MouseButtonPress: {
        auto* me = static_cast<QMouseEvent*>(event);
        const std::string name = controlAt(me->position().toPoint());
        const bool add = me->modifiers() & Qt::ControlModifier;
        if (!name.empty())
            select(name, add);
        else if (!add)
            setSelection({});
        return true;
    }
    case QEvent::ContextMenu: {
        auto* ce = static_cast<QContextMenuEvent*>(event);
        const std::string name = controlAt(ce->pos());
        if (!name.empty() && std::find(selected_.begin(), selected_.end(), name) == selected_.end())
            select(name);
        QMenu menu;
        menu.addAction(QStringLiteral("Property Pages…"), this, [this] { openPropertyPages(); });
        menu.exec(ce->globalPos());
        return true;
    }
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace kova
