#include "setup/gui/QtProgressDialog.h"

#include "setup/CornerPlacement.h"
#include "setup/gui/SetupIcon.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QFontMetrics>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <algorithm>

namespace setup::gui {

// The dialog's window. It lays out its controls in dialog units (a quarter of the font's
// average character width across, an eighth of its height down), as the dialog template gives
// them: 255 by 55 units with a text, a bar and a button.
class ProgressDialogWindow : public QDialog {
public:
    ProgressDialogWindow(QtProgressDialog& owner, const QFont& font) : owner_(owner) {
        setObjectName("kivCDlgProg");
        // A caption bar without a title and without a system menu, so without a close box.
        setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
        setWindowTitle(QString());
        setWindowIcon(SetupIcon());

        auto* text = new QLabel("Extracting files...", this);
        text->setObjectName("LabExtracting");
        bar_ = new QProgressBar(this);
        bar_->setObjectName("ProgressBar");
        bar_->setTextVisible(false);
        bar_->setRange(0, 1);
        bar_->setValue(0);
        auto* cancel = new QPushButton("Cancel", this);
        cancel->setObjectName("ButCancel");
        // Enter must not cancel: the dialog has no default button.
        cancel->setAutoDefault(false);
        QObject::connect(cancel, &QPushButton::clicked, this, [this] { owner_.requestCancel(); });

        setFont(font);
        for (QWidget* child : findChildren<QWidget*>()) {
            child->setFont(font);
        }
        const QFontMetrics metrics(font);
        const QString alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
        unitX_ = (metrics.horizontalAdvance(alphabet) / 26 + 1) / 2;
        unitY_ = metrics.height();
        text->setGeometry(units(7, 7, 232, 8));
        bar_->setGeometry(units(7, 24, 176, 9));
        cancel->setGeometry(units(195, 21, 50, 14));
        setFixedSize(units(0, 0, 255, 55).size());
    }

    ~ProgressDialogWindow() override {
        // Destruction posts the quit message that ends the message loop.
        QCoreApplication::exit(0);
    }

    QProgressBar& bar() { return *bar_; }

protected:
    // Cancel and the Esc key only ask the extractor to stop; the dialog stays.
    void reject() override { owner_.requestCancel(); }

    // A close request from the window system destroys the dialog, as the extractor's does.
    void closeEvent(QCloseEvent* event) override {
        event->accept();
        deleteLater();
    }

private:
    QRect units(int x, int y, int width, int height) const {
        return QRect(x * unitX_ / 4, y * unitY_ / 8, width * unitX_ / 4, height * unitY_ / 8);
    }

    QtProgressDialog& owner_;
    QProgressBar* bar_ = nullptr;
    int unitX_ = 6;
    int unitY_ = 13;
};

QtProgressDialog::QtProgressDialog(SetupLog& log) : log_(log) {}

QtProgressDialog::~QtProgressDialog() {
    delete window_.data();
}

bool QtProgressDialog::create() {
    if (!font_) {
        font_ = std::make_unique<DialogFont>();
    }
    window_ = new ProgressDialogWindow(*this, font_->font());
    // The window system's own window exists from here on, so its frame counts in the outer
    // size that the dialog is placed by.
    window_->winId();
    log_.log("Finish kivCDlgProg::Create().");
    return true;
}

void QtProgressDialog::moveWindowToCorner() {
    if (!window_) {
        return;
    }
    QScreen* screen =
        window_->screen() != nullptr ? window_->screen() : QApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    const QRect frame = window_->frameGeometry();
    const QRect full = screen->geometry();
    const QRect work = screen->availableGeometry();
    const ScreenPoint corner = CornerPosition({full.x(), full.y(), full.width(), full.height()},
                                              {work.x(), work.y(), work.width(), work.height()},
                                              frame.width(), frame.height());
    window_->move(corner.x, corner.y);
    // A hidden dialog comes up on top when it is shown.
    if (window_->isVisible()) {
        window_->raise();
    }
}

void QtProgressDialog::show(bool show) {
    if (window_) {
        window_->setVisible(show);
    }
}

void QtProgressDialog::setRange(std::size_t count) {
    if (window_) {
        // An empty range would turn the bar into a busy indicator; an empty package shows an
        // empty bar instead.
        const int top = static_cast<int>(std::clamp<std::size_t>(count, 1, 65535));
        window_->bar().setRange(0, top);
        window_->bar().setValue(0);
    }
}

void QtProgressDialog::stepIt() {
    if (window_) {
        QProgressBar& bar = window_->bar();
        bar.setValue(std::min(bar.value() + 1, bar.maximum()));
    }
}

void QtProgressDialog::close() {
    delete window_.data();
}

QDialog* QtProgressDialog::window() const {
    return window_.data();
}

} // namespace setup::gui
