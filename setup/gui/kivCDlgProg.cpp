#include "setup/gui/kivCDlgProg.h"

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
    ProgressDialogWindow(kivCDlgProg& owner, const QFont& font) : m_owner(owner) {
        setObjectName("kivCDlgProg");
        // A caption bar without a title and without a system menu, so without a close box.
        setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
        setWindowTitle(QString());
        setWindowIcon(SetupIcon());

        auto* text = new QLabel("Extracting files...", this);
        text->setObjectName("LabExtracting");
        m_bar = new QProgressBar(this);
        m_bar->setObjectName("ProgressBar");
        m_bar->setTextVisible(false);
        m_bar->setRange(0, 1);
        m_bar->setValue(0);
        auto* cancel = new QPushButton("Cancel", this);
        cancel->setObjectName("ButCancel");
        // Enter must not cancel: the dialog has no default button.
        cancel->setAutoDefault(false);
        QObject::connect(cancel, &QPushButton::clicked, this, [this] { m_owner.RequestCancel(); });

        setFont(font);
        for (QWidget* child : findChildren<QWidget*>()) {
            child->setFont(font);
        }
        const QFontMetrics metrics(font);
        const QString alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
        m_unitX = (metrics.horizontalAdvance(alphabet) / 26 + 1) / 2;
        m_unitY = metrics.height();
        text->setGeometry(Units(7, 7, 232, 8));
        m_bar->setGeometry(Units(7, 24, 176, 9));
        cancel->setGeometry(Units(195, 21, 50, 14));
        setFixedSize(Units(0, 0, 255, 55).size());
    }

    ~ProgressDialogWindow() override {
        // Destruction posts the quit message that ends the message loop.
        QCoreApplication::exit(0);
    }

    QProgressBar& Bar() { return *m_bar; }

protected:
    // Cancel and the Esc key only ask the extractor to stop; the dialog stays.
    void reject() override { m_owner.RequestCancel(); }

    // A close request from the window system destroys the dialog, as the extractor's does.
    void closeEvent(QCloseEvent* event) override {
        event->accept();
        deleteLater();
    }

private:
    QRect Units(int x, int y, int width, int height) const {
        return QRect(x * m_unitX / 4, y * m_unitY / 8, width * m_unitX / 4, height * m_unitY / 8);
    }

    kivCDlgProg& m_owner;
    QProgressBar* m_bar = nullptr;
    int m_unitX = 6;
    int m_unitY = 13;
};

kivCDlgProg::kivCDlgProg(SetupLog& log) : m_log(log) {}

kivCDlgProg::~kivCDlgProg() {
    delete m_hWnd.data();
}

bool kivCDlgProg::Create() {
    if (!m_pFont) {
        m_pFont = std::make_unique<DialogFont>();
    }
    m_hWnd = new ProgressDialogWindow(*this, m_pFont->Font());
    // The window system's own window exists from here on, so its frame counts in the outer
    // size that the dialog is placed by.
    m_hWnd->winId();
    m_log.Log("Finish kivCDlgProg::Create().");
    return true;
}

void kivCDlgProg::MoveWindowToCorner() {
    if (!m_hWnd) {
        return;
    }
    QScreen* screen =
        m_hWnd->screen() != nullptr ? m_hWnd->screen() : QApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    const QRect frame = m_hWnd->frameGeometry();
    const QRect full = screen->geometry();
    const QRect work = screen->availableGeometry();
    const ScreenPoint corner = CornerPosition({full.x(), full.y(), full.width(), full.height()},
                                              {work.x(), work.y(), work.width(), work.height()},
                                              frame.width(), frame.height());
    m_hWnd->move(corner.x, corner.y);
    // A hidden dialog comes up on top when it is shown.
    if (m_hWnd->isVisible()) {
        m_hWnd->raise();
    }
}

void kivCDlgProg::Show(bool bShow) {
    if (m_hWnd) {
        m_hWnd->setVisible(bShow);
    }
}

void kivCDlgProg::SetRange(std::size_t count) {
    if (m_hWnd) {
        // An empty range would turn the bar into a busy indicator; an empty package shows an
        // empty bar instead.
        const int top = static_cast<int>(std::clamp<std::size_t>(count, 1, 65535));
        m_hWnd->Bar().setRange(0, top);
        m_hWnd->Bar().setValue(0);
    }
}

void kivCDlgProg::StepIt() {
    if (m_hWnd) {
        QProgressBar& bar = m_hWnd->Bar();
        bar.setValue(std::min(bar.value() + 1, bar.maximum()));
    }
}

void kivCDlgProg::Close() {
    delete m_hWnd.data();
}

QDialog* kivCDlgProg::Window() const {
    return m_hWnd.data();
}

} // namespace setup::gui
