#include "pages/SetpointPageView.h"

#include "editors/BitsWidget.h"
#include "editors/EditorWidgets.h"
#include "editors/SpokenName.h"
#include "pages/EqualWidths.h"
#include "pages/PagePlacement.h"
#include "platform/EnterPress.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace kova {

namespace {


QString q(const std::string& s) { return QString::fromStdString(s); }

} // namespace

SetpointPageView::SetpointPageView(SetpointPage& page, QWidget* mainWindow) : QDialog(nullptr), page_(page)
{
    setObjectName(q(page_.form().form));
    setWindowTitle(q(page_.form().caption));
    setWindowModality(Qt::ApplicationModal);
    build();
    page_.onVisibility = [this](const std::string& name) { showVisibility(name); };
    page_.onShown = [this](const std::string& name) { showState(name); };
    page_.onUsable = [this] { showUsable(); };
    page_.onClose = [this] { done(QDialog::Accepted); };
    for (const auto& [name, w] : widgets_)
        showVisibility(name);
    showUsable();
    place(mainWindow);
}

SetpointPageView::~SetpointPageView()
{
    page_.onVisibility = nullptr;
    page_.onShown = nullptr;
    page_.onUsable = nullptr;
    page_.onClose = nullptr;
}

QWidget* SetpointPageView::widget(const std::string& name) const
{
    auto it = widgets_.find(name);
    return it == widgets_.end() ? nullptr : it->second;
}

QWidget* SetpointPageView::makeControl(const std::string& name)
{
    const std::string kind = page_.kind(name);
    QWidget* w = nullptr;
    QWidget* focus = nullptr;
    if (kind == "Bits") {
        auto* b = new BitsWidget(*page_.selector(name));
        focus = b->Combo1();
        w = b;
    } else if (kind == "ComboBox") {
        auto* c = new QComboBox;
        c->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        for (const std::string& item : page_.comboItems(name))
            c->addItem(q(item));
        c->setCurrentIndex(page_.ListIndex(name));
        connect(c, &QComboBox::activated, this, [this, name](int k) { page_.chooseCombo(name, k); });
        focus = w = c;
    } else {
        ValueEditorModel& m = *page_.editor(name);
        ValueEditorWidget* e = nullptr;
        if (kind == "Byte_UnR")
            e = new Byte_UnRWidget(static_cast<Byte_UnR&>(m));
        else if (kind == "Word_DosR")
            e = new Word_DosRWidget(static_cast<Word_DosR&>(m));
        else
            e = new Word_TresRWidget(static_cast<Word_TresR&>(m));
        focus = e->Text1();
        w = e;
    }
    w->setObjectName(q(name));
    w->setFocusProxy(focus == w ? nullptr : focus);
    chain_.push_back(focus);
    widgets_[name] = w;
    return w;
}

