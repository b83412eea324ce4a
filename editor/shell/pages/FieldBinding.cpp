#include "editor/shell/pages/FieldBinding.h"

#include "editor/form/FieldModel.h"
#include "editor/form/FormModel.h"
#include "editor/shell/widgets/InumEdit.h"
#include "editor/shell/widgets/QtText.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>

namespace tarvik {
namespace {

// The property that carries a widget's field index.
constexpr const char* kFieldProperty = "tarvikField";

// The grey of a field that the device model does not allow.
const QColor kGreyText(128, 128, 128);

QLineEdit* LineEditOf(QWidget& widget) {
    if (auto* numeric = dynamic_cast<TInumEdit*>(&widget)) {
        return numeric->edit();
    }
    return qobject_cast<QLineEdit*>(&widget);
}

// The text an edit of before left as after, with what the edit brought in passed through
// filter: the part between what the two texts share at the start and at the end. Characters
// the field held already stay as they are, even those the filter would refuse now (a range
// written for another device model, a blank in a number from the program text).
std::string FilterInserted(std::string_view before, std::string_view after,
                           const std::function<char(char, std::size_t)>& filter) {
    std::size_t start = 0;
    while (start < before.size() && start < after.size() && before[start] == after[start]) {
        ++start;
    }
    std::size_t end = 0;
    while (end < before.size() - start && end < after.size() - start &&
           before[before.size() - 1 - end] == after[after.size() - 1 - end]) {
        ++end;
    }
    std::string text(after.substr(0, start));
    for (const char c : after.substr(start, after.size() - start - end)) {
        if (const char key = filter(c, text.size()); key != '\0') {
            text.push_back(key);
        }
    }
    text.append(after.substr(after.size() - end));
    return text;
}

} // namespace

FieldBindings::FieldBindings(FormModel& form, std::span<QWidget* const> widgets,
                             std::function<void()> afterUserEdit, std::function<void()> beep,
                             QObject* parent)
    : QObject(parent), form_(form), widgets_(widgets.begin(), widgets.end()),
      shownItems_(widgets.size()), shownGrey_(widgets.size(), -1),
      afterUserEdit_(std::move(afterUserEdit)), beep_(std::move(beep)) {
    for (int f = 0; f < static_cast<int>(widgets_.size()); ++f) {
        if (!widgets_[f]) {
            continue;
        }
        // Every field's widget tells which field it is, so the keyboard focus can follow.
        widgets_[f]->setProperty(kFieldProperty, f);
        if (HoldsValue(FieldModel::definition(f).kind)) {
            bind(f, *widgets_[f]);
        }
    }
    watch_ = form_.fields().connectChanged([this](int field) { show(field); });
    refresh();
}

void FieldBindings::bind(int field, QWidget& widget) {
    switch (FieldModel::definition(field).kind) {
    case FieldKind::Text:
    case FieldKind::Numeric: {
        widget.installEventFilter(this);
        QLineEdit* edit = LineEditOf(widget);
        connect(edit, &QLineEdit::textEdited, this,
                [this, field](const QString& text) { commitText(field, text); });
        if (auto* numeric = dynamic_cast<TInumEdit*>(&widget)) {
            numeric->onStep = [this, field](int steps) {
                form_.userStepValue(field, steps);
                show(field);
                userEdited();
            };
        }
        break;
    }
    case FieldKind::Check:
        connect(static_cast<QCheckBox*>(&widget), &QCheckBox::clicked, this,
                [this, field](bool checked) {
                    if (!form_.userSetChecked(field, checked)) {
                        show(field);
                    }
                    userEdited();
                });
        break;
    case FieldKind::Combo:
        connect(static_cast<QComboBox*>(&widget), &QComboBox::activated, this,
                [this, field](int item) {
                    if (!form_.userChoose(field, item)) {
                        show(field);
                    }
                    userEdited();
                });
        break;
    case FieldKind::Memo:
    case FieldKind::Grid:
        break;
    }
}

int FieldBindings::fieldOf(const QWidget* widget) const {
    for (; widget; widget = widget->parentWidget()) {
        const QVariant field = widget->property(kFieldProperty);
        if (field.isValid()) {
            return field.toInt();
        }
    }
    return -1;
}

void FieldBindings::refresh() {
    for (int f = 0; f < static_cast<int>(widgets_.size()); ++f) {
        show(f);
    }
}

void FieldBindings::show(int field) {
    if (field < 0 || field >= static_cast<int>(widgets_.size()) || !widgets_[field]) {
        return;
    }
    QWidget& widget = *widgets_[field];
    const FieldDef& def = FieldModel::definition(field);
    const FieldState& state = form_.fields().state(field);
    const QSignalBlocker block(widget);
    switch (def.kind) {
    case FieldKind::Text:
    case FieldKind::Numeric: {
        QLineEdit* edit = LineEditOf(widget);
        const QSignalBlocker blockEdit(edit);
        // The widget may already show the text, because the user just typed it; setting
        // it again would move the cursor.
        if (ToWindows1252(edit->text()) != state.text) {
            edit->setText(FromWindows1252(state.text));
        }
        if (auto* numeric = dynamic_cast<TInumEdit*>(&widget)) {
            numeric->setReadOnly(state.readOnly);
        } else {
            edit->setReadOnly(state.readOnly);
        }
        break;
    }
    case FieldKind::Check: {
        auto& box = static_cast<QCheckBox&>(widget);
        box.setChecked(state.checked);
        box.setEnabled(state.enabled);
        break;
    }
    case FieldKind::Combo: {
        auto& combo = static_cast<QComboBox&>(widget);
        // Only items the model renamed are written, so a translation of the others stays.
        std::vector<std::string>& shown = shownItems_[field];
        if (shown.size() != state.items.size() || combo.count() != static_cast<int>(shown.size())) {
            combo.clear();
            for (const std::string& item : state.items) {
                combo.addItem(FromWindows1252(item));
            }
            shown = state.items;
        } else {
            for (std::size_t i = 0; i < shown.size(); ++i) {
                if (shown[i] != state.items[i]) {
                    combo.setItemText(static_cast<int>(i), FromWindows1252(state.items[i]));
                    shown[i] = state.items[i];
                }
            }
        }
        combo.setCurrentIndex(state.itemIndex);
        combo.setEnabled(state.enabled);
        break;
    }
    case FieldKind::Memo:
    case FieldKind::Grid:
        return;
    }
    showGrey(field, widget, state.grey);
}

void FieldBindings::showGrey(int field, QWidget& widget, bool grey) {
    if (shownGrey_[field] == static_cast<signed char>(grey)) {
        return;
    }
    shownGrey_[field] = static_cast<signed char>(grey);
    if (!grey) {
        widget.setPalette(QPalette());
        return;
    }
    // Grey text on the button face, as the device model shows a field it does not allow.
    QPalette palette = widget.palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Text, kGreyText);
        palette.setColor(group, QPalette::ButtonText, kGreyText);
        palette.setColor(group, QPalette::Base, palette.color(group, QPalette::Button));
    }
    widget.setPalette(palette);
}

