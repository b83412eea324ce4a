#include "editor/shell/pages/FormPageBuilder.h"

#include "editor/form/FieldTable.h"
#include "editor/shell/widgets/GridView.h"
#include "editor/shell/widgets/InumEdit.h"
#include "editor/shell/widgets/MemoEdit.h"
#include "editor/shell/widgets/Pictures.h"
#include "editor/shell/widgets/QtText.h"
#include "editor/shell/widgets/Windows1252Validator.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <string>

namespace tarvik {
namespace {

QString Name(std::string_view name) {
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

int DigitCount(int value) {
    return static_cast<int>(std::to_string(std::abs(value)).size());
}

// A page's scroll area asks for the whole page, so that a window with room shows it
// without scroll bars; QScrollArea's own hint stops at a few dozen lines of text.
class PageScrollArea : public QScrollArea {
public:
    QSize sizeHint() const override {
        const QWidget* page = widget();
        return page ? page->sizeHint() + QSize(2 * frameWidth(), 2 * frameWidth())
                    : QScrollArea::sizeHint();
    }
};

QWidget* CreateNumeric(const FieldDef& def) {
    // Room for the largest value and a sign typed in front of it.
    const int digits = std::max(DigitCount(def.minValue), DigitCount(def.maxValue)) + 1;
    auto* edit = new TInumEdit(QString(digits, u'0'));
    edit->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    return edit;
}

QWidget* CreateText(const FieldDef& def) {
    auto* edit = new QLineEdit;
    edit->setValidator(new Windows1252Validator(edit));
    const QFontMetrics metrics(edit->font());
    // The frame and margins the box draws around its text: what its own size hint adds to
    // the 17 characters it asks room for.
    const int around = edit->sizeHint().width() - 17 * metrics.horizontalAdvance(u'x');
    if (def.keyFilter == KeyFilter::Telephone) {
        // Room for an international number in full: "+" and 15 digits (ITU-T E.164).
        edit->setMinimumWidth(metrics.horizontalAdvance(QStringLiteral("+000000000000000")) +
                              around);
    } else if (def.maxLength == 0) {
        // A code such as "*123#" stays whole however small the window.
        edit->setMinimumWidth(metrics.horizontalAdvance(QString(12, u'0')) + around);
    }
    if (def.maxLength > 0) {
        edit->setMaxLength(def.maxLength);
        // A short field is as wide as its longest text, with a character to spare.
        const int wanted = metrics.horizontalAdvance(u'W') * (def.maxLength + 1) + around;
        if (wanted < edit->sizeHint().width()) {
            edit->setFixedWidth(std::max(wanted, edit->minimumSizeHint().width()));
        } else {
            // Never narrower than its longest text, however small the window.
            edit->setMinimumWidth(std::min(wanted, 2 * edit->sizeHint().width()));
        }
    }
    return edit;
}

QWidget* CreateCombo(const FieldDef& def) {
    auto* combo = new QComboBox;
    for (const std::string& item : def.items) {
        combo->addItem(FromWindows1252(item));
    }
    // Some items are renamed with the device model or translated: the box follows them.
    combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    // The chosen item is always shown whole: a small window scrolls the page instead.
    combo->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Fixed);
    return combo;
}

QWidget* CreateMemo(const FieldDef& def) {
    auto* memo = new MemoEdit;
    if (def.fixedPitchColumns > 0) {
        memo->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
        memo->setLineWrapMode(QPlainTextEdit::NoWrap);
        const QFontMetrics metrics(memo->font());
        memo->setMinimumWidth(metrics.horizontalAdvance(QString(def.fixedPitchColumns, u'0')));
    }
    memo->setReadOnly(def.readOnly);
    memo->setTabChangesFocus(true);
    return memo;
}

QWidget* CreateGrid(const FieldDef& def) {
    return new GridView(def.columnWeights);
}

QWidget* CreateFieldWidget(const FieldDef& def) {
    QWidget* widget = nullptr;
    switch (def.kind) {
    case FieldKind::Numeric:
        widget = CreateNumeric(def);
        break;
    case FieldKind::Text:
        widget = CreateText(def);
        break;
    case FieldKind::Check:
        widget = new QCheckBox(FromWindows1252(def.caption));
        break;
    case FieldKind::Combo:
        widget = CreateCombo(def);
        break;
    case FieldKind::Memo:
        widget = CreateMemo(def);
        break;
    case FieldKind::Grid:
        widget = CreateGrid(def);
        break;
    }
    widget->setObjectName(Name(def.name));
    return widget;
}

bool IsTall(FieldKind kind) {
    return kind == FieldKind::Memo || kind == FieldKind::Grid;
}

// Lays out a group's fields. A field in column c takes grid column 2c + 1 and its label
// column 2c; check boxes, memos and grids carry their caption themselves (a memo or grid
// shows it above) and take both. Column headings take a row of their own above the fields.
class GroupLayout {
public:
    // A group filled by hand (the device group) keeps its own layout and takes no fields.
    GroupLayout(QGroupBox& box, const GroupDef& group) : group_(group) {
        if (box.layout()) {
            return;
        }
        grid_ = new QGridLayout(&box);
        headingRows_ = group.columnHeadings.empty() ? 0 : 1;
        addHeadings();
    }

