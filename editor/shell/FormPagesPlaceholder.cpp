// A plain stand-in for the generated form pages, built only while the generated pages are
// not in the tree: the Main page with the notes, the SIM program and the device group, the
// model selector, and empty pages for the rest, so the main window runs and can be tested.
#include "editor/form/DeviceModels.h"
#include "editor/form/FormModel.h"
#include "editor/shell/FormPages.h"
#include "editor/shell/Pictures.h"
#include "editor/shell/QtText.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace tarvik {
namespace {

QString ProgramText8(const std::string& text) {
    return FromWindows1252(text);
}

std::string Bytes(const QString& text) {
    return ToWindows1252(text).value_or(std::string());
}

std::vector<std::string> SplitLines(const QString& text) {
    std::vector<std::string> lines;
    if (text.isEmpty()) {
        return lines;
    }
    for (const QString& line : text.split(u'\n')) {
        lines.push_back(Bytes(line));
    }
    return lines;
}

class PlaceholderPages : public FormPages {
public:
    PlaceholderPages(QTabWidget& tabs, FormModel& form) : form_(form) {
        auto* main = new QWidget;
        main->setObjectName(QStringLiteral("TabMain"));
        memoNote_ = Memo(*main, "MemoNote");
        memoSim_ = Memo(*main, "MemoSim");
        auto* notes = Group(*main, "GBNote", "Notes", *memoNote_);
        auto* program = Group(*main, "GBSim", "SIM program", *memoSim_);

        auto* device = new QGroupBox(QStringLiteral("Device"), main);
        device->setObjectName(QStringLiteral("GBDevice"));
        picture_ = new QLabel(device);
        picture_->setObjectName(QStringLiteral("ImgDevice"));
        picture_->setPixmap(QPixmap::fromImage(DevicePicture()));
        read_ = Button(*device, "ButRead", "Read SIM");
        write_ = Button(*device, "ButWrite", "Write SIM");
        auto* buttons = new QVBoxLayout;
        buttons->addWidget(read_);
        buttons->addWidget(write_);
        buttons->addStretch();
        auto* deviceLayout = new QHBoxLayout(device);
        deviceLayout->addWidget(picture_);
        deviceLayout->addLayout(buttons);

        auto* layout = new QGridLayout(main);
        layout->addWidget(device, 0, 0);
        layout->addWidget(notes, 1, 0);
        layout->addWidget(program, 0, 1, 2, 1);
        tabs.addTab(main, QStringLiteral("Main"));

        auto* sms = new QWidget;
        sms->setObjectName(QStringLiteral("TabSms"));
        memoSms_ = Memo(*sms, "MemoSMS");
        memoSms_->setReadOnly(true);
        (new QVBoxLayout(sms))->addWidget(memoSms_);
        tabs.addTab(sms, QStringLiteral("SMS"));

        auto* barrier = new QWidget;
        barrier->setObjectName(QStringLiteral("TabBarrier"));
        ramp_ = Grid(*barrier, "SGRamp", FormModel::kRampCols);
        tr_ = Grid(*barrier, "SGTR", FormModel::kTrCols);
        auto* grids = new QHBoxLayout(barrier);
        grids->addWidget(ramp_);
        grids->addWidget(tr_);
        tabs.addTab(barrier, QStringLiteral("BARRIER Telephone"));

        device_ = new QComboBox;
        device_->setObjectName(QStringLiteral("CBDevice"));
        for (const DeviceModel& model : DeviceModels()) {
            device_->addItem(FromWindows1252(model.name));
        }

        QObject::connect(device_, &QComboBox::activated, &context_, [this](int index) {
            form_.fields().choose(FormModel::Field("CBDevice"), index);
            refresh();
        });
        QObject::connect(memoSim_, &QPlainTextEdit::textChanged, &context_, [this] {
            if (!updating_) {
                form_.userEditMemoSim(Bytes(memoSim_->toPlainText()));
                form_.MemoSimExit();
                refresh();
            }
        });
        QObject::connect(memoNote_, &QPlainTextEdit::textChanged, &context_, [this] {
            if (!updating_) {
                form_.userEditNotes(SplitLines(memoNote_->toPlainText()));
            }
        });
        programWatch_ = form_.document().program.text().connectChanged([this] { refresh(); });
        refresh();
    }

