#pragma once

#include "editor/shell/dialogs/ShellDialog.h"
#include "editor/sim/CardReport.h"

#include <vector>

class QFormLayout;

namespace tarvik {

// Device > Card information…: what the card in the reader is, line by line as
// `tarvik-cli card` prints it, and OK.
class CardInfoDialog : public ShellDialog {
public:
    CardInfoDialog();

    // Shows these lines in place of the ones shown before.
    void SetReport(const std::vector<ReportLine>& lines);

private:
    QFormLayout* rows_ = nullptr;
};

} // namespace tarvik