    void add(const FieldDef& def, QWidget& widget) {
        if (!grid_) {
            return;
        }
        const int row = def.row + headingRows_;
        const int column = 2 * def.column;
        const int span = 2 * def.columnSpan;
        lastRow_ = std::max(lastRow_, row);
        if (IsTall(def.kind)) {
            tallRows_.push_back(row);
            grid_->addWidget(Captioned(def, widget), row, column, 1, span);
        } else if (def.kind == FieldKind::Check) {
            grid_->addWidget(&widget, row, column, 1, span);
        } else {
            if (!def.caption.empty()) {
                auto* label = new QLabel(FromWindows1252(def.caption));
                label->setObjectName(Name("Lab" + def.name));
                label->setBuddy(&widget);
                grid_->addWidget(label, row, column);
            }
            grid_->addWidget(&widget, row, column + 1, 1, span - 1);
            fieldColumns_.push_back(column + 1);
        }
    }

    // Decides where extra room goes once every field is in place.
    void finish() {
        if (!grid_) {
            return;
        }
        const bool right = group_.growth == Growth::Right || group_.growth == Growth::RightAndDown;
        for (const int column : fieldColumns_) {
            grid_->setColumnStretch(column, right ? 1 : 0);
        }
        for (const int row : tallRows_) {
            grid_->setRowStretch(row, 1);
        }
        if (tallRows_.empty()) {
            // The fields stay together at the top of a group taller than they need.
            grid_->addItem(new QSpacerItem(0, 0, QSizePolicy::Minimum, QSizePolicy::Expanding),
                           lastRow_ + 1, 0);
            grid_->setRowStretch(lastRow_ + 1, 1);
        }
    }

private:
    void addHeadings() {
        const auto& headings = group_.columnHeadings;
        for (std::size_t c = 0; c < headings.size(); ++c) {
            if (headings[c].empty()) {
                continue;
            }
            std::size_t end = c + 1;
            while (end < headings.size() && headings[end].empty()) {
                ++end;
            }
            auto* heading = new QLabel(FromWindows1252(headings[c]));
            heading->setObjectName(
                Name(GroupBoxName(group_.caption).replace(0, 2, "Lab") + std::to_string(c)));
            heading->setWordWrap(true);
            heading->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
            const int first = 2 * static_cast<int>(c) + 1;
            const int last = 2 * static_cast<int>(end) - 1;
            grid_->addWidget(heading, 0, first, 1, last - first + 1);
        }
    }

    // A memo or grid with its caption above it.
    QWidget* Captioned(const FieldDef& def, QWidget& widget) {
        if (def.caption.empty()) {
            return &widget;
        }
        auto* frame = new QWidget;
        auto* column = new QVBoxLayout(frame);
        column->setContentsMargins(0, 0, 0, 0);
        auto* label = new QLabel(FromWindows1252(def.caption));
        label->setObjectName(Name("Lab" + def.name));
        label->setBuddy(&widget);
        column->addWidget(label);
        column->addWidget(&widget, 1);
        return frame;
    }