    QWidget* control(std::string_view name) const override {
        for (QWidget* widget : {static_cast<QWidget*>(memoSim_), static_cast<QWidget*>(memoNote_),
                                static_cast<QWidget*>(memoSms_), static_cast<QWidget*>(device_),
                                static_cast<QWidget*>(read_), static_cast<QWidget*>(write_)}) {
            if (widget->objectName().toStdString() == name) {
                return widget;
            }
        }
        return nullptr;
    }

    QComboBox& CBDevice() const override { return *device_; }
    QPlainTextEdit& MemoSim() const override { return *memoSim_; }
    QPlainTextEdit& MemoNote() const override { return *memoNote_; }
    QPlainTextEdit& MemoSMS() const override { return *memoSms_; }
    QTableView& SGRamp() const override { return *ramp_; }
    QTableView& SGTR() const override { return *tr_; }
    QPushButton& ButRead() const override { return *read_; }
    QPushButton& ButWrite() const override { return *write_; }
    QLabel& devicePicture() const override { return *picture_; }

    void refresh() override {
        if (updating_) {
            return;
        }
        updating_ = true;
        ProgramDocument& doc = form_.document();
        const QString program = ProgramText8(doc.program.text().text());
        if (memoSim_->toPlainText() != program) {
            memoSim_->setPlainText(program);
        }
        QStringList notes;
        for (const std::string& line : doc.notes) {
            notes.push_back(FromWindows1252(line));
        }
        if (memoNote_->toPlainText() != notes.join(u'\n')) {
            memoNote_->setPlainText(notes.join(u'\n'));
        }
        memoSms_->setPlainText(FromWindows1252(doc.program.remoteText()));
        device_->setCurrentIndex(form_.fields().itemIndex(FormModel::Field("CBDevice")));
        updating_ = false;
    }

private:
    static QPlainTextEdit* Memo(QWidget& page, const char* name) {
        auto* memo = new QPlainTextEdit(&page);
        memo->setObjectName(QString::fromLatin1(name));
        return memo;
    }
    static QGroupBox* Group(QWidget& page, const char* name, const char* title, QWidget& content) {
        auto* group = new QGroupBox(QString::fromLatin1(title), &page);
        group->setObjectName(QString::fromLatin1(name));
        (new QVBoxLayout(group))->addWidget(&content);
        return group;
    }
    static QPushButton* Button(QWidget& parent, const char* name, const char* text) {
        auto* button = new QPushButton(QString::fromLatin1(text), &parent);
        button->setObjectName(QString::fromLatin1(name));
        return button;
    }
    static QTableView* Grid(QWidget& page, const char* name, int columns) {
        auto* grid = new QTableView(&page);
        grid->setObjectName(QString::fromLatin1(name));
        grid->setModel(new QStandardItemModel(0, columns, grid));
        return grid;
    }

    FormModel& form_;
    // The context of every connection, so none outlives the pages.
    QObject context_;
    QPlainTextEdit* memoSim_;
    QPlainTextEdit* memoNote_;
    QPlainTextEdit* memoSms_;
    QTableView* ramp_;
    QTableView* tr_;
    QComboBox* device_;
    QPushButton* read_;
    QPushButton* write_;
    QLabel* picture_;
    Connection programWatch_;
    bool updating_ = false;
};

} // namespace

std::unique_ptr<FormPages> FormPages::Build(QTabWidget& tabs, FormModel& form) {
    return std::make_unique<PlaceholderPages>(tabs, form);
}

} // namespace tarvik
