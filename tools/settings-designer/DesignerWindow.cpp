#include "DesignerWindow.h"

#include "PropertyBrowser.h"
#include "PropertySheet.h"
#include "SelectionOutline.h"
#include "editors/DesignMetadata.h"
#include "platform/StderrLine.h"
#include "pages/PageBehaviour.h"
#include "pages/SetpointPageView.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDockWidget>
#include <QFileInfo>
#include <QFileDialog>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QScreen>
#include <QScrollArea>
#include <QToolTip>

#include <algorithm>

namespace kova {

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

QString lines(const QString& head, const std::vector<std::string>& items)
{
    QString text = head;
    for (const std::string& i : items)
        text += QStringLiteral("\n") + q(i);
    return text;
}

} // namespace

QRect DesignerWindow::initialGeometry(const QRect& available)
{
    // Room for the title bar and the borders the window manager adds.
    constexpr int kBorde = 8, kTitulo = 40;
    const QRect dentro = available.adjusted(kBorde, kTitulo, -kBorde, -kBorde);
    QRect r(QPoint(), QSize(std::min(1400, dentro.width()), std::min(800, dentro.height())).expandedTo(QSize(1, 1)));
    r.moveCenter(dentro.center());
    return r;
}

void DesignerWindow::placeOnScreen()
{
    if (const QScreen* s = screen())
        setGeometry(initialGeometry(s->availableGeometry()));
    else
        resize(1400, 800);
}

DesignerWindow::DesignerWindow(QWidget* parent) : QMainWindow(parent)
{
    setWindowTitle(PropertySheet::kTitle);
    warn = [this](const QString& text) { QMessageBox::warning(this, PropertySheet::kTitle, text); };
    askSave = [this](const QString& question) {
        return QMessageBox::question(this, PropertySheet::kTitle, question,
                                     QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel,
                                     QMessageBox::Save);
    };
    chooseFile = [this] {
        return QFileDialog::getOpenFileName(this, QStringLiteral("Open Form"), QString(),
                                            QStringLiteral("Page forms (*.json)"));
    };
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
    browser_->check = [this](const PropertyHost& trial) { return checkTrial(trial); };
    connect(browser_, &PropertyBrowser::propertyEdited, this,
            [this](const QString& member) { propertySet({member.toStdString()}); });
    auto* properties = new QDockWidget(QStringLiteral("Properties"), this);
    properties->setObjectName(QStringLiteral("PropertiesDock"));
    properties->setWidget(browser_);
    addDockWidget(Qt::RightDockWidgetArea, properties);

    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->addAction(QStringLiteral("&Open…"), QKeySequence::Open, this, [this] { openFromMenu(); })
        ->setObjectName(QStringLiteral("actionOpen"));
    file->addAction(QStringLiteral("&Save"), QKeySequence::Save, this, [this] { saveForm(); })
        ->setObjectName(QStringLiteral("actionSave"));
    file->addSeparator();
    file->addAction(QStringLiteral("&Quit"), QKeySequence::Quit, this, &QWidget::close)
        ->setObjectName(QStringLiteral("actionQuit"));
    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    edit->addAction(QStringLiteral("Property Pages…"), this, [this] { openPropertyPages(); });
    QMenu* viewMenu = menuBar()->addMenu(QStringLiteral("&View"));
    viewMenu->setObjectName(QStringLiteral("menuView"));
    viewMenu->addAction(controls->toggleViewAction());
    viewMenu->addAction(properties->toggleViewAction());
}

DesignerWindow::~DesignerWindow()
{
    delete sheet_;
    delete scroll_->takeWidget();
}

void DesignerWindow::report(const QString& text)
{
    writeStderrLine("settings-designer: " + text.toStdString());
    warn(text);
}

bool DesignerWindow::maybeSave()
{
    if (!doc_ || !isWindowModified())
        return true;
    switch (askSave(QStringLiteral("Save changes to %1?").arg(QFileInfo(doc_->path()).fileName()))) {
    case QMessageBox::Save:
        return saveForm();
    case QMessageBox::Discard:
        return true;
    default:
        return false;
    }
}

void DesignerWindow::closeEvent(QCloseEvent* event)
{
    if (maybeSave())
        event->accept();
    else
        event->ignore();
}

void DesignerWindow::openFromMenu()
{
    if (!maybeSave())
        return;
    const QString path = chooseFile();
    if (!path.isEmpty())
        openForm(path);
}

std::string DesignerWindow::current() const
{
    for (const std::string& n : selected_)
        if (doc_->control(n))
            return n;
    return {};
}

