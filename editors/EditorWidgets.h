#pragma once
// Widgets of the four value editors over their models.

#include "editors/Byte_UnR.h"
#include "editors/ValueEditorWidget.h"
#include "editors/Word_DosR.h"
#include "editors/Word_TresR.h"

namespace kova {

class Byte_UnRWidget : public ValueEditorWidget {
public:
    explicit Byte_UnRWidget(QWidget* parent = nullptr)
        : ValueEditorWidget(std::make_unique<Byte_UnR>(), false, parent) {}
    // Over a model the caller keeps (it must outlive the widget).
    explicit Byte_UnRWidget(Byte_UnR& model, QWidget* parent = nullptr) : ValueEditorWidget(model, false, parent) {}
    Byte_UnR& model() { return static_cast<Byte_UnR&>(editor()); }
};

class Word_UnRWidget : public ValueEditorWidget {
public:
    explicit Word_UnRWidget(QWidget* parent = nullptr)
        : ValueEditorWidget(std::make_unique<Word_UnR>(), true, parent) {}
    // Over a model the caller keeps (it must outlive the widget).
    explicit Word_UnRWidget(Word_UnR& model, QWidget* parent = nullptr) : ValueEditorWidget(model, true, parent) {}
    Word_UnR& model() { return static_cast<Word_UnR&>(editor()); }
};

class Word_DosRWidget : public ValueEditorWidget {
public:
    explicit Word_DosRWidget(QWidget* parent = nullptr)
        : ValueEditorWidget(std::make_unique<Word_DosR>(), true, parent) {}
    // Over a model the caller keeps (it must outlive the widget).
    explicit Word_DosRWidget(Word_DosR& model, QWidget* parent = nullptr) : ValueEditorWidget(model, true, parent) {}
    Word_DosR& model() { return static_cast<Word_DosR&>(editor()); }
};

class Word_TresRWidget : public ValueEditorWidget {
public:
    explicit Word_TresRWidget(QWidget* parent = nullptr)
        : ValueEditorWidget(std::make_unique<Word_TresR>(), true, parent) {}
    // Over a model the caller keeps (it must outlive the widget).
    explicit Word_TresRWidget(Word_TresR& model, QWidget* parent = nullptr) : ValueEditorWidget(model, true, parent) {}
    Word_TresR& model() { return static_cast<Word_TresR&>(editor()); }
};

} // namespace kova
