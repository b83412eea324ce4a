#include "editor/shell/dialogs/ShellDialog.h"

#include "editor/shell/i18n/WindowTranslator.h"

#include <QLayout>
#include <QScreen>

namespace tarvik {

ShellDialog::ShellDialog(const LanguageTable* table)
    : QDialog(nullptr, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
    if (table) {
        translator_ = new WindowTranslator(*this, *table);
    }
}

void ShellDialog::prepareShow() {
    TranslateOnce();
}

void ShellDialog::TranslateOnce() {
    if (Tag != -1) {
        Tag = -1;
        if (translator_) {
            translator_->Translate();
        }
    }
}

void ShellDialog::showEvent(QShowEvent* event) {
    prepareShow();
    // Translated texts may need another size; the border stays fixed at that size.
    if (layout()) {
        layout()->setSizeConstraint(QLayout::SetFixedSize);
        layout()->activate();
    }
    adjustSize();
    CentreOnScreen();
    QDialog::showEvent(event);
}

void ShellDialog::CentreOnScreen() {
    const QScreen* screen = this->screen();
    if (!screen) {
        return;
    }
    const QRect area = screen->geometry();
    move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
}

} // namespace tarvik
