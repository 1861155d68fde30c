#include "app/frmAbout.h"

#include "app/AppState.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace kova {

namespace {
QFrame* line(QWidget* parent, const char* name)
{
    auto* f = new QFrame(parent);
    f->setObjectName(QString::fromLatin1(name));
    f->setFrameShape(QFrame::HLine);
    f->setFrameShadow(QFrame::Sunken);
    return f;
}
} // namespace

frmAbout::frmAbout(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About"));
    setModal(true);

    auto* picIcon = new QLabel(this);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    picIcon->setPixmap(style()->standardIcon(QStyle::SP_ComputerIcon).pixmap(48, 48));

    auto* titles = new QVBoxLayout;
    const char* texts[] = {"Velmora", "KOVA - Setup", "DELU - Setup"};
    for (int i = 0; i < 3; ++i) {
        auto* t = new QLabel(QString::fromLatin1(texts[i]), this);
        t->setObjectName(QStringLiteral("lblTitle_%1").arg(i));
        QFont f = t->font();
        f.setBold(i == 0);
        f.setPointSizeF(f.pointSizeF() * (i == 0 ? 1.5 : 1.2));
        t->setFont(f);
        titles->addWidget(t);
    }
    lblVersion_ = new QLabel(QStringLiteral("Version:"), this);
    lblVersion_->setObjectName(QStringLiteral("lblVersion"));
    titles->addWidget(lblVersion_);

    auto* Picture1 = new QLabel(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    auto* Picture2 = new QLabel(this);
    Picture2->setObjectName(QStringLiteral("Picture2"));

    auto* top = new QHBoxLayout;
    top->addWidget(picIcon, 0, Qt::AlignTop);
    top->addLayout(titles, 1);

    auto* cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Picture1);
    buttons->addWidget(Picture2);
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(line(this, "Line1"));
    layout->addWidget(line(this, "Line2"));
    layout->addLayout(buttons);

    Form_Load();
}

void frmAbout::Form_Load()
{
    lblVersion_->setText(QStringLiteral("Version: ") + programVersionText());
}

void frmAbout::cmdOK_Click() { accept(); }

} // namespace kova
