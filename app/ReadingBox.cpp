#include "app/ReadingBox.h"

#include "platform/Ui.h"

#include <QProgressDialog>

namespace kova {

ReadingBox::ReadingBox()
    : dialog_(std::make_unique<QProgressDialog>(QString::fromLatin1(kText), QStringLiteral("Cancel"), 0, 0))
{
    dialog_->setObjectName(QStringLiteral("ReadingBox"));
    dialog_->setWindowTitle(kAppTitle);
    dialog_->setWindowModality(Qt::ApplicationModal);
    dialog_->setAutoClose(false);
    dialog_->setAutoReset(false);
    dialog_->setMinimumDuration(0);
    dialog_->show();
}

ReadingBox::~ReadingBox() = default;

bool ReadingBox::cancelled() { return dialog_->wasCanceled(); }

} // namespace kova
