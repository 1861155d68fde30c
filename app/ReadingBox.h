#pragma once
// The box shown while a print command waits for the relay's replies:
// "Reading values from the relay..." with Cancel, modal over the whole
// program so Cancel is the only input taken. It has no parent: the main
// window is disabled while the command waits, and so would be its children.

#include "app/ReplyWait.h"

#include <memory>

class QProgressDialog;

namespace kova {

class ReadingBox : public ReplyWait::Box {
public:
    static inline const char* const kText = "Reading values from the relay...";

    ReadingBox();
    ~ReadingBox() override;
    bool cancelled() override;

private:
    std::unique_ptr<QProgressDialog> dialog_;
};

} // namespace kova