    const GroupDef& group_;
    QGridLayout* grid_ = nullptr;
    int headingRows_ = 0;
    int lastRow_ = 0;
    std::vector<int> fieldColumns_;
    std::vector<int> tallRows_;
};

// The device group of the Main page: the card commands beside the picture.
void FillDeviceGroup(QGroupBox& box, FormPageWidgets& widgets) {
    auto* row = new QHBoxLayout(&box);
    auto* buttons = new QVBoxLayout;
    widgets.butRead = new QPushButton(QStringLiteral("Read SIM"));
    widgets.butRead->setObjectName(QStringLiteral("ButRead"));
    widgets.butWrite = new QPushButton(QStringLiteral("Write SIM"));
    widgets.butWrite->setObjectName(QStringLiteral("ButWrite"));
    buttons->addWidget(widgets.butRead);
    buttons->addWidget(widgets.butWrite);
    buttons->addStretch(1);
    row->addLayout(buttons);

    widgets.devicePicture = new QLabel;
    widgets.devicePicture->setObjectName(QStringLiteral("ImgDevice"));
    widgets.devicePicture->setPixmap(QPixmap::fromImage(DevicePicture()));
    widgets.devicePicture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    row->addWidget(widgets.devicePicture);
    row->addStretch(1);
}

bool GrowsRight(Growth growth) {
    return growth == Growth::Right || growth == Growth::RightAndDown;
}

bool GrowsDown(Growth growth) {
    return growth == Growth::Down || growth == Growth::RightAndDown;
}

// Places the group boxes of one page on its grid. Rows and columns of growing groups take
// the extra room; when none does, an empty row or column at the end takes it, so the
// groups keep their size in the top left corner.
void LayOutPage(QWidget& page, Tab tab, const std::vector<QGroupBox*>& boxes) {
    auto* grid = new QGridLayout(&page);
    int lastRow = 0;
    int lastColumn = 0;
    bool anyRight = false;
    bool anyDown = false;
    const auto groups = FormGroups();
    for (std::size_t g = 0; g < groups.size(); ++g) {
        const GroupDef& group = groups[g];
        if (group.tab != tab) {
            continue;
        }
        grid->addWidget(boxes[g], group.row, group.column, group.rowSpan, group.columnSpan);
        lastRow = std::max(lastRow, group.row + group.rowSpan - 1);
        lastColumn = std::max(lastColumn, group.column + group.columnSpan - 1);
        if (GrowsRight(group.growth)) {
            anyRight = true;
            for (int c = group.column; c < group.column + group.columnSpan; ++c) {
                grid->setColumnStretch(c, 1);
            }
        }
        if (GrowsDown(group.growth)) {
            anyDown = true;
            // A group over several rows grows with its last one.
            grid->setRowStretch(group.row + group.rowSpan - 1, 1);
        }
    }
    if (!anyRight) {
        grid->addItem(new QSpacerItem(0, 0, QSizePolicy::Expanding, QSizePolicy::Minimum), 0,
                      lastColumn + 1);
        grid->setColumnStretch(lastColumn + 1, 1);
    }
    if (!anyDown) {
        grid->addItem(new QSpacerItem(0, 0, QSizePolicy::Minimum, QSizePolicy::Expanding),
                      lastRow + 1, 0);
        grid->setRowStretch(lastRow + 1, 1);
    }
}

} // namespace

std::string GroupBoxName(std::string_view caption) {
    std::string name = "GB";
    bool wordStart = true;
    for (const char c : caption) {
        if (std::isalnum(static_cast<unsigned char>(c))) {
            name.push_back(
                wordStart ? static_cast<char>(std::toupper(static_cast<unsigned char>(c))) : c);
            wordStart = false;
        } else {
            wordStart = true;
        }
    }
    return name;
}

std::string PageName(Tab tab) {
    switch (tab) {
    case Tab::None:
        return "";
    case Tab::Main:
        return "TSMain";
    case Tab::Options:
        return "TSOptions";
    case Tab::Input:
        return "TSInput";
    case Tab::Output:
        return "TSOutput";
    case Tab::Telephone:
        return "TSTelephone";
    case Tab::Barrier:
        return "TSRamp";
    case Tab::Sms:
        return "TSSms";
    }
    return "";
}

FormPageWidgets BuildFormPageWidgets(QTabWidget& tabs) {
    FormPageWidgets widgets;
    const auto groups = FormGroups();
    std::vector<GroupLayout> layouts;
    layouts.reserve(groups.size());
    for (const GroupDef& group : groups) {
        auto* box = new QGroupBox(FromWindows1252(group.caption));
        box->setObjectName(Name(GroupBoxName(group.caption)));
        widgets.groups.push_back(box);
        if (group.caption == "Device") {
            FillDeviceGroup(*box, widgets);
        }
        layouts.emplace_back(*box, group);
    }

    const auto table = FieldTable();
    for (const FieldDef& def : table) {
        QWidget* widget = CreateFieldWidget(def);
        widgets.fields.push_back(widget);
        const auto group = std::find_if(groups.begin(), groups.end(), [&](const GroupDef& g) {
            return def.tab != Tab::None && g.caption == def.group;
        });
        if (group != groups.end()) {
            layouts[static_cast<std::size_t>(group - groups.begin())].add(def, *widget);
        } else if (def.tab == Tab::None) {
            widget->setParent(&tabs);
        }
    }
    for (GroupLayout& layout : layouts) {
        layout.finish();
    }
    // The remote-programming text goes out through a modem from right under it.
    widgets.butSendSms = new QPushButton(QStringLiteral("Send by SMS..."));
    widgets.butSendSms->setObjectName(QStringLiteral("ButSendSms"));
    for (std::size_t f = 0; f < table.size(); ++f) {
        QWidget* frame = table[f].name == "MemoSMS" ? widgets.fields[f]->parentWidget() : nullptr;
        if (auto* column = frame ? qobject_cast<QVBoxLayout*>(frame->layout()) : nullptr) {
            column->addWidget(widgets.butSendSms, 0, Qt::AlignLeft);
        }
    }

    for (const Tab tab : FormTabs()) {
        auto* page = new QWidget;
        page->setObjectName(Name(PageName(tab)));
        LayOutPage(*page, tab, widgets.groups);
        // The page keeps the least room its layout needs, also when translated texts or
        // values change it; a window smaller than that scrolls the page rather than
        // squeezing its groups.
        if (page->layout()) {
            page->layout()->setSizeConstraint(QLayout::SetMinimumSize);
        }
        auto* scroll = new PageScrollArea;
        scroll->setObjectName(Name(PageName(tab)) + QStringLiteral("Scroll"));
        scroll->setFrameShape(QFrame::NoFrame);
        scroll->setWidgetResizable(true);
        scroll->setWidget(page);
        tabs.addTab(scroll, FromWindows1252(TabCaption(tab)));
        widgets.pages.push_back(page);
    }
    return widgets;
}

} // namespace tarvik