void SetpointPageView::build()
{
    // Frames side by side, STORE and EXIT centred just below them, all of it
    // in the window's top left corner: a larger window only adds room right
    // of and below it.
    auto* outer = new QVBoxLayout(this);
    auto* content = new QVBoxLayout;
    outer->addLayout(content);
    outer->setAlignment(content, Qt::AlignLeft | Qt::AlignTop);
    outer->addStretch();
    auto* frameRow = new QHBoxLayout;
    content->addLayout(frameRow);
    std::vector<QGroupBox*> boxes;
    for (const PageForm::Frame& frame : page_.form().frames) {
        auto* box = new QGroupBox(q(frame.caption));
        box->setObjectName(q(frame.name));
        widgets_[frame.name] = box;
        frames_.push_back(box);
        boxes.push_back(box);
        auto* columns = new QHBoxLayout(box);
        columns->setSpacing(24);
        for (const auto& column : frame.columns) {
            QGridLayout* grid = buildColumn(column);
            columns->addLayout(grid);
            columns->setAlignment(grid, Qt::AlignTop);
        }
    }
    // A frame without a caption starts as low as its captioned neighbours:
    // their borders and first rows line up.
    int captionTop = 0;
    for (QGroupBox* box : boxes)
        captionTop = qMax(captionTop, box->contentsMargins().top());
    for (QGroupBox* box : boxes) {
        auto* stack = new QVBoxLayout;
        stack->addSpacing(captionTop - box->contentsMargins().top());
        stack->addWidget(box);
        frameRow->addLayout(stack);
    }

    auto* buttons = new QHBoxLayout;
    store_ = new QPushButton(QStringLiteral("STORE"));
    store_->setObjectName(QStringLiteral("Command1"));
    exit_ = new QPushButton(QStringLiteral("EXIT"));
    exit_->setObjectName(QStringLiteral("Command2"));
    for (QPushButton* b : {store_, exit_})
        pressOnEnter(*b);
    connect(store_, &QPushButton::clicked, this, [this] { page_.Command1_Click(); });
    connect(exit_, &QPushButton::clicked, this, [this] { page_.Command2_Click(); });
    buttons->addWidget(store_);
    buttons->addWidget(exit_);
    content->addLayout(buttons);
    content->setAlignment(buttons, Qt::AlignHCenter);
    chain_.push_back(store_);
    chain_.push_back(exit_);
    for (std::size_t i = 1; i < chain_.size(); ++i)
        QWidget::setTabOrder(chain_[i - 1], chain_[i]);
    for (EqualWidths* widths : widthGroups_)
        widths->watch();
    // A hidden row keeps its place: nothing moves when a rule hides a row.
    for (const auto& [name, w] : widgets_) {
        QSizePolicy p = w->sizePolicy();
        p.setRetainSizeWhenHidden(true);
        w->setSizePolicy(p);
    }
}

// One column of a frame: caption and control rows in a grid, the caption
// column as wide as its longest caption, the controls all as wide as the
// widest of them (a row of boxes may be wider). A caption fills its row's
// height and centres its text as the control beside it does, so both texts
// stand on one baseline.
QGridLayout* SetpointPageView::buildColumn(const std::vector<PageForm::Row>& column)
{
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(8);
    std::vector<QLabel*> labels;
    std::vector<QGridLayout*> subGrids;
    auto* widths = new EqualWidths(this);
    widthGroups_.push_back(widths);
    int r = 0;
    for (const PageForm::Row& row : column) {
        if (row.kind == PageForm::RowKind::Line) {
            auto* line = new QFrame;
            line->setObjectName(q(row.control));
            line->setFrameShape(QFrame::HLine);
            line->setFrameShadow(QFrame::Sunken);
            widgets_[row.control] = line;
            grid->addWidget(line, r++, 0, 1, 2);
            continue;
        }
        auto* label = new QLabel(q(page_.form().labels.at(row.label)));
        label->setObjectName(q(row.label));
        widgets_[row.label] = label;
        labels.push_back(label);
        if (!row.frame.empty()) {
            // A borderless sub-frame in the cell of the row above; the
            // model says which of the two shows.
            auto* sub = new QFrame;
            sub->setObjectName(q(row.frame));
            sub->setFrameShape(QFrame::NoFrame);
            auto* inner = new QGridLayout(sub);
            inner->setContentsMargins(0, 0, 0, 0);
            inner->addWidget(label, 0, 0);
            QWidget* control = makeControl(row.control);
            nameByCaption(*label, *control);
            widths->add(control);
            inner->addWidget(control, 0, 1, Qt::AlignLeft);
            subGrids.push_back(inner);
            widgets_[row.frame] = sub;
            grid->addWidget(sub, r - 1, 0, 1, 2);
            continue;
        }
        grid->addWidget(label, r, 0);
        if (row.kind == PageForm::RowKind::Boxes) {
            auto* holder = new QWidget;
            auto* h = new QHBoxLayout(holder);
            h->setContentsMargins(0, 0, 0, 0);
            const auto& captions = page_.form().boxes.at(row.control).captions;
            const QString rowCaption = label->text();
            for (int b = 0; b < 4; ++b) {
                const std::string name = PageForm::boxName(row.control, 4 * row.group + b);
                auto* c = new QCheckBox(q(captions[static_cast<std::size_t>(b)]));
                c->setObjectName(q(name));
                // Read with its row's caption: "Trip" alone does not say which function's relay.
                c->setAccessibleName(rowCaption + QLatin1Char(' ') + c->text());
                if (b == 0)
                    pairCaption(*label, *c);
                // Any way the box changes state is an edit (a click, the keyboard, an
                // accessibility tool's toggle); the page's own showing is signal-blocked.
                connect(c, &QCheckBox::toggled, this, [this, name](bool on) { page_.clickBox(name, on); });
                widgets_[name] = c;
                chain_.push_back(c);
                h->addWidget(c);
            }
            grid->addWidget(holder, r++, 1, Qt::AlignLeft);
        } else {
            QWidget* control = makeControl(row.control);
            nameByCaption(*label, *control);
            widths->add(control);
            grid->addWidget(control, r++, 1, Qt::AlignLeft);
        }
    }
    // Sub-frame rows line up with the column's captions and controls: the
    // sub-frame's caption is exactly as wide as the caption column.
    if (!subGrids.empty()) {
        int widest = 0;
        for (QLabel* l : labels)
            widest = qMax(widest, l->sizeHint().width());
        grid->setColumnMinimumWidth(0, widest);
        for (QGridLayout* inner : subGrids) {
            inner->itemAtPosition(0, 0)->widget()->setFixedWidth(widest);
            inner->setHorizontalSpacing(grid->horizontalSpacing());
        }
    }
    return grid;
}

