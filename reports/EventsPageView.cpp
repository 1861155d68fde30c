#include "reports/EventsPageView.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTreeWidget>

#include <cmath>

namespace kova {

namespace {

constexpr double kTwipsPerInch = 1440;

// Layout in twips: the frame on the window, the list inside the frame, the
// buttons below the frame.
struct Rect {
    int left, top, width, height;
};
constexpr Rect kFrame1{360, 480, 10170, 6375};
constexpr Rect kListView1{840, 600, 9045, 4980};
// The status line, in the frame under the list.
constexpr Rect kEstado{840, 5700, 9045, 480};
constexpr Rect kOkey{360, 7095, 1215, 375};
constexpr Rect kClear{1815, 7095, 1215, 375};
constexpr int kBottomMargin = 240;
// The window is this much lower than the main window.
constexpr int kLessThanMain = 1200;

QScreen* screenOf(const QWidget* w)
{
    if (w && w->screen()) return w->screen();
    return QGuiApplication::primaryScreen();
}

} // namespace

EventsPageView::EventsPageView(EventsPage& page, const QWidget* mainWindow) : page_(page)
{
    setObjectName(QStringLiteral("AVPAGE4"));
    setWindowTitle(QString::fromLatin1(EventsPage::kCaption));
    setWindowModality(Qt::ApplicationModal);
    if (QScreen* s = screenOf(mainWindow)) setScreen(s);

    auto place = [this](QWidget* w, const Rect& r) {
        w->setGeometry(px(r.left), px(r.top, false), px(r.width), px(r.height, false));
    };
    Frame1_ = new QGroupBox(QStringLiteral("Events"), this);
    Frame1_->setObjectName(QStringLiteral("Frame1"));
    place(Frame1_, kFrame1);
    ListView1_ = new QTreeWidget(Frame1_);
    ListView1_->setObjectName(QStringLiteral("ListView1"));
    // A list is read by its own name only, not by the frame's title.
    ListView1_->setAccessibleName(Frame1_->title());
    ListView1_->setRootIsDecorated(false);
    ListView1_->setUniformRowHeights(true);
    ListView1_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    ListView1_->header()->setStretchLastSection(false);
    ListView1_->header()->setSectionsMovable(false);
    place(ListView1_, kListView1);
    Estado_ = new QLabel(Frame1_);
    Estado_->setObjectName(QStringLiteral("Estado"));
    Estado_->setWordWrap(true);
    Estado_->setStyleSheet(QStringLiteral("color: #a00000;"));
    place(Estado_, kEstado);

    Okey_ = new QPushButton(QStringLiteral("OK"), this);
    Okey_->setObjectName(QStringLiteral("Okey"));
    place(Okey_, kOkey);
    Clear_ = new QPushButton(QStringLiteral("Clear"), this);
    Clear_->setObjectName(QStringLiteral("Clear"));
    place(Clear_, kClear);
    Okey_->setDefault(true);

    // As wide as the screen, 1200 twips lower than the main window, and
    // never so low that the buttons are cut off.
    const QScreen* s = screenOf(mainWindow);
    const int width = s ? s->availableGeometry().width() : px(kFrame1.left * 2 + kFrame1.width);
    const int least = px(kOkey.top + kOkey.height + kBottomMargin, false);
    const int height = mainWindow ? mainWindow->height() - px(kLessThanMain, false) : least;
    // Never smaller than the frame and the buttons: the controls stand at
    // fixed places, no layout keeps them.
    setMinimumSize(px(kFrame1.left * 2 + kFrame1.width), least);
    resize(qMax(width, minimumWidth()), qMax(height, least));
    if (s && mainWindow) move(s->availableGeometry().left(), mainWindow->y());

    Timer1_.setObjectName(QStringLiteral("Timer1"));
    Timer1_.setInterval(EventsPage::kIntervaloMs);
    connect(&Timer1_, &QTimer::timeout, this, [this] { page_.Timer1_Timer(); });
    connect(Okey_, &QPushButton::clicked, this, [this] { page_.Okey_Click(); });
    connect(Clear_, &QPushButton::clicked, this, [this] { page_.Clear_Click(); });
    page_.alCambiar = [this] { sync(); };
    sync();
}

EventsPageView::~EventsPageView() { page_.alCambiar = nullptr; }

int EventsPageView::px(double twips, bool horizontal) const
{
    const QScreen* s = screen();
    const double dpi = s ? (horizontal ? s->logicalDotsPerInchX() : s->logicalDotsPerInchY()) : 96.0;
    return static_cast<int>(std::lround(twips * dpi / kTwipsPerInch));
}

void EventsPageView::sync()
{
    const KeyedList& list = page_.ListView1();
    if (list.columnCount() != columns_) {
        columns_ = list.columnCount();
        QStringList titles;
        for (int n = 1; n <= columns_; ++n) titles << QString::fromStdString(list.column(n).title);
        ListView1_->setColumnCount(columns_);
        ListView1_->setHeaderLabels(titles);
        for (int n = 1; n <= columns_; ++n) ListView1_->setColumnWidth(n - 1, px(list.column(n).width));
        shown_.clear();
        ListView1_->clear();
    }

    std::vector<std::vector<std::string>> rows;
    for (int i = 1; i <= list.count(); ++i) {
        std::vector<std::string> row{list.text(i)};
        for (int k = 1; k < columns_; ++k) row.push_back(list.subItem(i, k));
        rows.push_back(std::move(row));
    }
    if (rows != shown_) {
        ListView1_->clear();
        for (const auto& row : rows) {
            QStringList cells;
            for (const auto& cell : row) cells << QString::fromStdString(cell);
            ListView1_->addTopLevelItem(new QTreeWidgetItem(cells));
        }
        shown_ = std::move(rows);
    }

    Estado_->setText(QString::fromStdString(page_.Estado()));

    if (page_.Timer1_Enabled() && !Timer1_.isActive()) Timer1_.start();
    if (!page_.Timer1_Enabled() && Timer1_.isActive()) Timer1_.stop();
    if (!page_.Cargada() && isVisible()) done(QDialog::Accepted);
}

void EventsPageView::reject()
{
    if (page_.Cargada()) page_.Cerrar_Ventana();
    else QDialog::reject();
}

void EventsPageView::closeEvent(QCloseEvent* event)
{
    if (page_.Cargada()) page_.Cerrar_Ventana();
    event->accept();
    QDialog::closeEvent(event);
}

} // namespace kova
