#pragma once
#include "reports/PageItems.h"
#include <QString>
#include <vector>

namespace ql {

enum class ControlKind {
    Label,       // fixed text
    Field,       // a field of the entry through its picture
    Notes,       // a large text field shown whole, over as many lines as it needs
    Check,       // a check box showing a yes/no field, with a label
    Box,         // a frame
    PageNumber,  // the page's number through the picture
    RunDate,     // the date the report was started, through the picture
    RunTime      // the time the report was started, through the picture
};

// One control of a band; x and y from the band's top left corner. In the
// detail band a text wider than its control goes on over more lines.
struct ReportControl {
    ControlKind kind = ControlKind::Label;
    int x = 0, y = 0, width = 0, height = 0;
    QString text;     // a label's text, a check box's label
    QString field;    // "P_:SERVICE"
    QString picture;  // "@s30"
    TextFont font;
    TextAlign align = TextAlign::Left;
    Wrap wrap = Wrap::Words; // in the detail band, where texts may take more lines
};

// A band of the report; header and footer stand at fixed places on the page,
// the detail band repeats once per entry down the body.
struct ReportBand {
    int x = 0, y = 0, width = 0, height = 0;
    std::vector<ReportControl> controls;
};

struct ReportLayout {
    QString procedure;     // "ReportByService"
    QString title;         // "Passwords by Service"
    QString key;           // the order: "P_:KEYSERVICE"
    bool offersPreview = false;
    int pageWidth = 8500, pageHeight = 11000;
    ReportBand header, detail, footer;
    int bodyTop = 0, bodyHeight = 0; // where detail bands may go

    // Every control of the three bands, for settings that apply to all.
    template <typename F> void forEachControl(F f) {
        for (ReportBand* band : {&header, &detail, &footer})
            for (ReportControl& c : band->controls) f(c);
    }
};

} // namespace ql