void FieldBindings::focus(int field) {
    // A key reaches only the control that has the keyboard focus.
    if (form_.fields().focused() != field) {
        form_.focusField(field);
    }
}

void FieldBindings::commitText(int field, const QString& text) {
    const std::optional<std::string> bytes = ToWindows1252(text);
    if (!bytes) {
        show(field); // the validator keeps such text out; never store a part of it
        return;
    }
    focus(field);
    // Typed keys have passed the key filter already; a paste has not, so what it brought
    // passes it now, and what the filter refuses stays out of the field.
    form_.commitTypedText(field, FilterInserted(form_.fields().state(field).text, *bytes,
                                                [&](char c, std::size_t position) {
                                                    return form_.filterKey(field, c, position);
                                                }));
    show(field);
    userEdited();
}

void FieldBindings::userEdited() {
    if (afterUserEdit_) {
        afterUserEdit_();
    }
}

bool FieldBindings::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || resending_) {
        return false;
    }
    auto* widget = qobject_cast<QWidget*>(watched);
    const int field = fieldOf(widget);
    auto* key = static_cast<QKeyEvent*>(event);
    // Shortcuts (Ctrl+A, Ctrl+V, ...) are commands, not typing.
    const auto commands = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    if (field < 0 || key->text().isEmpty() || (key->modifiers() & commands) ||
        !form_.fields().editable(field)) {
        return false;
    }
    focus(field);
    // Each character through the field's key filter; what it refuses is dropped.
    QString passed;
    bool changed = false;
    // Where the typed text goes: over the selection, else at the cursor.
    std::size_t position = 0;
    if (const auto* edit = qobject_cast<const QLineEdit*>(widget)) {
        position = static_cast<std::size_t>(edit->hasSelectedText() ? edit->selectionStart()
                                                                    : edit->cursorPosition());
    }
    for (const QChar c : key->text()) {
        const std::optional<std::string> byte = ToWindows1252(QString(c));
        if (!byte || byte->size() != 1) {
            if (beep_) {
                beep_();
            }
            changed = true;
            continue;
        }
        const char filtered =
            form_.filterKey(field, (*byte)[0], position + static_cast<std::size_t>(passed.size()));
        if (filtered == '\0') {
            changed = true;
            continue;
        }
        changed = changed || filtered != (*byte)[0];
        passed += FromWindows1252(std::string_view(&filtered, 1));
    }
    if (!changed) {
        return false;
    }
    if (!passed.isEmpty()) {
        QKeyEvent replacement(key->type(), key->key(), key->modifiers(), passed,
                              key->isAutoRepeat(), static_cast<ushort>(key->count()));
        resending_ = true;
        QApplication::sendEvent(widget, &replacement);
        resending_ = false;
    }
    return true;
}

} // namespace tarvik