QString DesignerWindow::checkTrial(const PropertyHost& trial) const
{
    if (!doc_ || current().empty())
        return {};
    const std::vector<std::string> added = doc_->problemsAdded(current(), trial);
    return added.empty() ? QString() : lines(QStringLiteral("Not applied:"), added);
}

void DesignerWindow::showInBrowser()
{
    const std::string c = current();
    if (c.empty())
        browser_->setControl(nullptr, {});
    else
        browser_->setControl(doc_->control(c), doc_->className(c), doc_->unreadValues(c));
}

void DesignerWindow::propertySet(const std::vector<std::string>& members)
{
    const std::string c = current();
    if (c.empty())
        return;
    for (const std::string& m : members)
        doc_->mended(c, m);
    setWindowModified(true);
    if (outline_)
        outline_->update();
}

bool DesignerWindow::sheetServes(const std::string& instance) const
{
    const std::string& page = sheet_->page().def().name;
    const std::string cls = doc_->className(instance);
    if (propertyPageOf(cls) == page)
        return true;
    if (PropertyHost* c = doc_->control(instance))
        for (const auto& s : c->settings())
            if (s.member && propertyInfo(cls, s.member).boundPage == page)
                return true;
    return false;
}

bool DesignerWindow::openForm(const QString& path)
{
    QString error;
    auto doc = FormDocument::open(path, &error);
    if (!doc) {
        report(error);
        return false;
    }
    const QString faults = doc->faultsMessage();
    delete sheet_;
    sheet_ = nullptr;
    selected_.clear();
    browser_->setControl(nullptr, {});
    // The outline goes with the page it lies on.
    outline_ = nullptr;
    view_ = nullptr;
    delete scroll_->takeWidget();
    doc_ = std::move(doc);

    view_ = new SetpointPageView(doc_->page(), nullptr);
    view_->setDesignMode();
    view_->setWindowFlags(Qt::Widget);
    view_->installEventFilter(this);
    scroll_->setWidget(view_);
    outline_ = new SelectionOutline(view_);
    outline_->labels = [this] {
        std::vector<std::pair<std::string, QString>> out;
        std::map<std::string, std::string> comboRegisters;
        for (const auto& c : behaviourFor(doc_->page().form().form)->comboBits())
            comboRegisters[c.combo] = c.direccion;
        for (const auto& [name, kind] : doc_->page().form().controls) {
            std::string reg;
            if (PropertyHost* c = doc_->control(name)) {
                if (auto d = c->getProperty("Direccion"))
                    reg = propText(*d);
            } else if (auto it = comboRegisters.find(name); it != comboRegisters.end()) {
                reg = it->second;
            }
            out.emplace_back(name, reg.empty() ? q(name) : q(name + " " + reg));
        }
        return out;
    };

    syncing_ = true;
    list_->clear();
    for (const auto& [name, kind] : doc_->page().form().controls)
        list_->addItem(q(name));
    syncing_ = false;
    setWindowTitle(QFileInfo(path).fileName() + QStringLiteral("[*] - ") + PropertySheet::kTitle);
    setWindowModified(false);
    if (!faults.isEmpty())
        report(faults);
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
    showInBrowser();
    if (!sheet_ || !sheet_->isVisible())
        return;
    // Another class shows its own page.
    if (!current().empty() && !sheetServes(current()) && openPropertyPages())
        return;
    sheet_->setSelection(selectedControls(), doc_->unreadValues(current()));
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
    if (!doc_ || current().empty())
        return nullptr;
    const std::string name = page.isEmpty() ? propertyPageOf(doc_->className(current())) : page.toStdString();
    const PropertyPageDef* def = propertyPageDef(name);
    if (!def)
        return nullptr;
    delete sheet_;
    sheet_ = new PropertySheet(*def, this);
    sheet_->warn = warn;
    sheet_->check = [this](const PropertyHost& trial) { return checkTrial(trial); };
    connect(sheet_, &PropertySheet::applied, this, [this] {
        propertySet(sheet_->page().def().writeOrder);
        showInBrowser();
    });
    // An edit in the browser is what the sheet shows from then on.
    connect(browser_, &PropertyBrowser::propertyEdited, sheet_, [this](const QString& member) {
        if (sheet_->isVisible())
            sheet_->refill(member.toStdString(), doc_->unreadValues(current()));
    });
    sheet_->show();
    sheet_->setSelection(selectedControls(), doc_->unreadValues(current()));
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
    case QEvent::ToolTip: {
        // The whole name and register of a control whose label is cut short.
        auto* he = static_cast<QHelpEvent*>(event);
        const QString full = outline_ ? outline_->cutLabelAt(he->pos()) : QString();
        if (full.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(he->globalPos(), full, view_);
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