void SetpointPageView::place(QWidget* mainWindow)
{
    placeUnderMainWindow(*this, mainWindow);
}

void SetpointPageView::showVisibility(const std::string& name)
{
    if (QWidget* w = widget(name))
        w->setVisible(page_.visible(name) && !page_.covered(name));
}

void SetpointPageView::showState(const std::string& name)
{
    QWidget* w = widget(name);
    if (auto* c = qobject_cast<QCheckBox*>(w)) {
        const QSignalBlocker block(c);
        c->setChecked(page_.checked(name));
    } else if (auto* c = qobject_cast<QComboBox*>(w)) {
        const QSignalBlocker block(c);
        c->setCurrentIndex(page_.ListIndex(name));
    }
}

void SetpointPageView::setDesignMode()
{
    design_ = true;
    setWindowModality(Qt::NonModal);
    // Shown inside another window, the page is no window that its layout
    // keeps at least as large as the controls need.
    resize(size().expandedTo(sizeHint()));
    for (QWidget* w : findChildren<QWidget*>()) {
        w->setAttribute(Qt::WA_TransparentForMouseEvents);
        w->setFocusPolicy(Qt::NoFocus);
    }
    for (QWidget* f : frames_)
        f->setEnabled(true);
    store_->setEnabled(true);
    exit_->setEnabled(true);
}

void SetpointPageView::showUsable()
{
    if (design_)
        return;
    const bool usable = page_.usable();
    for (QWidget* f : frames_)
        f->setEnabled(usable);
    store_->setEnabled(usable);
    exit_->setEnabled(page_.exitUsable());
    if (usable && !wasUsable_) {
        for (QWidget* w : chain_)
            if (w->isEnabled() && w->isVisibleTo(this)) {
                w->setFocus(Qt::OtherFocusReason);
                break;
            }
    }
    wasUsable_ = usable;
}

void SetpointPageView::setVisible(bool visible)
{
    // Selectors that got their items since the window was built ask for
    // their width before the window is laid out to show.
    if (visible)
        for (EqualWidths* widths : widthGroups_)
            widths->apply();
    QDialog::setVisible(visible);
}

void SetpointPageView::reject()
{
    if (design_)
        return;
    page_.Form_Unload();
}

void SetpointPageView::closeEvent(QCloseEvent* e)
{
    if (page_.closed() || page_.Form_Unload())
        e->accept();
    else
        e->ignore();
}

} // namespace kova
