#pragma once

#include "base/Signal.h"

#include <QObject>
#include <functional>
#include <span>
#include <string>
#include <vector>

class QWidget;

namespace tarvik {

class FormModel;

// Binds the widgets of the value fields (text, numeric, check box, combo box) to the form
// model both ways, with the event rules of the form:
// - every typed key of a text or numeric field goes through the model's key filter
//   (FormModel::filterKey); a refused key never reaches the widget, and a character that
//   Windows-1252 cannot hold is refused with a warning beep;
// - the text typing leaves is committed with FormModel::commitTypedText; pasted text
//   passes the key filter too, so a paste cannot bring in what typing could not;
// - a check box reports the user's clicks, a combo box only the user's choices
//   (activated), a numeric field the steps of its arrows and wheel;
// - a change of the model reaches its widget with the widget's signals blocked, so nothing
//   echoes back; read-only and greyed fields follow the model.
class FieldBindings : public QObject {
public:
    // widgets: one per field of FieldTable(), by index; fields whose kind holds no value
    // (memos, grids) are left to others. The widgets must outlive the bindings. afterUserEdit
    // runs after each user edit has reached the model; beep sounds a refusal.
    FieldBindings(FormModel& form, std::span<QWidget* const> widgets,
                  std::function<void()> afterUserEdit, std::function<void()> beep,
                  QObject* parent = nullptr);

    // Shows every field as the model holds it.
    void refresh();
    // The field (of any kind) whose widget is widget or holds it, or -1.
    int fieldOf(const QWidget* widget) const;

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void bind(int field, QWidget& widget);
    void show(int field);
    void showGrey(int field, QWidget& widget, bool grey);
    void commitText(int field, const QString& text);
    void focus(int field);
    void userEdited();

    FormModel& form_;
    std::vector<QWidget*> widgets_;
    std::vector<std::vector<std::string>> shownItems_; // combo items as last shown
    std::vector<signed char> shownGrey_;               // -1 until first shown
    std::function<void()> afterUserEdit_;
    std::function<void()> beep_;
    bool resending_ = false; // a filtered key event on its way to the widget
    Connection watch_;
};

} // namespace tarvik
